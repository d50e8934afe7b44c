// The texts of the Figuron library: tool and object names, quantity names, the property sheet's caption, buttons
// and pages, and messages. They live in the string table of the module "Figuron" and follow the UI language; the
// language marker (IDS_LANGUAGE_MARKER), the sheet's buttons and the scale default's label have a Korean text,
// every other text is English in both languages. Any thread.
#pragma once

#include "gobjects/GObjectTypes.h"

#include "types/VistrelExport.h"

#include <cstdint>
#include <string>

inline constexpr const char* FIGURON_MODULE = "Figuron";

enum FiguronStringId : uint32_t
{
    // Measurement tool and object names.
    IDS_SHAPE_POINT = 1,
    IDS_SHAPE_LINE = 2,
    IDS_SHAPE_RECT = 3,
    IDS_SHAPE_CIRCLE = 4,
    IDS_SHAPE_CIRCLE_FROM_CENTER = 5,
    IDS_SHAPE_ELLIPSE = 6,
    IDS_SHAPE_POLYLINE = 7,
    IDS_SHAPE_POLYGON = 8,
    IDS_SHAPE_BESTFIT_LINE = 9,
    IDS_SHAPE_TARGET = 10,
    IDS_SHAPE_HLINE = 11,
    IDS_SHAPE_VLINE = 12,
    IDS_SHAPE_HLINE_POINT_TO_POINT = 13,
    IDS_SHAPE_VLINE_POINT_TO_POINT = 14,
    IDS_SHAPE_CENTER_TO_CENTER = 15,
    IDS_SHAPE_PARALLEL = 16,
    IDS_SHAPE_PERPENDICULAR = 17,
    IDS_SHAPE_DAS = 18,
    IDS_SHAPE_2LINE_ANGLE = 19,
    IDS_SHAPE_3POINT_ANGLE = 20,
    IDS_SHAPE_3POINT_CIRCLE = 21,
    // "ENG" in the English table, "KOR" in the Korean one: tells dialogs which button captions to use.
    IDS_LANGUAGE_MARKER = 22,
    IDS_SHAPE_CURVATURE = 23,
    IDS_SHAPE_Z_INDICATOR = 24,
    IDS_SHAPE_GROUP = 25,

    // Annotation tool names.
    IDS_ANNO_POINT = 50,
    IDS_ANNO_LINE = 51,
    IDS_ANNO_RECT = 52,
    IDS_ANNO_CIRCLE = 53,
    IDS_ANNO_ELLIPSE = 54,
    IDS_ANNO_POLYLINE = 55,
    IDS_ANNO_POLYGON = 56,
    IDS_ANNO_TEXT = 57,

    // Quantity names: IDS_QUANTITY_FIRST + bit number of the tagCAL_TYPE bit ("Length" ... "Curvature").
    IDS_QUANTITY_FIRST = 100,
    IDS_QUANTITY_LAST = 115,

    IDS_PROPERTY_SHEET_CAPTION = 120,  // "Object Properties..."
    IDS_TOO_SMALL = 131,               // "Too small!!"
    IDS_COLOR_AUTOMATIC = 132,         // "Automatic"
    IDS_COLOR_MORE = 133,              // "More Colors..."

    // Automatic measurement tool names.
    IDS_AUTO_LINE = 200,
    IDS_AUTO_CIRCLE = 201,
    IDS_AUTO_ARC = 202,
    IDS_AUTO_ANGLE = 203,

    // The property sheet's buttons and its pages.
    IDS_BUTTON_OK = 300,
    IDS_BUTTON_CANCEL = 301,
    IDS_PAGE_COMMON = 310,
    IDS_GROUP_TEXT = 311,
    IDS_BOLD = 312,
    IDS_ITALIC = 313,
    IDS_UNDERLINE = 314,
    IDS_COLOR = 315,
    IDS_GROUP_LINE = 316,
    IDS_TRANSPARENT = 317,
    IDS_LINE_START = 318,
    IDS_LINE_END = 319,
    IDS_WEIGHT = 320,
    IDS_LINE_TYPE = 321,
    IDS_GROUP_FILL = 322,
    IDS_PAGE_VALUE = 323,
    IDS_PAGE_ANGLE = 324,
    IDS_INTERIOR = 325,
    IDS_EXTERIOR = 326,
    IDS_PAGE_IMAGE = 327,
    IDS_OPACITY = 328,
    IDS_PAGE_TARGET = 329,
    IDS_TARGET_CIRCLE = 330,
    IDS_TARGET_RECTANGLE = 331,
    IDS_GAP = 332,
    IDS_SHAPE = 333,
    IDS_PAGE_SCALE_MARKER = 334,
    IDS_HORIZONTAL = 335,
    IDS_VERTICAL = 336,
    IDS_UNITS = 337,
    IDS_DIRECTION = 338,
    IDS_SCALE_DEFAULT = 339,
    IDS_ANCHOR_GROUP = 340,

    // The value of a quantity an object cannot compute (yet).
    IDS_NOT_YET = 341,
};

// The text of `id` in the current UI language; "" for an id the library does not have.
VISTREL_EXPORT std::string LoadFiguronString(uint32_t id);

// The string that names objects of `shape` ("Line" for a line, "Auto-Edge Arc" for an automatic arc); 0 for the
// shapes that are not named: the value label and the annotation codes 30 and above, except the curvature.
VISTREL_EXPORT uint32_t ShapeNameStringId(int32_t shape);
