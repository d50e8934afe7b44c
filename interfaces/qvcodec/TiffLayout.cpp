#include "qvcodec/private/TiffLayout.h"

#include <algorithm>
#include <set>

namespace {

enum Tag : uint16_t
{
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kCompression = 259,
    kPhotometric = 262,
    kStripOffsets = 273,
    kOrientation = 274,
    kSamplesPerPixel = 277,
    kRowsPerStrip = 278,
    kStripByteCounts = 279,
    kPlanarConfiguration = 284,
    kColourMap = 320,
    kTileWidth = 322,
    kTileLength = 323,
    kTileOffsets = 324,
    kTileByteCounts = 325,
    kExtraSamples = 338,
    kSampleFormat = 339,
};

// Bytes of one value of a field type; 0 for a type this reader does not know.
uint64_t TypeSize(uint16_t type)
{
    switch (type) {
    case 1: case 2: case 6: case 7: return 1;         // BYTE, ASCII, SBYTE, UNDEFINED
    case 3: case 8: return 2;                         // SHORT, SSHORT
    case 4: case 9: case 11: case 13: return 4;       // LONG, SLONG, FLOAT, IFD
    case 5: case 10: case 12: case 16: case 17: case 18: return 8;  // RATIONAL, SRATIONAL, DOUBLE, LONG8, ...
    default: return 0;
    }
}

// Bytes of the file held in memory.
class MemoryBytes : public TiffBytes
{
public:
    explicit MemoryBytes(const QByteArray& file) : m_file(file) {}
    uint64_t Size() const override { return static_cast<uint64_t>(m_file.size()); }
    const unsigned char* View(uint64_t at, uint64_t, std::vector<unsigned char>&) const override
    {
        return reinterpret_cast<const unsigned char*>(m_file.constData()) + at;
    }

private:
    const QByteArray& m_file;
};

class Reader
{
public:
    explicit Reader(const TiffBytes& file) : m_file(file), m_size(file.Size()) {}

    bool ReadHeader()
    {
        if (m_size < 8)
            return false;
        const unsigned char* header = m_file.View(0, std::min<uint64_t>(m_size, 16), m_scratch);
        if (!header)
            return false;
        const unsigned char a = header[0];
        const unsigned char b = header[1];
        if (a != b || (a != 'I' && a != 'M'))
            return false;
        m_bigEndian = a == 'M';
        const uint64_t version = Decode(header + 2, 2);
        if (version == 42) {
            m_offsetSize = 4;
            m_firstDirectory = Decode(header + 4, 4);
            return true;
        }
        // BigTIFF: offsets of 8 bytes, stated in the header, then a reserved 0.
        if (version != 43 || m_size < 16 || Decode(header + 4, 2) != 8 || Decode(header + 6, 2) != 0)
            return false;
        m_offsetSize = 8;
        m_firstDirectory = Decode(header + 8, 8);
        return true;
    }

    // The offset of directory `frame`, walking the chain without revisiting a directory.
    bool FindDirectory(int frame, uint64_t& at)
    {
        std::set<uint64_t> seen;
        at = m_firstDirectory;
        for (int i = 0;; ++i) {
            uint64_t entries = 0;
            if (at == 0 || !seen.insert(at).second || !DirectoryFits(at, entries))
                return false;
            if (i == frame)
                return true;
            if (!Number(at + CountSize() + entries * EntrySize(), m_offsetSize, at))
                return false;
        }
    }

    bool ReadDirectory(uint64_t at, TiffLayout& layout)
    {
        uint64_t entries = 0;
        if (!DirectoryFits(at, entries))
            return false;
        // The entries stay in hand while the values they point to are read.
        std::vector<unsigned char> entryBytes;
        const unsigned char* directory =
            entries == 0 ? nullptr : m_file.View(at + CountSize(), entries * EntrySize(), entryBytes);
        if (entries != 0 && !directory)
            return false;
        bool hasWidth = false;
        bool hasHeight = false;
        bool hasOffsets = false;
        for (uint64_t i = 0; i < entries; ++i) {
            const unsigned char* entry = directory + i * EntrySize();
            std::vector<uint64_t> values;
            const uint16_t tag = static_cast<uint16_t>(Decode(entry, 2));
            // A file cut inside any field's values is damaged, whether or not the pixels need that field.
            if (!ValuesInside(entry))
                return false;
            // Only the fields that say where the pixels lie and how they are laid out are read.
            switch (tag) {
            case kImageWidth: case kImageLength: case kBitsPerSample: case kCompression: case kPhotometric:
            case kStripOffsets: case kOrientation: case kSamplesPerPixel: case kRowsPerStrip:
            case kStripByteCounts: case kPlanarConfiguration: case kColourMap: case kTileWidth: case kTileLength:
            case kTileOffsets: case kTileByteCounts: case kExtraSamples: case kSampleFormat:
                if (!ReadValues(entry, values) || values.empty())
                    return false;
                break;
            default:
                continue;
            }
            switch (tag) {
            case kImageWidth: layout.width = values[0]; hasWidth = true; break;
            case kImageLength: layout.height = values[0]; hasHeight = true; break;
            case kBitsPerSample: layout.bitsPerSample = values; break;
            case kCompression: layout.compression = values[0]; break;
            case kPhotometric: layout.photometric = values[0]; break;
            case kOrientation: layout.orientation = values[0]; break;
            case kSamplesPerPixel: layout.samplesPerPixel = values[0]; break;
            case kRowsPerStrip: layout.rowsPerStrip = values[0]; break;
            case kPlanarConfiguration: layout.planar = values[0]; break;
            case kExtraSamples: layout.extraSamples = values; break;
            case kSampleFormat: layout.sampleFormat = values; break;
            case kTileWidth: layout.tileWidth = values[0]; break;
            case kTileLength: layout.tileLength = values[0]; break;
            case kColourMap:
                layout.hasColourMap = true;
                layout.colourMapCount = values.size();
                break;
            case kStripOffsets: case kTileOffsets:
                layout.tiled = tag == kTileOffsets;
                layout.chunkOffsets = std::move(values);
                hasOffsets = true;
                break;
            case kStripByteCounts: case kTileByteCounts:
                layout.chunkByteCounts = std::move(values);
                layout.hasByteCounts = true;
                break;
            default: break;
            }
        }
        if (layout.bitsPerSample.empty())
            layout.bitsPerSample.push_back(1);
        return hasWidth && hasHeight && hasOffsets;
    }

private:
    uint64_t CountSize() const { return m_offsetSize == 4 ? 2 : 8; }
    uint64_t EntrySize() const { return m_offsetSize == 4 ? 12 : 20; }

    // Whether `size` bytes from `at` lie inside the file (no sum that could pass 64 bits).
    bool Inside(uint64_t at, uint64_t size) const { return at <= m_size && size <= m_size - at; }

    // An unsigned number of 1, 2, 4 or 8 bytes in the file's byte order.
    uint64_t Decode(const unsigned char* bytes, uint64_t size) const
    {
        uint64_t v = 0;
        for (uint64_t i = 0; i < size; ++i)
            v |= uint64_t{bytes[i]} << (8 * (m_bigEndian ? size - 1 - i : i));
        return v;
    }

    // The number of `size` bytes at `at`, which the caller has checked to lie inside the file.
    bool Number(uint64_t at, uint64_t size, uint64_t& value)
    {
        const unsigned char* bytes = m_file.View(at, size, m_scratch);
        if (!bytes)
            return false;
        value = Decode(bytes, size);
        return true;
    }

    // The directory's entry count, its entries and the offset of the next directory lie inside the file.
    bool DirectoryFits(uint64_t at, uint64_t& entries)
    {
        if (!Inside(at, CountSize()) || !Number(at, CountSize(), entries))
            return false;
        const uint64_t room = (m_size - at - CountSize()) / EntrySize();
        return entries <= room && Inside(at + CountSize() + entries * EntrySize(), m_offsetSize);
    }

    // The values of an entry of a known type lie inside the file (an unknown type is skipped, as decoders do).
    bool ValuesInside(const unsigned char* entry) const
    {
        const uint64_t size = TypeSize(static_cast<uint16_t>(Decode(entry + 2, 2)));
        const uint64_t count = Decode(entry + 4, m_offsetSize);
        if (size == 0)
            return true;
        if (count > m_size / size)
            return false;
        return count * size <= m_offsetSize || Inside(Decode(entry + 4 + m_offsetSize, m_offsetSize), count * size);
    }

    // The values of an entry of an unsigned integer type, from the entry itself when they fit in it.
    bool ReadValues(const unsigned char* entry, std::vector<uint64_t>& values)
    {
        const uint16_t type = static_cast<uint16_t>(Decode(entry + 2, 2));
        const uint64_t count = Decode(entry + 4, m_offsetSize);
        const uint64_t size = TypeSize(type);
        if (type != 1 && type != 3 && type != 4 && type != 16)
            return false;
        // Bounded by the file before anything is allocated: the values are inside it.
        if (count > m_size / size)
            return false;
        const unsigned char* bytes = entry + 4 + m_offsetSize;
        if (count * size > m_offsetSize) {
            const uint64_t at = Decode(bytes, m_offsetSize);
            if (!Inside(at, count * size))
                return false;
            bytes = m_file.View(at, count * size, m_scratch);
            if (!bytes)
                return false;
        }
        values.resize(count);
        for (uint64_t i = 0; i < count; ++i)
            values[i] = Decode(bytes + i * size, size);
        return true;
    }

    const TiffBytes& m_file;
    const uint64_t m_size;
    std::vector<unsigned char> m_scratch;
    bool m_bigEndian = false;
    uint64_t m_offsetSize = 4;
    uint64_t m_firstDirectory = 0;
};

uint64_t DivideUp(uint64_t a, uint64_t b) { return a / b + (a % b != 0); }

// a * b, held at the top of the range: a size that large lies outside any file.
uint64_t SaturatedProduct(uint64_t a, uint64_t b)
{
    uint64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? UINT64_MAX : product;
}

}  // namespace

uint64_t TiffLayout::BitsPerPixel() const
{
    if (samplesPerPixel == 0 || samplesPerPixel > 64)
        return 0;
    uint64_t bits = 0;
    for (uint64_t i = 0; i < samplesPerPixel; ++i) {
        const uint64_t b = bitsPerSample.size() == 1 ? bitsPerSample[0]
                           : i < bitsPerSample.size() ? bitsPerSample[i]
                                                      : 0;
        if (b == 0 || b > 64)
            return 0;
        bits += b;
    }
    return bits;
}

uint64_t TiffLayout::ChunksNeeded() const
{
    if (width == 0 || height == 0 || width > UINT32_MAX || height > UINT32_MAX || BitsPerPixel() == 0)
        return 0;
    const uint64_t planes = planar == 2 ? samplesPerPixel : 1;
    if (tiled) {
        if (tileWidth == 0 || tileLength == 0 || tileWidth > UINT32_MAX || tileLength > UINT32_MAX)
            return 0;
        // Each factor is below 2^32 and the planes below 65: the product fits.
        return DivideUp(width, tileWidth) * DivideUp(height, tileLength) * planes;
    }
    const uint64_t rows = rowsPerStrip == 0 ? height : std::min(rowsPerStrip, height);
    return DivideUp(height, rows) * planes;
}

uint64_t TiffLayout::UncompressedChunkBytes(uint64_t index) const
{
    const uint64_t needed = ChunksNeeded();
    if (needed == 0 || index >= needed)
        return 0;
    const uint64_t planes = planar == 2 ? samplesPerPixel : 1;
    const uint64_t perPlane = needed / planes;
    const uint64_t bits = planar == 2 ? BitsPerPixel() / samplesPerPixel : BitsPerPixel();
    if (tiled)
        return SaturatedProduct(tileLength, DivideUp(tileWidth * bits, 8));
    const uint64_t rows = rowsPerStrip == 0 ? height : std::min(rowsPerStrip, height);
    const uint64_t strip = index % perPlane;
    const uint64_t rowsHere = std::min(rows, height - strip * rows);
    return SaturatedProduct(rowsHere, DivideUp(width * bits, 8));
}

bool ReadTiffLayout(const QByteArray& file, int frame, TiffLayout& layout)
{
    return ReadTiffLayout(MemoryBytes(file), frame, layout);
}

bool ReadTiffLayout(const TiffBytes& file, int frame, TiffLayout& layout)
{
    Reader reader(file);
    uint64_t at = 0;
    if (frame < 0 || !reader.ReadHeader() || !reader.FindDirectory(frame, at))
        return false;
    layout = TiffLayout();
    return reader.ReadDirectory(at, layout);
}

bool IsCompleteTiffLayout(const TiffLayout& layout, uint64_t fileSize)
{
    const uint64_t needed = layout.ChunksNeeded();
    if (needed == 0 || layout.chunkOffsets.size() < needed)
        return false;
    // Without byte counts only uncompressed data has a known length.
    if (layout.hasByteCounts ? layout.chunkByteCounts.size() < needed : layout.compression != 1)
        return false;
    // Subsampled YCbCr packs fewer bytes than its samples would take.
    const bool plainSamples = layout.compression == 1 && layout.photometric != 6;
    for (uint64_t i = 0; i < needed; ++i) {
        const uint64_t offset = layout.chunkOffsets[i];
        const uint64_t bytes = layout.hasByteCounts ? layout.chunkByteCounts[i] : layout.UncompressedChunkBytes(i);
        if (bytes == 0 || (plainSamples && bytes < layout.UncompressedChunkBytes(i)))
            return false;
        if (offset > fileSize || bytes > fileSize - offset)
            return false;
    }
    constexpr uint64_t kPalette = 3;
    if (layout.photometric == kPalette) {
        const uint64_t bits = layout.bitsPerSample[0];
        if (bits == 0 || bits > 16 || !layout.hasColourMap || layout.colourMapCount != (uint64_t{3} << bits))
            return false;
    }
    return true;
}
