#include "sieva/SievaStrings.h"

#include "resources/StringTable.h"

namespace sieva {

namespace {

const StringTableRegistrar kStrings(kModuleName, {
    {IDS_IMAGE_FILTERS, "Image Filters", "이미지 필터"},
    {IDS_PAGE_ENHANCEMENT, "Enhancement", "향상"},
    {IDS_PAGE_EDGE, "Edge", "윤곽선"},
    {IDS_PAGE_MORPHOLOGICAL, "Morphological", "형태학"},
    {IDS_PAGE_USER_DEFINED, "User Defined", "사용자 정의"},
    {IDS_HIPASS3, "HiPass 3X3", "고역 통과 3X3"},
    {IDS_HIPASS5, "HiPass 5X5", "고역 통과 5X5"},
    {IDS_GAUSSIAN3, "Gaussian 3X3", "가우시안 3X3"},
    {IDS_GAUSSIAN5, "Gaussian 5X5", "가우시안 5X5"},
    {IDS_MEDIAN, "Median", "중간값"},
    {IDS_SHARPEN, "Sharpen", "선명하게"},
    {IDS_MIN, "Min", "최소값"},
    {IDS_MAX, "Max", "최대값"},
    {IDS_ROBERTS, "Roberts", "로버츠"},
    {IDS_SOBEL, "Sobel", "소벨"},
    {IDS_PREWITT, "Prewitt", "프리윗"},
    {IDS_LAPLACIAN3, "Laplacian 3X3", "라플라시안 3X3"},
    {IDS_LAPLACIAN5, "Laplacian 5X5", "라플라시안 5X5"},
    {IDS_ERODE, "Erode", "침식"},
    {IDS_DILATE, "Dilate", "팽창"},
    {IDS_OPEN, "Open", "열림"},
    {IDS_CLOSE, "Close", "닫힘"},
    {IDS_ITERATIONS, "Iterations", "반복 횟수"},
    {IDS_ROW, "Row", "행"},
    {IDS_COL, "Col", "열"},
    {IDS_FILTERING, "Filtering", "필터 적용"},
    {IDS_SAVE_FILTER, "Save Filter", "필터 저장"},
    {IDS_OPEN_FILTER, "Open Filter", "필터 열기"},
    {IDS_FILTER_FILES, "Filter Files(*.flt)|*.flt||", "필터 파일(*.flt)|*.flt||"},
    {IDS_KERNEL_NOT_READ, "The kernel file %s could not be read: it is not a kernel of 1 to 11 rows and columns.",
     "커널 파일 %s을(를) 읽을 수 없습니다: 1~11 행과 열의 커널이 아닙니다."},
    {IDS_KERNEL_NOT_WRITTEN, "The kernel file %s could not be written.", "커널 파일 %s을(를) 저장할 수 없습니다."},
});

}  // namespace

std::string SievaString(int id)
{
    return LoadString(kModuleName, static_cast<uint32_t>(id));
}

std::string SievaString(int id, const std::string& argument)
{
    std::string text = SievaString(id);
    const size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, argument);
    return text;
}

}  // namespace sieva
