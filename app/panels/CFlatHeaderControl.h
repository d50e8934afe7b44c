// The header of the report lists: painted flat (face-coloured items between etched lines, the sort arrow), with
// per-column width limits, columns reordered by dragging an item (a floating picture of the item follows the
// mouse and a pair of red arrows marks where it would go) and removed by dragging them out of the header.
//
// Drop-in for a list's own header: `table->setHorizontalHeader(new CFlatHeaderControl(table))` for a QTableView or
// QTableWidget, `tree->setHeader(new CFlatHeaderControl(tree))` for a QTreeView or QTreeWidget. The owner learns of
// drags through Notify() (a drag start or a drop may be vetoed) and decides how a column is removed (the default
// removes the model's column, which a QTableWidget supports; a QTreeWidget owner supplies removeColumn).
//
// Contract: UI thread. Column 0 never moves. A column dragged out of the header is removed only when released
// outside the header and outside the removal window; coming back over the header cancels the removal.
#pragma once

#include "types/ColorRef.h"

#include <QCursor>
#include <QHeaderView>
#include <QPointer>
#include <QRect>

#include <functional>
#include <memory>
#include <vector>

// The limits of one column, in column order.
struct tagHDITEMEX
{
    int nStyle = 0;  // kFixedWidth: the column's width cannot be changed by its divider
    int iMinWidth = 0;
    int iMaxWidth = -1;  // below the minimum: no limit
};

constexpr int HDF_EX_FIXEDWIDTH = 4;

// What the header tells its owner.
struct FlatHeaderNotify
{
    // Before a drag starts (logical column); true vetoes it.
    std::function<bool(int logical)> beginDrag;
    // Before a drop (logical column, drop position in display order or -1); true vetoes the move or the removal.
    std::function<bool(int logical, int dropPosition)> endDrag;
    // Removes a column dragged out of the header; true when it went. Empty: the model's column is removed.
    std::function<bool(int logical)> removeColumn;
    // After every left-button release on an item.
    std::function<void()> buttonReleased;
};

class CFlatHeaderControl : public QHeaderView
{
    Q_OBJECT
public:
    enum Property
    {
        PropSpacing = 1,
        PropSortArrowSize = 2,  // width in the low word, height in the high word
        PropExtraBorder = 3,
        PropRemoveCursor = 4,   // a Qt::CursorShape
        PropRemovalWindow = 5,  // a QWidget*
    };

    explicit CFlatHeaderControl(QWidget* parent = nullptr);
    ~CFlatHeaderControl() override;

    FlatHeaderNotify& Notify() { return m_notify; }

    // 1 and a repaint for a known property, 0 and nothing else for any other.
    int SetProperty(int type, qintptr value);
    void SetRemoveCursor(const QCursor& cursor) { m_removeCursor = cursor; }
    void SetRemovalWindow(QWidget* window) { m_removalWindow = window; }

    // 0 when `index` is not a column.
    int GetItemEx(int index, tagHDITEMEX& record) const;
    // Sets a column's limits; a fixed column stops resizing by its divider (dragging and double-clicking).
    int SetItemEx(int index, const tagHDITEMEX& record);

    void SetDragDrop(bool on) { m_dragDrop = on; }
    int Spacing() const { return m_spacing; }

    // State of a drag, for the owner and for tests.
    bool IsDragging() const { return m_dragging; }
    int DropPosition() const { return m_dropPosition; }
    int OutsideFlag() const { return m_outside; }
    QWidget* DragWindow() const { return m_dragWindow.get(); }
    QWidget* DropWindow() const { return m_dropWindow.get(); }

    // Draws one item into `rect` (already inside the spacing): text by the alignment, then the sort arrow.
    virtual void DrawItem(QPainter& painter, const QRect& rect, int logical, bool sorted, bool ascending) const;

    void setModel(QAbstractItemModel* model) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    QSize sizeHint() const override;

private:
    void StartDrag(const QPoint& globalPos);
    void TrackDrag(const QPoint& pos, const QPoint& globalPos);
    void ShowDropMark(int position);
    void EndDrag();
    int ColumnCount() const;
    void SyncRecords();

    FlatHeaderNotify m_notify;
    std::vector<tagHDITEMEX> m_records;
    int m_spacing = 6;
    int m_arrowWidth = 8;
    int m_arrowHeight = 8;
    bool m_extraBorder = false;
    bool m_dragDrop = true;
    QCursor m_removeCursor{Qt::ForbiddenCursor};
    QPointer<QWidget> m_removalWindow;
    QRect m_removalRect;

    int m_pressed = -1;  // logical column pressed on its body
    bool m_pressOnBody = false;
    QPoint m_pressPoint;
    bool m_dragging = false;
    bool m_markedForRemoval = false;
    int m_outside = 0;
    int m_dropPosition = -1;
    COLORREF m_dropColor = 0x0000FF;
    std::unique_ptr<QWidget> m_dragWindow;
    std::unique_ptr<QWidget> m_dropWindow;
};
