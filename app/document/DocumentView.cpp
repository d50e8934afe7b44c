#include "document/DocumentView.h"

#include "document/CVistrelDoc.h"
#include "view/CVistrelView.h"

QWidget* CreateDocumentView(CVistrelDoc& doc, CCmdTarget*& viewTarget)
{
    auto* view = new CVistrelView(&doc);
    doc.AddView(view);
    viewTarget = view;
    return view;
}
