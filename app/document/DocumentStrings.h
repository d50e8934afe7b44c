// The texts the documents show: prompts, messages and the title of a new image, in the UI language.
#pragma once

#include "types/WinTypes.h"

#include <string>

namespace docstr {
constexpr UINT IDS_NEW_IMAGE = 511;          // base of new blank image titles
constexpr UINT IDS_CANNOT_OPEN = 767;        // an image file that cannot be read
constexpr UINT IDS_NEW_IMAGE_SIZE = 4090;    // a new image size out of bounds (%d = the largest side)
constexpr UINT IDS_UNTITLED = 61443;         // a document with neither path nor title
constexpr UINT IDS_ASK_TO_SAVE = 61699;      // the save-changes prompt; %1 is the document's name
constexpr UINT IDS_OPENED_REDUCED = 4172;    // a file read at fewer bits a sample (%s = the path, %d = its bits)
constexpr UINT IDS_NEW_IMAGE_MEMORY = 4174;  // a new image the memory cannot hold (%d x %d, %lld MB needed, free)
constexpr UINT IDS_NEW_IMAGE_PIXELS = 4176;  // a new image beyond the library's pixel bytes (%d x %d, %lld MB, most)
// The new-image dialog.
constexpr UINT IDS_NEW_IMAGE_TITLE = 8200;
constexpr UINT IDS_NEW_IMAGE_WIDTH = 8201;
constexpr UINT IDS_NEW_IMAGE_HEIGHT = 8202;
constexpr UINT IDS_NEW_IMAGE_PIXEL_UNIT = 8203;
constexpr UINT IDS_NOT_IN_LIVE = 770;        // a tool the live view does not take
}  // namespace docstr

std::string DocumentString(UINT id);
