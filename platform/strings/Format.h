// printf-style formatting into a std::string, always in the C locale: "%.3f" writes "3.142" whatever the user's
// locale says, so value strings, report cells and stored texts read the same everywhere. Any thread.
#pragma once

#include "types/VistrelExport.h"

#include <cstdarg>
#include <string>

VISTREL_EXPORT std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
VISTREL_EXPORT std::string FormatV(const char* format, va_list args);
