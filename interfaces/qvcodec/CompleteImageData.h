// Checks that a BMP or JPEG file holds all of its pixel data. Qt's readers of these two formats return a partly
// filled image from a truncated file as if it were whole; a document must not open such a file.
// Internal to QvCodec; any thread.
#pragma once

#include <QByteArray>

// The pixel rows (or, compressed, the image size the header states) end within the file.
bool IsCompleteBmp(const QByteArray& file);
// An end-of-image marker follows the last start-of-scan marker.
bool IsCompleteJpeg(const QByteArray& file);
