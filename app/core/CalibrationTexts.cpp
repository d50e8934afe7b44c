#include "core/CalibrationTexts.h"

#include "core/CCalibrationList.h"

#include "resources/StringTable.h"
#include "strings/StringQuery.h"

namespace {

const StringTableRegistrar kCalibrationWindowStrings(
    "Vistrel",
    {
        {calibstr::IDS_NO_CALIBRATIONS, "There are no calibrations.", "교정 내역이 없습니다."},
        {calibstr::IDS_CAPTURED_IMAGE_NEEDED, "A captured image window must be active.",
         "캡쳐된 이미지 창이 활성화 되어야 합니다."},
        {calibstr::IDS_ASK_NAME, "Enter the calibration name", "교정 이름 입력"},
        {calibstr::IDS_ASK_MAGNIFICATION, "Enter the lens magnification (integer)", "렌즈 배율 입력 (정수)"},
        {calibstr::IDS_ASK_UNITS_PER_PIXEL, "Enter the UPP", "UPP 입력"},
        {calibstr::IDS_NAME_COLUMN, "Calibration Name", "교정명"},
        {calibstr::IDS_TEMPORARY, "Temporary", "임시"},
        {calibstr::IDS_UNIT_LOSS_WARNING, "The calibration information will be lost. Do you want to continue?",
         "교정 정보를 잃게되니다. 계속 하시겠습니까?"},
        {calibstr::IDS_DRAW_CALIBRATION_LINE, "Create the calibration object.", "교정 개체를 생성 하십시오."},
        {calibstr::IDS_NAME_EXISTS, "The calibration name already exists.", "이미 존재하는 교정명입니다."},
        {calibstr::IDS_CHOOSE_NAME, "A calibration name must be chosen.", "교정명을 반드시 선택하여야 합니다."},
        {calibstr::IDS_MAGNIFICATION_EXISTS, "The magnification already exists.", "이미 존재하는 배율입니다."},
        {calibstr::IDS_FILL_EVERYTHING, "Fill in every field.", "내용을 모두 기입하세요."},

        {calibstr::IDS_MANAGER_TITLE, "Calibration Manager", "교정 관리자"},
        {calibstr::IDS_NAME_LABEL, "Calibration :", "교정명 :"},
        {calibstr::IDS_RENAME, "Rename", "다른이름으로"},
        {calibstr::IDS_DELETE, "Delete", "삭제"},
        {calibstr::IDS_MAGNIFICATION_LABEL, "Magnification :", "배율 :"},
        {calibstr::IDS_CHANGE, "Change", "수정"},
        {calibstr::IDS_UNIT_LABEL, "Unit :", "단위 :"},
        {calibstr::IDS_UNITS_PER_PIXEL_LABEL, "UPP :"},
        {calibstr::IDS_SCALE_DEFAULT_LABEL, "Default Scale :", "스케일 기본값 :"},
        {calibstr::IDS_REORDER_NAMES, "Reorder Calibrations", "교정명 순서바꾸기"},
        {calibstr::IDS_IMPORT, "Import", "가져오기"},
        {calibstr::IDS_EXPORT, "Export", "내보내기"},
        {calibstr::IDS_MANUAL_CALIBRATION_TITLE, "Manual Calibration", "수동 교정"},
        {calibstr::IDS_NEW, "New", "새로만들기"},
        {calibstr::IDS_REAL_LENGTH_LABEL, "Real Length :", "실제 길이 :"},
        {calibstr::IDS_APPLY, "Apply", "적용"},
        {calibstr::IDS_SAVE, "Save", "저장"},
        {calibstr::IDS_CANCEL, "Cancel", "취소"},
        {calibstr::IDS_ZOOM_TITLE, "Zoom", "확대"},
        {calibstr::IDS_UP, "Up", "위로"},
        {calibstr::IDS_DOWN, "Down", "아래로"},
        {calibstr::IDS_ZERO_LENGTH, "Length cannot be zero!!"},
        {calibstr::IDS_ERROR_CAPTION, "Error"},
    });

}  // namespace

QString CalibrationUiText(UINT id)
{
    return QString::fromStdString(CalibrationString(id));
}

std::string ShownCalibrationName(const std::string& name)
{
    if (CompareNoCase(name, CCalibrationList::kTemporaryName) == 0)
        return CalibrationString(calibstr::IDS_TEMPORARY);
    return name;
}

bool IsReservedCalibrationName(const std::string& name)
{
    for (const std::string& reserved :
         {std::string(CCalibrationList::kNoneName), std::string(CCalibrationList::kTemporaryName),
          CalibrationString(calibstr::IDS_NONE), CalibrationString(calibstr::IDS_TEMPORARY)})
        if (CompareNoCase(name, reserved) == 0)
            return true;
    return name.empty();
}
