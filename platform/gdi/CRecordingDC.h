// A device context for tests: it logs every drawing primitive as a line such as "LineTo(10,20)" and, when given a
// surface, also draws it. Without a surface it draws on a private 1 x 1 image, so text measuring still works.
// Log format: the call's name and its integer arguments separated by commas; colours as 0xBBGGRR hex; texts in
// double quotes; formats and raster operations in hex.
#pragma once

#include "gdi/CDC.h"

#include <QImage>

#include <string>
#include <vector>

namespace gdi_detail {
struct RecordingSurface
{
    QImage surface{1, 1, QImage::Format_RGB32};
};
}  // namespace gdi_detail

class VISTREL_EXPORT CRecordingDC : private gdi_detail::RecordingSurface, public CDC
{
public:
    // Records only.
    CRecordingDC();
    // Records and draws onto target (not owned).
    explicit CRecordingDC(QImage& target);

    const std::vector<std::string>& Calls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }

    using CDC::Arc;
    using CDC::Draw3dRect;
    using CDC::DrawText;
    using CDC::Ellipse;
    using CDC::FillSolidRect;
    using CDC::LineTo;
    using CDC::MoveTo;
    using CDC::Rectangle;
    using CDC::SetPixel;

    CPoint MoveTo(int x, int y) override;
    BOOL LineTo(int x, int y) override;
    BOOL Polyline(const POINT* points, int count) override;
    BOOL Arc(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY) override;
    COLORREF SetPixel(int x, int y, COLORREF colour) override;
    BOOL Polygon(const POINT* points, int count) override;
    BOOL Rectangle(int left, int top, int right, int bottom) override;
    BOOL Ellipse(int left, int top, int right, int bottom) override;
    void FillSolidRect(const RECT* rect, COLORREF colour) override;
    void FillRect(const RECT* rect, CBrush* brush) override;
    void InvertRect(const RECT* rect) override;
    BOOL PatBlt(int x, int y, int width, int height, uint32_t rop) override;
    void Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight) override;
    void DrawFocusRect(const RECT* rect) override;
    int DrawText(std::string_view text, RECT* rect, UINT format) override;
    BOOL TextOut(int x, int y, std::string_view text) override;

private:
    void Record(std::string call);

    std::vector<std::string> m_calls;
};
