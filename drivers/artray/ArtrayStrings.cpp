// Compiled into each module with its own table name (ARTRAY_STRING_MODULE), so two ARTRAY modules loaded at once
// keep their tables apart and unloading one withdraws only its own.
#include "artray/ArtrayStrings.h"

#include "resources/StringTable.h"

#ifndef ARTRAY_STRING_MODULE
#error "ARTRAY_STRING_MODULE names the string table of the module"
#endif

namespace {

constexpr char kModule[] = ARTRAY_STRING_MODULE;

const StringTableRegistrar kStrings(kModule, {
    {kTextDevicePropertyCaption, "Device Property", "장치 속성"},
    {kTextOk, "OK", "확인"},
    {kTextCancel, "Cancel", "취소"},
    {kTextVideoFormat, "Video Format", "비디오 형식"},
    {kTextColorControl, "Color Control", "색상 조정"},
    {kTextAnalog, "Analog", "아날로그"},
    {kTextScanOption, "Scan Option", "스캔 옵션"},
    {kTextScanOptionCaption, "Scan option", "스캔 옵션"},
    {kTextRowSize, "%d x %d", "%d x %d"},
    {kTextRowStart, "[ %d , %d ]", "[ %d , %d ]"},
});

}  // namespace

std::string ArtrayString(ArtrayText id)
{
    return LoadString(kModule, id);
}
