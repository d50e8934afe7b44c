// The live-view store of one board channel: one or more frames of equal size stacked in one packed DIB (a 40-byte
// header, a 256-entry palette, then the rows, bottom-up), each stored row rounded up to a multiple of 4 pixels.
// The grab thread stores frames into it and the host's Acquire copies slot 0 out of it; both under the store's
// lock, so the host never copies a half-written frame. Drawing the store on screen is the host's business: the
// driver's path only stores and copies.
#pragma once

#include "acqdriver/AcqDib.h"

#include <cstdint>
#include <mutex>
#include <vector>

class MmdViewControl
{
public:
    static constexpr int kAlreadyInitialised = -100;
    static constexpr int kBadType = -1, kBadWidth = -2, kBadHeight = -3, kBadCount = -4;
    static constexpr int kNoMemory = -10;
    static constexpr int kNoSource = -1, kBadSlot = -2;
    static constexpr int64_t kHeaderBytes = 40 + 256 * 4;

    // Type 1 grey or 3 colour (2 counts as 1, 4 as 3), width and frame height in pixels, frames stacked. 1, or
    // kAlreadyInitialised (nothing changed), a kBad... code for an invalid argument, kNoMemory.
    int Init(int type, int width, int frameHeight, int frameCount);
    void Release();
    bool IsInitialised() const;

    // A packed top-down source of type x width bytes per line into slot `slot` (slot 0 is the last frame in
    // memory), bottom-up: 1, or -100 uninitialised, kNoSource, kBadSlot.
    int Store(const uint8_t* source, int slot);

    // Copies slot `slot` into the host's DIB (rows in memory order, bounded by both sizes): false when nothing
    // could be copied (uninitialised, or the DIB's depth is not the store's).
    bool CopyTo(int slot, BITMAPINFOHEADER* dib) const;

    int Type() const;
    int Width() const;
    int StoredWidth() const;
    int FrameHeight() const;
    int FrameCount() const;
    // The whole allocation (header, palette, rows), as a DIB reader takes it.
    std::vector<uint8_t> Bytes() const;

private:
    uint8_t* SlotLocked(int slot);

    mutable std::mutex m_lock;
    std::vector<uint8_t> m_memory;
    int m_type = 0;
    int m_width = 0;
    int m_storedWidth = 0;
    int m_frameHeight = 0;
    int m_frameCount = 0;
    int64_t m_frameBytes = 0;
    bool m_initialised = false;
};
