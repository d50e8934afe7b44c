// Makes the window that shows a document inside its child frame.
#pragma once

class CCmdTarget;
class CVistrelDoc;
class QWidget;

// The view of `doc`, not yet parented; `viewTarget` receives the view's command target (null when it has none).
// The view registers itself with the document.
QWidget* CreateDocumentView(CVistrelDoc& doc, CCmdTarget*& viewTarget);
