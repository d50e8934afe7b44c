// Clicks among the boxes the container keeps for hit testing: a click builds regions only for the objects near it,
// and no way of moving, adding, deleting, reordering or reloading objects leaves a box behind that hides one.
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "MarkerScene.h"
#include "TestGObject.h"

#include "ui/MessageBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>

namespace {

constexpr UINT kKeyDelete = 46;

// Counts how often a hit test asks it for its region or its bounds; the box of its points is both.
class CountingObject : public TestGObject
{
public:
    explicit CountingObject(int* asked) : m_asked(asked) {}
    int GetHitTestRgn(CRgn& rgn) override
    {
        ++*m_asked;
        return TestGObject::GetHitTestRgn(rgn);
    }
    CRect GetHitBounds() override
    {
        ++*m_asked;
        CRect box = GetMBR();
        box.InflateRect(0, 0, 1, 1);
        return box;
    }

private:
    int* m_asked;
};

TEST(ContainerHitIndex, AClickLooksOnlyAtTheObjectsUnderIt)
{
    CQvGObjectContainer container;
    int asked = 0;
    constexpr int kObjects = 2000;
    for (int i = 0; i < kObjects; ++i) {
        auto* obj = new CountingObject(&asked);
        const int x = (i % 50) * 20;
        const int y = (i / 50) * 20;
        obj->AddPoint(CPoint(x, y));
        obj->AddPoint(CPoint(x + 10, y + 5));
        obj->Finish();
        obj->SetContainer(&container);
        container.GetMainObjList().push_back(obj);
    }
    const CQvGObject* bottom = container.GetMainObjList().front();
    ASSERT_EQ(container.HitTest(CRect(515, 515, 515, 515)), nullptr);  // the boxes are taken here
    asked = 0;
    EXPECT_EQ(container.HitTest(CRect(CPoint(5, 2), CPoint(5, 2))), bottom);
    EXPECT_EQ(container.HitTest(CRect(CPoint(515, 515), CPoint(515, 515))), nullptr);
    EXPECT_LE(asked, 8) << "objects asked for two clicks among " << kObjects << " objects";
}

// Three lines of the marker scene, far enough apart that their end bars do not meet; the one drawn first is the
// object the cases move.
struct Lines
{
    MarkerScene s;
    CQvGObject* top = nullptr;
    CQvGObject* middle = nullptr;
    CQvGObject* target = nullptr;

    Lines()
    {
        target = s.Click(SHAPE_LINE, {CPoint(20, 100), CPoint(80, 100)});
        middle = s.Click(SHAPE_LINE, {CPoint(20, 250), CPoint(80, 250)});
        top = s.Click(SHAPE_LINE, {CPoint(20, 400), CPoint(80, 400)});
        s.Paint();
    }
    // A two-point object from (40, 140) to (60, 140) put in the list directly: the container never hands it out.
    CQvGObject* AddedThroughTheList()
    {
        auto* obj = new TestGObject;
        obj->AddPoint(CPoint(40, 140));
        obj->AddPoint(CPoint(60, 140));
        obj->Finish();
        obj->SetContainer(&s.container);
        s.container.GetMainObjList().push_back(obj);
        return obj;
    }
    // Every object's box taken: clicks on each line and on empty ground.
    void Settle()
    {
        EXPECT_EQ(s.Pick(CPoint(50, 400)), top);
        EXPECT_EQ(s.Pick(CPoint(50, 250)), middle);
        EXPECT_EQ(s.Pick(CPoint(150, 80)), nullptr);
    }
};

struct Change
{
    const char* name;
    // Changes the scene and returns where `target` (or what replaced it) must now be picked, and what.
    std::function<std::pair<CPoint, CQvGObject*>(Lines&)> apply;
};

CPoint Centre(const CRect& box)
{
    return CPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2);
}

const Change kChanges[] = {
    {"dragged in selection mode",
     [](Lines& l) {
         l.s.Drag(CPoint(30, 100), CPoint(130, 130));
         return std::pair{CPoint(150, 130), l.target};
     }},
    {"lengthened by its end handle",
     [](Lines& l) {
         l.s.Drag(CPoint(80, 100), CPoint(180, 100));
         EXPECT_EQ(l.target->GetPoint()[1].x, 180.0);
         return std::pair{CPoint(170, 100), l.target};
     }},
    {"value label dragged alone",
     [](Lines& l) {
         const CPoint label = Centre(l.target->GetLabelObject()->GetMBR());
         l.s.Drag(label, label + CSize(100, 30));
         return std::pair{label + CSize(100, 30), l.target};
     }},
    {"selection moved by the container",
     [](Lines& l) {
         l.s.container.SelectObjects(l.target, 0);
         l.s.container.MoveTo(nullptr, CSize(100, 30));
         return std::pair{CPoint(150, 130), l.target};
     }},
    {"moved through its own call after the container handed it out",
     [](Lines& l) {
         l.target->MoveTo(CSize(100, 30));  // the pointer came from GetCreatingObject
         return std::pair{CPoint(150, 130), l.target};
     }},
    {"its label moved through its own call",
     [](Lines& l) {
         CQvGObject* label = l.target->GetLabelObject();
         label->MoveTo(CSize(100, 30));
         return std::pair{Centre(label->GetMBR()), l.target};
     }},
    {"moved through the object list",
     [](Lines& l) {
         for (CQvGObject* obj : l.s.container.GetMainObjList())
             if (obj == l.target)
                 obj->MoveTo(CSize(100, 30));
         return std::pair{CPoint(150, 130), l.target};
     }},
    {"moved through a kept pointer and announced",
     [](Lines& l) {
         CQvGObject* kept = l.AddedThroughTheList();
         l.Settle();
         kept->MoveTo(CSize(100, 0));
         l.s.container.ObjectsChanged();
         return std::pair{CPoint(150, 140), kept};
     }},
    {"moved through a kept pointer, then painted",
     [](Lines& l) {
         CQvGObject* kept = l.AddedThroughTheList();
         l.Settle();
         kept->MoveTo(CSize(100, 0));
         l.s.Paint();
         return std::pair{CPoint(150, 140), kept};
     }},
    {"reloaded from the stream written before it was moved",
     [](Lines& l) {
         const std::vector<uint8_t> before = l.s.Stream();
         l.s.Drag(CPoint(30, 100), CPoint(130, 130));
         EXPECT_EQ(l.s.Pick(CPoint(150, 130)), l.target);
         l.s.container.RemoveAll();
         TempStream in(before);
         EXPECT_EQ(l.s.container.Read(in.file()), 1);
         return std::pair{CPoint(50, 100), l.s.container.GetMainObjList().front()};
     }},
    {"copied and pasted",
     [](Lines& l) {
         l.s.container.SelectObjects(l.target, 0);
         EXPECT_EQ(l.s.container.CopyToClipboard(), 1);
         EXPECT_EQ(l.s.container.PasteFromClipboard(), 1);
         return std::pair{CPoint(50, 110), l.s.container.GetMainObjList().back()};
     }},
    {"renamed in its property sheet with names shown",
     [](Lines& l) {
         l.s.container.SetDisplayName(1);
         l.s.Paint();
         l.Settle();
         l.s.container.SetPropertySheetRunner([](const GObjectSheetRequest& request) {
             request.object->GetLabelObject()->GetProperty().SetName("A much longer name than before");
             return IDOK;
         });
         l.s.container.SelectObjects(l.target, 0);
         l.s.container.OnPropertyAll(nullptr);
         CQvGObject* label = l.target->GetLabelObject();
         const CRect box = label->GetMBR();
         return std::pair{CPoint(box.right - 2, box.top + 2), l.target};
     }},
    {"names shown",
     [](Lines& l) {
         const CRect before = l.target->GetLabelObject()->GetMBR();
         l.s.container.SetDisplayName(1);
         const CRect after = l.target->GetLabelObject()->GetMBR();
         EXPECT_GT(after.Height(), before.Height());
         return std::pair{CPoint(after.left + 2, after.bottom - 1), l.target};
     }},
    {"zoomed out (wider hit bands)",
     [](Lines& l) {
         // The label's box reaches 3 pixels further at ratio 1 than at ratio 4.
         CQvGObject* label = l.target->GetLabelObject();
         label->MoveTo(CSize(0, 40));
         const CRect box = label->GetMBR();
         const CPoint beside(box.right + 3, (box.top + box.bottom) / 2);
         l.s.container.SetRatio(4.0f);
         EXPECT_EQ(l.s.Pick(beside), nullptr);
         l.s.container.SetRatio(1.0f);
         return std::pair{beside, l.target};
     }},
    {"deleted over another object",
     [](Lines& l) {
         l.s.Click(SHAPE_LINE, {CPoint(20, 100), CPoint(80, 100)});  // on top of the target
         CQvGObject* cover = l.s.container.GetMainObjList().back();
         EXPECT_EQ(l.s.Pick(CPoint(50, 100)), cover);
         l.s.container.SelectionMode(1);
         l.s.container.SelectObjects(cover, 0);
         l.s.container.KeyDown(kKeyDelete, 1, 0);
         return std::pair{CPoint(50, 100), l.target};
     }},
    {"brought to the top through the object list",
     [](Lines& l) {
         l.s.Click(SHAPE_LINE, {CPoint(20, 100), CPoint(80, 100)});
         l.Settle();
         GObjectList& list = l.s.container.GetMainObjList();
         list.splice(list.end(), list, list.begin());  // the target, drawn first, goes last
         return std::pair{CPoint(50, 100), l.target};
     }},
    {"guide line of a widened canvas",
     [](Lines& l) {
         CQvGObject* guide = l.s.Click(SHAPE_HLINE, {CPoint(30, 130), CPoint(40, 140)});
         l.Settle();
         EXPECT_EQ(l.s.Pick(CPoint(300, 130)), nullptr);
         l.s.container.SetCanvasSize(CSize(400, 150));
         return std::pair{CPoint(300, 130), guide};
     }},
};

class ContainerHitIndexChange : public ::testing::TestWithParam<Change>
{
};

TEST_P(ContainerHitIndexChange, LeavesNoBoxBehindThatHidesAnObject)
{
    Lines l;
    const GObjectList& list = l.s.container.GetMainObjList();  // looked at below without a word to the container
    l.Settle();
    ASSERT_EQ(l.s.Pick(CPoint(50, 100)), l.target);
    const auto [at, expected] = GetParam().apply(l);
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(l.s.Pick(at), expected);
    // Every object is still picked where a test of every object from the top picks it.
    for (int y = 0; y < 450; y += 6)
        for (int x = 0; x < 400; x += 6) {
            CQvGObject* scanned = nullptr;
            const CRect click(x - 4, y - 4, x + 4, y + 4);
            for (auto it = list.rbegin(); it != list.rend() && !scanned; ++it)
                if ((*it)->IsSelected(click))
                    scanned = *it;
            ASSERT_EQ(l.s.Pick(CPoint(x, y)), scanned) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Changes, ContainerHitIndexChange, ::testing::ValuesIn(kChanges),
                         [](const ::testing::TestParamInfo<Change>& info) {
                             std::string name = info.param.name;
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

// Only hit tests set an object's label-hit flag, and a test of an object that misses clears it: as when every
// object above the one picked was tested, an object above keeps no flag and one below keeps its own.
TEST(ContainerHitIndex, LabelHitFlagsAsIfEveryObjectAboveThePickWasTested)
{
    for (bool labelledAbove : {true, false}) {
        MarkerScene s;
        CQvGObject* first = s.Click(SHAPE_LINE, {CPoint(20, 30), CPoint(80, 30)});
        CQvGObject* second = s.Click(SHAPE_LINE, {CPoint(20, 120), CPoint(80, 120)});
        s.Paint();
        CQvGObject* labelled = labelledAbove ? second : first;
        CQvGObject* other = labelledAbove ? first : second;
        CQvGObject* label = labelled->GetLabelObject();
        label->MoveTo(CSize(100, 0));
        ASSERT_EQ(s.Pick(Centre(label->GetMBR())), labelled);
        ASSERT_EQ(labelled->GetLabelHit(), 1);
        const CPoint onOther(30, other == first ? 30 : 120);
        ASSERT_EQ(s.Pick(onOther), other);
        EXPECT_EQ(labelled->GetLabelHit(), labelledAbove ? 0 : 1) << labelledAbove;
    }
}

}  // namespace
