#include "document/DocumentView.h"

#include "document/CVistrelDoc.h"

#include <QWidget>

QWidget* CreateDocumentView(CVistrelDoc& doc, CCmdTarget*& viewTarget)
{
    // A plain window holds the frame's place until the image view takes it.
    auto* view = new QWidget;
    view->setObjectName("documentView");
    view->setMinimumSize(16, 16);
    (void)doc;
    viewTarget = nullptr;
    return view;
}
