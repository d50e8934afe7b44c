#include "gridctrl/GridCtrl.h"

#include "gdi/CDC.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

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
    const QPalette palette = QApplication::palette();
    SetGridBkColor(FromQColor(palette.color(QPalette::Shadow)));
    // Default sizes measured on the font the grid draws with.
    const QFontMetrics metrics(font());
    for (bool fixedRow : {false, true})
        for (bool fixedColumn : {false, true})
            GetDefaultCell(fixedRow, fixedColumn)
                .MeasureFont(metrics.horizontalAdvance(' '), metrics.horizontalAdvance(" XXXXXXXXXXXX "),
                             metrics.height());
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { OnScrollAction(false, action); });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { OnScrollAction(true, action); });
}

CGridCtrl::~CGridCtrl()
{
    if (m_editor)
        m_editor->blockSignals(true);
    delete m_editor;
}

void CGridCtrl::OnGridChanged(bool layout)
{
    if (layout)
        UpdateScrollBars();
    viewport()->update();
}

void CGridCtrl::OnNotify(int code, int row, int column)
{
    if (onNotify)
        onNotify(code, row, column);
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
    // Scroll positions are pixels; the view starts at the first cell whose running sum reaches the position.
    CGridCellId cell{GetFixedRowCount(), GetFixedColumnCount()};
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
    if (GetColumnCount() == 0)
        return;
    const int first = includeFixed ? 0 : GetFixedColumnCount();
    const int columns = GetColumnCount() - first;
    if (columns <= 0)
        return;
    const int spare = viewport()->width() - GetVirtualWidth();
    const int each = spare / columns;
    int remainder = spare % columns;
    for (int c = first; c < GetColumnCount(); ++c) {
        int width = GetColumnWidth(c) + each;
        if (remainder > 0) {
            ++width;
            --remainder;
        } else if (remainder < 0) {
            --width;
            ++remainder;
        }
        SetColumnWidth(c, std::max(0, width));
    }
}

void CGridCtrl::AutoSizeColumn(int column)
{
    if (GetColumnWidth(column) <= 0)
        return;
    const QFontMetrics metrics(font());
    int width = 0;
    for (int r = 0; r < GetRowCount(); ++r) {
        const bool fixed = r < GetFixedRowCount();
        if (!(GetAutoSizeStyle() & (fixed ? GVS_HEADER : GVS_DATA)))
            continue;
        const CGridCell* cell = GetCell(r, column);
        const int margin = static_cast<int>(cell->GetMargin());
        width = std::max(width, metrics.horizontalAdvance(QString::fromStdString(cell->GetText())) + 4 * margin);
    }
    SetColumnWidth(column, width);
}

void CGridCtrl::DrawCell(CDC& dc, int row, int column, const QRect& area) const
{
    const CGridCell* cell = GetCell(row, column);
    if (!cell || area.isEmpty())
        return;
    const QPalette palette = QApplication::palette();
    CRect rect(area.left(), area.top(), area.right(), area.bottom());  // the last pixel is the grid line
    COLORREF text = cell->EffectiveTextColor();
    COLORREF back = cell->EffectiveBackColor();
    const bool gridLines = GetGridLines() != GVL_NONE;
    if ((cell->IsFocused() || cell->IsDropHighlighted()) && !cell->IsFixed()) {
        if (cell->IsSelected()) {
            back = FromQColor(palette.color(QPalette::Highlight));
            text = FromQColor(palette.color(QPalette::HighlightedText));
        }
        CRect fill(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
        if (gridLines)
            fill = rect;
        dc.FillSolidRect(&fill, back);
        if (GetFrameFocusCell()) {
            CBrush frame(text);
            CRect edge = fill;
            for (const CRect& side : {CRect(edge.left, edge.top, edge.right, edge.top + 1),
                                      CRect(edge.left, edge.bottom - 1, edge.right, edge.bottom),
                                      CRect(edge.left, edge.top, edge.left + 1, edge.bottom),
                                      CRect(edge.right - 1, edge.top, edge.right, edge.bottom)})
                dc.FillSolidRect(&side, text);
        }
    } else if (cell->IsSelected()) {
        CRect fill(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
        if (gridLines)
            fill = rect;
        dc.FillSolidRect(&fill, FromQColor(palette.color(QPalette::Highlight)));
        text = FromQColor(palette.color(QPalette::HighlightedText));
    } else {
        dc.FillSolidRect(&rect, back);
    }
    if (cell->IsFixed() && gridLines) {
        const CGridCellId focus = GetFocusCell();
        if (GetTrackFocusCell() && IsValid(focus) && (focus.row == row || focus.col == column)) {
            // Sunken: the heading of the focus row or column.
            dc.Draw3dRect(&rect, FromQColor(palette.color(QPalette::Dark)), FromQColor(palette.color(QPalette::Light)));
        } else {
            dc.Draw3dRect(&rect, FromQColor(palette.color(QPalette::Light)), FromQColor(palette.color(QPalette::Dark)));
        }
    }
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(text);
    const int margin = static_cast<int>(cell->GetMargin());
    CRect textRect(rect.left + margin, rect.top + 1, rect.right - margin, rect.bottom - 1);
    const uint32_t format = cell->GetFormat() & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    if (cell->IsEditing() || textRect.right <= textRect.left)
        return;
    dc.DrawText(cell->GetText(), textRect, format);
}

void CGridCtrl::Render(QImage& image) const
{
    CDC dc(image);
    const CGridCellRange visible = GetVisibleNonFixedCellRange();
    const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
    // Right of and below the cells: the grid's background.
    dc.FillSolidRect(0, 0, image.width(), image.height(), GetGridBkColor());
    QFont font = this->font();
    LOGFONTA logFont{};
    logFont.lfHeight = -QFontInfo(font).pixelSize();
    const QByteArray face = font.family().toUtf8();
    std::strncpy(logFont.lfFaceName, face.constData(), sizeof logFont.lfFaceName - 1);
    CFont cellFont;
    cellFont.CreateFontIndirect(&logFont);
    CFont* oldFont = dc.SelectObject(&cellFont);

    const auto drawRange = [&](int firstRow, int lastRow, int firstColumn, int lastColumn) {
        for (int r = firstRow; r <= lastRow; ++r)
            for (int c = firstColumn; c <= lastColumn; ++c) {
                QRect rect;
                if (GetCellRect(r, c, rect) && rect.intersects(image.rect()))
                    DrawCell(dc, r, c, rect);
            }
    };
    drawRange(0, GetFixedRowCount() - 1, 0, GetFixedColumnCount() - 1);
    drawRange(visible.minRow, visible.maxRow, 0, GetFixedColumnCount() - 1);
    drawRange(0, GetFixedRowCount() - 1, visible.minCol, visible.maxCol);
    drawRange(visible.minRow, visible.maxRow, visible.minCol, visible.maxCol);

    // Grid lines on the last pixel of each visible non-fixed row and column.
    int right = fixedW, bottom = fixedH;
    for (int c = visible.minCol; c <= visible.maxCol && c >= 0; ++c)
        right += GetColumnWidth(c);
    for (int r = visible.minRow; r <= visible.maxRow && r >= 0; ++r)
        bottom += GetRowHeight(r);
    CPen pen(PS_SOLID, 0, GetGridLineColor());
    CPen* oldPen = dc.SelectObject(&pen);
    if (GetGridLines() & GVL_VERT)
        for (int c = visible.minCol, x = fixedW; c <= visible.maxCol && c >= 0; ++c) {
            x += GetColumnWidth(c);
            dc.MoveTo(x - 1, fixedH);
            dc.LineTo(x - 1, bottom);
        }
    if (GetGridLines() & GVL_HORZ)
        for (int r = visible.minRow, y = fixedH; r <= visible.maxRow && r >= 0; ++r) {
            y += GetRowHeight(r);
            dc.MoveTo(fixedW, y - 1);
            dc.LineTo(right, y - 1);
        }
    dc.SelectObject(oldPen);
    dc.SelectObject(oldFont);
}

void CGridCtrl::paintEvent(QPaintEvent*)
{
    QImage image(viewport()->size(), QImage::Format_RGB32);
    if (image.isNull())
        return;
    Render(image);
    QPainter(viewport()).drawImage(0, 0, image);
}

bool CGridCtrl::focusNextPrevChild(bool next)
{
    // The grid takes Tab itself.
    if (IsValid(GetFocusCell()))
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

CGridCellId CGridCtrl::NextCell(int key, Qt::KeyboardModifiers modifiers) const
{
    const CGridCellId focus = GetFocusCell();
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
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        const CGridCellRange visible = GetVisibleNonFixedCellRange();
        const int rows = std::max(1, visible.maxRow - visible.minRow);
        const int target = key == Qt::Key_PageDown ? std::min(lastRow, focus.row + rows)
                                                   : std::max(firstRow, focus.row - rows);
        if (int r = visibleRow(target, key == Qt::Key_PageDown ? -1 : 1); r >= 0)
            next.row = r;
        break;
    }
    default:
        break;
    }
    if (next.row < 0 || next.col < 0)
        return focus;
    return next;
}

void CGridCtrl::MoveFocus(CGridCellId next, bool extend)
{
    if (!extend)
        SetSelectionStart(next);
    const CGridCellId start = GetSelectionStart();
    SelectRange({std::min(start.row, next.row), std::min(start.col, next.col), std::max(start.row, next.row),
                 std::max(start.col, next.col)});
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
    if (IsNavigationKey(key)) {
        const CGridCellId next = NextCell(key, modifiers);
        if (!(next == focus))
            MoveFocus(next, shift && key != Qt::Key_Tab && key != Qt::Key_Backtab);
        return;
    }
    // A character: Enter opens the editor on the text, Backspace without its last character, anything printable
    // replaces it. The character is never read as a key code.
    const QString text = event->text();
    if (!ctrl && !text.isEmpty() && text != QStringLiteral("\x1b")) {
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

void CGridCtrl::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    const CGridCellId cell = CellFromPoint(event->position().toPoint());
    m_clickDown = cell;
    m_prepareToEdit = false;
    if (!IsValid(cell))
        return;
    EndCellEdit();
    if (cell == GetFocusCell() && IsCellEditable(cell.row, cell.col)) {
        m_prepareToEdit = true;
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (IsCellFixed(cell.row, cell.col)) {
        // A heading selects its column or row.
        if (cell.row < GetFixedRowCount() && cell.col >= GetFixedColumnCount())
            SelectRange({GetFixedRowCount(), cell.col, GetRowCount() - 1, cell.col});
        else if (cell.col < GetFixedColumnCount() && cell.row >= GetFixedRowCount())
            SelectRange({cell.row, GetFixedColumnCount(), cell.row, GetColumnCount() - 1});
        else
            SelectAllCells();
        return;
    }
    MoveFocus(cell, shift && IsValid(GetSelectionStart()));
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_prepareToEdit) {
        m_prepareToEdit = false;
        const CGridCellId focus = GetFocusCell();
        BeginCellEdit(focus.row, focus.col, 0);
        return;
    }
    if (IsValid(m_clickDown))
        OnNotify(NM_CLICK, m_clickDown.row, m_clickDown.col);
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    const CGridCellId cell = CellFromPoint(event->position().toPoint());
    if (!IsValid(cell))
        return;
    if (!IsCellFixed(cell.row, cell.col))
        BeginCellEdit(cell.row, cell.col, 0);
    OnNotify(NM_DBLCLK, cell.row, cell.col);
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
