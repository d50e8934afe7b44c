#include "CompleteImageData.h"

#include <cstdint>
#include <cstdlib>

namespace {

uint32_t Le32(const QByteArray& bytes, qsizetype at)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return v;
}

uint16_t Le16(const QByteArray& bytes, qsizetype at)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                 static_cast<unsigned char>(bytes[at + 1]) << 8);
}

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

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

bool IsCompleteJpeg(const QByteArray& file)
{
    // Inside entropy-coded data a 0xFF byte is always followed by 0x00 or a restart marker, so the last 0xFF 0xDA
    // is the start of the last scan of the main image (a thumbnail, if any, comes before it).
    const qsizetype lastScan = file.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
    if (lastScan < 0)
        return false;
    return file.indexOf(QByteArrayView("\xFF\xD9", 2), lastScan + 2) >= 0;
}
