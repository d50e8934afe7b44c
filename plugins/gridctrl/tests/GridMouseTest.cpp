// The grid's mouse: selection drags and their auto-scroll, Ctrl and Shift clicks, divider resizing, sorting on a
// heading click, and text dragged onto the grid.
#include "GridCtrlFixture.h"

#include "gdi/CMeasureDC.h"

#include <QMimeData>
#include <QToolTip>

#include <utility>
#include <vector>

namespace {

class GridMouseTest : public GridCtrlTest
{
};

// Cell centres: column c spans x 40c..40c+39, row r spans y 25r..25r+24.
QPoint At(int row, int column)
{
    return {40 * column + 20, 25 * row + 12};
}

}  // namespace

TEST_F(GridMouseTest, DraggingSelectsAndCtrlAndShiftClicksAddAndExtend)
{
    m_grid->SetFocusCell({});
    std::vector<std::pair<int, CGridCellId>> notes;
    m_grid->onNotify = [&](int code, int row, int column) {
        if (code == GVN_ITEMCHANGING || code == GVN_ITEMCHANGED)
            notes.push_back({code, {row, column}});
    };
    Mouse(QEvent::MouseButtonPress, At(1, 1));
    EXPECT_TRUE(m_grid->IsAutoScrolling());
    Mouse(QEvent::MouseMove, At(3, 3));
    Mouse(QEvent::MouseButtonRelease, At(3, 3), Qt::NoModifier, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(m_grid->IsAutoScrolling());
    EXPECT_EQ(m_grid->GetSelectedCellRange(), (CGridCellRange{1, 1, 3, 3}));
    EXPECT_EQ(m_grid->GetFocusCell(), (CGridCellId{3, 3}));
    // The cell left is told before the cell reached.
    ASSERT_GE(notes.size(), 3u);
    EXPECT_EQ(notes[notes.size() - 2], (std::pair{GVN_ITEMCHANGING, CGridCellId{1, 1}}));
    EXPECT_EQ(notes.back(), (std::pair{GVN_ITEMCHANGED, CGridCellId{3, 3}}));

    // Ctrl+click adds a cell and keeps the rest; Ctrl+click on a selected cell takes it out.
    Click(At(4, 4), Qt::ControlModifier);
    EXPECT_TRUE(m_grid->IsCellSelected(4, 4));
    EXPECT_TRUE(m_grid->IsCellSelected(1, 1));
    EXPECT_TRUE(m_grid->IsCellSelected(3, 3));
    EXPECT_FALSE(m_grid->IsCellSelected(4, 1));
    Click(At(2, 2), Qt::ControlModifier);
    EXPECT_FALSE(m_grid->IsCellSelected(2, 2));
    EXPECT_TRUE(m_grid->IsCellSelected(1, 1));
    EXPECT_TRUE(m_grid->IsCellSelected(4, 4));

    // A plain click starts afresh; Shift+click extends from it.
    Click(At(1, 2));
    EXPECT_EQ(m_grid->GetSelectedCellRange(), (CGridCellRange{1, 2, 1, 2}));
    Click(At(3, 4), Qt::ShiftModifier);
    EXPECT_EQ(m_grid->GetSelectedCellRange(), (CGridCellRange{1, 2, 3, 4}));
    EXPECT_FALSE(m_grid->IsCellSelected(1, 1));

    // A heading selects its row; list mode selects whole rows from a cell.
    Click(At(2, 0));
    EXPECT_EQ(m_grid->GetSelectedCellRange(), (CGridCellRange{2, 1, 2, 4}));
    m_grid->SetListMode(true);
    Click(At(3, 2));
    EXPECT_EQ(m_grid->GetSelectedCellRange(), (CGridCellRange{3, 1, 3, 4}));
}

TEST_F(GridMouseTest, DividersResizeColumnsAndRows)
{
    struct Case
    {
        const char* what;
        bool column;
        bool hiding;
        QPoint press;
        QPoint release;
        int size;
    };
    // Column 2 spans x 80..119 and row 2 y 50..74; their dividers are at the last pixel.
    for (const Case& c : {Case{"wider", true, true, {118, 10}, {150, 10}, 70},
                          Case{"from the next cell's edge", true, true, {121, 10}, {100, 10}, 20},
                          Case{"past the left edge, hiding", true, true, {118, 10}, {60, 10}, 0},
                          Case{"past the left edge, no hiding", true, false, {118, 10}, {60, 10}, 1},
                          Case{"taller", false, true, {10, 73}, {10, 100}, 50},
                          Case{"past the top, no hiding", false, false, {10, 73}, {10, 30}, 1}}) {
        m_grid->SetColumnWidth(2, 40);
        m_grid->SetRowHeight(2, 25);
        m_grid->EnableColumnHide(c.hiding);
        m_grid->EnableRowHide(c.hiding);
        Mouse(QEvent::MouseMove, c.press, Qt::NoModifier, Qt::NoButton, Qt::NoButton);
        EXPECT_EQ(m_grid->GetMouseMode(), c.column ? CGridCtrl::MouseMode::OverColumnDivider
                                                   : CGridCtrl::MouseMode::OverRowDivider)
            << c.what;
        Mouse(QEvent::MouseButtonPress, c.press);
        Mouse(QEvent::MouseMove, c.release);
        if (c.column) {
            // The line follows the pointer: inverted pixels over the grid's background below the cells.
            const QImage image = Grab();
            const QRgb background = Rgb(m_grid->GetGridBkColor());
            EXPECT_EQ(image.pixel(c.release.x(), 200), background ^ 0x00FFFFFFu) << c.what;
        }
        Mouse(QEvent::MouseButtonRelease, c.release, Qt::NoModifier, Qt::LeftButton, Qt::NoButton);
        EXPECT_EQ(c.column ? m_grid->GetColumnWidth(2) : m_grid->GetRowHeight(2), c.size) << c.what;
        EXPECT_EQ(m_grid->GetMouseMode(), CGridCtrl::MouseMode::Nothing) << c.what;
    }
    // With resizing off the divider is just a heading.
    m_grid->SetColumnWidth(2, 40);
    m_grid->SetColumnResize(false);
    Mouse(QEvent::MouseButtonPress, {118, 10});
    Mouse(QEvent::MouseButtonRelease, {150, 10}, Qt::NoModifier, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(m_grid->GetColumnWidth(2), 40);
}

TEST_F(GridMouseTest, DoubleClickOnADividerFitsTheColumnToItsTexts)
{
    m_grid->SetItemText(3, 2, "a text far wider than forty pixels");
    QTest::mouseDClick(m_grid->viewport(), Qt::LeftButton, {}, QPoint(118, 10));
    int widest = 0;
    for (int r = 0; r < m_grid->GetRowCount(); ++r)
        widest = std::max<int>(widest, m_grid->GetCell(r, 2)->GetCellExtent(CMeasureDC::ThisThread()).cx);
    EXPECT_EQ(m_grid->GetColumnWidth(2), widest);
    EXPECT_GT(widest, 40);
}

TEST_F(GridMouseTest, HeadingClicksSortWhenSortingOnClickIsOn)
{
    const char* texts[] = {"b", "a", "B", "c"};
    for (int r = 1; r <= 4; ++r)
        m_grid->SetItemText(r, 1, texts[r - 1]);
    const auto column = [&] {
        std::string joined;
        for (int r = 1; r <= 4; ++r)
            joined += m_grid->GetItemText(r, 1);
        return joined;
    };
    Click(At(0, 1));
    EXPECT_EQ(column(), "baBc");  // off by default: the heading only selects
    EXPECT_EQ(m_grid->GetSelectedCellRange(), (CGridCellRange{1, 1, 4, 1}));

    m_grid->SetHeaderSort(true);
    // The heading shows no sort mark until it sorts: count its shadow pixels right of the text.
    const QRgb shadow = QApplication::palette().color(QPalette::Dark).rgb();
    const auto markPixels = [&] {
        const QImage image = Grab();
        int count = 0;
        for (int y = 3; y < 21; ++y)
            for (int x = 62; x < 77; ++x)
                count += image.pixel(x, y) == shadow;
        return count;
    };
    EXPECT_EQ(markPixels(), 0);
    Click(At(0, 1));
    EXPECT_EQ(column(), "Babc");
    EXPECT_TRUE(m_grid->GetSortAscending());
    EXPECT_GT(markPixels(), 0);
    Click(At(0, 1));
    EXPECT_EQ(column(), "cbaB");
    EXPECT_FALSE(m_grid->GetSortAscending());
    EXPECT_EQ(m_grid->GetSortColumn(), 1);
}

TEST_F(GridMouseTest, ClickOnTheSelectionWithDragAndDropStartsAfresh)
{
    m_grid->EnableDragAndDrop(true);
    m_grid->SelectRange({2, 2, 3, 3});
    Click(At(2, 2));
    EXPECT_EQ(m_grid->GetSelectedCellRange(), CGridCellRange{});
    EXPECT_EQ(m_grid->GetFocusCell(), CGridCellId{});
}

TEST_F(GridMouseTest, AutoScrollExtendsTheSelectionPastTheEdge)
{
    m_grid->SetRowCount(30);
    for (int r = 5; r < 30; ++r)
        m_grid->SetRowHeight(r, 25);
    m_grid->resize(300, 150);
    QApplication::processEvents();
    m_grid->SetFocusCell({});
    Mouse(QEvent::MouseButtonPress, At(1, 1));
    ASSERT_TRUE(m_grid->IsAutoScrolling());
    m_grid->cursorPosition = [] { return QPoint(60, 1000); };  // far below the cells
    for (int tick = 0; tick < 3; ++tick)
        m_grid->OnAutoScroll();
    const CGridCellRange visible = m_grid->GetVisibleNonFixedCellRange();
    EXPECT_EQ(m_grid->GetTopLeftNonFixedCell().row, 4);
    EXPECT_EQ(m_grid->GetSelectedCellRange(), (CGridCellRange{1, 1, visible.maxRow, 1}));
    Mouse(QEvent::MouseButtonRelease, At(1, 1), Qt::NoModifier, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(m_grid->IsAutoScrolling());
    // No more scrolling once the button is up.
    m_grid->OnAutoScroll();
    EXPECT_EQ(m_grid->GetTopLeftNonFixedCell().row, 4);
}

TEST_F(GridMouseTest, DroppedTextGoesToTheCellUnderThePointer)
{
    QMimeData data;
    data.setText("7\t8");
    const auto send = [&](QEvent& event) { return QApplication::sendEvent(m_grid->viewport(), &event); };
    QDragEnterEvent refused(At(2, 2), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    send(refused);
    EXPECT_FALSE(refused.isAccepted());  // drag and drop is off by default

    m_grid->EnableDragAndDrop(true);
    QDragEnterEvent enter(At(2, 2), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::ControlModifier);
    send(enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    EXPECT_TRUE(m_grid->GetItemState(2, 2) & GVIS_DROPHILITED);
    QDragMoveEvent move(At(2, 3), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    send(move);
    EXPECT_EQ(move.dropAction(), Qt::MoveAction);
    EXPECT_FALSE(m_grid->GetItemState(2, 2) & GVIS_DROPHILITED);
    EXPECT_TRUE(m_grid->GetItemState(2, 3) & GVIS_DROPHILITED);
    QDropEvent drop(QPointF(At(2, 3)), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    send(drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(m_grid->GetItemText(2, 3), "7");
    EXPECT_EQ(m_grid->GetItemText(2, 4), "8");
    EXPECT_FALSE(m_grid->GetItemState(2, 3) & GVIS_DROPHILITED);

    // A read-only cell takes nothing.
    m_grid->SetItemState(3, 3, m_grid->GetItemState(3, 3) | GVIS_READONLY);
    QDragEnterEvent readOnly(At(3, 3), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    send(readOnly);
    EXPECT_FALSE(readOnly.isAccepted());
}

TEST_F(GridMouseTest, RightClickMovesTheFocusAndTellsTheOwner)
{
    std::vector<std::pair<int, CGridCellId>> clicks;
    m_grid->onNotify = [&](int code, int row, int column) {
        if (code == NM_RCLICK)
            clicks.push_back({code, {row, column}});
    };
    QTest::mouseClick(m_grid->viewport(), Qt::RightButton, {}, At(3, 2));
    QTest::mouseClick(m_grid->viewport(), Qt::RightButton, {}, QPoint(350, 250));  // past the cells
    EXPECT_EQ(m_grid->GetFocusCell(), (CGridCellId{3, 2}));
    EXPECT_EQ(clicks, (std::vector<std::pair<int, CGridCellId>>{{NM_RCLICK, {3, 2}}, {NM_RCLICK, {-1, -1}}}));
}

// Hovering a cell too narrow for its text shows the whole text in a tip; a text that fits shows none.
TEST_F(GridMouseTest, TitleTipsShowClippedTexts)
{
    m_grid->SetItemText(2, 2, "a text much wider than its forty-pixel cell");
    Mouse(QEvent::MouseMove, At(2, 2), Qt::NoModifier, Qt::NoButton, Qt::NoButton);
    QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 5000);
    EXPECT_EQ(QToolTip::text(), "a text much wider than its forty-pixel cell");
    Mouse(QEvent::MouseMove, At(3, 3), Qt::NoModifier, Qt::NoButton, Qt::NoButton);
    QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), 5000);
    m_grid->EnableTitleTips(false);
    Mouse(QEvent::MouseMove, At(2, 2), Qt::NoModifier, Qt::NoButton, Qt::NoButton);
    QApplication::processEvents();
    EXPECT_FALSE(QToolTip::isVisible());
}
