// The texts of the zoom dock and the tools dock, in the UI language the dock was built with.
#pragma once

#include "resources/Language.h"
#include "types/WinTypes.h"

#include <QString>

// The text of `id` (Korean for the Korean language, English otherwise); empty for an id the table lacks.
QString ZoomToolsString(UINT id, LANGID language);
