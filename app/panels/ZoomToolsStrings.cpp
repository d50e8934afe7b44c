#include "panels/ZoomToolsStrings.h"

#include "frame/FrameStrings.h"

#include "resources/UiLanguage.h"

namespace {

struct ZoomToolsText
{
    UINT id;
    const char* korean;
    const char* english;
};

constexpr ZoomToolsText kTexts[] = {
    {405, "확대", "Zoom"},
    {406, "속성", "Property"},
    {407, "오버레이", "Overlay"},
    {408, "십자선 색상", "Cross-hair Color"},
    {480, "측정 도구", "Measurement Tools"},
    {482, "주석 도구", "Annotation Tools"},
    {4230, "자동 측정 도구", "Automatic Measurement Tools"},
    {770, "실시간 측정 모드에서는 지원되지 않습니다.", "Not supported in the live measurement mode."},
};

}  // namespace

QString ZoomToolsString(UINT id, LANGID language)
{
    for (const ZoomToolsText& text : kTexts)
        if (text.id == id)
            return QString::fromUtf8(language == UI_LANGUAGE_KOREAN ? text.korean : text.english);
    return QString::fromStdString(FrameString(id, language));
}
