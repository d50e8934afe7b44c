#include "ui/FileDialog.h"

#include "ui/FileFilter.h"
#include "ui/ModalDialog.h"
#include "ui/private/PromptSupport.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

ui_detail::HookSlot<FileDialogHook>& Hook()
{
    static ui_detail::HookSlot<FileDialogHook> hook;
    return hook;
}

ui_detail::HookSlot<FilesDialogHook>& FilesHook()
{
    static ui_detail::HookSlot<FilesDialogHook> hook;
    return hook;
}

std::vector<std::string> ShowFileDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(ui_detail::DialogOwner(), QString::fromStdString(request.title));
    QStringList nameFilters;
    for (const std::string& nameFilter : NameFiltersOf(request.filter))
        nameFilters << QString::fromStdString(nameFilter);
    if (!nameFilters.isEmpty())
        dialog.setNameFilters(nameFilters);
    if (request.filterIndex >= 1 && request.filterIndex <= nameFilters.size())
        dialog.selectNameFilter(nameFilters[request.filterIndex - 1]);
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QString::fromStdString(BareExtension(request.defaultExtension)));
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    if (!request.initialFile.empty()) {
        const QFileInfo initial(QString::fromStdString(request.initialFile));
        if (request.initialFile.find('/') != std::string::npos)
            dialog.setDirectory(initial.absolutePath());
        dialog.selectFile(initial.fileName());
    }
    std::vector<std::string> chosen;
    if (RunModal(dialog) != QDialog::Accepted)
        return chosen;
    for (const QString& file : dialog.selectedFiles())
        chosen.push_back(file.toStdString());
    return chosen;
}

}  // namespace

void SetFileDialogHook(FileDialogHook hook)
{
    Hook().Set(std::move(hook));
}

std::string ChooseFile(const FileDialogRequest& request)
{
    const std::string path = ui_detail::RunOnUiThread([&] {
        if (const FileDialogHook hook = Hook().Get())
            return hook(request);
        const std::vector<std::string> chosen = ShowFileDialog(request);
        return chosen.empty() ? std::string() : chosen.front();
    });
    return request.save ? WithDefaultExtension(path, request.defaultExtension) : path;
}

void SetFilesDialogHook(FilesDialogHook hook)
{
    FilesHook().Set(std::move(hook));
}

std::vector<std::string> ChooseFiles(const FileDialogRequest& request)
{
    FileDialogRequest multi = request;
    multi.save = false;
    multi.multiSelect = true;
    return ui_detail::RunOnUiThread([&] {
        if (const FilesDialogHook hook = FilesHook().Get())
            return hook(multi);
        if (const FileDialogHook hook = Hook().Get()) {
            const std::string path = hook(multi);
            return path.empty() ? std::vector<std::string>() : std::vector<std::string>{path};
        }
        return ShowFileDialog(multi);
    });
}
