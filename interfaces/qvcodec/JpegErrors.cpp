#include "qvcodec/private/JpegErrors.h"

#include <QImageReader>

#include <jerror.h>

namespace qvcodec {

namespace {

[[noreturn]] void JpegFailed(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void JpegMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    const int code = info->err->msg_code;
    if (code == JWRN_HIT_MARKER || code == JWRN_JPEG_EOF)
        reinterpret_cast<JpegErrors*>(info->err)->cutShort = true;
}

void JpegSilent(j_common_ptr) {}

}  // namespace

void UseJpegErrors(jpeg_decompress_struct& info, JpegErrors& errors)
{
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JpegFailed;
    errors.manager.emit_message = JpegMessage;
    errors.manager.output_message = JpegSilent;
    errors.cutShort = false;
}

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

int64_t ImageAllocationLimitBytes()
{
    const int megabytes = QImageReader::allocationLimit();
    return megabytes > 0 ? int64_t(megabytes) << 20 : int64_t(1) << 31;
}

}  // namespace qvcodec
