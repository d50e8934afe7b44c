// The view commands' table and what the themed files share.
#include "view/ViewCommands.h"

// The document header keeps its child frame in a QPointer, which needs the complete class.
#include <QMdiSubWindow>

#include "document/CVistrelDoc.h"
#include "frame/CommandIds.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObject.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageOps.h"

using namespace cmd;

namespace {

const CommandMapEntry<CViewCommands> kCommands[] = {
    CommandEntry(ID_TOOL_HAND, &CViewCommands::OnHandTool, &CViewCommands::OnUpdateHandTool),
    CommandEntry(ID_TOOL_SELECT, &CViewCommands::OnSelectTool, &CViewCommands::OnUpdateSelectTool),
    CommandRangeEntry(ID_MERGE_MEASUREMENTS, ID_MERGE_ALL, &CViewCommands::OnMerge, &CViewCommands::OnUpdateMerge),
    CommandRangeEntry(ID_REGION_RECT, ID_REGION_POLYGON, &CViewCommands::OnRegionTool,
                      &CViewCommands::OnUpdateRegionTool),
    CommandRangeEntry(ID_AUTO_EDGE_LINE, ID_ANGLE_DETECTION, &CViewCommands::OnAutoMeasureTool,
                      &CViewCommands::OnUpdateAutoMeasureTool),
    CommandEntry(ID_IMAGE_DUPLICATE, &CViewCommands::OnDuplicate, &CViewCommands::OnUpdateDuplicate),
    CommandEntry(ID_IMAGE_CROP, &CViewCommands::OnCrop, &CViewCommands::OnUpdateCrop),
    CommandEntry(ID_EDIT_CUT, &CViewCommands::OnCut, &CViewCommands::OnUpdateCopy),
    CommandEntry(ID_EDIT_COPY, &CViewCommands::OnCopy, &CViewCommands::OnUpdateCopy),
    CommandEntry(ID_EDIT_PASTE, &CViewCommands::OnPaste, &CViewCommands::OnUpdatePaste),
    CommandEntry(ID_GRID_SHOW, &CViewCommands::OnGridShow, &CViewCommands::OnUpdateDisabled),
    CommandEntry(ID_OBJECT_PROPERTIES, &CViewCommands::OnProperties, &CViewCommands::OnUpdateEnable),
    CommandEntry(ID_LINE_COLOUR, &CViewCommands::OnLineColour, &CViewCommands::OnUpdateEnable),
    CommandEntry(ID_TEXT_COLOUR, &CViewCommands::OnTextColour, &CViewCommands::OnUpdateTextColour),
    CommandEntry(ID_LINE_COLOUR_SELECTOR, &CViewCommands::OnLineColourSelector, &CViewCommands::OnUpdateEnable),
    CommandEntry(ID_TEXT_COLOUR_SELECTOR, &CViewCommands::OnTextColourSelector, &CViewCommands::OnUpdateEnable),
    CommandEntry(ID_SCALE_BAR_AFTER_CAPTURE, &CViewCommands::OnScaleBarAfterCapture),
    CommandEntry(ID_SCALE_BAR, &CViewCommands::OnScaleBar),
};

}  // namespace

CViewCommands::CViewCommands(CVistrelView& view) : m_view(view)
{
    AddCommandMap(kCommands);
}

CVistrelDoc* CViewCommands::Document() const
{
    return m_view.GetDocument();
}

CImageDispWnd& CViewCommands::Window() const
{
    return *m_view.GetDispWnd();
}

bool CViewCommands::InRegionMode() const
{
    return (Window().GetToolMode() & CImageDispWnd::kRegionMode) != 0;
}

CQvGObject* CViewCommands::RegionShape() const
{
    CVistrelDoc* doc = Document();
    if (!doc || doc->GetRegionContainer().GetMainObjList().empty())
        return nullptr;
    return doc->GetRegionContainer().GetMainObjList().front();
}

CQvGObject* CViewCommands::FinishedRegionShape() const
{
    CQvGObject* shape = RegionShape();
    const int state = Document() ? Document()->GetRegionContainer().GetObjState() : GS_IDLE;
    // A shape still being drawn has no outline to cut along yet.
    if (!shape || state == GS_FIRST_POINT || state == GS_ADDING || shape->GetState() != GS_FINISHED)
        return nullptr;
    return shape;
}

bool CViewCommands::CutOutRegion(CQvGObject* shape, CQvImage& out)
{
    CVistrelDoc* doc = Document();
    if (!doc || !shape)
        return false;
    CQvImage& image = doc->GetImage();
    // The region the image carries is the shape's as it is now, even when it was moved since it was drawn.
    Window().SetRegionOfInterestFromOverlay();
    if (image.IsEmpty() || image.GetRoiKind() == QV_ROI_NONE)
        return false;
    CRect box = shape->GetMBR();
    box.right += 1;
    box.bottom += 1;
    if (!QVCopyImage(&image, &out, box))
        return false;
    QVSetFill(&out, 255, 1);
    return true;
}

void CViewCommands::EndRegionMode()
{
    Window().ClearRegion();
    Window().ModifyToolMode(CImageDispWnd::kRegionMode, 0);
    m_view.SetRegionTool(kRegionNone);
    if (CVistrelDoc* doc = Document())
        doc->GetImage().ClearRoi();
    Window().Invalidate(0);
}

void CViewCommands::ImageEdited()
{
    Window().OnImageChanged();
    m_view.UpdateStatusText();
    if (CVistrelDoc* doc = Document())
        doc->SetModifiedFlag(true);
}

bool CViewCommands::AnyViewLive()
{
    for (CVistrelDoc* doc : CVistrelDoc::AllDocuments()) {
        if (doc->IsLive())
            return true;
        for (CVistrelView* view : doc->GetViews())
            if (view->IsLiveView())
                return true;
    }
    return false;
}

void CViewCommands::OnUpdateEnable(CCmdUI* ui)
{
    ui->Enable(Document() != nullptr);
}

void CViewCommands::OnUpdateDisabled(CCmdUI* ui)
{
    ui->Enable(false);
}
