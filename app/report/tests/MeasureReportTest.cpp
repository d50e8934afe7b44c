// The measurement report list over a real overlay: rows and columns of the refill, positions, selection kept in
// step with the overlay, and deleting results (ASan watches that no deleted object is touched).
#include "report/CMeasureReportCtrl.h"

#include "report/ReportStrings.h"

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/GObjectCatalogue.h"
#include "gobjects/shapes/CQvGObjectPoint.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Overlay
{
    CQvGObjectContainer container;

    Overlay()
    {
        container.SetAutoRepeatCreatingObject(0);
        container.SetDecimalPointRange(2);
    }

    // Creates a shape by clicks (a right click ends the ones that need it) and names it.
    CQvGObject* Make(OBJ_SHAPE shape, const std::vector<CPoint>& clicks, const std::string& name)
    {
        EXPECT_EQ(container.AddObject(shape), 1);
        CQvGObject* obj = container.GetCreatingObject();
        for (CPoint p : clicks) {
            container.MouseMove(nullptr, 0, p);
            container.LButtonDown(1, p);
            container.LButtonUp(0, p);
        }
        if (obj->GetState() != GS_FINISHED) {
            container.MouseMove(nullptr, 0, CPoint(150, 110));
            container.RButtonDown(0, CPoint(150, 110));
        }
        EXPECT_EQ(obj->GetState(), GS_FINISHED) << shape;
        obj->GetProperty().SetName(name);
        return obj;
    }
    CQvGObject* Line(const std::string& name, int y = 0) { return Make(SHAPE_LINE, {{0, y}, {30, y + 40}}, name); }
    CQvGObject* Perpendicular(const std::string& name, int feet)
    {
        std::vector<CPoint> clicks = {{10, 50}, {110, 50}, {30, 20}, {60, 90}, {90, 40}};
        clicks.resize(static_cast<size_t>(2 + feet));
        return Make(SHAPE_PERPENDICULAR, clicks, name);
    }
    // A measurement that never finished (kept in the list, as a stream can leave one).
    CQvGObject* Unfinished(const std::string& name)
    {
        CQvGObject* obj = container.CreateObject(SHAPE_LINE);
        obj->GetProperty().SetName(name);
        container.GetMainObjList().push_back(obj);
        return obj;
    }
    bool Holds(const CQvGObject* obj) const
    {
        const GObjectList& list = container.GetObjects();
        return std::find(list.begin(), list.end(), obj) != list.end();
    }
};

std::string Bracketed(CQvGObject* obj, int mask)
{
    tagCAL_DATA data;
    data.kind = mask;
    std::string text = obj->GetDataString(data, 0);
    std::replace(text.begin(), text.end(), '(', '[');
    std::replace(text.begin(), text.end(), ')', ']');
    return text;
}

// A point whose position reads as the overlay writes positions with one decimal.
class FixedPositionPoint : public CQvGObjectPoint
{
public:
    using CQvGObject::GetDataString;
    std::string GetDataString(tagCAL_DATA&, int) override { return "(1.5, 2.5)"; }
};

}  // namespace

TEST(MeasureReport, RowsFollowTheOverlayWithEveryValueUnderItsQuantity)
{
    Overlay o;
    CQvGObject* line = o.Line("L");
    o.Unfinished("U");
    CQvGObject* perp = o.Perpendicular("P", 3);
    CQvGObject* das = o.Make(SHAPE_DAS, {{10, 50}, {110, 50}, {20, 20}, {30, 80}, {50, 20}, {70, 80}, {90, 20}}, "D");
    CQvGObject* circle = o.Make(SHAPE_CIRCLE, {{200, 200}, {240, 200}}, "C");
    ASSERT_EQ(das->GetPointCount() - 2, 5);
    ASSERT_EQ(das->GetDataString(1), "");
    ASSERT_EQ(das->GetDataString(3), "");

    const std::vector<tagColumnInfo> columns = MeasureReportColumns();
    ASSERT_EQ(columns.size(), 16u);
    EXPECT_EQ(columns[0].mask, -1);
    for (int n = 0; n < 15; ++n)
        EXPECT_EQ(columns[static_cast<size_t>(n + 1)].mask, 1 << n);

    struct Expected
    {
        CQvGObject* object;
        std::string name;
        int sub;  // -1: the object's own value
    };
    const std::vector<Expected> expected = {{line, "L", -1}, {perp, "P-0", 0}, {perp, "P-1", 1}, {perp, "P-2", 2},
                                            {das, "D-0", 0}, {das, "D-1", 2},  {das, "D-2", 4},  {circle, "C", -1}};
    const std::vector<MeasureReportRow> rows = BuildMeasureRows(o.container, columns);
    ASSERT_EQ(rows.size(), expected.size()) << "no row for the unfinished line, no blank rows";
    for (size_t r = 0; r < rows.size(); ++r) {
        const Expected& e = expected[r];
        EXPECT_EQ(rows[r].object, e.object) << r;
        ASSERT_EQ(rows[r].cells.size(), 16u);
        EXPECT_EQ(rows[r].cells[0], e.name) << r;
        for (size_t c = 1; c < 16; ++c) {
            const int mask = columns[c].mask;
            std::string want;
            if (e.object->GetCalType() & mask)
                want = e.sub >= 0 ? e.object->GetDataString(e.sub) : Bracketed(e.object, mask);
            EXPECT_EQ(rows[r].cells[c], want) << "row " << r << " column " << c;
        }
    }
    EXPECT_NE(rows[0].cells[13].find('['), std::string::npos) << "the line's start position in square brackets";

    // The list shows the same table, with the object of each row as its data.
    CMeasureReportCtrl list;
    list.DefaultHeaderSetting();
    list.SetViewData(&o.container);
    EXPECT_EQ(list.GetWindowText(), "MANUAL_MEASUREMENT");
    ASSERT_EQ(list.GetColumnCount(), 16);
    ASSERT_EQ(list.GetItemCount(), static_cast<int>(rows.size()));
    for (int r = 0; r < list.GetItemCount(); ++r) {
        EXPECT_EQ(list.GetItemData(r), reinterpret_cast<quintptr>(rows[static_cast<size_t>(r)].object));
        for (int c = 0; c < 16; ++c)
            EXPECT_EQ(list.GetItemText(r, c), rows[static_cast<size_t>(r)].cells[static_cast<size_t>(c)]);
    }
    std::string title;
    ASSERT_TRUE(list.GetColumn(0, &title, nullptr));
    EXPECT_EQ(title, ReportString(reportstr::IDS_NAME_COLUMN));
    ASSERT_TRUE(list.GetColumn(15, &title, nullptr));
    EXPECT_EQ(title, GetMeasurementName(14));
    EXPECT_EQ(list.FindObjectRow(das), 4);
    EXPECT_EQ(list.FindObjectRow(nullptr), -1);
}

TEST(MeasureReport, PositionInRoundBracketsShowsInSquareBrackets)
{
    Overlay o;
    auto* point = new FixedPositionPoint;
    point->SetState(GS_FINISHED);
    point->SetCalType();
    point->GetProperty().SetName("Pt");
    o.container.GetMainObjList().push_back(point);
    const std::vector<tagColumnInfo> columns = MeasureReportColumns();
    const std::vector<MeasureReportRow> rows = BuildMeasureRows(o.container, columns);
    ASSERT_EQ(rows.size(), 1u);
    const auto centre = std::find_if(columns.begin(), columns.end(),
                                     [](const tagColumnInfo& c) { return c.mask == CAL_POSITION_CENTER; });
    EXPECT_EQ(rows[0].cells[static_cast<size_t>(centre - columns.begin())], "[1.5, 2.5]");
}

TEST(MeasureReport, ColumnsMovedInTheHeaderKeepTheirValues)
{
    Overlay o;
    CQvGObject* line = o.Line("L");
    CMeasureReportCtrl list;
    list.DefaultHeaderSetting();
    list.horizontalHeader()->moveSection(1, 5);  // the user drags Length to the right
    list.SetViewData(&o.container);
    // Cells go by column index: Length's value stays under the Length title wherever it is shown.
    EXPECT_EQ(list.GetItemText(0, 1), Bracketed(line, CAL_LENGTH));
    EXPECT_EQ(list.GetItemText(0, 0), "L");
    EXPECT_EQ(list.OrderToIndex(5), 1);
}

TEST(MeasureReport, SelectionFollowsBothWays)
{
    Overlay o;
    CQvGObject* first = o.Line("A", 0);
    CQvGObject* second = o.Line("B", 100);
    CMeasureReportCtrl list;
    list.DefaultHeaderSetting();
    list.SetViewData(&o.container);
    ASSERT_EQ(list.GetItemCount(), 2);
    o.container.UnSelectAll();

    // List -> overlay: both rows keep both objects selected.
    list.SetItemSelected(0, true);
    list.SetItemSelected(1, true);
    const GObjectList& selected = *o.container.GetSelectedObjList();
    EXPECT_EQ(selected.size(), 2u);
    EXPECT_NE(std::find(selected.begin(), selected.end(), first), selected.end());
    EXPECT_NE(std::find(selected.begin(), selected.end(), second), selected.end());

    // Overlay -> list: the row is selected, the overlay's selection stays as the overlay made it.
    list.clearSelection();
    o.container.UnSelectAll();
    o.container.SelectObjects(second, 0);
    list.SelectObjectRow(second);
    EXPECT_EQ(list.GetSelectedRows(), std::vector<int>{1});
    ASSERT_EQ(o.container.GetSelectedObjectCount(), 1);
    EXPECT_EQ(o.container.GetSelectedObjList()->front(), second);

    // While an object is being created the list leaves the overlay alone.
    list.clearSelection();
    ASSERT_EQ(o.container.AddObject(SHAPE_LINE), 1);
    CQvGObject* creating = o.container.GetCreatingObject();
    list.SetItemSelected(0, true);
    EXPECT_EQ(o.container.GetCreatingObject(), creating);
    ASSERT_EQ(o.container.GetSelectedObjectCount(), 1);
    EXPECT_EQ(o.container.GetSelectedObjList()->front(), creating);
}

TEST(MeasureReport, PerpendicularRowOfTheGrabbedFootOnlyWhenAFootIsGrabbed)
{
    Overlay o;
    o.Line("L");
    CQvGObject* perp = o.Perpendicular("P", 3);
    CMeasureReportCtrl list;
    list.DefaultHeaderSetting();
    list.SetViewData(&o.container);
    perp->GetHandle(CRect(89, 39, 92, 42));  // a click grabs the third foot
    ASSERT_EQ(perp->GetCurSubItem(), 2);
    list.SelectObjectRow(perp);
    EXPECT_EQ(list.GetSelectedRows(), std::vector<int>{3});
    // A base-line end (-2, -1) stays on the object's first row, never the line's row above it.
    for (auto [end, sub] : {std::pair{CPoint(10, 50), -2}, std::pair{CPoint(110, 50), -1}}) {
        list.clearSelection();
        perp->GetHandle(CRect(end.x - 1, end.y - 1, end.x + 2, end.y + 2));
        ASSERT_EQ(perp->GetCurSubItem(), sub);
        list.SelectObjectRow(perp);
        EXPECT_EQ(list.GetSelectedRows(), std::vector<int>{1}) << sub;
    }
}

TEST(MeasureReport, DeleteRemovesOneFootThenTheLastFootTheObject)
{
    Overlay o;
    CQvGObject* perp = o.Perpendicular("P", 3);
    const std::string kept0 = perp->GetDataString(0);
    const std::string kept2 = perp->GetDataString(2);
    CMeasureReportCtrl list;
    list.DefaultHeaderSetting();
    list.SetViewData(&o.container);
    ASSERT_EQ(list.GetItemCount(), 3);
    list.SetItemSelected(1, true);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(&list, &del);
    ASSERT_TRUE(o.Holds(perp));
    EXPECT_EQ(perp->GetPointCount(), 4);
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetItemText(0, 1), kept0);
    EXPECT_EQ(list.GetItemText(1, 1), kept2);
    EXPECT_EQ(list.GetItemText(1, 0), "P-1");

    Overlay single;
    CQvGObject* lone = single.Perpendicular("Q", 1);
    list.SetViewData(&single.container);
    ASSERT_EQ(list.GetItemCount(), 1);
    list.SetItemSelected(0, true);
    list.DeleteSelectedResults();
    EXPECT_FALSE(single.Holds(lone));
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST(MeasureReport, DeleteOfLineAndPerpendicularRowsNeverTouchesADeletedObject)
{
    for (bool lineFirst : {true, false}) {
        Overlay o;
        CQvGObject* a = lineFirst ? o.Line("L") : o.Perpendicular("P", 2);
        CQvGObject* b = lineFirst ? o.Perpendicular("P", 2) : o.Line("L");
        CMeasureReportCtrl list;
        list.DefaultHeaderSetting();
        list.SetViewData(&o.container);
        ASSERT_EQ(list.GetItemCount(), 3);
        o.container.UnSelectAll();
        // The line row and the perpendicular's last row: both objects selected in the overlay too.
        list.SetItemSelected(lineFirst ? 0 : 2, true);
        list.SetItemSelected(lineFirst ? 2 : 1, true);
        ASSERT_EQ(o.container.GetSelectedObjectCount(), 2);
        list.DeleteSelectedResults();
        CQvGObject* line = lineFirst ? a : b;
        CQvGObject* perp = lineFirst ? b : a;
        if (lineFirst) {
            EXPECT_FALSE(o.Holds(line)) << "the line row deletes the overlay's selection";
        } else {
            EXPECT_TRUE(o.Holds(line)) << "a foot row deletes that foot alone";
            ASSERT_TRUE(o.Holds(perp));
            EXPECT_EQ(perp->GetPointCount(), 3);
        }
        for (int r = 0; r < list.GetItemCount(); ++r)
            EXPECT_TRUE(o.Holds(reinterpret_cast<CQvGObject*>(list.GetItemData(r)))) << r;
    }
}
