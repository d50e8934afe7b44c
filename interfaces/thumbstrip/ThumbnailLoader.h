// Making one thumbnail from a file: the decoder reads the picture at the thumbnail's size, so a large file is never
// decoded whole, and only what the codec's checks pass (a regular file of the image formats, within its size limit,
// whose structure lies inside it; see qvcodec/ImageFileBytes.h). Safe on any thread; touches no widget.
#pragma once

#include "types/VistrelExport.h"

#include <QImage>
#include <QSize>
#include <QString>

// The image of `path` fitted into `box` keeping its proportions (never enlarged); a null image when the file is
// not a readable image of those formats.
VISTREL_EXPORT QImage LoadThumbnail(const QString& path, const QSize& box);

// What the strip shows for a file that could not be read: a grey tile with a red cross, `box` in size.
VISTREL_EXPORT QImage BrokenThumbnail(const QSize& box);
// What the strip shows while the thumbnail is still being made: a plain light tile.
VISTREL_EXPORT QImage PendingThumbnail(const QSize& box);
