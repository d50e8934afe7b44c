// Opens a file with the desktop's handler for its type (help PDF, exported texts). Tests install a hook that
// records the request instead. UI thread.
#pragma once

#include <functional>
#include <string>

// Answers whether the file was handed over. An empty hook restores the desktop's opener.
using DesktopOpenerHook = std::function<bool(const std::string& path)>;
void SetDesktopOpenerHook(DesktopOpenerHook hook);

bool OpenWithDesktop(const std::string& path);
