// Turns an image as Qt decoded it into a CQvImage of the matching colour model (see CQvImageCodec.h).
// Internal to QvCodec.
#pragma once

#include "CQvImageCodec.h"
#include "CQvImage.h"

#include <QImage>

// Returns true and fills `target` and `note` (when given: how the samples became 8-bit levels); false (target
// and note untouched) for a null image or one too large for CQvImage. 16-bit grey is mapped onto 0..255 by the
// image's own range, 16-bit colour by the full range (see QvCodecReadNote).
bool QImageToQvImage(const QImage& source, CQvImage& target, QvCodecReadNote* note = nullptr);
