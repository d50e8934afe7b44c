#include "frame/StockLayouts.h"

#include "frame/CMainFrame.h"
#include "frame/CommandBarLayout.h"
#include "frame/CommandIds.h"

#include <QDockWidget>
#include <QToolBar>

#include <map>
#include <vector>

namespace {

constexpr StockLayout kLayouts[] = {
    {cmd::ID_LAYOUT_COMMON, "UI_Common", Qt::LeftDockWidgetArea, Qt::LeftDockWidgetArea, Qt::RightDockWidgetArea,
     Qt::BottomDockWidgetArea, false, false},
    {cmd::ID_LAYOUT_COMPACT, "UI_Compact", Qt::RightDockWidgetArea, Qt::RightDockWidgetArea,
     Qt::RightDockWidgetArea, Qt::BottomDockWidgetArea, true, true},
    {cmd::ID_LAYOUT_RIGHT_BOTTOM, "UI_RightBottom", Qt::RightDockWidgetArea, Qt::RightDockWidgetArea,
     Qt::RightDockWidgetArea, Qt::BottomDockWidgetArea, false, false},
    {cmd::ID_LAYOUT_RIGHT_BOTTOM2, "UI_RightBottom2", Qt::RightDockWidgetArea, Qt::BottomDockWidgetArea,
     Qt::RightDockWidgetArea, Qt::BottomDockWidgetArea, true, false},
};

}  // namespace

std::span<const StockLayout> StockLayouts() { return kLayouts; }

const StockLayout* FindStockLayout(UINT commandId)
{
    for (const StockLayout& layout : kLayouts)
        if (layout.commandId == commandId)
            return &layout;
    return nullptr;
}

void ArrangeStockLayout(const StockLayout& layout, CMainFrame& frame)
{
    for (const ToolbarDefinition& definition : ToolbarLayout())
        if (QToolBar* toolbar = frame.Toolbar(definition.resourceId))
            frame.removeToolBar(toolbar);
    for (const ToolbarDefinition& definition : ToolbarLayout()) {
        QToolBar* toolbar = frame.Toolbar(definition.resourceId);
        if (!toolbar)
            continue;
        if (definition.breakBefore && !layout.singleToolbarRow)
            frame.addToolBarBreak(Qt::TopToolBarArea);
        frame.addToolBar(Qt::TopToolBarArea, toolbar);
        toolbar->show();
    }

    const std::pair<UINT, Qt::DockWidgetArea> panes[] = {
        {PANE_MAGNIFIER, layout.magnifierArea},
        {PANE_THUMBNAILS, layout.thumbnailsArea},
        {PANE_TOOLS, layout.toolsArea},
        {PANE_REPORT, layout.reportArea},
    };
    std::map<Qt::DockWidgetArea, QDockWidget*> firstInArea;
    for (const auto& [id, area] : panes) {
        QDockWidget* dock = frame.Pane(id);
        if (!dock)
            continue;
        frame.removeDockWidget(dock);
        auto first = firstInArea.find(area);
        if (first == firstInArea.end()) {
            frame.addDockWidget(area, dock);
            firstInArea[area] = dock;
        } else if (layout.tabbedPanes) {
            frame.tabifyDockWidget(first->second, dock);
        } else {
            frame.addDockWidget(area, dock, area == Qt::BottomDockWidgetArea ? Qt::Horizontal : Qt::Vertical);
        }
        dock->show();
    }
}
