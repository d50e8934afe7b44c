#include "mtpci/MmdViewControl.h"

#include <cstring>

namespace {

void PutU16(uint8_t* at, uint16_t value)
{
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
}

void PutU32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = uint8_t(value >> (8 * i));
}

}  // namespace

int MmdViewControl::Init(int type, int width, int frameHeight, int frameCount)
{
    std::scoped_lock lock(m_storeLock, m_lock);
    if (m_initialised)
        return kAlreadyInitialised;
    if (type < 1 || type > 4)
        return kBadType;
    if (width < 1)
        return kBadWidth;
    if (frameHeight < 1)
        return kBadHeight;
    if (frameCount < 1)
        return kBadCount;
    const int storedType = type == 2 ? 1 : type == 4 ? 3 : type;
    const int storedWidth = (width + 3) / 4 * 4;
    const int64_t frameBytes = int64_t(storedType) * storedWidth * frameHeight;
    const int64_t totalHeight = int64_t(frameHeight) * frameCount;
    if (totalHeight > INT32_MAX || frameBytes * frameCount > kAcqMaxFrameBytes)
        return kNoMemory;
    const int64_t imageBytes = frameBytes * frameCount;
    // The rows start white; a row's padding is never written again, so it stays white in every frame buffer.
    m_frames.assign(size_t(frameCount), std::vector<uint8_t>(size_t(frameBytes), 255));
    m_frameNumbers.assign(size_t(frameCount), 0);
    m_spare.assign(size_t(frameBytes), 255);
    m_header.assign(size_t(kHeaderBytes), 0);
    uint8_t* header = m_header.data();
    PutU32(header, 40);
    PutU32(header + 4, uint32_t(storedWidth));
    PutU32(header + 8, uint32_t(totalHeight));
    PutU16(header + 12, 1);
    PutU16(header + 14, uint16_t(storedType * 8));
    PutU32(header + 20, uint32_t(imageBytes));
    const uint32_t colours = storedType == 1 ? 256 : 0;
    PutU32(header + 32, colours);
    PutU32(header + 36, colours);
    if (storedType == 1) {
        for (int i = 0; i < 256; ++i) {
            uint8_t* entry = header + 40 + i * 4;
            entry[0] = entry[1] = entry[2] = uint8_t(i);
        }
    }
    m_type = storedType;
    m_width = width;
    m_storedWidth = storedWidth;
    m_frameHeight = frameHeight;
    m_frameCount = frameCount;
    m_frameBytes = frameBytes;
    m_initialised = true;
    return 1;
}

void MmdViewControl::Release()
{
    std::scoped_lock lock(m_storeLock, m_lock);
    for (std::vector<uint8_t>* bytes : {&m_header, &m_spare}) {
        bytes->clear();
        bytes->shrink_to_fit();
    }
    m_frames.clear();
    m_frames.shrink_to_fit();
    m_frameNumbers.clear();
    m_initialised = false;
    m_type = m_width = m_storedWidth = m_frameHeight = m_frameCount = 0;
    m_frameBytes = 0;
}

bool MmdViewControl::IsInitialised() const
{
    std::lock_guard lock(m_lock);
    return m_initialised;
}

std::vector<uint8_t>& MmdViewControl::SlotLocked(int slot)
{
    // Slots count from the end of the store: slot 0 is the last frame in memory.
    return m_frames[size_t(m_frameCount - 1 - slot)];
}

int MmdViewControl::Store(const uint8_t* source, int slot)
{
    // The store's format changes only under both locks: holding the store lock, it is read without the other.
    std::lock_guard storing(m_storeLock);
    if (!m_initialised)
        return kAlreadyInitialised;
    if (!source)
        return kNoSource;
    if (slot < 0 || slot >= m_frameCount)
        return kBadSlot;
    const int64_t sourceLine = int64_t(m_type) * m_width;
    const int64_t storedLine = int64_t(m_type) * m_storedWidth;
    uint8_t* rows = m_spare.data();
    for (int line = 0; line < m_frameHeight; ++line)
        std::memcpy(rows + (m_frameHeight - 1 - line) * storedLine, source + line * sourceLine, size_t(sourceLine));
    std::lock_guard lock(m_lock);
    // The slot's old frame is the next store's spare.
    SlotLocked(slot).swap(m_spare);
    ++m_frameNumbers[size_t(m_frameCount - 1 - slot)];
    return 1;
}

bool MmdViewControl::CopyTo(int slot, BITMAPINFOHEADER* dib, uint64_t* frameNumber) const
{
    std::lock_guard lock(m_lock);
    if (!m_initialised || !dib || slot < 0 || slot >= m_frameCount)
        return false;
    auto& self = const_cast<MmdViewControl&>(*this);
    const AcqFrameView frame{self.SlotLocked(slot).data(), m_width, m_frameHeight, m_type * 8,
                             int64_t(m_type) * m_storedWidth};
    if (frameNumber)
        *frameNumber = m_frameNumbers[size_t(m_frameCount - 1 - slot)];
    return AcqCopyFrameToDib(frame, dib);
}

std::vector<uint8_t> MmdViewControl::Bytes() const
{
    std::lock_guard lock(m_lock);
    std::vector<uint8_t> bytes = m_header;
    for (const std::vector<uint8_t>& frame : m_frames)
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    return bytes;
}

int MmdViewControl::Type() const
{
    std::lock_guard lock(m_lock);
    return m_type;
}

int MmdViewControl::Width() const
{
    std::lock_guard lock(m_lock);
    return m_width;
}

int MmdViewControl::StoredWidth() const
{
    std::lock_guard lock(m_lock);
    return m_storedWidth;
}

int MmdViewControl::FrameHeight() const
{
    std::lock_guard lock(m_lock);
    return m_frameHeight;
}

int MmdViewControl::FrameCount() const
{
    std::lock_guard lock(m_lock);
    return m_frameCount;
}
