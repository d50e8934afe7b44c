#include "u2/U2Strings.h"

#include "resources/StringTable.h"

namespace {

constexpr char kModule[] = "grab_visixu2";

const StringTableRegistrar kStrings(kModule, {
    {kTextCaption, "Capture Desk Error", "캡처 데스크 오류"},
    {kTextNoBuffer, "Can't Alloc Buffer", "버퍼를 할당할 수 없습니다"},
    {kTextNoDigitizer, "Can't Alloc Digitizer", "디지타이저를 할당할 수 없습니다"},
    {kTextLibraryMissing, "The capture board library %s is not installed.",
     "캡처 보드 라이브러리 %s가 설치되어 있지 않습니다."},
    {kTextBoardStuck, "The capture board does not answer. Close the program and check the board.",
     "캡처 보드가 응답하지 않습니다. 프로그램을 닫고 보드를 확인하십시오."},
});

}  // namespace

std::string U2String(U2Text id)
{
    return LoadString(kModule, id);
}
