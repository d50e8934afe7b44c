// The live-view store of one board channel: one or more frames of equal size stacked in one packed DIB (a 40-byte
// header, a 256-entry palette, then the rows, bottom-up), each stored row rounded up to a multiple of 4 pixels.
// The grab thread stores frames into it and the host's Acquire copies slot 0 out of it. A store turns the frame
// into the store's row order in a spare frame of its own and only swaps that into the slot under the lock, so the
// host's copy (under the lock, so it never copies a half-written frame) and the grab thread's store wait for each
// other at most one swap or one copy, never a copy each. Drawing the store on screen is the host's business: the
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
    // memory), bottom-up: 1, or -100 uninitialised, kNoSource, kBadSlot. Stores into one store are made one at a
    // time (a second storing thread waits).
    int Store(const uint8_t* source, int slot);

    // Copies slot `slot` into the host's DIB (rows in memory order, bounded by both sizes): false when nothing
    // could be copied (uninitialised, or the DIB's depth is not the store's). `frameNumber`, when given, receives
    // the number of the frame copied: 1 for the slot's first store since Init, 2 for its second, ...; 0 for none.
    bool CopyTo(int slot, BITMAPINFOHEADER* dib, uint64_t* frameNumber = nullptr) const;

    int Type() const;
    int Width() const;
    int StoredWidth() const;
    int FrameHeight() const;
    int FrameCount() const;
    // The whole allocation (header, palette, rows), as a DIB reader takes it.
    std::vector<uint8_t> Bytes() const;

private:
    std::vector<uint8_t>& SlotLocked(int slot);

    std::mutex m_storeLock;  // one store at a time: the spare frame is the storing thread's; taken before m_lock
    mutable std::mutex m_lock;
    std::vector<uint8_t> m_header;               // header and palette
    std::vector<std::vector<uint8_t>> m_frames;  // in memory order: the last is slot 0
    std::vector<uint64_t> m_frameNumbers;        // per frame in memory order: stores made into it
    std::vector<uint8_t> m_spare;                // the next store's rows, swapped into its slot
    int m_type = 0;
    int m_width = 0;
    int m_storedWidth = 0;
    int m_frameHeight = 0;
    int m_frameCount = 0;
    int64_t m_frameBytes = 0;
    bool m_initialised = false;
};
