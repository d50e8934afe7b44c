// Opens a file with the desktop's handler for its type (help PDF, exported texts and workbooks). Tests install a
// hook that records the request instead. UI thread.
#pragma once

#include "types/WinTypes.h"

#include <functional>
#include <string>

namespace openerstr {
constexpr UINT IDS_FILE_MISSING = 4201;     // %s: the path of a file that is not there
constexpr UINT IDS_NO_PROGRAM = 4202;       // %s: the path of a file no program of the desktop opens
}  // namespace openerstr

// Answers whether the file was handed over. An empty hook restores the desktop's opener.
using DesktopOpenerHook = std::function<bool(const std::string& path)>;
void SetDesktopOpenerHook(DesktopOpenerHook hook);

// False when the file is missing, when the desktop names no program for its type, or when no opener could be
// started: a handler that fails after it started is not heard of.
bool OpenWithDesktop(const std::string& path);
// As OpenWithDesktop; when the file is not opened, a message box names it and says why (it is missing, or it is
// kept where it is for the user to open), so that the user is never left with nothing.
bool OpenWithDesktopOrSay(const std::string& path);
