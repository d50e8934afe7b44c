#include "sieva/SievaViews.h"

#include "sieva/FilterSheet.h"

#include "common/IplBridge.h"
#include "common/ModuleFolder.h"
#include "framepool/CQvFramePool.h"
#include "ui/ModalDialog.h"

#include <new>
#include <utility>

namespace sieva {

namespace {

std::string& FilterFolderOverride()
{
    static std::string folder;
    return folder;
}

std::string ModuleFolder()
{
    return FolderOfModuleAt(reinterpret_cast<const void*>(&ModuleFolder));
}

}  // namespace

void SetFilterFolder(const std::string& folder)
{
    FilterFolderOverride() = folder;
}

std::string FilterFolder()
{
    return FilterFolderOverride().empty() ? ModuleFolder() : FilterFolderOverride();
}

}  // namespace sieva

int CFilterPlgApp::CreatePlgView(int /*index*/, int /*reserved*/, CPlgView** out)
{
    CPlgView* view = new (std::nothrow) CFilterView;
    if (!view)
        return 0;
    *out = view;
    return 1;
}

int CFilterView::Run()
{
    CQvFramePool* pool = GetFramePool();
    if (!pool)
        return 0;
    CQvImage& image = pool->GetImage();
    if (image.IsEmpty())
        return 0;
    IplImagePtr source(QvImageToIplImage(&image));
    if (!source)
        return 0;
    pool->PushImage(CRect(-1, -1, -1, -1));
    int result = QDialog::Rejected;
    {
        sieva::CMainFilterSheet sheet(
            source.get(),
            [this, pool](CQvImage&& filtered) {
                pool->GetImage() = std::move(filtered);
                UpdateCanvasSize();
                RedrawWindow();
            },
            sieva::FilterFolder(), GetDialogParent());
        result = RunModal(sheet);
    }
    if (result != QDialog::Accepted)
        pool->Undo();
    UpdateCanvasSize();
    RedrawWindow();
    return 1;
}
