// Still capture: frames taken from the acquisition host become image documents, one per frame, or one
// noise-reduced document from many frames (the combining module's median), optionally enlarged by an integer
// factor through the resizing module. Also the host's live-frame and format-change callbacks.
//
// Contract: UI thread, but for OnGrabFrame, which the host's live thread calls. Modules are loaded by path from
// the plug-in folder for each capture and released at its end. Every refusal tells the user why; nothing that
// failed leaves an empty document behind.
#pragma once

#include "types/WinRecords.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

class CQvImage;
class CVistrelApp;
class CVistrelDoc;
class CVistrelView;
class IAcquireHost;

// The exports capture calls in the resizing and the combining module.
using ResizeImageExport = int (*)(CQvImage* source, CQvImage* target);
using MedianExport = void (*)(CQvImage* frames, int count, CQvImage* result);

constexpr const char* kResizeModule = "Torsion.so";
constexpr const char* kResizeExport = "ResizeImage";
constexpr const char* kMedianModule = "Lumenor.so";
constexpr const char* kMedianExport = "Median";

// Most frames one capture takes, separate or combined.
constexpr int kMaxCaptureFrames = 200;

// Memory one capture may take for its frames (and, when combining, their images): beyond it the capture is
// refused with a message.
constexpr int64_t kCaptureMemoryBudget = int64_t(2) << 30;

namespace capstr {
constexpr unsigned IDS_LIVE_MEASURE = 410;       // the live-measurement window's title
constexpr unsigned IDS_CANNOT_OPEN_FILE = 765;    // a document could not be made for a frame
constexpr unsigned IDS_TOO_MANY_FRAMES = 771;     // more frames asked for than one capture takes
constexpr unsigned IDS_LIVE_STREAM_ENDED = 7720;  // %s: the driver whose camera stopped sending
constexpr unsigned IDS_CAPTURE_TOO_LARGE = 7721;  // the frames asked for do not fit in memory
constexpr unsigned IDS_COMBINE_FAILED = 7722;     // the frames could not be combined
constexpr unsigned IDS_MODULE_MISSING = 8220;    // %s: the path of a module or of its export that is missing
}  // namespace capstr
std::string CaptureString(unsigned id);

// What capture needs of the program; ProgramCaptureContext fills it from the running program.
struct CaptureContext
{
    IAcquireHost* host = nullptr;
    std::string plugInFolder;  // ends in '/'
    std::function<CVistrelDoc*(const std::string& title)> newDocument;
    std::function<CVistrelView*()> findLiveView;
    // True when an open document already bears that title.
    std::function<bool(const std::string& title)> isTitle;
    // The current calibration's name and magnification (0 or less: none).
    std::function<std::pair<std::string, double>()> calibration;
    // The enlargement factor dialog: false when cancelled; the factor (2..5) otherwise.
    std::function<bool(int& factor)> askResizeFactor;
};

CaptureContext ProgramCaptureContext(CVistrelApp& app);

class CImageCapture
{
public:
    explicit CImageCapture(CaptureContext context) : m_context(std::move(context)) {}

    // `count` frames; separate 1: one document per frame, 0: one document of their median; resize 1: ask for an
    // enlargement factor first. The last document that received an image, or null when nothing was captured.
    CVistrelDoc* AcquireImages(int count, int separate, int resize);

    // A still image the host delivered (hardware of type 1): a document of its own. Compressed images and
    // depths other than up to 14 bits or 24 bits are ignored; so is a block shorter than its header says.
    CVistrelDoc* OnTwainBuffer(const BITMAPINFOHEADER* dib, size_t bytes);

    // Tests resolve module exports here instead of loading modules; an empty resolver restores loading.
    using ExportResolver = std::function<void*(const std::string& modulePath, const char* name)>;
    static void SetExportResolver(ExportResolver resolver);
    // The running number of capture titles, program-wide.
    static int& TitleNumber();

private:
    std::string NextSeparateTitle(double magnification);
    std::string CombinedTitle();

    CaptureContext m_context;
};

// A captured document's view, once it has settled, places the capture's scale bar (when the preference asks for
// one); the view is fitted to its window now when the fit setting is on. UI thread.
void SettleCapturedDocument(CVistrelDoc* doc);

// The host's callbacks while the program runs: each live frame goes to the live view's mailbox (any thread,
// never waits); a format change makes the live view re-create its picture (UI thread).
int OnGrabFrame(const BITMAPINFOHEADER* dib);
void OnAcquireNotify();
// UI thread: the host gave up on a camera that stopped sending; says so and stops the live view.
void OnLiveStreamEnded(const std::string& driverName);

// 1 while live video was started by the live-image command rather than for live measurement; resize capture
// needs it.
extern int g_bLiveStarted;
// Points the host's frames at `view` and starts live video there (the host's previous display stopped first).
void StartLiveVideo(IAcquireHost& host, CVistrelView& view, bool measuring);
