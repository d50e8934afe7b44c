#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/shapes/CQvGObjectPolyLine.h"

#include "calibkeeper/CCalibKeeper.h"
#include "testing/RenderCheck.h"
#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"
#include "types/WinUser.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using testing_support::BlankSurface;
using testing_support::PixelAt;

constexpr UINT kLeftButton = MK_LBUTTON;  // the mouse handlers' flag for a held left button

struct ChainDeleter
{
    void operator()(CQvGObjectPolyLine* p) const { p->RemoveAll(); }
};
using ChainPtr = std::unique_ptr<CQvGObjectPolyLine, ChainDeleter>;

ChainPtr MakeChain(CQvGObjectContainer* container, std::vector<CPoint> points, QVGO_TYPE kind = GOTYPE_MEASURE)
{
    ChainPtr chain(new CQvGObjectPolyLine);
    chain->SetContainer(container);
    chain->SetGOType(kind);
    for (CPoint p : points)
        chain->AddPoint(p);
    return chain;
}

std::vector<CRect> LabelBoxes(const CQvGObject& obj)
{
    std::vector<CRect> boxes;
    for (CQvGObject* label : obj.GetLabels())
        boxes.push_back(label->GetMBR());
    return boxes;
}

// The boxes value labels of `owner` get when placed at the points. Labels size themselves to their text, so where
// a label was placed shows only by comparing it with one placed on purpose.
std::vector<CRect> LabelBoxesAt(const CQvGObject& owner, std::vector<CPoint> points)
{
    ChainPtr reference(new CQvGObjectPolyLine);
    *reference = static_cast<const CQvGObjectPolyLine&>(owner);
    for (CPoint p : points)
        reference->AddLabelObject(p);
    return LabelBoxes(*reference);
}

CRect Offset(CRect r, CSize by)
{
    r.OffsetRect(by);
    return r;
}

double Length(CQvGObject& obj)
{
    tagCAL_DATA data;
    data.kind = CAL_LENGTH;
    EXPECT_EQ(obj.GetCalData(data, 0), 1);
    return data.value1;
}

}  // namespace

TEST(GObjectPolyLine, ClickedChainMeasuresItsLengthAndLabelsEverySegment)
{
    CQvGObjectContainer container;
    container.SetAutoRepeatCreatingObject(0);
    CCalibKeeper calib;
    calib.SetUnitsPerPixel(0.5);
    container.ConnectCalibKeeper(&calib);
    QImage surface = BlankSurface(100, 100);
    CDC dc(surface);

    ASSERT_EQ(container.AddObject(SHAPE_POLYLINE), 1);
    CQvGObject* chain = container.GetCreatingObject();
    for (CPoint p : {CPoint(0, 0), CPoint(30, 0), CPoint(30, 40)}) {
        container.MouseMove(&dc, 0, p);
        container.LButtonDown(kLeftButton, p);
        container.LButtonUp(0, p);
    }
    container.MouseMove(&dc, 0, CPoint(60, 70));  // the point that follows the mouse
    EXPECT_EQ(chain->GetPointCount(), 4);
    container.RButtonDown(0, CPoint(60, 70));

    EXPECT_EQ(chain->GetState(), GS_FINISHED);
    ASSERT_EQ(chain->GetPointCount(), 3);
    EXPECT_DOUBLE_EQ(Length(*chain), 35.0);
    EXPECT_EQ(chain->GetMBR(), CRect(0, 0, 30, 40));
    EXPECT_EQ(LabelBoxes(*chain), LabelBoxesAt(*chain, {{15, 20}, {15, 0}, {30, 20}}));

    chain->SetCalType();
    EXPECT_EQ(chain->GetCalType(), CAL_LENGTH);
    tagCAL_DATA area;
    area.kind = CAL_AREA;
    EXPECT_EQ(chain->GetCalData(area, 0), 0);
}

TEST(GObjectPolyLine, DraggingWithTheButtonHeldAddsPoints)
{
    CQvGObjectContainer container;
    container.SetAutoRepeatCreatingObject(0);
    QImage surface = BlankSurface(100, 100);
    CDC dc(surface);

    container.AddObject(SHAPE_ANNO_POLYLINE);
    CQvGObject* chain = container.GetCreatingObject();
    container.LButtonDown(kLeftButton, CPoint(0, 0));
    for (int x = 5; x <= 20; x += 5)
        container.MouseMove(&dc, kLeftButton, CPoint(x, 0));
    container.LButtonUp(0, CPoint(20, 0));
    container.MouseMove(&dc, 0, CPoint(20, 9));  // without the button the last point follows the mouse
    EXPECT_EQ(chain->GetPointCount(), 6);
    EXPECT_EQ(chain->GetPoint()[5], (_RPOINT{20, 9}));

    container.RButtonDown(0, CPoint(20, 9));
    EXPECT_EQ(chain->GetPointCount(), 5);
    EXPECT_EQ(chain->GetLabelCount(), 0);  // annotations own no labels
}

TEST(GObjectPolyLine, FinishingAnEmptyChainKeepsItEmpty)
{
    CQvGObjectContainer container;
    for (QVGO_TYPE kind : {GOTYPE_MEASURE, GOTYPE_POLYLINE}) {
        ChainPtr chain = MakeChain(&container, {}, kind);
        EXPECT_EQ(chain->CanFinish(), 0);
        chain->Cancel();  // finishes
        EXPECT_EQ(chain->GetState(), GS_FINISHED);
        EXPECT_EQ(chain->GetPointCount(), 0);
        EXPECT_EQ(chain->GetLabelCount(), 0);
        EXPECT_EQ(chain->GetMBR(), CRect());
        CRgn rgn;
        EXPECT_EQ(chain->GetHitTestRgn(rgn), 0);
    }

    // One click then a right click: the clicked point stays and gets the value label.
    ChainPtr single = MakeChain(&container, {{7, 8}, {7, 8}});
    single->Finish();
    EXPECT_EQ(single->GetPointCount(), 1);
    EXPECT_EQ(LabelBoxes(*single), LabelBoxesAt(*single, {{7, 8}}));
}

TEST(GObjectPolyLine, PointArrayKeepsAFreeSlotAndCopiesStayIndependent)
{
    ChainPtr chain = MakeChain(nullptr, {});
    EXPECT_EQ(chain->GetCapacity(), 10);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(chain->AddPoint(CPoint(i, i)), i + 1);
    EXPECT_EQ(chain->GetCapacity(), 10);
    chain->AddPoint(CPoint(9, 9));
    EXPECT_EQ(chain->GetCapacity(), 20);

    ChainPtr copy = MakeChain(nullptr, {});
    *copy = *chain;
    for (int i = 10; i < 25; ++i)
        copy->AddPoint(CPoint(i, -i));
    EXPECT_EQ(copy->GetPointCount(), 25);
    EXPECT_EQ(copy->GetCapacity(), 30);
    EXPECT_EQ(chain->GetPointCount(), 10);
    EXPECT_EQ(copy->GetPoint()[9], (_RPOINT{9, 9}));
    EXPECT_EQ(copy->GetPoint()[24], (_RPOINT{24, -24}));
}

TEST(GObjectPolyLine, HitRegionCoversTheSegmentsAndTheEnclosedArea)
{
    CQvGObjectContainer container;
    container.SetRatio(1.0f);
    ChainPtr straight = MakeChain(&container, {{0, 0}, {40, 0}}, GOTYPE_POLYLINE);
    ChainPtr bent = MakeChain(&container, {{0, 0}, {40, 0}, {40, 40}}, GOTYPE_POLYLINE);
    struct Case
    {
        CQvGObjectPolyLine* chain;
        CPoint p;
        bool hit;
    };
    const Case cases[] = {
        {straight.get(), {20, 0}, true},  {straight.get(), {20, 2}, true}, {straight.get(), {20, 5}, false},
        {straight.get(), {42, 0}, true},  {straight.get(), {45, 0}, false},
        {bent.get(), {30, 10}, true},     // inside the hull, as the polygon region has it
        {bent.get(), {10, 30}, false},    {bent.get(), {41, 20}, true}, {bent.get(), {25, 20}, true},
    };
    for (const Case& c : cases) {
        CRgn rgn;
        ASSERT_EQ(c.chain->GetHitTestRgn(rgn), 1);
        EXPECT_EQ(rgn.PtInRegion(c.p) != 0, c.hit) << c.p.x << "," << c.p.y;
    }
}

TEST(GObjectPolyLine, HandlesAndCursorPickVertices)
{
    ChainPtr chain = MakeChain(nullptr, {{0, 0}, {10, 0}, {10, 10}, {10, 0}});
    chain->SetState(GS_FINISHED);
    EXPECT_EQ(chain->GetHandle(CRect(8, -2, 13, 3)), 1);  // the first of the two vertices there
    EXPECT_EQ(chain->GetSelectedHandle(), 1);
    EXPECT_EQ(chain->GetCursorShape(CRect(8, -2, 13, 3)), 32646u);
    EXPECT_EQ(chain->GetHandle(CRect(3, 3, 6, 6)), -1);
    EXPECT_EQ(chain->GetCursorShape(CRect(3, 3, 6, 6)), CQvGObject::kNoCursor);

    chain->MoveHandle(2, CSize(5, -5));
    chain->MoveHandle(4, CSize(5, -5));  // past the end: nothing
    chain->MoveHandle(-1, CSize(5, -5));
    EXPECT_EQ(chain->GetPoint()[2], (_RPOINT{15, 5}));
    EXPECT_EQ(chain->GetPoint()[3], (_RPOINT{10, 0}));

    chain->SetState(GS_ADDING);
    EXPECT_EQ(chain->GetHandle(CRect(3, 3, 6, 6)), 3);  // the last vertex follows the mouse
}

TEST(GObjectPolyLine, MovingMovesEveryLabelAndOnlyTheLabelsWhenOneWasGrabbed)
{
    CQvGObjectContainer container;
    // A thin "C": the middle of its box, where the value label sits, is outside its region.
    ChainPtr chain = MakeChain(&container, {{100, 0}, {0, 0}, {0, 100}, {100, 100}, {100, 90}, {10, 90}, {10, 10},
                                            {100, 10}, {100, 10}});
    chain->SetState(GS_ADDING);
    chain->Finish();
    ASSERT_EQ(chain->GetLabelCount(), 8);
    const std::vector<CRect> before = LabelBoxes(*chain);
    EXPECT_EQ(before[0], LabelBoxesAt(*chain, {{50, 50}})[0]);

    chain->MoveTo(CSize(3, 4));
    EXPECT_EQ(chain->GetMBR(), CRect(3, 4, 103, 104));
    const std::vector<CRect> moved = LabelBoxes(*chain);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(moved[i], Offset(before[i], CSize(3, 4)));

    ASSERT_TRUE(chain->IsSelected(moved[0].CenterPoint()));
    EXPECT_EQ(chain->GetLabelHit(), 1);
    chain->MoveTo(CSize(3, 4));
    EXPECT_EQ(chain->GetMBR(), CRect(3, 4, 103, 104));
    const std::vector<CRect> movedAlone = LabelBoxes(*chain);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(movedAlone[i], Offset(before[i], CSize(6, 8)));
}

TEST(GObjectPolyLine, DrawsAWholePixelFurtherThanItsPoints)
{
    ChainPtr chain = MakeChain(nullptr, {{0, 0}, {10, 0}, {10, 5}});
    QImage surface = BlankSurface(40, 40);
    CDC dc(surface);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    dc.SelectObject(&pen);
    const CPoint origin(2, 3);
    const float ratio = 1.0f;
    chain->DrawShape(&dc, &origin, &ratio, 0);  // window (3, 4) (13, 4) (13, 9), the last pixel left out

    for (QPoint black : {QPoint(3, 4), QPoint(12, 4), QPoint(13, 4), QPoint(13, 8)})
        EXPECT_EQ(PixelAt(surface, black.x(), black.y()), 0x000000u) << black.x() << "," << black.y();
    for (QPoint white : {QPoint(2, 3), QPoint(2, 4), QPoint(13, 9), QPoint(14, 4)})
        EXPECT_EQ(PixelAt(surface, white.x(), white.y()), 0xFFFFFFu) << white.x() << "," << white.y();

    QImage untouched = BlankSurface(40, 40);
    CDC emptyDc(untouched);
    ChainPtr empty = MakeChain(nullptr, {});
    empty->DrawShape(&emptyDc, &origin, &ratio, 0);
    EXPECT_EQ(testing_support::CountColour(untouched, 0xFFFFFF), 40 * 40);
}
