#include "core/CalibrationStrings.h"

#include "resources/StringTable.h"

namespace {

constexpr const char* kModule = "Vistrel";

const StringTableRegistrar kCalibrationStrings(
    kModule,
    {
        {calibstr::IDS_LIST_DAMAGED_KEPT,
         "The calibration list %s is damaged: only the calibrations that could be read were loaded. The original "
         "file is kept as %s.",
         "교정 목록 파일 %s 이(가) 손상되었습니다. 읽을 수 있는 교정만 불러왔습니다. 원본 파일은 %s 에 보관되어 "
         "있습니다."},
        {calibstr::IDS_LIST_DAMAGED_NOT_KEPT,
         "The calibration list %s is damaged or cannot be read, and no copy of it could be made. The file will not "
         "be replaced.",
         "교정 목록 파일 %s 이(가) 손상되었거나 읽을 수 없으며, 사본을 만들 수 없습니다. 이 파일은 바뀌지 "
         "않습니다."},
        {calibstr::IDS_FILES_NOT_SAVED, "The calibration files could not be saved in %s.",
         "교정 파일을 %s 에 저장할 수 없습니다."},
        {calibstr::IDS_NOTHING_TO_SAVE, "There is no calibration to save. Make or choose a calibration first.",
         "저장할 교정이 없습니다. 먼저 교정을 하거나 선택하십시오."},
        {calibstr::IDS_FILE_FILTER, "Calibration Files (*.cst)|*.cst||", "교정 파일 (*.cst)|*.cst||"},
        {calibstr::IDS_IMPORT_CANNOT_OPEN, "The file cannot be opened.", "파일을 열 수 없습니다."},
        {calibstr::IDS_IMPORT_FOREIGN, "This is not a calibration file.", "교정 파일이 아닙니다."},
        {calibstr::IDS_IMPORT_DAMAGED, "The calibration file is damaged.", "교정 파일이 손상되었습니다."},
        {calibstr::IDS_EXPORT_CANNOT_SAVE, "The file cannot be saved.", "파일을 저장할 수 없습니다."},
    });

}  // namespace

std::string CalibrationString(UINT id)
{
    return LoadString(kModule, id);
}
