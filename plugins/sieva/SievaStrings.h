// The texts of the "Image Filters" plug-in, from its own string table.
#pragma once

#include <string>

namespace sieva {

constexpr const char kModuleName[] = "Sieva";

enum SievaStringId
{
    IDS_IMAGE_FILTERS = 1,
    IDS_PAGE_ENHANCEMENT = 10,
    IDS_PAGE_EDGE,
    IDS_PAGE_MORPHOLOGICAL,
    IDS_PAGE_USER_DEFINED,
    IDS_HIPASS3 = 20,
    IDS_HIPASS5,
    IDS_GAUSSIAN3,
    IDS_GAUSSIAN5,
    IDS_MEDIAN,
    IDS_SHARPEN,
    IDS_MIN,
    IDS_MAX,
    IDS_ROBERTS,
    IDS_SOBEL,
    IDS_PREWITT,
    IDS_LAPLACIAN3,
    IDS_LAPLACIAN5,
    IDS_ERODE,
    IDS_DILATE,
    IDS_OPEN,
    IDS_CLOSE,
    IDS_ITERATIONS,
    IDS_ROW = 50,
    IDS_COL,
    IDS_FILTERING,
    IDS_SAVE_FILTER,
    IDS_OPEN_FILTER,
    IDS_FILTER_FILES,
    IDS_KERNEL_NOT_READ,
    IDS_KERNEL_NOT_WRITTEN,
};

std::string SievaString(int id);
// The text with its one "%s" replaced by `argument`.
std::string SievaString(int id, const std::string& argument);

}  // namespace sieva
