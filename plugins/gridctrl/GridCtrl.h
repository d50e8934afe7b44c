// The grid control widget: paints a CGridModel cell by cell into a retained image through the GDI layer, keeps the
// fixed rows and columns in place while the rest scrolls by whole rows and columns, and edits a cell in place.
//
// Keys: arrows, Tab/Shift+Tab, Home/End (with Ctrl to the corners), Page Up/Down move the focus cell (Shift
// extends the selection); F2 or Enter opens the editor with the caret after the text; a typed character opens it
// holding just that character (whatever the character, it is text: keys and characters are kept apart); Delete
// empties the cell; Ctrl+C/X/V/A and Insert variants copy, cut, paste and select all as plain UTF-8 text.
// In the editor Esc keeps the old text, Enter and Tab commit, and arrows commit and move on when the editor was
// opened by typing (they move the caret when it was opened by a click, F2 or Enter).
#pragma once

#include "gridctrl/GridModel.h"

#include <QAbstractScrollArea>

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
    // The cell's rectangle in viewport pixels: [left, right) x [top, bottom) including its grid-line pixel.
    bool GetCellRect(int row, int column, QRect& rect) const;
    CGridCellId CellFromPoint(QPoint point, bool allowFixed = true) const;
    bool IsCellVisible(int row, int column) const;
    void EnsureVisible(int row, int column);
    void ExpandColumnsToFit(bool includeFixed = true);
    void AutoSizeColumn(int column);
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

    // --- Clipboard ---
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();

    // --- Printing: every page onto `printer`, with header and footer. ---
    bool Print(QPrinter& printer);
    void SetPrintMarginInfo(int header, int footer, int left, int right, int top, int bottom, int gap);
    void GetPrintMarginInfo(int& header, int& footer, int& left, int& right, int& top, int& bottom, int& gap) const;

    // The owner's view of notifications (GVN_*, NM_*), row and column.
    std::function<void(int code, int row, int column)> onNotify;

protected:
    void OnGridChanged(bool layout) override;
    void OnNotify(int code, int row, int column) override;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollBars();
    void OnScrollAction(bool vertical, int action);
    // The focus cell's neighbour for a navigation key; the focus cell when there is none.
    CGridCellId NextCell(int key, Qt::KeyboardModifiers modifiers) const;
    void MoveFocus(CGridCellId next, bool extend);
    void DrawCell(::CDC& dc, int row, int column, const QRect& rect) const;
    int RowTop(int row) const;
    int ColumnLeft(int column) const;

    CGridInPlaceEdit* m_editor = nullptr;
    bool m_prepareToEdit = false;
    CGridCellId m_clickDown;
    int m_margins[7] = {2, 2, 4, 4, 1, 1, 1};  // header, footer, left, right, top, bottom, gap (characters)
};

}  // namespace gridctrl
