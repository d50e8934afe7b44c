// Turns an image as Qt decoded it into a CQvImage of the matching colour model (see CQvImageCodec.h).
// Internal to QvCodec.
#pragma once

#include "qvcodec/CQvImageCodec.h"
#include "qvimage/CQvImage.h"

#include <QImage>

class QImageReader;

// Returns true and fills `target` and `note` (when given: how the samples became 8-bit levels); false (target
// and note untouched) for a null image or one too large for CQvImage. 16-bit grey is mapped onto 0..255 by the
// image's own range, 16-bit colour by the full range (see QvCodecReadNote).
bool QImageToQvImage(const QImage& source, CQvImage& target, QvCodecReadNote* note = nullptr);
// Reads the reader's next image into `target`: where the reader's format has the bytes of a colour model (grey,
// 8-bit colour in either byte order, 32-bit with alpha), Qt decodes straight into the rows of the new image;
// otherwise as QImageToQvImage. False (target and note untouched) when the reader fails.
bool ReadIntoQvImage(QImageReader& reader, CQvImage& target, QvCodecReadNote* note = nullptr);
