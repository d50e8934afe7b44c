// Tool modes and the region tools with what uses a region: duplicate and crop.
#include "view/ViewCommands.h"

// The document header keeps its child frame in a QPointer, which needs the complete class.
#include <QMdiSubWindow>

#include "document/CVistrelDoc.h"
#include "document/DocumentCreation.h"
#include "document/DocumentStrings.h"
#include "frame/CommandIds.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "ui/MessageBox.h"
#include "qvimage/CQvImage.h"

namespace {

// The region overlay's shape of each tool: rectangle, ellipse and polygon annotations.
constexpr OBJ_SHAPE kRegionShapes[] = {SHAPE_ANNO_RECT, SHAPE_ANNO_ELLIPSE, SHAPE_ANNO_POLYGON};

int ToolOfCommand(UINT id)
{
    return static_cast<int>(id - cmd::ID_REGION_RECT);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Hand and selection

void CViewCommands::OnHandTool()
{
    CVistrelDoc* doc = Document();
    if (!doc)
        return;
    CImageDispWnd& wnd = Window();
    const int on = wnd.GetHandTool() ? 0 : 1;
    wnd.SetHandTool(on);
    wnd.ModifyToolMode(CImageDispWnd::kHandTool | CImageDispWnd::kSelectionMode, on ? CImageDispWnd::kHandTool : 0);
    doc->GetGObjectContainer().SelectionMode(0);
    wnd.ClearRegion();
    wnd.Invalidate(0);
}

void CViewCommands::OnUpdateHandTool(CCmdUI* ui)
{
    ui->Enable(Document() != nullptr);
    ui->SetCheck(Window().GetHandTool() ? 1 : 0);
}

void CViewCommands::OnSelectTool()
{
    CVistrelDoc* doc = Document();
    if (!doc)
        return;
    CImageDispWnd& wnd = Window();
    wnd.SetHandTool(0);
    const int selection = (wnd.GetToolMode() & CImageDispWnd::kSelectionMode) ? 0 : CImageDispWnd::kSelectionMode;
    wnd.ModifyToolMode(CImageDispWnd::kHandTool | CImageDispWnd::kSelectionMode, selection);
    doc->GetGObjectContainer().SelectionMode(selection ? 1 : 0);
    doc->GetRegionContainer().SelectionMode(selection ? 1 : 0);
    wnd.Invalidate(0);
}

void CViewCommands::OnUpdateSelectTool(CCmdUI* ui)
{
    ui->Enable(Document() != nullptr);
    ui->SetCheck((Window().GetToolMode() & CImageDispWnd::kSelectionMode) ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------------------------
// Region tools

void CViewCommands::OnRegionTool(UINT id)
{
    CVistrelDoc* doc = Document();
    const int tool = ToolOfCommand(id);
    if (!doc || tool < kRegionRectangle || tool > kRegionPolygon)
        return;
    CImageDispWnd& wnd = Window();
    wnd.ClearRegion();
    wnd.Invalidate(0);
    if (InRegionMode()) {
        const bool sameTool = m_view.GetRegionTool() == tool;
        // Pressing the active tool again ends region mode; another tool takes over at once.
        EndRegionMode();
        if (sameTool)
            return;
    }
    wnd.ModifyToolMode(0, CImageDispWnd::kRegionMode);
    doc->GetRegionContainer().SetAutoRepeatCreatingObject(0);
    // The image takes the region's kind with its points once the shape is drawn; an old region must not outlive
    // the tool change meanwhile.
    doc->GetImage().ClearRoi();
    m_view.SetRegionTool(tool);
    if (!doc->AddRegionObject(kRegionShapes[tool])) {
        wnd.ModifyToolMode(CImageDispWnd::kRegionMode, 0);
        m_view.SetRegionTool(kRegionNone);
    }
}

void CViewCommands::OnUpdateRegionTool(CCmdUI* ui)
{
    ui->Enable(Document() != nullptr && !AnyViewLive());
    ui->SetCheck(InRegionMode() && m_view.GetRegionTool() == ToolOfCommand(ui->m_nID) ? 1 : 0);
}

void CViewCommands::ApplyRegionTool()
{
    const int tool = m_view.GetRegionTool();
    if (InRegionMode() && tool >= kRegionRectangle && tool <= kRegionPolygon)
        OnRegionTool(cmd::ID_REGION_RECT + static_cast<UINT>(tool));
}

// ---------------------------------------------------------------------------------------------------------------
// Automatic measurement tools

namespace {

OBJ_SHAPE AutoShapeOfCommand(UINT id)
{
    return static_cast<OBJ_SHAPE>(SHAPE_AUTO_LINE + static_cast<int>(id - cmd::ID_AUTO_EDGE_LINE));
}

}  // namespace

void CViewCommands::OnAutoMeasureTool(UINT id)
{
    CVistrelDoc* doc = Document();
    // While an operation runs the view takes no other tool.
    if (!doc || (Window().GetToolMode() & CImageDispWnd::kCalibrationMode))
        return;
    // The live frame changes under the scan: the edge would be looked for in a picture that is already gone.
    if (m_view.IsLiveView()) {
        AfxMessageBox(DocumentString(docstr::IDS_NOT_IN_LIVE));
        return;
    }
    ApplyRegionTool();
    doc->AddObjectOfType(AutoShapeOfCommand(id));
}

void CViewCommands::OnUpdateAutoMeasureTool(CCmdUI* ui)
{
    CVistrelDoc* doc = Document();
    ui->Enable(doc != nullptr);
    const CQvGObject* creating = doc ? doc->GetGObjectContainer().GetCreatingObject() : nullptr;
    ui->SetCheck(creating && creating->GetObjShape() == AutoShapeOfCommand(ui->m_nID) ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------------------------
// Duplicate and crop

void CViewCommands::OnDuplicate()
{
    CVistrelDoc* doc = Document();
    if (!doc || doc->GetImage().IsEmpty())
        return;
    const bool regionMode = InRegionMode();
    CQvImage cut;
    const CQvImage* source = &doc->GetImage();
    if (CQvGObject* shape = regionMode ? FinishedRegionShape() : nullptr)
        if (CutOutRegion(shape, cut))
            source = &cut;
    // The copy is made before the new document exists: making it activates another view.
    CQvImage copy(*source);
    copy.ClearRoi();
    if (regionMode)
        EndRegionMode();
    NewDocumentFromImage(DocumentString(docstr::IDS_NEW_IMAGE).c_str(), copy.GetWidth(), copy.GetHeight(),
                         copy.GetColorModel(), &copy);
}

void CViewCommands::OnUpdateDuplicate(CCmdUI* ui)
{
    ui->Enable(Document() != nullptr && !m_view.IsLiveView());
}

void CViewCommands::OnCrop()
{
    CVistrelDoc* doc = Document();
    if (!doc)
        return;
    CQvImage cut;
    CQvGObject* shape = FinishedRegionShape();
    const bool cropped = shape && CutOutRegion(shape, cut);
    if (cropped) {
        doc->GetFramePool().PushImage(-1, -1, -1, -1);
        cut.ClearRoi();
        doc->GetImage() = std::move(cut);
    }
    Window().ClearRegion();
    Window().SetToolMode(0);
    Window().SetHandTool(0);
    m_view.SetRegionTool(kRegionNone);
    doc->GetImage().ClearRoi();
    if (cropped)
        ImageEdited();
    Window().Invalidate(0);
}

void CViewCommands::OnUpdateCrop(CCmdUI* ui)
{
    ui->Enable(Document() != nullptr && InRegionMode() && !CVistrelDoc::PlugInHold());
}
