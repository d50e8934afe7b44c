// Packed DIBs (a 40-byte info header or a 12-byte core header, the colour table, then the pixel rows padded to 4
// bytes) held in a byte vector, and BMP files of them (a 14-byte file header "BM" before the packed DIB).
//
// Every measure is checked against the bytes at hand: a block too short for its header, its colour table or its
// rows is "not a DIB" and measures as nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quantor {

using PackedDib = std::vector<uint8_t>;

constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kFileHeaderSize = 14;

// ((bits x width + 31) / 32) x 4; 0 for a negative width or bit count.
uint32_t DibRowBytes(int width, int bits);

// Width and height from either header kind; 0 when the block holds no header.
int DibWidth(const PackedDib& dib);
int DibHeight(const PackedDib& dib);
int DibBitCount(const PackedDib& dib);
bool IsInfoHeaderDib(const PackedDib& dib);
// Info header: its colour-used count when not 0; otherwise by bit count: 1 bit 2, 4 bits 16, 8 bits 256, other 0.
int DibColorCount(const PackedDib& dib);
// Colour count x 4 (info header) or x 3 (core header).
uint32_t DibPaletteBytes(const PackedDib& dib);
// Offset of the pixel bits: header size + colour-table bytes; nullopt when the block is shorter than that.
std::optional<size_t> DibPixelOffset(const PackedDib& dib);

// A packed DIB with a zeroed info header filled for width x height: bit count 1 below 2 bits, 4 up to 4, 8 below 9,
// else 24; image size = height x row bytes; a zeroed colour table and zeroed rows follow. Empty for a negative or
// oversized picture.
PackedDib MakeDib(int width, int height, int bits);

// The packed DIB of a BMP file's bytes: the file header must be whole, begin with "BM" and give exactly the file's
// size, and the DIB inside must be whole; nullopt otherwise.
std::optional<PackedDib> DibFromBmpBytes(const uint8_t* data, size_t size);
std::optional<PackedDib> ReadDibFromPath(const std::string& path);
// The BMP file of an info-header DIB (the image size taken from the header for run-length compressions 1 and 2,
// computed and stored otherwise); nullopt for a core-header DIB or a block that is no whole DIB. The DIB itself is
// left as it was: the caller keeps owning it.
std::optional<std::vector<uint8_t>> BmpBytesOfDib(const PackedDib& dib);
// Writes BmpBytesOfDib to the path: false when there is nothing to write or the file cannot be written whole.
bool WriteDibToPath(const PackedDib& dib, const std::string& path);

}  // namespace quantor
