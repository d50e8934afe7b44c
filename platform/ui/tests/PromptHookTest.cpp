#include "ui/ColourDialog.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

#include "testing/MessageBoxRecorder.h"

#include <QApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using testing_support::MessageBoxes;

TEST(PromptHook, AnswersFromTheScriptThenIdok)
{
    MessageBoxes().QueueAnswers({IDYES, IDNO, IDCANCEL});
    EXPECT_EQ(AfxMessageBox("merge?", MB_YESNO), IDYES);
    EXPECT_EQ(AfxMessageBox("merge?", MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox("save?", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(AfxMessageBox("Too small!!"), IDOK);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 4u);
    EXPECT_EQ(MessageBoxes().Boxes()[2].text, "save?");
    EXPECT_EQ(MessageBoxes().Boxes()[3].text, "Too small!!");
}

TEST(PromptHook, ApplicationBoxesGetTheFrameworkIconsAndCaption)
{
    struct Case { UINT asked; UINT shown; };
    const Case cases[] = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
        {MB_YESNO, MB_YESNO | MB_ICONQUESTION},
        {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONQUESTION},
        {MB_OK | MB_ICONERROR, MB_OK | MB_ICONERROR},
        {MB_YESNO | MB_ICONINFORMATION, MB_YESNO | MB_ICONINFORMATION},
    };
    for (const Case& c : cases)
        AfxMessageBox("text", c.asked);
    const std::string applicationName = QGuiApplication::applicationDisplayName().toStdString();
    ASSERT_FALSE(applicationName.empty());
    ASSERT_EQ(MessageBoxes().Boxes().size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(MessageBoxes().Boxes()[i].type, cases[i].shown) << "asked " << cases[i].asked;
        EXPECT_EQ(MessageBoxes().Boxes()[i].caption, applicationName);
    }
}

TEST(PromptHook, PlainBoxesKeepTheirTypeAndCaption)
{
    MessageBox("Too small!!", "Error", MB_OK | MB_ICONWARNING);
    MessageBox("", "Error", MB_OK);
    MessageBox("text");
    ASSERT_EQ(MessageBoxes().Boxes().size(), 3u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].type, MB_OK | MB_ICONWARNING);
    EXPECT_EQ(MessageBoxes().Boxes()[1].type, MB_OK);
    EXPECT_EQ(MessageBoxes().Boxes()[1].caption, "Error");
    EXPECT_EQ(MessageBoxes().Boxes()[2].caption, QGuiApplication::applicationDisplayName().toStdString());
}

TEST(PromptHook, SavedNamesGetTheDefaultExtensionWhoeverAnswers)
{
    FileDialogRequest save;
    save.save = true;
    save.filter = "Text File (*.txt)|*.txt||";
    save.defaultExtension = "*.txt";
    MessageBoxes().QueueFile("/tmp/report");
    MessageBoxes().QueueFile("/tmp/report.csv");
    MessageBoxes().QueueFile("/tmp/v1.2/report");
    EXPECT_EQ(ChooseFile(save), "/tmp/report.txt");
    EXPECT_EQ(ChooseFile(save), "/tmp/report.csv");
    EXPECT_EQ(ChooseFile(save), "/tmp/v1.2/report.txt");
    EXPECT_EQ(ChooseFile(save), "");  // nothing queued: cancelled

    FileDialogRequest open;
    open.defaultExtension = ".cst";
    MessageBoxes().QueueFile("/tmp/list");
    EXPECT_EQ(ChooseFile(open), "/tmp/list");
    ASSERT_EQ(MessageBoxes().FileDialogs().size(), 5u);
    EXPECT_EQ(MessageBoxes().FileDialogs()[0].filter, save.filter);

    MessageBoxes().QueueColour(RGB(1, 2, 3));
    EXPECT_EQ(ChooseColour(RGB(255, 0, 0)), std::optional<COLORREF>(RGB(1, 2, 3)));
    EXPECT_EQ(ChooseColour(RGB(255, 0, 0)), std::nullopt);
    ASSERT_EQ(MessageBoxes().ColourDialogs().size(), 2u);
    EXPECT_EQ(MessageBoxes().ColourDialogs()[0].initial, RGB(255, 0, 0));
}

TEST(PromptHook, AnOpenDialogForSeveralFilesGivesEveryChosenPath)
{
    FileDialogRequest open;
    open.save = true;  // a request for several files is always an open
    MessageBoxes().QueueFiles({"/tmp/a.bmp", "/tmp/b.png", "/tmp/c.qrx"});
    EXPECT_EQ(ChooseFiles(open), (std::vector<std::string>{"/tmp/a.bmp", "/tmp/b.png", "/tmp/c.qrx"}));
    EXPECT_TRUE(ChooseFiles(open).empty());  // nothing queued: cancelled
    ASSERT_EQ(MessageBoxes().FileDialogs().size(), 2u);
    EXPECT_TRUE(MessageBoxes().FileDialogs()[0].multiSelect);
    EXPECT_FALSE(MessageBoxes().FileDialogs()[0].save);

    // Where only a single-path answer is installed, its one path is the choice.
    SetFilesDialogHook({});
    SetFileDialogHook([](const FileDialogRequest& r) { return std::string(r.multiSelect ? "/tmp/one.bmp" : ""); });
    EXPECT_EQ(ChooseFiles(open), std::vector<std::string>{"/tmp/one.bmp"});
    SetFileDialogHook([](const FileDialogRequest&) { return std::string(); });
    EXPECT_TRUE(ChooseFiles(open).empty());
    MessageBoxes().Install();
}

namespace {

class PromptFromWorker : public ::testing::Test
{
protected:
    void TearDown() override { MessageBoxes().Install(); }
};

}  // namespace

TEST_F(PromptFromWorker, EveryPromptIsAnsweredOnTheUiThread)
{
    std::atomic<int> offUiThread{0};
    const auto onUiThread = [&] {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            ++offUiThread;
    };
    SetMessageBoxHook([&](const MessageBoxRequest&) { onUiThread(); return IDNO; });
    SetFileDialogHook([&](const FileDialogRequest&) { onUiThread(); return std::string("/tmp/a.bmp"); });
    SetColourDialogHook([&](const ColourDialogRequest& r) { onUiThread(); return std::optional<COLORREF>(r.initial); });

    int box = 0;
    std::string file;
    std::optional<COLORREF> colour;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        box = AfxMessageBox("from a grab thread", MB_YESNO);
        file = ChooseFile(FileDialogRequest{});
        colour = ChooseColour(RGB(9, 8, 7));
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();

    EXPECT_EQ(offUiThread, 0);
    EXPECT_EQ(box, IDNO);
    EXPECT_EQ(file, "/tmp/a.bmp");
    EXPECT_EQ(colour, std::optional<COLORREF>(RGB(9, 8, 7)));
}
