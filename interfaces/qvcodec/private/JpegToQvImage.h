// Decoding a JPEG straight into the rows of a CQvImage, without Qt's image between: the decoder writes each
// row where the image keeps it, and its own warnings tell a file cut short, so no separate pass over the data is
// needed. Grey files become QV_GRAY8, colour (YCbCr or RGB) QV_RGB24, with the pixels Qt's reader gives; other
// colour spaces (CMYK, YCCK) are left to Qt. Internal to QvCodec; any thread.
#pragma once

#include "qvimage/CQvImage.h"

#include <QByteArray>

enum class JpegDecodeResult
{
    Decoded,    // `target` holds the image
    Refused,    // broken, cut short or beyond the allocation limit: `target` untouched
    NotHandled, // a colour space this decoder leaves to Qt: `target` untouched
};

// The file must have passed IsDecodableImageFile's structure check (its size fits the allocation limit).
JpegDecodeResult DecodeJpegIntoQvImage(const QByteArray& file, CQvImage& target);
