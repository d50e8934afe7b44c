// A camera frame on its way from the device to the screen: the size the camera's caps announce opens the driver's
// frame slot, the frame's bytes are delivered into it, the host's DIB (made for the size the driver reports,
// which may lag behind the caps) takes a copy by Acquire and Snapshot, the live mailbox copies the DIB and the
// view turns it into an image. Whatever the sizes and bytes, no copy leaves either buffer, and a frame that reaches
// the mailbox is the DIB the host made (the image library takes no 16-bit DIB: such a frame is not posted).
//
// Input: caps width, caps height (2 bytes each, little-endian), host width, host height (2 bytes each, the height
// signed), a depth byte for the slot and one for the host (indexes into the frame depths), a flags byte (bit 0:
// the device's rows come bottom-up, bit 1: mirrored copy, bit 2: the frame bytes are repeated to the slot's size),
// then the frame bytes.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "view/LiveFeed.h"
#include "common/AcqFrameSlot.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageDib.h"

#include "acqdriver/AcqDriver.h"

#include <chrono>
#include <cstring>
#include <memory>

namespace {

constexpr int32_t kDepths[] = {1, 4, 8, 16, 24, 32};
// Sides up to 4096 keep a frame at 64 MiB at most: the copies are the same at any size.
constexpr int32_t kLargestSide = 4096;

int32_t Le16(const uint8_t* bytes)
{
    return bytes[0] | bytes[1] << 8;
}

}  // namespace

VISTREL_FUZZ_TARGET(camera_frame)
{
    constexpr size_t kHeader = 11;
    if (size < kHeader)
        return 0;
    EnsureFuzzApplication();
    const int32_t capsWidth = Le16(data) % (kLargestSide + 1);
    const int32_t capsHeight = Le16(data + 2) % (kLargestSide + 1);
    const int32_t hostWidth = Le16(data + 4) % (kLargestSide + 1);
    const int32_t hostHeight = static_cast<int16_t>(Le16(data + 6)) % (kLargestSide + 1);
    const int32_t slotBits = kDepths[data[8] % std::size(kDepths)];
    const int32_t hostBits = kDepths[data[9] % std::size(kDepths)];
    const uint8_t flags = data[10];
    const uint8_t* frame = data + kHeader;
    const size_t frameBytes = size - kHeader;

    AcqFrameSlot slot;
    if (!slot.Open(capsWidth, capsHeight, slotBits, flags & 1))
        return 0;
    const int64_t slotBytes = AcqDibImageBytes(capsWidth, capsHeight, slotBits);
    FuzzCheck(slotBytes > 0, "an open slot has room for a frame");
    std::vector<uint8_t> delivered(frame, frame + frameBytes);
    if ((flags & 4) && frameBytes > 0) {
        delivered.resize(size_t(slotBytes));
        for (size_t i = frameBytes; i < delivered.size(); ++i)
            delivered[i] = delivered[i % frameBytes];
    }
    const bool taken = slot.Deliver(delivered.data(), delivered.size());
    FuzzCheck(taken == (int64_t(delivered.size()) == slotBytes), "only a frame of the slot's size is taken");

    const int64_t hostBytes = AcqDibBufferSize(hostWidth, hostHeight, hostBits);
    if (hostBytes < 0)
        return 0;
    // Exactly the host's size, so that a copy past it is caught.
    auto buffer = std::make_unique<uint8_t[]>(size_t(hostBytes));
    std::memset(buffer.get(), 0, size_t(hostBytes));
    auto* dib = reinterpret_cast<BITMAPINFOHEADER*>(buffer.get());
    AcqFillDibHeader(*dib, hostWidth, hostHeight, hostBits);
    const BITMAPINFOHEADER header = *dib;
    const AcqRowMirror mirror = (flags & 2) ? AcqRowMirror::Horizontal : AcqRowMirror::None;
    const int acquired = slot.Acquire(dib, std::chrono::milliseconds(0), mirror);
    FuzzCheck(acquired == (taken ? (slotBits == hostBits ? ACQ_OK : ACQ_FAIL) : ACQ_NO_NEW_FRAME),
              "a new frame is copied when the depths agree and refused when they do not");
    const int snapshot = slot.Snapshot(dib, mirror);
    FuzzCheck(snapshot == acquired, "a snapshot answers as the acquire did");
    FuzzCheck(std::memcmp(&header, dib, sizeof header) == 0, "the copy leaves the host's header alone");
    if (acquired != ACQ_OK)
        return 0;

    // Zero for a DIB the image library does not take (16 bits a pixel, a size past its limits): never posted.
    const size_t dibBytes = QVDibSize(dib);
    FuzzCheck(dibBytes <= size_t(hostBytes), "the host's DIB describes no more than its buffer");
    LiveFrameMailbox mailbox(nullptr, [] {});
    mailbox.Post(dib);
    CQvImage posted;
    FuzzCheck(mailbox.Take(posted) == (dibBytes > 0), "a frame the image library takes is there to take");
    if (dibBytes == 0)
        return 0;
    // The mailbox turns the frame into an image on the posting thread, as the view would from the DIB itself.
    CQvImage expected;
    FuzzCheck(DIB2QVIMG(dib, &expected, 0) != 0, "the image library takes the DIB the mailbox took");
    FuzzCheck(posted.GetWidth() == hostWidth && posted.GetHeight() == expected.GetHeight() &&
                  posted.GetBitsPerPixel() == expected.GetBitsPerPixel(),
              "the mailbox hands over the frame's image");
    for (int y = 0; y < posted.GetHeight(); ++y)
        FuzzCheck(std::memcmp(posted.Get2DBuffer()[y], expected.Get2DBuffer()[y],
                              size_t(posted.GetWidth()) * size_t(posted.GetBitsPerPixel() / 8)) == 0,
                  "every row is the DIB's row");
    return 0;
}
