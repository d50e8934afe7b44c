// The bitmaps companion programs hand over: a bitmap file ("newdoc.bmp", the image database's ".bmp" entries) or a
// packed DIB in a copy-data block. Both come from another process, so nothing in them is trusted: every size and
// count is checked against the bytes really there before anything is allocated or read.
#pragma once

#include "types/WinRecords.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CQvImage;

// A packed DIB (40-byte header, the three masks of a bit-field bitmap, palette, pixels) in storage aligned for its
// header.
class PackedDib
{
public:
    bool IsEmpty() const { return m_size == 0; }
    size_t Size() const { return m_size; }
    const BITMAPINFOHEADER* Header() const { return reinterpret_cast<const BITMAPINFOHEADER*>(m_storage.data()); }
    BITMAPINFOHEADER* Header() { return reinterpret_cast<BITMAPINFOHEADER*>(m_storage.data()); }
    uint8_t* Bytes() { return reinterpret_cast<uint8_t*>(m_storage.data()); }
    const uint8_t* Bytes() const { return reinterpret_cast<const uint8_t*>(m_storage.data()); }
    void Resize(size_t size);
    void Clear();

private:
    std::vector<uint64_t> m_storage;
    size_t m_size = 0;
};

// Largest bitmap file the readers take in (a 16k x 16k 32-bit image and its headers).
inline constexpr size_t kMaxCompanionBitmapBytes = size_t(1) << 30;

// Parses the bytes of a bitmap file: the 14-byte file header ("BM"), a 40-byte (or larger) info header or a 12-byte
// core header (widened to the 40-byte form, its 3-byte palette entries to 4), at most 256 colours (biClrUsed, or
// 2^bits up to 8 bits), the masks of a bit-field bitmap, and the pixels at the file header's offset when it gives
// one, else right after the palette. The pixel size is computed for uncompressed bitmaps (a header's 0 or wrong
// value is not trusted) and taken from the header for run-length ones. The height keeps its sign (a negative one
// is a top-down bitmap). False, `dib` emptied, for anything short, inconsistent or out of range.
bool ParseBitmapFile(const uint8_t* data, size_t size, PackedDib& dib);
// Reads and parses the file; false when it cannot be opened or read, or does not parse.
bool ReadBitmapFile(const std::string& path, PackedDib& dib);

// Takes a packed DIB from a copy-data block of `size` bytes: a 40-byte header, 1, 4, 8, 24 or 32 bits, no
// compression, width above 0, height not 0, at most 256 palette entries, and header + palette + rows all inside
// the block. False, `dib` emptied, otherwise.
bool AcceptPackedDib(const uint8_t* data, size_t size, PackedDib& dib);

// Converts an accepted DIB into `image`; false (image unchanged) for one the image library cannot take.
bool PackedDibToImage(const PackedDib& dib, CQvImage& image);
