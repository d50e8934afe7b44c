#include "qvimage/QvImageRecord.h"

#include "qvimage/private/QvImageAccess.h"
#include "stream/LeStream.h"

#include <vector>

namespace {

constexpr uint32_t kRecordMagic = 0x4D495651;  // "QVIM" in file order
constexpr uint32_t kRecordVersion = 1;

// Bytes between the stream's position and its end, or -1 when the stream cannot tell (a pipe).
long long RemainingBytes(FILE* file)
{
    const long position = std::ftell(file);
    if (position < 0 || std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long end = std::ftell(file);
    if (std::fseek(file, position, SEEK_SET) != 0 || end < position)
        return -1;
    return end - position;
}

} // namespace

int QVWriteImage(FILE* file, const CQvImage* image)
{
    if (!file || !image)
        return 0;
    LeWriter writer(file);
    writer.UInt32(kRecordMagic);
    writer.UInt32(kRecordVersion);
    writer.Int32(image->GetColorModel());
    writer.Int32(image->GetWidth());
    writer.Int32(image->GetHeight());
    writer.Int32(GetQvBitCount(image->GetColorModel()));
    writer.Int32(image->GetStride());
    writer.UInt32(static_cast<uint32_t>(image->GetPaletteCount()));
    for (int i = 0; i < image->GetPaletteCount(); ++i)
    {
        const RGBQUAD& entry = image->GetPalette()[i];
        const BYTE bytes[4] = {entry.rgbBlue, entry.rgbGreen, entry.rgbRed, entry.rgbReserved};
        writer.Bytes(bytes, sizeof bytes);
    }
    if (!image->IsEmpty())
        writer.Bytes(image->GetBuffer(), static_cast<size_t>(image->GetStride()) * image->GetHeight());
    return writer.ok() ? 1 : 0;
}

int QVReadImage(FILE* file, CQvImage* image)
{
    if (!file || !image)
        return 0;
    LeReader reader(file);
    const uint32_t magic = reader.UInt32();
    const uint32_t version = reader.UInt32();
    const int32_t type = reader.Int32();
    const int32_t width = reader.Int32();
    const int32_t height = reader.Int32();
    const int32_t bits = reader.Int32();
    const int32_t stride = reader.Int32();
    const uint32_t paletteCount = reader.UInt32();
    if (!reader.ok() || magic != kRecordMagic || version != kRecordVersion || GetQvBitCount(type) == 0
        || bits != GetQvBitCount(type))
        return 0;

    if (width == 0 && height == 0)
    {
        if (stride != 0 || paletteCount != 0)
            return 0;
        QvImageAccess::MakeEmpty(*image, type);
        return 1;
    }
    const bool paletteFits = IsIndexedModel(type)
        ? paletteCount >= 1 && paletteCount <= static_cast<uint32_t>(PaletteCapacity(type))
        : paletteCount == 0;
    if (!SizeWithinLimits(width, height, bits) || stride != PaddedStride(width, bits) || !paletteFits)
        return 0;
    const long long pixelBytes = static_cast<long long>(stride) * height;
    const long long remaining = RemainingBytes(file);
    if (remaining >= 0 && remaining < 4LL * paletteCount + pixelBytes)
        return 0;

    std::vector<RGBQUAD> palette(paletteCount);
    for (RGBQUAD& entry : palette)
    {
        BYTE bytes[4] = {};
        reader.Bytes(bytes, sizeof bytes);
        entry = RGBQUAD{bytes[0], bytes[1], bytes[2], bytes[3]};
    }
    CQvImage result;
    QvImageAccess::Allocate(result, type, width, height);
    reader.Bytes(result.GetBuffer(), static_cast<size_t>(pixelBytes));
    if (!reader.ok())
        return 0;
    if (!palette.empty())
        result.SetPalette(palette.data(), static_cast<int>(palette.size()));
    *image = std::move(result);
    return 1;
}
