#include "quantor/QuantorViews.h"

#include "quantor/SurfacePlotDlg.h"

#include "framepool/CQvFramePool.h"
#include "ui/ModalDialog.h"

#include <new>

namespace {

// The file name after its last folder separator (either kind: names may come from Windows-made documents).
std::string PlotTitle(const std::string& fileName)
{
    const size_t separator = fileName.find_last_of("\\/");
    return separator == std::string::npos ? fileName : fileName.substr(separator + 1);
}

}  // namespace

int CSurfacePlotPlgApp::CreatePlgView(int /*index*/, int /*reserved*/, CPlgView** out)
{
    CPlgView* view = new (std::nothrow) CSurfacePlotView;
    if (!view)
        return 0;
    *out = view;
    return 1;
}

int CSurfacePlotView::Run()
{
    CQvFramePool* pool = GetFramePool();
    if (!pool)
        return 0;
    CQvImage& image = pool->GetImage();
    if (image.GetWidth() == 0 || image.GetHeight() == 0)
        return 0;
    quantor::CSurfacePlotDlg dialog(&image, PlotTitle(pool->GetFileName()));
    RunModal(dialog);
    return 1;
}
