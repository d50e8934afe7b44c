#include "ui/ModalDialog.h"

#include "ui/PromptSupport.h"

#include <QDialog>

namespace {

ui_detail::HookSlot<ModalDialogHook>& Hook()
{
    static ui_detail::HookSlot<ModalDialogHook> hook;
    return hook;
}

}  // namespace

void SetModalDialogHook(ModalDialogHook hook)
{
    Hook().Set(std::move(hook));
}

int RunModal(QDialog& dialog)
{
    Q_ASSERT(QThread::currentThread() == dialog.thread());
    const ModalDialogHook hook = Hook().Get();
    if (!hook)
        return dialog.exec();
    dialog.setResult(QDialog::Rejected);
    hook(dialog);
    if (dialog.isVisible())
        dialog.hide();
    return dialog.result();
}
