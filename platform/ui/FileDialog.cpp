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

std::string ShowFileDialog(const FileDialogRequest& request)
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
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!request.initialFile.empty()) {
        const QFileInfo initial(QString::fromStdString(request.initialFile));
        if (request.initialFile.find('/') != std::string::npos)
            dialog.setDirectory(initial.absolutePath());
        dialog.selectFile(initial.fileName());
    }
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::string();
    return dialog.selectedFiles().constFirst().toStdString();
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
        return ShowFileDialog(request);
    });
    return request.save ? WithDefaultExtension(path, request.defaultExtension) : path;
}
