// The report module's exported print entry.
#include "printdeck/PrintDeck.h"
#include "printdeck/PrintDeckPage.h"

#include "qvimage/CQvImage.h"
#include "qvimage/QvImageDib.h"
#include "qvimage/QvImageViews.h"
#include "ui/ModalDialog.h"

#include <QPrintDialog>
#include <QPrinter>

#include <cstring>
#include <type_traits>
#include <memory>

namespace {

// The picture of a handed-over DIB, or a null image when the block is shorter than its header says or of a kind
// the image library does not take. Copied first: the caller's block need not be aligned for its header.
QImage PictureOfDib(const BITMAPINFOHEADER* dib, size_t dibBytes)
{
    if (!dib || dibBytes < sizeof(BITMAPINFOHEADER))
        return QImage();
    auto block = std::make_unique<uint64_t[]>((dibBytes + 7) / 8);
    std::memcpy(block.get(), dib, dibBytes);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(block.get());
    const size_t needed = QVDibSize(header);
    if (needed == 0 || needed > dibBytes)
        return QImage();
    CQvImage image;
    if (DIB2QVIMG(header, &image, 0) != 1)
        return QImage();
    return QvImageToQImage(image).copy();
}

int PrintPicture(const char* title, int kind, const BITMAPINFOHEADER* dib, size_t dibBytes)
{
    if (!title || kind != kPrintDeckPicture)
        return 0;
    const QImage picture = PictureOfDib(dib, dibBytes);
    if (dib && picture.isNull())
        return 0;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromUtf8(title));
    QPrintDialog dialog(&printer);
    if (RunModal(dialog) != QDialog::Accepted)
        return 0;
    return printdeck::PaintPicturePage(printer, QString::fromUtf8(title), picture) ? 1 : 0;
}

}  // namespace

PRINTDECK_EXPORT int Print(const char* title, int kind, const BITMAPINFOHEADER* dib, size_t dibBytes)
{
    static_assert(std::is_same_v<decltype(&Print), PFN_PrintDeckPrint>, "the export keeps the declared signature");
    try {
        return PrintPicture(title, kind, dib, dibBytes);
    } catch (...) {
        return 0;
    }
}
