// The four stock arrangements of toolbars and panes the user can load (commands 1310 to 1313).
#pragma once

#include "types/WinTypes.h"

#include <Qt>

#include <span>

class CMainFrame;

struct StockLayout
{
    UINT commandId;
    const char* name;  // "UI_Common", "UI_Compact", "UI_RightBottom", "UI_RightBottom2"
    Qt::DockWidgetArea magnifierArea;
    Qt::DockWidgetArea thumbnailsArea;
    Qt::DockWidgetArea toolsArea;
    Qt::DockWidgetArea reportArea;
    bool tabbedPanes;     // panes that share an area are tabbed instead of stacked
    bool singleToolbarRow;
};

std::span<const StockLayout> StockLayouts();
const StockLayout* FindStockLayout(UINT commandId);

// Moves the frame's toolbars and panes into the layout's places, all shown (the caller decides visibility).
void ArrangeStockLayout(const StockLayout& layout, CMainFrame& frame);
