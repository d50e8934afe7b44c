#include "ui/ColourDialog.h"

#include "ui/PromptSupport.h"

#include <QColorDialog>

namespace {

ui_detail::HookSlot<ColourDialogHook>& Hook()
{
    static ui_detail::HookSlot<ColourDialogHook> hook;
    return hook;
}

std::optional<COLORREF> ShowColourDialog(const ColourDialogRequest& request)
{
    QColorDialog dialog(QColor(GetRValue(request.initial), GetGValue(request.initial), GetBValue(request.initial)),
                        ui_detail::DialogOwner());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QColor chosen = dialog.selectedColor();
    return RGB(static_cast<BYTE>(chosen.red()), static_cast<BYTE>(chosen.green()), static_cast<BYTE>(chosen.blue()));
}

}  // namespace

void SetColourDialogHook(ColourDialogHook hook)
{
    Hook().Set(std::move(hook));
}

std::optional<COLORREF> ChooseColour(COLORREF initial)
{
    return ui_detail::RunOnUiThread([&] {
        const ColourDialogRequest request{initial};
        if (const ColourDialogHook hook = Hook().Get())
            return hook(request);
        return ShowColourDialog(request);
    });
}
