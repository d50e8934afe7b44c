// The texts of the "3D Surface Plot" plug-in, from its own string table.
#pragma once

#include <string>

namespace quantor {

constexpr const char kModuleName[] = "Quantor";

enum QuantorStringId
{
    IDS_GROUP = 1,
    IDS_SURFACE_PLOT = 2,
    IDS_PICKER_DEFAULT = 3,
    IDS_PICKER_MORE = 4,
    IDS_CHANNEL_RGB = 5,
    IDS_CHANNEL_RED = 6,
    IDS_CHANNEL_GREEN = 7,
    IDS_CHANNEL_BLUE = 8,
    // The dialog's own texts.
    IDS_INTENSITY = 100,
    IDS_LEGEND = 101,
    IDS_LOW = 102,
    IDS_HIGH = 103,
    IDS_SHOW = 104,
    IDS_ROTATE = 105,
    IDS_CENTER_ROTATE = 106,
    IDS_X_ROTATE = 107,
    IDS_ZOOM_GROUP = 108,
    IDS_ZOOM = 109,
    IDS_Z_AXIS = 110,
    IDS_DISPLAY = 111,
    IDS_GRID = 112,
    IDS_SURFACE = 113,
    IDS_FLAT = 114,
    IDS_STEP = 115,
    IDS_SAVE = 116,
    IDS_INVERT = 117,
    IDS_PRINT = 118,
    IDS_OK = 119,
    // The plot window's save.
    IDS_SAVE_TITLE = 200,
    IDS_SAVE_FILTER = 201,
    IDS_NO_CAPTURE = 202,
    IDS_CANNOT_SAVE = 203,
};

std::string QuantorString(int id);

}  // namespace quantor
