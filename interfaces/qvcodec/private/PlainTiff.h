// Reads an uncompressed TIFF of 8-bit RGB or grey (black is zero) samples, rows top-down, straight from the file's
// strips or tiles into the rows of a CQvImage. Qt's TIFF reader gives such files as 32-bit pixels, which then
// need a second full-size pass and copy; these are the files the codec writes and cameras mostly save.
// Internal to QvCodec; any thread.
#pragma once

#include "qvimage/CQvImage.h"

#include <QByteArray>

// True with `target` holding image `frame` of the file (QV_RGB24 or QV_GRAY8); false, target untouched, when the
// image has another layout, does not fit the file or is beyond the image library's size: Qt reads it then.
bool ReadPlainTiff(const QByteArray& file, int frame, CQvImage& target);
