// The image view's editing commands, run through the main frame's command router on documents of the program's
// registry: region tools, duplicate, crop, cut/copy/paste of pixels and objects, merges, colours, tool modes, the Z
// indicator and the context menu, with their undo through the document.
#include "view/ViewCommands.h"

#include "document/CVistrelDoc.h"
#include "document/ClipboardImage.h"
#include "document/DocumentRegistry.h"
#include "document/DocumentStrings.h"
#include "frame/CMainFrame.h"
#include "frame/ColourPopupButton.h"
#include "frame/CommandIds.h"
#include "frame/tests/MainFrameTestFolder.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/GObjectClipboard.h"
#include "gobjects/shapes/CQvGObjectImage.h"
#include "gobjects/shapes/CQvGObjectText.h"
#include "profile/CAppProfile.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageDib.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"
#include "winmsg/NamedMapping.h"

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

using namespace cmd;

namespace {

constexpr int kWidth = 80;
constexpr int kHeight = 60;

// Every pixel tells where it came from: blue x, green y, red x + y (all below 255).
CQvImage Gradient()
{
    CQvImage image;
    image.Create(QV_RGB24, kWidth, kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            BYTE* p = image.GetPixel(x, y);
            p[0] = static_cast<BYTE>(x);
            p[1] = static_cast<BYTE>(y);
            p[2] = static_cast<BYTE>(x + y);
        }
    return image;
}

bool IsSource(const CQvImage& image, int x, int y, int sourceX, int sourceY)
{
    const BYTE* p = image.GetPixel(x, y);
    return p && p[0] == sourceX && p[1] == sourceY && p[2] == sourceX + sourceY;
}

bool IsWhite(const CQvImage& image, int x, int y)
{
    const BYTE* p = image.GetPixel(x, y);
    return p && p[0] == 255 && p[1] == 255 && p[2] == 255;
}

bool SameImage(const CQvImage& a, const CQvImage& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetColorModel() != b.GetColorModel())
        return false;
    return std::memcmp(a.GetBuffer(), b.GetBuffer(), static_cast<size_t>(a.GetStride()) * a.GetHeight()) == 0;
}

class ViewCommandsTest : public MainFrameTestFolder
{
protected:
    void SetUp() override
    {
        MainFrameTestFolder::SetUp();
        QGuiApplication::clipboard()->clear();
        MakeMainFrame();
        frame->show();
        registry = std::make_unique<DocumentRegistry>();
        registry->AttachMainFrame(frame.get());
        ASSERT_NO_FATAL_FAILURE(OpenPicture(Gradient()));
        ASSERT_EQ(registry->GetActiveDocument(), doc);
    }

    void TearDown() override
    {
        registry.reset();
        frame.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QGuiApplication::clipboard()->clear();
        MainFrameTestFolder::TearDown();
    }

    CImageDispWnd& Wnd() { return *view->GetDispWnd(); }
    CQvGObjectContainer& Objects() { return doc->GetGObjectContainer(); }
    CQvGObjectContainer& Regions() { return doc->GetRegionContainer(); }
    bool Run(UINT id) { return frame->Router().Execute(id); }
    CommandState Query(UINT id) { return frame->Router().Query(id); }

    // Where an image pixel is on the window.
    QPoint At(CPoint image)
    {
        const CPoint p = Wnd().GetZoomedPoint(image);
        return {p.x, p.y};
    }
    void Click(CPoint image, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(Wnd().viewport(), button, Qt::NoModifier, At(image));
    }
    void Drag(CPoint a, CPoint b)
    {
        Click(a);
        QTest::mouseMove(Wnd().viewport(), At(b));
        Click(b);
    }
    // A region drawn with its tool.
    void DrawRegion(UINT tool, CPoint a, CPoint b)
    {
        ASSERT_TRUE(Run(tool));
        Drag(a, b);
        ASSERT_FALSE(Regions().GetMainObjList().empty());
        ASSERT_EQ(Regions().GetMainObjList().front()->GetState(), GS_FINISHED);
    }
    // An overlay object of the shape drawn between two points; the right click ends the repetition.
    CQvGObject* DrawObject(OBJ_SHAPE shape, CPoint a, CPoint b)
    {
        EXPECT_TRUE(doc->AddObjectOfType(shape));
        Drag(a, b);
        Click(b, Qt::RightButton);
        EXPECT_FALSE(Objects().GetMainObjList().empty());
        return Objects().GetMainObjList().back();
    }
};

}  // namespace

TEST_F(ViewCommandsTest, RegionToolsSwitchOnOffAndOverEachOther)
{
    struct Step
    {
        UINT command;
        bool regionMode;
        int tool;
    };
    // Each row runs after the one before.
    const Step steps[] = {
        {ID_REGION_RECT, true, 0},      // on with the rectangle
        {ID_REGION_RECT, false, -1},    // the same tool again ends region mode
        {ID_REGION_RECT, true, 0},      //
        {ID_REGION_ELLIPSE, true, 1},   // another tool takes over at once
        {ID_REGION_POLYGON, true, 2},   //
        {ID_REGION_POLYGON, false, -1}, //
    };
    const OBJ_SHAPE shapes[] = {SHAPE_ANNO_RECT, SHAPE_ANNO_ELLIPSE, SHAPE_ANNO_POLYGON};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.command);
        ASSERT_TRUE(Run(step.command));
        EXPECT_EQ((Wnd().GetToolMode() & CImageDispWnd::kRegionMode) != 0, step.regionMode);
        EXPECT_EQ(view->GetRegionTool(), step.tool);
        EXPECT_EQ(doc->GetImage().GetRoiKind(), QV_ROI_NONE);
        for (UINT id : {ID_REGION_RECT, ID_REGION_ELLIPSE, ID_REGION_POLYGON})
            EXPECT_EQ(Query(id).checked, step.regionMode && static_cast<int>(id - ID_REGION_RECT) == step.tool);
        if (step.regionMode) {
            ASSERT_EQ(Regions().GetMainObjList().size(), 1u) << "the shape being drawn is the only one";
            EXPECT_EQ(Regions().GetMainObjList().front()->GetObjShape(), shapes[step.tool]);
            EXPECT_EQ(Regions().GetObjState(), GS_FIRST_POINT);
        } else {
            EXPECT_TRUE(Regions().GetMainObjList().empty());
        }
    }

    // A drawn rectangle gives the image its region; ending the tool takes it away again.
    DrawRegion(ID_REGION_RECT, {10, 10}, {30, 20});
    EXPECT_EQ(doc->GetImage().GetRoiKind(), QV_ROI_RECT);
    view->Commands().ApplyRegionTool();
    EXPECT_EQ(doc->GetImage().GetRoiKind(), QV_ROI_NONE);
    EXPECT_EQ(view->GetRegionTool(), -1);
    EXPECT_EQ(Wnd().GetToolMode() & CImageDispWnd::kRegionMode, 0);

    // While some view shows the camera, no region tool can start.
    view->SetLive(true);
    EXPECT_FALSE(Query(ID_REGION_ELLIPSE).enabled);
    EXPECT_FALSE(Query(ID_MERGE_ALL).enabled);
    EXPECT_FALSE(Query(ID_IMAGE_DUPLICATE).enabled);
    EXPECT_FALSE(Run(ID_REGION_ELLIPSE));
    view->SetLive(false);
    EXPECT_TRUE(Query(ID_REGION_ELLIPSE).enabled);
}

TEST_F(ViewCommandsTest, DuplicateCopiesTheRegionWithWhiteOutsideOrTheWholeImage)
{
    DrawRegion(ID_REGION_ELLIPSE, {10, 10}, {40, 30});
    CRect box = Regions().GetMainObjList().front()->GetMBR();
    ASSERT_EQ(box, CRect(10, 10, 40, 30));
    ASSERT_TRUE(Run(ID_IMAGE_DUPLICATE));
    CVistrelDoc* copy = registry->GetActiveDocument();
    ASSERT_NE(copy, doc);
    const CQvImage& cut = copy->GetImage();
    ASSERT_EQ(cut.GetWidth(), 31);
    ASSERT_EQ(cut.GetHeight(), 21);
    EXPECT_TRUE(IsWhite(cut, 0, 0)) << "the corner lies outside the ellipse";
    EXPECT_TRUE(IsWhite(cut, 30, 20));
    EXPECT_TRUE(IsSource(cut, 15, 10, 25, 20)) << "the centre is the image's";
    EXPECT_TRUE(IsSource(cut, 1, 10, 11, 20));
    EXPECT_EQ(copy->GetTitle().rfind(DocumentString(docstr::IDS_NEW_IMAGE) + "-", 0), 0u) << copy->GetTitle();
    EXPECT_EQ(view->GetRegionTool(), -1) << "the region tool is off afterwards";
    EXPECT_TRUE(Regions().GetMainObjList().empty());
    EXPECT_TRUE(SameImage(doc->GetImage(), Gradient())) << "the source is untouched";

    // Without a region the whole image is copied.
    frame->MdiArea()->setActiveSubWindow(doc->GetChildFrame());
    ASSERT_EQ(registry->GetActiveDocument(), doc);
    ASSERT_TRUE(Run(ID_IMAGE_DUPLICATE));
    CVistrelDoc* whole = registry->GetActiveDocument();
    ASSERT_NE(whole, copy);
    EXPECT_TRUE(SameImage(whole->GetImage(), Gradient()));
}

TEST_F(ViewCommandsTest, CropKeepsTheRegionAndUndoBringsTheWholeImageBack)
{
    EXPECT_FALSE(Query(ID_IMAGE_CROP).enabled) << "no region mode";
    DrawRegion(ID_REGION_RECT, {20, 5}, {49, 24});
    ASSERT_TRUE(Query(ID_IMAGE_CROP).enabled);
    ASSERT_TRUE(Run(ID_IMAGE_CROP));
    const CQvImage& image = doc->GetImage();
    ASSERT_EQ(image.GetWidth(), 30);
    ASSERT_EQ(image.GetHeight(), 20);
    EXPECT_TRUE(IsSource(image, 0, 0, 20, 5));
    EXPECT_TRUE(IsSource(image, 29, 19, 49, 24));
    EXPECT_EQ(image.GetRoiKind(), QV_ROI_NONE);
    EXPECT_EQ(Wnd().GetToolMode(), 0);
    EXPECT_EQ(view->GetRegionTool(), -1);
    EXPECT_TRUE(Regions().GetMainObjList().empty());
    EXPECT_EQ(Wnd().GetCanvasSize(), CSize(30, 20)) << "the window follows the new size";
    EXPECT_TRUE(doc->IsModified());

    ASSERT_TRUE(Query(ID_EDIT_UNDO).enabled);
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_TRUE(SameImage(doc->GetImage(), Gradient()));
    EXPECT_EQ(Wnd().GetCanvasSize(), CSize(kWidth, kHeight));
}

TEST_F(ViewCommandsTest, CopyAndCutOfARegionGoThroughTheClipboardAsAPackedDib)
{
    EXPECT_FALSE(Query(ID_EDIT_COPY).enabled) << "neither a region nor a selection";
    DrawRegion(ID_REGION_RECT, {5, 6}, {14, 15});
    ASSERT_TRUE(Query(ID_EDIT_COPY).enabled);
    ASSERT_TRUE(Run(ID_EDIT_COPY));
    EXPECT_EQ(view->GetRegionTool(), -1);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data && data->hasFormat(kDibMimeType));
    const QByteArray dib = data->data(kDibMimeType);
    // Header, no palette, then 10 rows of 10 pixels padded to 32 bytes.
    EXPECT_EQ(dib.size(), 40 + 32 * 10);
    EXPECT_EQ(QVDibSize(reinterpret_cast<const BITMAPINFOHEADER*>(dib.constData())), static_cast<size_t>(dib.size()));
    CQvImage pasted;
    ASSERT_TRUE(ReadClipboardImage(pasted));
    ASSERT_EQ(pasted.GetWidth(), 10);
    EXPECT_TRUE(IsSource(pasted, 0, 0, 5, 6));
    EXPECT_TRUE(IsSource(pasted, 9, 9, 14, 15));
    EXPECT_TRUE(Query(ID_EDIT_PASTE).enabled) << "a picture is pasteable";

    // Cut whitens exactly the region; undo brings the pixels back.
    DrawRegion(ID_REGION_ELLIPSE, {40, 20}, {60, 40});
    ASSERT_TRUE(Run(ID_EDIT_CUT));
    const CQvImage& image = doc->GetImage();
    EXPECT_TRUE(IsWhite(image, 50, 30));
    EXPECT_TRUE(IsSource(image, 40, 20, 40, 20)) << "the box's corner is outside the ellipse";
    EXPECT_TRUE(IsSource(image, 39, 30, 39, 30));
    ASSERT_TRUE(ReadClipboardImage(pasted));
    EXPECT_EQ(pasted.GetWidth(), 21);
    EXPECT_TRUE(IsSource(pasted, 10, 10, 50, 30)) << "the clipboard has the pixels from before the cut";
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_TRUE(SameImage(doc->GetImage(), Gradient()));
}

TEST_F(ViewCommandsTest, PasteMakesACopiedPictureAnImageStampAndATextATextBox)
{
    // Pixels copied out of a region come back as a stamp over the image; the image itself is left as it was.
    DrawRegion(ID_REGION_RECT, {5, 6}, {14, 15});
    ASSERT_TRUE(Run(ID_EDIT_COPY));
    doc->SetModifiedFlag(false);
    ASSERT_TRUE(Run(ID_EDIT_PASTE));
    ASSERT_EQ(Objects().GetMainObjList().size(), 1u);
    auto* stamp = dynamic_cast<CQvGObjectImage*>(Objects().GetMainObjList().front());
    ASSERT_NE(stamp, nullptr);
    EXPECT_EQ(stamp->GetMBR(), CRect(0, 0, 9, 9));
    EXPECT_EQ(Objects().GetSelectedObjectCount(), 1);
    EXPECT_EQ(Wnd().GetToolMode(), CImageDispWnd::kSelectionMode);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(SameImage(doc->GetImage(), Gradient()));

    // The stamp copied alone goes back as the same picture.
    ASSERT_TRUE(Run(ID_EDIT_COPY));
    CQvImage copied;
    ASSERT_TRUE(ReadClipboardImage(copied));
    EXPECT_EQ(copied.GetWidth(), 10);
    EXPECT_TRUE(IsSource(copied, 0, 0, 5, 6));

    QGuiApplication::clipboard()->setText("Sample 7");
    ASSERT_TRUE(Run(ID_EDIT_PASTE));
    ASSERT_EQ(Objects().GetMainObjList().size(), 2u);
    auto* text = dynamic_cast<CQvGObjectText*>(Objects().GetMainObjList().back());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetProperty().GetComment(), "Sample 7");
    EXPECT_EQ(text->GetMBR().TopLeft(), CPoint(0, 0));
}

TEST_F(ViewCommandsTest, CutAndPasteOfObjectsAndCopyWithAnUnfinishedRegion)
{
    CQvGObject* line = DrawObject(SHAPE_LINE, {10, 10}, {30, 10});
    ASSERT_EQ(Objects().GetMainObjList().size(), 1u);
    EXPECT_FALSE(Query(ID_EDIT_COPY).enabled) << "selection mode but nothing selected";
    Objects().SelectObjects(line, 0);
    ASSERT_TRUE(Query(ID_EDIT_COPY).enabled);
    ASSERT_TRUE(Run(ID_EDIT_CUT));
    EXPECT_TRUE(Objects().GetMainObjList().empty());
    ASSERT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat(QVGOBJECT_FORMAT));

    ASSERT_TRUE(Query(ID_EDIT_PASTE).enabled);
    ASSERT_TRUE(Run(ID_EDIT_PASTE));
    ASSERT_EQ(Objects().GetMainObjList().size(), 1u);
    const CQvGObject* pasted = Objects().GetMainObjList().front();
    EXPECT_EQ(pasted->GetObjShape(), SHAPE_LINE);
    EXPECT_EQ(pasted->GetPoint()[0].x, 20.0) << "pasted 10 pixels right of the original";
    EXPECT_EQ(Wnd().GetToolMode(), CImageDispWnd::kSelectionMode);
    EXPECT_EQ(Objects().GetSelectedObjectCount(), 1);

    // A polygon region still being drawn: copy takes the selected objects, not pixels.
    QGuiApplication::clipboard()->clear();
    ASSERT_TRUE(Run(ID_REGION_POLYGON));
    Click({50, 40});
    Click({60, 40});
    ASSERT_FALSE(Regions().GetMainObjList().empty());
    ASSERT_TRUE(Query(ID_EDIT_COPY).enabled) << "a region shape exists";
    ASSERT_TRUE(Run(ID_EDIT_COPY));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(data->hasFormat(QVGOBJECT_FORMAT));
    EXPECT_FALSE(data->hasFormat(kDibMimeType));
}

TEST_F(ViewCommandsTest, MergesBurnTheirKindOfObjectIntoThePixelsAndUndoRestoresThem)
{
    DrawObject(SHAPE_LINE, {10, 30}, {70, 30});
    DrawObject(SHAPE_ANNO_RECT, {20, 5}, {60, 20});
    ASSERT_EQ(Objects().GetMainObjList().size(), 2u);
    const QImage before = Wnd().RenderToImage(0x01);

    ASSERT_TRUE(Run(ID_MERGE_MEASUREMENTS));
    ASSERT_EQ(Objects().GetMainObjList().size(), 1u);
    EXPECT_TRUE(Objects().GetMainObjList().front()->IsAnnotation()) << "annotations stay";
    const CQvImage& merged = doc->GetImage();
    EXPECT_FALSE(IsSource(merged, 40, 30, 40, 30)) << "the line is in the pixels";
    EXPECT_TRUE(IsSource(merged, 40, 50, 40, 50)) << "away from it nothing changed";
    EXPECT_TRUE(IsSource(merged, 20, 5, 20, 5)) << "the annotation is not burnt";
    EXPECT_TRUE(doc->IsModified());

    ASSERT_TRUE(Run(ID_MERGE_ANNOTATIONS));
    EXPECT_TRUE(Objects().GetMainObjList().empty());
    EXPECT_FALSE(IsSource(doc->GetImage(), 20, 5, 20, 5));

    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_TRUE(SameImage(doc->GetImage(), Gradient()));
    EXPECT_EQ(Wnd().RenderToImage(0x01), before);
}

TEST_F(ViewCommandsTest, ColoursGoToTheSelectionAndTheDefaultsFollowASingleObject)
{
    CQvGObject* first = DrawObject(SHAPE_LINE, {10, 10}, {30, 10});
    CQvGObject* second = DrawObject(SHAPE_LINE, {10, 40}, {30, 40});
    CQvGObject* note = DrawObject(SHAPE_ANNO_RECT, {50, 10}, {70, 30});
    const COLORREF lineDefault = Objects().GetDefaultLineColor(SHAPE_LINE);
    const COLORREF textDefault = Objects().GetDefaultFontColor(SHAPE_LINE);
    const COLORREF red = RGB(200, 0, 0);
    const COLORREF blue = RGB(0, 0, 200);

    Objects().SelectObjects(first, 0);
    Objects().SelectObjects(second, 1);
    frame->LineColourButton()->SetColour(red);
    ASSERT_TRUE(Run(ID_LINE_COLOUR));
    EXPECT_EQ(first->GetProperty().GetLineColor(), red);
    EXPECT_EQ(second->GetProperty().GetLineColor(), red);
    EXPECT_EQ(note->GetProperty().GetLineColor() == red, false);
    EXPECT_EQ(Objects().GetDefaultLineColor(SHAPE_LINE), lineDefault) << "two selected: defaults stay";

    Objects().SelectObjects(first, 0);
    frame->LineColourButton()->Pick(blue);  // the selector's notification
    EXPECT_EQ(first->GetProperty().GetLineColor(), blue);
    EXPECT_EQ(second->GetProperty().GetLineColor(), red);
    EXPECT_EQ(Objects().GetDefaultLineColor(SHAPE_LINE), blue) << "one selected: its shape's default follows";

    // A measurement's text colour is its value label's.
    ASSERT_NE(first->GetLabelObject(), nullptr);
    frame->TextColourButton()->SetColour(red);
    ASSERT_TRUE(Run(ID_TEXT_COLOUR));
    EXPECT_EQ(first->GetLabelObject()->GetProperty().GetTextColor(), red);
    EXPECT_EQ(Objects().GetDefaultFontColor(SHAPE_LINE), red);

    // A lone rectangle annotation has no text.
    Objects().SelectObjects(note, 0);
    EXPECT_FALSE(Query(ID_TEXT_COLOUR).enabled);
    EXPECT_TRUE(Query(ID_LINE_COLOUR).enabled);

    Objects().SetDefaultLineColor(lineDefault, SHAPE_LINE);
    Objects().SetDefaultFontColor(textDefault, SHAPE_LINE);
}

TEST_F(ViewCommandsTest, HandAndSelectionToolsFlipTheirBitsAndTicks)
{
    struct Step
    {
        UINT command;
        int mode;  // hand and selection bits afterwards
    };
    const Step steps[] = {
        {ID_TOOL_SELECT, CImageDispWnd::kSelectionMode},
        {ID_TOOL_HAND, CImageDispWnd::kHandTool},
        {ID_TOOL_SELECT, CImageDispWnd::kSelectionMode},
        {ID_TOOL_SELECT, 0},
        {ID_TOOL_HAND, CImageDispWnd::kHandTool},
        {ID_TOOL_HAND, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.command);
        ASSERT_TRUE(Run(step.command));
        const int mode = Wnd().GetToolMode() & (CImageDispWnd::kHandTool | CImageDispWnd::kSelectionMode);
        EXPECT_EQ(mode, step.mode);
        EXPECT_EQ(Wnd().GetHandTool() != 0, (step.mode & CImageDispWnd::kHandTool) != 0);
        EXPECT_EQ(Query(ID_TOOL_HAND).checked, (step.mode & CImageDispWnd::kHandTool) != 0);
        EXPECT_EQ(Query(ID_TOOL_SELECT).checked, (step.mode & CImageDispWnd::kSelectionMode) != 0);
        EXPECT_EQ((Objects().GetObjState() & GS_SELECTION) != 0, (step.mode & CImageDispWnd::kSelectionMode) != 0);
    }
}

TEST_F(ViewCommandsTest, AZIndicatorIsAddedFinishedAndNothingIsLeftBeingDrawn)
{
    view->Commands().AddZIndicator(12.7);
    ASSERT_EQ(Objects().GetMainObjList().size(), 1u);
    const CQvGObject* indicator = Objects().GetMainObjList().front();
    EXPECT_EQ(indicator->GetObjShape(), SHAPE_Z_INDICATOR);
    EXPECT_EQ(indicator->GetState(), GS_FINISHED);
    EXPECT_EQ(indicator->GetPoint()[0].x, 12.0);
    EXPECT_EQ(Objects().GetCreatingObject(), nullptr);
    EXPECT_EQ(Wnd().GetToolMode() & CImageDispWnd::kRegionMode, 0);

    for (double bad : {std::nan(""), 1e300, -static_cast<double>(INFINITY)}) {
        view->Commands().AddZIndicator(bad);
        EXPECT_EQ(Objects().GetMainObjList().size(), 1u) << bad;
    }
}

TEST_F(ViewCommandsTest, ScaleBarsArePlacedSelectedAndTheCaptureOneLeavesNothingSelected)
{
    CQvGObject* line = DrawObject(SHAPE_LINE, {10, 10}, {30, 10});
    Objects().SelectObjects(line, 0);
    Objects().SetShowCalibrationScale(1);
    int sheets = 0;
    Objects().SetPropertySheetRunner([&](const GObjectSheetRequest&) { return ++sheets, IDOK; });
    ASSERT_TRUE(Run(ID_SCALE_BAR));
    EXPECT_EQ(sheets, 1) << "the user's bar asks for its look";
    ASSERT_EQ(Objects().GetMainObjList().size(), 2u);
    EXPECT_EQ(Objects().GetMainObjList().back()->GetObjShape(), SHAPE_SCALE_MARKER);
    ASSERT_EQ(Objects().GetSelectedObjectCount(), 1);
    EXPECT_EQ(Objects().GetSelectObjList().front(), Objects().GetMainObjList().back());
    EXPECT_TRUE(doc->IsModified());
    // The capture's scale bar waits for its preference; with it on, a bar is placed and nothing is left selected.
    ASSERT_TRUE(Run(ID_SCALE_BAR_AFTER_CAPTURE));
    EXPECT_EQ(Objects().GetMainObjList().size(), 2u);
    PreferenceSettings preferences = doc->GetPreferences();
    preferences.showScaleBar = 1;
    doc->ApplyPreferences(preferences);
    ASSERT_TRUE(Run(ID_SCALE_BAR_AFTER_CAPTURE));
    EXPECT_EQ(Objects().GetMainObjList().size(), 3u);
    EXPECT_EQ(Objects().GetSelectedObjectCount(), 0);
    EXPECT_EQ(sheets, 1) << "the capture's bar is placed without asking";
    Objects().SetPropertySheetRunner(nullptr);
}

TEST_F(ViewCommandsTest, ContextMenuNeedsSomethingToOfferAndStaysAwayWhileACompanionModuleRuns)
{
    Wnd().SetContextLatch(1);
    EXPECT_TRUE(Wnd().ContextMenuCommands().empty()) << "nothing selected, nothing to paste";
    QGuiApplication::clipboard()->setText("text");
    EXPECT_EQ(Wnd().ContextMenuCommands(), std::vector<UINT>{ID_EDIT_PASTE});
    CQvGObject* line = DrawObject(SHAPE_LINE, {10, 10}, {30, 10});
    Objects().SelectObjects(line, 0);
    Wnd().SetContextLatch(1);
    EXPECT_EQ(Wnd().ContextMenuCommands(),
              (std::vector<UINT>{ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_OBJECT_PROPERTIES}));

    NamedMapping running;
    ASSERT_TRUE(running.Create("MODULE_PROGZUB_PARAMETER_RUN", 1024));
    ASSERT_TRUE(running.Write(0, "PZ ModuleRun", 12));
    EXPECT_TRUE(CompanionModuleHoldsContextMenu());
    EXPECT_TRUE(Wnd().ContextMenuCommands().empty());
    // Another text, or the same text without its end inside the block, holds nothing.
    ASSERT_TRUE(running.Write(0, "PZ ModuleRux", 12));
    EXPECT_FALSE(CompanionModuleHoldsContextMenu());
    ASSERT_TRUE(running.Write(0, std::string(1024, 'P').data(), 1024));
    EXPECT_FALSE(CompanionModuleHoldsContextMenu());
}

TEST_F(ViewCommandsTest, TheGridToggleAndTheWithdrawnReportCommandsStayDisabled)
{
    for (UINT id : {ID_RESULT_BACKUP, ID_RESULT_TO_CLIPBOARD, ID_GRID_SHOW}) {
        EXPECT_FALSE(Query(id).enabled) << id;
        EXPECT_FALSE(Run(id)) << id;
    }
    // The grid toggle itself works when another path calls it: new documents inherit nothing without a program.
    const int shown = doc->GetLatticer().IsShow();
    view->Commands().OnGridShow();
    EXPECT_NE(doc->GetLatticer().IsShow(), shown);
    for (UINT id : {ID_OBJECT_PROPERTIES, ID_LINE_COLOUR, ID_IMAGE_DUPLICATE, ID_MERGE_ALL})
        EXPECT_TRUE(Query(id).enabled) << id;
}

TEST_F(ViewCommandsTest, PropertiesOfTheSelectionChangeTheObjectsOnlyWhenTheSheetIsAccepted)
{
    CQvGObject* line = DrawObject(SHAPE_LINE, {10, 10}, {30, 10});
    Objects().SelectObjects(line, 0);
    const COLORREF before = line->GetProperty().GetLineColor();
    const COLORREF lineDefault = Objects().GetDefaultLineColor(SHAPE_LINE);
    const COLORREF green = RGB(0, 180, 0);
    int answer = IDCANCEL;
    int runs = 0;
    Objects().SetPropertySheetRunner([&](const GObjectSheetRequest& request) {
        // The sheet edits the one selected object itself, and only when it is accepted.
        ++runs;
        if (answer == IDOK && request.object)
            request.object->GetProperty().SetLineColor(green);
        return answer;
    });
    ASSERT_TRUE(Run(ID_OBJECT_PROPERTIES));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(line->GetProperty().GetLineColor(), before) << "cancelled";
    answer = IDOK;
    ASSERT_TRUE(Run(ID_OBJECT_PROPERTIES));
    EXPECT_EQ(line->GetProperty().GetLineColor(), green);
    EXPECT_TRUE(doc->IsModified());
    Objects().SetPropertySheetRunner(nullptr);
    Objects().SetDefaultLineColor(lineDefault, SHAPE_LINE);
}

// A text's creation sheet runs modally from the window's mouse handler; its event loop may close the document
// (and with it the window) before the handler goes on. The handler must notice and touch neither any more.
TEST_F(ViewCommandsTest, ClosingTheDocumentWhileANewTextsSheetRunsLeavesTheMouseHandlerNothingToTouch)
{
    const QPointer<CVistrelDoc> alive(doc);
    const QPointer<CImageDispWnd> window(&Wnd());
    const QPointer<QMdiSubWindow> child(doc->GetChildFrame());
    int sheets = 0;
    SetModalDialogHook([&](QDialog& dialog) {
        ++sheets;
        if (!alive)
            return;
        const CQvGObject* creating = Objects().GetCreatingObject();
        EXPECT_TRUE(creating && creating->GetObjShape() == SHAPE_TEXT);
        doc->OnCloseDocument();
        // What the sheet's own event loop would do with the objects let go of while it runs.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!dialog.isHidden())
            dialog.reject();
    });
    ASSERT_TRUE(doc->AddObjectOfType(SHAPE_TEXT));
    const QPoint a = At({20, 20});
    const QPoint b = At({79, 50});  // the last column: a click past the view is no point
    const QPointer<QWidget> viewport(Wnd().viewport());
    // Clicks go on until the sheet has run (a text may take its box in one or two clicks); nothing is sent to a
    // window that is gone.
    for (const QPoint& at : {a, b}) {
        if (!viewport || sheets)
            break;
        QTest::mouseMove(viewport, at);
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, at);
        if (viewport)
            QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, at);
    }
    SetModalDialogHook(nullptr);
    EXPECT_EQ(sheets, 1);
    EXPECT_TRUE(alive.isNull()) << "the document was closed from the sheet";
    EXPECT_TRUE(window.isNull() == child.isNull());
    doc = nullptr;
    view = nullptr;
}
