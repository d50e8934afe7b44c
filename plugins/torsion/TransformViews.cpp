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

// Puts a finished result in place. The image it replaces becomes the undo point as it is (the result is a new image
// anyway, so nothing needs copying), and one undo brings it back; then the display follows.
int Commit(CPlgView& view, CQvImage&& result)
{
    if (!view.GetFramePool()->ReplaceImage(std::move(result)))
        return 0;
    view.UpdateCanvasSize();
    view.RedrawWindow();
    return 1;
}

// A buffer the flips (and half turns) write their result into: one an undo file left free when one of the image's
// size is at hand, so the result touches no fresh memory. Empty for the images a flip turns into another model.
CQvImage SameSizeBuffer(const CQvImage& image)
{
    const int model = image.GetColorModel();
    if (model != QV_GRAY8 && model != QV_RGB24)
        return CQvImage();
    return CQvFramePool::ScratchImage(image);
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
    // A half turn is a flip both ways, which writes every pixel of a same-sized result.
    CQvImage result = std::fabs(std::fmod(angle, 360.0)) == 180.0 ? SameSizeBuffer(*image) : CQvImage();
    if (!torsion::Rotate(*image, angle, result))
        return 0;
    return Commit(*this, std::move(result));
}

int CFlipView::Run()
{
    CQvImage* image = WorkImage(*this);
    if (!image)
        return 0;
    CQvImage result = SameSizeBuffer(*image);
    if (!torsion::Flip(*image, m_axis, result))
        return 0;
    return Commit(*this, std::move(result));
}
