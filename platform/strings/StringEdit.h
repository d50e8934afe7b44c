// In-place edits of UTF-8 std::string with the semantics the code relied on from its string class: trimming,
// replacing every occurrence, ASCII case changes. Each returns the string it edited so calls can be chained.
// Bytes outside ASCII are never changed, so UTF-8 text stays valid. Any thread.
#pragma once

#include "types/VistrelExport.h"

#include <string>

// Without a character: removes white space (space, \t, \n, \v, \f, \r). With one: removes every repetition of it.
VISTREL_EXPORT std::string& TrimLeft(std::string& text);
VISTREL_EXPORT std::string& TrimLeft(std::string& text, char ch);
VISTREL_EXPORT std::string& TrimRight(std::string& text);
VISTREL_EXPORT std::string& TrimRight(std::string& text, char ch);
VISTREL_EXPORT std::string& Trim(std::string& text);
VISTREL_EXPORT std::string& Trim(std::string& text, char ch);

// Replaces every occurrence of `from` (case-sensitive, left to right, never inside a replacement) and returns how
// many were replaced; an empty `from` replaces nothing.
VISTREL_EXPORT int Replace(std::string& text, const std::string& from, const std::string& to);

VISTREL_EXPORT std::string& MakeLower(std::string& text);
VISTREL_EXPORT std::string& MakeUpper(std::string& text);
