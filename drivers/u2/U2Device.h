// The U2 capture board behind the second-generation core: a grab thread copies every frame the board delivers into
// the driver's frame buffer; Acquire hands out the newest one. Frames are always 640 x 480, 3 bytes per pixel.
//
// The frame buffer is shared by the grab thread and the host's Acquire under one lock, so a frame is never
// overwritten while it is copied out. Stopping the grab halts the board first (which ends a pending wait) and
// then joins the thread within a bound; a thread the board keeps from ending is kept, with the board handles it
// uses, until it ends: the board is not grabbed again before, and the module is not unloaded before.
#pragma once

#include "common/Acq2DriverCore.h"
#include "u2/MvuApi.h"

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

// The board's one frame size. A bench builds the driver for a larger frame to see the grab keep up with it.
#if !defined(U2_FRAME_WIDTH) || !defined(U2_FRAME_HEIGHT)
#define U2_FRAME_WIDTH 640
#define U2_FRAME_HEIGHT 480
#endif

class U2Device : public Acq2Device
{
public:
    static constexpr char kLibraryName[] = "MVULib.so";
    static constexpr int kWidth = U2_FRAME_WIDTH, kHeight = U2_FRAME_HEIGHT, kDepth = 24;
    // How long a stop waits for the grab thread once the board is halted.
    static constexpr int kStopBoundMs = 3000;
    // How long Acquire waits for the next frame.
    static constexpr int kFrameWaitMs = 1;

    ~U2Device() override;

    int Open(int& width, int& height, CAcqPropertyBase& current) override;
    void Close() override;
    int Acquire(datakeeper::CQvImage& image, int width, int height) override;
    void ApplyAdjustments(const CAcqPropertyBase& current, const CAcqPropertyBase& next) override;
    void SelectInput(int channelNumber) override;
    // The rebuilt board is programmed from `next`, as after opening.
    bool ChangeSignal(const CAcqPropertyBase& next, int& width, int& height,
                      const std::function<void()>& notify) override;

    // Channel number -> board input: 2 -> 3, 3 -> 0, 4 -> 1; -1 for a number the board does not know.
    static int BoardInput(int channelNumber);
    // Bytes of one row: depth x width bits rounded up to whole 32-bit words.
    static int RowBytes(int width, int depth) { return (depth * width + 31) / 32 * 4; }

private:
    struct Library;
    struct Grab
    {
        std::thread thread;
        std::future<void> ended;
        MvuHandle digitizer = 0, buffer = 0;
    };

    bool Bind();
    // The board's buffer and digitizer, or 0 after telling the user which failed.
    bool AllocateBoard(const std::string& caption);
    void AllocateFrameBuffer();
    // A board just allocated knows nothing of the property: its input and every reference are sent from it (an
    // input the property does not name selects the board's first).
    void Program(const CAcqPropertyBase& property);
    void StartGrab();
    // Halts the board and ends the grab thread; false when it did not end within the bound (then kept as stranded).
    bool StopGrab();
    void FreeBoard(MvuHandle digitizer, MvuHandle buffer);
    // Ends a stranded grab thread within the bound and frees what it held; false when it still runs.
    bool ReapStranded(int boundMs);
    void GrabLoop(MvuHandle digitizer, MvuHandle buffer);

    Library* m_library = nullptr;
    bool m_libraryMissingTold = false;
    MvuHandle m_buffer = 0, m_digitizer = 0;
    std::atomic<int> m_running{0};
    Grab m_grab;
    Grab m_stranded;

    std::mutex m_frameLock;
    std::vector<uint8_t> m_frame;  // width x height x 4 bytes; rows of RowBytes
    std::condition_variable m_frameEvent;
    bool m_frameReady = false;
};

// The device defaults of this driver's property.
void U2Defaults(CAcqPropertyBase& property);
