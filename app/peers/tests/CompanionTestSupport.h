// Bitmap files and packed DIBs built byte by byte, as a companion program on another system would write them,
// for the tests of the companion messages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace peertest {

inline void Put16(std::string& out, uint32_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}
inline void Put32(std::string& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

struct DibFields
{
    uint32_t headerSize = 40;
    int32_t width = 3;
    int32_t height = 2;
    uint16_t planes = 1;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    uint32_t coloursUsed = 0;
};

inline std::string InfoHeader(const DibFields& f)
{
    std::string out;
    Put32(out, f.headerSize);
    Put32(out, static_cast<uint32_t>(f.width));
    Put32(out, static_cast<uint32_t>(f.height));
    Put16(out, f.planes);
    Put16(out, f.bits);
    Put32(out, f.compression);
    Put32(out, f.sizeImage);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, f.coloursUsed);
    Put32(out, 0);
    return out;
}

inline size_t Stride(int width, int bits) { return ((static_cast<size_t>(width) * bits + 31) / 32) * 4; }

// Rows of `bits` whose every byte is the row number plus `seed`.
inline std::string Pixels(int width, int height, int bits, int seed = 1)
{
    std::string out;
    for (int y = 0; y < (height < 0 ? -height : height); ++y)
        out += std::string(Stride(width, bits), static_cast<char>(seed + y));
    return out;
}

// A packed DIB: header, `paletteEntries` grey entries, pixels.
inline std::string PackedDibBytes(const DibFields& f, int paletteEntries)
{
    std::string out = InfoHeader(f);
    for (int i = 0; i < paletteEntries; ++i)
        Put32(out, static_cast<uint32_t>(i * 0x010101));
    out += Pixels(f.width, f.height, f.bits);
    return out;
}

// A bitmap file around a packed DIB; bits offset 0 means "right after the palette" as some writers leave it.
inline std::string BitmapFile(const std::string& dib, uint32_t bitsOffset)
{
    std::string out = "BM";
    Put32(out, static_cast<uint32_t>(14 + dib.size()));
    Put32(out, 0);
    Put32(out, bitsOffset);
    return out + dib;
}

}  // namespace peertest
