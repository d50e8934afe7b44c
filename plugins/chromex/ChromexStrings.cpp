#include "chromex/ChromexStrings.h"

#include "resources/StringTable.h"

namespace chromex {

namespace {

const StringTableRegistrar kStrings(kModuleName, {
    {IDS_GROUP, "Color", "색상"},
    {IDS_RGB_TO_GRAY, "RGB to GRAY", "RGB를 회색조로"},
    {IDS_PSEUDO_COLOR, "Pseudo Color", "의사 색상"},
    {IDS_NOT_GRAY, "This is not a gray image..", "회색조 이미지가 아닙니다.."},
    {IDS_PLAY, "Play", "재생"},
    {IDS_STOP, "Stop", "정지"},
    {IDS_PREDEFINED, "Predefined", "미리 정의된 팔레트"},
    {IDS_RANDOM, "Random", "무작위"},
    {IDS_TIME_INTERVAL, "Time interval", "시간 간격"},
    {IDS_SECONDS, "Sec", "초"},
    {IDS_PREV, "Prev", "이전"},
    {IDS_SINGLE, "Single", "한 번"},
    {IDS_PALETTES_REFUSED, "These palette files could not be read and were left out:\n%s",
     "다음 팔레트 파일은 읽을 수 없어 목록에서 뺐습니다:\n%s"},
});

}  // namespace

std::string ChromexString(int id)
{
    return LoadString(kModuleName, static_cast<uint32_t>(id));
}

}  // namespace chromex
