// Turns an image as Qt decoded it into a CQvImage of the matching colour model (see CQvImageCodec.h).
// Internal to QvCodec.
#pragma once

#include "CQvImage.h"

#include <QImage>

// Returns true and fills `target`; false (target untouched) for a null image or one too large for CQvImage.
bool QImageToQvImage(const QImage& source, CQvImage& target);
