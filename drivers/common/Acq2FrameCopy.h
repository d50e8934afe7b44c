// The one copy both second-generation drivers make of a frame into the host's image: row by row, so the image's
// own row padding and a source stored bottom-up both cost nothing beyond the bytes copied.
#pragma once

#include <cstdint>

namespace datakeeper {
class CQvImage;
}

// Copies `height` rows of `width` pixels of 3 bytes into the image's first rows and columns, top-down: source row i
// starts at `firstRow + i * rowStep` (a negative step walks a bottom-up buffer from its last stored row). False, and
// nothing written, when the image has pixels of another size or fewer rows or columns than that.
bool Acq2CopyRows(const uint8_t* firstRow, int64_t rowStep, int width, int height, datakeeper::CQvImage& image);
