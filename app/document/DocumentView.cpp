#include "document/DocumentView.h"

namespace {

DocumentViewMaker g_maker = nullptr;

}  // namespace

void InstallDocumentViewMaker(DocumentViewMaker maker)
{
    g_maker = maker;
}

QWidget* CreateDocumentView(CVistrelDoc& doc, CCmdTarget*& viewTarget)
{
    viewTarget = nullptr;
    return g_maker ? g_maker(doc, viewTarget) : nullptr;
}
