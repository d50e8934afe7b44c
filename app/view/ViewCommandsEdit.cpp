// Cut, copy and paste (pixels of a region, or overlay objects) and merging the overlay into the pixels.
#include "view/ViewCommands.h"

// The document header keeps its child frame in a QPointer, which needs the complete class.
#include <QMdiSubWindow>

#include "document/CVistrelDoc.h"
#include "document/ClipboardImage.h"
#include "frame/CommandIds.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/GObjectClipboard.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageOps.h"
#include "types/WinUser.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

bool ClipboardHasPasteableContent()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && (data->hasFormat(kDibMimeType) || data->hasImage() || data->hasFormat(QVGOBJECT_FORMAT) ||
                    data->hasText());
}

// ---------------------------------------------------------------------------------------------------------------
// Clipboard

CViewCommands::Copied CViewCommands::CopySelection()
{
    CVistrelDoc* doc = Document();
    if (!doc)
        return Copied::Nothing;
    if (CQvGObject* shape = InRegionMode() ? FinishedRegionShape() : nullptr) {
        CQvImage cut;
        if (CutOutRegion(shape, cut)) {
            cut.ClearRoi();
            return PutImageOnClipboard(cut) ? Copied::Pixels : Copied::Nothing;
        }
    }
    return doc->GetGObjectContainer().CopyToClipboard() ? Copied::Objects : Copied::Nothing;
}

void CViewCommands::OnCopy()
{
    if (!Document())
        return;
    CopySelection();
    if (InRegionMode())
        EndRegionMode();
}

void CViewCommands::OnCut()
{
    CVistrelDoc* doc = Document();
    if (!doc)
        return;
    // What did not reach the clipboard is not removed either: a cut must never lose what it was to keep.
    const Copied copied = CopySelection();
    if (copied == Copied::Pixels) {
        // The copy left the shape's region on the image: exactly that is whitened. Without a region the fill
        // would whiten the whole image.
        CQvImage& image = doc->GetImage();
        if (image.GetRoiKind() != QV_ROI_NONE) {
            doc->GetFramePool().PushImage(-1, -1, -1, -1);
            QVSetFill(&image, 255, 0);
            ImageEdited();
        }
    } else if (copied == Copied::Objects) {
        doc->GetGObjectContainer().KeyDown(VK_DELETE, 1, 0);
        doc->SetModifiedFlag(true);
    }
    Window().AfterObjectEdit();
    if (InRegionMode())
        EndRegionMode();
}

void CViewCommands::OnUpdateCopy(CCmdUI* ui)
{
    CVistrelDoc* doc = Document();
    bool enable = false;
    if (doc && InRegionMode())
        enable = RegionShape() != nullptr;
    else if (doc && (Window().GetToolMode() & CImageDispWnd::kSelectionMode))
        enable = doc->GetGObjectContainer().GetSelectedObjectCount() > 0;
    ui->Enable(enable);
}

void CViewCommands::OnPaste()
{
    CVistrelDoc* doc = Document();
    if (!doc)
        return;
    CImageDispWnd& wnd = Window();
    CQvGObjectContainer& objects = doc->GetGObjectContainer();
    wnd.ReleaseMouse();
    objects.CancelObject();
    wnd.ClearRegion();
    wnd.SetHandTool(0);
    wnd.SetToolMode(CImageDispWnd::kSelectionMode);
    objects.SelectionMode(1);
    if (objects.PasteFromClipboard())
        doc->SetModifiedFlag(true);
    wnd.AfterObjectEdit();
}

void CViewCommands::OnUpdatePaste(CCmdUI* ui)
{
    ui->Enable(Document() != nullptr && ClipboardHasPasteableContent());
}

// ---------------------------------------------------------------------------------------------------------------
// Merges: 1205 measurements, 1206 annotations, 1207 both

void CViewCommands::OnMerge(UINT id)
{
    static constexpr int kFlags[] = {CImageDispWnd::kBurnMeasurements, CImageDispWnd::kBurnAnnotations,
                                     CImageDispWnd::kBurnMeasurements | CImageDispWnd::kBurnAnnotations};
    CVistrelDoc* doc = Document();
    const UINT index = id - cmd::ID_MERGE_MEASUREMENTS;
    if (!doc || doc->GetImage().IsEmpty() || index > 2)
        return;
    doc->GetFramePool().PushImage(-1, -1, -1, -1);
    Window().BurnObjects(kFlags[index]);
    Window().AfterObjectEdit();
    ImageEdited();
}

void CViewCommands::OnUpdateMerge(CCmdUI* ui)
{
    ui->Enable(Document() != nullptr && !CVistrelDoc::PlugInHold() && !m_view.IsLiveView());
}
