// A headless session on the container: lines drawn with the mouse, then selected by click and rubber band,
// dragged by body, handle and label, deleted, and painted into the canvas's surface.
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/Edition.h"
#include "FakeCanvas.h"
#include "testing/RenderCheck.h"
#include "TestGObject.h"

#include "gdi/GdiDefs.h"
#include "types/WinUser.h"
#include "ui/MessageBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using testing_support::CountDifferences;
using testing_support::PixelAt;

constexpr UINT kLeftButton = MK_LBUTTON;

class ContainerSession : public ::testing::Test
{
protected:
    void SetUp() override
    {
        savedEdition = g_OEMProduct;
        SetOEMProduct(0);
        container.SetCanvasWnd(&canvas);
        container.SetAutoRepeatCreatingObject(0);
    }
    void TearDown() override { SetOEMProduct(savedEdition); }

    CQvGObject* DrawLine(CPoint a, CPoint b, int fontHeight = 0, OBJ_SHAPE shape = SHAPE_LINE)
    {
        EXPECT_EQ(container.AddObject(shape), 1);
        CQvGObject* line = container.GetCreatingObject();
        if (fontHeight)
        {
            LOGFONTA font = line->GetProperty().GetFont();
            font.lfHeight = fontHeight;
            line->GetProperty().SetFont(font);
        }
        auto dc = canvas.GetSurfaceDC();
        container.LButtonDown(kLeftButton, a);
        container.LButtonUp(0, a);
        container.MouseMove(dc.get(), 0, b);
        container.LButtonDown(kLeftButton, b);
        container.LButtonUp(0, b);
        EXPECT_EQ(line->GetState(), GS_FINISHED);
        return line;
    }

    void Click(CPoint p)
    {
        container.LButtonDown(kLeftButton, p);
        container.LButtonUp(0, p);
    }

    void Drag(CPoint from, CPoint to)
    {
        auto dc = canvas.GetSurfaceDC();
        container.LButtonDown(kLeftButton, from);
        container.MouseMove(dc.get(), kLeftButton, to);
        container.LButtonUp(0, to);
    }

    bool IsSelected(const CQvGObject* obj)
    {
        const GObjectList& selected = container.GetSelectObjList();
        return std::find(selected.begin(), selected.end(), obj) != selected.end();
    }

    void Render(CDC* dc, int filter = -1)
    {
        canvas.surface.fill(Qt::white);
        container.Draw(dc, filter);
    }

    OEM_PRODUCT savedEdition = 0;
    FakeCanvas canvas{400, 300};
    CQvGObjectContainer container;
};

TEST_F(ContainerSession, ClickAndRubberBandSelection)
{
    CQvGObject* a = DrawLine(CPoint(20, 20), CPoint(120, 20));
    CQvGObject* b = DrawLine(CPoint(20, 200), CPoint(120, 200));
    CQvGObject* d = DrawLine(CPoint(100, 0), CPoint(100, 80));
    container.SelectionMode(1);

    Click(CPoint(100, 20));  // where a and d cross: the topmost wins
    EXPECT_EQ(container.GetSelectedObjectCount(), 1);
    EXPECT_TRUE(IsSelected(d));

    container.SelectObjects(a, 0);
    container.SelectObjects(b, 1);
    Click(CPoint(30, 20));  // on a selected object: the selection stays
    EXPECT_EQ(container.GetSelectedObjectCount(), 2);

    Click(CPoint(100, 70));  // on an unselected one: it alone
    EXPECT_EQ(container.GetSelectedObjectCount(), 1);
    EXPECT_TRUE(IsSelected(d));

    Drag(CPoint(300, 250), CPoint(10, 190));  // empty canvas: a rubber band over b only
    EXPECT_EQ(container.GetSelectedObjectCount(), 1);
    EXPECT_TRUE(IsSelected(b));

    Click(CPoint(300, 250));
    EXPECT_EQ(container.GetSelectedObjectCount(), 0);
    EXPECT_FALSE(canvas.captured);
}

TEST_F(ContainerSession, DragsMoveTheBodyOrOneEndAndDeleteRemoves)
{
    CQvGObject* line = DrawLine(CPoint(20, 200), CPoint(120, 200));
    container.SelectionMode(1);

    Drag(CPoint(25, 200), CPoint(30, 207));
    EXPECT_EQ(line->GetPoint()[0].x, 25.0);
    EXPECT_EQ(line->GetPoint()[0].y, 207.0);
    EXPECT_EQ(line->GetPoint()[1].x, 125.0);
    EXPECT_EQ(line->GetPoint()[1].y, 207.0);

    Drag(CPoint(125, 207), CPoint(135, 217));
    EXPECT_EQ(line->GetSelectedHandle(), 1);
    EXPECT_EQ(line->GetPoint()[0].x, 25.0);
    EXPECT_EQ(line->GetPoint()[1].x, 135.0);
    EXPECT_EQ(line->GetPoint()[1].y, 217.0);

    container.KeyDown(46, 1, 0);
    EXPECT_TRUE(container.GetMainObjList().empty());
    EXPECT_EQ(container.GetSelectedObjectCount(), 0);
}

TEST_F(ContainerSession, DraggingTheValueLabelMovesOnlyTheLabel)
{
    CQvGObject* line = DrawLine(CPoint(20, 100), CPoint(220, 100), -40);
    CQvGObject* label = line->GetLabelObject();
    ASSERT_NE(label, nullptr);
    const CRect box = label->GetMBR();
    const CPoint grab((box.left + box.right) / 2, box.top + 2);
    ASSERT_LT(grab.y, 100 - 3 - 4 - 1) << "the label is too small to grab it away from the line";
    container.SelectionMode(1);

    Drag(grab, grab + CSize(15, -20));
    EXPECT_EQ(line->GetLabelHit(), 1);
    EXPECT_EQ(line->GetPoint()[0].x, 20.0);
    EXPECT_EQ(line->GetPoint()[0].y, 100.0);
    const CRect moved = label->GetMBR();
    EXPECT_EQ(moved.left, box.left + 15);
    EXPECT_EQ(moved.top, box.top - 20);
}

TEST_F(ContainerSession, PaintingShowsObjectsAndGripsOnlyWhereAsked)
{
    CQvGObject* measure = DrawLine(CPoint(20, 20), CPoint(120, 20));
    DrawLine(CPoint(20, 250), CPoint(120, 250), 0, SHAPE_ANNO_LINE);
    const QRgb white = 0xFFFFFF;
    auto dc = canvas.GetSurfaceDC();

    Render(dc.get());
    EXPECT_NE(PixelAt(canvas.surface, 30, 20), white);
    EXPECT_NE(PixelAt(canvas.surface, 30, 250), white);
    EXPECT_EQ(PixelAt(canvas.surface, 300, 150), white);
    EXPECT_EQ(PixelAt(canvas.surface, 17, 17), white) << "no grip outside selection mode";

    Render(dc.get(), 0);
    EXPECT_NE(PixelAt(canvas.surface, 30, 20), white);
    EXPECT_EQ(PixelAt(canvas.surface, 30, 250), white) << "filter 0 paints measurements only";

    container.SelectionMode(1);
    container.SelectObjects(measure, 0);
    Render(dc.get());
    EXPECT_EQ(PixelAt(canvas.surface, 17, 17), 0x000000u) << "grips invert outside edition 1";
    Render(dc.get(), 2);
    EXPECT_EQ(PixelAt(canvas.surface, 17, 17), white) << "grips only with filter -1";
}

TEST_F(ContainerSession, RubberBandsLeaveNoTrace)
{
    DrawLine(CPoint(20, 20), CPoint(120, 20));
    auto dc = canvas.GetSurfaceDC();
    Render(dc.get());
    const QImage painted = canvas.surface.copy();

    // Creation: the rubber-banded line drawn and erased with every move.
    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
    CQvGObject* line = container.GetCreatingObject();
    container.LButtonDown(kLeftButton, CPoint(50, 60));
    for (CPoint p : {CPoint(51, 61), CPoint(90, 75), CPoint(130, 10), CPoint(35, 140)})
        container.MouseMove(dc.get(), 0, p);
    EXPECT_GT(CountDifferences(canvas.surface, painted), 0);
    const CPoint origin = container.GetRelativePoint();
    const float ratio = container.GetRatio();
    dc->SetROP2(R2_NOT);
    line->Draw(dc.get(), &origin, &ratio, 1);
    dc->SetROP2(R2_COPYPEN);
    EXPECT_EQ(CountDifferences(canvas.surface, painted), 0);
    container.KeyDown(27, 1, 0);

    // Selection: only the last rubber band is on the surface.
    container.SelectionMode(1);
    container.LButtonDown(kLeftButton, CPoint(200, 100));
    container.MouseMove(dc.get(), kLeftButton, CPoint(300, 200));
    container.MouseMove(dc.get(), kLeftButton, CPoint(250, 150));
    int outside = 0;
    for (int y = 0; y < painted.height(); ++y)
        for (int x = 0; x < painted.width(); ++x)
        {
            // GDI's rectangle keeps inside its right and bottom, which the band's mapping moved out by one.
            const bool onBand = (x >= 200 && x <= 250 && (y == 100 || y == 150)) ||
                                (y >= 100 && y <= 150 && (x == 200 || x == 250));
            if (!onBand && canvas.surface.pixel(x, y) != painted.pixel(x, y))
                ++outside;
        }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(CountDifferences(canvas.surface, painted), 0);
}

TEST_F(ContainerSession, HiddenScaleMarkerNeitherPaintsNorCatchesClicks)
{
    CQvGObject* line = DrawLine(CPoint(20, 20), CPoint(120, 20));
    auto* marker = new TestGObject(SHAPE_SCALE_MARKER, GOTYPE_SCALE_MARKER);
    marker->SetContainer(&container);
    marker->SetState(GS_FINISHED);
    marker->SetPoints({{0, 0}, {200, 100}});
    container.GetMainObjList().push_back(marker);
    container.SetShowCalibrationScale(0);
    container.SelectionMode(1);

    EXPECT_EQ(container.HitTest(CRect(30, 20, 30, 20)), line);
    EXPECT_EQ(container.SelectObjects(CRect(150, 80, 150, 80), 1), 0);
    EXPECT_EQ(container.GetSelectedObjectCount(), 0);
    Click(CPoint(30, 20));
    EXPECT_TRUE(IsSelected(line));
    Render(canvas.GetSurfaceDC().get());
    EXPECT_EQ(marker->shapeDraws, 0);

    container.SetShowCalibrationScale(1);
    EXPECT_EQ(container.HitTest(CRect(30, 20, 30, 20)), marker);
}

TEST_F(ContainerSession, PixelCentringShiftsTheOriginAboveRatioFour)
{
    container.SetRelative(CPoint(7, 9));
    struct Case
    {
        float ratio;
        int centring;
        int shift;
    };
    for (const Case& c : {Case{4.0f, 1, 0}, Case{5.0f, 1, 3}, Case{8.0f, 1, 4}, Case{5.0f, 0, 0}, Case{1.0f, 1, 0}})
    {
        container.SetRatio(c.ratio);
        container.SetPixelCenter(c.centring);
        EXPECT_EQ(container.GetRelativePoint(), CPoint(7 + c.shift, 9 + c.shift)) << c.ratio << " " << c.centring;
    }
}

TEST_F(ContainerSession, PropertySheetForTheSelection)
{
    CQvGObject* a = DrawLine(CPoint(20, 20), CPoint(120, 20));
    CQvGObject* b = DrawLine(CPoint(20, 200), CPoint(120, 200));
    std::vector<GObjectSheetRequest> requests;
    int answer = IDOK;
    container.SetPropertySheetRunner([&](const GObjectSheetRequest& request) {
        requests.push_back(request);
        if (request.property && !request.object)
            request.property->SetLineColor(0x123456);
        return answer;
    });

    // Several measurements: the shape's defaults are edited and given to each.
    CQvGObjectPropertyTotal saved(*container.GetBaseProperty());
    container.SelectionMode(1);
    container.SelectObjects(a, 0);
    container.SelectObjects(b, 1);
    EXPECT_EQ(container.OnPropertyAll(&canvas), 1);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].object, nullptr);
    EXPECT_EQ(a->GetProperty().GetLineColor(), 0x123456u);
    EXPECT_EQ(b->GetProperty().GetLineColor(), 0x123456u);
    ASSERT_EQ(canvas.notices.size(), 1u);
    EXPECT_EQ(canvas.notices[0], WM_GOBJECT_PROPERTY_CHANGED);

    // One object: its own sheet; cancelled, nothing is announced.
    answer = IDCANCEL;
    container.SelectObjects(a, 0);
    EXPECT_EQ(container.OnPropertyAll(&canvas), 0);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].object, a);
    EXPECT_EQ(canvas.notices.size(), 1u);

    // Mixed kinds: no sheet at all.
    auto* note = new TestGObject(SHAPE_ANNO_LINE, GOTYPE_LINE);
    note->SetContainer(&container);
    container.GetMainObjList().push_back(note);
    container.SelectObjects(note, 1);
    EXPECT_EQ(container.OnPropertyAll(&canvas), 0);
    EXPECT_EQ(requests.size(), 2u);
    *container.GetBaseProperty() = saved;
}

}  // namespace

namespace {

// A base line (points 0 and 1) with feet (one point each) of which the grabbed one can be deleted.
class FeetShape : public TestGObject
{
public:
    FeetShape() : TestGObject(SHAPE_PERPENDICULAR) {}
    int GetSelectedHandle() const override { return 2; }
    int GetCurSubItem() override { return 0; }
    // 0 while feet remain, 1 when only the base line is left.
    int DeleteSubPerpen(int) override { return --m_pointCount > 2 ? 0 : 1; }
};

TEST_F(ContainerSession, DeleteTakesAGrabbedFootBeforeTheWholeObject)
{
    CQvGObject* line = DrawLine(CPoint(20, 20), CPoint(120, 20));
    auto* twoFeet = new FeetShape();
    twoFeet->SetPoints({{0, 100}, {100, 100}, {50, 150}, {70, 150}});
    auto* oneFoot = new FeetShape();
    oneFoot->SetPoints({{0, 200}, {100, 200}, {50, 250}});
    for (CQvGObject* obj : {static_cast<CQvGObject*>(twoFeet), static_cast<CQvGObject*>(oneFoot)})
    {
        obj->SetContainer(&container);
        container.GetMainObjList().push_back(obj);
    }
    container.SelectionMode(1);
    container.SelectObjects(line, 0);
    container.SelectObjects(twoFeet, 1);
    container.SelectObjects(oneFoot, 1);

    container.KeyDown(46, 1, 0);
    ASSERT_EQ(container.GetMainObjList().size(), 1u);
    EXPECT_EQ(container.GetMainObjList().front(), twoFeet);
    EXPECT_EQ(twoFeet->GetPointCount(), 3);
    ASSERT_EQ(container.GetSelectedObjectCount(), 1);
    EXPECT_EQ(container.GetSelectObjList().front(), twoFeet);
}

}  // namespace

namespace {

// Selecting a list of objects at once gives the selection, in the same order, that selecting them one at a time
// gives (the first with keep, the rest kept), with one repaint; repeats and objects of another overlay are skipped.
TEST_F(ContainerSession, SelectingAListAtOnceEqualsSelectingOneAtATime)
{
    std::vector<CQvGObject*> lines;
    for (int i = 0; i < 4; ++i)
        lines.push_back(DrawLine(CPoint(10, 10 + 20 * i), CPoint(90, 10 + 20 * i)));
    CQvGObjectContainer other;
    other.SetAutoRepeatCreatingObject(0);
    ASSERT_EQ(other.AddObject(SHAPE_LINE), 1);
    CQvGObject* foreign = other.GetCreatingObject();
    CQvGObject* a = lines[0];
    CQvGObject* b = lines[1];
    CQvGObject* c = lines[2];
    CQvGObject* d = lines[3];

    struct Case
    {
        const char* name;
        std::vector<CQvGObject*> before;  // selected first, one at a time
        std::vector<CQvGObject*> objects;
        int keep;
    };
    const Case cases[] = {
        {"out of paint order", {}, {c, a, d}, 0},
        {"repeats and foreign", {}, {b, foreign, b, nullptr, a, b}, 0},
        {"replaces the selection", {d, c}, {a, b}, 0},
        {"adds to the selection", {d, b}, {a, b, c, foreign}, 1},
        {"only foreign", {c}, {foreign, nullptr}, 1},
        {"empty list clears", {c, a}, {}, 0},
        {"empty list keeps", {c, a}, {}, 1},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        auto select = [&](bool bulk) {
            container.UnSelectAll();
            for (CQvGObject* obj : test.before)
                container.SelectObjects(obj, 1);
            int count = 0;
            if (bulk) {
                count = container.SelectObjects(test.objects, test.keep);
            } else {
                if (!test.keep)
                    container.UnSelectAll();
                for (CQvGObject* obj : test.objects)
                    count = container.SelectObjects(obj, 1);
                count = container.GetSelectedObjectCount();
            }
            const GObjectList& selected = container.GetSelectObjList();
            EXPECT_EQ(count, static_cast<int>(selected.size()));
            return std::vector<CQvGObject*>(selected.begin(), selected.end());
        };
        const std::vector<CQvGObject*> oneByOne = select(false);
        const std::vector<CQvGObject*> atOnce = select(true);
        EXPECT_EQ(atOnce, oneByOne);
    }

    // One repaint for the whole list, none when nothing changes.
    container.UnSelectAll();
    canvas.invalidations = 0;
    EXPECT_EQ(container.SelectObjects(std::vector<CQvGObject*>{a, b, c, d}, 1), 4);
    EXPECT_EQ(canvas.invalidations, 1);
    EXPECT_EQ(container.SelectObjects(std::vector<CQvGObject*>{a, foreign}, 1), 4);
    EXPECT_EQ(canvas.invalidations, 1);
}

}  // namespace
