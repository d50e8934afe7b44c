// The modal hook: a test answers a dialog synchronously, built but not shown; without a hook the dialog runs exec().
#include "ui/ModalDialog.h"

#include "MessageBoxRecorder.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

class ModalDialog : public ::testing::Test
{
protected:
    void TearDown() override { testing_support::MessageBoxes().Install(); }
};

}  // namespace

TEST_F(ModalDialog, HookAnswersTheBuiltDialogAndItsAnswerIsTheResult)
{
    struct Case
    {
        const char* what;
        std::function<void(QDialog&)> answer;
        int result;
    };
    const Case cases[] = {
        {"accept", [](QDialog& d) { d.accept(); }, QDialog::Accepted},
        {"reject", [](QDialog& d) { d.reject(); }, QDialog::Rejected},
        {"done", [](QDialog& d) { d.done(7); }, 7},
        {"closes nothing", [](QDialog&) {}, QDialog::Rejected},
        {"shows, then accepts", [](QDialog& d) { d.show(); d.accept(); }, QDialog::Accepted},
        {"shows and leaves it open", [](QDialog& d) { d.show(); }, QDialog::Rejected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDialog dialog;
        auto* field = new QLineEdit(&dialog);
        field->setObjectName("field");
        dialog.setResult(QDialog::Accepted);  // a result from an earlier run must not leak into this one
        bool shownWhenAsked = true;
        QString typed;
        SetModalDialogHook([&](QDialog& asked) {
            shownWhenAsked = asked.isVisible();
            asked.findChild<QLineEdit*>("field")->setText("typed");
            c.answer(asked);
            typed = field->text();
        });
        EXPECT_EQ(RunModal(dialog), c.result);
        EXPECT_FALSE(shownWhenAsked);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(typed, "typed");
    }
}

TEST_F(ModalDialog, RecorderCancelsWhatNoAnswerWasQueuedForAndNotesEveryRun)
{
    auto& recorder = testing_support::MessageBoxes();
    QDialog dialog;
    dialog.setObjectName("sheet");
    dialog.setWindowTitle("Property");
    recorder.QueueModal([](QDialog& d) { d.accept(); });
    EXPECT_EQ(RunModal(dialog), QDialog::Accepted);
    EXPECT_EQ(RunModal(dialog), QDialog::Rejected);
    ASSERT_EQ(recorder.ModalDialogs().size(), 2u);
    EXPECT_EQ(recorder.ModalDialogs()[0].className, "QDialog");
    EXPECT_EQ(recorder.ModalDialogs()[0].objectName, "sheet");
    EXPECT_EQ(recorder.ModalDialogs()[1].title, "Property");
}

// Nested: a dialog that opens another while it is answered gets the next answer for the inner one.
TEST_F(ModalDialog, AnAnswerMayRunANestedDialog)
{
    auto& recorder = testing_support::MessageBoxes();
    QDialog outer, inner;
    int innerResult = -1;
    recorder.QueueModal([&](QDialog& d) {
        innerResult = RunModal(inner);
        d.accept();
    });
    recorder.QueueModal([](QDialog& d) { d.done(3); });
    EXPECT_EQ(RunModal(outer), QDialog::Accepted);
    EXPECT_EQ(innerResult, 3);
}

TEST_F(ModalDialog, WithoutAHookTheDialogRunsModallyOnScreen)
{
    SetModalDialogHook({});
    QDialog dialog;
    bool wasShownModal = false;
    // Queued on the dialog itself and closing it whatever it finds, so that a failure cannot keep exec() waiting.
    QTimer::singleShot(0, &dialog, [&] {
        wasShownModal = dialog.isVisible() && QApplication::activeModalWidget() == &dialog;
        dialog.done(5);
    });
    EXPECT_EQ(RunModal(dialog), 5);
    EXPECT_TRUE(wasShownModal);
}
