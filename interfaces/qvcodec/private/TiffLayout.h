// The layout of one image of a TIFF file as its directory states it: size, sample format and where its strips or
// tiles and its colour map lie. Classic TIFF and BigTIFF, either byte order. Every count and offset is checked
// against the file before it is used, and the chain of directories is walked once, so a damaged or hostile file
// costs at most one pass over its directories. Only the header, the directories on the way and the values of the
// fields read are taken from the file, so it need not be in memory.
// Internal to QvCodec; any thread.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

// Where the file's bytes come from: held in memory or read from the open file by offset.
class TiffBytes
{
public:
    virtual ~TiffBytes() = default;
    // The file's size; every read lies within it.
    virtual uint64_t Size() const = 0;
    // The `size` bytes from `at`, which the caller has checked to lie inside Size(): in memory, or read into
    // `scratch` (the pointer then lives as long as `scratch` is left alone). Null when they cannot be read.
    virtual const unsigned char* View(uint64_t at, uint64_t size, std::vector<unsigned char>& scratch) const = 0;
};

struct TiffLayout
{
    uint64_t width = 0;
    uint64_t height = 0;
    std::vector<uint64_t> bitsPerSample;  // one entry per sample as stored (a single entry stands for all)
    uint64_t samplesPerPixel = 1;
    uint64_t compression = 1;   // 1: none
    uint64_t photometric = 0;   // 1: black is zero, 2: RGB, 3: palette, 6: YCbCr
    uint64_t planar = 1;        // 1: samples of a pixel together, 2: one plane per sample
    uint64_t orientation = 1;   // 1: rows top-down, columns left to right
    std::vector<uint64_t> extraSamples;  // 1: associated (premultiplied) alpha, 2: straight alpha
    std::vector<uint64_t> sampleFormat;  // 1: unsigned integer (the default)
    bool tiled = false;
    uint64_t rowsPerStrip = UINT32_MAX;
    uint64_t tileWidth = 0;
    uint64_t tileLength = 0;
    // Strips or tiles in the file's order; byte counts may be missing in an uncompressed file.
    std::vector<uint64_t> chunkOffsets;
    std::vector<uint64_t> chunkByteCounts;
    bool hasByteCounts = false;
    bool hasColourMap = false;
    uint64_t colourMapCount = 0;  // entries of 16 bits, red ones first

    // Total bits of one pixel's samples; 0 when the stated bits do not fit the sample count.
    uint64_t BitsPerPixel() const;
    // Strips or tiles the image needs by its size; 0 when the size or the chunk geometry is unusable.
    uint64_t ChunksNeeded() const;
    // Bytes that chunk `index` holds uncompressed (all rows of a strip, whole tiles, one plane per chunk when
    // planar); 0 for an unusable layout.
    uint64_t UncompressedChunkBytes(uint64_t index) const;
};

// Reads the directory of image `frame` (0 = the first). False when the header, the chain of directories up to
// that image or the values of any of its fields lie outside the file, or the file has no such image.
bool ReadTiffLayout(const TiffBytes& file, int frame, TiffLayout& layout);
bool ReadTiffLayout(const QByteArray& file, int frame, TiffLayout& layout);

// Whether every strip or tile `layout` needs (uncompressed: with all of its bytes) and its colour map (palette
// images) lie inside a file of `fileSize` bytes, and its size and sample layout are usable.
bool IsCompleteTiffLayout(const TiffLayout& layout, uint64_t fileSize);
