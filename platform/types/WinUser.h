// The codes of the Windows user interface with their Windows values, defined once for every layer: handlers and
// plug-in views receive them as they stand, and shapes answer cursor ids that windows turn into cursors.
// Mouse-button flags, the key-repeat flag, the size kind, virtual-key codes and the system cursor ids.
#pragma once

#include "types/WinTypes.h"

// Mouse flags of the button and move handlers: the buttons held and the modifier keys down.
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_RBUTTON = 0x0002;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;
constexpr UINT MK_MBUTTON = 0x0010;

// Key flags of OnKeyDown / OnKeyUp: set when the key was already down (auto-repeat).
constexpr UINT KF_REPEAT = 0x4000;

// Size kind of OnSize: the window only has one.
constexpr UINT SIZE_RESTORED = 0;

// Virtual-key codes. Letters and digits are their upper-case ASCII codes ('A'..'Z', '0'..'9').
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_NUMPAD0 = 0x60;  // ..VK_NUMPAD0 + 9
constexpr UINT VK_MULTIPLY = 0x6A;
constexpr UINT VK_ADD = 0x6B;       // keypad +
constexpr UINT VK_SUBTRACT = 0x6D;  // keypad -
constexpr UINT VK_DECIMAL = 0x6E;
constexpr UINT VK_DIVIDE = 0x6F;
constexpr UINT VK_F1 = 0x70;        // ..VK_F1 + 11

// System cursor ids: the four sizing arrows and the four-way move arrow.
constexpr UINT IDC_SIZENWSE = 32642;  // top-left to bottom-right
constexpr UINT IDC_SIZENESW = 32643;  // top-right to bottom-left
constexpr UINT IDC_SIZEWE = 32644;    // left-right
constexpr UINT IDC_SIZENS = 32645;    // up-down
constexpr UINT IDC_SIZEALL = 32646;   // four ways
