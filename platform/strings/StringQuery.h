// Read-only questions on UTF-8 std::string with the semantics the code relied on from its string class.
// Positions and counts are byte offsets as int; -1 means "not found". Pieces are clamped to the text the way that
// class clamped them, so an index past the end gives an empty piece, never an exception. Any thread.
#pragma once

#include "types/VistrelExport.h"

#include <string>
#include <vector>

// First occurrence at or after `start`; -1 when absent or when start is outside the text.
VISTREL_EXPORT int Find(const std::string& text, const std::string& sub, int start = 0);
VISTREL_EXPORT int Find(const std::string& text, char ch, int start = 0);
// Last occurrence of ch; -1 when absent.
VISTREL_EXPORT int ReverseFind(const std::string& text, char ch);

// `count` bytes from `first` (the rest of the text without a count); a negative first counts as 0, a negative
// count as 0, and both are cut at the end of the text.
VISTREL_EXPORT std::string Mid(const std::string& text, int first);
VISTREL_EXPORT std::string Mid(const std::string& text, int first, int count);
// The first / last `count` bytes; negative counts give "", counts past the length the whole text.
VISTREL_EXPORT std::string Left(const std::string& text, int count);
VISTREL_EXPORT std::string Right(const std::string& text, int count);

// <0, 0, >0 as strcmp, with ASCII letters compared without case.
VISTREL_EXPORT int CompareNoCase(const std::string& a, const std::string& b);

// The fields between separators: n separators give n + 1 fields, empty ones included ("a;;b;" -> a, "", b, "").
VISTREL_EXPORT std::vector<std::string> Split(const std::string& text, char separator);
