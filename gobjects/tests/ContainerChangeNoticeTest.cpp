// What the container tells its listeners: every way the user or a caller changes the overlay (drawing, dragging a
// body or a handle, the keyboard, the property sheet, pasting, reading, deleting, a new calibration, edits through
// pointers) is told once, as the objects it added, changed, revalued or removed; selecting alone is only a
// selection change, and a click that changes nothing tells nothing.
#include "MarkerScene.h"

#include "gobjects/GObjectChanges.h"
#include "gobjects/GObjectPropertySheet.h"

#include "ui/MessageBox.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr UINT kKeyDelete = 46;
constexpr UINT kKeyEscape = 27;

// Every notice a container gave, merged.
struct Heard
{
    int notices = 0;
    std::set<const CQvGObject*> added;
    std::set<const CQvGObject*> changed;
    std::set<const CQvGObject*> revalued;
    std::set<const CQvGObject*> removed;
    bool selectionChanged = false;

    void Take(const GObjectChanges& c)
    {
        ++notices;
        added.insert(c.added.begin(), c.added.end());
        changed.insert(c.changed.begin(), c.changed.end());
        revalued.insert(c.revalued.begin(), c.revalued.end());
        removed.insert(c.removed.begin(), c.removed.end());
        selectionChanged = selectionChanged || c.selectionChanged;
    }
};

// Two finished lines, A below B, an overlay in selection mode with nothing selected, and a listener.
struct ListenedScene
{
    MarkerScene s;
    CQvGObject* a = nullptr;
    CQvGObject* b = nullptr;
    Heard heard;
    GObjectChangeSubscription subscription;

    ListenedScene()
    {
        a = s.Click(SHAPE_LINE, {CPoint(20, 100), CPoint(80, 100)});
        b = s.Click(SHAPE_LINE, {CPoint(20, 50), CPoint(80, 50)});
        s.container.SelectionMode(1);
        s.container.UnSelectAll();
        s.container.UpdateAllObjectDataLabel();
        s.Paint();
        subscription = GObjectChangeSubscription(s.container, [this](const GObjectChanges& c) { heard.Take(c); });
    }
    void Press(CPoint p)
    {
        s.container.LButtonDown(MarkerScene::kLeftButton, p);
        s.container.LButtonUp(0, p);
    }
};

using Objects = std::set<const CQvGObject*>;

struct Case
{
    const char* action;
    std::function<void(ListenedScene&)> run;
    // What the notices must have named, as functions of the scene (objects made by the action are looked up).
    std::function<Objects(ListenedScene&)> added;
    std::function<Objects(ListenedScene&)> changed;
    std::function<Objects(ListenedScene&)> removed;
    bool selectionChanged;
};

Objects None(ListenedScene&)
{
    return {};
}
Objects A(ListenedScene& l)
{
    return {l.a};
}
Objects B(ListenedScene& l)
{
    return {l.b};
}
Objects Both(ListenedScene& l)
{
    return {l.a, l.b};
}
Objects Newest(ListenedScene& l)
{
    return {l.s.container.GetObjects().back()};
}

TEST(ContainerChangeNotices, EveryEditIsToldAndNothingElse)
{
    const std::vector<Case> cases = {
        {"a click on A selects it", [](ListenedScene& l) { l.Press(CPoint(50, 100)); }, None, None, None, true},
        {"a click on empty ground with nothing selected", [](ListenedScene& l) { l.Press(CPoint(150, 140)); },
         None, None, None, false},
        {"dragging A's body", [](ListenedScene& l) { l.s.Drag(CPoint(50, 100), CPoint(60, 120)); }, None, A, None,
         true},
        {"dragging A's end handle", [](ListenedScene& l) { l.s.Drag(CPoint(80, 100), CPoint(90, 130)); }, None, A,
         None, true},
        {"Delete with A selected",
         [](ListenedScene& l) {
             l.s.container.SelectObjects(l.a, 0);
             l.s.container.KeyDown(kKeyDelete, 1, 0);
         },
         None, None, A, true},
        {"drawing a third line",
         [](ListenedScene& l) { l.s.Click(SHAPE_LINE, {CPoint(20, 140), CPoint(90, 140)}); }, Newest, None, None,
         true},  // the finished line stays selected
        {"Escape while drawing",
         [](ListenedScene& l) {
             l.s.container.AddObject(SHAPE_LINE);
             l.Press(CPoint(30, 130));
             l.s.container.KeyDown(kKeyEscape, 1, 0);
         },
         None, None, None, false},
        {"the property sheet's OK on A",
         [](ListenedScene& l) {
             l.s.container.SelectObjects(l.a, 0);
             l.s.container.SetPropertySheetRunner([&l](const GObjectSheetRequest&) {
                 l.a->GetProperty().SetLineColor(RGB(1, 2, 3));
                 return IDOK;
             });
             l.s.container.OnPropertyAll(nullptr);
             l.s.container.SetPropertySheetRunner(nullptr);
         },
         None, A, None, true},
        {"a colour set through the selected A's pointer",
         [](ListenedScene& l) {
             l.s.container.SelectObjects(l.a, 0);
             l.a->GetProperty().SetLineColor(RGB(9, 9, 9));
             l.s.container.ObjectsChanged();
         },
         None, A, None, true},
        {"B moved through a pointer while not selected",
         [](ListenedScene& l) {
             l.b->MoveTo(CSize(0, 5));
             l.s.container.NoteObjectEdited(l.b);
         },
         None, B, None, false},
        {"a new calibration relabels both", [](ListenedScene& l) {
             l.s.calib.SetUnitsPerPixel(2.0);
             l.s.container.UpdateAllObjectDataLabel();
         },
         None, Both, None, false},
        {"an object put into the list by a caller",
         [](ListenedScene& l) {
             auto* extra = l.s.container.CreateObject(SHAPE_LINE);
             extra->SetState(GS_FINISHED);
             extra->SetContainer(&l.s.container);
             l.s.container.GetMainObjList().push_back(extra);
             l.s.container.ObjectsChanged();
         },
         Newest, None, None, false},
        {"everything removed", [](ListenedScene& l) { l.s.container.RemoveAll(); }, None, None, Both, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        ListenedScene l;
        c.run(l);
        EXPECT_EQ(l.heard.added, c.added(l));
        EXPECT_EQ(l.heard.changed, c.changed(l));
        EXPECT_EQ(l.heard.removed, c.removed(l));
        EXPECT_EQ(l.heard.selectionChanged, c.selectionChanged);
        if (c.added(l).empty() && c.changed(l).empty() && c.removed(l).empty() && !c.selectionChanged) {
            EXPECT_EQ(l.heard.notices, 0) << "nothing happened, nothing is told";
        }
    }
}

TEST(ContainerChangeNotices, AnObjectJoinsWhenFinishedNotWhenItsDrawingStarts)
{
    ListenedScene l;
    l.s.container.AddObject(SHAPE_LINE);
    l.Press(CPoint(20, 140));
    EXPECT_TRUE(l.heard.added.empty()) << "half a line is no object yet";
    l.s.container.MouseMove(l.s.dc.get(), 0, CPoint(90, 140));
    l.Press(CPoint(90, 140));
    ASSERT_EQ(l.heard.added.size(), 1u);
    EXPECT_EQ(*l.heard.added.begin(), l.s.container.GetObjects().back());
    EXPECT_TRUE(l.heard.changed.empty());
}

TEST(ContainerChangeNotices, ADragIsOneChangeToldWhenTheButtonGoesUp)
{
    ListenedScene l;
    l.s.container.LButtonDown(MarkerScene::kLeftButton, CPoint(50, 100));
    const int afterPress = l.heard.notices;
    for (int y = 101; y < 120; ++y)
        l.s.container.MouseMove(l.s.dc.get(), MarkerScene::kLeftButton, CPoint(50, y));
    EXPECT_EQ(l.heard.notices, afterPress) << "moves are told by the release";
    EXPECT_TRUE(l.heard.changed.empty());
    l.s.container.LButtonUp(0, CPoint(50, 120));
    EXPECT_EQ(l.heard.notices, afterPress + 1);
    EXPECT_EQ(l.heard.changed, Objects{l.a});
}

TEST(ContainerChangeNotices, DecimalsRevalueObjectsWithoutLabelsAndRemovedAreOnlyIdentities)
{
    ListenedScene l;
    // A line without its value label: another number of decimals changes only what it reports.
    CQvGObject* label = l.a->GetLabelObject();
    ASSERT_NE(label, nullptr);
    l.a->RemoveNestedObjs();
    l.s.container.NoteObjectEdited(l.a);
    l.heard = Heard();
    l.s.container.SetDecimalPointRange(4);
    l.s.container.UpdateAllObjectDataLabel();
    EXPECT_EQ(l.heard.revalued, Objects{l.a});
    EXPECT_EQ(l.heard.changed, Objects{l.b}) << "B's label shows four decimals now";

    const CQvGObject* gone = l.b;
    l.s.container.SelectObjects(l.b, 0);
    l.s.container.DeleteObject();
    EXPECT_EQ(l.heard.removed, Objects{gone});
}

TEST(ContainerChangeNotices, ReadObjectsJoinInFileOrderAndAListenerMayEditInTurn)
{
    ListenedScene source;
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(source.s.container.Write(file), 1);
    std::rewind(file);

    MarkerScene target;
    std::vector<GObjectChanges> notices;
    GObjectChangeSubscription first(target.container, [&](const GObjectChanges& c) {
        notices.push_back(c);
        // A listener that edits: the edit is told after this notice reached every listener.
        if (notices.size() == 1 && !c.added.empty())
            target.container.SelectObjects(c.added.front(), 0);
    });
    int secondHeard = 0;
    GObjectChangeSubscription second(target.container, [&](const GObjectChanges&) { ++secondHeard; });
    ASSERT_EQ(target.container.Read(file), 1);
    std::fclose(file);
    ASSERT_EQ(notices.size(), 2u);
    const std::vector<CQvGObject*> read(target.container.GetObjects().begin(), target.container.GetObjects().end());
    EXPECT_EQ(notices[0].added, read);
    EXPECT_TRUE(notices[1].selectionChanged);
    EXPECT_EQ(secondHeard, 2);

    // Gone listeners hear nothing, and a subscription outliving its container lets go quietly.
    second.Reset();
    auto dying = std::make_unique<CQvGObjectContainer>();
    GObjectChangeSubscription late(*dying, [&](const GObjectChanges&) { ++secondHeard; });
    dying.reset();
    EXPECT_EQ(late.Container(), nullptr);
    EXPECT_EQ(secondHeard, 2);
}

}  // namespace
