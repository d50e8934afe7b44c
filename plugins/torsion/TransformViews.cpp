#include "torsion/TransformViews.h"

#include "torsion/ResizeDlg.h"
#include "torsion/RotateDlg.h"
#include "torsion/TransformOps.h"

#include "framepool/CQvFramePool.h"
#include "ui/ModalDialog.h"

#include <cmath>
#include <utility>

namespace {

// The image a run may work on: the document's, when there is one with pixels of a model Torsion handles.
CQvImage* WorkImage(CPlgView& view)
{
    CQvFramePool* pool = view.GetFramePool();
    if (!pool)
        return nullptr;
    CQvImage& image = pool->GetImage();
    if (image.IsEmpty() || !torsion::IsSupported(image))
        return nullptr;
    return &image;
}

// Puts a finished result in place: the undo point first, so one undo brings back the image as it was before the
// command, then the new image and the display.
int Commit(CPlgView& view, CQvImage&& result)
{
    CQvFramePool* pool = view.GetFramePool();
    pool->PushImage(CRect(-1, -1, -1, -1));
    pool->GetImage() = std::move(result);
    view.UpdateCanvasSize();
    view.RedrawWindow();
    return 1;
}

}  // namespace

int CResizeView::Run()
{
    CQvImage* image = WorkImage(*this);
    if (!image)
        return 0;
    const int width = image->GetWidth();
    const int height = image->GetHeight();
    CResizeDlg dialog(width, height, GetDialogParent());
    if (RunModal(dialog) != QDialog::Accepted)
        return 0;
    if (dialog.GetDestWidth() == width && dialog.GetDestHeight() == height)
        return 0;
    CQvImage result;
    if (!torsion::Resize(*image, dialog.GetDestWidth(), dialog.GetDestHeight(), dialog.GetInterpolation(), result))
        return 0;
    return Commit(*this, std::move(result));
}

int CRotateView::Run()
{
    CQvImage* image = WorkImage(*this);
    if (!image)
        return 0;
    CRotateDlg dialog(GetDialogParent());
    if (RunModal(dialog) != QDialog::Accepted)
        return 0;
    const double angle = dialog.GetAngle();
    // Whole turns leave the image as it is.
    if (!std::isfinite(angle) || std::fmod(angle, 360.0) == 0.0)
        return 0;
    CQvImage result;
    if (!torsion::Rotate(*image, angle, result))
        return 0;
    return Commit(*this, std::move(result));
}

int CFlipView::Run()
{
    CQvImage* image = WorkImage(*this);
    if (!image)
        return 0;
    CQvImage result;
    if (!torsion::Flip(*image, m_axis, result))
        return 0;
    return Commit(*this, std::move(result));
}
