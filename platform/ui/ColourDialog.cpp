#include "ui/ColourDialog.h"

#include "ui/ModalDialog.h"
#include "ui/PromptSupport.h"

#include <QColorDialog>

namespace {

ui_detail::HookSlot<ColourDialogHook>& Hook()
{
    static ui_detail::HookSlot<ColourDialogHook> hook;
    return hook;
}

QColor ToQColor(COLORREF colour)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

std::optional<COLORREF> ShowColourDialog(const ColourDialogRequest& request)
{
    if (request.customColours) {
        for (int i = 0; i < static_cast<int>(request.customColours->size()) && i < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(i, ToQColor((*request.customColours)[static_cast<size_t>(i)]));
    }
    QColorDialog dialog(ToQColor(request.initial), ui_detail::DialogOwner());
    if (RunModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    const QColor chosen = dialog.selectedColor();
    return RGB(static_cast<BYTE>(chosen.red()), static_cast<BYTE>(chosen.green()), static_cast<BYTE>(chosen.blue()));
}

}  // namespace

void SetColourDialogHook(ColourDialogHook hook)
{
    Hook().Set(std::move(hook));
}

std::optional<COLORREF> ChooseColour(COLORREF initial, std::optional<CustomColours> customColours)
{
    return ui_detail::RunOnUiThread([&] {
        const ColourDialogRequest request{initial, customColours};
        if (const ColourDialogHook hook = Hook().Get())
            return hook(request);
        return ShowColourDialog(request);
    });
}
