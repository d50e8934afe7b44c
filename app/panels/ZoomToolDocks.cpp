#include "panels/ZoomToolDocks.h"

#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "panels/CMeasureAnnotationDockWnd.h"
#include "panels/CZoomDockWnd.h"

void InstallZoomAndToolDocks(CMainFrame& frame, DocumentRegistry& registry)
{
    auto* zoom = new CZoomDockWnd(&frame.Profile(), frame.Language());
    frame.SetPaneWidget(PANE_MAGNIFIER, zoom);
    zoom->Follow(&registry);
    auto* tools = new CMeasureAnnotationDockWnd(frame.Language());
    frame.SetPaneWidget(PANE_TOOLS, tools);
    tools->Follow(&registry);
}
