// Two overlays open at once, as two documents are: what one container does must not reach the other's state.
#include "CQvGObjectContainer.h"
#include "FakeCanvas.h"
#include "TestGObject.h"

#include "RenderCheck.h"
#include "types/WinUser.h"

#include <gtest/gtest.h>

using testing_support::ImagesMatch;

namespace {

// A container in selection mode on its own surface.
struct Window
{
    FakeCanvas canvas{160, 120};
    CQvGObjectContainer container;
    std::unique_ptr<CDC> dc = canvas.GetSurfaceDC();

    Window()
    {
        container.SetCanvasWnd(&canvas);
        container.SelectionMode(1);
    }
};

}  // namespace

TEST(ContainerIsolation, ARubberBandInOneWindowIsErasedWhereItWasDrawnWhateverAnotherWindowDid)
{
    Window first, second;
    first.container.LButtonDown(MK_LBUTTON, CPoint(10, 10));
    first.container.MouseMove(first.dc.get(), MK_LBUTTON, CPoint(60, 40));
    // Meanwhile the other window starts and ends bands of its own.
    second.container.LButtonDown(MK_LBUTTON, CPoint(100, 90));
    second.container.MouseMove(second.dc.get(), MK_LBUTTON, CPoint(120, 100));
    second.container.LButtonUp(0, CPoint(120, 100));
    second.container.LButtonDown(MK_LBUTTON, CPoint(30, 30));
    first.container.MouseMove(first.dc.get(), MK_LBUTTON, CPoint(80, 50));

    // Only the band from where this window's drag began to where the mouse is now.
    Window alone;
    alone.container.LButtonDown(MK_LBUTTON, CPoint(10, 10));
    alone.container.MouseMove(alone.dc.get(), MK_LBUTTON, CPoint(80, 50));
    EXPECT_TRUE(ImagesMatch(first.canvas.surface, alone.canvas.surface, "isolation-rubber-band"));
}

TEST(ContainerIsolation, ADragInOneWindowMovesByThatWindowsMouseOnly)
{
    Window first, second;
    auto* line = new TestGObject;
    line->SetContainer(&first.container);
    line->SetState(GS_FINISHED);
    line->SetPoints({{10, 10}, {50, 10}});
    first.container.GetMainObjList().push_back(line);

    first.container.LButtonDown(MK_LBUTTON, CPoint(30, 10));  // grabs the line's body
    ASSERT_EQ(first.container.GetSelectedObjectCount(), 1);
    second.container.LButtonDown(MK_LBUTTON, CPoint(100, 90));
    first.container.MouseMove(nullptr, MK_LBUTTON, CPoint(35, 17));
    EXPECT_EQ(line->GetPoint()[0].x, 15);
    EXPECT_EQ(line->GetPoint()[0].y, 17);
    // A new document's overlay starts its own mouse, not the others'.
    CQvGObjectContainer third;
    first.container.MouseMove(nullptr, MK_LBUTTON, CPoint(36, 17));
    EXPECT_EQ(line->GetPoint()[0].x, 16);
    EXPECT_EQ(line->GetPoint()[0].y, 17);
}
