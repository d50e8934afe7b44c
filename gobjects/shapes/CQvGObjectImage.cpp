#include "gobjects/shapes/CQvGObjectImage.h"

#include "gobjects/CQvGObjectPropertyTotal.h"
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
#include <cstring>

namespace {

constexpr COLORREF kFrameColour = 0x808080;
constexpr size_t kHeaderSize = sizeof(BITMAPINFOHEADER);
// No overlay picture is larger; a record claiming more is damaged.
constexpr int64_t kMaxPictureBytes = 256LL * 1024 * 1024;

// The block size the record format gives a picture: header, palette, pixels.
int64_t StatedSize(const BITMAPINFOHEADER& header)
{
    return static_cast<int64_t>(kHeaderSize) + 4 * static_cast<int64_t>(header.biClrUsed) +
           static_cast<int64_t>(header.biSizeImage);
}

// A block of `size` bytes that holds a DIB the picture conversion takes, as large as its header says.
bool UsableDib(const uint8_t* block, size_t size)
{
    if (size < kHeaderSize)
        return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, block, kHeaderSize);
    if (header.biSize != kHeaderSize || StatedSize(header) != static_cast<int64_t>(size))
        return false;
    const size_t needed = QVDibSize(&header);
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

int CQvGObjectImage::SetImage(BITMAPINFOHEADER* dib)
{
    if (!dib) {
        m_dib.clear();
        return 1;
    }
    if (dib->biBitCount < 24 && dib->biClrUsed == 0)
        dib->biClrUsed = 1u << std::min<unsigned>(dib->biBitCount, 16);
    if (dib->biSizeImage == 0) {
        const int64_t rowBytes = (static_cast<int64_t>(dib->biBitCount) * dib->biWidth + 31) / 32 * 4;
        const int64_t bytes = rowBytes * std::llabs(static_cast<long long>(dib->biHeight));
        if (bytes > 0 && bytes <= kMaxPictureBytes)
            dib->biSizeImage = static_cast<DWORD>(bytes);
    }
    const int64_t size = StatedSize(*dib);
    if (size > kMaxPictureBytes || !UsableDib(reinterpret_cast<const uint8_t*>(dib), static_cast<size_t>(size)))
        return 0;
    const auto* bytes = reinterpret_cast<const uint8_t*>(dib);
    m_dib.assign(bytes, bytes + size);
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
    if (size != 0 && (!in.Bytes(dib.data(), dib.size()) || !UsableDib(dib.data(), dib.size()))) {
        in.Fail();
        return 0;
    }
    m_opacity = opacity;
    m_dib = std::move(dib);
    return 1;
}
