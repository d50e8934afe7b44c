#include "frame/CommandBarLayout.h"

#include "frame/CommandIds.h"

using namespace cmd;

namespace {

constexpr UINT kFileMenu[] = {ID_FILE_NEW,       ID_FILE_OPEN,          ID_FILE_CLOSE,         kSeparator,
                              ID_FILE_SAVE,      ID_FILE_SAVE_AS,       kSeparator,            ID_FILE_PRINT,
                              ID_FILE_SEND_MAIL, kSeparator,            ID_FILE_MRU_FILE1,     ID_FILE_MRU_FILE1 + 1,
                              ID_FILE_MRU_FILE1 + 2, ID_FILE_MRU_FILE1 + 3, ID_FILE_MRU_FILE1 + 4,
                              ID_FILE_MRU_FILE1 + 5, ID_FILE_MRU_FILE1 + 6, ID_FILE_MRU_FILE1 + 7,
                              ID_FILE_MRU_FILE9,     kSeparator,            ID_APP_EXIT};
constexpr UINT kEditMenu[] = {ID_EDIT_UNDO, ID_EDIT_REDO, kSeparator, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE,
                              kSeparator, ID_OBJECT_PROPERTIES};
constexpr UINT kImageMenu[] = {ID_ZOOM_IN, ID_ZOOM_OUT, kSeparator, ID_MERGE_MEASUREMENTS, ID_MERGE_ANNOTATIONS,
                               ID_MERGE_ALL, kSeparator, ID_IMAGE_DUPLICATE, ID_IMAGE_CROP, kSeparator, ID_GRID_SHOW,
                               ID_GRID_PROPERTIES};
constexpr UINT kAcquisitionMenu[] = {ID_ACQ_SELECT_DEVICE, ID_ACQ_DEVICE_SETTINGS, kSeparator, ID_ACQ_LIVE,
                                     ID_ACQ_CAPTURE, ID_ACQ_MULTI_CAPTURE, ID_ACQ_RESIZE_CAPTURE, kSeparator,
                                     ID_ACQ_CROSS_LINE, ID_ACQ_FULL_SCREEN, ID_ACQ_LIVE_MEASURE, kSeparator,
                                     ID_ACQ_VIDEO_RECORDER};
constexpr UINT kCalibrationMenu[] = {ID_CALIBRATION_MANAGER, kSeparator, ID_CALIBRATION_MANUAL, ID_CALIBRATION_AUTO};
constexpr UINT kResultMenu[] = {ID_RESULT_REMOVE_SELECTED, ID_RESULT_STATISTICS, kSeparator, ID_RESULT_BACKUP,
                                ID_RESULT_TO_CLIPBOARD, ID_RESULT_TO_NOTEPAD, kSeparator, ID_REPORT_MANAGER,
                                ID_REPORT_MANAGER_ALL};
constexpr UINT kToolsMenu[] = {ID_IMAGE_TILING, ID_DEPTH_STACK, ID_REMOTE_SAVE, ID_AUTO_COUNT, ID_FLUORESCENCE,
                               ID_FOCUS_INDICATOR, ID_PORE_SCAN, kSeparator, ID_RETICLE_GENERATOR, ID_RETICLE_LOAD,
                               kSeparator, ID_IMAGE_DATABASE, kSeparator, ID_PREFERENCES};
constexpr UINT kViewMenu[] = {ID_PANE_MAGNIFIER, ID_PANE_REPORT, ID_PANE_THUMBNAILS, ID_PANE_TOOLS, kSeparator,
                              ID_TOOLBAR_BASIC, ID_TOOLBAR_IMAGE, ID_TOOLBAR_CALIBRATION, ID_TOOLBAR_RESULT,
                              ID_TOOLBAR_ADVANCED, ID_TOOLBAR_AREA, ID_TOOLBAR_ACQUISITION, ID_TOOLBAR_ATTRIBUTE,
                              ID_TOOLBAR_NINTH, ID_TOOLBAR_AUTO_MEASURE, kSeparator, ID_LAYOUT_COMMON, ID_LAYOUT_COMPACT,
                              ID_LAYOUT_RIGHT_BOTTOM, ID_LAYOUT_RIGHT_BOTTOM2, kSeparator, ID_WINDOW_CASCADE,
                              ID_WINDOW_TILE_HORZ};
constexpr UINT kHelpMenu[] = {ID_HELP_FINDER, kSeparator, ID_APP_ABOUT};

constexpr MenuDefinition kMenus[] = {
    {8000, kFileMenu},
    {8001, kEditMenu},
    {8002, kImageMenu},
    {8003, kAcquisitionMenu},
    {8004, {}},
    {8005, kCalibrationMenu},
    {8006, kResultMenu},
    {8007, kToolsMenu},
    {8008, kViewMenu},
    {8009, kHelpMenu},
};

constexpr UINT kBasicBar[] = {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, kSeparator, ID_FILE_PRINT, kSeparator,
                              ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, kSeparator, ID_PREFERENCES, ID_HELP_FINDER};
constexpr UINT kAdvancedBar[] = {ID_DEPTH_STACK, ID_IMAGE_TILING, ID_FOCUS_INDICATOR, ID_PORE_SCAN,
                                 ID_IMAGE_DATABASE};
constexpr UINT kImageBar[] = {ID_EDIT_UNDO, ID_EDIT_REDO, kSeparator, ID_TOOL_SELECT, ID_TOOL_HAND, kSeparator,
                              ID_ZOOM_IN, ID_ZOOM_COMBO, ID_ZOOM_OUT, kSeparator, ID_MERGE_MEASUREMENTS,
                              ID_MERGE_ANNOTATIONS, ID_MERGE_ALL, kSeparator, ID_IMAGE_DUPLICATE, ID_SCALE_BAR};
constexpr UINT kAreaBar[] = {ID_REGION_RECT, ID_REGION_ELLIPSE, ID_REGION_POLYGON, kSeparator, ID_IMAGE_CROP};
constexpr UINT kResultBar[] = {ID_RESULT_REMOVE_SELECTED, ID_RESULT_STATISTICS, kSeparator, ID_RESULT_BACKUP,
                               ID_RESULT_TO_NOTEPAD, ID_REPORT_MANAGER};
constexpr UINT kAcquisitionBar[] = {ID_ACQ_SELECT_DEVICE, ID_ACQ_DEVICE_SETTINGS, kSeparator, ID_ACQ_LIVE,
                                    ID_ACQ_CAPTURE, ID_ACQ_MULTI_CAPTURE, ID_ACQ_RESIZE_CAPTURE, kSeparator,
                                    ID_ACQ_CROSS_LINE, ID_ACQ_VIDEO_RECORDER};
constexpr UINT kCalibrationBar[] = {ID_CALIBRATION_MANAGER, ID_CALIBRATION_MANUAL, ID_CALIBRATION_AUTO, kSeparator,
                                    ID_CALIBRATION_NAME_BOX, ID_MAGNIFICATION_BOX, ID_UNIT_BOX};
constexpr UINT kAttributeBar[] = {ID_LINE_COLOUR, ID_TEXT_COLOUR, kSeparator, ID_OBJECT_PROPERTIES, ID_GRID_SHOW};
constexpr UINT kNinthBar[] = {kPluginMenuControl};
constexpr UINT kAutoMeasureBar[] = {ID_AUTO_EDGE_LINE, ID_AUTO_EDGE_CIRCLE, ID_AUTO_EDGE_ARC, ID_ANGLE_DETECTION};

constexpr ToolbarDefinition kToolbars[] = {
    {110, 420, ID_TOOLBAR_BASIC, false, kBasicBar},
    {123, 425, ID_TOOLBAR_ADVANCED, false, kAdvancedBar},
    {120, 421, ID_TOOLBAR_IMAGE, false, kImageBar},
    {124, 426, ID_TOOLBAR_AREA, false, kAreaBar},
    {126, 423, ID_TOOLBAR_RESULT, false, kResultBar},
    {121, 424, ID_TOOLBAR_ACQUISITION, true, kAcquisitionBar},
    {122, 422, ID_TOOLBAR_CALIBRATION, false, kCalibrationBar},
    {125, 427, ID_TOOLBAR_ATTRIBUTE, false, kAttributeBar},
    {129, 428, ID_TOOLBAR_NINTH, false, kNinthBar},
    {128, 429, ID_TOOLBAR_AUTO_MEASURE, false, kAutoMeasureBar},
};

}  // namespace

std::span<const MenuDefinition> MainMenuLayout() { return kMenus; }
std::span<const ToolbarDefinition> ToolbarLayout() { return kToolbars; }

const ToolbarDefinition* FindToolbar(UINT resourceId)
{
    for (const ToolbarDefinition& toolbar : kToolbars)
        if (toolbar.resourceId == resourceId)
            return &toolbar;
    return nullptr;
}
