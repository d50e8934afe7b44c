// A device context on a scroll window's retained surface for drawing between paints (rubber bands, live frames);
// the screen shows the result after the DC is gone. UI thread. The window must outlive the DC, must not change
// size while it exists, and no other DC may draw on the same surface at the same time (UpdateWindow included).
#pragma once

#include "qvimage/CQvScrollWnd.h"

class VISTREL_EXPORT CClientDC : public CDC
{
public:
    explicit CClientDC(CQvScrollWnd* window);
    ~CClientDC() override;

private:
    CQvScrollWnd* m_window;
};
