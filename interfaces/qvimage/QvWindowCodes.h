// The translation of Qt's events into the codes the display window's handlers receive (types/WinUser.h: virtual-key
// codes, mouse-button flags, the key-repeat flag and the size kind, with their Windows values because plug-in views
// get them as they stand). UI thread.
#pragma once

#include "gdi/GdiDefs.h"
#include "types/VistrelExport.h"
#include "types/WinUser.h"

#include <Qt>

class QKeyEvent;

// The virtual-key code of a key event; 0 for a key without one.
VISTREL_EXPORT UINT VirtualKeyFromQt(const QKeyEvent& event);
// MK_* flags for the buttons held and the modifiers down.
VISTREL_EXPORT UINT MouseFlagsFromQt(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
