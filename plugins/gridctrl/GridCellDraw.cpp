// How a cell paints and measures itself through the drawing layer: the colours of its state, the heading edges,
// the sort mark and the text in its own or its default cell's font.
#include "gridctrl/GridCell.h"

#include "gridctrl/GridModel.h"
#include "gdi/CDC.h"
#include "gdi/CFont.h"
#include "gdi/CMeasureDC.h"
#include "gdi/CPen.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace gridctrl {

namespace {

COLORREF System(QPalette::ColorRole role)
{
    const QColor colour = QApplication::palette().color(role);
    return RGB(static_cast<BYTE>(colour.red()), static_cast<BYTE>(colour.green()), static_cast<BYTE>(colour.blue()));
}

bool IsVertical(const LOGFONTA* font)
{
    return font && (font->lfEscapement == 900 || font->lfEscapement == -900);
}

}  // namespace

bool CGridCell::Draw(CDC& dc, int row, int column, const RECT& area, bool eraseBackground) const
{
    const CGridModel* grid = GetGrid();
    const CGridDefaultCell* fallback = GetDefaultCell();
    if (!grid || !fallback || area.right <= area.left || area.bottom <= area.top)
        return false;
    const int saved = dc.SaveDC();
    dc.SetBkMode(TRANSPARENT);
    CRect rect(area.left, area.top, area.right, area.bottom);
    COLORREF text = EffectiveTextColor();
    COLORREF back = EffectiveBackColor();
    // A cell with its own background always paints it.
    bool erase = eraseBackground || GetBackColor() != CLR_DEFAULT;
    const bool gridLines = grid->GetGridLines() != GVL_NONE;
    if ((IsFocused() || IsDropHighlighted()) && !IsFixed()) {
        if (IsSelected()) {
            back = System(QPalette::Highlight);
            text = System(QPalette::HighlightedText);
            erase = true;
        }
        rect.right++;
        rect.bottom++;
        if (erase) {
            const CRect fill = gridLines ? CRect(rect.left, rect.top, rect.right - 1, rect.bottom - 1) : rect;
            dc.FillSolidRect(&fill, back);
        }
        if (gridLines) {
            rect.right--;
            rect.bottom--;
        }
        if (grid->GetFrameFocusCell())
            for (const CRect& side : {CRect(rect.left, rect.top, rect.right, rect.top + 1),
                                      CRect(rect.left, rect.bottom - 1, rect.right, rect.bottom),
                                      CRect(rect.left, rect.top, rect.left + 1, rect.bottom),
                                      CRect(rect.right - 1, rect.top, rect.right, rect.bottom)})
                dc.FillSolidRect(&side, text);
        if (!gridLines) {
            rect.right--;
            rect.bottom--;
        }
        rect.DeflateRect(1, 1);
    } else if (IsSelected()) {
        const CRect fill = gridLines ? rect : CRect(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
        dc.FillSolidRect(&fill, System(QPalette::Highlight));
        text = System(QPalette::HighlightedText);
    } else if (erase) {
        const CRect fill = gridLines ? rect : CRect(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
        dc.FillSolidRect(&fill, back);
    }
    if (IsFixed() && gridLines) {
        const CGridCellId focus = grid->GetFocusCell();
        if (grid->GetTrackFocusCell() && grid->IsValid(focus) && (focus.row == row || focus.col == column))
            dc.Draw3dRect(&rect, System(QPalette::Dark), System(QPalette::Light));  // sunken: the focus's heading
        else
            dc.Draw3dRect(&rect, System(QPalette::Light), System(QPalette::Dark));
        rect.DeflateRect(1, 1);
    }
    dc.SetTextColor(text);
    CFont font;
    if (const LOGFONTA* own = GetFont()) {
        font.CreateFontIndirect(own);
        dc.SelectObject(&font);
    }
    const int margin = static_cast<int>(GetMargin());
    rect.DeflateRect(margin, 0);
    // The image at the top left when it fits; the text starts past it either way.
    if (const QImage* image = grid->GetImageListImage(GetImage())) {
        if (rect.right + 2 * margin >= rect.left + image->width() &&
            rect.bottom + 2 * margin >= rect.top + image->height())
            dc.GetPainter().drawImage(QPoint(rect.left, rect.top), *image);
        rect.left += margin + image->width();
    }
    // The sort mark of the heading over the sort column.
    if (row == 0 && column == grid->GetSortColumn() && grid->GetSortColumn() >= 0) {
        int size = dc.GetTextExtent("M").cy - 4;
        if (size >= rect.Height())
            size = rect.Height() - 4;
        const bool vertical = IsVertical(GetFont());
        const int left = vertical ? rect.left + (rect.Width() - size) / 2 : rect.right - size;
        if (size > 0 && size + left < rect.right + 2 * margin) {
            const int bottom = rect.bottom - 1, top = bottom - size;
            CPen shadow(PS_SOLID, 0, System(QPalette::Dark));
            CPen light(PS_SOLID, 0, System(QPalette::Light));
            CPen* old = dc.SelectObject(&shadow);
            if (grid->GetSortAscending()) {
                dc.MoveTo(left + size / 2, top);
                dc.LineTo(left, bottom);
                dc.SelectObject(&light);
                dc.LineTo(left + size, bottom);
                dc.LineTo(left + size / 2, top);
            } else {
                dc.MoveTo(left, top);
                dc.LineTo(left + size, top);
                dc.LineTo(left + size / 2, bottom);
                dc.SelectObject(&light);
                dc.LineTo(left, top);
            }
            dc.SelectObject(old);
            if (!vertical)
                rect.right -= size;
        }
    }
    if (!IsEditing() && rect.right > rect.left)
        dc.DrawText(GetText(), rect, GetFormat() & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_SINGLELINE));
    dc.RestoreDC(saved);
    return true;
}

SIZE CGridCell::GetCellExtent(CDC& dc) const
{
    SIZE size = GetTextExtent(m_text, dc);
    if (const QImage* image = m_grid ? m_grid->GetImageListImage(m_image) : nullptr) {
        size.cx += image->width();
        size.cy = std::max(size.cy, static_cast<LONG>(image->height()));
    }
    return size;
}

SIZE CGridCell::GetTextExtent(const std::string& text, CDC& dc) const
{
    const int saved = dc.SaveDC();
    CFont font;
    if (const LOGFONTA* own = GetFont()) {
        font.CreateFontIndirect(own);
        dc.SelectObject(&font);
    }
    const uint32_t format = GetFormat();
    const int margin = static_cast<int>(GetMargin());
    SIZE size{};
    if (format & DT_SINGLELINE) {
        size = dc.GetTextExtent(text);
    } else {
        // The widest line sets the width; the drawing layer works out the height for it.
        size_t start = 0;
        while (start <= text.size()) {
            const size_t end = std::min(text.find('\n', start), text.size());
            size.cx = std::max(size.cx, dc.GetTextExtent(std::string_view(text).substr(start, end - start)).cx);
            start = end + 1;
        }
        CRect box(0, 0, size.cx, 0);
        dc.DrawText(text, box, (format & ~DT_VCENTER) | DT_CALCRECT);
        size.cy = box.Height();
    }
    dc.RestoreDC(saved);
    size.cx += 4 * margin;
    size.cy += 2 * margin;
    if (IsVertical(GetFont()))
        return SIZE{size.cy, size.cx};
    return size;
}

void CGridDefaultCell::SetFont(const LOGFONTA* font)
{
    if (!font)
        return;
    CGridCell::SetFont(font);
    CMeasureDC& dc = CMeasureDC::ThisThread();
    CFont object;
    object.CreateFontIndirect(font);
    CFont* old = dc.SelectObject(&object);
    const CSize sample = dc.GetTextExtent(" XXXXXXXXXXXX ");
    MeasureFont(dc.GetTextExtent(" ").cx, sample.cx, sample.cy);
    dc.SelectObject(old);
}

}  // namespace gridctrl
