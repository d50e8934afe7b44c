#include "gobjects/FiguronStrings.h"

#include "resources/StringTable.h"

namespace {

const StringTableRegistrar kFiguronStrings(FIGURON_MODULE, {
    {IDS_SHAPE_POINT, "Point"},
    {IDS_SHAPE_LINE, "Line"},
    {IDS_SHAPE_RECT, "Rectangle"},
    {IDS_SHAPE_CIRCLE, "Circle"},
    {IDS_SHAPE_CIRCLE_FROM_CENTER, "Center Circle"},
    {IDS_SHAPE_ELLIPSE, "Ellipse"},
    {IDS_SHAPE_POLYLINE, "Poly Line"},
    {IDS_SHAPE_POLYGON, "Polygon"},
    {IDS_SHAPE_BESTFIT_LINE, "Best Fit"},
    {IDS_SHAPE_TARGET, "Target"},
    {IDS_SHAPE_HLINE, "Horizontal Line"},
    {IDS_SHAPE_VLINE, "Vertical Line"},
    {IDS_SHAPE_HLINE_POINT_TO_POINT, "Point to Point horizontally"},
    {IDS_SHAPE_VLINE_POINT_TO_POINT, "Point to Point vertically"},
    {IDS_SHAPE_CENTER_TO_CENTER, "Center to Center"},
    {IDS_SHAPE_PARALLEL, "Parallel Line"},
    {IDS_SHAPE_PERPENDICULAR, "Perpendicular"},
    {IDS_SHAPE_DAS, "Das"},
    {IDS_SHAPE_2LINE_ANGLE, "2 Line Angle"},
    {IDS_SHAPE_3POINT_ANGLE, "3 Points Angle"},
    {IDS_SHAPE_3POINT_CIRCLE, "3 Points Circle"},
    {IDS_LANGUAGE_MARKER, "ENG", "KOR"},
    {IDS_SHAPE_CURVATURE, "Curvature"},
    {IDS_SHAPE_Z_INDICATOR, "Z-Indicator"},
    {IDS_SHAPE_GROUP, "Group"},

    {IDS_ANNO_POINT, "Point"},
    {IDS_ANNO_LINE, "Line"},
    {IDS_ANNO_RECT, "Rectangle"},
    {IDS_ANNO_CIRCLE, "Circle"},
    {IDS_ANNO_ELLIPSE, "Ellipse"},
    {IDS_ANNO_POLYLINE, "Poly Line"},
    {IDS_ANNO_POLYGON, "Polygon"},
    {IDS_ANNO_TEXT, "Text"},

    {100, "Length"},
    {101, "Width"},
    {102, "Height"},
    {103, "Diagonal"},
    {104, "Angle"},
    {105, "X Angle"},
    {106, "Y Angle"},
    {107, "Max Radius"},
    {108, "Min Radius"},
    {109, "Diameter"},
    {110, "Area"},
    {111, "Circular Mil"},
    {112, "Position Start"},
    {113, "Position Center"},
    {114, "Position End"},
    {115, "Curvature"},

    {IDS_PROPERTY_SHEET_CAPTION, "Object Properties..."},
    {IDS_TOO_SMALL, "Too small!!"},
    {IDS_COLOR_AUTOMATIC, "Automatic"},
    {IDS_COLOR_MORE, "More Colors..."},

    {IDS_AUTO_LINE, "Auto-Edge Line"},
    {IDS_AUTO_CIRCLE, "Auto-Edge Circle"},
    {IDS_AUTO_ARC, "Auto-Edge Arc"},
    {IDS_AUTO_ANGLE, "Angle Detection"},

    {IDS_BUTTON_OK, "OK", "확인"},
    {IDS_BUTTON_CANCEL, "Cancel", "취소"},
    {IDS_PAGE_COMMON, "Common"},
    {IDS_GROUP_TEXT, "Text"},
    {IDS_BOLD, "Bold"},
    {IDS_ITALIC, "Italic"},
    {IDS_UNDERLINE, "Under"},
    {IDS_COLOR, "Color"},
    {IDS_GROUP_LINE, "Line"},
    {IDS_TRANSPARENT, "Transparent"},
    {IDS_LINE_START, "Start"},
    {IDS_LINE_END, "End"},
    {IDS_WEIGHT, "Weight"},
    {IDS_LINE_TYPE, "Type"},
    {IDS_GROUP_FILL, "Fill"},
    {IDS_PAGE_VALUE, "Measurement Value"},
    {IDS_PAGE_ANGLE, "Angle Properties..."},
    {IDS_INTERIOR, "Interior"},
    {IDS_EXTERIOR, "Exterior"},
    {IDS_PAGE_IMAGE, "Image Properties..."},
    {IDS_OPACITY, "Opacity :"},
    {IDS_PAGE_TARGET, "Target Properties..."},
    {IDS_TARGET_CIRCLE, "Circle"},
    {IDS_TARGET_RECTANGLE, "Rectangle"},
    {IDS_GAP, "Gap :"},
    {IDS_SHAPE, "Shape :"},
    {IDS_PAGE_SCALE_MARKER, "Scale Marker"},
    {IDS_HORIZONTAL, "Horizontal"},
    {IDS_VERTICAL, "Vertical"},
    {IDS_UNITS, "Units"},
    {IDS_DIRECTION, "Direction"},
    {IDS_SCALE_DEFAULT, "Default Scale :", "스케일 기본값 :"},
    {IDS_ANCHOR_GROUP, "Position (Pixel)"},

    {IDS_NOT_YET, "Not yet"},
});

}  // namespace

std::string LoadFiguronString(uint32_t id)
{
    return LoadString(FIGURON_MODULE, id);
}

uint32_t ShapeNameStringId(int32_t shape)
{
    // The first eight measurement names are numbered one above their shape code (the label, code 8, has none);
    // from the best-fit line on the number is the code.
    if (shape >= SHAPE_POINT && shape <= SHAPE_POLYGON)
        return static_cast<uint32_t>(shape) + 1;
    if (shape >= SHAPE_BESTFIT_LINE && shape <= SHAPE_3POINT_CIRCLE)
        return static_cast<uint32_t>(shape);
    switch (shape) {
    case SHAPE_AUTO_LINE: return IDS_AUTO_LINE;
    case SHAPE_AUTO_CIRCLE: return IDS_AUTO_CIRCLE;
    case SHAPE_AUTO_ARC: return IDS_AUTO_ARC;
    case SHAPE_AUTO_ANGLE: return IDS_AUTO_ANGLE;
    case SHAPE_Z_INDICATOR: return IDS_SHAPE_Z_INDICATOR;
    case 29: return IDS_SHAPE_GROUP;
    case SHAPE_CURVATURE: return IDS_SHAPE_CURVATURE;
    default: return 0;
    }
}
