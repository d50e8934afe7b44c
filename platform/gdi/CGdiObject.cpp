#include "gdi/CGdiObject.h"

BOOL CGdiObject::DeleteObject()
{
    if (!m_created)
        return 0;
    Clear();
    m_created = false;
    return 1;
}
