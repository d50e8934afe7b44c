// The creation state machine of the container, driven through its mouse and key entry points with real lines.
#include "CQvGObject.h"
#include "CQvGObjectContainer.h"
#include "FakeCanvas.h"
#include "FiguronCursors.h"
#include "TestGObject.h"

#include "types/WinUser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT kLeftButton = MK_LBUTTON;

// The number after the last "-" of an automatic name.
int NameNumber(const CQvGObject* obj)
{
    const std::string& name = obj->GetProperty().GetName();
    return std::stoi(name.substr(name.rfind('-') + 1));
}

class ContainerCreation : public ::testing::Test
{
protected:
    void SetUp() override { container.SetCanvasWnd(&canvas); }

    // Two clicks with a move between them: a finished line from a to b.
    void DrawLine(CPoint a, CPoint b)
    {
        auto dc = canvas.GetSurfaceDC();
        container.LButtonDown(kLeftButton, a);
        container.LButtonUp(0, a);
        container.MouseMove(dc.get(), 0, b);
        container.LButtonDown(kLeftButton, b);
        container.LButtonUp(0, b);
    }

    FakeCanvas canvas;
    CQvGObjectContainer container;
};

TEST_F(ContainerCreation, ClicksFinishALineAndRepetitionStartsTheNextNumber)
{
    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
    CQvGObject* first = container.GetCreatingObject();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetProperty().GetName().rfind("Line-", 0), 0u);
    const int number = NameNumber(first);
    EXPECT_EQ(container.GetObjState(), GS_FIRST_POINT);

    auto dc = canvas.GetSurfaceDC();
    container.LButtonDown(kLeftButton, CPoint(10, 10));
    EXPECT_EQ(container.GetObjState(), GS_ADDING);
    EXPECT_EQ(first->GetPointCount(), 2);
    EXPECT_TRUE(canvas.captured);
    container.MouseMove(dc.get(), 0, CPoint(50, 10));
    EXPECT_EQ(first->GetPoint()[1].x, 50.0);
    container.LButtonDown(kLeftButton, CPoint(50, 10));

    EXPECT_EQ(first->GetState(), GS_FINISHED);
    EXPECT_EQ(first->GetPointCount(), 2);
    EXPECT_EQ(first->GetLabelCount(), 1);
    EXPECT_EQ(container.GetObjState(), GS_FIRST_POINT);
    ASSERT_EQ(container.GetMainObjList().size(), 2u);
    CQvGObject* second = container.GetCreatingObject();
    EXPECT_NE(second, first);
    EXPECT_EQ(NameNumber(second), number + 1);

    // Escape drops the new object and gives its number back.
    container.KeyDown(27, 1, 0);
    EXPECT_EQ(container.GetObjState(), GS_IDLE);
    EXPECT_EQ(container.GetMainObjList().size(), 1u);
    EXPECT_FALSE(canvas.captured);
    EXPECT_EQ(container.GetSelectedObjectCount(), 0);
    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
    EXPECT_EQ(NameNumber(container.GetCreatingObject()), number + 1);
}

TEST_F(ContainerCreation, CancellingAnUnnamedObjectLeavesTheCounterAlone)
{
    container.SetAutoRepeatCreatingObject(0);
    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
    const int number = NameNumber(container.GetCreatingObject());
    DrawLine(CPoint(10, 10), CPoint(40, 10));

    ASSERT_EQ(container.AddObject(SHAPE_ANNO_LINE), 1);
    EXPECT_EQ(container.GetCreatingObject()->GetProperty().GetName(), "");
    EXPECT_EQ(container.GetCreatingObject()->GetGOType(), GOTYPE_LINE);
    container.KeyDown(27, 1, 0);

    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
    EXPECT_EQ(NameNumber(container.GetCreatingObject()), number + 1) << "a number already shown came back";
}

TEST_F(ContainerCreation, StartingAnotherCreationDropsTheUnfinishedObject)
{
    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
    const int number = NameNumber(container.GetCreatingObject());
    container.LButtonDown(kLeftButton, CPoint(10, 10));  // half drawn
    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);

    ASSERT_EQ(container.GetMainObjList().size(), 1u);
    EXPECT_EQ(container.GetCreatingObject()->GetPointCount(), 0);
    EXPECT_EQ(NameNumber(container.GetCreatingObject()), number);
}

TEST_F(ContainerCreation, RightClickCancelsBeforeTheFirstPointAndFinishesAfterIt)
{
    container.SetAutoRepeatCreatingObject(0);
    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
    container.RButtonDown(0, CPoint(5, 5));
    EXPECT_EQ(container.GetObjState(), GS_IDLE);
    EXPECT_TRUE(container.GetMainObjList().empty());

    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
    CQvGObject* line = container.GetCreatingObject();
    container.LButtonDown(kLeftButton, CPoint(10, 10));
    auto dc = canvas.GetSurfaceDC();
    container.MouseMove(dc.get(), 0, CPoint(30, 20));
    container.RButtonDown(0, CPoint(30, 20));
    EXPECT_EQ(line->GetState(), GS_FINISHED);
    EXPECT_EQ(container.GetObjState(), GS_FINISHED);
    EXPECT_EQ(container.GetMainObjList().size(), 1u);
}

TEST_F(ContainerCreation, DraggingWithTheButtonAddsPointsOnlyToShapesThatTakeThem)
{
    struct Case
    {
        OBJ_SHAPE shape;
        int pointsAfterDrag;
    };
    for (const Case& c : {Case{SHAPE_POLYLINE, 4}, Case{SHAPE_LINE, 2}})
    {
        ASSERT_EQ(container.AddObject(c.shape), 1);
        CQvGObject* obj = container.GetCreatingObject();
        auto dc = canvas.GetSurfaceDC();
        container.LButtonDown(kLeftButton, CPoint(0, 0));
        container.MouseMove(dc.get(), kLeftButton, CPoint(10, 0));
        container.MouseMove(dc.get(), kLeftButton, CPoint(20, 5));
        EXPECT_EQ(obj->GetPointCount(), c.pointsAfterDrag) << c.shape;
        EXPECT_EQ(obj->GetPoint()[c.pointsAfterDrag - 1].x, 20.0) << c.shape;
        container.KeyDown(27, 1, 0);
    }
}

TEST_F(ContainerCreation, NoRedrawKeepsTheCanvasUntouched)
{
    for (int noRedraw : {0, 1})
    {
        container.SetNoRedraw(noRedraw);
        ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
        const int before = canvas.invalidations;
        container.KeyDown(27, 1, 0);
        EXPECT_EQ(canvas.invalidations - before, noRedraw ? 0 : 1);
    }
}

TEST_F(ContainerCreation, UnknownCodesCreateNothing)
{
    for (int code : {22, 23, 29, 33, 40, 41, 99, -1})
    {
        EXPECT_EQ(container.AddObject(static_cast<OBJ_SHAPE>(code)), 0) << code;
        EXPECT_EQ(container.GetObjState(), GS_IDLE) << code;
        EXPECT_TRUE(container.GetMainObjList().empty()) << code;
    }
}

TEST_F(ContainerCreation, FactoryGivesAnnotationFormsTheirKind)
{
    struct Case
    {
        OBJ_SHAPE code;
        QVGO_TYPE kind;
    };
    for (const Case& c : {Case{SHAPE_LINE, GOTYPE_MEASURE}, Case{SHAPE_RECT, GOTYPE_MEASURE},
                          Case{SHAPE_POLYLINE, GOTYPE_MEASURE}, Case{SHAPE_ANNO_LINE, GOTYPE_LINE},
                          Case{SHAPE_ANNO_RECT, GOTYPE_RECT}, Case{SHAPE_ANNO_POLYLINE, GOTYPE_POLYLINE},
                          Case{SHAPE_LABEL, CQvGObject::kLabelKind}})
    {
        CQvGObject* obj = container.CreateObject(c.code);
        ASSERT_NE(obj, nullptr) << c.code;
        EXPECT_EQ(obj->GetGOType(), c.kind) << c.code;
        obj->RemoveAll();
    }
}

TEST_F(ContainerCreation, AutomaticColoursCycleThroughThePalette)
{
    const COLORREF palette[] = {0x000000, 0x004080, 0x008000, 0xFFFF00, 0xFF8000};
    container.SetAutoChangeColorMode(1);
    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
    const COLORREF first = container.GetCreatingObject()->GetProperty().GetLineColor();
    int start = 0;
    while (start < 5 && palette[start] != first)
        ++start;
    ASSERT_LT(start, 5);
    for (int i = 1; i <= 6; ++i)
    {
        ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
        const CQvGObjectProperty& look = container.GetCreatingObject()->GetProperty();
        EXPECT_EQ(look.GetLineColor(), palette[(start + i) % 5]) << i;
        EXPECT_EQ(look.GetTextColor(), palette[(start + i) % 5]) << i;
    }
}

TEST_F(ContainerCreation, FailedObjectIsDiscardedOnButtonUpAndTheToolStartsAgain)
{
    // A shape that cannot be built from its first point, as an automatic edge tool without an edge.
    class FailingShape : public TestGObject
    {
    public:
        int AddPoint(CPoint) override
        {
            m_state = GS_FAILED;
            return 0;
        }
    };
    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
    CQvGObject* line = container.GetCreatingObject();
    auto* failing = new FailingShape();
    failing->SetContainer(&container);
    failing->SetState(GS_FIRST_POINT);
    container.GetMainObjList().back() = failing;
    container.GetSelectObjList().front() = failing;
    line->RemoveAll();

    container.LButtonDown(kLeftButton, CPoint(10, 10));
    EXPECT_EQ(container.GetObjState(), GS_FAILED);
    container.LButtonUp(0, CPoint(10, 10));

    ASSERT_EQ(container.GetMainObjList().size(), 1u);
    CQvGObject* next = container.GetCreatingObject();
    EXPECT_NE(next, failing);
    EXPECT_EQ(next->GetObjShape(), SHAPE_LINE);
    EXPECT_EQ(container.GetObjState(), GS_FIRST_POINT);
}

TEST_F(ContainerCreation, CursorFollowsTheStateAndTheWindowCursorSetting)
{
    EXPECT_EQ(container.SetCursorShape(CPoint(1, 1)), 0);
    ASSERT_EQ(container.AddObject(SHAPE_LINE), 1);
    EXPECT_EQ(container.SetCursorShape(CPoint(1, 1)), 1);
    ASSERT_EQ(canvas.cursors.size(), 1u);
    EXPECT_EQ(canvas.cursors.back(), CreationCursorId());

    container.SetUseWindowCursor(1);
    EXPECT_EQ(container.SetCursorShape(CPoint(1, 1)), 1);
    EXPECT_EQ(canvas.cursors.size(), 1u);
}

}  // namespace
