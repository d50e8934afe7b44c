// The menu bar and the nine toolbars, as constant tables of command ids. The frame builds its menus and toolbars
// from them; a later area adds a command by adding its id here, and its entry and caption to the command tables.
#pragma once

#include "types/WinTypes.h"

#include <span>

constexpr UINT kSeparator = 0;
// The ninth toolbar's one control at start: a button that drops down the plug-in menu.
constexpr UINT kPluginMenuControl = 0xFFFF;

struct MenuDefinition
{
    UINT caption;                 // frame string id of its caption
    std::span<const UINT> items;  // command ids; kSeparator between groups
};

// The top-level menus in order. Sub-menu 4 is the plug-in menu (filled by the plug-in hosting); sub-menu 8 holds the
// panes, toolbars and layouts.
std::span<const MenuDefinition> MainMenuLayout();
constexpr int kPluginMenuIndex = 4;
constexpr int kViewMenuIndex = 8;

struct ToolbarDefinition
{
    UINT resourceId;     // the toolbar's object name in saved layouts
    UINT captionString;  // frame string id of its caption
    UINT toggleCommand;  // the command that shows and hides it
    bool breakBefore;    // starts a new row in the default arrangement
    std::span<const UINT> controls;
};

// The toolbars in creation order: basic, advanced, image, area, result, acquisition, calibration, attribute, ninth,
// then the automatic measurement tools.
std::span<const ToolbarDefinition> ToolbarLayout();
const ToolbarDefinition* FindToolbar(UINT resourceId);
