// Bitmap files (".bmp") that companion programs read: the 14-byte file header, the 40-byte info header, the
// palette and the pixel rows, all sizes computed from the header rather than trusted from it. UI thread or any;
// no state.
#pragma once

#include "types/WinRecords.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Palette entries that follow the header: its colour count when set, else 2, 16 or 256 for 1, 4 and 8 bits per
// pixel and none above.
uint32_t BitmapPaletteEntries(const BITMAPINFOHEADER& header);
// Bytes of the pixel rows: the header's own count for run-length bitmaps, else whole rows padded to 4 bytes for
// every row (top-down bitmaps have a negative height).
uint64_t BitmapImageBytes(const BITMAPINFOHEADER& header);

// The bytes of a bitmap file holding the packed DIB at `dib` (header, bit-field masks, palette, rows) of `dibBytes`
// bytes. Empty when the header is not the 40-byte one, its colour count is over 256, it has bit fields at other than
// 16 or 32 bits, or the DIB is shorter than the header says. The
// header is written with its image size filled in (uncompressed bitmaps).
std::vector<uint8_t> BitmapFileBytes(const void* dib, size_t dibBytes);

// Writes `picture` 1:1 as a 24-bit bitmap file, through a temporary file. False when nothing was written.
bool WriteBitmapFile(const std::string& path, const QImage& picture);
// Writes a packed DIB as a bitmap file, through a temporary file. False when the DIB is refused (see
// BitmapFileBytes) or the file could not be written.
bool WriteBitmapFile(const std::string& path, const void* dib, size_t dibBytes);
