#include "caliper/ProfileAnalyzer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace caliper;

namespace {

// A grey image whose pixels are set one by one; everything else is 0.
struct TestGrey
{
    TestGrey(int w, int h) : pixels(static_cast<size_t>(w * h), 0), width(w), height(h) {}
    void Set(CPoint p, int value) { pixels[static_cast<size_t>(p.y * width + p.x)] = static_cast<uint8_t>(value); }
    GreyImage View() const
    {
        GreyImage grey{{}, width, height};
        for (int y = 0; y < height; ++y)
            grey.rows.push_back(pixels.data() + static_cast<size_t>(y * width));
        return grey;
    }
    std::vector<uint8_t> pixels;
    int width;
    int height;
};

// An analyser of `samples` whose raw profile is `values` (unsmoothed unless the settings say otherwise).
CProfileAnalyzer Analysed(const std::vector<CPoint>& samples, const std::vector<int>& values,
                          const CCaliperSettings& settings, int pathFlag = 1)
{
    TestGrey grey(32, 32);
    for (size_t i = 0; i < samples.size(); ++i)
        grey.Set(samples[i], values[i]);
    CProfileAnalyzer analyzer(1, "Line - 0");
    analyzer.SetPathFlag(pathFlag);
    analyzer.Sample(grey.View(), samples, settings);
    return analyzer;
}

std::vector<CPoint> Horizontal(int n, int x0 = 10, int y = 5)
{
    std::vector<CPoint> points;
    for (int i = 0; i < n; ++i)
        points.emplace_back(x0 + i, y);
    return points;
}

}  // namespace

TEST(Smooth, MovingAverageRules)
{
    struct Case
    {
        const char* what;
        std::vector<int> src;
        int passes, halfWidth, first, last;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"W=2 at index 0 averages indices 0..2 only", {3, 6, 9, 100, 100}, 1, 2, -1, -1, {6, 29, 43, 53, 69}},
        {"means truncate towards zero", {-1, 0}, 1, 1, -1, -1, {0, 0}},
        {"truncation of a negative mean", {-5, 0, 0}, 1, 1, -1, -1, {-2, -1, 0}},
        {"0 passes copy", {1, 7, 2}, 0, 2, -1, -1, {1, 7, 2}},
        {"each pass reads the previous pass only", {0, 0, 9, 0, 0}, 2, 1, -1, -1, {1, 2, 3, 2, 1}},
        {"the range limits the window and the output", {0, 9, 3, 5, 9, 0}, 1, 1, 2, 3, {0, 9, 4, 4, 9, 0}},
        {"a negative half-width is a window of one", {4, 8, 1}, 3, -2, -1, -1, {4, 8, 1}},
        {"an empty profile", {}, 20, 2, -1, -1, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Smooth(c.src, c.passes, c.halfWidth, c.first, c.last), c.expected) << c.what;
}

TEST(Detectors, ThresholdBandRuns)
{
    struct Case
    {
        const char* what;
        std::vector<int> profile;
        int upper, lower, minimumRun;
        std::vector<unsigned> expected;
    };
    const Case cases[] = {
        {"equal thresholds leave no band", {0, 128, 128, 0}, 128, 128, 1, {}},
        {"the band is L+2 .. U-2", {101, 102, 108, 109, 0}, 110, 100, 1, {2}},
        {"values at L+1 and U-1 are outside", {101, 109, 101}, 110, 100, 1, {}},
        {"a run reaching the end ends at n", {0, 105, 105, 105}, 110, 100, 1, {3}},
        {"a short run stays open until it is long enough", {105, 0, 0, 0, 0}, 110, 100, 3, {2}},
        {"an in-band value inside an open run keeps its start", {105, 0, 105, 0, 0}, 110, 100, 3, {2}},
        {"a short run at the end is dropped", {0, 0, 105}, 110, 100, 2, {}},
        {"two runs", {0, 105, 105, 0, 0, 105, 0}, 110, 100, 1, {2, 6}},
        // The run of one sample at the end would be reported at n, past the last sample.
        {"a one-sample run at the end stays on the profile", {0, 0, 105}, 110, 100, 1, {2}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectThreshold(c.profile, c.upper, c.lower, c.minimumRun), c.expected) << c.what;
}

TEST(Detectors, PeaksValleysAndSteps)
{
    // Profile 0,0,0,100,100,100,0,0,0 differenced: one peak at 2 + (5 - 2 + 1) / 2 = 4.
    const std::vector<int> first = {0, 0, 100, 0, 0, -100, 0, 0, 0};
    auto found = DetectPeaksAndValleys(first, 1, 1);
    EXPECT_EQ(found[0], (std::vector<unsigned>{4}));
    EXPECT_TRUE(found[1].empty());
    std::vector<int> inverted = first;
    for (int& v : inverted)
        v = -v;
    found = DetectPeaksAndValleys(inverted, 1, 1);
    EXPECT_TRUE(found[0].empty());
    EXPECT_EQ(found[1], (std::vector<unsigned>{4}));

    // A spike, then a long descent: the first fall at least 10 samples after the rise, halfway between them.
    std::vector<int> spike(25, -1);
    spike[0] = 50;
    found = DetectPeaksAndValleys(spike, 10, 10);
    EXPECT_EQ(found[0], (std::vector<unsigned>{5}));

    // The last index (n-1) of the first difference is not looked at.
    found = DetectPeaksAndValleys({10, 0, -10}, 1, 1);
    EXPECT_TRUE(found[0].empty());

    // Steps: a maximum of the slope is a step up, a minimum a step down, whatever the slope's sign.
    const std::vector<int> second = {0, 1, 0, -1, 0, 0, 1, 0};
    found = DetectSteps(second, 1, 1);
    EXPECT_EQ(found[0], (std::vector<unsigned>{2}));
    EXPECT_EQ(found[1], (std::vector<unsigned>{5}));
    // Index 0 and n-1 of the second difference are not looked at.
    found = DetectSteps({5, 0, -1, 0, -7}, 1, 1);
    EXPECT_TRUE(found[0].empty());
}

TEST(ProfileAnalyzer, AnalysesTheSpecExampleProfile)
{
    CCaliperSettings settings;
    settings.SetPasses(0);
    settings.SetMinimumWidth(kPeak, 1);
    const std::vector<CPoint> samples = Horizontal(9);
    const CProfileAnalyzer analyzer = Analysed(samples, {0, 0, 0, 100, 100, 100, 0, 0, 0}, settings);
    EXPECT_EQ(analyzer.SmoothedProfile(), analyzer.RawProfile());
    EXPECT_EQ(analyzer.EdgeIndices(kPeak), (std::vector<unsigned>{4}));
    EXPECT_EQ(analyzer.EdgePoints(kPeak), (std::vector<CPoint>{CPoint(14, 5)}));
    EXPECT_EQ(analyzer.EdgeCount(kValley), 0);
    EXPECT_TRUE(analyzer.Analysed());
    // The differences: the first after its fixed smoothing, the second from it, both ends 0.
    ASSERT_EQ(analyzer.SecondDifference().size(), 9u);
    EXPECT_EQ(analyzer.SecondDifference().front(), 0);
    EXPECT_EQ(analyzer.SecondDifference().back(), 0);
    EXPECT_EQ(analyzer.FirstDifference(), Smooth({0, 0, 100, 0, 0, -100, 0, 0, 0}, 5, 2));
}

TEST(ProfileAnalyzer, ConstantAndTinyProfilesHaveNoEdges)
{
    const CCaliperSettings settings;
    for (int n = 0; n <= 2; ++n) {
        const CProfileAnalyzer analyzer = Analysed(Horizontal(n), std::vector<int>(static_cast<size_t>(n), 200),
                                                   settings);
        EXPECT_EQ(analyzer.TotalEdges(), 0) << n;
        EXPECT_EQ(analyzer.SampleCount(), n);
    }
    const CProfileAnalyzer flat = Analysed(Horizontal(30), std::vector<int>(30, 128), settings);
    EXPECT_EQ(flat.TotalEdges(), 0);
}

TEST(ProfileAnalyzer, OneSampleBandRunAtTheEndMarksTheLastSample)
{
    CCaliperSettings settings;
    settings.SetPasses(0);
    settings.SetUpperThreshold(110);
    settings.SetLowerThreshold(100);
    const CProfileAnalyzer analyzer = Analysed(Horizontal(3), {0, 0, 105}, settings);
    EXPECT_EQ(analyzer.EdgePoints(kThreshold), (std::vector<CPoint>{CPoint(12, 5)}));
}

TEST(ProfileAnalyzer, SamplesOutsideTheImageReadZero)
{
    const CCaliperSettings settings;
    TestGrey grey(4, 4);
    grey.pixels.assign(16, 77);
    CProfileAnalyzer analyzer(1, "Line - 0");
    analyzer.Sample(grey.View(), {{3, 3}, {4, 3}, {-1, 0}, {0, 9}}, settings);
    EXPECT_EQ(analyzer.RawProfile(), (std::vector<int>{77, 0, 0, 0}));
}

TEST(ProfileAnalyzer, PathLengths)
{
    CCaliperSettings settings;
    settings.SetPasses(0);
    settings.SetUpperThreshold(110);
    settings.SetLowerThreshold(100);
    // Threshold edges at samples 1 and 5: in, out, out, out, in, out.
    const std::vector<int> values = {105, 0, 0, 0, 105, 0};
    const double sqrt2 = 1.4142135623730951;
    struct Case
    {
        const char* what;
        std::vector<CPoint> samples;
        int pathFlag;
        double expected;
    };
    const Case cases[] = {
        {"horizontal run of 5 samples", Horizontal(6), 1, 4.0},
        {"diagonal run of 5 samples", {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}, 1, 4 * sqrt2},
        {"a repeated pixel counts 1", {{0, 0}, {1, 1}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}, 1, 1 + 3 * sqrt2},
        {"straight distance", {{0, 0}, {1, 1}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}, 0, std::sqrt(18.0)},
    };
    for (const Case& c : cases) {
        const CProfileAnalyzer analyzer = Analysed(c.samples, values, settings, c.pathFlag);
        ASSERT_EQ(analyzer.EdgeIndices(kThreshold), (std::vector<unsigned>{1, 5})) << c.what;
        EXPECT_DOUBLE_EQ(analyzer.PathLength(0, 1, kThreshold), c.expected) << c.what;
    }
    const CProfileAnalyzer analyzer = Analysed(Horizontal(6), values, settings);
    EXPECT_EQ(analyzer.PathLength(1, 0, kThreshold), 0.0);
    EXPECT_EQ(analyzer.PathLength(0, 0, kThreshold), 0.0);
    EXPECT_EQ(analyzer.PathLength(0, 2, kThreshold), 0.0);
}

TEST(EdgeDistances, RowCountCountsSwitchedOnKindsOnly)
{
    CCaliperSettings settings;
    settings.SetPasses(0);
    settings.SetUpperThreshold(110);
    settings.SetLowerThreshold(100);
    const CProfileAnalyzer analyzer = Analysed(Horizontal(8), {105, 0, 105, 0, 105, 0, 0, 0}, settings);
    ASSERT_EQ(analyzer.EdgeCount(kThreshold), 3);
    CEdgeDistances distances;
    distances.Build(analyzer);
    EXPECT_EQ(distances.Distances(kThreshold), (std::vector<double>{2.0, 2.0}));
    settings.SetDetector(kThreshold, 0);
    EXPECT_EQ(distances.RowCount(settings), 0);
    settings.SetDetector(kThreshold, 1);
    EXPECT_EQ(distances.RowCount(settings), 2);
}

TEST(AnalyzerSet, AddUpdateSelectRemove)
{
    CCaliperSettings settings;
    TestGrey grey(16, 16);
    CAnalyzerSet set(settings);
    set.Bind(grey.View());
    EXPECT_EQ(set.Add(7, "Line - 0", Horizontal(5, 0, 0)), 1);
    EXPECT_EQ(set.Add(9, "Circle - 0", Horizontal(3, 0, 1)), 2);
    EXPECT_EQ(set.Current()->ToolId(), 9);
    EXPECT_EQ(set.Add(7, "Line - 0", Horizontal(4, 0, 0)), 2) << "an existing tool's analyser is reused";
    EXPECT_EQ(set.Current()->SampleCount(), 4);
    EXPECT_EQ(set.Update(3, Horizontal(2)), 0);
    EXPECT_EQ(set.Update(9, Horizontal(6, 0, 1)), 1);
    EXPECT_EQ(set.Find(9)->SampleCount(), 6);
    EXPECT_EQ(set.Select(9), 1);
    EXPECT_EQ(set.Current()->ToolId(), 9);
    set.Remove(7);
    EXPECT_EQ(set.Count(), 1);
    EXPECT_EQ(set.Current(), nullptr);
    set.Bind(grey.View());
    EXPECT_EQ(set.Count(), 0);
}
