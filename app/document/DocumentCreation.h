// Making documents from an image, a blank canvas or the clipboard, and finding an open document by its path. UI
// thread; the documents come from the program's DocumentRegistry.
#pragma once

#include <QImage>

#include <functional>
#include <string>

class CQvImage;
class CVistrelDoc;

// A new document titled "<base>-<n>", n counting every document made here since start-up from 0. With `image`
// it shows a copy of it, else a blank canvas of `colourModel` and the size. Null when no registry exists or the
// blank canvas cannot be made (size or model out of bounds).
CVistrelDoc* NewDocumentFromImage(const char* titleBase, int width, int height, int colourModel,
                                  const CQvImage* image);
// The open document showing `path` (compared exactly), activated; null when none.
CVistrelDoc* FindDocument(const std::string& path);

// The new-image command: asks the size (CNewImageDlg) and makes a blank colour image of it.
CVistrelDoc* NewBlankDocument();
// A new document of the clipboard's image (a packed DIB or any image the clipboard offers); null when it holds none.
CVistrelDoc* NewDocumentFromClipboard();

// Hands every new document to the plug-ins that attach to new images (installed by the plug-in host).
void SetActivePlugInAttacher(std::function<void(CVistrelDoc*)> attacher);
void AttachActivePlugIns(CVistrelDoc* doc);
