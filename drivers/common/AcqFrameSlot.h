// A first-generation driver's frame buffer: the newest frame of the device, written by the device's streaming
// thread and copied into the host's DIB by ACQ_Acquire / ACQ_AcquireSnapshot on the host's thread, both under one
// lock. A new-frame flag passes each delivered frame once to Acquire (1, then 9 until the next frame). Close
// frees the buffer under the lock and wakes a waiting Acquire, so a copy after or during a release answers 9
// instead of reading freed memory; a snapshot before the first frame answers 9 instead of copying an empty
// buffer. Thread-safe.
#pragma once

#include "acqdriver/AcqDib.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

class AcqFrameSlot
{
public:
    // Makes room for frames of this format (no frame yet). False for a size no frame has. With `bottomUp` the
    // device's rows are handed to the host last row first (a camera whose rows come upside down for a DIB).
    bool Open(int32_t width, int32_t height, int32_t bitsPerPixel, bool bottomUp = false);
    // Drops the buffer and wakes a waiting Acquire.
    void Close();
    bool IsOpen() const;

    // Streaming thread: stores one frame of exactly the opened size (stride x height bytes, device row order).
    // A frame of any other length is dropped (false) and does not raise the new-frame flag.
    bool Deliver(const uint8_t* data, size_t bytes);

    // Waits up to `wait` for a frame not taken yet and copies it: ACQ_OK, ACQ_NO_NEW_FRAME when none came (or the
    // slot is closed), ACQ_FAIL when the DIB's header cannot take the frame.
    int Acquire(BITMAPINFOHEADER* dib, std::chrono::milliseconds wait, AcqRowMirror mirror = AcqRowMirror::None);
    // Copies the newest frame, taken or not, and makes the next Acquire wait for a fresh one.
    int Snapshot(BITMAPINFOHEADER* dib, AcqRowMirror mirror = AcqRowMirror::None);

private:
    int CopyLocked(BITMAPINFOHEADER* dib, AcqRowMirror mirror);

    mutable std::mutex m_lock;
    std::condition_variable m_newFrameSignal;
    std::vector<uint8_t> m_buffer;
    AcqFrameView m_format;
    bool m_open = false;
    bool m_hasFrame = false;
    bool m_newFrame = false;
};
