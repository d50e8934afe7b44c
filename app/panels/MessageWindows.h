// Window handles for in-process messages: an object that answers messages registers itself and hands its handle to
// whoever should message it; a send to a handle that was never registered or has gone away does nothing. This keeps
// the foot switch's target a plain record (window, message) that cannot dangle. UI thread only.
#pragma once

#include "types/WinTypes.h"

#include <cstdint>

class IMessageReceiver
{
public:
    virtual ~IMessageReceiver() = default;
    virtual std::intptr_t WindowProc(UINT message, std::intptr_t wParam, std::intptr_t lParam) = 0;
};

// The handle of `receiver`; it stays valid until UnregisterMessageWindow.
void* RegisterMessageWindow(IMessageReceiver* receiver);
void UnregisterMessageWindow(void* window);
// Runs the receiver's handler now and returns its answer; 0 when `window` is not a live handle.
std::intptr_t SendWindowMessage(void* window, UINT message, std::intptr_t wParam, std::intptr_t lParam);
