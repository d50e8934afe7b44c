// What both JPEG decodings of the codec (the completeness check and the decoding into an image's rows) need of the
// decoder: errors that leave through longjmp, warnings that mark a file cut short, and the memory they may use.
#pragma once

#include <csetjmp>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

namespace qvcodec {

// Plain C state for the decoder: its errors leave through longjmp, so nothing with a destructor may live across
// the jump.
struct JpegErrors
{
    jpeg_error_mgr manager;
    jmp_buf jump;
    bool cutShort;
};

// Points `info` at `errors`, cleared: errors jump to `errors.jump`, messages are silent, and a warning that the data
// ended early (the decoder fills the rest with grey) sets `errors.cutShort`.
void UseJpegErrors(jpeg_decompress_struct& info, JpegErrors& errors);

// Every coefficient of every component reached its full precision: a progressive file cut between two scans and
// closed with an end marker decodes without a warning, only coarser.
bool AllCoefficientsSent(const jpeg_decompress_struct& info);

// Qt's allocation limit in bytes (2 GiB when it has none). Qt's readers refuse an image whose pixels would take more,
// but the decoder's own buffers are not counted there: a progressive file keeps the coefficients of the whole image
// (two bytes a sample, at full size even when a thumbnail is read), which a few hundred bytes can make gigabytes. So
// a JPEG is only decoded when its 32-bit image fits the limit, and the decoder gets twice the limit: enough for the
// coefficients of four components.
int64_t ImageAllocationLimitBytes();

}  // namespace qvcodec
