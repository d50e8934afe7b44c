#include "gobjects/shapes/CQvGObjectImage.h"

#include "gobjects/CQvGObjectPropertyTotal.h"
#include "gobjects/private/GObjectRecordLimits.h"
#include "gobjects/ui/CObjectPropertyImage.h"

#include "gdi/CDC.h"
#include "gdi/CRgn.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageDib.h"
#include "qvimage/QvImageViews.h"
#include "stream/LeStream.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr COLORREF kFrameColour = 0x808080;
constexpr size_t kHeaderSize = sizeof(BITMAPINFOHEADER);

// Compression codes a pasted DIB may carry besides BI_RGB: the pixels are 16 or 32 bits laid out by three masks.
constexpr DWORD kBitFields = 3;
// The largest header a DIB on the clipboard comes with; the palette (or the masks) follow it.
constexpr DWORD kLargestHeader = 124;
// No side of a picture is longer than the longest side of an image.
constexpr int64_t kMaxSide = 65536;

int64_t PaddedRow(int64_t width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

// One colour channel of a bit-field pixel: its mask's bits scaled to 0..255. The mask is non-zero and contiguous.
struct Channel
{
    uint32_t mask = 0;
    int shift = 0;
    int width = 0;

    bool Set(uint32_t m)
    {
        if (m == 0)
            return false;
        mask = m;
        shift = 0;
        while (((m >> shift) & 1) == 0)
            ++shift;
        const uint32_t run = m >> shift;
        if ((run & (run + 1)) != 0)
            return false;  // a mask with a gap
        width = 0;
        while (width < 32 && ((run >> width) & 1) != 0)
            ++width;
        return true;
    }
    uint8_t Of(uint32_t pixel) const
    {
        const uint32_t value = (pixel & mask) >> shift;
        if (width >= 8)
            return static_cast<uint8_t>(value >> (width - 8));
        return static_cast<uint8_t>(value * 255 / ((1u << width) - 1));
    }
};

// Where a DIB's parts lie in its block, and how it is stored.
struct DibLayout
{
    BITMAPINFOHEADER header{};  // the caller's, never written to
    int64_t height = 0;         // rows, whatever their order
    int64_t paletteEntries = 0; // kept (8 bits and below)
    int64_t paletteAt = 0;
    int64_t pixelsAt = 0;
    int64_t rowBytes = 0;
    int64_t blockBytes = 0;     // what the block must hold
    bool convert = false;       // 16 bits or bit fields: stored as 24 bits
    Channel red, green, blue;
};

// Reads the header at `block` (at least 40 of its `size` bytes) and lays the DIB out; false for one that cannot be
// shown. Nothing the header states about its own sizes (biSizeImage, biClrUsed past the bit depth) is trusted, and
// nothing past `size` is read (the caller still checks blockBytes against it).
bool LayOut(const uint8_t* block, size_t size, DibLayout& dib)
{
    std::memcpy(&dib.header, block, kHeaderSize);
    const BITMAPINFOHEADER& h = dib.header;
    const int bits = h.biBitCount;
    dib.height = std::llabs(static_cast<long long>(h.biHeight));
    if (h.biSize < kHeaderSize || h.biSize > kLargestHeader || h.biWidth <= 0 || h.biWidth > kMaxSide ||
        dib.height == 0 || dib.height > kMaxSide)
        return false;
    int64_t masksBytes = 0;
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};  // 16-bit BI_RGB: five bits a channel
    if (h.biCompression == BI_RGB) {
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            return false;
        dib.convert = bits == 16;
    } else if (h.biCompression == kBitFields && (bits == 16 || bits == 32)) {
        dib.convert = true;
        // With the short header the masks follow it; the longer headers carry them inside.
        if (size < kHeaderSize + 12)
            return false;
        if (h.biSize == kHeaderSize) {
            masksBytes = 12;
            std::memcpy(masks, block + kHeaderSize, 12);
        } else if (h.biSize >= kHeaderSize + 12) {
            std::memcpy(masks, block + kHeaderSize, 12);
        } else {
            return false;
        }
    } else {
        return false;
    }
    if (dib.convert && (!dib.red.Set(masks[0]) || !dib.green.Set(masks[1]) || !dib.blue.Set(masks[2])))
        return false;
    // A palette only up to 8 bits: above, a stated count is a table of hints that is skipped, never kept.
    int64_t stated = h.biClrUsed;
    if (bits <= 8) {
        const int64_t capacity = int64_t{1} << bits;
        if (stated == 0)
            stated = capacity;
        if (stated > capacity)
            return false;
        dib.paletteEntries = stated;
    } else if (stated > 256) {
        return false;
    }
    dib.paletteAt = h.biSize + masksBytes;
    dib.pixelsAt = dib.paletteAt + 4 * stated;
    dib.rowBytes = PaddedRow(h.biWidth, bits);
    dib.blockBytes = dib.pixelsAt + dib.rowBytes * dib.height;
    return dib.blockBytes <= kMaxPictureBytes;
}

// A block in the one form a stamp keeps, as StoredForm makes it from whatever SetImage takes: a 40-byte header,
// BI_RGB at 1, 4, 8, 24 or 32 bits, a palette of exactly biClrUsed entries up to 8 bits and none above, biSizeImage
// exactly the padded rows, and nothing after them. A stored record is held to this, never to a looser rule.
bool StoredDibValid(const uint8_t* block, size_t size);

// The stored form of a laid-out DIB: a 40-byte header whose biClrUsed and biSizeImage are exact, the palette,
// and the rows in the header's order; 16-bit and bit-field pixels become 24-bit ones.
std::vector<uint8_t> StoredForm(const uint8_t* block, const DibLayout& dib)
{
    BITMAPINFOHEADER header = dib.header;
    const int bits = dib.convert ? 24 : header.biBitCount;
    const int64_t rowBytes = PaddedRow(header.biWidth, bits);
    header.biSize = kHeaderSize;
    header.biBitCount = static_cast<WORD>(bits);
    header.biCompression = BI_RGB;
    header.biClrUsed = static_cast<DWORD>(dib.paletteEntries);
    header.biSizeImage = static_cast<DWORD>(rowBytes * dib.height);
    const int64_t size = static_cast<int64_t>(kHeaderSize) + 4 * dib.paletteEntries + rowBytes * dib.height;
    if (size > kMaxPictureBytes)
        return {};
    std::vector<uint8_t> stored(static_cast<size_t>(size), 0);
    std::memcpy(stored.data(), &header, kHeaderSize);
    std::memcpy(stored.data() + kHeaderSize, block + dib.paletteAt, static_cast<size_t>(4 * dib.paletteEntries));
    uint8_t* rows = stored.data() + kHeaderSize + 4 * dib.paletteEntries;
    const uint8_t* source = block + dib.pixelsAt;
    if (!dib.convert) {
        std::memcpy(rows, source, static_cast<size_t>(rowBytes * dib.height));
        return stored;
    }
    const int sourceBytes = dib.header.biBitCount / 8;
    for (int64_t y = 0; y < dib.height; ++y) {
        const uint8_t* in = source + y * dib.rowBytes;
        uint8_t* out = rows + y * rowBytes;
        for (int64_t x = 0; x < header.biWidth; ++x, in += sourceBytes, out += 3) {
            uint32_t pixel = 0;
            for (int i = 0; i < sourceBytes; ++i)
                pixel |= static_cast<uint32_t>(in[i]) << (8 * i);
            out[0] = dib.blue.Of(pixel);
            out[1] = dib.green.Of(pixel);
            out[2] = dib.red.Of(pixel);
        }
    }
    return stored;
}

bool StoredDibValid(const uint8_t* block, size_t size)
{
    DibLayout dib;
    if (!block || size < kHeaderSize || !LayOut(block, size, dib) || dib.convert)
        return false;
    const BITMAPINFOHEADER& h = dib.header;
    if (h.biSize != kHeaderSize || h.biCompression != BI_RGB || dib.blockBytes != static_cast<int64_t>(size))
        return false;
    if (static_cast<int64_t>(h.biClrUsed) != dib.paletteEntries ||
        static_cast<int64_t>(h.biSizeImage) != dib.rowBytes * dib.height)
        return false;
    const size_t needed = QVDibSize(&h);
    return needed != 0 && needed <= size;
}

}  // namespace

CQvGObjectImage::CQvGObjectImage()
{
    m_shape = SHAPE_IMAGE;
}

int CQvGObjectImage::SpecificProperty(QWidget* parent)
{
    CObjectPropertyImage page(this);
    return RunPropertySheet(parent, &page);
}

void CQvGObjectImage::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

CQvGObjectImage& CQvGObjectImage::operator=(const CQvGObjectImage& other)
{
    CQvGObject::operator=(other);
    m_dib = other.m_dib;
    m_opacity = other.m_opacity;
    return *this;
}

int CQvGObjectImage::SetImage(const BITMAPINFOHEADER* dib)
{
    if (!dib) {
        m_dib.clear();
        return 1;
    }
    // The caller vouches for a block as large as its header says.
    DibLayout layout;
    if (!LayOut(reinterpret_cast<const uint8_t*>(dib), SIZE_MAX, layout))
        return 0;
    return SetImage(dib, static_cast<size_t>(layout.blockBytes));
}

int CQvGObjectImage::SetImage(const void* block, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(block);
    DibLayout layout;
    if (!bytes || size < kHeaderSize || !LayOut(bytes, size, layout) || layout.blockBytes > static_cast<int64_t>(size))
        return 0;
    std::vector<uint8_t> stored = StoredForm(bytes, layout);
    if (stored.empty() || !StoredDibValid(stored.data(), stored.size()))
        return 0;
    m_dib = std::move(stored);
    return 1;
}

BITMAPINFOHEADER* CQvGObjectImage::GetImage()
{
    return m_dib.empty() ? nullptr : reinterpret_cast<BITMAPINFOHEADER*>(m_dib.data());
}

void CQvGObjectImage::CalInitialPos()
{
    const BITMAPINFOHEADER* dib = GetImage();
    if (!dib) {
        m_pointCount = 0;
        return;
    }
    m_points[0] = _RPOINT{0.0, 0.0};
    m_points[1] = _RPOINT{static_cast<double>(dib->biWidth - 1), static_cast<double>(std::abs(dib->biHeight) - 1)};
    m_pointCount = 2;
}

void CQvGObjectImage::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    CRect box(MapToWindow(m_points[0], *origin, *ratio), MapToWindow(m_points[1], *origin, *ratio));
    box.NormalizeRect();
    if (flag == 1) {
        dc->Rectangle(box.left, box.top, box.right + 1, box.bottom + 1);
        return;
    }
    BITMAPINFOHEADER* dib = GetImage();
    if (!dib)
        return;
    CQvImage picture;
    if (!DIB2QVIMG(dib, &picture, 0))
        return;
    const QImage source = QvImageToQImage(picture).convertToFormat(QImage::Format_RGB32);
    const int opacity = std::clamp(m_opacity, 0, 100);
    const int alpha = static_cast<int>(std::trunc(opacity * 0.01 * 255 + 0.5));
    if (alpha == 0)
        return;
    QPainter& painter = dc->GetPainter();
    painter.save();
    painter.setOpacity(alpha / 255.0);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(box.left, box.top, box.Width() + 1, box.Height() + 1), source);
    painter.restore();
}

void CQvGObjectImage::DrawSelection(CDC* dc, const CPoint* origin, const float* ratio)
{
    CRect box(MapToWindow(m_points[0], *origin, *ratio), MapToWindow(m_points[1], *origin, *ratio));
    box.NormalizeRect();
    const CRect frame(box.left, box.top, box.right + 1, box.bottom + 1);
    dc->Draw3dRect(&frame, kFrameColour, kFrameColour);
}

int CQvGObjectImage::GetHandle(CRect /*rect*/)
{
    // No handle can be grabbed: the stamp is moved whole.
    m_selectedHandle = -1;
    return -1;
}

int CQvGObjectImage::GetHitTestRgn(CRgn& rgn)
{
    const CRect box = GetMBR();
    rgn.CreateRectRgnIndirect(&box);
    return 1;
}

void CQvGObjectImage::LoadShapeDefaults(const CQvGObjectPropertyTotal& defaults)
{
    m_opacity = defaults.GetImageOpacity();
}

void CQvGObjectImage::StoreShapeDefaults(CQvGObjectPropertyTotal& defaults) const
{
    defaults.SetImageOpacity(m_opacity);
}

void CQvGObjectImage::WriteShapeFields(LeWriter& out)
{
    out.Int32(m_opacity);
    out.Int32(static_cast<int32_t>(m_dib.size()));
    out.Bytes(m_dib.data(), m_dib.size());
}

int CQvGObjectImage::ReadShapeFields(LeReader& in, float version)
{
    if (!CQvGObjectRect::ReadShapeFields(in, version))
        return 0;
    const int32_t opacity = in.Int32();
    const int32_t size = in.Int32();
    if (!in.ok())
        return 0;
    // The size is checked against what the file still holds before anything is allocated for it.
    if (size < 0 || size > kMaxPictureBytes || size > in.RemainingBytes()) {
        in.Fail();
        return 0;
    }
    std::vector<uint8_t> dib(static_cast<size_t>(size));
    if (size != 0 && (!in.Bytes(dib.data(), dib.size()) || !StoredDibValid(dib.data(), dib.size()))) {
        in.Fail();
        return 0;
    }
    m_opacity = opacity;
    m_dib = std::move(dib);
    return 1;
}
