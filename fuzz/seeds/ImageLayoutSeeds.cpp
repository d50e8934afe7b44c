// Seeds of the readers of whole image files beyond the codec's own output: TIFFs of 16-bit samples, several pages,
// tiles, separate planes and compressed strips; progressive and CMYK JPEGs; run-length BMPs. Written by small
// writers here (each layout as the format describes it), by libjpeg and by Qt's TIFF writer, since the codec
// itself writes none of them.
#include "FuzzSeeds.h"
#include "FuzzSupport.h"
#include "SampleImages.h"
#include "CodecFrameSelector.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <cstdlib>

namespace {

using Bytes = std::vector<uint8_t>;

// ---- TIFF

constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;

struct TiffEntry
{
    uint16_t tag;
    uint16_t type;
    std::vector<uint32_t> values;
};

// A little-endian classic TIFF assembled page by page: a page's data blocks first, then its directory, whose
// offset goes into the previous directory's "next" field (the header's for the first page).
class TiffWriter
{
public:
    TiffWriter() : m_bytes{'I', 'I', 42, 0, 0, 0, 0, 0} {}

    uint32_t Data(const Bytes& block)
    {
        const uint32_t at = static_cast<uint32_t>(m_bytes.size());
        m_bytes.insert(m_bytes.end(), block.begin(), block.end());
        if (m_bytes.size() % 2)
            m_bytes.push_back(0);
        return at;
    }

    // Entries in ascending tag order, as readers expect them.
    void Page(const std::vector<TiffEntry>& entries)
    {
        const uint32_t directory = static_cast<uint32_t>(m_bytes.size());
        Put(m_nextField, directory, 4);
        uint32_t outside = directory + 2 + 12 * static_cast<uint32_t>(entries.size()) + 4;
        Bytes values;
        Append(static_cast<uint32_t>(entries.size()), 2);
        for (const TiffEntry& e : entries) {
            const int size = e.type == kShort ? 2 : 4;
            Append(e.tag, 2);
            Append(e.type, 2);
            Append(static_cast<uint32_t>(e.values.size()), 4);
            if (e.values.size() * size <= 4) {
                for (const uint32_t v : e.values)
                    Append(v, size);
                for (size_t i = e.values.size() * size; i < 4; ++i)
                    m_bytes.push_back(0);
            } else {
                Append(outside, 4);
                for (const uint32_t v : e.values)
                    for (int i = 0; i < size; ++i)
                        values.push_back(static_cast<uint8_t>(v >> (8 * i)));
                outside += static_cast<uint32_t>(e.values.size() * size);
            }
        }
        m_nextField = m_bytes.size();
        Append(0, 4);
        m_bytes.insert(m_bytes.end(), values.begin(), values.end());
        if (m_bytes.size() % 2)
            m_bytes.push_back(0);
    }

    const Bytes& Contents() const { return m_bytes; }

private:
    void Append(uint32_t value, int size)
    {
        for (int i = 0; i < size; ++i)
            m_bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    void Put(size_t at, uint32_t value, int size)
    {
        for (int i = 0; i < size; ++i)
            m_bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }

    Bytes m_bytes;
    size_t m_nextField = 4;
};

// Samples of `bytesPerSample` bytes (little-endian), `count` of them, with some variety.
Bytes Samples(size_t count, int bytesPerSample, int seed)
{
    Bytes bytes;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t v = static_cast<uint32_t>(i * 2731 + seed * 977) & (bytesPerSample == 2 ? 0xFFFF : 0xFF);
        for (int b = 0; b < bytesPerSample; ++b)
            bytes.push_back(static_cast<uint8_t>(v >> (8 * b)));
    }
    return bytes;
}

// The tags of a page stored in strips, `offsets` and `counts` one per strip.
std::vector<TiffEntry> StripPage(uint32_t width, uint32_t height, std::vector<uint32_t> bits, uint32_t compression,
                                 uint32_t photometric, std::vector<uint32_t> offsets, std::vector<uint32_t> counts,
                                 uint32_t rowsPerStrip, uint32_t planar = 1)
{
    const uint32_t samples = static_cast<uint32_t>(bits.size());
    return {{256, kLong, {width}},
            {257, kLong, {height}},
            {258, kShort, std::move(bits)},
            {259, kShort, {compression}},
            {262, kShort, {photometric}},
            {273, kLong, std::move(offsets)},
            {277, kShort, {samples}},
            {278, kLong, {rowsPerStrip}},
            {279, kLong, std::move(counts)},
            {284, kShort, {planar}}};
}

// One page of `bits` per sample (1 or 3 samples), one strip, uncompressed.
void PlainPage(TiffWriter& tiff, uint32_t width, uint32_t height, const std::vector<uint32_t>& bits, int seed)
{
    const int bytesPerSample = static_cast<int>(bits[0] / 8);
    const Bytes pixels = Samples(size_t(width) * height * bits.size(), bytesPerSample, seed);
    const uint32_t at = tiff.Data(pixels);
    tiff.Page(StripPage(width, height, bits, 1, bits.size() == 1 ? 1 : 2, {at},
                        {static_cast<uint32_t>(pixels.size())}, height));
}

Bytes SixteenBitTiff(bool colour)
{
    TiffWriter tiff;
    PlainPage(tiff, 6, 4, colour ? std::vector<uint32_t>{16, 16, 16} : std::vector<uint32_t>{16}, 1);
    return tiff.Contents();
}

Bytes MultiPageTiff()
{
    TiffWriter tiff;
    PlainPage(tiff, 6, 4, {8}, 1);
    PlainPage(tiff, 5, 3, {8, 8, 8}, 2);
    PlainPage(tiff, 3, 7, {16}, 3);
    return tiff.Contents();
}

// Grey, RGB or RGBA (straight alpha) in 16 x 16 tiles, the image not a whole number of tiles either way.
Bytes TiledTiff(uint32_t samples)
{
    TiffWriter tiff;
    constexpr uint32_t kWidth = 20, kHeight = 18, kTile = 16;
    std::vector<uint32_t> offsets, counts;
    for (int t = 0; t < 4; ++t) {
        const Bytes tile = Samples(kTile * kTile * samples, 1, t);
        offsets.push_back(tiff.Data(tile));
        counts.push_back(static_cast<uint32_t>(tile.size()));
    }
    std::vector<TiffEntry> entries = {{256, kLong, {kWidth}},
                                      {257, kLong, {kHeight}},
                                      {258, kShort, std::vector<uint32_t>(samples, 8)},
                                      {259, kShort, {1}},
                                      {262, kShort, {samples == 1 ? 1u : 2u}},
                                      {277, kShort, {samples}},
                                      {284, kShort, {1}},
                                      {322, kLong, {kTile}},
                                      {323, kLong, {kTile}},
                                      {324, kLong, offsets},
                                      {325, kLong, counts}};
    if (samples == 4)
        entries.push_back({338, kShort, {2}});  // the fourth sample is straight alpha
    tiff.Page(entries);
    return tiff.Contents();
}

// RGB with each colour in planes of its own, two strips a plane.
Bytes PlanarTiff()
{
    TiffWriter tiff;
    constexpr uint32_t kWidth = 7, kHeight = 6;
    std::vector<uint32_t> offsets, counts;
    for (int strip = 0; strip < 6; ++strip) {
        const Bytes rows = Samples(kWidth * kHeight / 2, 1, strip);
        offsets.push_back(tiff.Data(rows));
        counts.push_back(static_cast<uint32_t>(rows.size()));
    }
    tiff.Page(StripPage(kWidth, kHeight, {8, 8, 8}, 1, 2, offsets, counts, kHeight / 2, 2));
    return tiff.Contents();
}

// Grey rows in PackBits runs: a repeated byte, then literal bytes, in every row.
Bytes PackBitsTiff()
{
    TiffWriter tiff;
    constexpr uint32_t kWidth = 12, kHeight = 5;
    Bytes packed;
    for (uint32_t y = 0; y < kHeight; ++y) {
        packed.push_back(static_cast<uint8_t>(-(6 - 1)));  // 6 copies of the next byte
        packed.push_back(static_cast<uint8_t>(40 * y));
        packed.push_back(6 - 1);  // 6 literal bytes
        for (int x = 0; x < 6; ++x)
            packed.push_back(static_cast<uint8_t>(x * 30 + y));
    }
    const uint32_t at = tiff.Data(packed);
    tiff.Page(StripPage(kWidth, kHeight, {8}, 32773, 1, {at}, {static_cast<uint32_t>(packed.size())}, kHeight));
    return tiff.Contents();
}

// Qt's own TIFF writer, with its LZW compression.
Bytes QtTiff(const QImage& image, int compression)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    writer.setCompression(compression);
    if (!writer.write(image))
        return {};
    return Bytes(bytes.begin(), bytes.end());
}

QImage Gradient(QImage::Format format)
{
    QImage image(9, 6, format);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y, QColor::fromRgb(x * 28, y * 40, (x * y * 9) % 256, 100 + x * 10));
    return image;
}

// ---- JPEG

Bytes Jpeg(J_COLOR_SPACE input, J_COLOR_SPACE stored, bool progressive)
{
    constexpr int kSide = 24;
    const int components = input == JCS_CMYK ? 4 : 3;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = kSide;
    info.image_height = kSide;
    info.input_components = components;
    info.in_color_space = input;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, stored);
    jpeg_set_quality(&info, 80, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(size_t(kSide) * components);
    while (info.next_scanline < info.image_height) {
        for (int i = 0; i < static_cast<int>(row.size()); ++i)
            row[i] = static_cast<JSAMPLE>((i * 11 + info.next_scanline * 9) % 256);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes bytes(out, out + outSize);
    std::free(out);
    return bytes;
}

// ---- BMP

void PutLe(Bytes& bytes, size_t at, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A bottom-up run-length BMP (compression 1: 8 bits, 2: 4 bits) with a grey palette and the runs given.
Bytes RleBmp(int32_t width, int32_t height, int bits, const Bytes& runs)
{
    const uint32_t colours = 1u << bits;
    const uint32_t pixelsAt = 14 + 40 + colours * 4;
    Bytes bytes(pixelsAt, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe(bytes, 2, pixelsAt + static_cast<uint32_t>(runs.size()), 4);
    PutLe(bytes, 10, pixelsAt, 4);
    PutLe(bytes, 14, 40, 4);
    PutLe(bytes, 18, static_cast<uint32_t>(width), 4);
    PutLe(bytes, 22, static_cast<uint32_t>(height), 4);
    PutLe(bytes, 26, 1, 2);
    PutLe(bytes, 28, static_cast<uint32_t>(bits), 2);
    PutLe(bytes, 30, bits == 8 ? 1 : 2, 4);
    PutLe(bytes, 34, static_cast<uint32_t>(runs.size()), 4);
    PutLe(bytes, 46, colours, 4);
    for (uint32_t i = 0; i < colours; ++i) {
        const uint8_t level = static_cast<uint8_t>(i * 255 / (colours - 1));
        for (int c = 0; c < 3; ++c)
            bytes[54 + i * 4 + c] = level;
    }
    bytes.insert(bytes.end(), runs.begin(), runs.end());
    return bytes;
}

// Rows of repeated runs, an absolute run, a jump (delta) and the end marker.
Bytes Rle8()
{
    const Bytes runs = {4, 10, 4, 200, 0, 0,           // row 0: two runs of 4
                        0, 4, 1, 2, 3, 4, 8, 90, 0, 0,  // row 1: 4 literal pixels, a run of 8 (cut at the width)
                        0, 2, 2, 1, 3, 60, 0, 0,        // row 2: jump 2 right, 1 down, then a run
                        0, 1};
    return RleBmp(8, 5, 8, runs);
}

Bytes Rle4()
{
    const Bytes runs = {6, 0x1F, 0, 0,                  // row 0: 6 pixels alternating 1 and 15
                        0, 4, 0x12, 0x34, 2, 0x77, 0, 0,  // row 1: 4 literal pixels, a run of 2
                        0, 1};
    return RleBmp(6, 3, 4, runs);
}

}  // namespace

// Every layout above, with the codec's own files of the sample images.
FuzzSeedList ImageFilesOfEveryLayout()
{
    EnsureFuzzApplication();
    FuzzSeedList files = RegisteredFuzzSeeds().at("codec")();
    const FuzzSeedList layouts = {
        SixteenBitTiff(false),
        SixteenBitTiff(true),
        MultiPageTiff(),
        TiledTiff(1),
        TiledTiff(3),
        TiledTiff(4),
        PlanarTiff(),
        PackBitsTiff(),
        QtTiff(Gradient(QImage::Format_RGB32), 1),
        QtTiff(Gradient(QImage::Format_Grayscale16), 0),
        QtTiff(Gradient(QImage::Format_RGBA64), 1),
        Jpeg(JCS_RGB, JCS_YCbCr, true),
        Jpeg(JCS_CMYK, JCS_CMYK, false),
        Jpeg(JCS_CMYK, JCS_YCCK, true),
        Rle8(),
        Rle4(),
    };
    for (const Bytes& file : layouts)
        if (!file.empty())
            files.push_back(file);
    return files;
}

VISTREL_FUZZ_SEEDS(thumbnail)
{
    return ImageFilesOfEveryLayout();
}

VISTREL_FUZZ_SEEDS(codec_frames)
{
    const CodecFrameSelector selectors[] = {{0, 0}, {1, 1}, {2, 3}};
    FuzzSeedList seeds;
    for (const Bytes& file : ImageFilesOfEveryLayout()) {
        for (const CodecFrameSelector& selector : selectors) {
            Bytes seed{selector.Byte()};
            seed.insert(seed.end(), file.begin(), file.end());
            seeds.push_back(seed);
        }
    }
    return seeds;
}
