// Texts inside stored records are bytes. Files written by this system hold UTF-8; a text that is not valid UTF-8
// came from a file made on Windows and is decoded from the Korean code page CP949. Any thread.
#pragma once

#include "types/VistrelExport.h"

#include <string>

VISTREL_EXPORT bool IsValidUtf8(const std::string& bytes);

// UTF-8 of a stored text: the bytes themselves when they are valid UTF-8, else their CP949 decoding (bytes that
// CP949 cannot decode become U+FFFD).
VISTREL_EXPORT std::string StoredTextToUtf8(const std::string& bytes);
