// The main frame's string resources (toolbar captions, status-pane texts, calibration box defaults), in the UI
// language the frame was built with.
#pragma once

#include "resources/Language.h"
#include "types/WinTypes.h"

#include <string>

// The text of `id` of the program's string table in `language` (Korean for 1042, English otherwise); "" for an id
// the table lacks.
std::string FrameString(UINT id, LANGID language);
