// The packed DIB of the frame hand-over: sizes computed in 64 bits, and the one copy every first-generation driver
// makes from its own frame buffer into the host's DIB. The copy is bounded by both sides: only the rows and
// columns both the driver's frame and the host's header describe are written, so a host that describes another
// size than the driver's can neither make the driver write past its DIB nor read past the driver's buffer.
#pragma once

#include "types/WinRecords.h"

#include <cstddef>
#include <cstdint>

// Room the host leaves for a palette behind the header, whatever the depth.
constexpr int64_t kAcqPaletteRoom = 1024;
// Header plus palette room: what a host buffer holds in front of the rows.
constexpr int64_t kAcqDibOverhead = 40 + kAcqPaletteRoom;
// The largest frame a host allocates a buffer for (1 GiB of rows); larger sizes are a fault, not a camera.
constexpr int64_t kAcqMaxFrameBytes = int64_t(1) << 30;

// Bytes per row: bits x width rounded up to whole 32-bit units; -1 for a width or depth no frame has.
int64_t AcqDibStride(int64_t width, int64_t bitsPerPixel);
// Bytes of the rows of a frame (stride x |height|); -1 for an impossible or absurd size.
int64_t AcqDibImageBytes(int64_t width, int64_t height, int64_t bitsPerPixel);
// What a host allocates for one frame: header, palette room and rows; -1 for an impossible or absurd size.
int64_t AcqDibBufferSize(int64_t width, int64_t height, int64_t bitsPerPixel);
// Offset of the first row behind the header: the header, then three masks for bit-field frames, else the palette
// (biClrUsed entries; 2^bits when biClrUsed is 0 and bits <= 8, as every DIB reader takes it). -1 when the header
// claims more palette than a host makes room for.
int64_t AcqDibPixelOffset(const BITMAPINFOHEADER& header);

// Fills a header for a frame of this size (biSize 40, one plane, BI_RGB, biSizeImage of the rows) and, for 8 bits
// or fewer, a grey palette of 2^bits entries behind it: `header` must be followed by the palette room.
void AcqFillDibHeader(BITMAPINFOHEADER& header, int32_t width, int32_t height, int32_t bitsPerPixel);

// One frame of a driver's own buffer: rows in the device's order, `stride` bytes apart.
// A frame in memory. A negative stride reads its rows bottom-up: `pixels` is then the last stored row, so a
// device that stores rows upside down is turned while it is copied rather than in a pass of its own.
struct AcqFrameView
{
    const uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    int64_t stride = 0;
};

enum class AcqRowMirror { None, Horizontal };

// Copies row i of the frame to row i of the DIB for the rows both have; of each row, the pixels both widths have
// (with Horizontal, destination pixel j takes source pixel width-1-j of the frame). |biHeight| is used. Answers
// false, writing nothing, when the header's depth is not the frame's, its width or height is not positive, or it
// claims more palette than the host's room.
bool AcqCopyFrameToDib(const AcqFrameView& frame, BITMAPINFOHEADER* dib, AcqRowMirror mirror = AcqRowMirror::None);
