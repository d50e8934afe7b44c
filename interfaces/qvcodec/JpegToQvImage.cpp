#include "qvcodec/private/JpegToQvImage.h"

#include "qvcodec/private/CompleteImageData.h"
#include "qvcodec/private/JpegErrors.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <vector>

// After <cstdio>: the decoder's header needs FILE and size_t declared first.
#include <jpeglib.h>

using namespace qvcodec;

namespace {

// The decoding itself; `image` and `rows` are made by the caller, so the jump leaves nothing undestroyed.
JpegDecodeResult Decode(const QByteArray& file, CQvImage& image, std::vector<JSAMPROW>& rows)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    UseJpegErrors(info, errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return JpegDecodeResult::Refused;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = static_cast<long>(2 * ImageAllocationLimitBytes());
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(file.constData()),
                 static_cast<unsigned long>(file.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return JpegDecodeResult::Refused;
    }
    int model = 0;
    if (info.num_components == 1 && info.jpeg_color_space == JCS_GRAYSCALE) {
        info.out_color_space = JCS_GRAYSCALE;
        model = QV_GRAY8;
    } else if (info.num_components == 3 && (info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB)) {
        info.out_color_space = JCS_EXT_BGR;  // the image's own byte order
        model = QV_RGB24;
    } else {
        jpeg_destroy_decompress(&info);
        return JpegDecodeResult::NotHandled;
    }
    jpeg_calc_output_dimensions(&info);
    // The decoder writes every row whole (grey where the data ends early); a refused file drops the image.
    if (!image.CreateUncleared(model, static_cast<int>(info.output_width), static_cast<int>(info.output_height))) {
        jpeg_destroy_decompress(&info);
        return JpegDecodeResult::Refused;
    }
    BYTE** imageRows = image.Get2DBuffer();
    rows.assign(imageRows, imageRows + image.GetHeight());
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, rows.data() + info.output_scanline, info.output_height - info.output_scanline);
    const bool whole = !errors.cutShort && AllCoefficientsSent(info);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return whole && !errors.cutShort ? JpegDecodeResult::Decoded : JpegDecodeResult::Refused;
}

}  // namespace

JpegDecodeResult DecodeJpegIntoQvImage(const QByteArray& file, CQvImage& target)
{
    // The markers first: an end-of-image marker after the last scan, as the completeness check asks.
    if (!HasJpegEndAfterLastScan(file))
        return JpegDecodeResult::Refused;
    CQvImage image;
    std::vector<JSAMPROW> rows;
    const JpegDecodeResult result = Decode(file, image, rows);
    if (result == JpegDecodeResult::Decoded)
        target = std::move(image);
    return result;
}
