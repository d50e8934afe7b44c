#include "caliper/ProfileAnalyzer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace caliper {

namespace {

constexpr double kSqrt2 = 1.4142135623730951;

// The smoothing of the first difference before the step detector: fixed, not a setting.
constexpr int kDifferencePasses = 5;
constexpr int kDifferenceHalfWidth = 2;

// The position reported for a run from `start` to `index`.
unsigned Midpoint(int start, int index)
{
    return static_cast<unsigned>(start + (index - start + 1) / 2);
}

// The rise-and-fall procedure the peak/valley and the step detectors share: a fall at least `fallWidth` samples
// after the last rise records out[0] halfway between them; a rise at least `riseWidth` after the last fall records
// out[1].
std::array<std::vector<unsigned>, 2> RisesAndFalls(const std::vector<int>& values, int from, int to, int fallWidth,
                                                  int riseWidth)
{
    std::array<std::vector<unsigned>, 2> found;
    bool rose = false;
    bool fell = false;
    int lastRise = 0;
    int lastFall = 0;
    for (int i = from; i <= to; ++i) {
        const int v = values[static_cast<size_t>(i)];
        if (v < 0) {
            fell = true;
            lastFall = i;
            if (rose && i - lastRise >= fallWidth) {
                found[0].push_back(Midpoint(lastRise, i));
                rose = false;
            }
        } else if (v > 0) {
            rose = true;
            lastRise = i;
            if (fell && i - lastFall >= riseWidth) {
                found[1].push_back(Midpoint(lastFall, i));
                fell = false;
            }
        }
    }
    return found;
}

}  // namespace

std::vector<int> Smooth(const std::vector<int>& src, int passes, int halfWidth, int first, int last)
{
    const int n = static_cast<int>(src.size());
    std::vector<int> input = src;
    if (n == 0 || passes <= 0)
        return input;
    const int s = first == -1 ? 0 : std::max(first, 0);
    const int e = last == -1 ? n - 1 : std::min(last, n - 1);
    const int w = std::max(halfWidth, 0);
    std::vector<int> output = input;
    for (int pass = 0; pass < passes; ++pass) {
        for (int c = s; c <= e; ++c) {
            const int from = std::max(c - w, s);
            const int to = std::min(c + w, e);
            int64_t sum = 0;
            for (int j = from; j <= to; ++j)
                sum += input[static_cast<size_t>(j)];
            output[static_cast<size_t>(c)] = static_cast<int>(sum / (to - from + 1));
        }
        input.swap(output);
    }
    return input;
}

std::vector<unsigned> DetectThreshold(const std::vector<int>& smoothed, int upper, int lower, int minimumRun)
{
    std::vector<unsigned> found;
    const int n = static_cast<int>(smoothed.size());
    const auto inBand = [&](int v) { return lower + 1 < v && v < upper - 1; };
    bool inRun = false;
    int start = 0;
    for (int i = 0; i < n; ++i) {
        const bool in = inBand(smoothed[static_cast<size_t>(i)]);
        if (in && !inRun) {
            inRun = true;
            start = i;
        } else if (!in && inRun && i - start >= minimumRun) {
            found.push_back(Midpoint(start, i));
            inRun = false;
        }
    }
    // A run reaching the end ends at n; a one-sample run there would point past the last sample, so the position
    // stays on the profile.
    if (inRun && n - start >= minimumRun)
        found.push_back(std::min(Midpoint(start, n), static_cast<unsigned>(n - 1)));
    return found;
}

std::array<std::vector<unsigned>, 2> DetectPeaksAndValleys(const std::vector<int>& first, int peakWidth,
                                                           int valleyWidth)
{
    return RisesAndFalls(first, 0, static_cast<int>(first.size()) - 2, peakWidth, valleyWidth);
}

std::array<std::vector<unsigned>, 2> DetectSteps(const std::vector<int>& second, int upWidth, int downWidth)
{
    return RisesAndFalls(second, 1, static_cast<int>(second.size()) - 2, upWidth, downWidth);
}

}  // namespace caliper

void CProfileAnalyzer::Sample(const caliper::GreyImage& grey, const std::vector<CPoint>& samples,
                              const CCaliperSettings& settings)
{
    m_samples = samples;
    m_raw.assign(samples.size(), 0);
    for (size_t i = 0; i < samples.size(); ++i) {
        const CPoint p = samples[i];
        if (p.x >= 0 && p.y >= 0 && p.x < grey.width && p.y < grey.height && grey.rows[static_cast<size_t>(p.y)])
            m_raw[i] = grey.rows[static_cast<size_t>(p.y)][p.x];
    }
    Analyze(settings);
}

void CProfileAnalyzer::Analyze(const CCaliperSettings& settings)
{
    using namespace caliper;
    for (auto& edges : m_edges)
        edges.clear();
    const size_t n = m_raw.size();
    m_smoothed = Smooth(m_raw, settings.Passes(), settings.HalfWidth());
    m_edges[kThreshold] = DetectThreshold(m_smoothed, settings.UpperThreshold(), settings.LowerThreshold(),
                                          settings.MinimumRun());
    m_first.assign(n, 0);
    for (size_t i = 0; i + 1 < n; ++i)
        m_first[i] = m_smoothed[i + 1] - m_smoothed[i];
    auto peaks = DetectPeaksAndValleys(m_first, settings.MinimumWidth(kPeak), settings.MinimumWidth(kValley));
    m_edges[kPeak] = std::move(peaks[0]);
    m_edges[kValley] = std::move(peaks[1]);
    m_first = Smooth(m_first, kDifferencePasses, kDifferenceHalfWidth);
    m_second.assign(n, 0);
    for (size_t i = 1; i + 1 < n; ++i)
        m_second[i] = m_first[i] - m_first[i - 1];
    auto steps = DetectSteps(m_second, settings.MinimumWidth(kStepUp), settings.MinimumWidth(kStepDown));
    m_edges[kStepUp] = std::move(steps[0]);
    m_edges[kStepDown] = std::move(steps[1]);
    for (int kind = 0; kind < kEdgeKinds; ++kind) {
        auto& points = m_edgePoints[static_cast<size_t>(kind)];
        points.clear();
        for (unsigned index : m_edges[static_cast<size_t>(kind)])
            points.push_back(m_samples.at(index));
    }
    m_analysed = true;
}

int CProfileAnalyzer::EdgeCount(int kind) const
{
    if (kind < 0 || kind >= caliper::kEdgeKinds)
        return 0;
    return static_cast<int>(m_edges[static_cast<size_t>(kind)].size());
}

int CProfileAnalyzer::TotalEdges() const
{
    int total = 0;
    for (int kind = 0; kind < caliper::kEdgeKinds; ++kind)
        total += EdgeCount(kind);
    return total;
}

double CProfileAnalyzer::PathLength(int a, int b, int kind) const
{
    const int count = EdgeCount(kind);
    if (a < 0 || b < 0 || a >= count || b >= count)
        return 0.0;
    const auto& edges = m_edges[static_cast<size_t>(kind)];
    const unsigned ia = edges[static_cast<size_t>(a)];
    const unsigned ib = edges[static_cast<size_t>(b)];
    if (m_pathFlag == 0) {
        const double dx = m_samples[ib].x - m_samples[ia].x;
        const double dy = m_samples[ib].y - m_samples[ia].y;
        return std::sqrt(dx * dx + dy * dy);
    }
    double length = 0.0;
    for (unsigned i = ia; i < ib; ++i) {
        const CPoint p = m_samples[i];
        const CPoint q = m_samples[i + 1];
        length += (p.x == q.x || p.y == q.y) ? 1.0 : caliper::kSqrt2;
    }
    return length;
}

void CEdgeDistances::Build(const CProfileAnalyzer& analyzer)
{
    for (int kind = 0; kind < caliper::kEdgeKinds; ++kind) {
        auto& distances = m_distances[static_cast<size_t>(kind)];
        distances.clear();
        for (int j = 0; j + 1 < analyzer.EdgeCount(kind); ++j)
            distances.push_back(analyzer.PathLength(j, j + 1, kind));
    }
}

int CEdgeDistances::RowCount(const CCaliperSettings& settings) const
{
    int rows = 0;
    for (int kind = 0; kind < caliper::kEdgeKinds; ++kind)
        if (settings.Detector(kind))
            rows = std::max(rows, static_cast<int>(m_distances[static_cast<size_t>(kind)].size()));
    return rows;
}

void CAnalyzerSet::Bind(caliper::GreyImage grey)
{
    m_analyzers.clear();
    m_current = nullptr;
    m_grey = std::move(grey);
}

CProfileAnalyzer* CAnalyzerSet::Find(int toolId) const
{
    for (const auto& analyzer : m_analyzers)
        if (analyzer->ToolId() == toolId)
            return analyzer.get();
    return nullptr;
}

int CAnalyzerSet::Add(int toolId, const std::string& name, const std::vector<CPoint>& samples)
{
    CProfileAnalyzer* analyzer = Find(toolId);
    if (!analyzer) {
        m_analyzers.push_back(std::make_unique<CProfileAnalyzer>(toolId, name));
        analyzer = m_analyzers.back().get();
    }
    analyzer->SetName(name);
    analyzer->Sample(m_grey, samples, *m_settings);
    m_current = analyzer;
    return Count();
}

int CAnalyzerSet::Update(int toolId, const std::vector<CPoint>& samples)
{
    CProfileAnalyzer* analyzer = Find(toolId);
    if (!analyzer)
        return 0;
    analyzer->Sample(m_grey, samples, *m_settings);
    return 1;
}

int CAnalyzerSet::Select(int toolId)
{
    CProfileAnalyzer* analyzer = Find(toolId);
    if (!analyzer)
        return 0;
    m_current = analyzer;
    return 1;
}

void CAnalyzerSet::Remove(int toolId)
{
    m_analyzers.erase(std::remove_if(m_analyzers.begin(), m_analyzers.end(),
                                     [toolId](const auto& analyzer) { return analyzer->ToolId() == toolId; }),
                      m_analyzers.end());
    m_current = nullptr;
}

void CAnalyzerSet::ReanalyzeAll()
{
    for (const auto& analyzer : m_analyzers)
        analyzer->Analyze(*m_settings);
}
