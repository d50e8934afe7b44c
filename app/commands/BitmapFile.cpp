#include "commands/BitmapFile.h"

#include "inifile/FileBytes.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kMaxPaletteEntries = 256;
constexpr uint32_t kRunLength8 = 1;
constexpr uint32_t kRunLength4 = 2;
constexpr uint32_t kBitFields = 3;
// The red, green and blue masks that follow the header of a bit-fields bitmap.
constexpr uint64_t kBitFieldMaskBytes = 12;

void Put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t Get16(const uint8_t* at) { return at[0] | (at[1] << 8); }
uint32_t Get32(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) | (static_cast<uint32_t>(at[2]) << 16) |
           (static_cast<uint32_t>(at[3]) << 24);
}

// The header as it lies in a packed DIB: little-endian fields, whatever this machine's order.
BITMAPINFOHEADER ReadHeader(const uint8_t* at)
{
    BITMAPINFOHEADER header{};
    header.biSize = Get32(at);
    header.biWidth = static_cast<LONG>(Get32(at + 4));
    header.biHeight = static_cast<LONG>(Get32(at + 8));
    header.biPlanes = static_cast<WORD>(Get16(at + 12));
    header.biBitCount = static_cast<WORD>(Get16(at + 14));
    header.biCompression = Get32(at + 16);
    header.biSizeImage = Get32(at + 20);
    header.biXPelsPerMeter = static_cast<LONG>(Get32(at + 24));
    header.biYPelsPerMeter = static_cast<LONG>(Get32(at + 28));
    header.biClrUsed = Get32(at + 32);
    header.biClrImportant = Get32(at + 36);
    return header;
}

void PutHeader(std::vector<uint8_t>& out, const BITMAPINFOHEADER& header)
{
    Put32(out, header.biSize);
    Put32(out, static_cast<uint32_t>(header.biWidth));
    Put32(out, static_cast<uint32_t>(header.biHeight));
    Put16(out, header.biPlanes);
    Put16(out, header.biBitCount);
    Put32(out, header.biCompression);
    Put32(out, header.biSizeImage);
    Put32(out, static_cast<uint32_t>(header.biXPelsPerMeter));
    Put32(out, static_cast<uint32_t>(header.biYPelsPerMeter));
    Put32(out, header.biClrUsed);
    Put32(out, header.biClrImportant);
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    if (bytes.empty())
        return false;
    return WriteFileAtomically(
        path, [&bytes](FILE* file) { return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(); });
}

}  // namespace

uint32_t BitmapPaletteEntries(const BITMAPINFOHEADER& header)
{
    if (header.biClrUsed != 0)
        return header.biClrUsed;
    switch (header.biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

uint64_t BitmapImageBytes(const BITMAPINFOHEADER& header)
{
    if (header.biCompression == kRunLength8 || header.biCompression == kRunLength4)
        return header.biSizeImage;
    const uint64_t width = static_cast<uint64_t>(std::llabs(static_cast<long long>(header.biWidth)));
    const uint64_t height = static_cast<uint64_t>(std::llabs(static_cast<long long>(header.biHeight)));
    const uint64_t rowBytes = (header.biBitCount * width + 31) / 32 * 4;
    return rowBytes * height;
}

std::vector<uint8_t> BitmapFileBytes(const void* dib, size_t dibBytes)
{
    if (!dib || dibBytes < kInfoHeaderBytes)
        return {};
    const auto* bytes = static_cast<const uint8_t*>(dib);
    BITMAPINFOHEADER header = ReadHeader(bytes);
    if (header.biSize != kInfoHeaderBytes)
        return {};
    const uint32_t paletteEntries = BitmapPaletteEntries(header);
    if (paletteEntries > kMaxPaletteEntries)
        return {};
    // Masks exist only for 16 and 32 bits per pixel; a reader would take them for colours otherwise.
    const bool bitFields = header.biCompression == kBitFields;
    if (bitFields && header.biBitCount != 16 && header.biBitCount != 32)
        return {};
    const uint64_t imageBytes = BitmapImageBytes(header);
    // Masks and palette both lie between the header and the pixels: the pixel offset counts them all.
    const uint64_t paletteBytes = (bitFields ? kBitFieldMaskBytes : 0) + 4ull * paletteEntries;
    const uint64_t fileBytes = kFileHeaderBytes + kInfoHeaderBytes + paletteBytes + imageBytes;
    // The file header counts its size in 32 bits; the DIB must really hold what its header announces.
    if (fileBytes > UINT32_MAX || kInfoHeaderBytes + paletteBytes + imageBytes > dibBytes)
        return {};
    header.biSizeImage = static_cast<DWORD>(imageBytes);

    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(fileBytes));
    out.push_back('B');
    out.push_back('M');
    Put32(out, static_cast<uint32_t>(fileBytes));
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, static_cast<uint32_t>(kFileHeaderBytes + kInfoHeaderBytes + paletteBytes));
    PutHeader(out, header);
    const uint8_t* rest = bytes + kInfoHeaderBytes;
    out.insert(out.end(), rest, rest + paletteBytes + imageBytes);
    return out;
}

bool WriteBitmapFile(const std::string& path, const void* dib, size_t dibBytes)
{
    return WriteBytes(path, BitmapFileBytes(dib, dibBytes));
}

bool WriteBitmapFile(const std::string& path, const QImage& picture)
{
    if (picture.isNull())
        return false;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    BITMAPINFOHEADER header{};
    header.biSize = kInfoHeaderBytes;
    header.biWidth = rgb.width();
    header.biHeight = rgb.height();  // rows bottom-up
    header.biPlanes = 1;
    header.biBitCount = 24;
    const uint64_t imageBytes = BitmapImageBytes(header);
    header.biSizeImage = static_cast<DWORD>(imageBytes);

    std::vector<uint8_t> dib;
    dib.reserve(kInfoHeaderBytes + static_cast<size_t>(imageBytes));
    PutHeader(dib, header);
    const size_t padding = static_cast<size_t>(imageBytes / rgb.height()) - 3u * rgb.width();
    for (int y = rgb.height() - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            dib.push_back(static_cast<uint8_t>(qBlue(row[x])));
            dib.push_back(static_cast<uint8_t>(qGreen(row[x])));
            dib.push_back(static_cast<uint8_t>(qRed(row[x])));
        }
        dib.insert(dib.end(), padding, 0);
    }
    return WriteBitmapFile(path, dib.data(), dib.size());
}
