// What the user sees of a command: its caption, icon and shortcut. Each area keeps a constant table of these;
// every QAction, menu item and toolbar button is built from them, with the id kept in QAction::data. The caption
// of command `id` is string `id` of the program's string table (module "Vistrel"), in Korean and English.
#pragma once

#include "resources/Language.h"
#include "types/WinTypes.h"

#include <span>
#include <string>

struct CommandInfo
{
    UINT id;
    const char* stringId;  // the symbolic name, for logs and tests
    const char* icon;      // a CommandIcons key, or nullptr for none
    const char* shortcut;  // QKeySequence text ("Ctrl+O"), or nullptr
};

// The tables of the areas (main frame, application, document, view), in lookup order.
std::span<const CommandInfo> FrameCommandTable();
std::span<const CommandInfo> ApplicationCommandTable();
std::span<const CommandInfo> DocumentCommandTable();
std::span<const CommandInfo> ViewCommandTable();

// The entry of `id` in any table, or nullptr.
const CommandInfo* FindCommandInfo(UINT id);

// The caption with its mnemonic, e.g. "&Open...", in `language` (Korean for 1042, English otherwise); a missing
// text falls back to the other.
std::string CommandCaption(const CommandInfo& info, LANGID language);
