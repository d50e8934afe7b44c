#include "lumenor/LumenorViews.h"

#include "lumenor/EnhanceDialogs.h"
#include "lumenor/LumenorOps.h"

#include "common/ModuleFolder.h"
#include "framepool/CQvFramePool.h"
#include "ui/ModalDialog.h"

#include <cstring>
#include <new>
#include <utility>

namespace lumenor {

namespace {

std::string& SettingsFolderOverride()
{
    static std::string folder;
    return folder;
}

// The folder of the file this code was loaded from, with its trailing '/'.
std::string ModuleFolder()
{
    return FolderOfModuleAt(reinterpret_cast<const void*>(&ModuleFolder));
}

}  // namespace

void SetThresholdSettingsFolder(const std::string& folder)
{
    SettingsFolderOverride() = folder;
}

std::string ThresholdSettingsPath()
{
    std::string folder = SettingsFolderOverride();
    if (folder.empty())
        folder = ModuleFolder();
    else if (folder.back() != '/')
        folder += '/';
    return folder.empty() ? std::string() : folder + "ThresholdValue.txt";
}

}  // namespace lumenor

int CEnhancePlgApp::CreatePlgView(int index, int /*reserved*/, CPlgView** out)
{
    if (m_mode == lumenor::kAutoLevelMode)
        index = lumenor::kAutoLevel;
    else if (m_mode == lumenor::kHistogramEqualizeMode)
        index = lumenor::kHistogramEqualize;
    CPlgView* view = nullptr;
    switch (index) {
    case lumenor::kInvert: view = new (std::nothrow) CInvertView; break;
    case lumenor::kAutoContrast: view = new (std::nothrow) CAutoContrastView; break;
    case lumenor::kAutoLevel: view = new (std::nothrow) CAutoLevelView; break;
    case lumenor::kHistogramEqualize: view = new (std::nothrow) CHistogramEqualizeView; break;
    case lumenor::kRemoveNoise: view = new (std::nothrow) CRemoveNoiseView; break;
    case lumenor::kBrightnessContrast: view = new (std::nothrow) CBrightnessContrastView; break;
    case lumenor::kThreshold: view = new (std::nothrow) CThresholdView; break;
    default: return 0;
    }
    if (!view)
        return 0;
    *out = view;
    return 1;
}

int CEnhanceView::Run()
{
    CQvFramePool* pool = GetFramePool();
    if (!pool)
        return 0;
    CQvImage& image = pool->GetImage();
    if (image.GetWidth() == 0 || image.GetHeight() == 0)
        return 0;
    // Checked before the undo point, so a refused image leaves no no-op entry in the document's history.
    if (!lumenor::IsEnhanceableImage(image))
        return 0;
    return Apply(image);
}

int CEnhanceView::Replace(const CQvImage& image, bool (*operation)(const CQvImage&, CQvImage&))
{
    CQvImage result = CQvFramePool::ScratchImage(image);
    if (result.IsEmpty() || !operation(image, result) || !GetFramePool()->ReplaceImage(std::move(result)))
        return 0;
    RedrawWindow();
    return 1;
}

void CEnhanceView::KeepUndoCopy()
{
    GetFramePool()->PushImage(CRect(-1, -1, -1, -1));
}

int CInvertView::Apply(CQvImage& image)
{
    // Complementing undoes itself: inverted in place, the image needs no copy for its undo point, so the command
    // costs what the inversion costs.
    if (!lumenor::Invert(image))
        return 0;
    if (!GetFramePool()->PushComplemented()) {
        // A change that could not be undone is taken back.
        lumenor::Invert(image);
        return 0;
    }
    RedrawWindow();
    return 1;
}

int CAutoContrastView::Apply(CQvImage& image)
{
    return Replace(image, lumenor::AutoContrastInto);
}

int CAutoLevelView::Apply(CQvImage& image)
{
    return Replace(image, lumenor::AutoLevelInto);
}

int CHistogramEqualizeView::Apply(CQvImage& image)
{
    return Replace(image, lumenor::HistogramEqualizeInto);
}

int CRemoveNoiseView::Apply(CQvImage& image)
{
    // The filter's result has a model of its own (24-bit for every colour source); for grey and 24-bit images it is
    // the image's, and a buffer at hand of that size serves.
    const int model = image.GetColorModel();
    CQvImage result = model == QV_GRAY8 || model == QV_RGB24 ? CQvFramePool::ScratchImage(image) : CQvImage();
    if (!lumenor::RemoveNoiseInto(image, result) || !GetFramePool()->ReplaceImage(std::move(result)))
        return 0;
    RedrawWindow();
    return 1;
}

namespace {

// Cancel puts the image back as it was before the command: the dialogs previewed on the document's image itself.
int FinishDialog(CPlgView& view, int result)
{
    if (result != QDialog::Accepted)
        view.GetFramePool()->Undo();
    view.RedrawWindow();
    return 1;
}

}  // namespace

int CBrightnessContrastView::Apply(CQvImage& image)
{
    KeepUndoCopy();
    int result = QDialog::Rejected;
    {
        lumenor::CBrightnessContrastDlg dialog(image, [this] { RedrawWindow(); }, GetDialogParent());
        result = RunModal(dialog);
    }
    return FinishDialog(*this, result);
}

int CThresholdView::Apply(CQvImage& image)
{
    KeepUndoCopy();
    int result = QDialog::Rejected;
    {
        lumenor::CThresholdDlg dialog(image, [this] { RedrawWindow(); }, lumenor::ThresholdSettingsPath(),
                                      GetDialogParent());
        result = RunModal(dialog);
    }
    return FinishDialog(*this, result);
}
