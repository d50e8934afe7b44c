// The module as the host and the capture code load it: the contract, the mode export and the Median export.
#include "lumenor/LumenorOps.h"

#include "LumenorTestImages.h"

#include "framepool/CQvFramePool.h"
#include "module/CModule.h"
#include "qvplglib/testing/PlugInContractTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace plugin_contract {

INSTANTIATE_TEST_SUITE_P(Lumenor, PlugInContract,
                         ::testing::Values(Case{"Lumenor", LUMENOR_MODULE_PATH,
                                                {{"Image Enhance", "Invert", 0},
                                                 {"Image Enhance", "Auto Contrast", 1},
                                                 {"Image Enhance", "Auto Level", 2},
                                                 {"Image Enhance", "Histogram Equalize", 3},
                                                 {"Image Enhance", "Remove Noise", 4},
                                                 {"Image Enhance", "Brightness Contrast", 5},
                                                 {"Image Enhance", "Threshold", 6}}}),
                         CaseName);

}  // namespace plugin_contract

namespace {

using namespace lumenor_test;

class LumenorModule : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_module.Load(LUMENOR_MODULE_PATH)) << m_module.GetLastError(); }
    CModule m_module;
};

TEST_F(LumenorModule, ModeParameterRunsAutoLevelWhateverTheEntry)
{
    const auto connect = m_module.GetProc<PFN_PlgConnect>(kPlgConnectName);
    const auto setMode = m_module.GetProc<PFN_PROGZUB_PARAMETER_SET>(kProgzubParameterSetName);
    ASSERT_TRUE(connect && setMode);
    CPlgApplication* app = connect();
    // A colour cast that Auto Level removes and Invert would not.
    const CQvImage start = MakeImage(QV_RGB24, 3, 1, {10, 20, 30, 50, 60, 70, 90, 100, 110});
    CQvImage levelled = start;
    lumenor::AutoLevel(levelled);
    CQvImage inverted = start;
    lumenor::Invert(inverted);
    struct Case
    {
        const char* mode;
        const CQvImage* expected;
    };
    for (const Case& c : {Case{"AutoLevel", &levelled}, Case{"autolevel", &inverted}, Case{"", &inverted}}) {
        setMode(c.mode);
        CPlgView* view = nullptr;
        ASSERT_EQ(app->CreatePlgView(0, 0, &view), 1);
        std::unique_ptr<CPlgView> owner(view);
        CQvFramePool pool;
        pool.SetImage(&start);
        view->AttachHost(PlgViewHost{nullptr, &pool, nullptr, nullptr, nullptr});
        EXPECT_EQ(view->Run(), 1);
        EXPECT_TRUE(Identical(pool.GetImage(), *c.expected)) << c.mode;
    }
}

TEST_F(LumenorModule, MedianExportGivesTheTrueMedian)
{
    const auto median = m_module.GetProc<PFN_Median>(kMedianName);
    ASSERT_NE(median, nullptr);
    std::vector<CQvImage> frames;
    for (int v : {10, 200, 50, 20})
        frames.push_back(MakeImage(QV_GRAY8, 1, 1, {v}));
    CQvImage result = MakeImage(QV_GRAY8, 1, 1, {0});
    median(frames.data(), 3, &result);
    EXPECT_EQ(Bytes(result), std::vector<int>{50});
    median(frames.data(), 4, &result);
    EXPECT_EQ(Bytes(result), std::vector<int>{20});
    // A frame of another size: nothing written.
    frames[1] = MakeImage(QV_GRAY8, 2, 1, {0, 0});
    median(frames.data(), 3, &result);
    EXPECT_EQ(Bytes(result), std::vector<int>{20});
    median(frames.data(), 3, nullptr);
}

}  // namespace
