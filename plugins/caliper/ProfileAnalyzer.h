// The grey-level profile of one caliper tool and the edges found in it: the samples a tool supplies are read from
// the grey image, smoothed by a moving average, differentiated twice, and five kinds of edges are detected
// (threshold band runs in the smoothed profile, peaks and valleys in the first difference, steps up and down in the
// second). All arithmetic on the profile is integer arithmetic: means truncate towards zero, and every detector
// reports the position between a run start a and the index i as a + (i - a + 1) / 2. Distances are in pixels.
// Plain C++, UI thread only.
#pragma once

#include "caliper/CaliperSettings.h"
#include "types/WinGeometry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace caliper {

// The rows of an 8-bit grey image, y then x. The rows are not owned.
struct GreyImage
{
    std::vector<const uint8_t*> rows;
    int width = 0;
    int height = 0;
};

// The moving average of `src` over indices first..last (-1: 0 and n-1), `passes` times with half-width
// `halfWidth`; at the ends of the range the window is one-sided. Values outside the range are copied. 0 passes
// copy. A negative half-width counts as 0.
std::vector<int> Smooth(const std::vector<int>& src, int passes, int halfWidth, int first = -1, int last = -1);

// The detectors on their profiles; they return sample indices in ascending order of discovery.
std::vector<unsigned> DetectThreshold(const std::vector<int>& smoothed, int upper, int lower, int minimumRun);
// Peaks (out[0]) and valleys (out[1]) in the first difference, over indices 0 .. n-2.
std::array<std::vector<unsigned>, 2> DetectPeaksAndValleys(const std::vector<int>& first, int peakWidth,
                                                           int valleyWidth);
// Steps up (out[0]) and down (out[1]) in the second difference, over indices 1 .. n-2.
std::array<std::vector<unsigned>, 2> DetectSteps(const std::vector<int>& second, int upWidth, int downWidth);

}  // namespace caliper

class CProfileAnalyzer
{
public:
    CProfileAnalyzer(int toolId, std::string name) : m_toolId(toolId), m_name(std::move(name)) {}

    int ToolId() const { return m_toolId; }
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    // 1: distances run along the samples in 8-connected steps (a circle); 0: straight (a line).
    int PathFlag() const { return m_pathFlag; }
    void SetPathFlag(int flag) { m_pathFlag = flag; }
    bool Analysed() const { return m_analysed; }
    int RangeMaximum() const { return 255; }

    // Reads the raw profile at the samples (a sample outside the image reads 0), then Analyze.
    void Sample(const caliper::GreyImage& grey, const std::vector<CPoint>& samples, const CCaliperSettings& settings);
    // Smoothing, differences and the five detectors on the raw profile with the settings of now.
    void Analyze(const CCaliperSettings& settings);

    int SampleCount() const { return static_cast<int>(m_samples.size()); }
    const std::vector<CPoint>& Samples() const { return m_samples; }
    const std::vector<int>& RawProfile() const { return m_raw; }
    const std::vector<int>& SmoothedProfile() const { return m_smoothed; }
    const std::vector<int>& FirstDifference() const { return m_first; }
    const std::vector<int>& SecondDifference() const { return m_second; }
    int EdgeCount(int kind) const;
    // Edges of every kind, switched on or not.
    int TotalEdges() const;
    const std::vector<unsigned>& EdgeIndices(int kind) const { return m_edges.at(static_cast<size_t>(kind)); }
    const std::vector<CPoint>& EdgePoints(int kind) const { return m_edgePoints.at(static_cast<size_t>(kind)); }
    // Pixels between edge a and edge b of a kind; 0 when either does not exist or (along the path) a is not
    // before b.
    double PathLength(int a, int b, int kind) const;

private:
    int m_toolId;
    std::string m_name;
    int m_pathFlag = 1;
    bool m_analysed = false;
    std::vector<CPoint> m_samples;
    std::vector<int> m_raw;
    std::vector<int> m_smoothed;
    std::vector<int> m_first;
    std::vector<int> m_second;
    std::array<std::vector<unsigned>, caliper::kEdgeKinds> m_edges;
    std::array<std::vector<CPoint>, caliper::kEdgeKinds> m_edgePoints;
};

// For one analyser, the distances in pixels between consecutive edges of each kind.
class CEdgeDistances
{
public:
    void Build(const CProfileAnalyzer& analyzer);
    const std::vector<double>& Distances(int kind) const { return m_distances.at(static_cast<size_t>(kind)); }
    // The largest number of distances over the kinds switched on; 0 when none has two edges.
    int RowCount(const CCaliperSettings& settings) const;

private:
    std::array<std::vector<double>, caliper::kEdgeKinds> m_distances;
};

// The analysers of one session, looked up by tool id; the one last created or picked is current.
class CAnalyzerSet
{
public:
    explicit CAnalyzerSet(const CCaliperSettings& settings) : m_settings(&settings) {}

    // Drops every analyser and reads from `grey` from now on.
    void Bind(caliper::GreyImage grey);
    const caliper::GreyImage& Grey() const { return m_grey; }
    // Samples and analyses the tool's analyser, made when missing; it becomes current. Returns the number of
    // analysers.
    int Add(int toolId, const std::string& name, const std::vector<CPoint>& samples);
    // Samples and analyses again; 0 when the tool has no analyser.
    int Update(int toolId, const std::vector<CPoint>& samples);
    CProfileAnalyzer* Find(int toolId) const;
    int Select(int toolId);
    // Deletes the tool's analyser; the current analyser becomes none.
    void Remove(int toolId);
    void ReanalyzeAll();
    CProfileAnalyzer* Current() const { return m_current; }
    int Count() const { return static_cast<int>(m_analyzers.size()); }
    CProfileAnalyzer* At(int index) const { return m_analyzers.at(static_cast<size_t>(index)).get(); }

private:
    const CCaliperSettings* m_settings;
    caliper::GreyImage m_grey;
    std::vector<std::unique_ptr<CProfileAnalyzer>> m_analyzers;
    CProfileAnalyzer* m_current = nullptr;
};
