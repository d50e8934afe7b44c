// Puts the zoom dock and the tools dock into the main frame's dock places and lets them follow the registry's
// active document.
#pragma once

class CMainFrame;
class DocumentRegistry;

void InstallZoomAndToolDocks(CMainFrame& frame, DocumentRegistry& registry);
