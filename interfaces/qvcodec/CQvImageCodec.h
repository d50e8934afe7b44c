// Reading and saving image files in the installed formats (BMP, PNG, JPEG, TIFF), on Qt's image I/O, and the
// file-dialog filter that offers them. One object serves the whole program (UI thread).
//
// Choices this library makes:
// - Install(folder) makes every one of the four formats that Qt can both read and write available; Qt also looks
//   for image-format plug-ins in folder + "imageformats". Nothing can be read or saved before Install.
// - Reading: the format is told by the file's content. Grey files and 8-bit files with the grey ramp as palette
//   become 8-bit grey images (QV_GRAY8), other palette files QV_INDEX8 with their palette, colour files 24-bit
//   (QV_RGB24), files with an alpha channel 32-bit (QV_RGBA32). A file that cannot be read, is of a format not
//   installed, or ends before its pixel data does (BMP, JPEG) fails, and the target image keeps what it held.
// - Saving: the format follows the path's extension (case-insensitive); JPEG at quality 90; TIFF stores colour
//   premultiplied by alpha, so a half-transparent pixel may come back one level off. The file is first
//   written under a temporary name in the same folder and renamed over the path when complete, so a failed save
//   leaves any earlier file as it was.
// - The filter, in the system's "name|patterns|...||" form: "BMP (*.bmp)", "QRX Document (*.qrx)",
//   "JPEG (*.jpg;*.jpeg)", "PNG (*.png)", "All Image Files (...)", "TIFF (*.tif;*.tiff)", each format only when
//   installed, so that the save dialog's default entry 2 is the native document and the open dialog's default
//   entry 5 lists everything. The default extension is "qrx", matching entry 2.
#pragma once

#include "CQvImage.h"
#include "types/VistrelExport.h"

#include <string>
#include <vector>

class VISTREL_EXPORT CQvImageCodec
{
public:
    // Returns the number of formats installed.
    int Install(const char* folder);

    // Reads the file into `image`. format: a format name ("png", "jpeg", ...) to insist on, or null to tell it
    // from the content; frame: which image of a file holding several (0 = the first); width, height: the size to
    // read the image at, -1 for its own size. Returns 1, or 0 leaving `image` untouched.
    int Read(const char* path, CQvImage* image, const char* format, int frame, int width, int height) const;
    // Saves the image; format: a format name, or null to follow the path's extension. Returns 1, or 0 when the
    // image is empty, the format is not installed or the file could not be written.
    int Save(const char* path, const CQvImage* image, const char* format) const;

    // Returns 1, or 0 (filter emptied) when no format is installed.
    int GetFilter(std::string& filter) const;
    const char* GetDefaultExt() const { return "qrx"; }

private:
    // Installed formats by Qt's name ("bmp", "png", "jpeg", "tiff").
    bool IsInstalled(const std::string& format) const;

    std::vector<std::string> m_formats;
};
