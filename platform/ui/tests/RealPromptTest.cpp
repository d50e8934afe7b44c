// The prompts as the user sees them: no prompt hook, so the real widgets are built and run through RunModal, where
// the test answers them synchronously by driving those widgets.
#include "ui/ColourDialog.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include "MessageBoxRecorder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

class RealPrompt : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        SetMessageBoxHook({});
        SetFileDialogHook({});
        SetColourDialogHook({});
    }
    void TearDown() override { testing_support::MessageBoxes().Install(); }

    // Answers the next modal dialog with `act` when it is a T (a dialog of another type is cancelled).
    template <typename T>
    static void WhenRun(std::function<void(T*)> act)
    {
        testing_support::MessageBoxes().QueueModal([act](QDialog& dialog) {
            T* asked = qobject_cast<T*>(&dialog);
            EXPECT_NE(asked, nullptr) << dialog.metaObject()->className();
            if (asked)
                act(asked);
        });
    }
};

}  // namespace

TEST_F(RealPrompt, MessageBoxShowsTheAskedButtonsAndIconAndAnswersWithTheClickedOne)
{
    using SB = QMessageBox::StandardButton;
    struct Case { UINT type; QMessageBox::StandardButtons buttons; QMessageBox::Icon icon; SB click; int answer; };
    const Case cases[] = {
        {MB_OK, SB::Ok, QMessageBox::NoIcon, SB::Ok, IDOK},
        {MB_OK | MB_ICONERROR, SB::Ok, QMessageBox::Critical, SB::NoButton, IDOK},  // closed
        {MB_OKCANCEL | MB_ICONWARNING, SB::Ok | SB::Cancel, QMessageBox::Warning, SB::NoButton, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, SB::Yes | SB::No, QMessageBox::Question, SB::Yes, IDYES},
        {MB_YESNOCANCEL | MB_ICONINFORMATION, SB::Yes | SB::No | SB::Cancel, QMessageBox::Information, SB::No, IDNO},
    };
    for (const Case& c : cases) {
        QMessageBox::StandardButtons shownButtons;
        QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
        QString shownText, shownTitle;
        WhenRun<QMessageBox>([&](QMessageBox* box) {
            shownButtons = box->standardButtons();
            shownIcon = box->icon();
            shownText = box->text();
            shownTitle = box->windowTitle();
            if (c.click == SB::NoButton)
                box->reject();  // the window closed
            else
                box->button(c.click)->click();
        });
        EXPECT_EQ(MessageBox("\xED\x8C\x8C\xEC\x9D\xBC", "Vistrel", c.type), c.answer) << "type " << c.type;
        EXPECT_EQ(shownButtons, c.buttons) << "type " << c.type;
        EXPECT_EQ(shownIcon, c.icon) << "type " << c.type;
        EXPECT_EQ(shownText, QString::fromUtf8("\xED\x8C\x8C\xEC\x9D\xBC"));
        EXPECT_EQ(shownTitle, "Vistrel");
    }
}

TEST_F(RealPrompt, SaveDialogOffersTheFiltersAndAddsTheDefaultExtension)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    FileDialogRequest request;
    request.save = true;
    request.title = "Save ...";
    request.filter = "Text File (*.txt)|*.txt|All Files (*.*)|*.*||";
    request.defaultExtension = "*.txt";
    request.initialFile = folder.path().toStdString() + "/proposed.txt";

    QStringList filters;
    QString title, directory;
    WhenRun<QFileDialog>([&](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        title = dialog->windowTitle();
        directory = dialog->directory().absolutePath();
        dialog->selectFile("report");
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own accept is protected
    });
    EXPECT_EQ(ChooseFile(request), folder.path().toStdString() + "/report.txt");
    EXPECT_EQ(filters, QStringList({"Text File (*.txt)", "All Files (*)"}));
    EXPECT_EQ(title, "Save ...");
    EXPECT_EQ(directory, QDir(folder.path()).absolutePath());

    WhenRun<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(ChooseFile(request), "");
}

TEST_F(RealPrompt, ColourDialogStartsAtTheGivenColourAndGivesTheChosenOne)
{
    QColor shown;
    WhenRun<QColorDialog>([&](QColorDialog* dialog) {
        shown = dialog->currentColor();
        dialog->setCurrentColor(QColor(1, 2, 3));
        dialog->accept();
    });
    EXPECT_EQ(ChooseColour(RGB(200, 10, 30)), std::optional<COLORREF>(RGB(1, 2, 3)));
    EXPECT_EQ(shown, QColor(200, 10, 30));

    WhenRun<QColorDialog>([](QColorDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(ChooseColour(RGB(200, 10, 30)), std::nullopt);

    // Given custom colours replace whatever the row held.
    QColorDialog::setCustomColor(3, QColor(7, 8, 9));
    CustomColours white;
    white.fill(RGB(255, 255, 255));
    QColor customShown;
    WhenRun<QColorDialog>([&](QColorDialog* dialog) {
        customShown = QColorDialog::customColor(3);
        dialog->reject();
    });
    EXPECT_EQ(ChooseColour(RGB(200, 10, 30), white), std::nullopt);
    EXPECT_EQ(customShown, QColor(255, 255, 255));
}
