// printf-style formatting into a std::string and reading numbers back, always in the C locale: "%.3f" writes
// "3.142" and "3.142" reads as 3.142 whatever the user's locale says, so value strings, report cells and stored
// texts read the same everywhere. Any thread.
#pragma once

#include "types/VistrelExport.h"

#include <cstdarg>
#include <string>

VISTREL_EXPORT std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
VISTREL_EXPORT std::string FormatV(const char* format, va_list args);
// atof in the C locale: the number at the start of the text after white space ("30.5 mm" -> 30.5), 0 when there
// is none.
VISTREL_EXPORT double ParseDouble(const char* text);
