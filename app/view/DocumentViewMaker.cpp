// Each document gets its view through the maker installed here, as the program loads.
#include "document/CVistrelDoc.h"
#include "document/DocumentView.h"
#include "view/CVistrelView.h"

namespace {

QWidget* MakeDocumentView(CVistrelDoc& doc, CCmdTarget*& viewTarget)
{
    auto* view = new CVistrelView(&doc);
    doc.AddView(view);
    viewTarget = view;
    return view;
}

const bool kInstalled = (InstallDocumentViewMaker(&MakeDocumentView), true);

}  // namespace
