#include "commands/CommandStrings.h"

#include "resources/StringTable.h"

namespace {

constexpr const char* kModule = "Vistrel";

const StringTableRegistrar kAppCommandStrings(
    kModule,
    {
        {appstr::IDS_DATABASE_NOT_FOUND, "The image database program is not installed.",
         "이미지 데이터베이스 프로그램이 설치되어 있지 않습니다."},
        {appstr::IDS_DATABASE_CANNOT_START, "The image database program cannot be started.",
         "이미지 데이터베이스 프로그램을 실행할 수 없습니다."},
        {appstr::IDS_COMPANION_NOT_FOUND, "The companion program is not installed.",
         "연계 프로그램이 설치되어 있지 않습니다."},
        {appstr::IDS_COMPANION_CANNOT_START, "The companion program cannot be started.",
         "연계 프로그램을 실행할 수 없습니다."},
        {appstr::IDS_AUTO_MEASURE_NOT_FOUND, "The automatic measurement program is not installed.",
         "자동 측정 프로그램이 설치되어 있지 않습니다."},
        {appstr::IDS_AUTO_MEASURE_CANNOT_START, "The automatic measurement program cannot be started.",
         "자동 측정 프로그램을 실행할 수 없습니다."},
        {appstr::IDS_ABOUT_OEM, "About %s ...", "%s 정보 ..."},
    });

}  // namespace

std::string AppCommandString(UINT id)
{
    return LoadString(kModule, id);
}
