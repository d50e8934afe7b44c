// The program's toolbar and menu icons, drawn by the program itself at start (no image files). UI thread.
#pragma once

#include <QIcon>

// The icon of a CommandInfo icon key; a key without a drawing of its own gets a lettered tile in a colour of its
// own. A null key gives a null icon.
QIcon CommandIcon(const char* key);
