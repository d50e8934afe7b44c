#include "ui/MessageBox.h"

#include "ui/ModalDialog.h"
#include "ui/PromptSupport.h"

#include <QMessageBox>

namespace {

ui_detail::HookSlot<MessageBoxHook>& Hook()
{
    static ui_detail::HookSlot<MessageBoxHook> hook;
    return hook;
}

std::string ApplicationName()
{
    return QGuiApplication::applicationDisplayName().toStdString();
}

QMessageBox::Icon IconOf(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO: return QMessageBox::Yes | QMessageBox::No;
    default: return QMessageBox::Ok;
    }
}

int AnswerOf(QMessageBox::StandardButton button, UINT type)
{
    switch (button) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: break;
    }
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL: return IDCANCEL;
    case MB_YESNO: return IDNO;
    default: return IDOK;
    }
}

int ShowMessageBox(const MessageBoxRequest& request)
{
    QMessageBox box(IconOf(request.type), QString::fromStdString(request.caption),
                    QString::fromStdString(request.text), ButtonsOf(request.type), ui_detail::DialogOwner());
    RunModal(box);
    return AnswerOf(box.standardButton(box.clickedButton()), request.type);
}

}  // namespace

void SetMessageBoxHook(MessageBoxHook hook)
{
    Hook().Set(std::move(hook));
}

int MessageBox(const std::string& text, const std::string& caption, UINT type)
{
    return ui_detail::RunOnUiThread([&] {
        const MessageBoxRequest request{text, caption.empty() ? ApplicationName() : caption, type};
        if (const MessageBoxHook hook = Hook().Get())
            return hook(request);
        return ShowMessageBox(request);
    });
}

int AfxMessageBox(const std::string& text, UINT type)
{
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL: type |= MB_ICONEXCLAMATION; break;
        case MB_YESNO:
        case MB_YESNOCANCEL: type |= MB_ICONQUESTION; break;
        default: break;
        }
    }
    return MessageBox(text, std::string(), type);
}
