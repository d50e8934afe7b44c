// Answers every modal prompt of platform/ui during tests, so no test ever shows a window: records each message
// box, file dialog, colour dialog and modal dialog (RunModal) asked for, and answers from queues the test fills.
// With nothing queued a message box answers IDOK and the file, colour and modal dialogs are cancelled. The shared test main installs one
// recorder for the whole run and resets it before each test. UI thread (where the hooks run).
#pragma once

#include "ui/ColourDialog.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <deque>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// A modal dialog as RunModal handed it over.
struct ModalDialogRun
{
    std::string className;   // the dialog's class ("CGridDlg")
    std::string objectName;
    std::string title;
};

class MessageBoxRecorder
{
public:
    // Makes this recorder the hook of every prompt.
    void Install();
    // Forgets the requests and the answers still queued.
    void Reset();

    // Answers for the next message boxes, in order.
    void QueueAnswers(std::initializer_list<int> answers);
    // The answer for the next file dialog ("" = cancel).
    void QueueFile(const std::string& path);
    // The answer for the next file dialog that lets several files be chosen (none = cancel). A single-path
    // dialog given this answer takes its first path.
    void QueueFiles(std::vector<std::string> paths);
    // The answer for the next colour dialog (nothing = cancel).
    void QueueColour(std::optional<COLORREF> colour);
    // The answer for the next modal dialog: it drives the dialog (built, not shown) and closes it with accept(),
    // reject() or done(); closing nothing cancels it.
    void QueueModal(std::function<void(QDialog&)> answer);

    const std::vector<MessageBoxRequest>& Boxes() const { return m_boxes; }
    const std::vector<FileDialogRequest>& FileDialogs() const { return m_fileDialogs; }
    const std::vector<ColourDialogRequest>& ColourDialogs() const { return m_colourDialogs; }
    const std::vector<ModalDialogRun>& ModalDialogs() const { return m_modalDialogs; }

private:
    int AnswerBox(const MessageBoxRequest& request);
    std::string AnswerFileDialog(const FileDialogRequest& request);
    std::vector<std::string> AnswerFilesDialog(const FileDialogRequest& request);
    std::optional<COLORREF> AnswerColourDialog(const ColourDialogRequest& request);
    void AnswerModal(QDialog& dialog);

    std::vector<MessageBoxRequest> m_boxes;
    std::vector<FileDialogRequest> m_fileDialogs;
    std::vector<ColourDialogRequest> m_colourDialogs;
    std::vector<ModalDialogRun> m_modalDialogs;
    std::deque<int> m_boxAnswers;
    std::deque<std::vector<std::string>> m_fileAnswers;
    std::deque<std::optional<COLORREF>> m_colourAnswers;
    std::deque<std::function<void(QDialog&)>> m_modalAnswers;
};

// The recorder of this test run.
MessageBoxRecorder& MessageBoxes();

}  // namespace testing_support
