// Makes the window that shows a document inside its child frame. The views sit above the documents (app/view), so
// their library installs the maker when the program loads; without it a document gets no view.
#pragma once

class CCmdTarget;
class CVistrelDoc;
class QWidget;

using DocumentViewMaker = QWidget* (*)(CVistrelDoc& doc, CCmdTarget*& viewTarget);
void InstallDocumentViewMaker(DocumentViewMaker maker);

// The view of `doc`, not yet parented; `viewTarget` receives the view's command target (null when it has none).
// The view registers itself with the document. Null when no maker is installed.
QWidget* CreateDocumentView(CVistrelDoc& doc, CCmdTarget*& viewTarget);
