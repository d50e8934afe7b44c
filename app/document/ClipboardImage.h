// Images on the clipboard: a packed DIB (the system's CF_DIB, kept under its own MIME type) and the images the
// desktop's other programs offer. UI thread (the clipboard is a GUI object); without a GUI application there is no
// clipboard and every call reports nothing.
#pragma once

#include "gobjects/GObjectClipboard.h"
#include "qvimage/CQvImage.h"
#include "types/WinGeometry.h"

#include <optional>

class QMimeData;
class QImage;

// The MIME type a packed DIB travels under: the overlay's, so that a stamp copied there pastes here and back.
inline constexpr const char* kDibMimeType = DIB_FORMAT;

// The size of the packed DIB on the clipboard, when there is a well-formed one.
std::optional<CSize> ClipboardDibSize();
// The clipboard's image: its packed DIB when it holds one, else any image it offers as 24-bit colour. False, with
// `image` untouched, when there is none.
bool ReadClipboardImage(CQvImage& image);
// Reads a packed DIB or an image out of `data`, as ReadClipboardImage does.
bool ReadImageFromMime(const QMimeData& data, CQvImage& image);
std::optional<CSize> DibSizeFromMime(const QMimeData& data);
// Puts `image` on the clipboard as a packed DIB and as an image for other programs; false without a clipboard.
bool PutImageOnClipboard(const CQvImage& image);
// A 24-bit colour copy of a QImage; false for a null image or one out of the image library's bounds.
bool QImageToColourImage(const QImage& source, CQvImage& target);
