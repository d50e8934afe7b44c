// Reads an uncompressed TIFF of 8-bit RGBA with straight (unassociated) alpha, the layout the codec writes, sample
// for sample. Qt's TIFF reader hands such files over premultiplied by alpha, which loses the colour where alpha is
// 0 and rounds it where alpha is small; a lossless format must read back what was saved.
// Internal to QvCodec; any thread.
#pragma once

#include <QByteArray>
#include <QImage>

// Image `frame` of the file as Format_ARGB32 (not premultiplied); a null image when that image has another layout
// (compressed, other samples, rows not top-down from the left), does not fit the file, or is beyond the image
// library's size, so that the caller reads it through Qt.
QImage ReadStraightAlphaTiff(const QByteArray& file, int frame);
