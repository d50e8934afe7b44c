// The language of the user interface: 1042 (Korean) or 1033 (English, the default until the program decides).
// Chooses which text LoadString gives. Any thread; a change is seen by later calls only.
#pragma once

#include "resources/Language.h"
#include "types/VistrelExport.h"

constexpr LANGID UI_LANGUAGE_KOREAN = 1042;
constexpr LANGID UI_LANGUAGE_ENGLISH = 1033;

VISTREL_EXPORT void SetUiLanguage(LANGID language);
VISTREL_EXPORT LANGID GetUiLanguage();
