// The image display window driven by real mouse and key events on its viewport: shapes land in the overlay at the
// image points under the pointer whatever the zoom and scroll, the tool-mode word follows the overlay, plug-in
// views are asked first, and the retained surface shows image, overlay and grid.
#include "view/CImageDispWnd.h"

#include "testing/MessageBoxRecorder.h"
#include "testing/RenderCheck.h"

#include "calibkeeper/CCalibKeeper.h"
#include "framepool/CQvFramePool.h"
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "latticer/CLatticer.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageOps.h"
#include "qvplglib/CPlgView.h"
#include "resources/StringTable.h"
#include "types/WinUser.h"

#include <QMdiSubWindow>

#include "document/CVistrelDoc.h"

#include <QTest>
#include <QWidget>
#include <QClipboard>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using testing_support::CountColour;
using testing_support::MessageBoxes;
using testing_support::PixelAt;

namespace {

class FakeHost : public IDispWndHost
{
public:
    bool IsLiveView() const override { return live; }
    bool IsFullScreen() const override { return false; }
    void LeaveFullScreen() override {}
    void ShowMousePosition(double x, double y) override { mouse = {x, y}; }
    void ShowObjectColours(COLORREF line, COLORREF text) override { colours = {line, text}; }
    void ObjectsChanged() override { ++objectChanges; }
    void SetAcquisitionArea(const CRect& area) override { areas.push_back(area); }
    void RunViewCommand(UINT id) override { commands.push_back(id); }
    bool IsViewCommandEnabled(UINT) override { return true; }
    void ZoomChanged() override { ++zooms; }

    bool live = false;
    std::pair<double, double> mouse{-1, -1};
    std::pair<COLORREF, COLORREF> colours{0, 0};
    int objectChanges = 0;
    int zooms = 0;
    std::vector<CRect> areas;
    std::vector<UINT> commands;
};

// A plug-in view that notes what reached it.
class RecordingPlugIn : public CPlgView
{
public:
    int Run() override { return runAnswer; }
    void OnActivate(int activate) override { activations.push_back(activate); }
    void OnLButtonDown(UINT, CPoint point) override { leftDowns.push_back(point); }
    void OnKeyDown(UINT key, UINT, UINT) override { keys.push_back(key); }

    int runAnswer = 1;
    std::vector<int> activations;
    std::vector<CPoint> leftDowns;
    std::vector<UINT> keys;
};

constexpr QRgb kImageGrey = 0x606060;

class ImageDispWndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MessageBoxes().Reset();
        CQvImage image;
        ASSERT_EQ(image.Create(QV_RGB24, 400, 300, 0), 1);
        QVSetFill(&image, 0x60, 0);
        pool.SetImage(&image);
        regions.SetAutoRepeatCreatingObject(0);
        grid.Show(0);

        parent.resize(300, 200);
        wnd = new CImageDispWnd();
        wnd->SetHost(&host);
        ASSERT_EQ(wnd->Create(&parent, CRect(0, 0, 300, 200)), 1);
        parent.show();
        DispWndDocument doc;
        doc.framePool = &pool;
        doc.objects = &objects;
        doc.regions = &regions;
        doc.calibration = &calibration;
        doc.grid = &grid;
        doc.plugIns = &plugIns;
        wnd->Bind(doc);
    }

    void TearDown() override
    {
        wnd->Unbind();
        MessageBoxes().Reset();
    }

    QWidget* Viewport() { return wnd->viewport(); }
    void Click(QPoint at) { QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, at); }
    void Move(QPoint to) { QTest::mouseMove(Viewport(), to); }
    // Two clicks with a move between them: how lines, circles and rectangles are drawn.
    void DrawTwoPoint(QPoint a, QPoint b)
    {
        Click(a);
        Move(b);
        Click(b);
    }

    CQvFramePool pool;
    CQvGObjectContainer objects;
    CQvGObjectContainer regions;
    CCalibKeeper calibration;
    CLatticer grid;
    std::vector<std::unique_ptr<tagActiveApp>> plugIns;
    FakeHost host;
    QWidget parent;
    CImageDispWnd* wnd = nullptr;
};

TEST_F(ImageDispWndTest, ShapesDrawnWithTheMouseLandOnImagePixelsAtZoomTwoAndScrolled)
{
    wnd->SetZoom(QVZOOM_2);
    wnd->ScrollToPosition(CPoint(100, 60));
    ASSERT_EQ(wnd->GetScrollPosition(), CPoint(100, 60));
    EXPECT_EQ(objects.GetRatio(), 2.0f) << "the overlay follows the zoom";
    EXPECT_EQ(objects.GetRelative(), CPoint(-100, -60)) << "and the scroll origin";

    struct Case
    {
        OBJ_SHAPE shape;
        QPoint a, b;
        CPoint imageA, imageB;
    };
    const Case cases[] = {
        {SHAPE_LINE, {50, 40}, {150, 40}, {75, 50}, {125, 50}},
        {SHAPE_CIRCLE, {20, 100}, {80, 160}, {60, 80}, {90, 110}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape);
        ASSERT_EQ(objects.AddObject(c.shape), 1);
        const size_t before = objects.GetMainObjList().size();
        DrawTwoPoint(c.a, c.b);
        // The overlay starts the next shape of the kind at once; the right click ends the repetition.
        EXPECT_EQ(wnd->GetToolMode() & CImageDispWnd::kCreating, CImageDispWnd::kCreating);
        QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier, c.b);
        ASSERT_EQ(objects.GetMainObjList().size(), before);
        const CQvGObject* shape = objects.GetMainObjList().back();
        ASSERT_EQ(shape->GetObjShape(), c.shape);
        ASSERT_GE(shape->GetPointCount(), 2);
        EXPECT_EQ(shape->GetState(), GS_FINISHED);
        EXPECT_EQ(shape->GetPoint()[0].x, c.imageA.x);
        EXPECT_EQ(shape->GetPoint()[0].y, c.imageA.y);
        EXPECT_EQ(shape->GetPoint()[1].x, c.imageB.x);
        EXPECT_EQ(shape->GetPoint()[1].y, c.imageB.y);
        // The creation ended: the window switched the overlay to selection mode, and the right click that may
        // follow does not open the context menu.
        EXPECT_EQ(wnd->GetToolMode() & (CImageDispWnd::kCreating | CImageDispWnd::kSelectionMode),
                  CImageDispWnd::kSelectionMode);
        EXPECT_TRUE(objects.GetObjState() & GS_SELECTION);
        EXPECT_TRUE(wnd->ContextMenuCommands().empty());
    }
    EXPECT_EQ(objects.GetMainObjList().size(), 2u);
    // With something to paste on the clipboard the next right click opens the paste menu.
    QGuiApplication::clipboard()->setText("pasteable");
    EXPECT_EQ(wnd->ContextMenuCommands(), (std::vector<UINT>{57637})) << "the next right click opens the menu";
}

TEST_F(ImageDispWndTest, CreatingSetsTheModeWordAndAnyKeyCancelsAHalfDrawnLine)
{
    ASSERT_EQ(objects.AddObject(SHAPE_LINE), 1);
    Click(QPoint(10, 10));
    EXPECT_EQ(wnd->GetToolMode() & CImageDispWnd::kCreating, CImageDispWnd::kCreating);
    EXPECT_EQ(wnd->GetAutoScroll(), 1) << "a shape being drawn follows the pointer past the edge";

    QTest::keyClick(wnd, Qt::Key_A);
    EXPECT_TRUE(objects.GetMainObjList().empty());
    EXPECT_EQ(wnd->GetToolMode(), CImageDispWnd::kSelectionMode) << "back to selecting";
    EXPECT_EQ(objects.GetObjState(), GS_SELECTION);
    EXPECT_EQ(wnd->GetAutoScroll(), 0);
}

TEST_F(ImageDispWndTest, MousePositionIsReportedInCalibratedUnits)
{
    ASSERT_EQ(calibration.SetUnitsPerPixel(0.5), 1);
    wnd->SetZoom(QVZOOM_2);
    wnd->ScrollToPosition(CPoint(20, 10));
    Move(QPoint(40, 30));
    EXPECT_DOUBLE_EQ(host.mouse.first, 15.0);   // image x (40 + 20) / 2 = 30
    EXPECT_DOUBLE_EQ(host.mouse.second, 10.0);  // image y (30 + 10) / 2 = 20
}

TEST_F(ImageDispWndTest, CalibrationModeRefusesTheRightButtonAndAllButZoomKeys)
{
    objects.AddObject(SHAPE_LINE);
    objects.KeyDown(VK_ESCAPE, 1, 0);
    wnd->SetToolMode(CImageDispWnd::kCalibrationMode);
    const size_t before = objects.GetMainObjList().size();

    QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, LoadString("Vistrel", 764));
    EXPECT_EQ(objects.GetMainObjList().size(), before);
    EXPECT_EQ(wnd->GetToolMode(), CImageDispWnd::kCalibrationMode);

    const float ratio = wnd->GetRatio();
    QTest::keyClick(wnd, Qt::Key_Right);
    EXPECT_EQ(wnd->GetRatio(), ratio);
    QTest::keyClick(wnd, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_GT(wnd->GetRatio(), ratio) << "keypad + still zooms";
    EXPECT_EQ(host.zooms, 1);
}

TEST_F(ImageDispWndTest, ACancelledCalibrationLineCountsItsClicksAfresh)
{
    objects.SetAutoRepeatCreatingObject(0);
    // Cancelled by a key while drawing, or by leaving calibration mode: the next line still takes two clicks.
    for (const bool byKey : {true, false}) {
        wnd->SetToolMode(CImageDispWnd::kCalibrationMode);
        ASSERT_TRUE(objects.AddObject(SHAPE_LINE));
        Click(QPoint(20, 20));
        if (byKey) {
            QTest::keyClick(wnd, Qt::Key_Escape);
        } else {
            objects.CancelObject();
            wnd->SetToolMode(0);
            wnd->SetToolMode(CImageDispWnd::kCalibrationMode);
        }
        ASSERT_TRUE(objects.AddObject(SHAPE_LINE));
        Click(QPoint(30, 30));
        EXPECT_EQ(wnd->GetToolMode() & CImageDispWnd::kSelectionMode, 0) << byKey << ": one click is no line yet";
        Move(QPoint(90, 60));
        Click(QPoint(90, 60));
        EXPECT_NE(wnd->GetToolMode() & CImageDispWnd::kSelectionMode, 0) << byKey << ": the second click ends it";
        wnd->SetToolMode(0);
        objects.RemoveAll();
    }
}

TEST_F(ImageDispWndTest, RegionModeLetsTheMeasurementObjectsHearKeysOtherThanDelete)
{
    objects.SetAutoRepeatCreatingObject(0);
    ASSERT_TRUE(objects.AddObject(SHAPE_LINE));
    Click(QPoint(20, 20));
    ASSERT_NE(objects.GetCreatingObject(), nullptr);
    wnd->SetToolMode(CImageDispWnd::kRegionMode);
    const int changes = host.objectChanges;
    QTest::keyClick(wnd, Qt::Key_Escape);
    EXPECT_EQ(objects.GetCreatingObject(), nullptr) << "Escape still cancels the line being drawn";
    EXPECT_GT(host.objectChanges, changes);
    EXPECT_EQ(wnd->GetToolMode(), CImageDispWnd::kRegionMode);
}

TEST_F(ImageDispWndTest, RegionModeSetsTheAcquisitionAreaAndTheImageRegion)
{
    wnd->SetToolMode(CImageDispWnd::kRegionMode);
    // Without a region shape the area is the whole canvas less one pixel.
    Click(QPoint(5, 5));
    ASSERT_EQ(host.areas.size(), 1u);
    EXPECT_EQ(host.areas.back(), CRect(0, 0, 399, 299));

    ASSERT_EQ(regions.AddObject(SHAPE_ANNO_RECT), 1);
    DrawTwoPoint(QPoint(10, 20), QPoint(60, 80));
    ASSERT_EQ(regions.GetMainObjList().size(), 1u);
    const CRect box = regions.GetMainObjList().front()->GetMBR();
    EXPECT_EQ(host.areas.back(), CRect(box.left, box.top, box.right + 1, box.bottom + 1));
    EXPECT_EQ(pool.GetImage().GetRoiKind(), QV_ROI_RECT);
    EXPECT_TRUE(objects.GetMainObjList().empty()) << "region input never reaches the measurement overlay";
}

TEST_F(ImageDispWndTest, PlugInViewsSeeMouseAndKeysFirstUnlessAModeBlocksThem)
{
    auto record = std::make_unique<tagActiveApp>();
    RecordingPlugIn plugIn;
    record->view = &plugIn;
    record->activation = 0;
    plugIns.push_back(std::move(record));

    Click(QPoint(30, 40));
    EXPECT_TRUE(plugIn.leftDowns.empty()) << "a plug-in that does not run yet gets nothing";

    wnd->ActivatePlugInViews(1);
    EXPECT_EQ(plugIns[0]->activation, 1) << "the first activation runs the plug-in";
    EXPECT_EQ(plugIn.activations, std::vector<int>{1});

    Click(QPoint(30, 40));
    ASSERT_EQ(plugIn.leftDowns.size(), 1u);
    EXPECT_EQ(plugIn.leftDowns[0], CPoint(30, 40)) << "plug-ins get window points";
    QTest::keyClick(wnd, Qt::Key_Delete);
    EXPECT_EQ(plugIn.keys, std::vector<UINT>{VK_DELETE});

    wnd->SetToolMode(CImageDispWnd::kSelectionMode);
    Click(QPoint(30, 40));
    EXPECT_EQ(plugIn.leftDowns.size(), 1u) << "selection mode keeps the mouse from plug-ins";
}

TEST_F(ImageDispWndTest, TheSurfaceShowsImageOverlayAndGrid)
{
    parent.resize(500, 400);
    wnd->resize(500, 400);  // larger than the image: it is centred
    QApplication::processEvents();
    ASSERT_GT(wnd->GetOrigin().x, 0);
    ASSERT_EQ(objects.AddObject(SHAPE_ANNO_LINE), 1);
    objects.GetCreatingObject()->GetProperty().SetLineColor(RGB(255, 0, 0));
    const CPoint origin = wnd->GetOrigin();
    const QPoint a(origin.x + 20, origin.y + 100), b(origin.x + 220, origin.y + 100);
    DrawTwoPoint(a, b);
    objects.UnSelectAll();

    wnd->Invalidate();
    wnd->UpdateWindow();
    const QImage withoutGrid = wnd->GetSurface();
    EXPECT_EQ(PixelAt(withoutGrid, origin.x + 300, origin.y + 250), kImageGrey);
    EXPECT_EQ(PixelAt(withoutGrid, origin.x + 120, origin.y + 100), 0xFF0000u) << "the line";
    if (HasFailure())
        withoutGrid.save(testing_support::FailureImageFolder() + "/dispwnd-surface.png");
    EXPECT_NE(PixelAt(withoutGrid, origin.x - 2, origin.y - 2), kImageGrey) << "outside the image";

    grid.Show(1);
    grid.SetType(G_CHECK);
    grid.SetLineColor(RGB(0, 255, 0));
    calibration.SetUnitsPerPixel(1.0);
    wnd->Invalidate();
    wnd->UpdateWindow();
    const QImage withGrid = wnd->GetSurface();
    const QRect imageArea(origin.x, origin.y, 400, 300);
    EXPECT_EQ(CountColour(withoutGrid, 0x00FF00, imageArea), 0);
    EXPECT_GT(CountColour(withGrid, 0x00FF00, imageArea), 400) << "grid lines over the image";
    EXPECT_EQ(PixelAt(withGrid, origin.x + 120, origin.y + 100) == 0xFF0000u ||
                  PixelAt(withGrid, origin.x + 120, origin.y + 100) == 0x00FF00u,
              true);

    // A live view paints its frames itself: the window shows the empty canvas.
    host.live = true;
    wnd->Invalidate();
    wnd->UpdateWindow();
    EXPECT_EQ(CountColour(wnd->GetSurface(), kImageGrey, imageArea), 0);
}

TEST_F(ImageDispWndTest, RenderingOneToOneDrawsTheObjectsAtImageCoordinates)
{
    wnd->SetZoom(QVZOOM_3);
    wnd->ScrollToPosition(CPoint(0, 0));
    ASSERT_EQ(objects.AddObject(SHAPE_ANNO_LINE), 1);
    objects.GetCreatingObject()->GetProperty().SetLineColor(RGB(0, 0, 255));
    const CPoint origin = wnd->GetOrigin();
    DrawTwoPoint(QPoint(origin.x + 30, origin.y + 60), QPoint(origin.x + 150, origin.y + 60));  // image (10,20)-(50,20)
    objects.UnSelectAll();

    const QImage plain = wnd->RenderToImage(0x01);
    const QImage burnt = wnd->RenderToImage(0x07);
    ASSERT_EQ(burnt.size(), QSize(400, 300));
    EXPECT_EQ(PixelAt(plain, 30, 20), kImageGrey);
    EXPECT_EQ(PixelAt(burnt, 30, 20), 0x0000FFu);
    EXPECT_EQ(PixelAt(wnd->RenderToImage(0x06), 200, 200), 0x000000u) << "without flag 1 the image is black";
    EXPECT_EQ(objects.GetRatio(), 3.0f) << "the overlay is back at the window's zoom";
}

TEST_F(ImageDispWndTest, WheelTowardsTheUserZoomsIn)
{
    const float ratio = wnd->GetRatio();
    QWheelEvent towards(QPointF(50, 50), Viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Viewport(), &towards);
    EXPECT_GT(wnd->GetRatio(), ratio);
    EXPECT_EQ(objects.GetRatio(), wnd->GetRatio());
}

}  // namespace
