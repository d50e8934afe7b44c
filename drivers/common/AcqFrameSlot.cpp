#include "common/AcqFrameSlot.h"

#include "acqdriver/AcqDriver.h"

#include <cstring>

bool AcqFrameSlot::Open(int32_t width, int32_t height, int32_t bitsPerPixel, bool bottomUp)
{
    const int64_t bytes = AcqDibImageBytes(width, height, bitsPerPixel);
    std::lock_guard lock(m_lock);
    m_open = false;
    m_hasFrame = false;
    m_newFrame = false;
    m_buffer.clear();
    if (bytes < 0 || height <= 0)
        return false;
    m_buffer.assign(size_t(bytes), 0);
    const int64_t stride = AcqDibStride(width, bitsPerPixel);
    m_format = bottomUp ? AcqFrameView{m_buffer.data() + (height - 1) * stride, width, height, bitsPerPixel, -stride}
                        : AcqFrameView{m_buffer.data(), width, height, bitsPerPixel, stride};
    m_open = true;
    return true;
}

void AcqFrameSlot::Close()
{
    {
        std::lock_guard lock(m_lock);
        m_open = false;
        m_hasFrame = false;
        m_newFrame = false;
        m_buffer.clear();
        m_buffer.shrink_to_fit();
        m_format = AcqFrameView{};
    }
    m_newFrameSignal.notify_all();
}

bool AcqFrameSlot::IsOpen() const
{
    std::lock_guard lock(m_lock);
    return m_open;
}

bool AcqFrameSlot::Deliver(const uint8_t* data, size_t bytes)
{
    {
        std::lock_guard lock(m_lock);
        if (!m_open || !data || bytes != m_buffer.size())
            return false;
        std::memcpy(m_buffer.data(), data, bytes);
        m_hasFrame = true;
        m_newFrame = true;
    }
    m_newFrameSignal.notify_all();
    return true;
}

int AcqFrameSlot::Acquire(BITMAPINFOHEADER* dib, std::chrono::milliseconds wait, AcqRowMirror mirror)
{
    std::unique_lock lock(m_lock);
    if (!m_newFrameSignal.wait_for(lock, wait, [this] { return m_newFrame || !m_open; }) || !m_open)
        return ACQ_NO_NEW_FRAME;
    if (!dib)
        return ACQ_NO_NEW_FRAME;
    m_newFrame = false;
    return CopyLocked(dib, mirror);
}

int AcqFrameSlot::Snapshot(BITMAPINFOHEADER* dib, AcqRowMirror mirror)
{
    std::lock_guard lock(m_lock);
    if (!m_open || !m_hasFrame || !dib)
        return ACQ_NO_NEW_FRAME;
    m_newFrame = false;
    return CopyLocked(dib, mirror);
}

int AcqFrameSlot::CopyLocked(BITMAPINFOHEADER* dib, AcqRowMirror mirror)
{
    return AcqCopyFrameToDib(m_format, dib, mirror) ? ACQ_OK : ACQ_FAIL;
}
