#include "qvimage/CClientDC.h"

CClientDC::CClientDC(CQvScrollWnd* window) : CDC(window->m_surface), m_window(window) {}

CClientDC::~CClientDC()
{
    m_window->viewport()->update();
}
