// The one KH-1300 camera of the driver module, over the camera library (ZclApi.h) bound by name at the first open.
// Frames are grabbed synchronously by the caller of Grab; there is no thread of ours.
//
// Threads: Open, Close, ChangeResolution and Grab may be called from different host threads. One lock serialises
// them, so a resolution change on the UI thread never frees the buffers a grab on the live thread is using; a grab
// that cannot take the lock within a bound answers "no new frame" rather than wait on a dialog. Messages are shown
// after the lock is given back, on the UI thread (the message-box layer hands them over). The library's image wait
// is bounded, so an unplugged camera answers instead of hanging.
#pragma once

#include "acqdriver/AcqDriver.h"
#include "common/BoundedWaitMutex.h"
#include "kh1300/ZclApi.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// One row of the resolution table: dialog button, text, the camera's mode code.
struct Kh1300Resolution
{
    int buttonId;
    const char* text;
    int modeCode;
};
constexpr int kKh1300ResolutionCount = 9;
extern const Kh1300Resolution kKh1300Resolutions[kKh1300ResolutionCount];

class Kh1300Camera
{
public:
    // The library's file name (ZCL.dll on Windows), loaded from the driver's folder or the library path.
    static constexpr char kLibraryName[] = "ZCL.so";
    static constexpr char kSettingsFile[] = "KH1300Zcl2.ini";
    static constexpr char kSettingsSection[] = "KH1300Zcl2";
    static constexpr char kSettingsKey[] = "Resolution";

    Kh1300Camera() = default;
    ~Kh1300Camera();
    Kh1300Camera(const Kh1300Camera&) = delete;
    Kh1300Camera& operator=(const Kh1300Camera&) = delete;

    // Opens the camera at the stored resolution (0 when none is stored or the stored one is outside the table):
    // 1, or -1 after telling the user the failing step and "Not Found Camera". Any earlier open is closed first.
    int Open();
    void Close();
    bool IsOpen() const { return m_open; }

    // One frame into the host's DIB: 1; 0 when closed, when the DIB is not the camera's size and 24 bits, or when
    // the camera failed; 9 when no frame came within the library's wait. A snapshot tries a few grabs and, when
    // none brings a new frame, hands out the last frame grabbed since the open (0 when there is none).
    int Grab(BITMAPINFOHEADER* dib);
    int Snapshot(BITMAPINFOHEADER* dib);

    // The dialog's choice: stores it, re-opens the camera in it and notifies the host. Only with a notification
    // callback set; false (nothing changed, the settings file untouched) without one.
    bool ChangeResolution(int index);
    int ResolutionIndex() const { return m_index; }

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void SetNotify(ACQ_NotifyFunction notify) { m_notify = notify; }
    bool HasNotify() const { return m_notify.load() != nullptr; }

private:
    struct Library;
    bool Bind(std::vector<std::string>& messages);
    int OpenLocked(std::vector<std::string>& messages);
    void CloseLocked(std::vector<std::string>& messages);
    int GrabLocked(BITMAPINFOHEADER* dib);
    bool CopyConverted(BITMAPINFOHEADER* dib) const;
    static void ShowMessages(const std::vector<std::string>& messages);

    BoundedWaitMutex m_lock;
    Library* m_library = nullptr;  // bound at the first open, kept until the module unloads
    bool m_libraryMissingTold = false;
    std::atomic<ACQ_NotifyFunction> m_notify{nullptr};
    std::atomic<bool> m_open{false};
    std::atomic<int> m_index{0};
    std::atomic<int> m_width{0};
    std::atomic<int> m_height{0};
    ZCL_HANDLE m_camera = nullptr;
    ZCL_CONVHANDLE m_converter = nullptr;
    ZclImageInfo m_image{};
    BITMAPINFOHEADER m_convertedHeader{};
    std::vector<uint8_t> m_raw;
    std::vector<uint8_t> m_converted;
    bool m_hasConverted = false;
};
