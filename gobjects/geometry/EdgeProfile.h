// The grey-level profile analyser of the automatic edge tools: a straight scan segment across an expected edge is
// sampled from a grey work image (three parallel lines, weighted 1-2-1), smoothed, differenced three times, and
// the step edges on it are found as zero crossings of the squared Laplacian; the tools take the first one from the
// segment's start. One profile at a time per analyser; the smoothing pass count of the profile is carried over
// from the previous profile the same analyser analysed. Positions are image pixels (x right, y down) as doubles;
// positions along the profile are sample indices (0 = start) as floats. Not thread-safe; no shared state.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinGeometry.h"

#include <array>
#include <cstdint>
#include <vector>

class CQvImage;

// The 8-bit grey work image of any image: grey models copied, indexed models through their palette, 24- and
// 32-bit models weighted (307 R + 604 G + 113 B) >> 10 (a 32-bit pixel's fourth byte ignored). Pixel (x, y) of
// the result is the grey of pixel (x, y) of the source. 0 (nothing written) unless both exist with the same size
// and the destination is 8-bit grey (0 or 10).
VISTREL_EXPORT int ToGray8(const CQvImage* source, CQvImage* destination);

class VISTREL_EXPORT CEdgeProfile
{
public:
    // Data kinds and their variants; buffer 2 * kind + variant.
    enum Kind
    {
        kProfile = 0,
        kGradient = 1,
        kLaplacian = 2,
        kThirdDifference = 3,
    };
    enum Variant
    {
        kRaw = 0,
        kProcessed = 1,
    };
    struct Statistics
    {
        int64_t maximum = INT32_MIN;
        int64_t minimum = INT32_MAX;
        int64_t sum = 0;
        float mean = 0.0f;
        float deviation = 0.0f;
    };

    // A step is kept only when its height on the profile is at least this many times the profile's own noise:
    // on pure noise the relative rules alone accept a step on nearly every profile.
    static constexpr double kNoiseFactor = 4.0;
    // Samples on either side of a step, beyond its centre, that measure its height.
    static constexpr int kHeightNear = 2;
    static constexpr int kHeightFar = 5;

    CEdgeProfile();

    // Clips, samples and analyses the profile start -> end of the grey image (not owned; read during the call
    // only); 0 when it is rejected: an end outside [0, W-5] x [0, H-5] after clipping, fewer than 4 samples, or a
    // centre line whose range is below 30% of 255 grey levels.
    int PrCreate(const CQvImage* grey, _RPOINT start, _RPOINT end);
    // The image position of the first step centre from the profile's start (on the sample grid); 0 without one.
    int FindSinglePoint(_RPOINT& out);
    // Clips the segment into the bounds (left <= x < right, top <= y < bottom on truncated coordinates); the
    // points change only when the result is not 0. 1 when nothing needed clipping or after clipping the start
    // alone; the line-equation code (1, or 2 for a vertical line) after clipping the end; 0 when the segment
    // cannot be clipped (coincident points, or a side it never meets).
    static int CheckBound(_RPOINT& start, _RPOINT& end, const CRect& bounds);

    void CreateData(int samples);
    void CleanData();
    // Adds `width` lines at cross offsets trunc(-width / 2) + j to the raw profile; with smooth, smooths it into
    // the processed profile with kind 0's passes.
    void SetBase(int width, int smooth);
    // Repeated integer moving averages of src into dst over [start, end) (end -1: N); see the class comment.
    int SmoothData(int64_t* dst, const int64_t* src, int passes, int halfWindow, int start, int end) const;
    // Noise estimate of the raw profile: the mean of the local mean absolute differences below their average.
    float FindSmoothCount() const;
    void FindStatistics(int kind, int variant, int start = -1, int end = -1);
    int SquareData(int kind, int variant);
    int SetSmoothed(int kind, int statistics);
    int SetGradient(int process);
    int SetLaplacian(int process);
    int Set3rdDiff(int process);
    int SetAnalysisData();
    int FindSteps();
    // Drops the steps whose third difference, at the samples either side of the crossing, is below 30% of the
    // largest on the profile.
    int RemoveSmallStep();
    // Drops the steps whose height is below kNoiseFactor times the noise of the raw profile.
    int RemoveNoiseLevelSteps();
    int FindStepDetails();

    // Line through p1, p2: 1 with y = a x + b; 2 for a vertical line (a = x1, b = 0); 0 for coincident points.
    static int GetLineEquation(const _RPOINT& p1, const _RPOINT& p2, double& a, double& b);
    // m = (y2 - y1) / (x2 - x1) and 1; 0 when x1 = x2.
    static int GetLineGradient(const _RPOINT& p1, const _RPOINT& p2, double& m);
    // Where the line meets y = 0: 1; 2 with x = x1 for a vertical line; 0 when y1 = y2.
    static int GetLineInterceptX(const _RPOINT& p1, const _RPOINT& p2, float& x);
    // Where the line meets x = 0: 1; 2 with y = y1 for a horizontal line; 0 when x1 = x2.
    static int GetLineInterceptY(const _RPOINT& p1, const _RPOINT& p2, double& y);
    // p.y - p.x m.
    static double GetLineInterceptY(const _RPOINT& p, const double& m);

    // The noise level (standard deviation) of the raw profile, estimated from its second differences.
    double EstimateNoise() const;

    // State of the last profile.
    int GetSampleCount() const { return m_samples; }
    _RPOINT GetStart() const { return m_start; }
    _RPOINT GetEnd() const { return m_end; }
    const std::vector<_RPOINT>& GetPositions() const { return m_positions; }
    const std::vector<int>& GetMarks() const { return m_marks; }
    const std::vector<int64_t>& GetData(int kind, int variant) const { return m_data[Buffer(kind, variant)]; }
    const Statistics& GetStatistics(int kind, int variant) const { return m_stats[Buffer(kind, variant)]; }
    int GetPasses(int kind) const { return m_passes[kind]; }
    void SetPasses(int kind, int passes) { m_passes[kind] = passes; }
    const std::vector<float>& GetRisingSteps() const { return m_rising; }
    const std::vector<float>& GetFallingSteps() const { return m_falling; }
    const std::vector<float>& GetStepCentres() const { return m_centres; }
    const std::vector<float>& GetDarkFeet() const { return m_darkFeet; }
    const std::vector<float>& GetBrightFeet() const { return m_brightFeet; }
    const std::vector<float>& GetAllMarks() const { return m_allMarks; }

private:
    static int Buffer(int kind, int variant) { return 2 * kind + variant; }
    int Start(int kind) const { return m_rangeStart[kind]; }
    int End(int kind) const { return m_rangeEnd[kind]; }

    const CQvImage* m_image = nullptr;
    _RPOINT m_start{0.0, 0.0};
    _RPOINT m_end{0.0, 0.0};
    int m_samples = 0;
    std::vector<_RPOINT> m_positions;
    std::vector<int> m_marks;
    // 64-bit: the processed Laplacian is the square of a difference of squares, beyond 32 bits on sharp dips.
    std::array<std::vector<int64_t>, 8> m_data;
    std::array<int, 8> m_present{};
    std::array<Statistics, 8> m_stats{};
    std::array<int, 4> m_halfWindow{1, 1, 1, 1};
    std::array<int, 4> m_passes{5, 2, 1, 1};
    std::array<int, 4> m_rangeStart{};
    std::array<int, 4> m_rangeEnd{};
    std::vector<float> m_rising;
    std::vector<float> m_falling;
    std::vector<float> m_centres;
    std::vector<float> m_darkFeet;
    std::vector<float> m_brightFeet;
    std::vector<float> m_allMarks;
};
