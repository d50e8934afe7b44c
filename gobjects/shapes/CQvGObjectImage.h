// A picture laid over the image (shape 39) and blended onto it with a constant opacity: a picture pasted from the
// clipboard or placed by the user. It holds its own copy of a packed DIB (40-byte header, palette, rows padded to
// 4 bytes). It is moved whole; it has no sizing handles. UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/shapes/CQvGObjectRect.h"

#include "types/WinRecords.h"

#include <cstdint>
#include <vector>

class VISTREL_EXPORT CQvGObjectImage : public CQvGObjectRect
{
public:
    CQvGObjectImage();

    void RemoveAll() override;
    // The sheet with the Image page; 1 on OK, else 0 (the opacity as it was).
    int SpecificProperty(QWidget* parent) override;
    // Rubber band (flag 1): the outline only. Otherwise the picture stretched into the mapped box and blended
    // with alpha trunc(opacity x 2.55 + 0.5); nothing without a picture.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // A grey frame around the box; no grips.
    void DrawSelection(CDC* dc, const CPoint* origin, const float* ratio) override;
    int GetHandle(CRect rect) override;
    // The box itself: a click on the picture picks it.
    int GetHitTestRgn(CRgn& rgn) override;
    void LoadShapeDefaults(const CQvGObjectPropertyTotal& defaults) override;
    void StoreShapeDefaults(CQvGObjectPropertyTotal& defaults) const override;

    // Replaces the picture with a copy of the packed DIB at `dib` (null: no picture), whose block the caller vouches
    // is as large as its header says. The caller's block is never written: the copy's header is completed (below
    // 24 bits a biClrUsed of 0 becomes 1 << biBitCount, biSizeImage the padded rows' bytes). Returns 1, or 0 (the
    // old picture kept) for a DIB that cannot be shown.
    int SetImage(const BITMAPINFOHEADER* dib);
    // The same for a DIB from outside in a block of `size` bytes, refused unless the block holds all its header
    // implies. Headers up to 124 bytes; 1, 4, 8, 24 and 32 bits, top-down or bottom-up; 16-bit and bit-field DIBs
    // are stored as 24 bits. Only up to 8 bits is a palette kept, and every size stored is computed, not copied.
    int SetImage(const void* block, size_t size);
    // The picture (valid until the next SetImage, Read or RemoveAll); null without one.
    BITMAPINFOHEADER* GetImage();
    // The picture's bytes: header, palette and rows.
    const std::vector<uint8_t>& GetImageBytes() const { return m_dib; }
    // The stamp covers the picture's own size at the image's top-left; without a picture it has no points.
    void CalInitialPos();

    int GetOpacity() const { return m_opacity; }
    void SetOpacity(int percent) { m_opacity = percent; }

    CQvGObjectImage& operator=(const CQvGObjectImage& other);

protected:
    int ReadShapeFields(LeReader& in, float version) override;
    void WriteShapeFields(LeWriter& out) override;

private:
    std::vector<uint8_t> m_dib;  // empty: no picture
    int32_t m_opacity = 100;
};
