#include "caliper/CaliperStrings.h"

#include "resources/StringTable.h"

namespace {

// Kept in the translation unit every caller reaches through Text, so that the static library's registrar is
// linked wherever a caliper text is read.
const StringTableRegistrar kStrings(caliper::kStringModule, {
    {1, "Overview", "개요"},
    {2, "Detector", "탐지기"},
    {3, "Show/hide options", "옵션 보이기/숨기기"},
    {4, "Unsupported file format", "지원되지 않는 파일 형식"},
    {5, "Caliper", "캘리퍼스"},
    {9, "Threshold"},
    {10, "Peak"},
    {11, "Valley"},
    {12, "Step Up"},
    {13, "Step Down"},
    {15, "T"},
    {16, "P"},
    {17, "V"},
    {18, "U"},
    {19, "D"},
    {21, "Length", "길이"},
    {22, "Total", "총 갯수"},
    {23, "Name", "이름"},
    {24, "Line", "선"},
    {27, "Opening a new settings file resets what you have set. Do you want to proceed?",
     "새로운 설정 파일을 열면 설정했던 정보가 초기화됩니다. 진행하시겠습니까?"},
    {28, "Options", "옵션"},
    {29, "Image Analysis", "이미지 분석"},
    {30, "Caliper Setting Files (*.cst)", "캘리퍼스 설정 파일 (*.cst)"},
    {31, "Load settings file", "설정파일 불러오기"},
    {32, "Save settings file", "설정파일 저장하기"},
    {33, "Reset to defaults", "초기값으로"},
    {34, "Settings", "설정"},
    {35, "Smoothing", "부드럽게"},
    {36, "Passes", "반복"},
    {37, "Width", "길이"},
    {38, "Apply", "적용"},
    {39, "Measure", "측정"},
    {40, "Result", "결과"},
    {41, "Basic result", "기본 결과"},
    {42, "Detailed result", "상세 결과"},
    {43, "Upper", "위"},
    {44, "Lower", "아래"},
    {45, "Show names", "이름 표시"},
    {46, "Decimal places", "유효 소수점"},
    {47, "Overview display", "개요 보기"},
    {48, "Image", "이미지"},
    {49, "Grid", "격자"},
    {50, "Frame", "프레임"},
    {51, "Select and edit", "선택 및 편집"},
    {52, "Draw lines", "선 그리기"},
    {53, "Draw circles", "원 그리기"},
    {54, "Proceed", "Proceed"},
    {55, "Error in Delete of CaliperMain, Inform this to QRX"},
});

}  // namespace

std::string caliper::Text(uint32_t id)
{
    return LoadString(kStringModule, id);
}
