// The one MTPCI-TL board of the driver module, over the board library (MtpciApi.h) bound at the first start-up.
// Each present channel is set up from a camera-set file and runs one grab thread that stores every finished frame
// into the channel's view store (MmdViewControl) and raises the channel's new-frame bit; the host takes channel 1's
// frame from there.
//
// Threads: a set-up (start-up, Setup, Release, unload) first asks every grab thread to stop and joins it within a
// bound, so no thread uses a channel's buffers while they are freed and every present channel gets a fresh thread
// afterwards. Grab threads show their messages through the message-box layer, which hands them to the UI thread and
// waits for the answer (so the DMA question is answered by the user); a set-up or snapshot running on the UI thread
// lets such a box through while it waits, so neither side waits for the other. A thread that does not end within
// the bound (a library call that never returns) is left running: its channel is not used again, its buffers are
// kept and the module stays loaded, which is safe where freeing them is not.
#pragma once

#include "acqdriver/AcqDriver.h"
#include "mtpci/MmdViewControl.h"
#include "mtpci/MtpciApi.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class MtpciBoard
{
public:
    // The library's file name (mtpcidma.dll on Windows), loaded from the driver's folder or the library path.
    static constexpr char kLibraryName[] = "mtpcidma.so";
    static constexpr char kCameraSetList[] = "MTPCI_CameraSet.cfg";
    static constexpr int kFrameBuffers = 4;
    // How long a set-up waits for each grab thread to end.
    static constexpr std::chrono::seconds kJoinBound{5};
    // How long a snapshot waits for a first frame.
    static constexpr std::chrono::seconds kSnapshotBound{2};
    // How long channel 1's grab thread lets the host take the frame it holds before storing the next over it,
    // and how recently the host must have taken one for it to wait at all.
    static constexpr std::chrono::milliseconds kHandOverWait{8};
    static constexpr std::chrono::milliseconds kHostPolling{250};

    enum RunState { kIdle = 0, kGrabbing = 1, kStopping = -1, kUnusable = -2, kStoppedOnDmaError = -3 };

    MtpciBoard() = default;
    ~MtpciBoard();
    MtpciBoard(const MtpciBoard&) = delete;
    MtpciBoard& operator=(const MtpciBoard&) = delete;

    // The start-up of ACQ_Initial: the camera-set file named in the list file, else one the user chooses; set the
    // channels up from it and remember it. 1, or 0 when the choice was cancelled, the named file is missing (the
    // user is told and the list file deleted) or the board library is missing.
    int StartUp();
    // ACQ_Setup: the channels set up again from a file the user chooses (not remembered). Cancel changes nothing.
    void ChooseAndSetUp();
    // ACQ_Release: every grab thread stopped and joined; Acquire answers 0 until the next set-up.
    void Release();

    int Acquire(BITMAPINFOHEADER* dib);
    int Snapshot(BITMAPINFOHEADER* dib);

    int Mode() const { return m_mode; }
    // What channel 1's view holds: the host's DIB must be this format.
    int Width() const;
    int Height() const;
    int Depth() const;
    int RunStateOf(int channel) const;

private:
    struct Library;
    struct Channel
    {
        bool present = false;
        bool enabled = false;
        bool open = false;
        bool lost = false;  // its thread did not end within the bound
        int lastStatus = 0;
        MtpciChannelInfo info{};
        bool display = false;
        int frames = 0;
        std::chrono::steady_clock::time_point started{};
        std::vector<uint8_t> work;
        std::vector<uint8_t> conversion;
        MmdViewControl view;
        std::atomic<int> runState{kIdle};
        std::atomic<bool> hasFrame{false};
        std::atomic<uint64_t> handedOver{0};  // the view's number of the frame the host took last
        std::atomic<int64_t> handedOverAt{0};  // when, in steady-clock ticks
        std::thread thread;
        std::mutex doneLock;
        std::condition_variable doneSignal;
        bool finished = true;
    };
    enum class Wait { Done, DmaError, Idle, Stopped, LibraryError };

    bool Bind();
    std::string ChooseCameraSet();
    void SetUpChannels(const std::string& cameraSet);
    int SetUpChannel(int number, const std::string& cameraSet);
    void CloseChannel(int number);
    void StartThread(int number);
    void RequestStop(int number);
    void StopAndJoinAll();
    bool Join(Channel& channel);
    void GrabLoop(int number);
    Wait WaitForBuffer(int number, int buffer, int& status);
    void CopyFrame(int number, int buffer);
    void LetHostTakeFrame(int number);
    // Channel 1's view into the host's DIB; with `newOnly`, ACQ_NO_NEW_FRAME for the frame handed over last.
    int HandOver(BITMAPINFOHEADER* dib, bool newOnly);
    int Ask(const std::string& text, unsigned type);
    void LetPromptsThrough();
    Channel& ChannelOf(int number) { return m_channels[number - 1]; }

    std::mutex m_setupLock;  // one set-up at a time
    Library* m_library = nullptr;
    bool m_libraryMissingTold = false;
    std::atomic<int> m_channelCount{0};
    Channel m_channels[kMtpciMaxChannels];
    std::atomic<int> m_mode{ACQ_MODE_IDLE};
    std::atomic<uint32_t> m_newFrames{0};  // bit 0x1 channel 1, 0x10 channel 2, 0x100 channel 3, 0x1000 channel 4
    std::atomic<int> m_prompts{0};         // grab-thread message boxes waiting for the UI thread
};
