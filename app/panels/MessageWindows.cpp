#include "panels/MessageWindows.h"

#include <unordered_set>

namespace {

std::unordered_set<void*>& LiveWindows()
{
    static std::unordered_set<void*> windows;
    return windows;
}

}  // namespace

void* RegisterMessageWindow(IMessageReceiver* receiver)
{
    if (!receiver)
        return nullptr;
    LiveWindows().insert(receiver);
    return receiver;
}

void UnregisterMessageWindow(void* window)
{
    LiveWindows().erase(window);
}

std::intptr_t SendWindowMessage(void* window, UINT message, std::intptr_t wParam, std::intptr_t lParam)
{
    if (!window || !LiveWindows().count(window))
        return 0;
    return static_cast<IMessageReceiver*>(window)->WindowProc(message, wParam, lParam);
}
