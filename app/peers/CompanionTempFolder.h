// Where the fixed file names companion programs exchange ("newdoc.bmp", "capture<n>.bmp") live: a folder of this
// user alone, inside the peer folder ($XDG_RUNTIME_DIR/qrx-peers/files), so that no other user can plant or read
// them as they could in a shared temporary folder. Any thread.
#pragma once

#include <string>

// The folder, ending in '/', made when missing. Empty when the peer folder is unusable or the entry there is not
// a real folder.
std::string CompanionTempFolder();
