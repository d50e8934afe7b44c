// The folder for the files the program hands to companion programs under fixed names ("PoreScanImage.jpg",
// "newdoc.bmp", ...): one only this user can enter, so no other user can plant or read such a file.
// $XDG_RUNTIME_DIR/qrx-temp, or <system temp>/qrx-temp-<uid> without a runtime folder; made 0700 when missing. Any
// thread.
#pragma once

#include <string>

// The folder, ending in '/'; empty when there is none the user alone owns (an existing one that is a link, belongs
// to someone else or others may enter is never used).
std::string UserTempFolder();
