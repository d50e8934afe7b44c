// The caliper on a test host: sessions, input, markers, tables and the module itself.
#include "caliper/CaliperMain.h"
#include "caliper/tests/CaliperHostFixture.h"
#include "caliper/CaliperStrings.h"

#include "calibkeeper/CCalibKeeper.h"
#include "framepool/CQvFramePool.h"
#include "module/CModule.h"
#include "qvplglib/PlugInContract.h"
#include "types/WinUser.h"
#include "ui/MessageBox.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>

using namespace caliper;

using namespace caliper_test;

namespace {

constexpr std::array<BYTE, 3> kRed = {0, 0, 255};

}  // namespace

TEST_F(CaliperHost, SessionsFollowRunActivateAndClose)
{
    TestDocument a(BarImage(40, 30, {}));
    TestDocument b(BarImage(40, 30, {}));
    CCaliperView* viewA = Open(a);
    CCaliperView* viewB = Open(b);
    CaliperMain& main = app_.Main();
    EXPECT_EQ(main.SessionCount(), 2);
    EXPECT_EQ(&main.Current()->View(), viewB) << "the new view's session is current";
    viewA->OnActivate(1);
    EXPECT_EQ(&main.Current()->View(), viewA);
    viewB->OnClose();
    EXPECT_EQ(main.SessionCount(), 1);
    EXPECT_EQ(&main.Current()->View(), viewA) << "the last index";
    EXPECT_TRUE(boxes_.empty());
    viewB->OnClose();
    ASSERT_EQ(boxes_.size(), 1u) << "a view without session";
    EXPECT_EQ(boxes_[0], "Error in Delete of CaliperMain, Inform this to QRX");
    // A view deleted without OnClose (its document closed) takes its session along.
    views_.erase(views_.begin());
    EXPECT_EQ(main.SessionCount(), 0);
    EXPECT_EQ(main.Current(), nullptr);
}

TEST_F(CaliperHost, WorkingCopyIsRgbaWithOneUndoPointAndCloseRestoresTheImage)
{
    const CQvImage original = GreyPicture(23, 11);
    TestDocument doc(original);
    CCaliperView* view = Open(doc);
    EXPECT_TRUE(view->WasGrey());
    EXPECT_EQ(doc.pool.GetImage().GetColorModel(), QV_RGBA32);
    EXPECT_EQ(doc.pool.PushCount(), 1u);
    DrawLine(view, {1, 5}, {20, 5});
    view->OnClose();
    const CQvImage& restored = doc.pool.GetImage();
    ASSERT_EQ(restored.GetColorModel(), QV_GRAY8);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 23; ++x)
            ASSERT_EQ(restored.GetPixel(x, y)[0], original.GetPixel(x, y)[0]) << x << "," << y;
}

TEST_F(CaliperHost, ALineOverABarMarksItsPeakAtTheRowsWhereItWasDrawn)
{
    TestDocument doc(BarImage(60, 40, {{20, 8}}));
    CCaliperView* view = Open(doc);
    CCaliperSettings& settings = app_.Main().Settings();
    settings.SetPasses(0);
    settings.SetMinimumWidth(kPeak, 1);
    settings.SetShowNames(0);
    DrawLine(view, {5, 10}, {50, 10});
    CCaliperSession& session = *app_.Main().Current();
    const CProfileAnalyzer* analyzer = session.Analyzers().Current();
    ASSERT_NE(analyzer, nullptr);
    EXPECT_EQ(analyzer->EdgeIndices(kPeak), (std::vector<unsigned>{18}));
    EXPECT_EQ(analyzer->EdgePoints(kPeak), (std::vector<CPoint>{{23, 10}}));
    EXPECT_EQ(analyzer->PathFlag(), 0);
    // The marker runs across the line, downwards from the edge; in the host's image, not mirrored.
    const CQvImage& image = doc.pool.GetImage();
    EXPECT_EQ(Bgr(image, 23, 15), kRed);
    EXPECT_NE(Bgr(image, 23, 25), kRed);
    EXPECT_EQ(Bgr(image, 40, 10), (std::array<BYTE, 3>{255, 64, 255})) << "the line in the tool colour";
    EXPECT_GT(doc.redraws, 0);
}

TEST_F(CaliperHost, DetailedDistancesAreCalibrated)
{
    for (const double unitsPerPixel : {1.0, 0.5}) {
        TestDocument doc(BarImage(60, 20, {{10, 8}, {30, 8}}));
        doc.calibration.SetUnitsPerPixel(unitsPerPixel);
        CCaliperView* view = Open(doc);
        CCaliperSettings& settings = app_.Main().Settings();
        settings.SetPasses(0);
        settings.SetMinimumWidth(kPeak, 1);
        settings.SetMinimumWidth(kValley, 1);
        settings.SetDecimals(1);
        DrawLine(view, {2, 10}, {55, 10});
        const CReportTable& detailed = app_.Main().Current()->Report().Detailed();
        ASSERT_EQ(detailed.RowCount(), 2) << "peak and valley";
        EXPECT_EQ(detailed.CellText(0, 0), "Peak");
        EXPECT_EQ(detailed.CellText(0, 1), unitsPerPixel == 1.0 ? "20.0" : "10.0");
        view->OnClose();
    }
}

TEST_F(CaliperHost, DeleteApplyAndSwitchedOffDetectors)
{
    TestDocument doc(BarImage(60, 40, {{10, 8}, {30, 8}}));
    CCaliperView* view = Open(doc);
    CCaliperSettings& settings = app_.Main().Settings();
    settings.SetPasses(0);
    settings.SetMinimumWidth(kPeak, 1);
    settings.SetMinimumWidth(kValley, 1);
    DrawLine(view, {2, 10}, {55, 10});
    DrawLine(view, {2, 30}, {55, 30});
    CCaliperSession& session = *app_.Main().Current();
    const int first = session.Tools().ToolIds().at(0);
    EXPECT_EQ(session.Markers().Markers(first).size(), 3u) << "two peaks and a valley";

    // Delete with nothing selected changes nothing.
    view->OnLButtonDown(MK_LBUTTON, CPoint(59, 39));
    view->OnLButtonUp(0, CPoint(59, 39));
    view->OnKeyDown(CCaliperToolList::kDeleteKey, 1, 0);
    EXPECT_EQ(session.Tools().ToolIds().size(), 2u);
    EXPECT_EQ(session.Analyzers().Count(), 2);

    // The valley detector switched off: its markers go at Apply, its count stays in the basic table.
    settings.SetDetector(kValley, 0);
    session.Apply();
    EXPECT_EQ(session.Markers().Markers(first).size(), 2u);
    const CReportTable& basic = session.Report().Basic();
    ASSERT_EQ(basic.RowCount(), 2);
    EXPECT_EQ(basic.CellText(0, 5), "1") << "valleys still counted";
    int sum = 0;
    for (int column = 3; column < 8; ++column)
        sum += std::stoi(basic.CellText(0, column));
    EXPECT_EQ(basic.CellText(0, 2), std::to_string(sum)) << "total of every kind, switched on or not";

    // A click selects the first line; Delete takes it, its label, analyser and markers.
    view->OnLButtonDown(MK_LBUTTON, CPoint(40, 10));
    view->OnLButtonUp(0, CPoint(40, 10));
    view->OnKeyDown(CCaliperToolList::kDeleteKey, 1, 0);
    EXPECT_EQ(session.Tools().Find(first), nullptr);
    EXPECT_EQ(session.Tools().Count(), 2) << "the other line and its label";
    EXPECT_EQ(session.Analyzers().Find(first), nullptr);
    EXPECT_TRUE(session.Markers().Markers(first).empty());
}

TEST_F(CaliperHost, AClickOffTheImageIsIgnored)
{
    TestDocument doc(BarImage(30, 20, {}));
    CCaliperView* view = Open(doc);
    app_.Main().Current()->SetToolMode(1);
    view->OnLButtonDown(MK_LBUTTON, CPoint(-5, 3));
    EXPECT_EQ(app_.Main().Current()->Tools().Count(), 0);
}

TEST_F(CaliperHost, OwnPushesDoNotRebindButImageChangesDo)
{
    TestDocument doc(BarImage(60, 40, {{20, 8}}));
    CCaliperView* view = Open(doc);
    // The host answers a redraw by telling the view its image changed, as a document does.
    view->AttachHost([&] {
        PlgViewHost host = view->GetHost();
        host.redrawWindow = [&doc, view](QWidget*) {
            ++doc.redraws;
            view->OnUpdatedImage();
        };
        return host;
    }());
    app_.Main().Settings().SetPasses(0);
    app_.Main().Settings().SetMinimumWidth(kPeak, 1);
    DrawLine(view, {5, 10}, {50, 10});
    EXPECT_EQ(doc.pool.PushCount(), 1u) << "the session's own pushes made no new working copy";
    CCaliperSession& session = *app_.Main().Current();

    // A real change: the tools stay and are measured on the new image.
    doc.pool.GetImage() = BarImage(60, 40, {{30, 8}});
    view->OnUpdatedImage();
    EXPECT_EQ(session.Tools().ToolIds().size(), 1u);
    session.Measure(true);
    const int id = session.Tools().ToolIds()[0];
    EXPECT_EQ(session.Analyzers().Find(id)->EdgePoints(kPeak), (std::vector<CPoint>{{33, 10}}));
}

TEST_F(CaliperHost, PushLeavesAnImageOfAnotherSizeAlone)
{
    TestDocument doc(BarImage(60, 40, {}));
    Open(doc);
    CCaliperSession& session = *app_.Main().Current();
    doc.pool.GetImage() = BarImage(10, 5, {});
    session.Render();
    session.Push();
    EXPECT_EQ(doc.pool.GetImage().GetWidth(), 10);
    EXPECT_EQ(Bgr(doc.pool.GetImage(), 9, 4), (std::array<BYTE, 3>{0, 0, 0}));
}

TEST_F(CaliperHost, RestartingKeepsASessionForEveryView)
{
    TestDocument a(BarImage(40, 30, {}));
    TestDocument b(BarImage(40, 30, {}));
    CCaliperView* viewA = Open(a);
    CCaliperView* viewB = Open(b);
    DrawLine(viewB, {1, 1}, {30, 1});
    viewA->OnActivate(1);
    app_.Main().RestartSessions();
    EXPECT_EQ(app_.Main().SessionCount(), 2);
    EXPECT_EQ(&app_.Main().Current()->View(), viewA);
    ASSERT_NE(app_.Main().SessionOf(*viewB), nullptr);
    EXPECT_TRUE(app_.Main().SessionOf(*viewB)->Tools().ToolIds().empty()) << "tools are discarded";
    // Input on the other view goes to that view's own session.
    viewB->OnActivate(1);
    EXPECT_EQ(&app_.Main().Current()->View(), viewB);
}

TEST_F(CaliperHost, SettingsOfAnEarlierRunSurviveTheNextStart)
{
    app_.Main().Settings().SetPasses(9);
    app_.Main().EndCaliper();
    EXPECT_TRUE(std::filesystem::exists(folder_ / "settings" / "DefaultSet.cst"));
    app_.InitPlgApp();
    EXPECT_EQ(app_.Main().Settings().Passes(), 9);
}

TEST_F(CaliperHost, ExitDeletesNoFileInTheCurrentFolder)
{
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    std::ofstream(folder_ / "keep.tmp") << "x";
    app_.Main().Exit();
    app_.ExitPlgApp();
    EXPECT_TRUE(std::filesystem::exists(folder_ / "keep.tmp"));
    std::filesystem::current_path(before);
}

TEST(CaliperModule, RegistersOneResidentEntryUnderImageAnalysis)
{
    CModule module;
    ASSERT_TRUE(module.Load(CALIPER_MODULE_PATH));
    const auto version = module.GetProc<PFN_PlgContractVersion>(kPlgContractVersionName);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(), VISTREL_PLG_CONTRACT_VERSION);
    const auto connect = module.GetProc<PFN_PlgConnect>(kPlgConnectName);
    ASSERT_NE(connect, nullptr);
    CPlgApplication* application = connect();
    ASSERT_NE(application, nullptr);
    ASSERT_EQ(application->GetPlgInfoList().size(), 1u);
    const tagPlgInfo& entry = application->GetPlgInfoList()[0];
    EXPECT_EQ(entry.group, Text(kStrImageAnalysis));
    EXPECT_EQ(entry.item, Text(kStrCaliper));
    EXPECT_EQ(entry.flag, 0);
    EXPECT_EQ(entry.index, 0);
    application->RemoveAllPlgInfo();
    CPlgView* view = nullptr;
    EXPECT_EQ(application->CreatePlgView(1, 0, &view), 0);
    EXPECT_EQ(view, nullptr);
}
