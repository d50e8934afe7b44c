#include "qvcodec/private/JpegToQvImage.h"

#include "qvcodec/private/CompleteImageData.h"

#include <QImageReader>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <vector>

// After <cstdio>: the decoder's header needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace {

// Plain C state for the decoder: its errors leave through longjmp, so nothing with a destructor is made between
// the setjmp and the end of the decoding.
struct JpegErrors
{
    jpeg_error_mgr manager;
    jmp_buf jump;
    bool cutShort;
};

[[noreturn]] void JpegFailed(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

// The decoder fills data that ends early with grey and only warns: such a file is refused.
void JpegMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    const int code = info->err->msg_code;
    if (code == JWRN_HIT_MARKER || code == JWRN_JPEG_EOF)
        reinterpret_cast<JpegErrors*>(info->err)->cutShort = true;
}

void JpegSilent(j_common_ptr) {}

// A progressive file cut between two scans and closed with an end marker decodes without a warning, only coarser.
bool AllCoefficientsSent(const jpeg_decompress_struct& info)
{
    if (!info.progressive_mode || !info.coef_bits)
        return true;
    for (int c = 0; c < info.num_components; ++c)
        for (int k = 0; k < DCTSIZE2; ++k)
            if (info.coef_bits[c][k] != 0)
                return false;
    return true;
}

int64_t DecoderMemoryLimit()
{
    // As for the completeness check: twice Qt's allocation limit, enough for the coefficients of four components.
    const int megabytes = QImageReader::allocationLimit();
    return 2 * (megabytes > 0 ? int64_t(megabytes) << 20 : int64_t(1) << 31);
}

// The decoding itself; `image` and `rows` are made by the caller, so the jump leaves nothing undestroyed.
JpegDecodeResult Decode(const QByteArray& file, CQvImage& image, std::vector<JSAMPROW>& rows)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JpegFailed;
    errors.manager.emit_message = JpegMessage;
    errors.manager.output_message = JpegSilent;
    errors.cutShort = false;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return JpegDecodeResult::Refused;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = static_cast<long>(DecoderMemoryLimit());
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
