// Codes shared by every overlay object: shape codes, object kinds, creation states, measurable quantities and the
// value record. All are plain 32-bit ints in memory and in the overlay stream, so any int may be cast to them.
#pragma once

#include <cstdint>

// Shape code of an object. Codes 22, 23, 29, 33, 40 and 41 create no object.
enum OBJ_SHAPE : int32_t
{
    SHAPE_POINT = 0,
    SHAPE_LINE = 1,
    SHAPE_RECT = 2,
    SHAPE_CIRCLE = 3,  // by diameter
    SHAPE_CIRCLE_FROM_CENTER = 4,
    SHAPE_ELLIPSE = 5,
    SHAPE_POLYLINE = 6,
    SHAPE_POLYGON = 7,
    SHAPE_LABEL = 8,  // the value label box of a measurement
    SHAPE_BESTFIT_LINE = 9,
    SHAPE_TARGET = 10,
    SHAPE_HLINE = 11,
    SHAPE_VLINE = 12,
    SHAPE_HLINE_POINT_TO_POINT = 13,
    SHAPE_VLINE_POINT_TO_POINT = 14,
    SHAPE_CENTER_TO_CENTER = 15,
    SHAPE_PARALLEL = 16,
    SHAPE_PERPENDICULAR = 17,
    SHAPE_DAS = 18,
    SHAPE_2LINE_ANGLE = 19,
    SHAPE_3POINT_ANGLE = 20,
    SHAPE_3POINT_CIRCLE = 21,
    SHAPE_AUTO_LINE = 24,
    SHAPE_AUTO_CIRCLE = 25,
    SHAPE_AUTO_ARC = 26,
    SHAPE_AUTO_ANGLE = 27,
    SHAPE_Z_INDICATOR = 28,
    // Annotation forms.
    SHAPE_ANNO_POINT = 30,
    SHAPE_ANNO_LINE = 31,
    SHAPE_ANNO_RECT = 32,
    SHAPE_ANNO_CIRCLE = 33,
    SHAPE_ANNO_CIRCLE_FROM_CENTER = 34,
    SHAPE_ANNO_ELLIPSE = 35,
    SHAPE_ANNO_POLYLINE = 36,
    SHAPE_ANNO_POLYGON = 37,
    SHAPE_TEXT = 38,
    SHAPE_IMAGE = 39,
    SHAPE_SCALE_MARKER = 42,
    SHAPE_CURVATURE = 43,
};

// Object kind. 0 and 1 are measurements; every other kind is an annotation, given by the factory.
enum QVGO_TYPE : int32_t
{
    GOTYPE_MEASURE = 0,
    GOTYPE_MEASURE_ALT = 1,
    GOTYPE_POINT = 2,
    GOTYPE_LINE = 3,
    GOTYPE_RECT = 4,
    GOTYPE_CIRCLE = 5,
    GOTYPE_CIRCLE_FROM_CENTER = 6,
    GOTYPE_ELLIPSE = 7,
    GOTYPE_POLYLINE = 8,
    GOTYPE_POLYGON = 9,
    GOTYPE_TEXT = 10,
    GOTYPE_IMAGE = 11,
    GOTYPE_SCALE_MARKER = 12,
};

// State of an object and of its container.
enum GOBJ_STATE : int32_t
{
    GS_IDLE = 1,
    GS_FIRST_POINT = 2,  // creation started, first point pending
    GS_ADDING = 4,       // points being added
    GS_FINISHED = 8,
    GS_SELECTION = 16,   // container only; tested as a bit
    GS_FAILED = 32,      // the shape cannot be built; the container discards it
};

// Measurable quantity, one bit each; the display name is string 100 + bit number.
enum tagCAL_TYPE : int32_t
{
    CAL_LENGTH = 0x1,
    CAL_WIDTH = 0x2,
    CAL_HEIGHT = 0x4,
    CAL_DIAGONAL = 0x8,
    CAL_ANGLE = 0x10,
    CAL_X_ANGLE = 0x20,
    CAL_Y_ANGLE = 0x40,
    CAL_MAX_RADIUS = 0x80,
    CAL_MIN_RADIUS = 0x100,
    CAL_DIAMETER = 0x200,
    CAL_AREA = 0x400,
    CAL_CIRCULAR_MIL = 0x800,
    CAL_POSITION_START = 0x1000,
    CAL_POSITION_CENTER = 0x2000,
    CAL_POSITION_END = 0x4000,
    CAL_CURVATURE = 0x8000,
};

// One computed value. For the three positions value1/value2 are x/y in image pixels; for every other quantity
// value1 is already in calibrated units (degrees for angles) and value2 carries nothing. Stored as 24 bytes:
// kind, 4 bytes of padding, value1, value2.
struct tagCAL_DATA
{
    int32_t kind = 0;  // one tagCAL_TYPE bit
    double value1 = 0.0;
    double value2 = 0.0;
};

static_assert(sizeof(tagCAL_DATA) == 24);
