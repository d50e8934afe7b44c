#include "core/StartupStrings.h"

#include "resources/StringTable.h"

namespace {

constexpr const char* kModule = "Vistrel";

const StringTableRegistrar kStartupStrings(
    kModule,
    {
        {startstr::IDS_INSTANCE_DID_NOT_ANSWER,
         "Vistrel is already running but does not answer. Close or end the running Vistrel and try again.",
         "Vistrel이 이미 실행 중이지만 응답하지 않습니다. 실행 중인 Vistrel을 닫거나 종료한 뒤 다시 시도하세요."},
    });

}  // namespace

std::string StartupString(UINT id)
{
    return LoadString(kModule, id);
}
