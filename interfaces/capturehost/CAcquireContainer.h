// The acquisition host: loads the drivers of the acquisition folder (both generations), opens the one the user
// selects, hands its frames to the program and runs the live display. One program-wide object.
//
// Contract:
// - Threads: every call below is made on the UI thread. The grab callback runs on the host's live thread, once per
//   live frame, with a DIB that is valid only during the call. The notification, still-image and external-trigger
//   callbacks are queued onto the UI thread (never run inside the call that caused them), so they may open
//   documents; those queued when the container is destroyed are dropped.
// - Frames: packed DIBs, a 40-byte header, 1024 bytes of palette room, then stride x |height| bytes of rows (stride
//   = bits x width rounded up to 32 bits). A negative biHeight marks top-down rows. Buffer sizes are computed in 64
//   bits; FrameBufferSize answers -1 for sizes no camera has, and such frames are refused.
// - Waits: every wait is bounded. AcquireSnapshot waits at most the snapshot timeout for each frame; a driver that
//   stops delivering makes it fail with a message naming the driver.
// - Second generation (Acq2HostDriver.h): such a driver is offered under its device's name, opened with the
//   settings the user kept for it, edited through Property, and its frames arrive as 24-bit top-down DIBs (a
//   negative height) like any other driver's.
// - Modules: every "*.so" of the folder is loaded with RTLD_NOW | RTLD_LOCAL; a file that is not a loadable
//   driver is skipped with a message naming it, and the others still load. A driver that took the program down
//   while it was being loaded is skipped at the next start, named, and the user asked once whether to try it
//   again (see ModuleLoadGuard).
// - A live display whose driver keeps failing stops by itself and says so through the stream-ended callback.
// - Screen resolution switching and hardware overlay windows do not exist here: FullScreenMode, RestoreScrRes and
//   SetDisplayWindowPos do nothing, and IsOverlaySupport is true (the program draws its overlays itself).
#pragma once

#include "types/VistrelExport.h"
#include "types/WinGeometry.h"
#include "types/WinRecords.h"

#include <chrono>
#include <vector>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class ModuleLoadGuard;
class QObject;

class VISTREL_EXPORT CAcquireContainer
{
public:
    // Live thread; answers 0 (the result is not used). The DIB is the host's and valid only during the call.
    using GrabCallback = std::function<int(const BITMAPINFOHEADER* dib)>;
    // UI thread: the capture format changed; read the size again.
    using NotifyCallback = void (*)();
    // UI thread: a still image of hardware of type 1, a packed DIB of `bytes` bytes, valid only during the call.
    using StillImageCallback = std::function<void(const BITMAPINFOHEADER* dib, size_t bytes)>;
    // UI thread: the device's external trigger fired.
    using TriggerCallback = void (*)();
    // UI thread: the live display gave up on a driver that kept failing (an unplugged camera); the display is
    // already stopped and Overlay starts it again. The argument is the driver's name.
    using StreamEndedCallback = std::function<void(const std::string& driverName)>;

    // Largest number of frames one AcquireSnapshot fills.
    static constexpr int kMaxSnapshotFrames = 200;
    // The mode GetCurrentMode reports while the live display runs.
    static constexpr int kModeLive = 3;
    // Consecutive failed polls (a failing driver or a frame size it no longer has) after which the live display
    // gives up rather than poll a dead device for ever.
    static constexpr int kLiveFailureLimit = 40;

    CAcquireContainer();
    ~CAcquireContainer();
    CAcquireContainer(const CAcquireContainer&) = delete;
    CAcquireContainer& operator=(const CAcquireContainer&) = delete;

    // Bytes of one frame buffer (header, palette room, rows), or -1 for a size no frame has.
    static int64_t FrameBufferSize(int width, int height, int bitsPerPixel);

    // Start-up, in this order. The instance is kept, not used; the window is every driver's owner.
    void SetInstClient(void* instance);
    void SetHwndClient(void* mainWindow);
    // Loads every driver module of `folder` (releasing those loaded before); answers how many loaded.
    int InstallServers(const char* folder);
    // Where the load guard keeps its markers (the user's default marker folder unless set; empty: unguarded).
    void SetLoadGuardFolder(std::string folder);
    // Stops the live display, releases the selected driver and unloads every module.
    void ReleaseServers();

    int GetServerCount() const;
    // The driver's own name (ACQ_GetName); empty for an index out of range.
    std::string GetServerName(int index) const;
    // The module file the driver was loaded from.
    std::string GetServerFile(int index) const;

    // The user's choice of driver: with several drivers a chooser lists their names (the dialog
    // "ServerChooserDialog", list "serverList", buttons "okButton" / "cancelButton", run through RunModal); a
    // single driver is taken without asking. The chosen one is opened as SelectServerAt does; a cancelled
    // chooser answers 0 and keeps the driver selected before. Any argument (the program passes 0).
    int SelectServer(int which);
    // Opens driver `index` (releasing the one selected before). 1 when its device opened with a frame size; 0
    // otherwise (the driver has told the user why), and nothing is selected then.
    int SelectServerAt(int index);
    int IsSelected() const;
    // Runs the selected driver's set-up dialog (any argument); for the second generation the host's settings
    // dialog over the driver's property. 1 when a driver ran it (second generation: when settings were applied).
    int Property(int which);

    // The live display: the host polls the driver on a thread of its own and calls the grab callback per frame.
    int Overlay();
    int StopOverlay();
    int IsOverlaySupport() const { return 1; }
    int IsOverlayWndActive() const;
    int FullScreenMode() { return 1; }
    int RestoreScrRes() { return 1; }
    int SetDisplayWindowPos(const RECT*) { return 1; }
    int SetAOI(const CRect& area);
    int ChangeImageSize() { return 1; }

    // 3 while the live display runs, else the driver's own mode (0 with no driver).
    int GetCurrentMode(int& mode) const;
    int GetWidth(int& width) const;
    int GetHeight(int& height) const;  // |height|
    int GetHWType(int& type) const;
    int GetCurrentServerName(std::string& name) const;
    // The selected driver's frame: width, |height| and bits per pixel; 0 in all three with no driver. 1 when a
    // driver is selected.
    int GetCaptureSizeNDepth(int& width, int& height, int& bitsPerPixel) const;
    // `count` (1..200) caller-owned buffers of FrameBufferSize bytes each for the current size; fills each with
    // a distinct frame (header written by the host, height negative for a top-down device). 1 when all were
    // filled; 0 otherwise (wrong count, no driver, size changed, the driver failed or stopped delivering).
    int AcquireSnapshot(int count, BITMAPINFOHEADER** buffers);
    int GetCaptureRatio(float& ratio) const;
    // The enlargement the host's settings ask for (1.0 unless set).
    void SetCaptureRatio(float ratio) { m_captureRatio = ratio; }

    // Takes one frame and hands it to the still-image callback (queued onto the UI thread). 1 when queued.
    int AcquireStillImage();

    void SetFuncGrabCallBack(GrabCallback callback);
    void SetNotifyFunction(NotifyCallback callback);
    void SetFunc4TwainBuffer(StillImageCallback callback);
    void SetExtTrigger(TriggerCallback callback);
    void SetStreamEnded(StreamEndedCallback callback);

    // How long AcquireSnapshot waits for each frame (2 s unless set).
    void SetSnapshotTimeout(std::chrono::milliseconds timeout) { m_snapshotTimeout = timeout; }

private:
    struct Server;
    struct Live;

    struct FrameSize
    {
        int width = 0;
        int height = 0;  // signed, as the driver reports it
        int bitsPerPixel = 0;
        int64_t bufferBytes = -1;
    };

    Server* Selected() const;
    static FrameSize ReadFrameSize(const Server& server);
    static int AcquireFrame(Server& server, BITMAPINFOHEADER* dib);
    void ReleaseSelected();
    // Polls the driver for the next frame into `dib` until `deadline`: ACQ_OK, or the failing result.
    int NextFrame(Server& server, BITMAPINFOHEADER* dib, std::chrono::steady_clock::time_point deadline);
    bool LiveRunning() const;
    void LiveLoop(Server& server);
    void QueueOnUiThread(std::function<void()> work);
    static void NotifyTrampoline();
    static void TriggerTrampoline();

    std::unique_ptr<ModuleLoadGuard> m_loadGuard;
    std::vector<std::unique_ptr<Server>> m_servers;
    int m_selected = -1;
    void* m_instance = nullptr;
    void* m_mainWindow = nullptr;
    CRect m_aoi;
    float m_captureRatio = 1.0f;
    std::chrono::milliseconds m_snapshotTimeout{2000};
    GrabCallback m_grab;
    NotifyCallback m_notify = nullptr;
    StillImageCallback m_stillImage;
    TriggerCallback m_trigger = nullptr;
    StreamEndedCallback m_streamEnded;
    uint64_t m_liveRuns = 0;
    std::unique_ptr<Live> m_live;
    std::unique_ptr<QObject> m_uiContext;
};
