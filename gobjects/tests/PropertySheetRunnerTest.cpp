// The property sheet as the program runs it: built by the program, run through RunModal, answered by the test.
#include "CQvGObjectContainer.h"
#include "GObjectPropertySheet.h"
#include "TestGObject.h"

#include "MessageBoxRecorder.h"
#include "ui/MessageBox.h"

#include <QDialog>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using testing_support::MessageBoxes;

namespace {

struct SheetScene
{
    QWidget window;
    CQvGObjectContainer container;
    std::vector<GObjectSheetRequest> requests;

    SheetScene()
    {
        container.SetPropertySheetRunner(ModalSheetRunner([this](const GObjectSheetRequest& request) {
            requests.push_back(request);
            auto sheet = std::make_unique<QDialog>(request.parent);
            sheet->setObjectName("sheet");
            return sheet;
        }));
    }
    TestGObject* Add(CPoint a, CPoint b)
    {
        auto* obj = new TestGObject;
        obj->SetContainer(&container);
        obj->SetPoints({{double(a.x), double(a.y)}, {double(b.x), double(b.y)}});
        obj->SetState(GS_FINISHED);
        container.GetMainObjList().push_back(obj);
        return obj;
    }
};

}  // namespace

TEST(PropertySheetRunner, TheSheetRunsThroughTheModalHookAndOnlyAcceptIsOk)
{
    struct Case
    {
        const char* answer;
        std::function<void(QDialog&)> act;  // null: nothing queued
        int ok;
    };
    const Case cases[] = {
        {"accept", [](QDialog& d) { d.accept(); }, 1},
        {"reject", [](QDialog& d) { d.reject(); }, 0},
        {"nothing queued", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        MessageBoxes().Reset();
        SheetScene s;
        TestGObject* line = s.Add(CPoint(10, 10), CPoint(50, 10));
        QWidget* parentSeen = nullptr;
        if (c.act) {
            MessageBoxes().QueueModal([&](QDialog& sheet) {
                parentSeen = sheet.parentWidget();
                c.act(sheet);
            });
        }
        EXPECT_EQ(line->SpecificProperty(&s.window), c.ok);
        ASSERT_EQ(s.requests.size(), 1u);
        EXPECT_EQ(s.requests[0].object, line);
        EXPECT_EQ(s.requests[0].container, &s.container);
        ASSERT_EQ(MessageBoxes().ModalDialogs().size(), 1u);
        EXPECT_EQ(MessageBoxes().ModalDialogs()[0].objectName, "sheet");
        if (c.act) {
            EXPECT_EQ(parentSeen, &s.window);
        }
    }
}

TEST(PropertySheetRunner, WithoutASheetNothingIsShownAndTheSheetCountsAsCancelled)
{
    CQvGObjectContainer container;
    container.SetPropertySheetRunner(ModalSheetRunner([](const GObjectSheetRequest&) { return nullptr; }));
    GObjectSheetRequest request;
    request.container = &container;
    EXPECT_EQ(container.RunPropertySheet(request), IDCANCEL);
    EXPECT_TRUE(MessageBoxes().ModalDialogs().empty());
}
