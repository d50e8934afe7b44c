#include "frame/FrameStrings.h"

#include "resources/StringTable.h"

namespace {

constexpr const char* kModule = "Vistrel";

const StringTableRegistrar kFrameStrings(kModule, {
    {420, "Main", "기본"},
    {421, "Image", "이미지"},
    {422, "Calibration", "교정"},
    {423, "Result", "결과"},
    {424, "Acquisition", "이미지 획득 장치"},
    {425, "Modules", "추가모듈"},
    {426, "Region", "영역"},
    {427, "Property", "속성"},
    // The ninth toolbar holds the plug-ins; it had no caption of its own.
    {428, "Plug-ins", "플러그인"},
    {429, "Automatic Measurement", "자동 측정"},
    {440, "Color", "색상"},
    {441, "Image Size", "이미지 크기"},
    {442, "Mouse Position", "마우스 위치"},
    {445, "Image Size (Width : %%.%df, Height : %%.%df)", "이미지 크기 (가로 : %%.%df, 세로 : %%.%df)"},
    {448, "Mouse Position (%%.%df,%%.%df)", "마우스 위치 (%%.%df,%%.%df)"},
    {449, "Calibration : %s", "교정명 : %s"},
    {450, "Unit : %s", "단위 : %s"},
    {451, "Magnification : %s", "배율 : %s"},
    {520, "Pixel", "픽셀"},
    {523, "None", "없음"},
    // The menu bar.
    {8000, "&File", "파일(&F)"},
    {8001, "&Edit", "편집(&E)"},
    {8002, "&Image", "이미지(&I)"},
    {8003, "&Acquisition", "이미지 획득(&A)"},
    {8004, "&Plug-ins", "플러그인(&P)"},
    {8005, "&Calibration", "교정(&C)"},
    {8006, "&Results", "결과(&R)"},
    {8007, "&Tools", "도구(&T)"},
    {8008, "&View", "보기(&V)"},
    {8009, "&Help", "도움말(&H)"},
    // The colour buttons' pop-up.
    {8010, "Automatic", "자동"},
    {8011, "More Colors...", "다른 색..."},
});

}  // namespace

std::string FrameString(UINT id, LANGID language)
{
    return LoadString(kModule, id, language);
}
