// The real property sheet while its modal run lets anything else happen: the edited object, the container or the
// window the sheet is shown over deleted meanwhile, and a second sheet asked for during the run. Under the
// sanitizers a write through a stale pointer fails the run.
#include "MarkerScene.h"

#include "gobjects/ui/CObjPropertySheet.h"
#include "gobjects/ui/CPropertyPage.h"

#include "testing/MessageBoxRecorder.h"

#include <QCoreApplication>
#include <QDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using testing_support::MessageBoxes;

namespace {

void Press(QDialog& d, const char* button)
{
    auto* b = d.findChild<QPushButton*>(button);
    ASSERT_NE(b, nullptr) << button;
    b->click();
}

// A shape's own page that logs what the sheet asks of it.
class LoggingPage : public CPropertyPage
{
public:
    explicit LoggingPage(std::vector<std::string>& log) : CPropertyPage("Shape"), m_log(log) {}
    BOOL OnInitDialog() override
    {
        m_log.push_back("init");
        return 1;
    }
    void OnOK() override { m_log.push_back("ok"); }
    void OnCancel() override { m_log.push_back("cancel"); }

private:
    std::vector<std::string>& m_log;
};

CQvGObject* MakeShape(MarkerScene& s, OBJ_SHAPE shape)
{
    switch (shape) {
    case SHAPE_TARGET:
        return s.Click(SHAPE_TARGET, {CPoint(100, 75)});
    case SHAPE_3POINT_ANGLE:
        return s.Click(SHAPE_3POINT_ANGLE, {CPoint(20, 20), CPoint(80, 80), CPoint(140, 20)});
    case SHAPE_TEXT:
        // A new text asks for its words at once.
        MessageBoxes().QueueModal([](QDialog& d) {
            d.findChild<QWidget*>("text")->setProperty("plainText", "hello");
            Press(d, "ok");
        });
        return s.Click(SHAPE_TEXT, {CPoint(20, 20), CPoint(90, 50)});
    default:
        return s.Click(shape, {CPoint(20, 40), CPoint(150, 40)});
    }
}

}  // namespace

TEST(SheetRun, DeletingTheEditedObjectDuringTheRunAbortsItUntouched)
{
    const OBJ_SHAPE shapes[] = {SHAPE_ANNO_LINE, SHAPE_LINE, SHAPE_TARGET, SHAPE_3POINT_ANGLE, SHAPE_TEXT};
    for (OBJ_SHAPE shape : shapes) {
        for (bool ok : {true, false}) {
            SCOPED_TRACE(testing::Message() << "shape " << shape << " ok " << ok);
            MessageBoxes().Reset();
            MarkerScene s;
            CQvGObject* obj = MakeShape(s, shape);
            ASSERT_NE(obj, nullptr);
            ASSERT_EQ(s.container.GetMainObjList().size(), 1u);
            s.container.SelectionMode(1);
            s.container.UnSelectAll();
            s.container.SelectObjects(obj, 1);
            const OBJ_SHAPE kind = obj->GetObjShape();
            const CQvGObjectProperty defaults = g_GOPropertyTotal.GetProperty(kind);
            MessageBoxes().QueueModal([&](QDialog& d) {
                if (auto* weight = d.findChild<QSpinBox*>("weight"))
                    weight->setValue(5);
                // What a timer or a plug-in may do while the sheet waits for the user.
                s.container.RemoveAll();
                Press(d, ok ? "ok" : "cancel");
            });
            EXPECT_EQ(s.container.OnPropertyAll(&s.canvas), 0);
            EXPECT_TRUE(s.container.GetMainObjList().empty());
            // Nothing of the deleted object became a default either.
            EXPECT_TRUE(g_GOPropertyTotal.GetProperty(kind) == defaults);
            // The sheet is ready for the next run.
            CQvGObject* next = s.Click(SHAPE_ANNO_LINE, {CPoint(20, 90), CPoint(150, 90)});
            ASSERT_NE(next, nullptr);
            s.container.SelectObjects(next, 1);
            MessageBoxes().QueueModal([](QDialog& d) { Press(d, "ok"); });
            EXPECT_EQ(s.container.OnPropertyAll(&s.canvas), 1);
        }
    }
}

TEST(SheetRun, DeletingTheContainerDuringTheRunLeavesNothingToTouch)
{
    MessageBoxes().Reset();
    auto s = std::make_unique<MarkerScene>();
    CQvGObject* target = MakeShape(*s, SHAPE_TARGET);
    ASSERT_NE(target, nullptr);
    s->container.SelectionMode(1);
    s->container.SelectObjects(target, 1);
    CQvGObjectContainer& container = s->container;
    MessageBoxes().QueueModal([&](QDialog& d) {
        s.reset();
        Press(d, "ok");
    });
    EXPECT_EQ(container.OnPropertyAll(nullptr), 0);
    EXPECT_EQ(s, nullptr);
}

TEST(SheetRun, TheWindowUnderTheSheetClosingDuringTheRunGivesThePagesBack)
{
    MessageBoxes().Reset();
    MarkerScene s;
    CQvGObject* line = s.Click(SHAPE_ANNO_LINE, {CPoint(20, 40), CPoint(150, 40)});
    ASSERT_NE(line, nullptr);
    const std::vector<uint8_t> stream = s.Stream();
    std::vector<std::string> log;
    LoggingPage page(log);
    auto* window = new QWidget;
    CObjPropertySheet& sheet = s.container.GetPropertySheet();
    sheet.SetUpForObject(line);
    sheet.AddPage(&page);
    MessageBoxes().QueueModal([&](QDialog& d) {
        d.findChild<QSpinBox*>("weight")->setValue(5);
        delete window;
    });
    bool aborted = true;
    EXPECT_EQ(sheet.DoModal(window, &aborted), IDCANCEL);
    EXPECT_FALSE(aborted);
    // The object is still there: the run ends as a cancel, and the pages were taken out before the window went.
    EXPECT_EQ(log, (std::vector<std::string>{"init", "cancel"}));
    EXPECT_EQ(page.parentWidget(), nullptr);
    EXPECT_EQ(s.Stream(), stream);
}

TEST(SheetRun, ASheetAskedForDuringTheRunIsRefusedAndTheRunGoesOn)
{
    MessageBoxes().Reset();
    MarkerScene s;
    CQvGObject* line = s.Click(SHAPE_ANNO_LINE, {CPoint(20, 40), CPoint(150, 40)});
    ASSERT_NE(line, nullptr);
    s.container.SelectionMode(1);
    s.container.SelectObjects(line, 1);
    int nested = -1;
    int tabs = 0;
    MessageBoxes().QueueModal([&](QDialog& d) {
        MessageBoxes().QueueModal([](QDialog& inner) { Press(inner, "ok"); });
        nested = s.container.OnPropertyAll(&s.canvas);
        tabs = d.findChild<QTabWidget*>("pages")->count();
        d.findChild<QSpinBox*>("weight")->setValue(4);
        Press(d, "ok");
    });
    EXPECT_EQ(s.container.OnPropertyAll(&s.canvas), 1);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(tabs, 1);
    EXPECT_EQ(line->GetProperty().GetLineWeight(), 4);
    // Only the outer sheet was shown; the answer queued for a nested one is still waiting.
    EXPECT_EQ(MessageBoxes().ModalDialogs().size(), 1u);
    MessageBoxes().Reset();
}

// A new text or scale marker asks for its sheet as the click (or right click) that ends its box finishes it. What
// runs meanwhile may empty the overlay or delete the container: the mouse handler that started the finish must
// then leave both alone, and an emptied container must take the next creation as usual.
TEST(SheetRun, AnObjectDeletedWhileItsCreationSheetRunsIsLeftAloneByTheMouseHandlers)
{
    struct Case
    {
        OBJ_SHAPE shape;
        bool rightClick;
        bool deleteContainer;
        bool ok;
    };
    std::vector<Case> cases;
    for (OBJ_SHAPE shape : {SHAPE_TEXT, SHAPE_SCALE_MARKER})
        for (bool rightClick : {false, true})
            for (bool deleteContainer : {false, true})
                for (bool ok : {true, false})
                    cases.push_back({shape, rightClick, deleteContainer, ok});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "shape " << c.shape << " right click " << c.rightClick
                                        << " container deleted " << c.deleteContainer << " ok " << c.ok);
        MessageBoxes().Reset();
        auto s = std::make_unique<MarkerScene>();
        s->calib.SetScaleLength(20);
        CQvGObjectContainer& container = s->container;
        CQvGObject* obj = s->Click(c.shape, {CPoint(20, 30)});
        ASSERT_NE(obj, nullptr);
        ASSERT_EQ(container.GetCreatingObject(), obj);
        int sheets = 0;
        MessageBoxes().QueueModal([&](QDialog& d) {
            ++sheets;
            if (auto* text = d.findChild<QWidget*>("text"))
                text->setProperty("plainText", "hello");
            if (c.deleteContainer)
                s.reset();
            else
                s->container.RemoveAll();
            Press(d, c.ok ? "ok" : "cancel");
        });
        const CPoint end(120, 90);
        s->container.MouseMove(s->dc.get(), 0, end);
        if (c.rightClick)
            container.RButtonDown(0, end);
        else
            container.LButtonDown(MarkerScene::kLeftButton, end);
        EXPECT_EQ(sheets, 1);
        if (c.deleteContainer) {
            EXPECT_EQ(s, nullptr);
            continue;
        }
        container.LButtonUp(0, end);
        EXPECT_TRUE(container.GetMainObjList().empty());
        EXPECT_EQ(container.GetCreatingObject(), nullptr);
        // Whatever the deleted object's sheet would have posted, nothing arrives for it.
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        // The overlay is not stuck in the abandoned creation: the next one is made as usual.
        CQvGObject* line = s->Click(SHAPE_ANNO_LINE, {CPoint(20, 90), CPoint(150, 90)});
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->GetState(), GS_FINISHED);
        EXPECT_EQ(container.GetMainObjList().size(), 1u);
    }
    MessageBoxes().Reset();
}
