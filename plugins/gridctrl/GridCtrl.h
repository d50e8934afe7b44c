// The grid control widget: paints a CGridModel cell by cell into a retained image through the GDI layer, keeps the
// fixed rows and columns in place while the rest scrolls by whole rows and columns, and edits a cell in place.
//
// Keys: arrows, Tab/Shift+Tab, Home/End (with Ctrl to the corners), Page Up/Down move the focus cell (Shift
// extends the selection); F2 or Enter opens the editor with the caret after the text; a typed character opens it
// holding just that character (whatever the character, it is text: keys and characters are kept apart); Delete
// empties the cell; Ctrl+C/X/V/A and Insert variants copy, cut, paste and select all as plain UTF-8 text.
// In the editor Esc keeps the old text, Enter and Tab commit, and arrows commit and move on when the editor was
// opened by typing (they move the caret when it was opened by a click, F2 or Enter).
//
// Mouse: a press on a cell selects from it, dragging extends the selection (scrolling while the pointer is outside
// the cells), Shift extends from the anchor and Ctrl adds to what was selected; a press on the focus cell and a
// release opens the editor; a heading selects its column or row, or sorts by its column when sorting on click is
// on; the dividers between headings resize columns and rows, and a double click on one fits it to its texts. With
// drag and drop on, a selection can be dragged out as text and text dropped onto a cell.
#pragma once

#include "gridctrl/GridModel.h"

#include <QAbstractScrollArea>
#include <QTimer>

#include <functional>

class QImage;
class QPrinter;
class QLineEdit;
class CDC;

namespace gridctrl {

class CGridInPlaceEdit;

class CGridCtrl : public QAbstractScrollArea, public CGridModel
{
public:
    explicit CGridCtrl(int rows = 0, int columns = 0, int fixedRows = 0, int fixedColumns = 0,
                       QWidget* parent = nullptr);
    ~CGridCtrl() override;

    // --- Layout ---
    CGridCellId GetTopLeftNonFixedCell() const;
    CGridCellRange GetVisibleNonFixedCellRange() const;
    // The visible range without a last row or column that is only partly shown (unless it is the first).
    CGridCellRange GetUnobstructedNonFixedCellRange() const;
    // The cell's rectangle in viewport pixels: [left, right) x [top, bottom) including its grid-line pixel.
    bool GetCellRect(int row, int column, QRect& rect) const;
    CGridCellId CellFromPoint(QPoint point, bool allowFixed = true) const;
    bool IsCellVisible(int row, int column) const;
    void EnsureVisible(int row, int column);
    void ExpandColumnsToFit(bool includeFixed = true);
    void ExpandRowsToFit(bool includeFixed = true);
    // The spare width to the last column (less a vertical bar's width when the rows overflow).
    void ExpandLastColumn();
    void ExpandToFit(bool includeFixed = true);
    // As many default-sized cells as fill the client area, one heading row and column, expanded to fit.
    void FillClientWithCells();
    // Painting off while a caller changes much; turning it on repaints (and re-lays out when asked).
    void SetRedraw(bool allow, bool resetScrollBars = false);
    void Refresh();

    // Draws the visible cells into `image` (the viewport's size); what paintEvent shows.
    void Render(QImage& image) const;

    // --- Editing ---
    // Opens the editor on the cell: `character` non-empty types it in, otherwise `key` (a Qt key; 0 for a click)
    // decides where the caret goes.
    bool BeginCellEdit(int row, int column, int key, const QString& character = {});
    void EndCellEdit();
    QLineEdit* Editor() const;
    // Called by the editor when it closes with its text and the key that closed it.
    void OnEditEnded(int row, int column, const std::string& text, int lastKey);

    // --- Clipboard: what the edit commands may do now, and doing it ---
    bool CanCopy() const;
    bool CanCut() const;
    bool CanPaste() const;
    bool CanSelectAll() const { return IsSelectable(); }
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();

    // --- Mouse ---
    enum class MouseMode
    {
        Nothing = 0,
        SelectAll = 1,
        SelectColumns = 2,
        SelectRows = 3,
        SelectCells = 4,
        OverRowDivider = 6,
        SizingRow = 7,
        OverColumnDivider = 8,
        SizingColumn = 9,
        PrepareEdit = 10,
        PrepareDrag = 11,
        Dragging = 12,
    };
    MouseMode GetMouseMode() const { return m_mouseMode; }
    // Whether Tab moves between cells (the default) or on to the next widget of the dialog.
    bool GetHandleTabKey() const { return m_handleTab; }
    void SetHandleTabKey(bool on) { m_handleTab = on; }
    // Where the pointer is, in viewport pixels, for the auto-scroll of a selection drag; the real cursor by
    // default. Tests put a source of their own here.
    std::function<QPoint()> cursorPosition;
    bool IsAutoScrolling() const { return m_autoScroll.isActive(); }
    // One tick of the auto-scroll timer.
    void OnAutoScroll();
    // Drags the selected cells' text out (drag and drop on); the cells are emptied when the drop moved them.
    void StartDrag();

    // --- Printing ---
    // Asks for a printer with the print dialog (on `printer`, or on a printer of its own) and prints every page on
    // it; false when the dialog is cancelled or printing fails.
    bool Print(QPrinter* printer = nullptr);
    // Every page onto `printer`, with header and footer, without asking.
    bool Print(QPrinter& printer);
    // At the screen's scale, over as many column pages as it takes, instead of fitted to the paper's width.
    bool GetWysiwygPrinting() const { return m_wysiwygPrinting; }
    void SetWysiwygPrinting(bool on) { m_wysiwygPrinting = on; }
    bool GetShadedPrintOut() const { return m_shadedPrintOut; }
    void SetShadedPrintOut(bool on) { m_shadedPrintOut = on; }
    void SetPrintMarginInfo(int header, int footer, int left, int right, int top, int bottom, int gap);
    void GetPrintMarginInfo(int& header, int& footer, int& left, int& right, int& top, int& bottom, int& gap) const;

    // The owner's view of notifications (GVN_*, NM_*), row and column.
    std::function<void(int code, int row, int column)> onNotify;
    // After a left click that began on a cell, once the event that ended it is done (a command to the owner).
    std::function<void()> onClicked;

protected:
    void OnGridChanged(bool layout) override;
    void OnNotify(int code, int row, int column) override;
    void OnCacheHint(const CGridCellRange& range) override;

public:
    // Virtual mode: the range of cells about to be read, all -1 when the pass is done.
    std::function<void(const CGridCellRange& range)> onCacheHint;

protected:
    // A click on a heading row: sorts by its column (sorting on click) and selects its columns.
    virtual void OnFixedRowClick(CGridCellId cell);
    // A click on a heading column: selects its rows.
    virtual void OnFixedColumnClick(CGridCellId cell);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollBars();
    void OnScrollAction(bool vertical, int action);
    // The focus cell's neighbour for a navigation key; the focus cell when there is none. Page keys scroll first.
    CGridCellId NextCell(int key, Qt::KeyboardModifiers modifiers);
    void MoveFocus(CGridCellId next, bool extend);
    void SpreadSpareSpace(bool rows, bool includeFixed);
    void EraseBackground(::CDC& dc, const CGridCellRange& visible, int right, int bottom) const;
    int RowTop(int row) const;
    int ColumnLeft(int column) const;
    // Selects by the mouse mode from the selection start to `cell`.
    void ExtendSelection(CGridCellId cell);
    // The column (row) whose right (bottom) divider is within reach of the point in the headings; -1 when none.
    int ColumnDividerAt(QPoint point) const;
    int RowDividerAt(QPoint point) const;
    void UpdateHoverMode(QPoint point);
    void ShowTitleTip(CGridCellId cell, QPoint point);
    // The drop-highlighted cell while text is dragged over the grid.
    void SetDragOverCell(CGridCellId cell);
    // Copy with Ctrl held, else move.
    static Qt::DropAction DropActionFor(Qt::KeyboardModifiers modifiers);
    // The grid's font as a LOGFONT for the default cells, which measure their sizes with it.
    void ApplyFontToDefaultCells();
    // The palette's text, window, face and shadow colours, kept to tell colours that follow the system.
    void ReadSystemColours();

    CGridInPlaceEdit* m_editor = nullptr;
    MouseMode m_mouseMode = MouseMode::Nothing;
    bool m_leftDown = false;
    CGridCellId m_clickDown;
    QPoint m_clickDownPoint;
    QPoint m_lastPoint;
    // The row or column being resized and where its line is drawn (-1: none).
    int m_sizing = -1;
    int m_sizingLine = -1;
    QTimer m_autoScroll;
    CGridCellId m_dragOver;
    // The top-left scrolled cell for the scroll positions and layout it was worked out for.
    mutable CGridCellId m_topLeft;
    mutable int m_topLeftKey[3] = {-1, -1, -1};
    int m_layoutGeneration = 0;
    bool m_shadedPrintOut = true;
    bool m_wysiwygPrinting = false;
    bool m_handleTab = true;
    bool m_allowDraw = true;
    COLORREF m_systemColours[4] = {};
    int m_margins[7] = {2, 2, 4, 4, 1, 1, 1};  // header, footer, left, right, top, bottom, gap (characters)
};

}  // namespace gridctrl
