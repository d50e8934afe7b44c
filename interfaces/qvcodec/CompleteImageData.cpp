#include "qvcodec/private/CompleteImageData.h"

#include "qvcodec/private/JpegErrors.h"
#include "qvcodec/private/TiffLayout.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// After <cstdio>: the decoder's header needs FILE and size_t declared first.
#include <jpeglib.h>

using namespace qvcodec;

namespace {

uint32_t Le32(const QByteArray& bytes, qsizetype at)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return v;
}

uint32_t Be32(const QByteArray& bytes, qsizetype at)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

uint16_t Le16(const QByteArray& bytes, qsizetype at)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                 static_cast<unsigned char>(bytes[at + 1]) << 8);
}

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// Runs the decoder over all of the entropy-coded data at the smallest output scale (the entropy decoding is the
// same at any scale; the transform and the output are an eighth each way).
bool JpegDataWhole(const QByteArray& file)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    UseJpegErrors(info, errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = static_cast<long>(2 * ImageAllocationLimitBytes());
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(file.constData()),
                 static_cast<unsigned long>(file.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.scale_num = 1;
    info.scale_denom = 8;
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
    info.do_block_smoothing = FALSE;
    jpeg_start_decompress(&info);
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.output_width * static_cast<JDIMENSION>(info.output_components),
                                               1);
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, row, 1);
    const bool whole = !errors.cutShort && AllCoefficientsSent(info);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return whole && !errors.cutShort;
}

}  // namespace

bool IsCompleteBmp(const QByteArray& file)
{
    // File header (14 bytes) then at least the 12-byte core header.
    if (file.size() < 26)
        return false;
    const long long pixelsAt = Le32(file, 10);
    const uint32_t headerSize = Le32(file, 14);
    long long width = 0;
    long long height = 0;
    int bitCount = 0;
    uint32_t compression = kBiRgb;
    uint32_t sizeImage = 0;
    if (headerSize == 12) {
        width = Le16(file, 18);
        height = Le16(file, 20);
        bitCount = Le16(file, 24);
    } else {
        if (file.size() < 14 + 24)
            return false;
        width = static_cast<int32_t>(Le32(file, 18));
        height = std::llabs(static_cast<int32_t>(Le32(file, 22)));
        bitCount = Le16(file, 28);
        compression = Le32(file, 30);
        sizeImage = Le32(file, 34);
    }
    const long long available = file.size() - pixelsAt;
    if (available < 0)
        return false;
    if (compression != kBiRgb && compression != kBiBitfields)
        return sizeImage <= available;
    // Compared by division: the header's width, height and bit count multiply beyond 64 bits.
    const long long rowBytes = (width * bitCount + 31) / 32 * 4;
    return rowBytes <= 0 || height <= available / rowBytes;
}

bool IsJpegWithinAllocationLimit(const QByteArray& file)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    UseJpegErrors(info, errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(file.constData()),
                 static_cast<unsigned long>(file.size()));
    const bool read = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK;
    const int64_t pixels = int64_t(info.image_width) * info.image_height;
    jpeg_destroy_decompress(&info);
    return read && pixels > 0 && pixels <= ImageAllocationLimitBytes() / 4;
}

bool HasJpegEndAfterLastScan(const QByteArray& file)
{
    // Inside entropy-coded data a 0xFF byte is always followed by 0x00 or a restart marker, so the last 0xFF 0xDA
    // is the start of the last scan of the main image (a thumbnail, if any, comes before it).
    const qsizetype lastScan = file.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
    if (lastScan < 0)
        return false;
    return file.indexOf(QByteArrayView("\xFF\xD9", 2), lastScan + 2) >= 0;
}

bool IsCompleteJpeg(const QByteArray& file)
{
    return HasJpegEndAfterLastScan(file) && JpegDataWhole(file);
}

bool IsCompletePng(const QByteArray& file)
{
    static constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
    constexpr qsizetype kChunkFrame = 12;  // length, type and CRC around the data
    constexpr uint32_t kLargestChunk = 0x7FFFFFFF;
    if (!file.startsWith(QByteArrayView(kSignature, 8)))
        return false;
    for (qsizetype at = 8;;) {
        if (file.size() - at < kChunkFrame)
            return false;
        const uint32_t length = Be32(file, at);
        if (length > kLargestChunk || length > static_cast<uint64_t>(file.size() - at - kChunkFrame))
            return false;
        const bool end = QByteArrayView(file.constData() + at + 4, 4) == QByteArrayView("IEND", 4);
        at += kChunkFrame + static_cast<qsizetype>(length);
        if (end)
            return true;
    }
}

bool IsCompleteTiff(const QByteArray& file, int frame)
{
    TiffLayout layout;
    return ReadTiffLayout(file, frame, layout) && IsCompleteTiffLayout(layout, static_cast<uint64_t>(file.size()));
}
