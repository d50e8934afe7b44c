#include "frame/FrameStrings.h"

#include "resources/UiLanguage.h"

namespace {

struct FrameText
{
    UINT id;
    const char* korean;
    const char* english;
};

constexpr FrameText kTexts[] = {
    {420, "기본", "Main"},
    {421, "이미지", "Image"},
    {422, "교정", "Calibration"},
    {423, "결과", "Result"},
    {424, "이미지 획득 장치", "Acquisition"},
    {425, "추가모듈", "Modules"},
    {426, "영역", "Region"},
    {427, "속성", "Property"},
    // The ninth toolbar holds the plug-ins; it had no caption of its own.
    {428, "플러그인", "Plug-ins"},
    {429, "자동 측정", "Automatic Measurement"},
    {440, "색상", "Color"},
    {441, "이미지 크기", "Image Size"},
    {442, "마우스 위치", "Mouse Position"},
    {445, "이미지 크기 (가로 : %%.%df, 세로 : %%.%df)", "Image Size (Width : %%.%df, Height : %%.%df)"},
    {448, "마우스 위치 (%%.%df,%%.%df)", "Mouse Position (%%.%df,%%.%df)"},
    {449, "교정명 : %s", "Calibration : %s"},
    {450, "단위 : %s", "Unit : %s"},
    {451, "배율 : %s", "Magnification : %s"},
    {520, "픽셀", "Pixel"},
    {523, "없음", "None"},
};

}  // namespace

std::string FrameString(UINT id, LANGID language)
{
    for (const FrameText& text : kTexts)
        if (text.id == id)
            return language == UI_LANGUAGE_KOREAN ? text.korean : text.english;
    return {};
}
