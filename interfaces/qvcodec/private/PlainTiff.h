// Reads an uncompressed TIFF of 8-bit RGB or grey (black is zero) samples, rows top-down, straight from the file's
// strips or tiles into the rows of a CQvImage. Qt's TIFF reader gives such files as 32-bit pixels, which then
// need a second full-size pass and copy; these are the files the codec writes and cameras mostly save. The file
// is read by offset, the header and the image's directory first, then the pixels into place: it is never held in
// memory beside the image.
// Internal to QvCodec; any thread.
#pragma once

#include "qvcodec/ImageFileBytes.h"
#include "qvimage/CQvImage.h"

enum class PlainTiffResult
{
    Read,      // `target` holds image `frame` of the file (QV_RGB24 or QV_GRAY8)
    Refused,   // what IsCompleteTiff refuses (a directory, strip or tile outside the file), or the file could not
               // be read: `target` untouched
    NotPlain,  // another layout, or beyond the image library's size: Qt reads it; `target` untouched
};

PlainTiffResult ReadPlainTiff(const ImageFile& file, int frame, CQvImage& target);
