// Reading an image file named from outside (by the user, a companion program, a folder being listed, the owner's
// settings) for Qt's image reader, so that no such file can block the program, fill its memory or hand the
// decoder lengths the file does not hold. Every reader of image files in the program goes through here. Any thread.
#pragma once

#include "types/VistrelExport.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <string>

// The largest image file read: far above any picture of the system (a 16-bit multi-page scan), it keeps a wrong
// path (a disk image, a growing capture) from filling memory.
constexpr size_t kMaxImageFileBytes = size_t{1} << 30;

// The bytes of the file at `path` (as the file system spells it), read only when it is a regular file of at most
// kMaxImageFileBytes: a FIFO, device or folder fails at once. False, with `bytes` empty, otherwise.
VISTREL_EXPORT bool ReadImageFileBytes(const std::string& path, QByteArray& bytes);

// An image file held open and read by offset, so that a decoder takes only the parts it needs, straight to where
// they go; opened as ReadImageFileBytes opens (a regular file of at most kMaxImageFileBytes).
class VISTREL_EXPORT ImageFile
{
public:
    ImageFile() = default;
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;
    ~ImageFile();

    // False when the path is not such a file.
    bool Open(const std::string& path);
    // The size when it was opened; every read lies within it.
    uint64_t Size() const { return m_size; }
    // The `size` bytes from `at` into `out`; false when they are not all inside Size() or the file no longer holds
    // them (it was cut after the open).
    bool ReadAt(uint64_t at, void* out, size_t size) const;
    // The whole file, the limit checked while reading (it may have grown); false, with `bytes` empty, otherwise.
    bool ReadAll(QByteArray& bytes) const;

private:
    int m_descriptor = -1;
    uint64_t m_size = 0;
};

enum class ImageFileCheck {
    // What the decoder trusts lies inside the file: PNG chunks up to the end chunk, BMP rows, TIFF directories,
    // strips, tiles and colour maps; a JPEG's image fits Qt's allocation limit (the decoder's buffers follow its
    // full size). Enough to decode a picture (a thumbnail) safely.
    Structure,
    // The above, and every pixel is there: a JPEG's entropy-coded data is whole (one more pass over it). What a
    // document must hold before it opens.
    WholePixelData,
};

// Whether Qt's reader may be given `file`, of Qt's format `format` ("bmp", "jpeg", "png", "tiff"; any other fails),
// to decode its image `frame` (0 for the first).
VISTREL_EXPORT bool IsDecodableImageFile(const QByteArray& file, const std::string& format, int frame,
                                         ImageFileCheck check);
