// Message boxes. Each request runs on the UI thread (a call from another thread is handed over and waits for the
// answer). When a hook is installed it answers instead of a window: tests install one for the whole run. Without
// one the box runs through RunModal (ui/ModalDialog.h).
#pragma once

#include "types/VistrelExport.h"
#include "types/WinTypes.h"

#include <functional>
#include <string>


constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_TYPEMASK = 0xF;

constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_ICONMASK = 0xF0;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MessageBoxRequest
{
    std::string text;
    std::string caption;  // already resolved: the application name when the caller gave none
    UINT type = MB_OK;    // buttons | icon, as the box is shown
};

// Answers with IDOK, IDCANCEL, IDYES or IDNO. Runs on the UI thread. An empty hook restores real boxes.
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
VISTREL_EXPORT void SetMessageBoxHook(MessageBoxHook hook);

// A box with the given buttons and icon; an empty caption means the application name. The icon is shown as given
// (none when none is asked for). Closing an OK box answers IDOK, closing a box with Cancel IDCANCEL.
VISTREL_EXPORT int MessageBox(const std::string& text, const std::string& caption = std::string(), UINT type = MB_OK);

// The application's box: caption = application name; without an icon flag OK and OK/Cancel boxes get the
// exclamation icon and Yes/No(/Cancel) boxes the question icon.
VISTREL_EXPORT int AfxMessageBox(const std::string& text, UINT type = MB_OK);
