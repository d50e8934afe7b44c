#include "panels/CKPRExtMessageManager.h"

CKPRExtMessageManager::CKPRExtMessageManager()
{
    setObjectName(QStringLiteral("Kv Message Window"));
}

CKPRExtMessageManager::~CKPRExtMessageManager()
{
    if (m_handle)
        UnregisterMessageWindow(m_handle);
}

void* CKPRExtMessageManager::CreateMessageWindow()
{
    if (!m_handle)
        m_handle = RegisterMessageWindow(this);
    return m_handle;
}

std::intptr_t CKPRExtMessageManager::WindowProc(UINT message, std::intptr_t, std::intptr_t)
{
    if (message == kFootSwitchMessage && m_capture)
        m_capture();
    return 0;
}
