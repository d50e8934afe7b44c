// Checks that a BMP, JPEG, PNG or TIFF file holds all of its pixel data. Qt's readers of these formats return a partly
// filled image from a truncated file as if it were whole; a document must not open such a file. The PNG check also
// keeps lengths the file cannot hold from the decoder, which allocates and waits for whatever a chunk announces.
// Internal to QvCodec; any thread.
#pragma once

#include <QByteArray>

// The pixel rows (or, compressed, the image size the header states) end within the file.
bool IsCompleteBmp(const QByteArray& file);
// An end-of-image marker follows the last start-of-scan marker, and the decoder's pass over the entropy-coded data
// finds every scan whole (a file cut inside its data and closed with an end marker is not) and, in a progressive
// file, every coefficient sent to its full precision.
bool IsCompleteJpeg(const QByteArray& file);
// The first half of that: an end-of-image marker follows the last start-of-scan marker.
bool HasJpegEndAfterLastScan(const QByteArray& file);
// The header reads and states an image whose 32-bit pixels fit Qt's allocation limit: the decoder's buffers for a
// larger one (its progressive coefficients are kept at full size, even for a scaled read) are not bounded by Qt.
bool IsJpegWithinAllocationLimit(const QByteArray& file);
// Every chunk from the signature up to the end chunk lies inside the file.
bool IsCompletePng(const QByteArray& file);
// The directory of image `frame` can be read, states a usable size and sample layout, and every strip or tile it
// needs (uncompressed: with all of its bytes) and its colour map (palette images) lie inside the file.
bool IsCompleteTiff(const QByteArray& file, int frame);
