// The one ARTRAY camera of a driver module: binds the model's library, keeps the newest full sensor frame the
// library sends, and hands the host the whole frame or the centred crop of the chosen resolution row, which it
// remembers in the model's settings file in the program's folder.
//
// Threads: Open, Close, SetUp and the dialogs come from the host's UI thread (one set-up lock serialises them);
// frames arrive on the message window's thread; HandOut runs on any thread. Both buffers are freed and reallocated
// only under the frame lock that every copy into or out of them holds, so a hand-out never reads a freed buffer.
// The busy and snapshot flags are atomics read without a lock.
#pragma once

#include "acqdriver/AcqDriver.h"
#include "artray/ArtCamBinding.h"
#include "artray/ArtrayModel.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class ArtMessageWindow;

class ArtrayCamera
{
public:
    enum class HandOutResult { Copied, NoNewFrame, Busy, Refused };

    explicit ArtrayCamera(const ArtrayModel& model);
    ~ArtrayCamera();
    ArtrayCamera(const ArtrayCamera&) = delete;
    ArtrayCamera& operator=(const ArtrayCamera&) = delete;

    const ArtrayModel& Model() const { return m_model; }

    // Binds the library and starts the capture at the stored resolution row (row 0 when none is stored or the
    // stored one is outside the table). False when no library, no camera or no colour depth came.
    bool Open();
    // Writes the settings, releases the camera and frees the buffers. The library stays loaded.
    void Close();
    // Starts the capture at row `index` and notifies the host; false (the capture stopped) when the library gave no
    // colour depth or there is no camera.
    bool SetUp(int index);

    // One frame into the host's DIB. `wait`: wait the model's time for a frame that came since the last hand-out.
    HandOutResult HandOut(BITMAPINFOHEADER* dib, bool wait);

    // The library's own dialogs: its camera dialog closes the capture while it runs and sets it up again however it
    // is closed; the others only show.
    void RunVideoFormatDialog(void* owner);
    void RunColorDialog(void* owner);
    void RunAnalogDialog(void* owner);

    int ResolutionIndex() const { return m_index; }
    int Width() const { return m_model.rows[m_index].width; }
    int Height() const { return m_model.rows[m_index].height; }
    // Bits per pixel; 0 before the library reported a colour depth.
    int Depth() const { return m_bytesPerPixel > 0 ? m_bytesPerPixel * 8 : 0; }
    bool SnapshotRaised() const { return m_snapshot; }
    void RaiseSnapshot(bool raised) { m_snapshot = raised; }
    bool IsBound() const { return m_handle != nullptr; }

    void SetNotify(ACQ_NotifyFunction notify) { m_notify = notify; }
    // Message windows made since the module loaded (one, however often the camera opens).
    static int WindowsMade();
    // Frame messages the message window has passed to the camera so far.
    int FrameMessagesHandled() const;

private:
    bool Bind();
    void Unbind();
    bool SetUpLocked(int index, bool notify);
    int FrameMessage(uintptr_t wParam);
    void FreeBuffers();
    void ForgetNewFrame();
    static int StoredIndex(const ArtrayModel& model);

    const ArtrayModel& m_model;
    std::recursive_mutex m_setUpLock;  // Open, Close, SetUp, dialogs
    std::unique_ptr<ArtMessageWindow> m_window;
    void* m_library = nullptr;
    ArtCamBinding m_sdk;
    std::atomic<ArtCamHandle> m_handle{nullptr};
    std::atomic<int> m_dllType{-1};
    std::atomic<int> m_index{0};
    std::atomic<int> m_bytesPerPixel{-1};
    std::atomic<bool> m_busy{false};
    std::atomic<bool> m_snapshot{false};
    std::atomic<ACQ_NotifyFunction> m_notify{nullptr};

    std::mutex m_frameLock;  // the buffers, their size and m_hasFrame
    std::vector<uint8_t> m_sdkBuffer;
    std::vector<uint8_t> m_frame;
    bool m_hasFrame = false;

    std::mutex m_eventLock;  // the new-frame event (auto-reset)
    std::condition_variable m_eventWake;
    bool m_newFrame = false;
};
