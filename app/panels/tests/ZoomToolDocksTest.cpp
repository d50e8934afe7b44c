// The zoom dock and the tools dock in the main frame, on documents of the program's registry: the magnifier's
// pixels, cross-hair and overlay checked on its rendered picture, the navigator's frame against the view's scroll,
// the settings in the profile, and the tool palette starting and dropping creations.
#include "panels/CMeasureAnnotationDockWnd.h"
#include "panels/CZoomDockWnd.h"
#include "panels/CZoomNavigatorWnd.h"
#include "panels/CZoomViewWnd.h"
#include "panels/ZoomToolDocks.h"

#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "frame/tests/MainFrameTestFolder.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/GObjectCatalogue.h"
#include "profile/CAppProfile.h"
#include "qvimage/CQvImage.h"
#include "resources/StringTable.h"
#include "testing/MessageBoxRecorder.h"
#include "testing/RenderCheck.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {

constexpr int kWidth = 80;
constexpr int kHeight = 60;

// Every pixel tells where it came from: blue x, green y, red 0 (marked pixels: red 255).
CQvImage Gradient()
{
    CQvImage image;
    image.Create(QV_RGB24, kWidth, kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            BYTE* p = image.GetPixel(x, y);
            p[0] = static_cast<BYTE>(x);
            p[1] = static_cast<BYTE>(y);
            p[2] = 0;
        }
    return image;
}

QRgb SourceColour(int x, int y, bool marked = false)
{
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight)
        return qRgb(255, 255, 255);
    return qRgb(marked ? 255 : 0, y, x);
}

class ZoomToolDocksTest : public MainFrameTestFolder
{
protected:
    void SetUp() override
    {
        MainFrameTestFolder::SetUp();
        MessageBoxes().Install();
        MessageBoxes().Reset();
        MakeMainFrame();
        frame->show();
        registry = std::make_unique<DocumentRegistry>();
        registry->AttachMainFrame(frame.get());
        InstallZoomAndToolDocks(*frame, *registry);
        zoom = qobject_cast<CZoomDockWnd*>(frame->Pane(PANE_MAGNIFIER)->widget());
        tools = qobject_cast<CMeasureAnnotationDockWnd*>(frame->Pane(PANE_TOOLS)->widget());
        ASSERT_NE(zoom, nullptr);
        ASSERT_NE(tools, nullptr);
    }

    void OpenDocument(const CQvImage& image)
    {
        ASSERT_NO_FATAL_FAILURE(OpenPicture(image));
        ASSERT_EQ(registry->GetActiveDocument(), doc);
    }

    void TearDown() override
    {
        registry.reset();
        frame.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MessageBoxes().Reset();
        MainFrameTestFolder::TearDown();
    }

    CImageDispWnd& Wnd() { return *view->GetDispWnd(); }
    CQvGObjectContainer& Objects() { return doc->GetGObjectContainer(); }
    QPoint At(CPoint image)
    {
        const CPoint p = Wnd().GetZoomedPoint(image);
        return {p.x, p.y};
    }
    void MoveTo(CPoint image) { QTest::mouseMove(Wnd().viewport(), At(image)); }

    CZoomDockWnd* zoom = nullptr;
    CMeasureAnnotationDockWnd* tools = nullptr;
};

// The image pixel a magnifier pixel shows, given the square's middle and the cell size.
int SourceOf(int screen, int middle, int cell, int centre)
{
    const int offset = screen - middle + cell / 2;
    return centre + (offset >= 0 ? offset / cell : -((-offset + cell - 1) / cell));
}

TEST_F(ZoomToolDocksTest, TheMagnifierShowsThePixelsUnderTheMouseEnlargedWithTheCrossHairOnThem)
{
    OpenDocument(Gradient());
    CZoomViewWnd* magnifier = zoom->Magnifier();
    ASSERT_EQ(magnifier->AttachedWindow(), &Wnd());
    struct Case
    {
        QSize size;
        int cells;
        int factor;  // 0: the cell count form
        CPoint cursor;
        int cell;
    };
    const Case cases[] = {
        {{60, 40}, 20, 0, CPoint(10, 12), 2},  // 40 / 20
        {{80, 90}, 20, 0, CPoint(70, 50), 4},  // 80 / 20, near the far corner
        {{121, 101}, 0, 2, CPoint(1, 0), 2},   // the calibration form, white above and left of the image
        {{100, 100}, 0, 4, CPoint(40, 30), 4},
    };
    for (const Case& c : cases) {
        magnifier->resize(c.size);
        if (c.factor)
            magnifier->SetFactor(c.factor);
        else
            magnifier->SetCellCount(c.cells);
        MoveTo(c.cursor);
        ASSERT_EQ(magnifier->Centre(), c.cursor);
        const QImage shown = magnifier->Render();
        const CRect square = magnifier->DisplaySquare();
        const int side = std::min(c.size.width(), c.size.height());
        ASSERT_EQ(square.Width(), side);
        ASSERT_EQ(square.left, (c.size.width() - side + 1) / 2);
        ASSERT_EQ(square.top, (c.size.height() - side + 1) / 2);
        const int midX = square.left + side / 2;
        const int midY = square.top + side / 2;
        const QRgb cross = qRgb(255, 0, 0);
        int wrong = 0;
        for (int y = square.top + 1; y < square.bottom - 1; ++y)
            for (int x = square.left + 1; x < square.right - 1; ++x) {
                if (x == midX || y == midY)
                    continue;
                const QRgb expected =
                    SourceColour(SourceOf(x, midX, c.cell, c.cursor.x), SourceOf(y, midY, c.cell, c.cursor.y));
                wrong += (shown.pixel(x, y) & 0xFFFFFF) != (expected & 0xFFFFFF);
            }
        EXPECT_EQ(wrong, 0) << c.size.width() << "x" << c.size.height() << " cell " << c.cell;
        // The cross-hair runs through the middle of the cursor pixel's cell, edge to edge.
        EXPECT_EQ(PixelAt(shown, midX, square.top + 1) & 0xFFFFFF, cross & 0xFFFFFF);
        EXPECT_EQ(PixelAt(shown, square.left + 1, midY) & 0xFFFFFF, cross & 0xFFFFFF);
        EXPECT_EQ(PixelAt(shown, midX - c.cell / 2, midY - c.cell / 2) & 0xFFFFFF,
                  SourceColour(c.cursor.x, c.cursor.y) & 0xFFFFFF);
        EXPECT_EQ(PixelAt(shown, square.left, square.top) & 0xFFFFFF, 0u) << "the black frame";
    }
    // With no document left the dock lets go of the window and shows the empty face.
    MessageBoxes().QueueAnswers({IDNO});
    ASSERT_TRUE(registry->CloseDocument(doc));
    EXPECT_EQ(magnifier->AttachedWindow(), nullptr);
    EXPECT_EQ(zoom->Navigator()->AttachedWindow(), nullptr);
    const QImage empty = magnifier->Render();
    EXPECT_EQ(CountColour(empty, empty.pixel(0, 0)), empty.width() * empty.height());
}

TEST(ZoomSample, GreyIndexedAndFourByteImagesGiveTheirColours)
{
    struct Case
    {
        int model;
        QRgb expected;
    };
    RGBQUAD palette[4] = {};
    palette[3] = RGBQUAD{0x10, 0x20, 0x30, 0};  // blue, green, red
    for (const Case& c : {Case{QV_GRAY8, qRgb(3, 3, 3)}, Case{QV_INDEX8, qRgb(0x30, 0x20, 0x10)},
                          Case{QV_RGBA32, qRgb(0x33, 0x22, 0x11)}}) {
        CQvImage image;
        ASSERT_EQ(image.Create(c.model, 4, 4, 0), 1);
        if (c.model == QV_INDEX8)
            image.SetPalette(palette, 4);
        BYTE* p = image.GetPixel(0, 0);
        if (c.model == QV_RGBA32) {
            p[0] = 0x11;
            p[1] = 0x22;
            p[2] = 0x33;
            p[3] = 0x99;
        } else {
            p[0] = 3;
        }
        const QImage sample = CZoomViewWnd::Sample(image, CPoint(0, 0), 20);
        ASSERT_EQ(sample.size(), QSize(21, 21));
        EXPECT_EQ(sample.pixel(10, 10), c.expected) << c.model;
        // Above and left of the image: white.
        for (int i = 0; i < 21; ++i) {
            EXPECT_EQ(sample.pixel(i, 9), qRgb(255, 255, 255));
            EXPECT_EQ(sample.pixel(9, i), qRgb(255, 255, 255));
        }
    }
}

TEST_F(ZoomToolDocksTest, TheOverlayLandsOnTheMagnifiedPixelsItWasDrawnOn)
{
    CQvImage image = Gradient();
    constexpr int kRow = 30;
    for (int x = 30; x <= 50; ++x)
        image.GetPixel(x, kRow)[2] = 255;
    OpenDocument(image);
    ASSERT_TRUE(doc->AddObjectOfType(SHAPE_ANNO_LINE));
    QTest::mouseClick(Wnd().viewport(), Qt::LeftButton, Qt::NoModifier, At(CPoint(32, kRow)));
    QTest::mouseMove(Wnd().viewport(), At(CPoint(48, kRow)));
    QTest::mouseClick(Wnd().viewport(), Qt::LeftButton, Qt::NoModifier, At(CPoint(48, kRow)));
    QTest::mouseClick(Wnd().viewport(), Qt::RightButton, Qt::NoModifier, At(CPoint(48, kRow)));
    ASSERT_EQ(Objects().GetMainObjList().size(), 1u);
    CZoomViewWnd* magnifier = zoom->Magnifier();
    for (int factorCase : {2, 4}) {
        // 40 x 40 with 20 cells: 2 pixels a cell; 80 x 80: 4.
        magnifier->resize(20 * factorCase, 20 * factorCase);
        magnifier->SetCellCount(20);
        MoveTo(CPoint(40, kRow + 2));
        magnifier->SetOverlay(false);
        const QImage plain = magnifier->Render();
        magnifier->SetOverlay(true);
        const QImage drawn = magnifier->Render();
        const CRect square = magnifier->DisplaySquare();
        const int midX = square.left + square.Width() / 2;
        const int midY = square.top + square.Width() / 2;
        int changed = 0;
        int offRow = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if (drawn.pixel(x, y) != plain.pixel(x, y)) {
                    ++changed;
                    const int sx = SourceOf(x, midX, factorCase, 40);
                    const int sy = SourceOf(y, midY, factorCase, kRow + 2);
                    offRow += !(sy == kRow && sx >= 30 && sx <= 50);
                }
        EXPECT_GE(changed, 16 * factorCase) << factorCase;
        EXPECT_EQ(offRow, 0) << factorCase;
        if (offRow)
            drawn.save(FailureImageFolder() + QString("/magnifier-overlay-%1.png").arg(factorCase));
    }
    // The objects are read when painting: a deleted one is never drawn (ASan would catch a stale pointer).
    Objects().DeleteObject(Objects().GetMainObjList().front());
    EXPECT_EQ(CountDifferences(magnifier->Render(),
                               [&] {
                                   magnifier->SetOverlay(false);
                                   return magnifier->Render();
                               }()),
              0);
}

TEST_F(ZoomToolDocksTest, TheNavigatorFramesThePartTheViewShowsAndScrollsItByDragging)
{
    OpenDocument(Gradient());
    CZoomNavigatorWnd* navigator = zoom->Navigator();
    navigator->resize(160, 120);
    for (QWidget* w = view; w; w = w->parentWidget())
        if (auto* child = qobject_cast<QMdiSubWindow*>(w))
            child->resize(260, 220);
    Wnd().SetZoom(QVZOOM_8);
    QApplication::processEvents();
    ASSERT_LT(Wnd().GetClientRect().Width(), 8 * kWidth);
    ASSERT_LT(Wnd().GetClientRect().Height(), 8 * kHeight);
    zoom->Refresh(0);
    const CRect fitted = navigator->FittedRect();
    ASSERT_EQ(fitted, CRect(0, 0, 160, 120));
    const double scale = navigator->Scale();
    ASSERT_DOUBLE_EQ(scale, 160.0 / (8.0 * kWidth));
    for (CPoint scroll : {CPoint(0, 0), CPoint(100, 40), CPoint(240, 200)}) {
        Wnd().ScrollToPosition(scroll);
        const CPoint at = Wnd().GetScrollPosition();
        const CRect frameRect = navigator->VisibleFrame();
        EXPECT_EQ(frameRect.left, static_cast<int>(at.x * scale));
        EXPECT_EQ(frameRect.top, static_cast<int>(at.y * scale));
        EXPECT_EQ(frameRect.Width(), static_cast<int>(Wnd().GetClientRect().Width() * scale));
        const QImage shown = navigator->Render();
        EXPECT_EQ(PixelAt(shown, frameRect.left, frameRect.top + 3) & 0xFFFFFF, qRgb(255, 0, 0) & 0xFFFFFF);
        EXPECT_EQ(PixelAt(shown, frameRect.left + 1, frameRect.top + 3) & 0xFFFFFF, qRgb(255, 0, 0) & 0xFFFFFF);
    }
    Wnd().ScrollToPosition(CPoint(0, 0));
    QTest::mousePress(navigator, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(navigator, QPoint(30, 15));
    QMouseEvent move(QEvent::MouseMove, QPointF(30, 15), QPointF(30, 15), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(navigator, &move);
    QTest::mouseRelease(navigator, Qt::LeftButton, Qt::NoModifier, QPoint(30, 15));
    EXPECT_EQ(Wnd().GetScrollPosition(), CPoint(80, 20)) << "20 and 5 navigator pixels at a quarter";
}

TEST_F(ZoomToolDocksTest, TheCellCountStaysEvenInItsRangeAndIsKeptInTheProfile)
{
    struct Stored
    {
        int stored;
        int used;
    };
    for (const Stored s : {Stored{0, 10}, Stored{7, 10}, Stored{15, 14}, Stored{99, 20}, Stored{-4, 10}}) {
        ASSERT_TRUE(profile.WriteProfileInt("ZOOM", "CELL", s.stored));
        CZoomDockWnd dock(&profile, UI_LANGUAGE_ENGLISH);
        EXPECT_EQ(dock.Magnifier()->CellCount(), s.used) << s.stored;
        EXPECT_EQ(dock.findChild<QSpinBox*>("103")->value(), s.used);
    }
    {
        CZoomDockWnd dock(&profile, UI_LANGUAGE_ENGLISH);
        auto* spin = dock.findChild<QSpinBox*>("103");
        spin->setValue(14);
        EXPECT_EQ(dock.findChild<QLineEdit*>("102")->text(), "14x14 Pixel");
        spin->setValue(17);
        EXPECT_EQ(spin->value(), 16) << "never odd";
        dock.findChild<QCheckBox*>("100")->setChecked(true);
        dock.Magnifier()->SetCrossPen(2, 3, RGB(0x12, 0x34, 0x56));
    }
    EXPECT_EQ(profile.GetProfileInt("ZOOM", "CELL", 0), 16);
    EXPECT_EQ(profile.GetProfileInt("ZOOM", "OVERLAY", 0), 1);
    EXPECT_EQ(profile.GetProfileInt("ZOOM", "LineType", 0), 2);
    EXPECT_EQ(profile.GetProfileInt("ZOOM", "LineWeight", 0), 3);
    std::vector<BYTE> colour;
    ASSERT_TRUE(profile.GetProfileBinary("ZOOM", "LineColor", colour));
    EXPECT_EQ(colour, (std::vector<BYTE>{0x12, 0x34, 0x56, 0x00}));
    CZoomDockWnd again(&profile, UI_LANGUAGE_ENGLISH);
    EXPECT_EQ(again.Magnifier()->CellCount(), 16);
    EXPECT_TRUE(again.Magnifier()->Overlay());
    EXPECT_EQ(again.Magnifier()->CrossColour(), RGB(0x12, 0x34, 0x56));

    // An edited profile never gives a pen the drawing cannot make.
    struct Pen
    {
        int style, width, usedStyle, usedWidth;
    };
    for (const Pen p : {Pen{42, 999, 0, 10}, Pen{-1, -3, 0, 1}, Pen{5, 0, 5, 1}, Pen{3, 10, 3, 10}}) {
        ASSERT_TRUE(profile.WriteProfileInt("ZOOM", "LineType", p.style));
        ASSERT_TRUE(profile.WriteProfileInt("ZOOM", "LineWeight", p.width));
        CZoomDockWnd dock(&profile, UI_LANGUAGE_ENGLISH);
        EXPECT_EQ(dock.Magnifier()->CrossStyle(), p.usedStyle) << p.style;
        EXPECT_EQ(dock.Magnifier()->CrossWidth(), p.usedWidth) << p.width;
    }
}

// A left-button click on the row of the tool with that shape.
void ClickTool(CMeasureAnnotationDockWnd::ToolPage& page, int shape, const tagGObjInfo* tools, int count)
{
    for (int row = 0; row < page.count(); ++row) {
        const int index = page.item(row)->data(Qt::UserRole).toInt();
        if (index < count && tools[index].shape == shape) {
            page.resize(300, 600);
            QTest::mouseClick(page.viewport(), Qt::LeftButton, Qt::NoModifier,
                              page.visualItemRect(page.item(row)).center());
            return;
        }
    }
    ADD_FAILURE() << "no tool of shape " << shape;
}

TEST_F(ZoomToolDocksTest, PickingAToolStartsItsCreationAndPickingItAgainSwitchesItOffInThePalette)
{
    using Kind = CMeasureAnnotationDockWnd::PageKind;
    auto& page = *tools->Page(Kind::Measurement);
    // Without a document nothing starts and nothing is highlighted.
    ClickTool(page, SHAPE_LINE, Get2DMeasureInfo(), Get2DMeasureInfoCount());
    EXPECT_EQ(page.Highlighted(), -1);

    OpenDocument(Gradient());
    ClickTool(page, SHAPE_LINE, Get2DMeasureInfo(), Get2DMeasureInfoCount());
    const int row = page.Highlighted();
    ASSERT_GE(row, 0);
    ASSERT_NE(Objects().GetCreatingObject(), nullptr);
    EXPECT_EQ(Objects().GetCreatingObject()->GetObjShape(), SHAPE_LINE);
    ClickTool(page, SHAPE_LINE, Get2DMeasureInfo(), Get2DMeasureInfoCount());
    EXPECT_EQ(page.Highlighted(), -1);
    EXPECT_TRUE(page.selectedItems().isEmpty());

    // Finishing a creation drops the pick, so the same tool starts the next object at once.
    ClickTool(page, SHAPE_LINE, Get2DMeasureInfo(), Get2DMeasureInfoCount());
    ASSERT_GE(page.Highlighted(), 0);
    QTest::mouseClick(Wnd().viewport(), Qt::LeftButton, Qt::NoModifier, At(CPoint(10, 10)));
    QTest::mouseMove(Wnd().viewport(), At(CPoint(40, 10)));
    QTest::mouseClick(Wnd().viewport(), Qt::LeftButton, Qt::NoModifier, At(CPoint(40, 10)));
    QTest::mouseClick(Wnd().viewport(), Qt::RightButton, Qt::NoModifier, At(CPoint(40, 10)));
    EXPECT_EQ(page.Highlighted(), -1);
    ClickTool(page, SHAPE_LINE, Get2DMeasureInfo(), Get2DMeasureInfoCount());
    EXPECT_GE(page.Highlighted(), 0);

    // Clicking the empty part of a page changes nothing.
    const int before = page.Highlighted();
    QTest::mouseClick(page.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(295, 595));
    EXPECT_EQ(page.Highlighted(), before);
}

// A click as the window system delivers it, through the top-level window: a widget that holds the mouse gets it
// wherever it lands.
void WindowClick(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    QWindow* window = widget->window()->windowHandle();
    ASSERT_NE(window, nullptr);
    const QPoint p = widget->mapTo(widget->window(), at);
    QTest::mouseMove(window, p);
    QTest::mouseClick(window, button, Qt::NoModifier, p);
}

// The centre of the row of the tool with that shape, in the page's viewport, scrolled into view.
QPoint ToolRow(CMeasureAnnotationDockWnd::ToolPage& page, int shape)
{
    for (int row = 0; row < page.count(); ++row) {
        const int index = page.item(row)->data(Qt::UserRole).toInt();
        if (index < Get2DMeasureInfoCount() && Get2DMeasureInfo()[index].shape == shape) {
            page.scrollToItem(page.item(row));
            return page.visualItemRect(page.item(row)).center();
        }
    }
    ADD_FAILURE() << "no tool of shape " << shape;
    return {};
}

TEST_F(ZoomToolDocksTest, AClickOnTheToolsDockPicksTheToolWhateverTheViewWasDoing)
{
    OpenDocument(Gradient());
    auto& page = *tools->Page(CMeasureAnnotationDockWnd::PageKind::Measurement);
    ASSERT_TRUE(page.isVisible());
    QWidget* viewport = Wnd().viewport();
    auto finished = [this] {
        std::vector<CQvGObject*> done;
        for (CQvGObject* object : Objects().GetMainObjList())
            if (object->GetState() == GS_FINISHED)
                done.push_back(object);
        return done;
    };
    auto expectFreshCreation = [&](int shape, const char* when) {
        SCOPED_TRACE(when);
        CQvGObject* creating = Objects().GetCreatingObject();
        ASSERT_NE(creating, nullptr);
        EXPECT_EQ(creating->GetObjShape(), shape) << "the tool switched";
        EXPECT_EQ(creating->GetState(), GS_FIRST_POINT) << "the click on the dock is no point";
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "the view let go of the mouse";
        EXPECT_EQ(page.currentRow(), page.Highlighted());
        EXPECT_GE(page.Highlighted(), 0);
    };

    WindowClick(page.viewport(), ToolRow(page, SHAPE_LINE));
    ASSERT_NO_FATAL_FAILURE(expectFreshCreation(SHAPE_LINE, "the first pick"));

    // Between the two clicks of a line the view holds the mouse; a click on the dock still picks the circle and
    // the line begun is given up.
    WindowClick(viewport, At(CPoint(10, 10)));
    ASSERT_EQ(QWidget::mouseGrabber(), viewport) << "the rubber band follows the mouse anywhere";
    WindowClick(page.viewport(), ToolRow(page, SHAPE_CIRCLE));
    ASSERT_NO_FATAL_FAILURE(expectFreshCreation(SHAPE_CIRCLE, "in the middle of a line"));
    EXPECT_TRUE(finished().empty());

    // A finished line: the tool has begun the next line by itself, yet the next click on the dock picks the circle.
    WindowClick(page.viewport(), ToolRow(page, SHAPE_LINE));
    WindowClick(viewport, At(CPoint(10, 10)));
    WindowClick(viewport, At(CPoint(70, 50)));
    ASSERT_EQ(finished().size(), 1u);
    ASSERT_NE(Objects().GetCreatingObject(), nullptr);
    EXPECT_EQ(Objects().GetCreatingObject()->GetObjShape(), SHAPE_LINE) << "the tool repeats";
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "waiting for a first point, the view holds nothing";
    WindowClick(page.viewport(), ToolRow(page, SHAPE_CIRCLE));
    ASSERT_NO_FATAL_FAILURE(expectFreshCreation(SHAPE_CIRCLE, "after a finished line"));
    ASSERT_EQ(finished().size(), 1u);
    const CQvGObject* line = finished().front();
    ASSERT_EQ(line->GetPointCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_GE(line->GetPoint()[i].x, 0);
        EXPECT_LT(line->GetPoint()[i].x, kWidth);
        EXPECT_GE(line->GetPoint()[i].y, 0);
        EXPECT_LT(line->GetPoint()[i].y, kHeight);
    }

    // The circle is drawn where it is clicked.
    WindowClick(viewport, At(CPoint(30, 30)));
    WindowClick(viewport, At(CPoint(40, 30)));
    EXPECT_EQ(finished().size(), 2u);
    EXPECT_EQ(finished().back()->GetObjShape(), SHAPE_CIRCLE);
}

TEST_F(ZoomToolDocksTest, ToolIconsLetThePageShowThroughTheirBackground)
{
    using Kind = CMeasureAnnotationDockWnd::PageKind;
    auto& page = *tools->Page(Kind::Measurement);
    ASSERT_GT(page.count(), 0);
    const QList<QSize> sizes = page.item(0)->icon().availableSizes();
    ASSERT_FALSE(sizes.isEmpty());
    const QImage icon = page.item(0)->icon().pixmap(sizes.first()).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << "the strip's background corner is masked out";
}

TEST_F(ZoomToolDocksTest, AnAutomaticToolIsRefusedOnTheLiveView)
{
    OpenDocument(Gradient());
    view->SetLive(true);
    auto& page = *tools->Page(CMeasureAnnotationDockWnd::PageKind::AutoMeasure);
    ClickTool(page, GetAutoMeasureInfo()[0].shape, GetAutoMeasureInfo(), GetAutoMeasureInfoCount());
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, LoadString("Vistrel", 770));
    EXPECT_EQ(Objects().GetCreatingObject(), nullptr);
    EXPECT_EQ(page.Highlighted(), -1);
    view->SetLive(false);
}

// An automatic line picked on the tools dock's page and drawn roughly in the view snaps to the image's edge, on
// grey, 24-bit and 32-bit images; drawn where there is no edge it leaves nothing and the tool is ready again.
TEST_F(ZoomToolDocksTest, AnAutomaticLineFromTheDockSnapsToTheEdgeOfTheActiveImage)
{
    for (int type : {QV_GRAY8, QV_RGB24, QV_RGBA32}) {
        SCOPED_TRACE(type);
        CQvImage image;
        image.Create(type, kWidth, kHeight, 0);
        const int bytes = image.GetBitsPerPixel() / 8;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                for (int b = 0; b < bytes; ++b)
                    image.GetPixel(x, y)[b] = x < 40 ? 30 : 210;
        OpenDocument(image);
        auto& page = *tools->Page(CMeasureAnnotationDockWnd::PageKind::AutoMeasure);
        ClickTool(page, SHAPE_AUTO_LINE, GetAutoMeasureInfo(), GetAutoMeasureInfoCount());
        ASSERT_NE(Objects().GetCreatingObject(), nullptr);
        EXPECT_EQ(Objects().GetCreatingObject()->GetObjShape(), SHAPE_AUTO_LINE);
        QTest::mouseClick(Wnd().viewport(), Qt::LeftButton, Qt::NoModifier, At(CPoint(37, 8)));
        MoveTo(CPoint(43, 52));
        QTest::mouseClick(Wnd().viewport(), Qt::LeftButton, Qt::NoModifier, At(CPoint(43, 52)));
        // With repetition on, a next line may already wait for its first point.
        ASSERT_GE(Objects().GetMainObjList().size(), 1u);
        CQvGObject* line = Objects().GetMainObjList().front();
        ASSERT_EQ(line->GetState(), GS_FINISHED);
        Objects().CancelObject();
        EXPECT_NEAR(line->GetPoint()[0].x, 39.5, 1.0);
        EXPECT_NEAR(line->GetPoint()[1].x, 39.5, 1.0);

        // No edge under the second line: nothing is added.
        ClickTool(page, SHAPE_AUTO_LINE, GetAutoMeasureInfo(), GetAutoMeasureInfoCount());
        QTest::mouseClick(Wnd().viewport(), Qt::LeftButton, Qt::NoModifier, At(CPoint(12, 8)));
        MoveTo(CPoint(14, 52));
        QTest::mouseClick(Wnd().viewport(), Qt::LeftButton, Qt::NoModifier, At(CPoint(14, 52)));
        size_t finished = 0;
        for (CQvGObject* object : Objects().GetMainObjList())
            finished += object->GetState() == GS_FINISHED ? 1 : 0;
        EXPECT_EQ(finished, 1u);
        doc->GetGObjectContainer().RemoveAll();
    }
}

}  // namespace
