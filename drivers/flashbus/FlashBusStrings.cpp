#include "flashbus/FlashBusStrings.h"

#include "resources/StringTable.h"

namespace {

constexpr char kModule[] = "grab_flashbusmv";

const StringTableRegistrar kStrings(kModule, {
    {kTextNoSignal, "No signal!", "신호가 없습니다!"},
    {kTextLibraryMissing, "The grabber library %s is not installed.", "그래버 라이브러리 %s가 설치되어 있지 않습니다."},
});

}  // namespace

std::string FlashBusString(FlashBusText id)
{
    return LoadString(kModule, id);
}
