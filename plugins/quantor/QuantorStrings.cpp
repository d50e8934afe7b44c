#include "quantor/QuantorStrings.h"

#include "resources/StringTable.h"

namespace quantor {

namespace {

const StringTableRegistrar kStrings(kModuleName, {
    {IDS_GROUP, "Image Analysis", "이미지 분석"},
    {IDS_SURFACE_PLOT, "3D Surface Plot", "3D 표면 플롯"},
    {IDS_PICKER_DEFAULT, "Default", "기본값"},
    {IDS_PICKER_MORE, "More", "더 보기"},
    {IDS_CHANNEL_RGB, "RGB", "RGB"},
    {IDS_CHANNEL_RED, "Red Intensity", "빨강 강도"},
    {IDS_CHANNEL_GREEN, "Green Intensity", "초록 강도"},
    {IDS_CHANNEL_BLUE, "Blue Intensity", "파랑 강도"},
    {IDS_INTENSITY, "Intensity : ", "강도 : "},
    {IDS_LEGEND, "Legend", "범례"},
    {IDS_LOW, "Low", "낮음"},
    {IDS_HIGH, "High", "높음"},
    {IDS_SHOW, "Show", "표시"},
    {IDS_ROTATE, "Rotate", "회전"},
    {IDS_CENTER_ROTATE, "Center Rotate\t:", "중심 회전\t:"},
    {IDS_X_ROTATE, "X Rotate\t:", "X 회전\t:"},
    {IDS_ZOOM_GROUP, "Zoom", "확대"},
    {IDS_ZOOM, "Zoom\t:", "확대\t:"},
    {IDS_Z_AXIS, "Z Axis\t:", "Z 축\t:"},
    {IDS_DISPLAY, "Display", "표시 방식"},
    {IDS_GRID, "Grid", "격자"},
    {IDS_SURFACE, "Surface", "표면"},
    {IDS_FLAT, "Flat", "평면"},
    {IDS_STEP, "Step", "간격"},
    {IDS_SAVE, "Save", "저장"},
    {IDS_INVERT, "Invert", "반전"},
    {IDS_PRINT, "Print", "인쇄"},
    {IDS_OK, "OK", "확인"},
    {IDS_SAVE_TITLE, "Save Bitmap Dialog", "비트맵 저장"},
    {IDS_SAVE_FILTER, "Bitmap Files (*.bmp)|*.bmp||", "비트맵 파일 (*.bmp)|*.bmp||"},
    {IDS_NO_CAPTURE, "HDIB handle is NULL, save abort !!!", "그림을 가져오지 못해 저장을 멈춥니다 !!!"},
    {IDS_CANNOT_SAVE, "Cannot save the BMP file <%s> !!!", "BMP 파일 <%s>을(를) 저장할 수 없습니다 !!!"},
});

}  // namespace

std::string QuantorString(int id)
{
    return LoadString(kModuleName, static_cast<uint32_t>(id));
}

}  // namespace quantor
