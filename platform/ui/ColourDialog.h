// The colour dialog (full, any colour). The request runs on the UI thread (a call from another thread is handed
// over and waits for the answer). When a hook is installed it answers instead of a window; without one the dialog
// runs through RunModal (ui/ModalDialog.h).
#pragma once

#include "types/ColorRef.h"
#include "types/VistrelExport.h"

#include <array>
#include <functional>
#include <optional>

// The dialog's row of custom colours.
using CustomColours = std::array<COLORREF, 16>;

struct ColourDialogRequest
{
    COLORREF initial = 0;
    std::optional<CustomColours> customColours;  // shown in place of the application's own, when given
};

// Answers with the chosen colour, or nothing for cancel. Runs on the UI thread. An empty hook restores the dialog.
using ColourDialogHook = std::function<std::optional<COLORREF>(const ColourDialogRequest&)>;
VISTREL_EXPORT void SetColourDialogHook(ColourDialogHook hook);

// The chosen colour, or nothing when the user cancelled. With customColours the dialog offers those as its custom
// colours (they stay the application's custom colours afterwards).
VISTREL_EXPORT std::optional<COLORREF> ChooseColour(COLORREF initial,
                                                    std::optional<CustomColours> customColours = std::nullopt);
