#include "quantor/PackedDib.h"
#include "inifile/FileBytes.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace quantor {
namespace {

uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

// The header kind the first field names, when the block holds that header whole.
uint32_t HeaderSize(const PackedDib& dib)
{
    if (dib.size() < 4)
        return 0;
    const uint32_t size = U32(dib.data());
    const uint32_t kind = size == kInfoHeaderSize ? kInfoHeaderSize : kCoreHeaderSize;
    return dib.size() >= kind ? kind : 0;
}

// Bytes the rows of the DIB need, when width, height and bit count give a sane figure.
std::optional<uint64_t> PixelBytes(const PackedDib& dib)
{
    const int width = DibWidth(dib);
    const int height = DibHeight(dib);
    const int bits = DibBitCount(dib);
    if (width < 0 || bits <= 0 || bits > 32)
        return std::nullopt;
    const uint64_t rows = static_cast<uint64_t>(height < 0 ? -static_cast<int64_t>(height) : height);
    return rows * DibRowBytes(width, bits);
}

}  // namespace

uint32_t DibRowBytes(int width, int bits)
{
    if (width < 0 || bits < 0)
        return 0;
    return static_cast<uint32_t>((static_cast<uint64_t>(bits) * static_cast<uint64_t>(width) + 31) / 32 * 4);
}

bool IsInfoHeaderDib(const PackedDib& dib) { return HeaderSize(dib) == kInfoHeaderSize; }

int DibWidth(const PackedDib& dib)
{
    switch (HeaderSize(dib)) {
    case kInfoHeaderSize: return I32(dib.data() + 4);
    case kCoreHeaderSize: return U16(dib.data() + 4);
    default: return 0;
    }
}

int DibHeight(const PackedDib& dib)
{
    switch (HeaderSize(dib)) {
    case kInfoHeaderSize: return I32(dib.data() + 8);
    case kCoreHeaderSize: return U16(dib.data() + 6);
    default: return 0;
    }
}

int DibBitCount(const PackedDib& dib)
{
    switch (HeaderSize(dib)) {
    case kInfoHeaderSize: return U16(dib.data() + 14);
    case kCoreHeaderSize: return U16(dib.data() + 10);
    default: return 0;
    }
}

int DibColorCount(const PackedDib& dib)
{
    const uint32_t header = HeaderSize(dib);
    if (header == 0)
        return 0;
    if (header == kInfoHeaderSize) {
        const uint32_t used = U32(dib.data() + 32);
        // A count beyond what 32-bit pixels could index is no colour table but a broken header.
        if (used != 0)
            return used <= 65536 ? static_cast<int>(used) : 0;
    }
    switch (DibBitCount(dib)) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

uint32_t DibPaletteBytes(const PackedDib& dib)
{
    const uint32_t entry = HeaderSize(dib) == kInfoHeaderSize ? 4 : 3;
    return static_cast<uint32_t>(DibColorCount(dib)) * entry;
}

std::optional<size_t> DibPixelOffset(const PackedDib& dib)
{
    const uint32_t header = HeaderSize(dib);
    if (header == 0)
        return std::nullopt;
    const size_t offset = size_t{header} + DibPaletteBytes(dib);
    if (offset > dib.size())
        return std::nullopt;
    return offset;
}

PackedDib MakeDib(int width, int height, int bits)
{
    const int count = bits < 2 ? 1 : bits <= 4 ? 4 : bits < 9 ? 8 : 24;
    if (width < 0 || height < 0 || width > 65535 || height > 65535)
        return {};
    const uint32_t row = DibRowBytes(width, count);
    const uint64_t image = uint64_t{row} * static_cast<uint64_t>(height);
    const uint32_t colours = count == 1 ? 2 : count == 4 ? 16 : count == 8 ? 256 : 0;
    if (image > (1ULL << 30))
        return {};
    PackedDib dib(kInfoHeaderSize + colours * 4 + image, 0);
    Put32(dib.data(), kInfoHeaderSize);
    Put32(dib.data() + 4, static_cast<uint32_t>(width));
    Put32(dib.data() + 8, static_cast<uint32_t>(height));
    Put16(dib.data() + 12, 1);
    Put16(dib.data() + 14, static_cast<uint16_t>(count));
    Put32(dib.data() + 20, static_cast<uint32_t>(image));
    return dib;
}

std::optional<PackedDib> DibFromBmpBytes(const uint8_t* data, size_t size)
{
    if (data == nullptr || size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M')
        return std::nullopt;
    if (U32(data + 2) != size)
        return std::nullopt;
    PackedDib dib(data + kFileHeaderSize, data + size);
    const auto offset = DibPixelOffset(dib);
    if (!offset)
        return std::nullopt;
    // Run-length pixels have no fixed size; plain rows must all be there.
    const uint32_t compression = IsInfoHeaderDib(dib) ? U32(dib.data() + 16) : 0;
    if (compression != 1 && compression != 2) {
        const auto pixels = PixelBytes(dib);
        if (!pixels || *offset + *pixels > dib.size())
            return std::nullopt;
    }
    return dib;
}

std::optional<PackedDib> ReadDibFromPath(const std::string& path)
{
    // A regular file only (a FIFO would stop the program, a device never end), of at most 1 GiB.
    constexpr size_t kMaxBitmapFileBytes = size_t{1} << 30;
    std::string bytes;
    if (!ReadFileBytes(path, bytes, kMaxBitmapFileBytes))
        return std::nullopt;
    return DibFromBmpBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::optional<std::vector<uint8_t>> BmpBytesOfDib(const PackedDib& dib)
{
    if (!IsInfoHeaderDib(dib))
        return std::nullopt;
    const auto offset = DibPixelOffset(dib);
    if (!offset)
        return std::nullopt;
    PackedDib copy = dib;
    const uint32_t compression = U32(copy.data() + 16);
    uint64_t image = U32(copy.data() + 20);
    if (compression != 1 && compression != 2) {
        const auto pixels = PixelBytes(copy);
        if (!pixels)
            return std::nullopt;
        image = *pixels;
        Put32(copy.data() + 20, static_cast<uint32_t>(image));
    }
    if (*offset + image > copy.size())
        return std::nullopt;
    const uint64_t total = kFileHeaderSize + *offset + image;
    if (total > 0xFFFFFFFFULL)
        return std::nullopt;
    std::vector<uint8_t> file(kFileHeaderSize, 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file.data() + 2, static_cast<uint32_t>(total));
    Put32(file.data() + 10, static_cast<uint32_t>(kFileHeaderSize + *offset));
    file.insert(file.end(), copy.begin(), copy.begin() + static_cast<std::ptrdiff_t>(*offset + image));
    return file;
}

bool WriteDibToPath(const PackedDib& dib, const std::string& path)
{
    const auto file = BmpBytesOfDib(dib);
    if (!file)
        return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char*>(file->data()), static_cast<std::streamsize>(file->size()));
    return static_cast<bool>(out.flush());
}

}  // namespace quantor
