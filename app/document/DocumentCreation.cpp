#include "document/DocumentCreation.h"

#include "document/CNewImageDlg.h"
#include "document/CVistrelDoc.h"
#include "document/ClipboardImage.h"
#include "document/DocumentRegistry.h"
#include "document/DocumentStrings.h"
#include "frame/CMainFrame.h"
#include "strings/Format.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

namespace {

// Counts every document made here; titles keep counting for the program's whole run.
int g_documentCounter = 0;

std::function<void(CVistrelDoc*)>& Attacher()
{
    static std::function<void(CVistrelDoc*)> attacher;
    return attacher;
}

}  // namespace

CVistrelDoc* NewDocumentFromImage(const char* titleBase, int width, int height, int colourModel,
                                  const CQvImage* image)
{
    DocumentRegistry* registry = DocumentRegistry::Instance();
    if (!registry)
        return nullptr;
    // A canvas the library or the memory cannot give makes no document at all rather than an empty one.
    CQvImage blank;
    if (!image && !blank.Create(colourModel, width, height, 0))
        return nullptr;
    const std::string title = Format("%s-%d", titleBase ? titleBase : "", g_documentCounter);
    ++g_documentCounter;
    CVistrelDoc* doc = registry->NewDocument(title);
    if (!doc)
        return nullptr;
    // The blank canvas moves in: a second copy would double what a large new image costs.
    if (image)
        doc->SetImage(title, image);
    else
        doc->SetImage(title, std::move(blank));
    AttachActivePlugIns(doc);
    return doc;
}

CVistrelDoc* FindDocument(const std::string& path)
{
    DocumentRegistry* registry = DocumentRegistry::Instance();
    return registry ? registry->FindDocument(path) : nullptr;
}

CVistrelDoc* NewBlankDocument()
{
    DocumentRegistry* registry = DocumentRegistry::Instance();
    CNewImageDlg dialog(registry ? registry->MainFrame() : nullptr);
    if (RunModal(dialog) != QDialog::Accepted)
        return nullptr;
    CVistrelDoc* doc = NewDocumentFromImage(DocumentString(docstr::IDS_NEW_IMAGE).c_str(), dialog.GetWidth(),
                                            dialog.GetHeight(), QV_RGB24, nullptr);
    // The dialog saw the memory free; an allocation refused all the same is told the same way.
    if (!doc && registry)
        AfxMessageBox(CNewImageDlg::MemoryMessage(dialog.GetWidth(), dialog.GetHeight()), MB_ICONWARNING);
    return doc;
}

CVistrelDoc* NewDocumentFromClipboard()
{
    CQvImage image;
    if (!ReadClipboardImage(image))
        return nullptr;
    return NewDocumentFromImage(DocumentString(docstr::IDS_NEW_IMAGE).c_str(), image.GetWidth(), image.GetHeight(),
                                image.GetColorModel(), &image);
}

void SetActivePlugInAttacher(std::function<void(CVistrelDoc*)> attacher)
{
    Attacher() = std::move(attacher);
}

void AttachActivePlugIns(CVistrelDoc* doc)
{
    if (doc && Attacher())
        Attacher()(doc);
}
