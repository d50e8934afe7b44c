// What an update handler decides about one command: enabled, checked, and (for menu items) its text. The router
// hands one to the first target whose map has an update handler for the command.
#pragma once

#include "types/WinTypes.h"

#include <optional>
#include <string>

struct CommandState
{
    bool enabled = false;
    bool checkable = false;  // an update handler set a check state: the item shows a tick box
    bool checked = false;
    std::optional<std::string> text;  // a new menu text, when the handler set one
    std::optional<bool> visible;      // shown or hidden, when the handler said
};

class CCmdUI
{
public:
    explicit CCmdUI(UINT id) : m_nID(id) { m_state.enabled = true; }

    void Enable(bool enable = true) { m_state.enabled = enable; }
    // 0 unchecked, 1 checked (2, indeterminate, shows as checked).
    void SetCheck(int check = 1)
    {
        m_state.checkable = true;
        m_state.checked = check != 0;
    }
    void SetText(const std::string& text) { m_state.text = text; }
    // Places in a menu that a list fills (recent files) show only as many entries as it has.
    void SetVisible(bool visible) { m_state.visible = visible; }

    const CommandState& State() const { return m_state; }

    const UINT m_nID;

private:
    CommandState m_state;
};
