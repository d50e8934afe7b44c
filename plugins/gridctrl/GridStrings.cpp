#include "gridctrl/GridStrings.h"

#include "resources/StringTable.h"

namespace gridctrl {

namespace {

constexpr const char kTable[] = "GridCtrl";

const StringTableRegistrar kStrings(kTable, {
    {IDS_GRID_OUT_OF_MEMORY, "Out of memory.", "메모리가 부족합니다."},
    {IDS_GRID_UNABLE_TO_SAVE, "Unable to save grid list", "그리드 목록을 저장할 수 없습니다"},
    {IDS_GRID_UNABLE_TO_LOAD, "Unable to load grid data", "그리드 데이터를 읽을 수 없습니다"},
    {IDS_GRID_FILE_NOT_OPENED, "The file %s could not be opened.", "파일 %s을(를) 열 수 없습니다."},
    {IDS_GRID_PAGE_OF, "Page %d of %d", "%d / %d 페이지"},
});

}  // namespace

std::string GridString(int id)
{
    return LoadString(kTable, static_cast<uint32_t>(id));
}

}  // namespace gridctrl
