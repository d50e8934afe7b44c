// The flat header driven with the mouse as a user drives it: a column dragged onto another place moves there, a
// column dragged out of the header and let go elsewhere is removed, while the removal window, the owner's veto,
// column 0 and a fixed column's divider are respected; and the header paints flat.
#include "panels/CFlatHeaderControl.h"

#include "testing/RenderCheck.h"

#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FlatHeaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table.setColumnCount(4);
        table.setHorizontalHeaderLabels({"Name", "Length", "Area", "Angle"});
        table.setRowCount(2);
        header = new CFlatHeaderControl(&table);
        table.setHorizontalHeader(header);
        for (int c = 0; c < 4; ++c)
            header->resizeSection(c, 80);
        table.resize(400, 200);
        table.move(100, 100);
        table.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&table));
        header->Notify().buttonReleased = [this] { ++released; };
    }

    // The middle of the item of logical column `logical`, in the header's viewport.
    QPoint Centre(int logical) const
    {
        return {header->sectionViewportPosition(logical) + header->sectionSize(logical) / 2, header->height() / 2};
    }
    QStringList Order() const
    {
        QStringList titles;
        for (int v = 0; v < header->count(); ++v)
            titles << table.horizontalHeaderItem(header->logicalIndex(v))->text();
        return titles;
    }
    // Press on `logical`, move in steps to `to` (viewport coordinates, may lie outside), release there.
    void Drag(int logical, QPoint to)
    {
        QWidget* viewport = header->viewport();
        const QPoint from = Centre(logical);
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(viewport, from + (to - from) * step / 4);
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
    }

    QTableWidget table;
    CFlatHeaderControl* header = nullptr;
    int released = 0;
};

TEST_F(FlatHeaderTest, DraggingAColumnMovesItBeforeTheItemUnderTheDrop)
{
    // Onto the right half of "Angle": after it.
    QWidget* viewport = header->viewport();
    const QPoint target = Centre(3) + QPoint(20, 0);
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, Centre(1));
    QTest::mouseMove(viewport, Centre(1) + QPoint(20, 0));
    QTest::mouseMove(viewport, target);
    EXPECT_TRUE(header->IsDragging());
    ASSERT_NE(header->DragWindow(), nullptr);
    EXPECT_TRUE(header->DragWindow()->isVisible());
    EXPECT_EQ(header->DropPosition(), 4);
    // The drop mark stands on the right edge of the last item.
    ASSERT_NE(header->DropWindow(), nullptr);
    const int line = viewport->mapToGlobal(QPoint(header->length(), 0)).x();
    EXPECT_EQ(header->DropWindow()->geometry().center().x() + 1, line);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, target);
    EXPECT_EQ(Order(), QStringList({"Name", "Area", "Angle", "Length"}));
    EXPECT_FALSE(header->IsDragging());
    EXPECT_EQ(header->DragWindow(), nullptr);
    EXPECT_EQ(header->DropWindow(), nullptr);
    EXPECT_EQ(released, 1);

    // Onto the left half of "Area" (now second): before it.
    Drag(3, Centre(2) - QPoint(20, 0));
    EXPECT_EQ(Order(), QStringList({"Name", "Angle", "Area", "Length"}));
    EXPECT_EQ(table.columnCount(), 4);
}

TEST_F(FlatHeaderTest, DroppingOnItsOwnPlaceOrColumnZeroChangesNothing)
{
    const QStringList before = Order();
    Drag(2, Centre(2) + QPoint(30, 0));  // own position, right half: the place after itself
    Drag(2, Centre(3) - QPoint(30, 0));  // the left half of the next item: the same place
    EXPECT_EQ(Order(), before);
    Drag(0, Centre(2));  // column 0 never starts a drag
    EXPECT_EQ(Order(), before);
    EXPECT_EQ(released, 3);
}

TEST_F(FlatHeaderTest, DraggingOutOfTheHeaderRemovesTheColumnUnlessReleasedInTheRemovalWindow)
{
    header->SetRemovalWindow(&table);
    // Into the table below the header: the removal window keeps the column.
    Drag(2, QPoint(Centre(2).x(), 100));
    EXPECT_EQ(table.columnCount(), 4);

    // Far outside the window: the column goes, the remove cursor showing meanwhile.
    QWidget* viewport = header->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, Centre(2));
    QTest::mouseMove(viewport, Centre(2) + QPoint(0, 30));
    QTest::mouseMove(viewport, QPoint(Centre(2).x(), -300));
    EXPECT_EQ(header->OutsideFlag(), -1);
    EXPECT_EQ(viewport->cursor().shape(), Qt::ForbiddenCursor);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(Centre(2).x(), -300));
    EXPECT_EQ(table.columnCount(), 3);
    EXPECT_EQ(Order(), QStringList({"Name", "Length", "Angle"}));
    tagHDITEMEX record;
    EXPECT_EQ(header->GetItemEx(2, record), 1);
    EXPECT_EQ(header->GetItemEx(3, record), 0);

    // Out and back over its own place: nothing is removed.
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, Centre(1));
    QTest::mouseMove(viewport, Centre(1) + QPoint(0, 30));
    QTest::mouseMove(viewport, QPoint(Centre(1).x(), -300));
    QTest::mouseMove(viewport, Centre(1));
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, Centre(1));
    EXPECT_EQ(table.columnCount(), 3);
}

TEST_F(FlatHeaderTest, TheOwnerVetoesADragOrADrop)
{
    header->Notify().beginDrag = [](int) { return true; };
    Drag(1, Centre(3));
    EXPECT_EQ(Order(), QStringList({"Name", "Length", "Area", "Angle"}));

    header->Notify().beginDrag = nullptr;
    int asked = -1;
    header->Notify().endDrag = [&](int logical, int) {
        asked = logical;
        return true;
    };
    Drag(1, Centre(3) + QPoint(20, 0));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Order(), QStringList({"Name", "Length", "Area", "Angle"}));
    // A vetoed drop removes nothing either.
    Drag(1, QPoint(Centre(1).x(), -300));
    EXPECT_EQ(table.columnCount(), 4);
}

TEST_F(FlatHeaderTest, FixedColumnKeepsItsWidthAndPropertiesAreChecked)
{
    tagHDITEMEX fixed;
    fixed.nStyle = HDF_EX_FIXEDWIDTH;
    ASSERT_EQ(header->SetItemEx(1, fixed), 1);
    QWidget* viewport = header->viewport();
    const QPoint divider(header->sectionViewportPosition(1) + header->sectionSize(1), header->height() / 2);
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, divider);
    QTest::mouseMove(viewport, divider + QPoint(40, 0));
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, divider + QPoint(40, 0));
    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, divider);
    EXPECT_EQ(header->sectionSize(1), 80);

    // A column of limits stays inside them however its divider is dragged.
    tagHDITEMEX limited;
    limited.iMinWidth = 50;
    limited.iMaxWidth = 100;
    header->SetItemEx(2, limited);
    header->resizeSection(2, 300);
    EXPECT_EQ(header->sectionSize(2), 100);

    EXPECT_EQ(header->SetProperty(6, 1), 0);
    EXPECT_EQ(header->SetProperty(CFlatHeaderControl::PropSpacing, 4), 1);
    EXPECT_EQ(header->Spacing(), 4);
}

TEST_F(FlatHeaderTest, PaintsFlatItemsBetweenEtchedLines)
{
    const QImage shot = header->viewport()->grab().toImage();
    const QRgb face = header->palette().color(QPalette::Button).rgb() & 0xFFFFFF;
    const QRgb light = header->palette().color(QPalette::Light).rgb() & 0xFFFFFF;
    const QRgb dark = header->palette().color(QPalette::Dark).rgb() & 0xFFFFFF;
    const int y = shot.height() / 2;
    // Between "Name" and "Length": a dark line, then a light one.
    EXPECT_EQ(testing_support::PixelAt(shot, 79, y), dark);
    EXPECT_EQ(testing_support::PixelAt(shot, 80, y), light);
    // The items are face-coloured away from their texts, and the last has no line after it.
    EXPECT_EQ(testing_support::PixelAt(shot, 75, y), face);
    EXPECT_EQ(testing_support::PixelAt(shot, 318, y), face);
    EXPECT_EQ(testing_support::PixelAt(shot, 319, 1), dark);  // the outer frame's right edge

    // The sort column gets its arrow: a triangle in the header's own light and dark after the text.
    header->setSortIndicatorShown(true);
    header->setSortIndicator(3, Qt::AscendingOrder);
    const QImage sorted = header->viewport()->grab().toImage();
    const QRect column(241, 2, 76, shot.height() - 4);
    EXPECT_GT(testing_support::CountColour(sorted, light, column),
              testing_support::CountColour(shot, light, column) + 4);
    EXPECT_GT(testing_support::CountColour(sorted, dark, column), testing_support::CountColour(shot, dark, column) + 2);
}

}  // namespace
