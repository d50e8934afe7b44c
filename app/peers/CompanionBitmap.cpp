#include "peers/CompanionBitmap.h"

#include "inifile/FileBytes.h"

#include "qvimage/QvImageDib.h"


#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kLargestInfoHeaderBytes = 124;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitFields = 3;
constexpr long long kMaxSide = 1 << 16;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16)
           | (static_cast<uint32_t>(p[3]) << 24);
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

// The 40-byte header's fields, read one by one from outside bytes.
BITMAPINFOHEADER ReadInfoHeader(const uint8_t* p)
{
    BITMAPINFOHEADER h = {};
    h.biSize = U32(p);
    h.biWidth = I32(p + 4);
    h.biHeight = I32(p + 8);
    h.biPlanes = U16(p + 12);
    h.biBitCount = U16(p + 14);
    h.biCompression = U32(p + 16);
    h.biSizeImage = U32(p + 20);
    h.biXPelsPerMeter = I32(p + 24);
    h.biYPelsPerMeter = I32(p + 28);
    h.biClrUsed = U32(p + 32);
    h.biClrImportant = U32(p + 36);
    return h;
}

bool BitsKnown(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

unsigned long long RowBytes(long long width, int bits)
{
    return ((static_cast<unsigned long long>(width) * static_cast<unsigned>(bits) + 31) / 32) * 4;
}

}  // namespace

void PackedDib::Resize(size_t size)
{
    m_storage.assign((size + 7) / 8, 0);
    m_size = size;
}

void PackedDib::Clear()
{
    m_storage.clear();
    m_size = 0;
}

bool ParseBitmapFile(const uint8_t* data, size_t size, PackedDib& dib)
{
    dib.Clear();
    if (!data || size < kFileHeaderBytes + kCoreHeaderBytes || size > kMaxCompanionBitmapBytes)
        return false;
    if (data[0] != 'B' || data[1] != 'M')
        return false;
    const uint32_t bitsOffset = U32(data + 10);
    const uint8_t* info = data + kFileHeaderBytes;
    const uint32_t headerSize = U32(info);

    BITMAPINFOHEADER header = {};
    size_t paletteEntryBytes = 4;
    if (headerSize == kCoreHeaderBytes) {
        header.biWidth = U16(info + 4);
        header.biHeight = U16(info + 6);
        header.biPlanes = U16(info + 8);
        header.biBitCount = U16(info + 10);
        paletteEntryBytes = 3;
    } else {
        if (headerSize < kInfoHeaderBytes || headerSize > kLargestInfoHeaderBytes
            || size < kFileHeaderBytes + headerSize)
            return false;
        header = ReadInfoHeader(info);
    }
    header.biSize = kInfoHeaderBytes;

    const int bits = header.biBitCount;
    const long long width = header.biWidth;
    const long long height = std::llabs(static_cast<long long>(header.biHeight));
    if (!BitsKnown(bits) || header.biPlanes != 1 || width <= 0 || height == 0 || width > kMaxSide
        || height > kMaxSide)
        return false;
    const uint32_t compression = header.biCompression;
    if (compression > kBiBitFields || (compression == kBiBitFields && bits != 16 && bits != 32)
        || (compression == kBiRle8 && bits != 8) || (compression == kBiRle4 && bits != 4))
        return false;

    unsigned long long colours = header.biClrUsed;
    if (colours == 0 && bits <= 8)
        colours = 1ull << bits;
    if (colours > 256)
        return false;

    // Bit-field masks follow a 40-byte header; a larger header holds them inside itself.
    const size_t maskBytes = compression == kBiBitFields ? 12 : 0;
    size_t at = kFileHeaderBytes + (headerSize == kCoreHeaderBytes ? kCoreHeaderBytes : headerSize);
    const uint8_t* masks = nullptr;
    if (maskBytes) {
        masks = headerSize == kInfoHeaderBytes ? data + at : info + kInfoHeaderBytes;
        if (headerSize == kInfoHeaderBytes)
            at += maskBytes;
        if (static_cast<size_t>(masks - data) + maskBytes > size)
            return false;
    }
    const unsigned long long paletteFileBytes = colours * paletteEntryBytes;
    if (at + paletteFileBytes > size)
        return false;
    const uint8_t* palette = data + at;
    at += static_cast<size_t>(paletteFileBytes);

    unsigned long long imageBytes = 0;
    if (compression == kBiRle8 || compression == kBiRle4) {
        // Run-length data has no size of its own but the header's.
        imageBytes = header.biSizeImage;
        if (imageBytes == 0)
            return false;
    } else {
        imageBytes = RowBytes(width, bits) * static_cast<unsigned long long>(height);
    }
    if (bitsOffset != 0)
        at = bitsOffset;
    if (at > size || imageBytes > size - at)
        return false;
    header.biSizeImage = static_cast<DWORD>(imageBytes);
    header.biClrUsed = static_cast<DWORD>(colours);

    dib.Resize(kInfoHeaderBytes + maskBytes + static_cast<size_t>(colours) * 4 + static_cast<size_t>(imageBytes));
    uint8_t* out = dib.Bytes();
    std::memcpy(out, &header, sizeof header);
    out += kInfoHeaderBytes;
    if (maskBytes) {
        std::memcpy(out, masks, maskBytes);
        out += maskBytes;
    }
    for (unsigned long long i = 0; i < colours; ++i, out += 4) {
        const uint8_t* entry = palette + i * paletteEntryBytes;
        out[0] = entry[0];
        out[1] = entry[1];
        out[2] = entry[2];
        out[3] = paletteEntryBytes == 4 ? entry[3] : 0;
    }
    std::memcpy(out, data + at, static_cast<size_t>(imageBytes));
    return true;
}

bool ReadBitmapFile(const std::string& path, PackedDib& dib)
{
    dib.Clear();
    // A companion names the path: a FIFO or device there would block the program or never end, so only a regular
    // file is read, and never past the limit even when it grows meanwhile.
    std::string bytes;
    if (!ReadFileBytes(path, bytes, kMaxCompanionBitmapBytes))
        return false;
    return ParseBitmapFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), dib);
}

bool AcceptPackedDib(const uint8_t* data, size_t size, PackedDib& dib)
{
    dib.Clear();
    if (!data || size < kInfoHeaderBytes)
        return false;
    const BITMAPINFOHEADER header = ReadInfoHeader(data);
    const int bits = header.biBitCount;
    const long long width = header.biWidth;
    const long long height = std::llabs(static_cast<long long>(header.biHeight));
    if (header.biSize != kInfoHeaderBytes || header.biCompression != BI_RGB || bits == 16 || !BitsKnown(bits)
        || width <= 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        return false;
    unsigned long long colours = header.biClrUsed;
    if (colours == 0 && bits <= 8)
        colours = 1ull << bits;
    if (colours > 256)
        return false;
    const unsigned long long needed =
        kInfoHeaderBytes + colours * 4 + RowBytes(width, bits) * static_cast<unsigned long long>(height);
    if (needed > size)
        return false;
    dib.Resize(static_cast<size_t>(needed));
    std::memcpy(dib.Bytes(), data, static_cast<size_t>(needed));
    // The image library's own rule must agree, or the conversion would read past the block.
    const size_t libraryNeeds = QVDibSize(dib.Header());
    if (libraryNeeds == 0 || libraryNeeds > dib.Size()) {
        dib.Clear();
        return false;
    }
    return true;
}

bool PackedDibToImage(const PackedDib& dib, CQvImage& image)
{
    if (dib.IsEmpty())
        return false;
    const size_t needed = QVDibSize(dib.Header());
    if (needed == 0 || needed > dib.Size())
        return false;
    return DIB2QVIMG(dib.Header(), &image, 0) == 1;
}
