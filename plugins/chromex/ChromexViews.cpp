#include "chromex/ChromexViews.h"

#include "chromex/ChromexOps.h"
#include "chromex/ChromexStrings.h"
#include "chromex/PseudoColorDlg.h"

#include "common/ModuleFolder.h"
#include "framepool/CQvFramePool.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <ctime>
#include <new>

namespace chromex {

namespace {

std::string& PaletteFolderOverride()
{
    static std::string folder;
    return folder;
}

std::string ModuleFolder()
{
    return FolderOfModuleAt(reinterpret_cast<const void*>(&ModuleFolder));
}

// Seeded once per process: random tables made in the same second still differ.
uint32_t RandomSeed()
{
    static uint32_t next = static_cast<uint32_t>(std::time(nullptr));
    return next++ * 2654435761u;
}

}  // namespace

void SetPaletteFolder(const std::string& folder)
{
    PaletteFolderOverride() = folder;
}

std::string PaletteFolder()
{
    return PaletteFolderOverride().empty() ? ModuleFolder() : PaletteFolderOverride();
}

}  // namespace chromex

int CColorPlgApp::CreatePlgView(int index, int /*reserved*/, CPlgView** out)
{
    CPlgView* view = nullptr;
    switch (index) {
    case chromex::kRgbToGray: view = new (std::nothrow) CRgbToGrayView; break;
    case chromex::kPseudoColor: view = new (std::nothrow) CPseudoColorView; break;
    default: return 0;
    }
    if (!view)
        return 0;
    *out = view;
    return 1;
}

int CRgbToGrayView::Run()
{
    CQvFramePool* pool = GetFramePool();
    if (!pool)
        return 0;
    CQvImage& image = pool->GetImage();
    if (image.IsEmpty())
        return 0;
    CQvImage grey;
    // Converted before the undo point, so a grey or refused image leaves no no-op entry in the history.
    if (!chromex::ConvertToGrey(image, grey))
        return 0;
    pool->PushImage(CRect(-1, -1, -1, -1));
    image = std::move(grey);
    RedrawWindow();
    return 1;
}

int CPseudoColorView::Run()
{
    CQvFramePool* pool = GetFramePool();
    if (!pool)
        return 0;
    CQvImage& image = pool->GetImage();
    if (image.IsEmpty())
        return 0;
    if (!chromex::IsGreyModel(image.GetColorModel())) {
        AfxMessageBox(chromex::ChromexString(chromex::IDS_NOT_GRAY));
        return 0;
    }
    pool->PushImage(CRect(-1, -1, -1, -1));
    int result = QDialog::Rejected;
    {
        chromex::CPseudoColorDlg dialog(image, [this] { RedrawWindow(); }, chromex::PaletteFolder(),
                                        chromex::RandomSeed(), GetDialogParent());
        result = RunModal(dialog);
    }
    if (result != QDialog::Accepted)
        pool->Undo();
    RedrawWindow();
    return 1;
}
