// An overlay container on a real display window, through the window's canvas: capture from click to click of a
// creation, the rubber band in the retained surface, repainting of the finished shape, cursors and notices.
#include "CQvGObjectContainer.h"
#include "DispWndCanvas.h"
#include "FiguronCursors.h"
#include "GObjectPropertySheet.h"

#include "CCalibKeeper.h"
#include "CQvDispWnd.h"
#include "RenderCheck.h"
#include "types/WinUser.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

using testing_support::CountDifferences;

namespace {

constexpr UINT kLeftButton = MK_LBUTTON;

// A view as the program has it: a white page with the overlay drawn over it.
class OverlayWnd : public CQvDispWnd
{
public:
    CQvGObjectContainer container;

    void OnDraw(CDC* dc) override
    {
        const CRect client = GetClientRect();
        dc->FillSolidRect(&client, 0xFFFFFF);
        container.Draw(dc, 0);
    }
};

struct Scene
{
    Scene()
    {
        wnd.resize(320, 240);
        wnd.show();
        QApplication::processEvents();
        wnd.SetCanvasSize(CSize(300, 200));
        calib.SetUnitsPerPixel(1.0);
        wnd.container.ConnectCalibKeeper(&calib);
        wnd.container.SetCanvasWnd(&canvas);
        wnd.container.SetCanvasSize(CSize(300, 200));
        wnd.container.SetAutoRepeatCreatingObject(0);
        wnd.UpdateWindow();
    }

    void Move(CPoint p, UINT flags = 0)
    {
        std::unique_ptr<CDC> dc = canvas.GetSurfaceDC();
        wnd.container.MouseMove(dc.get(), flags, p);
    }

    OverlayWnd wnd;
    CCalibKeeper calib;
    CDispWndCanvas canvas{&wnd};
};

}  // namespace

TEST(DispWndCanvas, LineDrawnOnTheWindowCapturesBetweenClicksAndRepaintsFinished)
{
    Scene s;
    const QImage blank = s.wnd.GetSurface();
    ASSERT_TRUE(s.wnd.container.AddObject(SHAPE_LINE));

    s.Move(CPoint(20, 20));
    s.wnd.container.LButtonDown(kLeftButton, CPoint(20, 20));
    s.wnd.container.LButtonUp(0, CPoint(20, 20));
    EXPECT_EQ(QWidget::mouseGrabber(), s.wnd.viewport());

    s.Move(CPoint(120, 80));
    const QImage banded = s.wnd.GetSurface();
    EXPECT_GT(CountDifferences(banded, blank), 50);

    s.wnd.container.LButtonDown(kLeftButton, CPoint(120, 80));
    s.wnd.container.LButtonUp(0, CPoint(120, 80));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    ASSERT_EQ(s.wnd.container.GetMainObjList().size(), 1u);

    // The finished line comes back from the window's own drawing once the canvas was invalidated.
    const CRect area(0, 0, 320, 240);
    s.canvas.InvalidateRect(&area);
    s.wnd.UpdateWindow();
    EXPECT_GT(CountDifferences(s.wnd.GetSurface(), blank), 50);
}

TEST(DispWndCanvas, CursorsNoticesAndReleaseOfAnotherWidgetsGrab)
{
    Scene s;
    s.canvas.SetCursor(IDC_SIZEALL);
    EXPECT_EQ(s.wnd.viewport()->cursor().shape(), Qt::SizeAllCursor);
    s.canvas.SetCursor(IDC_SIZEWE);
    EXPECT_EQ(s.wnd.viewport()->cursor().shape(), Qt::SizeHorCursor);

    UINT received = 0;
    s.canvas.SendNotify(WM_GOBJECT_PROPERTY_CHANGED);  // no handler yet: nothing happens
    s.canvas.SetNotifyHandler([&](UINT message) { received = message; });
    s.canvas.SendNotify(WM_GOBJECT_PROPERTY_CHANGED);
    EXPECT_EQ(received, WM_GOBJECT_PROPERTY_CHANGED);

    QWidget other;
    other.show();
    other.grabMouse();
    s.canvas.ReleaseMouse();
    EXPECT_EQ(QWidget::mouseGrabber(), &other);
    other.releaseMouse();
}

TEST(DispWndCanvas, SheetsOpenOverTheWindowForNoneOneOrManySelectedObjects)
{
    Scene s;
    std::vector<QWidget*> parents;
    s.wnd.container.SetPropertySheetRunner([&](const GObjectSheetRequest& request) {
        parents.push_back(request.parent);
        return IDCANCEL;
    });
    s.wnd.container.OnPropertyAll(&s.canvas);  // nothing selected: the defaults' sheet
    for (CPoint from : {CPoint(20, 20), CPoint(20, 60)}) {
        ASSERT_TRUE(s.wnd.container.AddObject(SHAPE_LINE));
        for (CPoint p : {from, from + CSize(100, 0)}) {
            s.Move(p);
            s.wnd.container.LButtonDown(kLeftButton, p);
            s.wnd.container.LButtonUp(0, p);
        }
    }
    s.wnd.container.SelectObjects(s.wnd.container.GetMainObjList().front(), 0);
    s.wnd.container.OnPropertyAll(&s.canvas);  // one object: its own sheet
    s.wnd.container.SelectObjects(CRect(0, 0, 300, 200), 0);
    s.wnd.container.OnPropertyAll(&s.canvas);  // several of one kind: the shared sheet
    ASSERT_EQ(parents.size(), 3u);
    for (QWidget* parent : parents)
        EXPECT_EQ(parent, &s.wnd);
}
