#include "panels/ZoomToolsStrings.h"

#include "frame/FrameStrings.h"

#include "resources/StringTable.h"

namespace {

constexpr const char* kModule = "Vistrel";

const StringTableRegistrar kZoomToolsStrings(kModule, {
    {405, "Zoom", "확대"},
    {406, "Property", "속성"},
    {407, "Overlay", "오버레이"},
    {408, "Cross-hair Color", "십자선 색상"},
    {480, "Measurement Tools", "측정 도구"},
    {482, "Annotation Tools", "주석 도구"},
    {4230, "Automatic Measurement Tools", "자동 측정 도구"},
    {770, "Not supported in the live measurement mode.", "실시간 측정 모드에서는 지원되지 않습니다."},
});

}  // namespace

QString ZoomToolsString(UINT id, LANGID language)
{
    // The docks also show the frame's texts (520, "pixel"): the frame's table is reached through its function, so
    // that it is linked wherever the docks are.
    const std::string text = LoadString(kModule, id, language);
    return QString::fromStdString(text.empty() ? FrameString(id, language) : text);
}
