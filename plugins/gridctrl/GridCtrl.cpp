#include "gridctrl/GridCtrl.h"

#include "gdi/CDC.h"
#include "gdi/CFont.h"
#include "gdi/CMeasureDC.h"
#include "gdi/CPen.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDrag>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

#include <algorithm>
#include <cstring>

namespace gridctrl {

namespace {

COLORREF FromQColor(const QColor& colour)
{
    return RGB(static_cast<BYTE>(colour.red()), static_cast<BYTE>(colour.green()), static_cast<BYTE>(colour.blue()));
}

bool IsNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

}  // namespace

// The in-place editor over one cell. It closes itself on Enter, Tab, Esc, on leaving arrows and when it loses the
// focus, and reports once to the grid.
class CGridInPlaceEdit : public QLineEdit
{
public:
    CGridInPlaceEdit(CGridCtrl* grid, QWidget* parent, const QRect& rect, Qt::Alignment alignment, int row,
                     int column, const QString& text, int key, const QString& character)
        : QLineEdit(parent), m_grid(grid), m_row(row), m_column(column), m_initial(text)
    {
        // Arrows leave an editor that typing opened; one opened by a click, F2 or Enter keeps them for the caret.
        m_exitOnArrows = !character.isEmpty() || (key != 0 && key != Qt::Key_F2 && key != Qt::Key_Return &&
                                                  key != Qt::Key_Enter);
        setObjectName("gridEditor");
        setFrame(true);
        setAlignment(alignment);
        setGeometry(rect);
        setText(text);
        if (!character.isEmpty()) {
            // The typed character replaces the text, whatever character it is.
            setText(character);
            end(false);
        } else if (key == 0 || key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter) {
            end(false);
        } else if (key == Qt::Key_Backspace) {
            end(false);
            backspace();
        } else {
            selectAll();
        }
        show();
        setFocus(Qt::OtherFocusReason);
    }

    int Row() const { return m_row; }
    int Column() const { return m_column; }

    void Finish(int lastKey)
    {
        if (m_finished)
            return;
        m_finished = true;
        m_lastKey = lastKey;
        hide();
        const std::string value = text().toStdString();
        CGridCtrl* grid = m_grid;
        const int row = m_row, column = m_column;
        deleteLater();
        grid->OnEditEnded(row, column, value, lastKey);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const int key = event->key();
        if (key == Qt::Key_Escape) {
            setText(m_initial);
            Finish(key);
            return;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            Finish(key);
            return;
        }
        const bool arrow = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down ||
                           key == Qt::Key_PageUp || key == Qt::Key_PageDown;
        if (arrow && (m_exitOnArrows || (event->modifiers() & Qt::ControlModifier))) {
            Finish(key);
            return;
        }
        QLineEdit::keyPressEvent(event);
        // Widen to the text plus two blanks, up to the grid's right edge.
        const int wanted = fontMetrics().horizontalAdvance(text() + "  ") + 6;
        if (wanted > width())
            resize(std::min(wanted, parentWidget()->width() - x()), height());
    }

    void focusOutEvent(QFocusEvent* event) override
    {
        QLineEdit::focusOutEvent(event);
        Finish(0);
    }

    bool event(QEvent* event) override
    {
        // Tab belongs to the editor, not to the focus chain.
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
                keyPressEvent(key);
                return true;
            }
        }
        return QLineEdit::event(event);
    }

private:
    CGridCtrl* m_grid;
    int m_row;
    int m_column;
    QString m_initial;
    bool m_exitOnArrows = false;
    bool m_finished = false;
    int m_lastKey = 0;
};

CGridCtrl::CGridCtrl(int rows, int columns, int fixedRows, int fixedColumns, QWidget* parent)
    : QAbstractScrollArea(parent), CGridModel(rows, columns, fixedRows, fixedColumns)
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    viewport()->setAcceptDrops(true);
    ReadSystemColours();
    for (bool fixedRow : {false, true})
        for (bool fixedColumn : {false, true}) {
            CGridDefaultCell& cell = GetDefaultCell(fixedRow, fixedColumn);
            cell.SetTextColor(m_systemColours[0]);
            cell.SetBackColor(fixedRow || fixedColumn ? m_systemColours[2] : m_systemColours[1]);
        }
    SetGridBkColor(m_systemColours[3]);
    ApplyFontToDefaultCells();
    m_autoScroll.setInterval(25);
    connect(&m_autoScroll, &QTimer::timeout, this, [this] { OnAutoScroll(); });
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { OnScrollAction(false, action); });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { OnScrollAction(true, action); });
}

void CGridCtrl::ReadSystemColours()
{
    const QPalette colours = palette();
    m_systemColours[0] = FromQColor(colours.color(QPalette::Text));
    m_systemColours[1] = FromQColor(colours.color(QPalette::Base));
    m_systemColours[2] = FromQColor(colours.color(QPalette::Button));
    m_systemColours[3] = FromQColor(colours.color(QPalette::Shadow));
}

void CGridCtrl::ApplyFontToDefaultCells()
{
    const QFont font = this->font();
    LOGFONTA logFont{};
    logFont.lfHeight = -QFontInfo(font).pixelSize();
    logFont.lfWeight = font.bold() ? 700 : 400;
    logFont.lfItalic = font.italic() ? 1 : 0;
    const QByteArray face = font.family().toUtf8();
    std::strncpy(logFont.lfFaceName, face.constData(), sizeof logFont.lfFaceName - 1);
    for (bool fixedRow : {false, true})
        for (bool fixedColumn : {false, true})
            GetDefaultCell(fixedRow, fixedColumn).SetFont(&logFont);
}

void CGridCtrl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        ApplyFontToDefaultCells();
        viewport()->update();
    } else if (event->type() == QEvent::PaletteChange) {
        // Colours that still follow the system's take its new ones; colours the owner chose stay.
        const COLORREF old[4] = {m_systemColours[0], m_systemColours[1], m_systemColours[2], m_systemColours[3]};
        ReadSystemColours();
        for (bool fixedRow : {false, true})
            for (bool fixedColumn : {false, true}) {
                CGridDefaultCell& cell = GetDefaultCell(fixedRow, fixedColumn);
                if (cell.GetTextColor() == old[0])
                    cell.SetTextColor(m_systemColours[0]);
                if (cell.GetBackColor() == old[1])
                    cell.SetBackColor(m_systemColours[1]);
                if (cell.GetBackColor() == old[2] && (fixedRow || fixedColumn))
                    cell.SetBackColor(m_systemColours[2]);
            }
        if (GetGridBkColor() == old[3])
            SetGridBkColor(m_systemColours[3]);
        viewport()->update();
    }
    QAbstractScrollArea::changeEvent(event);
}

CGridCtrl::~CGridCtrl()
{
    if (m_editor)
        m_editor->blockSignals(true);
    delete m_editor;
}

void CGridCtrl::OnGridChanged(bool layout)
{
    if (layout) {
        ++m_layoutGeneration;
        UpdateScrollBars();
    }
    viewport()->update();
}

void CGridCtrl::OnNotify(int code, int row, int column)
{
    if (onNotify)
        onNotify(code, row, column);
}

void CGridCtrl::OnCacheHint(const CGridCellRange& range)
{
    OnNotify(GVN_ODCACHEHINT, range.minRow, range.minCol);
    if (onCacheHint)
        onCacheHint(range);
}

void CGridCtrl::Refresh()
{
    viewport()->update();
}

int CGridCtrl::ColumnLeft(int column) const
{
    int x = 0;
    if (column < GetFixedColumnCount()) {
        for (int c = 0; c < column; ++c)
            x += GetColumnWidth(c);
        return x;
    }
    const CGridCellId topLeft = GetTopLeftNonFixedCell();
    if (column < topLeft.col)
        return -1;
    x = GetFixedColumnWidth();
    for (int c = topLeft.col; c < column; ++c)
        x += GetColumnWidth(c);
    return x;
}

int CGridCtrl::RowTop(int row) const
{
    int y = 0;
    if (row < GetFixedRowCount()) {
        for (int r = 0; r < row; ++r)
            y += GetRowHeight(r);
        return y;
    }
    const CGridCellId topLeft = GetTopLeftNonFixedCell();
    if (row < topLeft.row)
        return -1;
    y = GetFixedRowHeight();
    for (int r = topLeft.row; r < row; ++r)
        y += GetRowHeight(r);
    return y;
}

CGridCellId CGridCtrl::GetTopLeftNonFixedCell() const
{
    // Scroll positions are pixels; the view starts at the first cell whose running sum reaches the position. Worked
    // out once per position and layout: geometry asks for it for every cell.
    const int key[3] = {horizontalScrollBar()->value(), verticalScrollBar()->value(), m_layoutGeneration};
    if (std::equal(key, key + 3, m_topLeftKey))
        return m_topLeft;
    std::copy(key, key + 3, m_topLeftKey);
    CGridCellId& cell = m_topLeft;
    cell = {GetFixedRowCount(), GetFixedColumnCount()};
    int sum = 0;
    for (const int position = horizontalScrollBar()->value(); sum < position && cell.col < GetColumnCount() - 1;)
        sum += GetColumnWidth(cell.col++);
    sum = 0;
    for (const int position = verticalScrollBar()->value(); sum < position && cell.row < GetRowCount() - 1;)
        sum += GetRowHeight(cell.row++);
    return cell;
}

CGridCellRange CGridCtrl::GetVisibleNonFixedCellRange() const
{
    const CGridCellId topLeft = GetTopLeftNonFixedCell();
    const QSize client = viewport()->size();
    int bottom = GetFixedRowHeight(), row = topLeft.row;
    for (; bottom < client.height() && row < GetRowCount(); ++row)
        bottom += GetRowHeight(row);
    int right = GetFixedColumnWidth(), column = topLeft.col;
    for (; right < client.width() && column < GetColumnCount(); ++column)
        right += GetColumnWidth(column);
    return {topLeft.row, topLeft.col, std::min(row, GetRowCount()) - 1, std::min(column, GetColumnCount()) - 1};
}

CGridCellRange CGridCtrl::GetUnobstructedNonFixedCellRange() const
{
    CGridCellRange range = GetVisibleNonFixedCellRange();
    if (!IsValid(range))
        return range;
    QRect rect;
    if (range.maxRow > range.minRow && GetCellRect(range.maxRow, range.minCol, rect) &&
        rect.bottom() >= viewport()->height())
        --range.maxRow;
    if (range.maxCol > range.minCol && GetCellRect(range.minRow, range.maxCol, rect) &&
        rect.right() >= viewport()->width())
        --range.maxCol;
    return range;
}

bool CGridCtrl::GetCellRect(int row, int column, QRect& rect) const
{
    if (!IsValid(row, column))
        return false;
    const int x = ColumnLeft(column), y = RowTop(row);
    if (x < 0 || y < 0)
        return false;
    rect = QRect(x, y, GetColumnWidth(column), GetRowHeight(row));
    return true;
}

CGridCellId CGridCtrl::CellFromPoint(QPoint point, bool allowFixed) const
{
    const CGridCellId topLeft = GetTopLeftNonFixedCell();
    const auto find = [](int coordinate, int fixedCount, int fixedSize, int first, int count, bool fixedAllowed,
                         auto size) {
        if (coordinate < 0)
            return -1;
        if (coordinate < fixedSize) {
            if (!fixedAllowed)
                return -1;
            int edge = 0;
            for (int i = 0; i < fixedCount; ++i) {
                edge += size(i);
                if (coordinate < edge)
                    return i;
            }
            return -1;
        }
        int edge = fixedSize;
        for (int i = first; i < count; ++i) {
            edge += size(i);
            if (coordinate < edge)
                return i;
        }
        return -1;
    };
    const int column = find(point.x(), GetFixedColumnCount(), GetFixedColumnWidth(), topLeft.col, GetColumnCount(),
                            allowFixed, [this](int c) { return GetColumnWidth(c); });
    const int row = find(point.y(), GetFixedRowCount(), GetFixedRowHeight(), topLeft.row, GetRowCount(), allowFixed,
                         [this](int r) { return GetRowHeight(r); });
    if (row < 0 || column < 0)
        return {};
    return {row, column};
}

bool CGridCtrl::IsCellVisible(int row, int column) const
{
    const int x = ColumnLeft(column), y = RowTop(row);
    return IsValid(row, column) && x >= 0 && y >= 0 && x < viewport()->width() && y < viewport()->height();
}

void CGridCtrl::EnsureVisible(int row, int column)
{
    if (!IsValid(row, column))
        return;
    // Bounded: every pass moves at least one row or column, or stops.
    for (int guard = GetRowCount() + GetColumnCount(); guard > 0; --guard) {
        QRect rect;
        const bool known = GetCellRect(row, column, rect);
        const CGridCellId topLeft = GetTopLeftNonFixedCell();
        QScrollBar* h = horizontalScrollBar();
        QScrollBar* v = verticalScrollBar();
        if (column >= GetFixedColumnCount() && column < topLeft.col)
            OnScrollAction(false, QAbstractSlider::SliderSingleStepSub);
        else if (row >= GetFixedRowCount() && row < topLeft.row)
            OnScrollAction(true, QAbstractSlider::SliderSingleStepSub);
        else if (known && column >= GetFixedColumnCount() && rect.right() >= viewport()->width() &&
                 rect.left() > GetFixedColumnWidth() && h->value() < h->maximum())
            OnScrollAction(false, QAbstractSlider::SliderSingleStepAdd);
        else if (known && row >= GetFixedRowCount() && rect.bottom() >= viewport()->height() &&
                 rect.top() > GetFixedRowHeight() && v->value() < v->maximum())
            OnScrollAction(true, QAbstractSlider::SliderSingleStepAdd);
        else
            return;
    }
}

void CGridCtrl::UpdateScrollBars()
{
    if (!m_allowDraw)
        return;
    const QSize client = maximumViewportSize();
    const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
    int width = client.width(), height = client.height();
    const int contentW = GetVirtualWidth() - fixedW, contentH = GetVirtualHeight() - fixedH;
    const int barW = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    bool showV = false, showH = false;
    if (width > fixedW && height > fixedH) {
        if (contentH > height - fixedH) {
            showV = true;
            width -= barW;
        }
        if (contentW > width - fixedW) {
            showH = true;
            height -= barW;
            if (!showV && contentH > height - fixedH) {
                showV = true;
                width -= barW;
            }
        }
    }
    setHorizontalScrollBarPolicy(showH ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(showV ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    horizontalScrollBar()->setRange(0, showH ? std::max(0, contentW - (width - fixedW)) : 0);
    horizontalScrollBar()->setPageStep(std::max(1, width - fixedW));
    verticalScrollBar()->setRange(0, showV ? std::max(0, contentH - (height - fixedH)) : 0);
    verticalScrollBar()->setPageStep(std::max(1, height - fixedH));
}

void CGridCtrl::OnScrollAction(bool vertical, int action)
{
    EndCellEdit();
    // Line steps move by whole rows or columns, skipping hidden ones.
    QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
    const CGridCellId topLeft = GetTopLeftNonFixedCell();
    const int first = vertical ? GetFixedRowCount() : GetFixedColumnCount();
    const int count = vertical ? GetRowCount() : GetColumnCount();
    const auto size = [&](int i) { return vertical ? GetRowHeight(i) : GetColumnWidth(i); };
    int at = vertical ? topLeft.row : topLeft.col;
    int position = bar->value();
    if (action == QAbstractSlider::SliderSingleStepAdd) {
        while (at < count - 1 && size(at) < 1)
            ++at;
        position = std::min(bar->maximum(), position + std::max(0, size(at)));
    } else if (action == QAbstractSlider::SliderSingleStepSub) {
        int previous = at - 1;
        while (previous >= first && size(previous) < 1)
            --previous;
        if (previous >= first)
            position = std::max(0, position - size(previous));
    } else {
        return;
    }
    bar->setSliderPosition(position);
    bar->setValue(position);
    viewport()->update();
}

void CGridCtrl::scrollContentsBy(int, int)
{
    viewport()->update();
}

void CGridCtrl::resizeEvent(QResizeEvent* event)
{
    EndCellEdit();
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CGridCtrl::wheelEvent(QWheelEvent* event)
{
    const int lines = QApplication::wheelScrollLines();
    const int delta = event->angleDelta().y();
    const int steps = lines < 0 ? delta / 120 : lines * delta / 120;
    const auto action = lines < 0 ? (steps > 0 ? QAbstractSlider::SliderPageStepSub : QAbstractSlider::SliderPageStepAdd)
                                  : (steps > 0 ? QAbstractSlider::SliderSingleStepSub
                                               : QAbstractSlider::SliderSingleStepAdd);
    for (int i = 0; i < std::abs(steps); ++i) {
        if (lines < 0)
            verticalScrollBar()->triggerAction(action);
        else
            OnScrollAction(true, action);
    }
    event->accept();
}

void CGridCtrl::ExpandColumnsToFit(bool includeFixed)
{
    SpreadSpareSpace(false, includeFixed);
}

void CGridCtrl::ExpandRowsToFit(bool includeFixed)
{
    SpreadSpareSpace(true, includeFixed);
}

void CGridCtrl::SpreadSpareSpace(bool rows, bool includeFixed)
{
    // Each row or column gets the same share; the remainder goes a pixel at a time to the first ones (a negative
    // one takes a pixel from each of them).
    const int count = rows ? GetRowCount() : GetColumnCount();
    const int first = includeFixed ? 0 : (rows ? GetFixedRowCount() : GetFixedColumnCount());
    if (count - first <= 0)
        return;
    const int spare = rows ? viewport()->height() - GetVirtualHeight() : viewport()->width() - GetVirtualWidth();
    const int each = spare / (count - first);
    int remainder = spare % (count - first);
    for (int i = first; i < count; ++i) {
        int size = (rows ? GetRowHeight(i) : GetColumnWidth(i)) + each;
        if (remainder > 0) {
            ++size;
            --remainder;
        } else if (remainder < 0) {
            --size;
            ++remainder;
        }
        if (rows)
            SetRowHeight(i, std::max(0, size));
        else
            SetColumnWidth(i, std::max(0, size));
    }
}

void CGridCtrl::ExpandLastColumn()
{
    if (GetColumnCount() == 0)
        return;
    int spare = viewport()->width() - GetVirtualWidth();
    if (GetVirtualHeight() > viewport()->height())
        spare -= style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (spare > 0)
        SetColumnWidth(GetColumnCount() - 1, GetColumnWidth(GetColumnCount() - 1) + spare);
}

void CGridCtrl::ExpandToFit(bool includeFixed)
{
    ExpandColumnsToFit(includeFixed);
    ExpandRowsToFit(includeFixed);
    ExpandColumnsToFit(includeFixed);
    viewport()->update();
}

void CGridCtrl::FillClientWithCells()
{
    const CGridDefaultCell& cell = GetDefaultCell(false, false);
    SetColumnCount(viewport()->width() / std::max(1, cell.GetWidth()) + 1);
    SetRowCount(viewport()->height() / std::max(1, cell.GetHeight()) + 1);
    SetFixedRowCount(1);
    SetFixedColumnCount(1);
    ExpandToFit(true);
}

void CGridCtrl::SetRedraw(bool allow, bool resetScrollBars)
{
    m_allowDraw = allow;
    if (allow) {
        if (resetScrollBars)
            UpdateScrollBars();
        viewport()->update();
    }
}

void CGridCtrl::EraseBackground(CDC& dc, const CGridCellRange&, int right, int bottom) const
{
    // A few rectangles instead of one fill per cell: the corner, both heading strips, the cells, and the grid's
    // background beyond them.
    const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
    const auto fill = [&dc](int left, int top, int r, int b, COLORREF colour) {
        if (r > left && b > top)
            dc.FillSolidRect(left, top, r - left, b - top, colour);
    };
    fill(0, 0, viewport()->width(), viewport()->height(), GetGridBkColor());
    fill(0, 0, fixedW, fixedH, GetDefaultCell(true, true).GetBackColor());
    fill(0, fixedH, fixedW, bottom, GetDefaultCell(false, true).GetBackColor());
    fill(fixedW, 0, right, fixedH, GetDefaultCell(true, false).GetBackColor());
    fill(fixedW, fixedH, right, bottom, GetDefaultCell(false, false).GetBackColor());
}

void CGridCtrl::Render(QImage& image) const
{
    CDC dc(image);
    const CGridCellRange visible = GetVisibleNonFixedCellRange();
    const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
    const bool anyRows = visible.minRow >= 0 && visible.maxRow >= visible.minRow;
    const bool anyColumns = visible.minCol >= 0 && visible.maxCol >= visible.minCol;
    // The right and bottom edges of the visible cells.
    int right = fixedW, bottom = fixedH;
    for (int c = visible.minCol; anyColumns && c <= visible.maxCol; ++c)
        right += GetColumnWidth(c);
    for (int r = visible.minRow; anyRows && r <= visible.maxRow; ++r)
        bottom += GetRowHeight(r);
    right = std::min(right, image.width());
    bottom = std::min(bottom, image.height());
    EraseBackground(dc, visible, right, bottom);
    if (GetVirtualMode())
        const_cast<CGridCtrl*>(this)->OnCacheHint(visible);

    // Rows and columns walked with running edges; the walk stops at the first one past the image.
    const auto drawRange = [&](int firstRow, int lastRow, int top, int firstColumn, int lastColumn, int left) {
        int y = top;
        for (int r = firstRow; r <= lastRow && y < image.height(); ++r) {
            const int h = GetRowHeight(r);
            int x = left;
            for (int c = firstColumn; c <= lastColumn && x < image.width() && h > 0; ++c) {
                const int w = GetColumnWidth(c);
                if (w > 0)
                    if (const CGridCell* cell = GetCell(r, c))
                        cell->Draw(dc, r, c, RECT{x, y, x + w - 1, y + h - 1}, false);
                x += w;
            }
            y += h;
        }
    };
    drawRange(0, GetFixedRowCount() - 1, 0, 0, GetFixedColumnCount() - 1, 0);
    if (anyRows)
        drawRange(visible.minRow, visible.maxRow, fixedH, 0, GetFixedColumnCount() - 1, 0);
    if (anyColumns)
        drawRange(0, GetFixedRowCount() - 1, 0, visible.minCol, visible.maxCol, fixedW);
    if (anyRows && anyColumns)
        drawRange(visible.minRow, visible.maxRow, fixedH, visible.minCol, visible.maxCol, fixedW);

    // Grid lines on the last pixel of each visible non-fixed row and column.
    CPen pen(PS_SOLID, 0, GetGridLineColor());
    CPen* oldPen = dc.SelectObject(&pen);
    if ((GetGridLines() & GVL_VERT) && anyColumns)
        for (int c = visible.minCol, x = fixedW; c <= visible.maxCol; ++c) {
            x += GetColumnWidth(c);
            dc.MoveTo(x - 1, fixedH);
            dc.LineTo(x - 1, bottom);
        }
    if ((GetGridLines() & GVL_HORZ) && anyRows)
        for (int r = visible.minRow, y = fixedH; r <= visible.maxRow; ++r) {
            y += GetRowHeight(r);
            dc.MoveTo(fixedW, y - 1);
            dc.LineTo(right, y - 1);
        }
    dc.SelectObject(oldPen);
    // The line that follows a divider being dragged, two pixels wide.
    if (m_sizingLine >= 0) {
        const RECT line = m_mouseMode == MouseMode::SizingColumn
                              ? RECT{m_sizingLine - 1, 0, m_sizingLine + 1, image.height()}
                              : RECT{0, m_sizingLine - 1, image.width(), m_sizingLine + 1};
        dc.InvertRect(&line);
    }
    if (GetVirtualMode())
        const_cast<CGridCtrl*>(this)->OnCacheHint({});
}

void CGridCtrl::paintEvent(QPaintEvent*)
{
    if (!m_allowDraw)
        return;
    QImage image(viewport()->size(), QImage::Format_RGB32);
    if (image.isNull())
        return;
    Render(image);
    QPainter(viewport()).drawImage(0, 0, image);
}

bool CGridCtrl::focusNextPrevChild(bool next)
{
    // The grid takes Tab itself, unless told to leave it to the dialog.
    if (m_handleTab && IsValid(GetFocusCell()))
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

CGridCellId CGridCtrl::NextCell(int key, Qt::KeyboardModifiers modifiers)
{
    const CGridCellId focus = GetFocusCell();
    if (key == Qt::Key_PageDown || key == Qt::Key_PageUp) {
        // The view scrolls a page and the focus moves by as many rows as the top row did; to the first or last row
        // when the view could not move.
        const bool down = key == Qt::Key_PageDown;
        const int before = GetTopLeftNonFixedCell().row;
        verticalScrollBar()->triggerAction(down ? QAbstractSlider::SliderPageStepAdd
                                                : QAbstractSlider::SliderPageStepSub);
        const int moved = GetTopLeftNonFixedCell().row - before;
        const int firstRow = GetFixedRowCount(), lastRow = GetRowCount() - 1;
        int row = moved == 0 ? (down ? lastRow : firstRow) : std::clamp(focus.row + moved, firstRow, lastRow);
        for (const int step = down ? -1 : 1; row >= firstRow && row <= lastRow && GetRowHeight(row) == 0;)
            row += step;
        viewport()->update();
        return row >= firstRow && row <= lastRow ? CGridCellId{row, focus.col} : focus;
    }
    CGridCellId next = focus;
    const int firstRow = GetFixedRowCount(), firstColumn = GetFixedColumnCount();
    const int lastRow = GetRowCount() - 1, lastColumn = GetColumnCount() - 1;
    const auto visibleColumn = [&](int from, int step) {
        for (int c = from; c >= firstColumn && c <= lastColumn; c += step)
            if (GetColumnWidth(c) > 0)
                return c;
        return -1;
    };
    const auto visibleRow = [&](int from, int step) {
        for (int r = from; r >= firstRow && r <= lastRow; r += step)
            if (GetRowHeight(r) > 0)
                return r;
        return -1;
    };
    const bool ctrl = modifiers & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Left:
        if (int c = visibleColumn(focus.col - 1, -1); c >= 0)
            next.col = c;
        break;
    case Qt::Key_Right:
        if (int c = visibleColumn(focus.col + 1, 1); c >= 0)
            next.col = c;
        break;
    case Qt::Key_Up:
        if (int r = visibleRow(focus.row - 1, -1); r >= 0)
            next.row = r;
        break;
    case Qt::Key_Down:
        if (int r = visibleRow(focus.row + 1, 1); r >= 0)
            next.row = r;
        break;
    case Qt::Key_Tab:
        if (int c = visibleColumn(focus.col + 1, 1); c >= 0)
            next.col = c;
        else if (int r = visibleRow(focus.row + 1, 1); r >= 0)
            next = {r, visibleColumn(firstColumn, 1)};
        break;
    case Qt::Key_Backtab:
        if (int c = visibleColumn(focus.col - 1, -1); c >= 0)
            next.col = c;
        else if (int r = visibleRow(focus.row - 1, -1); r >= 0)
            next = {r, visibleColumn(lastColumn, -1)};
        break;
    case Qt::Key_Home:
        next.col = visibleColumn(firstColumn, 1);
        next.row = visibleRow(ctrl ? firstRow : focus.row, 1);
        break;
    case Qt::Key_End:
        next.col = visibleColumn(lastColumn, -1);
        next.row = visibleRow(ctrl ? lastRow : focus.row, -1);
        break;
    default:
        break;
    }
    if (next.row < 0 || next.col < 0)
        return focus;
    return next;
}

void CGridCtrl::MoveFocus(CGridCellId next, bool extend)
{
    if (m_mouseMode == MouseMode::Nothing) {
        // Whole rows in list mode, else cells; without Shift the selection collapses to the new cell.
        ForgetKeptSelection();
        if (!extend)
            SetSelectionStart(next);
        m_mouseMode = GetListMode() ? MouseMode::SelectRows : MouseMode::SelectCells;
        ExtendSelection(next);
        m_mouseMode = MouseMode::Nothing;
    }
    SetFocusCell(next);
    EnsureVisible(next.row, next.col);
}

void CGridCtrl::keyPressEvent(QKeyEvent* event)
{
    const CGridCellId focus = GetFocusCell();
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    if (!IsValid(focus)) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (ctrl) {
        if (key == Qt::Key_C || key == Qt::Key_Insert)
            OnEditCopy();
        else if (key == Qt::Key_X)
            OnEditCut();
        else if (key == Qt::Key_V)
            OnEditPaste();
        else if (key == Qt::Key_A)
            SelectAllCells();
        if (key == Qt::Key_C || key == Qt::Key_Insert || key == Qt::Key_X || key == Qt::Key_V || key == Qt::Key_A)
            return;
    }
    if (shift && key == Qt::Key_Insert) {
        OnEditPaste();
        return;
    }
    if (key == Qt::Key_F2) {
        BeginCellEdit(focus.row, focus.col, Qt::Key_F2);
        return;
    }
    if (key == Qt::Key_Delete) {
        if (IsCellEditable(focus.row, focus.col)) {
            OnNotify(GVN_BEGINLABELEDIT, focus.row, focus.col);
            SetItemText(focus.row, focus.col, {});
            OnNotify(GVN_ENDLABELEDIT, focus.row, focus.col);
        }
        return;
    }
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && !m_handleTab) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (IsNavigationKey(key)) {
        const CGridCellId next = NextCell(key, modifiers);
        if (!(next == focus))
            MoveFocus(next, shift && key != Qt::Key_Tab && key != Qt::Key_Backtab);
        return;
    }
    // A character: Enter opens the editor on the text, Backspace without its last character, anything printable
    // replaces it. The character is never read as a key code.
    const QString text = event->text();
    const bool mouseBusy = m_mouseMode != MouseMode::Nothing && m_mouseMode != MouseMode::OverColumnDivider &&
                           m_mouseMode != MouseMode::OverRowDivider;
    if (!ctrl && !mouseBusy && !text.isEmpty() && text != QStringLiteral("\x1b")) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Backspace)
            BeginCellEdit(focus.row, focus.col, key);
        else if (text.at(0).isPrint())
            BeginCellEdit(focus.row, focus.col, 0, text);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

bool CGridCtrl::BeginCellEdit(int row, int column, int key, const QString& character)
{
    if (!IsValid(row, column) || !IsCellEditable(row, column) || m_editor)
        return false;
    EnsureVisible(row, column);
    QRect rect;
    if (!IsCellVisible(row, column) || !GetCellRect(row, column, rect))
        return false;
    OnNotify(GVN_BEGINLABELEDIT, row, column);
    CGridCell* cell = GetCell(row, column);
    cell->SetEditing(true);
    const uint32_t format = cell->GetFormat();
    const Qt::Alignment alignment = (format & DT_RIGHT) ? Qt::AlignRight : (format & DT_CENTER) ? Qt::AlignHCenter
                                                                                                 : Qt::AlignLeft;
    m_editor = new CGridInPlaceEdit(this, viewport(), rect.adjusted(0, 0, -1, -1), alignment, row, column,
                                    QString::fromStdString(cell->GetText()), key, character);
    return true;
}

void CGridCtrl::EndCellEdit()
{
    if (m_editor)
        m_editor->Finish(0);
}

QLineEdit* CGridCtrl::Editor() const
{
    return m_editor;
}

void CGridCtrl::OnEditEnded(int row, int column, const std::string& text, int lastKey)
{
    m_editor = nullptr;
    if (CGridCell* cell = GetCell(row, column)) {
        if (cell->GetText() != text)
            SetItemText(row, column, text);
        cell->SetEditing(false);
    }
    OnNotify(GVN_ENDLABELEDIT, row, column);
    viewport()->update();
    if (hasFocus() || QApplication::focusWidget() == nullptr || QApplication::focusWidget() == viewport())
        setFocus(Qt::OtherFocusReason);
    if (lastKey != Qt::Key_Escape && lastKey != 0)
        setFocus(Qt::OtherFocusReason);
    if (IsNavigationKey(lastKey)) {
        const CGridCellId focus = GetFocusCell();
        const CGridCellId next = NextCell(lastKey, Qt::NoModifier);
        if (!(next == focus)) {
            MoveFocus(next, false);
            BeginCellEdit(next.row, next.col, lastKey);
        }
    }
}

bool CGridCtrl::CanCopy() const
{
    const CGridCellRange range = GetSelectedCellRange();
    return IsValid(range) && range.Count() > 0;
}

bool CGridCtrl::CanCut() const
{
    return IsEditable() && CanCopy();
}

bool CGridCtrl::CanPaste() const
{
    const CGridCellId focus = GetFocusCell();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return IsValid(focus) && IsCellEditable(focus.row, focus.col) && data && data->hasText();
}

void CGridCtrl::OnEditCopy()
{
    const CGridCellRange range = GetSelectedCellRange();
    if (!IsValid(range))
        return;
    QApplication::clipboard()->setText(QString::fromStdString(CopySelectionText()));
}

void CGridCtrl::OnEditCut()
{
    if (!IsEditable())
        return;
    OnEditCopy();
    ClearSelectedText();
}

void CGridCtrl::OnEditPaste()
{
    if (!IsEditable())
        return;
    CGridCellId target = GetFocusCell();
    if (!IsValid(target))
        target = GetTopLeftNonFixedCell();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return;
    PasteText(target, data->text().toStdString());
}

int CGridCtrl::ColumnDividerAt(QPoint point) const
{
    // Only inside the heading rows, within the capture range of a cell's right edge (or of its left edge, which
    // is the previous column's right).
    constexpr int kCapture = 3;
    if (point.y() < 0 || point.y() >= GetFixedRowHeight())
        return -1;
    const CGridCellId cell = CellFromPoint(point);
    QRect rect;
    if (!IsValid(cell) || !GetCellRect(cell.row, cell.col, rect)) {
        // Just right of the last column: its divider is still in reach.
        const int last = GetColumnCount() - 1;
        if (last >= 0 && GetCellRect(0, last, rect) && point.x() >= rect.right() &&
            point.x() <= rect.right() + kCapture)
            return last;
        return -1;
    }
    if (point.x() >= rect.right() + 1 - kCapture)
        return cell.col;
    if (cell.col > 0 && point.x() <= rect.left() + kCapture) {
        // The nearest column to the left; hidden ones are skipped unless they may be pulled open again.
        int column = cell.col - 1;
        if (!GetHiddenColUnhide())
            while (column >= 0 && GetColumnWidth(column) == 0)
                --column;
        if (column >= 0 && (column < GetFixedColumnCount() || column >= GetTopLeftNonFixedCell().col ||
                            GetColumnWidth(column) == 0))
            return column;
    }
    return -1;
}

int CGridCtrl::RowDividerAt(QPoint point) const
{
    constexpr int kCapture = 3;
    if (point.x() < 0 || point.x() >= GetFixedColumnWidth())
        return -1;
    const CGridCellId cell = CellFromPoint(point);
    QRect rect;
    if (!IsValid(cell) || !GetCellRect(cell.row, cell.col, rect)) {
        const int last = GetRowCount() - 1;
        if (last >= 0 && GetCellRect(last, 0, rect) && point.y() >= rect.bottom() &&
            point.y() <= rect.bottom() + kCapture)
            return last;
        return -1;
    }
    if (point.y() >= rect.bottom() + 1 - kCapture)
        return cell.row;
    if (cell.row > 0 && point.y() <= rect.top() + kCapture) {
        int row = cell.row - 1;
        if (!GetHiddenRowUnhide())
            while (row >= 0 && GetRowHeight(row) == 0)
                --row;
        if (row >= 0 && (row < GetFixedRowCount() || row >= GetTopLeftNonFixedCell().row || GetRowHeight(row) == 0))
            return row;
    }
    return -1;
}

void CGridCtrl::UpdateHoverMode(QPoint point)
{
    if (GetColumnResize() && ColumnDividerAt(point) >= 0) {
        m_mouseMode = MouseMode::OverColumnDivider;
        viewport()->setCursor(Qt::SizeHorCursor);
    } else if (GetRowResize() && RowDividerAt(point) >= 0) {
        m_mouseMode = MouseMode::OverRowDivider;
        viewport()->setCursor(Qt::SizeVerCursor);
    } else {
        m_mouseMode = MouseMode::Nothing;
        viewport()->setCursor(Qt::ArrowCursor);
    }
}

void CGridCtrl::ExtendSelection(CGridCellId cell)
{
    const CGridCellId start = GetSelectionStart();
    const int firstRow = GetFixedRowCount(), firstColumn = GetFixedColumnCount();
    const int lastRow = GetRowCount() - 1, lastColumn = GetColumnCount() - 1;
    switch (m_mouseMode) {
    case MouseMode::SelectAll:
        SelectAllCells();
        break;
    case MouseMode::SelectColumns:
        if (cell.col >= firstColumn && cell.col <= lastColumn) {
            const int from = GetSingleColSelection() || !IsValid(start) ? cell.col : std::max(start.col, firstColumn);
            SelectRange({firstRow, std::min(from, cell.col), lastRow, std::max(from, cell.col)});
        }
        break;
    case MouseMode::SelectRows:
        if (cell.row >= firstRow && cell.row <= lastRow) {
            const bool single = GetListMode() && GetSingleRowSelection();
            const int from = single || !IsValid(start) ? cell.row : std::max(start.row, firstRow);
            SelectRange({std::min(from, cell.row), firstColumn, std::max(from, cell.row), lastColumn});
        }
        break;
    case MouseMode::SelectCells:
        if (IsValid(cell) && !IsCellFixed(cell.row, cell.col) && IsValid(start))
            SelectRange({std::min(start.row, cell.row), std::min(start.col, cell.col), std::max(start.row, cell.row),
                         std::max(start.col, cell.col)});
        break;
    default:
        break;
    }
}

void CGridCtrl::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    m_leftDown = true;
    m_clickDownPoint = point;
    m_lastPoint = point;
    m_clickDown = CellFromPoint(point);
    if (!IsValid(m_clickDown))
        return;
    if (!shift)
        SetSelectionStart(m_clickDown);
    else if (!IsValid(GetSelectionStart()))
        SetSelectionStart(GetFocusCell());
    EndCellEdit();
    QRect rect;
    if (GetCellRect(m_clickDown.row, m_clickDown.col, rect))
        if (CGridCell* cell = GetCell(m_clickDown.row, m_clickDown.col))
            cell->OnClickDown(POINT{point.x() - rect.left(), point.y() - rect.top()});

    if (m_clickDown == GetFocusCell()) {
        if (IsCellEditable(m_clickDown.row, m_clickDown.col)) {
            m_mouseMode = MouseMode::PrepareEdit;
            return;
        }
    } else if (IsCellSelected(m_clickDown.row, m_clickDown.col)) {
        if (ctrl) {
            // A Ctrl+click on a selected cell takes it (or its run from the anchor) out of the selection.
            SetFocusCell(m_clickDown);
            const CGridCellId start = shift ? GetSelectionStart() : m_clickDown;
            CGridCellRange range{std::min(start.row, m_clickDown.row), std::min(start.col, m_clickDown.col),
                                 std::max(start.row, m_clickDown.row), std::max(start.col, m_clickDown.col)};
            if (GetListMode()) {
                range.minCol = GetFixedColumnCount();
                range.maxCol = GetColumnCount() - 1;
            }
            SelectRange(range, false);
            KeepSelection();
            m_mouseMode = MouseMode::Nothing;
            return;
        }
        if (GetDragAndDrop())
            m_mouseMode = MouseMode::PrepareDrag;
    } else if (m_mouseMode != MouseMode::OverColumnDivider && m_mouseMode != MouseMode::OverRowDivider) {
        SetFocusCell({});
        SetFocusCell({std::max(m_clickDown.row, GetFixedRowCount()), std::max(m_clickDown.col, GetFixedColumnCount())});
    }

    if (m_mouseMode == MouseMode::Nothing) {
        if (GetColumnResize() && ColumnDividerAt(point) >= 0)
            m_mouseMode = MouseMode::OverColumnDivider;
        else if (GetRowResize() && RowDividerAt(point) >= 0)
            m_mouseMode = MouseMode::OverRowDivider;
    }
    if (m_mouseMode == MouseMode::OverColumnDivider) {
        m_sizing = ColumnDividerAt(point);
        if (m_sizing < 0) {
            m_mouseMode = MouseMode::Nothing;
            return;
        }
        m_mouseMode = MouseMode::SizingColumn;
        m_sizingLine = point.x();
        viewport()->update();
        return;
    }
    if (m_mouseMode == MouseMode::OverRowDivider) {
        m_sizing = RowDividerAt(point);
        if (m_sizing < 0) {
            m_mouseMode = MouseMode::Nothing;
            return;
        }
        m_mouseMode = MouseMode::SizingRow;
        m_sizingLine = point.y();
        viewport()->update();
        return;
    }
    if (m_mouseMode != MouseMode::PrepareDrag) {
        ForgetKeptSelection();
        if (ctrl)
            KeepSelection();
        if (m_clickDown.row < GetFixedRowCount()) {
            OnFixedRowClick(m_clickDown);
        } else if (m_clickDown.col < GetFixedColumnCount()) {
            OnFixedColumnClick(m_clickDown);
        } else {
            m_mouseMode = GetListMode() ? MouseMode::SelectRows : MouseMode::SelectCells;
            ExtendSelection(m_clickDown);
            m_autoScroll.start();
        }
    }
}

void CGridCtrl::OnFixedRowClick(CGridCellId cell)
{
    if (GetHeaderSort() && cell.col >= 0) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        SortRowsByText(cell.col, !(cell.col == GetSortColumn() && GetSortAscending()));
        QApplication::restoreOverrideCursor();
        viewport()->update();
    }
    if (GetFixedRowSelection()) {
        m_mouseMode = cell.col < GetFixedColumnCount() ? MouseMode::SelectAll : MouseMode::SelectColumns;
        ExtendSelection(cell);
    }
}

void CGridCtrl::OnFixedColumnClick(CGridCellId cell)
{
    if (GetFixedColumnSelection()) {
        m_mouseMode = cell.row < GetFixedRowCount() ? MouseMode::SelectAll : MouseMode::SelectRows;
        ExtendSelection(cell);
    }
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (!viewport()->rect().contains(point) && m_mouseMode != MouseMode::Dragging && !m_leftDown)
        return;
    if (m_leftDown && m_mouseMode != MouseMode::Nothing) {
        switch (m_mouseMode) {
        case MouseMode::SelectAll:
        case MouseMode::SelectColumns:
        case MouseMode::SelectRows:
        case MouseMode::SelectCells: {
            const bool headings = m_mouseMode == MouseMode::SelectColumns || m_mouseMode == MouseMode::SelectRows;
            const CGridCellId cell = CellFromPoint(point, headings);
            if (IsValid(cell) && !(cell == GetFocusCell())) {
                ExtendSelection(cell);
                if (!IsCellFixed(cell.row, cell.col))
                    SetFocusCell(cell);
            }
            break;
        }
        case MouseMode::SizingColumn:
            m_sizingLine = point.x();
            viewport()->update();
            break;
        case MouseMode::SizingRow:
            m_sizingLine = point.y();
            viewport()->update();
            break;
        case MouseMode::PrepareEdit:
        case MouseMode::PrepareDrag:
            if ((point - m_clickDownPoint).manhattanLength() >= QApplication::startDragDistance() &&
                GetDragAndDrop() && IsCellSelected(m_clickDown.row, m_clickDown.col)) {
                m_mouseMode = MouseMode::PrepareDrag;
                StartDrag();
            }
            break;
        default:
            break;
        }
        m_lastPoint = point;
        return;
    }
    UpdateHoverMode(point);
    if (m_mouseMode == MouseMode::Nothing && !(GetVirtualMode() && !GetTitleTips())) {
        const CGridCellId cell = CellFromPoint(point);
        if (CGridCell* item = GetCell(cell.row, cell.col))
            item->OnMouseOver();
        if (GetTitleTips())
            ShowTitleTip(cell, point);
    }
    m_lastPoint = point;
}

void CGridCtrl::ShowTitleTip(CGridCellId cell, QPoint point)
{
    // The whole text of a cell too narrow for it.
    QRect rect;
    const CGridCell* item = GetCell(cell.row, cell.col);
    if (!item || item->IsEditing() || !GetCellRect(cell.row, cell.col, rect)) {
        QToolTip::hideText();
        return;
    }
    const std::string tip = item->GetTipText();
    const SIZE needed = item->GetTextExtent(tip, CMeasureDC::ThisThread());
    if (tip.empty() || needed.cx <= rect.width()) {
        QToolTip::hideText();
        return;
    }
    if (QApplication::activeWindow() == nullptr)
        return;
    QToolTip::showText(viewport()->mapToGlobal(point), QString::fromStdString(tip), viewport(), rect);
}

void CGridCtrl::OnAutoScroll()
{
    if (!m_leftDown || (m_mouseMode != MouseMode::SelectAll && m_mouseMode != MouseMode::SelectColumns &&
                        m_mouseMode != MouseMode::SelectRows && m_mouseMode != MouseMode::SelectCells)) {
        m_autoScroll.stop();
        return;
    }
    QPoint point = cursorPosition ? cursorPosition() : viewport()->mapFromGlobal(QCursor::pos());
    const QRect client = viewport()->rect();
    const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
    const auto clampX = [&](int x) { return std::clamp(x, 0, std::max(0, client.width() - 1)); };
    const auto clampY = [&](int y) { return std::clamp(y, 0, std::max(0, client.height() - 1)); };
    if (point.y() >= client.height()) {
        OnScrollAction(true, QAbstractSlider::SliderSingleStepAdd);
        ExtendSelection(CellFromPoint({clampX(point.x()), client.height() - 1}));
    } else if (point.y() < fixedH) {
        OnScrollAction(true, QAbstractSlider::SliderSingleStepSub);
        ExtendSelection(CellFromPoint({clampX(point.x()), fixedH}));
    }
    if (point.x() >= client.width()) {
        OnScrollAction(false, QAbstractSlider::SliderSingleStepAdd);
        point.setX(client.width() - 1);
    } else if (point.x() < fixedW) {
        OnScrollAction(false, QAbstractSlider::SliderSingleStepSub);
        point.setX(fixedW);
    } else {
        return;
    }
    ExtendSelection(CellFromPoint({point.x(), clampY(point.y())}));
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        EndCellEdit();
        const CGridCellId cell = CellFromPoint(event->position().toPoint());
        if (!IsValid(cell)) {
            OnNotify(NM_RCLICK, -1, -1);
            return;
        }
        SetFocusCell({});
        SetFocusCell({std::max(cell.row, GetFixedRowCount()), std::max(cell.col, GetFixedColumnCount())});
        const CGridCellId focus = GetFocusCell();
        QRect rect;
        if (CGridCell* item = GetCell(focus.row, focus.col); item && GetCellRect(focus.row, focus.col, rect))
            item->OnRClick(POINT{event->position().toPoint().x() - rect.left(),
                                 event->position().toPoint().y() - rect.top()});
        OnNotify(NM_RCLICK, focus.row, focus.col);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    m_leftDown = false;
    m_autoScroll.stop();
    const CGridCellId focus = GetFocusCell();
    QRect focusRect;
    const bool focusShown = GetCellRect(focus.row, focus.col, focusRect);
    const POINT relative{point.x() - focusRect.left(), point.y() - focusRect.top()};
    switch (m_mouseMode) {
    case MouseMode::PrepareEdit:
        BeginCellEdit(focus.row, focus.col, 0);
        break;
    case MouseMode::PrepareDrag:
        // Released without a drag: the click lands, and the selection starts afresh.
        if (CGridCell* cell = GetCell(focus.row, focus.col); cell && focusShown)
            cell->OnClick(relative);
        if (IsValid(m_clickDown))
            OnNotify(NM_CLICK, m_clickDown.row, m_clickDown.col);
        ResetSelectedRange();
        break;
    case MouseMode::SizingColumn:
    case MouseMode::SizingRow: {
        const bool column = m_mouseMode == MouseMode::SizingColumn;
        if (point != m_clickDownPoint && point != QPoint(0, 0)) {
            QRect rect;
            const bool shown = column ? GetCellRect(0, m_sizing, rect) : GetCellRect(m_sizing, 0, rect);
            if (shown) {
                // The pointer cannot be held inside the client area, so the size is held to what it allows.
                const int least = (column ? GetColumnHide() : GetRowHide()) ? 0 : 1;
                const int size = std::max(least, (column ? point.x() - rect.left() : point.y() - rect.top()));
                if (column)
                    SetColumnWidth(m_sizing, size);
                else
                    SetRowHeight(m_sizing, size);
            }
        }
        m_sizing = -1;
        m_sizingLine = -1;
        viewport()->update();
        break;
    }
    default:
        if (CGridCell* cell = GetCell(focus.row, focus.col); cell && focusShown)
            cell->OnClick(relative);
        if (IsValid(m_clickDown))
            OnNotify(NM_CLICK, m_clickDown.row, m_clickDown.col);
        break;
    }
    m_mouseMode = MouseMode::Nothing;
    viewport()->setCursor(Qt::ArrowCursor);
    if (IsValid(m_clickDown) && onClicked)
        QTimer::singleShot(0, this, [this] {
            if (onClicked)
                onClicked();
        });
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const CGridCellId cell = CellFromPoint(point);
    if (!IsValid(cell))
        return;
    if (const int column = GetColumnResize() ? ColumnDividerAt(point) : -1; column >= 0) {
        AutoSizeColumn(column);
        m_mouseMode = MouseMode::Nothing;
        viewport()->update();
        return;
    }
    if (const int row = GetRowResize() ? RowDividerAt(point) : -1; row >= 0) {
        AutoSizeRow(row);
        m_mouseMode = MouseMode::Nothing;
        viewport()->update();
        return;
    }
    if (!IsCellFixed(cell.row, cell.col) ||
        (GetListMode() && cell.col < GetFixedColumnCount() && cell.row >= GetFixedRowCount()))
        BeginCellEdit(cell.row, cell.col, 0);
    QRect rect;
    if (CGridCell* item = GetCell(cell.row, cell.col); item && GetCellRect(cell.row, cell.col, rect))
        item->OnDblClick(POINT{point.x() - rect.left(), point.y() - rect.top()});
    OnNotify(NM_DBLCLK, cell.row, cell.col);
}

Qt::DropAction CGridCtrl::DropActionFor(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction;
}

void CGridCtrl::StartDrag()
{
    if (!GetDragAndDrop())
        return;
    const std::string text = CopySelectionText();
    const CGridCellRange range = GetSelectedCellRange();
    if (!IsValid(range))
        return;
    OnNotify(GVN_BEGINDRAG, range.minRow, range.minCol);
    m_mouseMode = MouseMode::Dragging;
    m_leftDown = false;
    m_autoScroll.stop();
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(text));
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    if (drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction) == Qt::MoveAction)
        ClearSelectedText();
    m_mouseMode = MouseMode::Nothing;
}

void CGridCtrl::SetDragOverCell(CGridCellId cell)
{
    if (cell == m_dragOver)
        return;
    if (IsValid(m_dragOver))
        SetItemState(m_dragOver.row, m_dragOver.col, GetItemState(m_dragOver.row, m_dragOver.col) & ~GVIS_DROPHILITED);
    m_dragOver = cell;
    if (IsValid(cell))
        SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | GVIS_DROPHILITED);
    viewport()->update();
}

void CGridCtrl::dragEnterEvent(QDragEnterEvent* event)
{
    const CGridCellId cell = CellFromPoint(event->position().toPoint(), false);
    if (!GetDragAndDrop() || !event->mimeData()->hasText() || !IsValid(cell) || !IsCellEditable(cell.row, cell.col)) {
        event->ignore();
        return;
    }
    SetDragOverCell(cell);
    event->setDropAction(DropActionFor(event->modifiers()));
    event->accept();
}

void CGridCtrl::dragMoveEvent(QDragMoveEvent* event)
{
    if (!GetDragAndDrop() || !IsEditable() || !event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    const CGridCellId cell = CellFromPoint(event->position().toPoint(), false);
    if (!IsValid(cell)) {
        SetDragOverCell({});
        event->ignore();
        return;
    }
    if (!IsCellEditable(cell.row, cell.col)) {
        event->ignore();
        return;
    }
    SetDragOverCell(cell);
    event->setDropAction(DropActionFor(event->modifiers()));
    event->accept();
}

void CGridCtrl::dragLeaveEvent(QDragLeaveEvent* event)
{
    SetDragOverCell({});
    event->accept();
}

void CGridCtrl::dropEvent(QDropEvent* event)
{
    m_mouseMode = MouseMode::Nothing;
    const CGridCellId target = m_dragOver;
    if (!GetDragAndDrop() || !IsEditable() || !IsValid(target) || !IsCellEditable(target.row, target.col)) {
        event->ignore();
        return;
    }
    SetDragOverCell({});
    if (PasteText(target, event->mimeData()->text().toStdString())) {
        event->setDropAction(DropActionFor(event->modifiers()));
        event->accept();
    } else {
        event->ignore();
    }
}

void CGridCtrl::SetPrintMarginInfo(int header, int footer, int left, int right, int top, int bottom, int gap)
{
    const int values[7] = {header, footer, left, right, top, bottom, gap};
    for (int i = 0; i < 7; ++i)
        if (values[i] >= 0)
            m_margins[i] = values[i];
}

void CGridCtrl::GetPrintMarginInfo(int& header, int& footer, int& left, int& right, int& top, int& bottom,
                                   int& gap) const
{
    header = m_margins[0];
    footer = m_margins[1];
    left = m_margins[2];
    right = m_margins[3];
    top = m_margins[4];
    bottom = m_margins[5];
    gap = m_margins[6];
}

}  // namespace gridctrl
