#include "capture/ImageCapture.h"

#include "capture/CaptureDialogs.h"
#include "view/LiveFeed.h"
#include "core/CCalibrationList.h"
#include "core/CVistrelApp.h"
#include "core/VistrelIni.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentCreation.h"
#include "frame/CommandIds.h"
#include "view/CVistrelView.h"

#include "capturehost/CAcquireContainer.h"
#include "module/CModule.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageDib.h"
#include "resources/StringTable.h"
#include "strings/Format.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <QPointer>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

namespace {

const StringTableRegistrar kCaptureStrings(
    "Vistrel",
    {
        {capstr::IDS_LIVE_MEASURE, "Live Measurement", "실시간 측정"},
        {capstr::IDS_CANNOT_OPEN_FILE, "Cannot open the file", "파일을 열 수 없습니다"},
        {capstr::IDS_TOO_MANY_FRAMES, "Too many images were captured.", "너무 많은 영상이 추출 되었습니다."},
        {capstr::IDS_LIVE_STREAM_ENDED, "The camera of \"%s\" stopped sending images. Live video has stopped; "
                                        "select the device again to restart it.",
         "\"%s\" 카메라에서 영상이 오지 않습니다. 라이브 영상을 멈췄습니다. 장치를 다시 선택하여 시작하십시오."},
        {capstr::IDS_CAPTURE_TOO_LARGE, "There is not enough memory for so many images of this size.",
         "이 크기의 영상을 이만큼 담을 메모리가 부족합니다."},
        {capstr::IDS_COMBINE_FAILED, "The captured images could not be combined.", "추출한 영상을 합칠 수 없습니다."},
        {capstr::IDS_MODULE_MISSING, "%s is missing.", "%s이 없습니다."},
    });

CImageCapture::ExportResolver& Resolver()
{
    static CImageCapture::ExportResolver resolver;
    return resolver;
}

// One export of a module loaded for the length of a capture; the module is released with this object.
class ModuleExport
{
public:
    ModuleExport(const std::string& path, const char* name)
    {
        if (Resolver()) {
            m_proc = Resolver()(path, name);
            return;
        }
        if (m_module.Load(path))
            m_proc = m_module.GetProcAddress(name);
    }
    template <typename Function>
    Function Get() const
    {
        return reinterpret_cast<Function>(m_proc);
    }

private:
    CModule m_module;
    void* m_proc = nullptr;
};

void ShowModuleMissing(const std::string& path)
{
    AfxMessageBox(Format(CaptureString(capstr::IDS_MODULE_MISSING).c_str(), path.c_str()));
}

// Frame buffers as the host fills them: header, palette room, rows. 4-byte aligned for the header.
class FrameBuffers
{
public:
    bool Allocate(int count, int64_t bytes)
    {
        if (count < 1 || bytes <= 0)
            return false;
        const size_t words = static_cast<size_t>((bytes + 3) / 4);
        for (int i = 0; i < count; ++i) {
            m_storage.push_back(std::make_unique<uint32_t[]>(words));
            m_headers.push_back(reinterpret_cast<BITMAPINFOHEADER*>(m_storage.back().get()));
        }
        return true;
    }
    BITMAPINFOHEADER** Headers() { return m_headers.data(); }
    BITMAPINFOHEADER* operator[](size_t i) { return m_headers[i]; }

private:
    std::vector<std::unique_ptr<uint32_t[]>> m_storage;
    std::vector<BITMAPINFOHEADER*> m_headers;
};

}  // namespace

std::string CaptureString(unsigned id)
{
    return LoadString("Vistrel", id);
}

void CImageCapture::SetExportResolver(ExportResolver resolver)
{
    Resolver() = std::move(resolver);
}

int& CImageCapture::TitleNumber()
{
    static int number = 0;
    return number;
}

std::string CImageCapture::NextSeparateTitle(double magnification)
{
    for (;;) {
        const int n = TitleNumber()++;
        std::string title = magnification > 0 ? Format("X%.f-Capture%d", magnification, n) : Format("X0-Capture%d", n);
        if (!m_context.isTitle || !m_context.isTitle(title))
            return title;
    }
}

std::string CImageCapture::CombinedTitle()
{
    const auto [name, magnification] = m_context.calibration ? m_context.calibration() : std::pair<std::string, double>{};
    std::string server;
    m_context.host->GetCurrentServerName(server);
    const int n = TitleNumber()++;
    return magnification > 0
               ? Format("[%s] [x%.f] Grab using %s - %d", name.c_str(), magnification, server.c_str(), n)
               : Format("[%s] Grab using %s - %d", name.c_str(), server.c_str(), n);
}

CVistrelDoc* CImageCapture::AcquireImages(int count, int separate, int resize)
{
    IAcquireHost* host = m_context.host;
    if (!host || count < 1)
        return nullptr;
    // One capture takes at most 200 frames either way; the multi-capture dialog offers no more, and a caller
    // asking for more is told rather than silently refused.
    if (count > kMaxCaptureFrames) {
        AfxMessageBox(CaptureString(capstr::IDS_TOO_MANY_FRAMES));
        return nullptr;
    }
    const std::string resizePath = m_context.plugInFolder + kResizeModule;
    ModuleExport resizeExport(resizePath, kResizeExport);
    const auto resizeImage = resizeExport.Get<ResizeImageExport>();
    if (!resizeImage) {
        ShowModuleMissing(resizePath);
        return nullptr;
    }
    int factor = 2;
    if (resize == 1 && (!m_context.askResizeFactor || !m_context.askResizeFactor(factor)))
        return nullptr;

    // The combining module is looked up before anything is captured, so its absence leaves no document behind.
    const std::string medianPath = m_context.plugInFolder + kMedianModule;
    std::unique_ptr<ModuleExport> medianExport;
    MedianExport median = nullptr;
    if (separate == 0) {
        medianExport = std::make_unique<ModuleExport>(medianPath, kMedianExport);
        median = medianExport->Get<MedianExport>();
        if (!median) {
            ShowModuleMissing(medianPath);
            return nullptr;
        }
    }

    int width = 0, height = 0, bits = 0;
    host->GetCaptureSizeNDepth(width, height, bits);
    const int64_t bytes = CAcquireContainer::FrameBufferSize(width, height, bits);
    if (bytes <= 0)
        return nullptr;
    // The frames, and for combining an image of each besides: asked of memory before anything is allocated, so
    // a large camera and a long series are refused with a message instead of ending the program.
    const int64_t needed = int64_t(count) * bytes * (separate == 0 ? 2 : 1);
    FrameBuffers frames;
    bool allocated = needed <= kCaptureMemoryBudget;
    if (allocated) {
        try {
            allocated = frames.Allocate(count, bytes);
        } catch (const std::bad_alloc&) {
            allocated = false;
        }
    }
    if (!allocated) {
        AfxMessageBox(CaptureString(capstr::IDS_CAPTURE_TOO_LARGE));
        return nullptr;
    }
    if (host->AcquireSnapshot(count, frames.Headers()) != 1)
        return nullptr;

    const auto [calibrationName, magnification] =
        m_context.calibration ? m_context.calibration() : std::pair<std::string, double>{};
    CVistrelView* liveView = m_context.findLiveView ? m_context.findLiveView() : nullptr;
    CVistrelDoc* last = nullptr;

    if (separate == 1) {
        float ratio = 1.0f;
        host->GetCaptureRatio(ratio);
        // The ratio's integer part enlarges; below 2 there is nothing to enlarge by.
        const int enlargement = ratio == 1.0f ? (resize == 1 ? factor : 1) : static_cast<int>(std::trunc(ratio));
        for (int i = 0; i < count; ++i) {
            const bool intoLive = i == 0 && liveView;
            const std::string title = NextSeparateTitle(magnification);
            CVistrelDoc* target = intoLive ? liveView->GetDocument()
                                           : (m_context.newDocument ? m_context.newDocument(title) : nullptr);
            if (!target) {
                AfxMessageBox(CaptureString(capstr::IDS_CANNOT_OPEN_FILE));
                break;
            }
            CQvImage image;
            if (!DIB2QVIMG(frames[static_cast<size_t>(i)], &image, 0)) {
                if (!intoLive)
                    target->OnCloseDocument();
                break;
            }
            CQvImage enlarged;
            const CQvImage* result = &image;
            if (enlargement >= 2 &&
                enlarged.Create(image.GetColorModel(), image.GetWidth() * enlargement,
                                image.GetHeight() * enlargement, 0) &&
                resizeImage(&image, &enlarged))
                result = &enlarged;
            if (intoLive)
                target->ReplaceImage(title, result);
            else
                target->SetImage(title, result);
            AttachActivePlugIns(target);
            target->SetTitle(title);
            target->SetModifiedFlag(true);
            last = target;
        }
        return last;
    }

    // Combining: the median of all frames, pixel by pixel, into one document.
    const auto combineFailed = [] {
        AfxMessageBox(CaptureString(capstr::IDS_COMBINE_FAILED));
        return nullptr;
    };
    std::vector<CQvImage> images(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        if (!DIB2QVIMG(frames[static_cast<size_t>(i)], &images[static_cast<size_t>(i)], 0))
            return combineFailed();
    for (const CQvImage& image : images)
        if (image.GetColorModel() != images[0].GetColorModel() || image.GetWidth() != images[0].GetWidth() ||
            image.GetHeight() != images[0].GetHeight())
            return combineFailed();
    CQvImage result;
    if (!result.Create(images[0].GetColorModel(), images[0].GetWidth(), images[0].GetHeight(), 0))
        return combineFailed();
    median(images.data(), count, &result);

    const std::string title = CombinedTitle();
    CVistrelDoc* target = liveView ? liveView->GetDocument() : nullptr;
    const bool intoLive = target != nullptr;
    if (!liveView && m_context.newDocument)
        target = m_context.newDocument(title);
    if (!target) {
        AfxMessageBox(CaptureString(capstr::IDS_CANNOT_OPEN_FILE));
        return nullptr;
    }
    if (intoLive)
        target->ReplaceImage(title, &result);
    else
        target->SetImage(title, &result);
    AttachActivePlugIns(target);
    target->SetTitle(title);
    target->SetModifiedFlag(true);
    return target;
}

CVistrelDoc* CImageCapture::OnTwainBuffer(const BITMAPINFOHEADER* dib, size_t bytes)
{
    if (!dib || bytes < sizeof(BITMAPINFOHEADER) || dib->biCompression != 0)
        return nullptr;
    if (dib->biBitCount > 14 && dib->biBitCount != 24)
        return nullptr;
    const size_t needed = QVDibSize(dib);
    if (needed == 0 || needed > bytes || !m_context.newDocument)
        return nullptr;
    // The number advances by two per still image; the title carries the one between.
    ++TitleNumber();
    const std::string title = CombinedTitle();
    CQvImage image;
    if (!DIB2QVIMG(dib, &image, 0))
        return nullptr;
    CVistrelDoc* doc = m_context.newDocument(title);
    if (!doc)
        return nullptr;
    doc->SetImage(title, &image);
    AttachActivePlugIns(doc);
    doc->SetModifiedFlag(true);
    SettleCapturedDocument(doc);
    return doc;
}

void SettleCapturedDocument(CVistrelDoc* doc)
{
    CVistrelView* view = doc ? doc->GetImageView() : nullptr;
    if (!view)
        return;
    // Posted: the bar goes on the image once the view has its new picture and size; a view closed meanwhile
    // gets nothing.
    QTimer::singleShot(0, view, [view = QPointer<CVistrelView>(view)] {
        if (view)
            view->ExecuteCommand(cmd::ID_SCALE_BAR_AFTER_CAPTURE);
    });
    if (GetZoomFitMode() && !view->IsZoomFit())
        view->ToggleZoomFit();
}

CaptureContext ProgramCaptureContext(CVistrelApp& app)
{
    CaptureContext context;
    context.host = app.AcquireHost();
    // The modules are binaries shipped with the program, beside it rather than in the user root.
    context.plugInFolder = AppEnvironment().GetProgramModuleFolder(AppFolder::PlugIn);
    context.newDocument = [&app](const std::string& title) { return app.NewDocument(title); };
    context.findLiveView = [&app] { return app.FindLiveView(); };
    context.isTitle = [](const std::string& title) {
        for (CVistrelDoc* doc : CVistrelDoc::AllDocuments())
            if (doc->GetTitle() == title)
                return true;
        return false;
    };
    context.calibration = [] {
        CCalibKeeper* current = TheCalibrationList().GetCurrentCalibration();
        return std::pair<std::string, double>{current->GetName(), current->GetMagnification()};
    };
    context.askResizeFactor = [&app](int& factor) {
        CResizeCaptureDlg dialog(app.GetMainWnd() ? app.GetMainWnd()->Widget() : nullptr);
        dialog.factor = factor;
        if (RunModal(dialog) != QDialog::Accepted)
            return false;
        factor = dialog.factor;
        return true;
    };
    return context;
}

int g_bLiveStarted = 0;

void StartLiveVideo(IAcquireHost& host, CVistrelView& view, bool measuring)
{
    host.StopOverlay();
    // Only one view is live: the one before keeps its last frame as an ordinary image.
    if (CVistrelApp* app = GetVistrelApp())
        if (CVistrelView* previous = app->FindLiveView(); previous && previous != &view)
            previous->StopLive();
    g_bLiveStarted = measuring ? 0 : 1;
    host.SetFuncGrabCallBack(&OnGrabFrame);
    host.SetNotifyFunction(&OnAcquireNotify);
    host.SetStreamEnded(&OnLiveStreamEnded);
    view.StartLive();
    host.Overlay();
}

int OnGrabFrame(const BITMAPINFOHEADER* dib)
{
    PostLiveFrame(dib);
    return 0;
}

void OnLiveStreamEnded(const std::string& driverName)
{
    // The live view keeps the last frame it showed, so the user sees where it stopped; a new live view can start.
    if (CVistrelApp* app = GetVistrelApp())
        if (CVistrelView* view = app->FindLiveView())
            view->StopLive();
    AfxMessageBox(Format(CaptureString(capstr::IDS_LIVE_STREAM_ENDED).c_str(), driverName.c_str()));
}

void OnAcquireNotify()
{
    if (CVistrelApp* app = GetVistrelApp())
        if (CVistrelView* view = app->FindLiveView())
            view->ResizeLive();
}
