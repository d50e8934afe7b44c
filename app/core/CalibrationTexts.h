// The texts of the calibration windows: ids of the program's string table (module "Vistrel"), read in the UI
// language with CalibrationString (core/CalibrationStrings.h) or, for a widget, CalibrationUiText.
#pragma once

#include "core/CalibrationStrings.h"

#include <QString>

#include <string>

namespace calibstr {
constexpr UINT IDS_NO_CALIBRATIONS = 106;
constexpr UINT IDS_CAPTURED_IMAGE_NEEDED = 109;
constexpr UINT IDS_ASK_NAME = 411;
constexpr UINT IDS_ASK_MAGNIFICATION = 412;
constexpr UINT IDS_ASK_UNITS_PER_PIXEL = 414;
constexpr UINT IDS_NAME_COLUMN = 444;
constexpr UINT IDS_NONE = 523;       // the name box of an uncalibrated image (registered with the frame's texts)
constexpr UINT IDS_TEMPORARY = 524;  // how the temporary calibration is shown
constexpr UINT IDS_UNIT_LOSS_WARNING = 742;
constexpr UINT IDS_DRAW_CALIBRATION_LINE = 763;
constexpr UINT IDS_NAME_EXISTS = 766;
constexpr UINT IDS_CHOOSE_NAME = 772;
constexpr UINT IDS_MAGNIFICATION_EXISTS = 773;
constexpr UINT IDS_FILL_EVERYTHING = 774;

// The windows' own texts.
constexpr UINT IDS_MANAGER_TITLE = 8100;
constexpr UINT IDS_NAME_LABEL = 8101;
constexpr UINT IDS_RENAME = 8102;
constexpr UINT IDS_DELETE = 8103;
constexpr UINT IDS_MAGNIFICATION_LABEL = 8104;
constexpr UINT IDS_CHANGE = 8105;
constexpr UINT IDS_UNIT_LABEL = 8106;
constexpr UINT IDS_UNITS_PER_PIXEL_LABEL = 8107;
constexpr UINT IDS_SCALE_DEFAULT_LABEL = 8108;
constexpr UINT IDS_REORDER_NAMES = 8109;
constexpr UINT IDS_IMPORT = 8110;
constexpr UINT IDS_EXPORT = 8111;
constexpr UINT IDS_MANUAL_CALIBRATION_TITLE = 8112;
constexpr UINT IDS_NEW = 8113;
constexpr UINT IDS_REAL_LENGTH_LABEL = 8114;
constexpr UINT IDS_APPLY = 8115;
constexpr UINT IDS_SAVE = 8116;
constexpr UINT IDS_CANCEL = 8117;
constexpr UINT IDS_ZOOM_TITLE = 8118;
constexpr UINT IDS_UP = 8119;
constexpr UINT IDS_DOWN = 8120;
constexpr UINT IDS_ZERO_LENGTH = 8121;
constexpr UINT IDS_ERROR_CAPTION = 8122;
}  // namespace calibstr

// The text of `id` in the UI language, for a widget.
QString CalibrationUiText(UINT id);

// How a calibration's name is shown: the temporary calibration by its text in the UI language, any other name as
// it is stored.
std::string ShownCalibrationName(const std::string& name);
// True for the names no calibration may take: "", the stored names of "none" and of the temporary calibration,
// and their texts in the UI language (in any case).
bool IsReservedCalibrationName(const std::string& name);

namespace calibration_text {
// The special calibration whose entries cannot be renamed or deleted (a stored name, not a text).
inline constexpr const char* kProtectedName = "QMS-7200";
}  // namespace calibration_text
