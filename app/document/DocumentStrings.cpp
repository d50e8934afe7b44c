#include "document/DocumentStrings.h"

#include "resources/StringTable.h"

namespace {

constexpr const char* kModule = "Vistrel";

const StringTableRegistrar kDocumentStrings(
    kModule,
    {
        {docstr::IDS_NEW_IMAGE, "New Image", "새 이미지"},
        {docstr::IDS_CANNOT_OPEN, "Cannot open the file.", "파일을 열 수 없습니다"},
        {docstr::IDS_NEW_IMAGE_SIZE, "The width and the height must be between 1 and %d pixels.",
         "가로와 세로는 1 ~ %d 픽셀이어야 합니다."},
        {docstr::IDS_UNTITLED, "Untitled", "제목 없음"},
        {docstr::IDS_ASK_TO_SAVE, "Save changes to %1?", "%1의 변경 내용을 저장하시겠습니까?"},
        {docstr::IDS_NEW_IMAGE_TITLE, "New", "새로 만들기"},
        {docstr::IDS_NEW_IMAGE_WIDTH, "Width", "가로"},
        {docstr::IDS_NEW_IMAGE_HEIGHT, "Height", "세로"},
        {docstr::IDS_NEW_IMAGE_PIXELS, "Pixel", "픽셀"},
    });

}  // namespace

std::string DocumentString(UINT id)
{
    return LoadString(kModule, id);
}
