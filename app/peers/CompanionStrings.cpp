#include "peers/CompanionStrings.h"

#include "resources/StringTable.h"

namespace {

constexpr const char* kModule = "Vistrel";

const StringTableRegistrar kCompanionStrings(
    kModule,
    {
        {peerstr::IDS_TILING_CANNOT_RUN, "Cannot run the image tiling function. Please reinstall the program.",
         "이미지 타일링 기능을 구동할수 없습니다. 프로그램을 재 설치 하세요."},
        {peerstr::IDS_TILING_TITLE_32, "Image Tiling (32)"},
        {peerstr::IDS_TILING_TITLE_64, "Image Tiling (64)"},
    });

}  // namespace

std::string CompanionString(UINT id)
{
    return LoadString(kModule, id);
}
