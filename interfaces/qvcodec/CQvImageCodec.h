// Reading and saving image files in the installed formats (BMP, PNG, JPEG, TIFF), on Qt's image I/O, and the
// file-dialog filter that offers them. One object serves the whole program (UI thread).
//
// Choices this library makes:
// - Install(folder) makes every one of the four formats that Qt can both read and write available; Qt also looks
//   for image-format plug-ins in folder + "imageformats". Nothing can be read or saved before Install.
// - Reading: the format is told by the file's content. Grey files and 8-bit files with the grey ramp as palette
//   become 8-bit grey images (QV_GRAY8), other palette files QV_INDEX8 with their palette, colour files 24-bit
//   (QV_RGB24), files with an alpha channel 32-bit (QV_RGBA32, straight alpha; an RGBA TIFF other than
//   uncompressed 8-bit straight alpha comes through Qt, which premultiplies it). A file that cannot be read, is not
//   a regular file of at most kMaxImageFileBytes, is of a format not installed, or does not hold all of its pixel
//   data (see ImageFileBytes.h) fails, and the target image keeps what it held.
// - Samples of 16 bits: CQvImage has no model with more than 8 bits a sample, so such files are reduced to 8 bits,
//   and every read says so through its QvCodecReadNote. Grey is mapped by the image's own range (its lowest value
//   becomes 0 and its highest 255), so 12-bit camera data keeps 256 levels and a faint image does not read as
//   black; colour is mapped by the full 16-bit range, so that hues and brightness stay as the file shows them.
// - Saving: the format follows the path's extension (case-insensitive); JPEG at quality 90. Alpha is kept
//   straight (not premultiplied) where the format holds it: PNG and TIFF, and BMP, which is then written as a
//   32-bit file with an alpha mask (see BmpWithAlpha.h); all three read back exactly. JPEG drops alpha. The file
//   is written through WriteFileAtomically (FileBytes.h): under a temporary name in the same folder, renamed over
//   the path once every byte reached the disk, so a failed save (the disk full, say) fails, leaves any earlier file
//   as it was, and tells why in errno.
// - The filter, in the system's "name|patterns|...||" form: "BMP (*.bmp)", "QRX Document (*.qrx)",
//   "JPEG (*.jpg;*.jpeg)", "PNG (*.png)", "All Image Files (...)", "TIFF (*.tif;*.tiff)", each format only when
//   installed, so that the save dialog's default entry 2 is the native document and the open dialog's default
//   entry 5 lists everything. The default extension is "qrx", matching entry 2.
#pragma once

#include "qvimage/CQvImage.h"
#include "types/VistrelExport.h"

#include <string>
#include <vector>

// How a read turned the file's samples into the image's 8-bit levels. Where `reduced` is set, a sample s of the
// file became level round((s - low) * 255 / (high - low)) (all levels min(low, 255) when low == high), so a caller
// can tell the user, and map a level back onto the file's values.
struct QvCodecReadNote
{
    int fileBits = 8;      // bits a sample as the file holds it: 8 (or fewer), or 16
    bool reduced = false;  // 16-bit samples were mapped onto 8-bit levels
    int low = 0;           // the file's sample value that became level 0
    int high = 255;        // and the one that became level 255
};

// Why a file does not read (CQvImageCodec::WhyReadFails).
enum class QvCodecReadFailure
{
    None,         // nothing found against it
    NotFound,     // no file at the path, or a folder on the way is missing
    NoAccess,     // the file may not be read
    NotAPicture,  // not a file of an installed format (a folder, a device, another kind of file)
    Damaged,      // of an installed format, but cut short or broken
    TooLarge,     // its image is larger than an image may be or than the reader will decode
};

class VISTREL_EXPORT CQvImageCodec
{
public:
    // Returns the number of formats installed.
    int Install(const char* folder);

    // Reads the file into `image`. format: a format name ("png", "jpeg", ...) to insist on, or null to tell it
    // from the content; frame: which image of a file holding several (0 = the first); width, height: the size to
    // read the image at, -1 for its own size; note: when given, filled on success with how the samples became
    // 8-bit levels (a caller that shows the image tells the user when note->reduced is set). Returns 1, or 0
    // leaving `image` and `note` untouched.
    int Read(const char* path, CQvImage* image, const char* format, int frame, int width, int height,
             QvCodecReadNote* note = nullptr) const;
    // After a Read of the same arguments failed: why, as far as the file shows it (its presence, access, format,
    // and the image size its header states). Decodes nothing, so it is cheap next to the read.
    QvCodecReadFailure WhyReadFails(const char* path, const char* format, int frame) const;
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
