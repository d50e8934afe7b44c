// The caliper's pointer shapes over the image: a cross with a small line, and a cross with a small circle.
#pragma once

#include <QCursor>

namespace caliper {

const QCursor& LineCursor();
const QCursor& CircleCursor();

}  // namespace caliper
