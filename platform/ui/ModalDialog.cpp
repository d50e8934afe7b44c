#include "ui/ModalDialog.h"

#include "ui/private/PromptSupport.h"

#include <QDialog>
#include <QPointer>

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
    // What the hook runs may delete the dialog (its parent window closed), as exec() allows: then it was rejected.
    const QPointer<QDialog> alive(&dialog);
    hook(dialog);
    if (!alive)
        return QDialog::Rejected;
    if (dialog.isVisible())
        dialog.hide();
    return dialog.result();
}
