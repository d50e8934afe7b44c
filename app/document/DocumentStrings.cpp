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
        {docstr::IDS_NOT_IN_LIVE, "Not supported in the live measurement mode.",
         "실시간 측정 모드에서는 지원되지 않습니다."},
        {docstr::IDS_UNTITLED, "Untitled", "제목 없음"},
        {docstr::IDS_ASK_TO_SAVE, "Save changes to %1?", "%1의 변경 내용을 저장하시겠습니까?"},
        {docstr::IDS_OPENED_REDUCED,
         "\"%s\" has %d bits a sample; it is shown and edited at 8 bits a sample.\nSaving over the file would "
         "replace its samples with 8-bit ones, so Save asks first.",
         "\"%s\" 파일은 샘플당 %d비트입니다. 샘플당 8비트로 표시하고 편집합니다.\n이 파일에 덮어 저장하면 "
         "8비트 샘플로 바뀌므로 저장할 때 먼저 묻습니다."},
        {docstr::IDS_NEW_IMAGE_MEMORY,
         "An image of %d x %d pixels needs about %lld MB of memory, but only %lld MB is free.",
         "%d x %d 픽셀 이미지에는 약 %lld MB의 메모리가 필요하지만 사용 가능한 메모리는 %lld MB입니다."},
        {docstr::IDS_NEW_IMAGE_PIXELS,
         "An image of %d x %d pixels would hold %lld MB of pixels; an image may hold at most %lld MB.",
         "%d x %d 픽셀 이미지는 픽셀이 %lld MB가 되지만 이미지는 최대 %lld MB까지 가능합니다."},
        {docstr::IDS_NEW_IMAGE_TITLE, "New", "새로 만들기"},
        {docstr::IDS_NEW_IMAGE_WIDTH, "Width", "가로"},
        {docstr::IDS_NEW_IMAGE_HEIGHT, "Height", "세로"},
        {docstr::IDS_NEW_IMAGE_PIXEL_UNIT, "Pixel", "픽셀"},
    });

}  // namespace

std::string DocumentString(UINT id)
{
    return LoadString(kModule, id);
}
