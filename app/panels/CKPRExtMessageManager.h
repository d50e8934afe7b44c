// The hidden window that turns the external trigger message (25025, from the foot switch) into the image capture.
// One per program; UI thread.
#pragma once

#include "core/AppSeams.h"
#include "panels/MessageWindows.h"

#include <QObject>

#include <functional>

class CKPRExtMessageManager : public QObject, public IMessageWindow, public IMessageReceiver
{
public:
    CKPRExtMessageManager();
    ~CKPRExtMessageManager() override;

    // What message 25025 runs: the program's image-capture command.
    void SetCaptureCommand(std::function<void()> capture) { m_capture = std::move(capture); }

    // The window's handle for SendWindowMessage; the same handle on every call.
    void* CreateMessageWindow() override;
    std::intptr_t WindowProc(UINT message, std::intptr_t wParam, std::intptr_t lParam) override;

private:
    std::function<void()> m_capture;
    void* m_handle = nullptr;
};
