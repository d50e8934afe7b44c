// Command ids of the program's menus, toolbars and accelerators. The numbers are the system's own: the profile,
// companion programs and plug-ins know commands by them, so they never change.
#pragma once

#include "types/WinTypes.h"

namespace cmd {

// File (framework ids)
constexpr UINT ID_FILE_NEW = 57600;
constexpr UINT ID_FILE_OPEN = 57601;
constexpr UINT ID_FILE_CLOSE = 57602;
constexpr UINT ID_FILE_SAVE = 57603;
constexpr UINT ID_FILE_SAVE_AS = 57604;
constexpr UINT ID_FILE_PRINT = 57607;
constexpr UINT ID_FILE_SEND_MAIL = 1286;
constexpr UINT ID_APP_EXIT = 57665;
constexpr UINT ID_APP_ABOUT = 57664;
constexpr UINT ID_FILE_MRU_FILE1 = 57616;  // the recent-file places, 1 to 9
constexpr UINT ID_FILE_MRU_FILE9 = 57624;

// Edit
constexpr UINT ID_EDIT_COPY = 57634;
constexpr UINT ID_EDIT_CUT = 57635;
constexpr UINT ID_EDIT_PASTE = 57637;
constexpr UINT ID_EDIT_UNDO = 57643;
constexpr UINT ID_EDIT_REDO = 57644;
constexpr UINT ID_OBJECT_PROPERTIES = 1242;

// Image view
constexpr UINT ID_TOOL_HAND = 1225;
constexpr UINT ID_TOOL_SELECT = 1226;
constexpr UINT ID_ZOOM_IN = 1215;
constexpr UINT ID_ZOOM_COMBO = 1216;
constexpr UINT ID_ZOOM_OUT = 1217;
constexpr UINT ID_MERGE_MEASUREMENTS = 1205;
constexpr UINT ID_MERGE_ANNOTATIONS = 1206;
constexpr UINT ID_MERGE_ALL = 1207;
constexpr UINT ID_IMAGE_DUPLICATE = 1210;
constexpr UINT ID_IMAGE_CROP = 1211;
constexpr UINT ID_GRID_SHOW = 1220;
constexpr UINT ID_GRID_PROPERTIES = 1221;
constexpr UINT ID_REGION_RECT = 1320;
constexpr UINT ID_REGION_ELLIPSE = 1321;
constexpr UINT ID_REGION_POLYGON = 1322;
// The automatic measurement tools, in the order of their catalogue (shapes 24 to 27).
constexpr UINT ID_AUTO_EDGE_LINE = 1324;
constexpr UINT ID_AUTO_EDGE_CIRCLE = 1325;
constexpr UINT ID_AUTO_EDGE_ARC = 1326;
constexpr UINT ID_ANGLE_DETECTION = 1327;
constexpr UINT ID_LINE_COLOUR = 1240;
constexpr UINT ID_TEXT_COLOUR = 1241;
constexpr UINT ID_LINE_COLOUR_SELECTOR = 7024;
constexpr UINT ID_TEXT_COLOUR_SELECTOR = 7124;
constexpr UINT ID_MORE_COLOURS = 9498;
constexpr UINT ID_SCALE_BAR = 1233;
constexpr UINT ID_SCALE_BAR_AFTER_CAPTURE = 23344;

// Calibration
constexpr UINT ID_CALIBRATION_MANAGER = 1232;
constexpr UINT ID_CALIBRATION_MANUAL = 1230;
constexpr UINT ID_CALIBRATION_AUTO = 1231;
constexpr UINT ID_CALIBRATION_NAME_BOX = 1234;
constexpr UINT ID_MAGNIFICATION_BOX = 1235;
constexpr UINT ID_UNIT_BOX = 1236;

// Results
constexpr UINT ID_RESULT_REMOVE_SELECTED = 1280;
constexpr UINT ID_RESULT_STATISTICS = 1281;
constexpr UINT ID_RESULT_BACKUP = 1282;
constexpr UINT ID_RESULT_TO_CLIPBOARD = 1283;
constexpr UINT ID_RESULT_TO_NOTEPAD = 1284;
constexpr UINT ID_REPORT_MANAGER = 1285;
constexpr UINT ID_REPORT_MANAGER_ALL = 32895;

// Acquisition
constexpr UINT ID_ACQ_SELECT_DEVICE = 1255;
constexpr UINT ID_ACQ_DEVICE_SETTINGS = 1256;
constexpr UINT ID_ACQ_LIVE = 1248;
constexpr UINT ID_ACQ_CAPTURE = 1249;
constexpr UINT ID_ACQ_MULTI_CAPTURE = 1251;
constexpr UINT ID_ACQ_RESIZE_CAPTURE = 1250;
constexpr UINT ID_ACQ_CROSS_LINE = 1247;
constexpr UINT ID_ACQ_FULL_SCREEN = 1246;
constexpr UINT ID_ACQ_LIVE_MEASURE = 1245;
constexpr UINT ID_ACQ_VIDEO_RECORDER = 1254;

// Companion modules and programs
constexpr UINT ID_DEPTH_STACK_MODULE = 1266;
constexpr UINT ID_DEPTH_STACK = 32905;
constexpr UINT ID_AUTO_COUNT = 1265;
constexpr UINT ID_REMOTE_SAVE = 1200;
constexpr UINT ID_IMAGE_DATABASE = 1260;
constexpr UINT ID_PREFERENCES = 1201;
constexpr UINT ID_FOCUS_INDICATOR = 1270;
constexpr UINT ID_RETICLE_GENERATOR = 32878;
constexpr UINT ID_RETICLE_LOAD = 32883;
constexpr UINT ID_FLUORESCENCE = 1268;
constexpr UINT ID_AUTO_MEASURE_APP = 1262;
constexpr UINT ID_COMPANION_APP = 1261;
constexpr UINT ID_PORE_SCAN = 32901;
constexpr UINT ID_IMAGE_TILING = 1267;
constexpr UINT ID_LIVE_MEASURE_WINDOW = 32916;
constexpr UINT ID_PLUGIN_FIRST = 2024;
constexpr UINT ID_PLUGIN_LAST = 3024;

// Panes, toolbars and layouts of the main frame
constexpr UINT ID_PANE_MAGNIFIER = 1290;
constexpr UINT ID_PANE_REPORT = 1291;
constexpr UINT ID_PANE_THUMBNAILS = 1292;
constexpr UINT ID_PANE_TOOLS = 1293;
constexpr UINT ID_TOOLBAR_BASIC = 1300;
constexpr UINT ID_TOOLBAR_IMAGE = 1301;
constexpr UINT ID_TOOLBAR_CALIBRATION = 1303;
constexpr UINT ID_TOOLBAR_RESULT = 1304;
constexpr UINT ID_TOOLBAR_ADVANCED = 1305;
constexpr UINT ID_TOOLBAR_AREA = 1306;
constexpr UINT ID_TOOLBAR_ACQUISITION = 1307;
constexpr UINT ID_TOOLBAR_ATTRIBUTE = 1308;
constexpr UINT ID_TOOLBAR_NINTH = 1309;
constexpr UINT ID_LAYOUT_COMMON = 1310;
constexpr UINT ID_LAYOUT_COMPACT = 1311;
constexpr UINT ID_LAYOUT_RIGHT_BOTTOM = 1312;
constexpr UINT ID_LAYOUT_RIGHT_BOTTOM2 = 1313;
constexpr UINT ID_TOOLBAR_AUTO_MEASURE = 1314;

// MDI windows
constexpr UINT ID_WINDOW_CASCADE = 57650;
constexpr UINT ID_WINDOW_TILE_HORZ = 57651;

// Help
constexpr UINT ID_CONTEXT_HELP = 57669;
constexpr UINT ID_HELP_FINDER = 57667;
constexpr UINT ID_HELP = 57670;
constexpr UINT ID_DEFAULT_HELP = 57671;

}  // namespace cmd

// Docking panes, by the ids the layouts and the dock windows know them by.
constexpr UINT PANE_MAGNIFIER = 400;
constexpr UINT PANE_THUMBNAILS = 401;
constexpr UINT PANE_REPORT = 402;
constexpr UINT PANE_TOOLS = 403;

// Toolbars, by their resource ids (their object names in the saved layouts).
constexpr UINT TOOLBAR_BASIC = 110;
constexpr UINT TOOLBAR_ADVANCED = 123;
constexpr UINT TOOLBAR_IMAGE = 120;
constexpr UINT TOOLBAR_AREA = 124;
constexpr UINT TOOLBAR_RESULT = 126;
constexpr UINT TOOLBAR_ACQUISITION = 121;
constexpr UINT TOOLBAR_CALIBRATION = 122;
constexpr UINT TOOLBAR_ATTRIBUTE = 125;
constexpr UINT TOOLBAR_NINTH = 129;
constexpr UINT TOOLBAR_AUTO_MEASURE = 128;

// Status-bar panes (indicators); 0 is the message pane.
constexpr UINT PANE_STATUS_MESSAGE = 0;
constexpr UINT PANE_STATUS_COLOUR = 440;
constexpr UINT PANE_STATUS_IMAGE_SIZE = 441;
constexpr UINT PANE_STATUS_MOUSE = 442;
constexpr UINT PANE_STATUS_UNIT = 443;
constexpr UINT PANE_STATUS_CALIBRATION = 444;
constexpr UINT PANE_STATUS_MAGNIFICATION = 446;
