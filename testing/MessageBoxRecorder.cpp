#include "testing/MessageBoxRecorder.h"

#include <QDialog>

namespace testing_support {

void MessageBoxRecorder::Install()
{
    SetMessageBoxHook([this](const MessageBoxRequest& request) { return AnswerBox(request); });
    SetFileDialogHook([this](const FileDialogRequest& request) { return AnswerFileDialog(request); });
    SetFilesDialogHook([this](const FileDialogRequest& request) { return AnswerFilesDialog(request); });
    SetColourDialogHook([this](const ColourDialogRequest& request) { return AnswerColourDialog(request); });
    SetModalDialogHook([this](QDialog& dialog) { AnswerModal(dialog); });
}

void MessageBoxRecorder::Reset()
{
    m_boxes.clear();
    m_fileDialogs.clear();
    m_colourDialogs.clear();
    m_modalDialogs.clear();
    m_boxAnswers.clear();
    m_fileAnswers.clear();
    m_colourAnswers.clear();
    m_modalAnswers.clear();
}

void MessageBoxRecorder::QueueAnswers(std::initializer_list<int> answers)
{
    m_boxAnswers.insert(m_boxAnswers.end(), answers);
}

void MessageBoxRecorder::QueueFile(const std::string& path)
{
    m_fileAnswers.push_back(path.empty() ? std::vector<std::string>() : std::vector<std::string>{path});
}

void MessageBoxRecorder::QueueFiles(std::vector<std::string> paths)
{
    m_fileAnswers.push_back(std::move(paths));
}

void MessageBoxRecorder::QueueColour(std::optional<COLORREF> colour)
{
    m_colourAnswers.push_back(colour);
}

void MessageBoxRecorder::QueueModal(std::function<void(QDialog&)> answer)
{
    m_modalAnswers.push_back(std::move(answer));
}

int MessageBoxRecorder::AnswerBox(const MessageBoxRequest& request)
{
    m_boxes.push_back(request);
    if (m_boxAnswers.empty())
        return IDOK;
    const int answer = m_boxAnswers.front();
    m_boxAnswers.pop_front();
    return answer;
}

std::string MessageBoxRecorder::AnswerFileDialog(const FileDialogRequest& request)
{
    const std::vector<std::string> answer = AnswerFilesDialog(request);
    return answer.empty() ? std::string() : answer.front();
}

std::vector<std::string> MessageBoxRecorder::AnswerFilesDialog(const FileDialogRequest& request)
{
    m_fileDialogs.push_back(request);
    if (m_fileAnswers.empty())
        return {};
    std::vector<std::string> answer = std::move(m_fileAnswers.front());
    m_fileAnswers.pop_front();
    return answer;
}

std::optional<COLORREF> MessageBoxRecorder::AnswerColourDialog(const ColourDialogRequest& request)
{
    m_colourDialogs.push_back(request);
    if (m_colourAnswers.empty())
        return std::nullopt;
    const std::optional<COLORREF> answer = m_colourAnswers.front();
    m_colourAnswers.pop_front();
    return answer;
}

void MessageBoxRecorder::AnswerModal(QDialog& dialog)
{
    m_modalDialogs.push_back({dialog.metaObject()->className(), dialog.objectName().toStdString(),
                              dialog.windowTitle().toStdString()});
    if (m_modalAnswers.empty())
        return;
    // Taken off the queue first: the answer may itself run a nested dialog.
    const std::function<void(QDialog&)> answer = std::move(m_modalAnswers.front());
    m_modalAnswers.pop_front();
    answer(dialog);
}

MessageBoxRecorder& MessageBoxes()
{
    static MessageBoxRecorder recorder;
    return recorder;
}

}  // namespace testing_support
