// The image view: fit to window and zoom steps with their setting in VISTREL.INI, what activation shows in the main
// frame's status panes and calibration boxes, the mouse position in calibrated units, and a look at a main frame
// with a view on a sample image.
#include "view/CVistrelView.h"

#include "core/VistrelIni.h"
#include "core/tests/CoreTestFolder.h"
#include "document/CVistrelDoc.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "testing/RenderCheck.h"

#include "calibkeeper/CCalibKeeper.h"
#include "inifile/PrivateProfile.h"
#include "profile/CAppProfile.h"
#include "qvimage/CQvImage.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace cmd;

namespace {

CQvImage MakeImage(int width, int height)
{
    CQvImage image;
    image.Create(QV_RGB24, width, height, 0);
    return image;
}

// A picture file as a 24-bit image (B, G, R rows top-down).
CQvImage LoadImage(const QString& path)
{
    const QImage picture = QImage(path).convertToFormat(QImage::Format_BGR888);
    CQvImage image;
    if (picture.isNull() || !image.Create(QV_RGB24, picture.width(), picture.height(), 0))
        return image;
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(image.Get2DBuffer()[y], picture.constScanLine(y), static_cast<size_t>(picture.width()) * 3);
    return image;
}

class VistrelViewTest : public CoreTestFolder
{
protected:
    void SetUp() override
    {
        CoreTestFolder::SetUp();
        std::filesystem::create_directories(Path("program"));
        AppEnvironment().Init(Path("program/Vistrel"));
    }

    void TearDown() override
    {
        views.clear();
        frame.reset();
        documents.clear();
        CoreTestFolder::TearDown();
    }

    CMainFrame& Frame(LANGID language = UI_LANGUAGE_KOREAN)
    {
        if (!frame) {
            MainFrameOptions options;
            options.profile = &profile;
            options.language = language;
            options.programFolder = Path("program");
            frame = std::make_unique<CMainFrame>(options);
            frame->Hooks().decimalPlaces = [] { return 2; };
            frame->resize(1200, 800);
            frame->show();
            QApplication::processEvents();  // lays the frame out, so the MDI area has its size
        }
        return *frame;
    }

    // A document with an image of that size and its view in a child frame of the main frame.
    CVistrelView* OpenInFrame(int width, int height, double unitsPerPixel = 1.0)
    {
        auto doc = std::make_unique<CVistrelDoc>();
        doc->GetCalibKeeper().SetUnitsPerPixel(unitsPerPixel);
        auto* view = new CVistrelView(doc.get());
        doc->AddView(view);
        // As the document registry does: the document sizes its frame to the image.
        doc->SetChildFrame(Frame().AddChildFrame(view, view, doc.get()));
        const CQvImage image = MakeImage(width, height);
        doc->SetImage("", &image);
        documents.push_back(std::move(doc));
        QApplication::processEvents();
        return view;
    }

    // A view on its own, with a client area of that size.
    CVistrelView& LooseView(QSize client, QSize imageSize)
    {
        documents.push_back(std::make_unique<CVistrelDoc>());
        views.push_back(std::make_unique<CVistrelView>(documents.back().get()));
        CVistrelView& view = *views.back();
        view.resize(client);
        view.show();
        const CQvImage image = MakeImage(imageSize.width(), imageSize.height());
        documents.back()->SetImage("", &image);
        return view;
    }

    CAppProfile profile{"QRX", "Vistrel"};
    std::vector<std::unique_ptr<CVistrelDoc>> documents;
    std::vector<std::unique_ptr<CVistrelView>> views;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(VistrelViewTest, FitToWindowTakesTheSmallerRatioAndFollowsTheSize)
{
    struct Case
    {
        QSize client, image;
        float ratio;
    };
    const Case cases[] = {
        {{800, 300}, {1600, 1200}, 0.25f},
        {{1000, 1000}, {500, 250}, 2.0f},
        {{500, 250}, {1000, 1000}, 0.25f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.client.width() << "x" << c.client.height());
        CVistrelView& view = LooseView(c.client, c.image);
        ASSERT_FALSE(view.IsZoomFit());
        view.ToggleZoomFit();
        EXPECT_TRUE(view.IsZoomFit());
        EXPECT_FLOAT_EQ(view.GetDispWnd()->GetRatio(), c.ratio);
        EXPECT_TRUE(GetZoomFitMode());
        EXPECT_FLOAT_EQ(view.GetDocument()->GetGObjectContainer().GetRatio(), c.ratio) << "the overlay follows";
    }

    CVistrelView& view = *views.front();
    view.resize(1600, 600);
    EXPECT_FLOAT_EQ(view.GetDispWnd()->GetRatio(), 0.5f) << "a resize in fit mode fits again";

    // Off again: the zoom level from before comes back.
    view.ToggleZoomFit();
    EXPECT_FLOAT_EQ(view.GetDispWnd()->GetRatio(), 1.0f);
    EXPECT_FALSE(GetZoomFitMode());
    view.resize(800, 300);
    EXPECT_FLOAT_EQ(view.GetDispWnd()->GetRatio(), 1.0f) << "out of fit mode a resize keeps the zoom";
}

TEST_F(VistrelViewTest, ZoomingWhileFittedLeavesFitModeAndStepsFromTheFittedRatio)
{
    const struct
    {
        UINT command;
        float expected;
    } cases[] = {{ID_ZOOM_IN, 0.5f}, {ID_ZOOM_OUT, 0.25f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        CVistrelView& view = LooseView({800, 300}, {1000, 1000});  // fits at 0.3, between the steps
        view.ToggleZoomFit();
        ASSERT_FLOAT_EQ(view.GetDispWnd()->GetRatio(), 0.3f);
        ASSERT_TRUE(view.ExecuteCommand(c.command));
        EXPECT_FALSE(view.IsZoomFit());
        EXPECT_FLOAT_EQ(view.GetDispWnd()->GetRatio(), c.expected);
        EXPECT_EQ(GetPrivateProfileString("CONFIG", "ZoomFitMode", "?", VistrelIniPath().c_str()), "0");
        view.resize(1600, 1200);
        EXPECT_FLOAT_EQ(view.GetDispWnd()->GetRatio(), c.expected) << "no longer fitted";
    }
}

TEST_F(VistrelViewTest, TheZoomComboSetsAndShowsTheZoomLevel)
{
    CVistrelView* view = OpenInFrame(640, 480);
    ASSERT_TRUE(view->IsActiveView());
    Frame().Router().Query(ID_ZOOM_COMBO);  // the idle update shows the zoom in the box
    EXPECT_EQ(Frame().ZoomBox()->currentIndex(), QVZOOM_1);
    Frame().ZoomBox()->setCurrentIndex(QVZOOM_2);  // the user's pick survives the update before the command
    ASSERT_TRUE(Frame().Router().Execute(ID_ZOOM_COMBO));
    EXPECT_FLOAT_EQ(view->GetDispWnd()->GetRatio(), 2.0f);

    ASSERT_TRUE(Frame().Router().Execute(ID_ZOOM_OUT));
    Frame().Router().Query(ID_ZOOM_COMBO);
    EXPECT_EQ(Frame().ZoomBox()->currentIndex(), QVZOOM_3_2);
}

TEST_F(VistrelViewTest, ActivationShowsTheImageSizeInCalibratedUnitsAndDeactivationResetsThePanes)
{
    const struct
    {
        LANGID language;
        const char* size;
        const char* resetSize;
    } cases[] = {
        {UI_LANGUAGE_KOREAN, "이미지 크기 (가로 : 320.00, 세로 : 240.00)", "이미지 크기"},
        {UI_LANGUAGE_ENGLISH, "Image Size (Width : 320.00, Height : 240.00)", "Image Size"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        frame.reset();
        documents.clear();
        Frame(c.language);
        CVistrelView* first = OpenInFrame(640, 480, 0.5);
        EXPECT_EQ(Frame().PaneText(PANE_STATUS_IMAGE_SIZE), c.size);
        EXPECT_EQ(Frame().PaneText(PANE_STATUS_COLOUR), CQvImage::GetColorModelString(QV_RGB24));

        CVistrelView* second = OpenInFrame(100, 50, 2.0);
        EXPECT_FALSE(first->IsActiveView());
        EXPECT_TRUE(second->IsActiveView());
        EXPECT_EQ(Frame().PaneText(PANE_STATUS_IMAGE_SIZE),
                  FormatImageSizeText(c.language, 2, 200.0, 100.0));

        Frame().MdiArea()->setActiveSubWindow(Frame().MdiArea()->subWindowList().front());
        EXPECT_TRUE(first->IsActiveView());
        EXPECT_EQ(Frame().PaneText(PANE_STATUS_IMAGE_SIZE), c.size);

        first->OnActivateView(false, nullptr, first);
        EXPECT_EQ(Frame().PaneText(PANE_STATUS_IMAGE_SIZE), c.resetSize);
    }
}

TEST_F(VistrelViewTest, ActivationSelectsTheDocumentsCalibrationInTheBoxes)
{
    QComboBox* names = Frame().CalibrationNameBox();
    names->addItem("Objective 10x");
    names->addItem("Objective 40x");
    CVistrelView* view = OpenInFrame(64, 48);
    EXPECT_EQ(names->currentIndex(), 0) << "an uncalibrated image shows none";

    view->GetDocument()->GetCalibKeeper().SetName("Objective 40x");
    view->OnActivateView(true, view, nullptr);
    EXPECT_EQ(names->currentText(), "Objective 40x");
}

TEST_F(VistrelViewTest, TheMousePositionShowsInCalibratedUnits)
{
    CVistrelView* view = OpenInFrame(640, 480, 0.5);
    CImageDispWnd* wnd = view->GetDispWnd();
    wnd->SetZoom(QVZOOM_2);
    wnd->ScrollToPosition(CPoint(40, 20));
    QTest::mouseMove(wnd->viewport(), QPoint(60, 30));  // image (50, 25)
    EXPECT_EQ(Frame().PaneText(PANE_STATUS_MOUSE), "마우스 위치 (25.00,12.50)");
}

TEST_F(VistrelViewTest, AMainFrameWithAViewOnASampleImage)
{
    const CQvImage sample = LoadImage(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../package/root/Sample Images/Micrograph.png"));
    ASSERT_FALSE(sample.IsEmpty());
    CVistrelView* view = OpenInFrame(64, 48, 0.5);
    CVistrelDoc* doc = view->GetDocument();
    doc->SetImage("Micrograph.png", &sample);
    doc->GetLatticer().Show(1);
    ASSERT_TRUE(doc->AddObjectOfType(SHAPE_LINE));
    CImageDispWnd* wnd = view->GetDispWnd();
    const CPoint o = wnd->GetOrigin();
    QTest::mouseClick(wnd->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(o.x + 40, o.y + 60));
    QTest::mouseMove(wnd->viewport(), QPoint(o.x + 200, o.y + 120));
    QTest::mouseClick(wnd->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(o.x + 200, o.y + 120));
    QTest::mouseClick(wnd->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(o.x + 200, o.y + 120));
    ASSERT_EQ(doc->GetGObjectContainer().GetMainObjList().size(), 1u);
    view->OnActivateView(true, view, nullptr);
    QApplication::processEvents();

    const QImage shot = Frame().grab().toImage();
    ASSERT_FALSE(shot.isNull());
    const QString folder = testing_support::FailureImageFolder();
    QDir().mkpath(folder);
    EXPECT_TRUE(shot.save(folder + "/main-frame-with-view.png"));
    // The image shows in the window: the display surface carries the picture's own pixels.
    wnd->UpdateWindow();
    const QImage surface = wnd->GetSurface();
    const CPoint inside = wnd->GetZoomedPoint(CPoint(5, 5));
    const BYTE* bgr = sample.GetPixel(5, 5);
    EXPECT_EQ(testing_support::PixelAt(surface, inside.x, inside.y), qRgb(bgr[2], bgr[1], bgr[0]) & 0xFFFFFF);
}

}  // namespace

// Drawn, moved or deleted objects are unsaved work; a click that only selects, or a zoom, is not.
TEST_F(VistrelViewTest, OverlayEditsMarkTheDocumentModifiedAndSelectingDoesNot)
{
    CVistrelView* view = OpenInFrame(200, 150);
    CVistrelDoc* doc = view->GetDocument();
    CImageDispWnd* wnd = view->GetDispWnd();
    const auto click = [wnd](int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        const CPoint o = wnd->GetOrigin();
        QTest::mouseMove(wnd->viewport(), QPoint(o.x + x, o.y + y));
        QTest::mouseClick(wnd->viewport(), button, Qt::NoModifier, QPoint(o.x + x, o.y + y));
    };
    doc->SetModifiedFlag(false);

    ASSERT_TRUE(doc->AddObjectOfType(SHAPE_LINE));
    click(20, 20);
    click(120, 90);
    click(120, 90, Qt::RightButton);
    ASSERT_EQ(doc->GetGObjectContainer().GetMainObjList().size(), 1u);
    EXPECT_TRUE(doc->IsModified());

    // Saved: clicking empty ground and selecting the line change nothing the file keeps.
    doc->SetModifiedFlag(false);
    click(180, 10);
    click(70, 55);
    ASSERT_EQ(doc->GetGObjectContainer().GetSelectedObjectCount(), 1);
    EXPECT_FALSE(doc->IsModified());

    // Deleting the selected line is an edit.
    QTest::keyClick(wnd->viewport(), Qt::Key_Delete);
    EXPECT_TRUE(doc->GetGObjectContainer().GetMainObjList().empty());
    EXPECT_TRUE(doc->IsModified());

    // A zoom and a click after it are not.
    doc->SetModifiedFlag(false);
    wnd->SetZoom(QVZOOM_2);
    click(5, 5);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(VistrelViewTest, ALiveViewMakesItsDocumentLive)
{
    CVistrelView& view = LooseView(QSize(100, 80), QSize(50, 40));
    view.SetLive(true);
    EXPECT_TRUE(view.GetDocument()->IsLive()) << "the document's commands must see the live picture too";
    view.SetLive(false);
    EXPECT_FALSE(view.GetDocument()->IsLive());
}

TEST_F(VistrelViewTest, DeletingInsideARegionIsAnEditThatUndoTakesBack)
{
    CVistrelView* view = OpenInFrame(200, 150);
    CVistrelDoc* doc = view->GetDocument();
    CImageDispWnd* wnd = view->GetDispWnd();
    const CPoint o = wnd->GetOrigin();
    doc->GetRegionContainer().SetAutoRepeatCreatingObject(0);
    ASSERT_NE(doc->AddRegionObject(SHAPE_ANNO_RECT), 0);
    wnd->SetToolMode(CImageDispWnd::kRegionMode);
    for (const QPoint at : {QPoint(o.x + 20, o.y + 20), QPoint(o.x + 80, o.y + 60)}) {
        QTest::mouseMove(wnd->viewport(), at);
        QTest::mouseClick(wnd->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    ASSERT_EQ(doc->GetRegionContainer().GetMainObjList().size(), 1u);
    doc->SetModifiedFlag(false);

    QTest::keyClick(wnd->viewport(), Qt::Key_Delete);
    EXPECT_EQ(doc->GetImage().GetPixel(50, 40)[0], 255) << "the region is filled";
    EXPECT_TRUE(doc->IsModified());

    doc->OnEditUndo();
    EXPECT_EQ(doc->GetImage().GetPixel(50, 40)[0], 0) << "undo brings the pixels back";
}
