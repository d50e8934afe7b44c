// The container under sequences that used to leave it pointing at deleted or unfinished objects (a property
// sheet whose runner deletes the object, selection changes, pastes and removals in the middle of a creation), and
// painting with extreme values that a damaged stream or a caller can set (origin, ratio, line-end types, font
// angles) or that nearly parallel lines produce.
#include "ByteFixture.h"
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "FakeCanvas.h"
#include "gobjects/geometry/GeoDrawing.h"
#include "PrivateRuntimeDir.h"

#include "gdi/CRecordingDC.h"
#include "types/WinUser.h"
#include "ui/MessageBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>

namespace {

constexpr UINT kLeftButton = MK_LBUTTON;
constexpr UINT kKeyEscape = VK_ESCAPE;
constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

class CoreReview : public ::testing::Test
{
protected:
    void SetUp() override
    {
        container.SetCanvasWnd(&canvas);
        container.SetAutoRepeatCreatingObject(0);
    }

    CQvGObject* DrawLine(CPoint a, CPoint b, OBJ_SHAPE shape = SHAPE_LINE)
    {
        EXPECT_EQ(container.AddObject(shape), 1);
        CQvGObject* line = container.GetCreatingObject();
        container.LButtonDown(kLeftButton, a);
        container.LButtonUp(0, a);
        container.MouseMove(nullptr, 0, b);
        container.LButtonDown(kLeftButton, b);
        container.LButtonUp(0, b);
        EXPECT_EQ(line->GetState(), GS_FINISHED);
        return line;
    }

    PrivateRuntimeDir runtime;
    FakeCanvas canvas{300, 200};
    CQvGObjectContainer container;
};

TEST_F(CoreReview, SheetWhoseRunnerDeletesTheObjectReportsNothingChanged)
{
    struct Case
    {
        const char* name;
        std::function<void(CQvGObjectContainer&, CQvGObject*)> meanwhile;
        int answer;
    };
    const Case cases[] = {
        {"RemoveAll, accepted", [](CQvGObjectContainer& c, CQvGObject*) { c.RemoveAll(); }, IDOK},
        {"RemoveAll, cancelled", [](CQvGObjectContainer& c, CQvGObject*) { c.RemoveAll(); }, IDCANCEL},
        {"DeleteObject, accepted", [](CQvGObjectContainer& c, CQvGObject* o) { c.DeleteObject(o); }, IDOK},
        {"Initialize, accepted", [](CQvGObjectContainer& c, CQvGObject*) { c.Initialize(); }, IDOK},
    };
    const CQvGObjectPropertyTotal saved(*container.GetBaseProperty());
    for (const Case& c : cases)
    {
        container.SetCanvasWnd(&canvas);
        container.SetAutoRepeatCreatingObject(0);
        canvas.notices.clear();
        CQvGObject* line = DrawLine(CPoint(20, 20), CPoint(120, 20));
        line->GetProperty().SetLineColor(0x010203);
        container.SelectionMode(1);
        container.SelectObjects(line, 0);
        container.SetPropertySheetRunner([&](const GObjectSheetRequest& request) {
            c.meanwhile(container, request.object);
            return c.answer;
        });
        EXPECT_EQ(container.OnPropertyAll(&canvas), 0) << c.name;
        EXPECT_TRUE(canvas.notices.empty()) << c.name;
        EXPECT_TRUE(container.GetMainObjList().empty()) << c.name;
        // The deleted object's look did not become the measurements' default.
        EXPECT_NE(container.GetDefaultLineColor(SHAPE_LINE), 0x010203u) << c.name;
        container.SetPropertySheetRunner(nullptr);
        container.RemoveAll();
        container.SelectionMode(0);
    }
    *container.GetBaseProperty() = saved;
}

TEST_F(CoreReview, SelectionChangesInTheMiddleOfACreationAbandonIt)
{
    struct Case
    {
        const char* name;
        std::function<void(CQvGObjectContainer&, CQvGObject* finished, CQvGObject* creating)> meanwhile;
        size_t objectsLeft;  // finished lines (plus what was pasted)
    };
    const Case cases[] = {
        {"UnSelectAll", [](CQvGObjectContainer& c, CQvGObject*, CQvGObject*) { c.UnSelectAll(); }, 1},
        {"select another", [](CQvGObjectContainer& c, CQvGObject* f, CQvGObject*) { c.SelectObjects(f, 0); }, 1},
        {"select by rectangle",
         [](CQvGObjectContainer& c, CQvGObject*, CQvGObject*) { c.SelectObjects(CRect(0, 0, 300, 200), 0); }, 1},
        {"delete it while another is selected too",
         [](CQvGObjectContainer& c, CQvGObject* f, CQvGObject* creating) {
             c.SelectObjects(f, 1);
             c.DeleteObject(creating);
         },
         1},
        {"paste", [](CQvGObjectContainer& c, CQvGObject*, CQvGObject*) { EXPECT_EQ(c.PasteFromClipboard(), 1); }, 2},
        {"RemoveAll", [](CQvGObjectContainer& c, CQvGObject*, CQvGObject*) { c.RemoveAll(); }, 0},
    };
    for (const Case& c : cases)
    {
        CQvGObject* finished = DrawLine(CPoint(20, 20), CPoint(120, 20));
        container.SelectObjects(finished, 0);
        ASSERT_EQ(container.CopyToClipboard(), 1);
        ASSERT_EQ(container.AddObject(SHAPE_RECT), 1);
        CQvGObject* creating = container.GetCreatingObject();
        container.LButtonDown(kLeftButton, CPoint(40, 60));
        container.MouseMove(nullptr, 0, CPoint(80, 90));

        c.meanwhile(container, finished, creating);
        EXPECT_NE(container.GetObjState(), GS_ADDING) << c.name;
        EXPECT_NE(container.GetObjState(), GS_FIRST_POINT) << c.name;
        // Neither a later click nor Escape may reach a finished object as if it were the one being drawn.
        container.LButtonDown(kLeftButton, CPoint(150, 150));
        container.LButtonUp(0, CPoint(150, 150));
        container.KeyDown(kKeyEscape, 1, 0);

        const GObjectList& objects = container.GetMainObjList();
        EXPECT_EQ(objects.size(), c.objectsLeft) << c.name;
        for (const CQvGObject* obj : objects)
        {
            EXPECT_EQ(obj->GetObjShape(), SHAPE_LINE) << c.name;
            EXPECT_EQ(obj->GetState(), GS_FINISHED) << c.name;
            EXPECT_EQ(obj->GetLabelCount(), 1) << c.name;
        }
        TempStream out;
        EXPECT_EQ(container.Write(out.file()), 1) << c.name;
        CQvGObjectContainer back;
        TempStream in(out.Contents());
        ASSERT_EQ(back.Read(in.file()), 1) << c.name;
        EXPECT_EQ(back.GetMainObjList().size(), c.objectsLeft) << c.name;
        container.RemoveAll();
    }
}

TEST_F(CoreReview, ExtremeOriginAndRatioSetByACallerPaintWithoutOverflow)
{
    // A stream brings no such origin (the reader refuses it); a caller may still set one.
    struct Case
    {
        CPoint origin;
        float ratio;
        CPoint relative;  // what painting uses: the origin plus the saturated pixel-centring shift
    };
    const Case cases[] = {
        {CPoint(kIntMax, kIntMin), 8.0f, CPoint(kIntMax, kIntMin + 4)},
        {CPoint(kIntMax - 2, 0), 16.0f, CPoint(kIntMax, 8)},
        {CPoint(0, 0), 1e30f, CPoint(kIntMax, kIntMax)},
        {CPoint(kIntMin, kIntMin), 1e30f, CPoint(-1, -1)},
        {CPoint(5, 7), 1e-30f, CPoint(5, 7)},
    };
    for (const Case& c : cases)
    {
        CQvGObjectContainer source;
        source.SetAutoRepeatCreatingObject(0);
        source.AddObject(SHAPE_POLYLINE);
        for (CPoint p : {CPoint(10, 10), CPoint(60, 30), CPoint(90, 80)})
            source.LButtonDown(kLeftButton, p);
        source.RButtonDown(0, CPoint(90, 80));
        TempStream out;
        ASSERT_EQ(source.Write(out.file()), 1);

        CQvGObjectContainer loaded;
        loaded.SetCanvasWnd(&canvas);
        TempStream in(out.Contents());
        ASSERT_EQ(loaded.Read(in.file()), 1) << c.ratio;
        loaded.SetRelative(c.origin);
        loaded.SetRatio(c.ratio);
        EXPECT_EQ(loaded.GetRelativePoint(), c.relative) << c.origin.x << " " << c.ratio;

        auto dc = canvas.GetSurfaceDC();
        loaded.Draw(dc.get(), -1);
        // A rubber band from empty space across the window.
        loaded.SelectionMode(1);
        loaded.LButtonDown(kLeftButton, CPoint(250, 190));
        loaded.MouseMove(dc.get(), kLeftButton, CPoint(200, 150));
        loaded.MouseMove(dc.get(), kLeftButton, CPoint(0, 0));
        loaded.LButtonUp(0, CPoint(0, 0));
        loaded.Draw(dc.get(), -1);
    }
}

TEST_F(CoreReview, DamagedLineEndsAndFontAnglesPaintAsTheirPlainEquivalents)
{
    struct Case
    {
        const char* name;
        std::function<void(CQvGObjectProperty&)> damage;
        std::function<void(CQvGObjectProperty&)> equivalent;
    };
    auto arrows = [](int left, int right) {
        return [left, right](CQvGObjectProperty& p) {
            p.ShowLArrow(1);
            p.ShowRArrow(1);
            p.SetLArrowType(left);
            p.SetRArrowType(right);
        };
    };
    auto angle = [](LONG escapement) {
        return [escapement](CQvGObjectProperty& p) {
            LOGFONTA font = p.GetFont();
            font.lfEscapement = escapement;
            p.SetFont(font);
        };
    };
    const Case cases[] = {
        {"end types 4 and -1", arrows(4, -1), arrows(ARROW_NONE, ARROW_NONE)},
        {"end types INT_MIN and 7", arrows(kIntMin, 7), arrows(ARROW_NONE, ARROW_NONE)},
        {"one good end", arrows(ARROW_TRIANGLE, 99), arrows(ARROW_TRIANGLE, ARROW_NONE)},
        {"escapement INT_MIN", angle(kIntMin), angle(kIntMin % 3600)},
        {"escapement INT_MAX", angle(kIntMax), angle(kIntMax % 3600)},
        {"escapement two turns and a quarter", angle(2 * 3600 + 900), angle(900)},
    };
    // The value labels show the value only: names differ from one drawing to the next.
    container.SetDisplayName(0);
    for (const Case& c : cases)
    {
        QImage painted[2];
        for (int i = 0; i < 2; ++i)
        {
            for (OBJ_SHAPE shape : {SHAPE_LINE, SHAPE_ANNO_LINE})
            {
                CQvGObject* line = DrawLine(CPoint(40, 40 + 60 * (shape == SHAPE_LINE)), CPoint(200, 80));
                (i == 0 ? c.damage : c.equivalent)(line->GetProperty());
                if (CQvGObject* label = line->GetLabelObject())
                    (i == 0 ? c.damage : c.equivalent)(label->GetProperty());
            }
            canvas.surface.fill(Qt::white);
            auto dc = canvas.GetSurfaceDC();
            container.Draw(dc.get(), -1);
            painted[i] = canvas.surface.copy();
            container.RemoveAll();
        }
        EXPECT_EQ(painted[0], painted[1]) << c.name;
    }
}

TEST(DrawAngleArcReview, NearlyParallelLinesKeepTheArcBoxInRange)
{
    struct Case
    {
        _RPOINT p1, p2, p3, p4;
        int radius;
    };
    // Lines 10 pixels apart that meet about 1e10 pixels away, to either side.
    const Case cases[] = {
        {{0, 0}, {100, 0}, {0, 10}, {100, 10.0000001}, -1},
        {{0, 0}, {100, 0}, {0, 10}, {100, 10.0000001}, 40},
        {{0, 0}, {100, 0}, {0, 10}, {100, 9.9999999}, -1},
        {{0, 0}, {0, 100}, {10, 0}, {10.0000001, 100}, 40},
    };
    for (const Case& c : cases)
    {
        CRecordingDC dc;
        DrawAngleArc(&dc, c.p1, c.p2, c.p3, c.p4, 1, c.radius);
        ASSERT_EQ(dc.Calls().size(), 1u);
        long long box[4] = {};
        ASSERT_EQ(std::sscanf(dc.Calls()[0].c_str(), "Arc(%lld,%lld,%lld,%lld", &box[0], &box[1], &box[2], &box[3]),
                  4)
            << dc.Calls()[0];
        constexpr long long kFarOut = 1LL << 29;
        for (long long edge : box)
            EXPECT_LE(std::llabs(edge), kFarOut) << dc.Calls()[0];
        EXPECT_LE(box[0], box[2]) << dc.Calls()[0];
        EXPECT_LE(box[1], box[3]) << dc.Calls()[0];
    }
}

}  // namespace
