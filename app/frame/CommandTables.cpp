// The captions, icons and shortcuts of every command of the program's menus and toolbars. Korean captions are the
// main menu's; English ones are the program's English UI.
#include "frame/CommandIds.h"
#include "frame/CommandInfo.h"
#include "resources/UiLanguage.h"

#include <array>

using namespace cmd;

namespace {

constexpr CommandInfo kFrameCommands[] = {
    {ID_PANE_MAGNIFIER, "ID_PANE_MAGNIFIER", "확대 창(&Z)", "&Zoom Window", "pane-zoom", nullptr},
    {ID_PANE_REPORT, "ID_PANE_REPORT", "결과 창(&R)", "&Result Window", "pane-report", nullptr},
    {ID_PANE_THUMBNAILS, "ID_PANE_THUMBNAILS", "썸네일 창(&T)", "&Thumbnail Window", "pane-thumbs", nullptr},
    {ID_PANE_TOOLS, "ID_PANE_TOOLS", "측정도구 창(&E)", "M&easurement Tools Window", "pane-tools", nullptr},
    {ID_TOOLBAR_BASIC, "ID_TOOLBAR_BASIC", "기본 툴바(&M)", "&Main Toolbar", nullptr, nullptr},
    {ID_TOOLBAR_IMAGE, "ID_TOOLBAR_IMAGE", "이미지 툴바(&I)", "&Image Toolbar", nullptr, nullptr},
    {ID_TOOLBAR_CALIBRATION, "ID_TOOLBAR_CALIBRATION", "교정 툴바(&C)", "&Calibration Toolbar", nullptr, nullptr},
    {ID_TOOLBAR_RESULT, "ID_TOOLBAR_RESULT", "결과 툴바(&R)", "&Result Toolbar", nullptr, nullptr},
    {ID_TOOLBAR_ADVANCED, "ID_TOOLBAR_ADVANCED", "고급기능 툴바(&L)", "Advanced Too&lbar", nullptr, nullptr},
    {ID_TOOLBAR_AREA, "ID_TOOLBAR_AREA", "영역 툴바(&O)", "Regi&on Toolbar", nullptr, nullptr},
    {ID_TOOLBAR_ACQUISITION, "ID_TOOLBAR_ACQUISITION", "이미지 획득장치 툴바(&Q)", "Ac&quisition Toolbar", nullptr,
     nullptr},
    {ID_TOOLBAR_ATTRIBUTE, "ID_TOOLBAR_ATTRIBUTE", "속성 툴바(&P)", "&Property Toolbar", nullptr, nullptr},
    {ID_TOOLBAR_NINTH, "ID_TOOLBAR_NINTH", "플러그인 툴바(&G)", "Plu&g-in Toolbar", nullptr, nullptr},
    {ID_TOOLBAR_AUTO_MEASURE, "ID_TOOLBAR_AUTO_MEASURE", "자동 측정 툴바(&U)", "A&utomatic Measurement Toolbar",
     nullptr, nullptr},
    {ID_LAYOUT_COMMON, "ID_LAYOUT_COMMON", "화면구성 불러오기 - 기본", "Load Layout - Standard", "layout", nullptr},
    {ID_LAYOUT_COMPACT, "ID_LAYOUT_COMPACT", "화면구성 불러오기 - 간결", "Load Layout - Compact", "layout", nullptr},
    {ID_LAYOUT_RIGHT_BOTTOM, "ID_LAYOUT_RIGHT_BOTTOM", "화면구성 불러오기 - 우하", "Load Layout - Right Bottom",
     "layout", nullptr},
    {ID_LAYOUT_RIGHT_BOTTOM2, "ID_LAYOUT_RIGHT_BOTTOM2", "화면구성 불러오기 - 우하2", "Load Layout - Right Bottom 2",
     "layout", nullptr},
    {ID_IMAGE_TILING, "ID_IMAGE_TILING", "이미지 타일링(&T)", "Image &Tiling", "tiling", nullptr},
    {ID_GRID_PROPERTIES, "ID_GRID_PROPERTIES", "격자 속성(&P)", "Grid &Properties", "grid", nullptr},
    {ID_LIVE_MEASURE_WINDOW, "ID_LIVE_MEASURE_WINDOW", "실시간 측정 창", "Live Measurement Window", "live-measure",
     nullptr},
    {ID_WINDOW_CASCADE, "ID_WINDOW_CASCADE", "계단식 배열(&C)", "&Cascade", "cascade", nullptr},
    {ID_WINDOW_TILE_HORZ, "ID_WINDOW_TILE_HORZ", "바둑판식 배열(&T)", "&Tile", "tile", nullptr},
    {ID_HELP_FINDER, "ID_HELP_FINDER", "도움말 항목(&H)", "&Help Topics", "help", nullptr},
    {ID_HELP, "ID_HELP", "도움말", "Help", "help", "F1"},
    {ID_CONTEXT_HELP, "ID_CONTEXT_HELP", "상황별 도움말", "Context Help", "help", "Shift+F1"},
    {ID_DEFAULT_HELP, "ID_DEFAULT_HELP", "도움말", "Help", "help", nullptr},
    {ID_APP_EXIT, "ID_APP_EXIT", "끝내기(&X)", "E&xit", nullptr, nullptr},
};

constexpr CommandInfo kApplicationCommands[] = {
    // The recent-file places; the list gives each its text.
    {ID_FILE_MRU_FILE1, "ID_FILE_MRU_FILE1", "최근 파일", "Recent File", nullptr, nullptr},
    {ID_FILE_MRU_FILE1 + 1, "ID_FILE_MRU_FILE2", "최근 파일", "Recent File", nullptr, nullptr},
    {ID_FILE_MRU_FILE1 + 2, "ID_FILE_MRU_FILE3", "최근 파일", "Recent File", nullptr, nullptr},
    {ID_FILE_MRU_FILE1 + 3, "ID_FILE_MRU_FILE4", "최근 파일", "Recent File", nullptr, nullptr},
    {ID_FILE_MRU_FILE1 + 4, "ID_FILE_MRU_FILE5", "최근 파일", "Recent File", nullptr, nullptr},
    {ID_FILE_MRU_FILE1 + 5, "ID_FILE_MRU_FILE6", "최근 파일", "Recent File", nullptr, nullptr},
    {ID_FILE_MRU_FILE1 + 6, "ID_FILE_MRU_FILE7", "최근 파일", "Recent File", nullptr, nullptr},
    {ID_FILE_MRU_FILE1 + 7, "ID_FILE_MRU_FILE8", "최근 파일", "Recent File", nullptr, nullptr},
    {ID_FILE_MRU_FILE9, "ID_FILE_MRU_FILE9", "최근 파일", "Recent File", nullptr, nullptr},
    {ID_APP_ABOUT, "ID_APP_ABOUT", "Vistrel Lite 정보(&A)", "&About Vistrel Lite", "about", nullptr},
    {ID_FILE_OPEN, "ID_FILE_OPEN", "불러오기(&O)", "&Open...", "open", "Ctrl+O"},
    {ID_FILE_NEW, "ID_FILE_NEW", "새로 만들기(&N)", "&New", "new", "Ctrl+N"},
    {ID_ACQ_SELECT_DEVICE, "ID_ACQ_SELECT_DEVICE", "장치 선택(&S)", "&Select Device", "device", nullptr},
    {ID_ACQ_CAPTURE, "ID_ACQ_CAPTURE", "이미지 캡쳐(&I)", "&Image Capture", "capture", nullptr},
    {ID_ACQ_MULTI_CAPTURE, "ID_ACQ_MULTI_CAPTURE", "다중 이미지 캡쳐(&M)", "&Multi-Image Capture", "multi-capture",
     nullptr},
    {ID_ACQ_LIVE, "ID_ACQ_LIVE", "이미지 획득(&V)", "Li&ve Image", "live", nullptr},
    {ID_CALIBRATION_MANAGER, "ID_CALIBRATION_MANAGER", "교정 관리자(&C)", "&Calibration Manager", "calibration",
     nullptr},
    {ID_DEPTH_STACK_MODULE, "ID_DEPTH_STACK_MODULE", "뎁스 스택", "Depth Stack", "focus-stack", nullptr},
    {ID_DEPTH_STACK, "ID_DEPTH_STACK", "멀티 포커스 ...", "Multi-Focus ...", "focus-stack", nullptr},
    {ID_AUTO_COUNT, "ID_AUTO_COUNT", "오토 카운트(&A)", "&Auto Count", "count", nullptr},
    {ID_REMOTE_SAVE, "ID_REMOTE_SAVE", "리모트 세이브(&R)", "&Remote Save", "remote-save", nullptr},
    {ID_IMAGE_DATABASE, "ID_IMAGE_DATABASE", "PicVault(&I)", "PicVault(&I)", "database", nullptr},
    {ID_ACQ_RESIZE_CAPTURE, "ID_ACQ_RESIZE_CAPTURE", "이미지 크기변환 캡쳐(&R)", "&Resize Capture", "resize-capture",
     nullptr},
    {ID_PREFERENCES, "ID_PREFERENCES", "환경설정(&F)", "Pre&ferences", "preferences", nullptr},
    {ID_ACQ_CROSS_LINE, "ID_ACQ_CROSS_LINE", "십자선(&C)", "&Cross Line", "cross", nullptr},
    {ID_ACQ_LIVE_MEASURE, "ID_ACQ_LIVE_MEASURE", "실시간 측정(&L)", "&Live Measurement", "live-measure", nullptr},
    {ID_ACQ_FULL_SCREEN, "ID_ACQ_FULL_SCREEN", "전체 화면(&F)", "&Full Screen", "full-screen", nullptr},
    {ID_FOCUS_INDICATOR, "ID_FOCUS_INDICATOR", "포커스 인디케이터(&D)", "Focus In&dicator", "focus", nullptr},
    {ID_RETICLE_GENERATOR, "ID_RETICLE_GENERATOR", "CCX &Generator", "CCX &Generator", "reticle", nullptr},
    {ID_RETICLE_LOAD, "ID_RETICLE_LOAD", "CCX L&oad", "CCX L&oad", "reticle", nullptr},
    {ID_FLUORESCENCE, "ID_FLUORESCENCE", "형광 처리(&F)", "&Fluorescence", "fluorescence", nullptr},
    {ID_ACQ_VIDEO_RECORDER, "ID_ACQ_VIDEO_RECORDER", "비디오 레코더(&D)", "Vi&deo Recorder", "video", nullptr},
    {ID_ACQ_DEVICE_SETTINGS, "ID_ACQ_DEVICE_SETTINGS", "장치 설정(&E)", "D&evice Settings", "device-settings",
     nullptr},
    {ID_AUTO_MEASURE_APP, "ID_AUTO_MEASURE_APP", "자동 측정", "Auto Measure", "auto-measure", nullptr},
    {ID_COMPANION_APP, "ID_COMPANION_APP", "연계 프로그램", "Companion Program", "companion", nullptr},
    {ID_PORE_SCAN, "ID_PORE_SCAN", "볼 보이드(&B)", "&Ball Void", "pore-scan", nullptr},
};

constexpr CommandInfo kDocumentCommands[] = {
    {ID_FILE_SAVE, "ID_FILE_SAVE", "저장(&S)", "&Save", "save", "Ctrl+S"},
    {ID_FILE_SAVE_AS, "ID_FILE_SAVE_AS", "다른이름으로 저장(&A)", "Save &As...", nullptr, nullptr},
    {ID_EDIT_UNDO, "ID_EDIT_UNDO", "실행취소(&U)", "&Undo", "undo", "Ctrl+Z"},
    {ID_EDIT_REDO, "ID_EDIT_REDO", "다시 실행(&R)", "&Redo", "redo", "Ctrl+Y"},
    {ID_FILE_SEND_MAIL, "ID_FILE_SEND_MAIL", "이메일 전송(&M)", "Send &Mail...", "mail", nullptr},
    {ID_FILE_CLOSE, "ID_FILE_CLOSE", "닫기(&C)", "&Close", nullptr, nullptr},
};

constexpr CommandInfo kViewCommands[] = {
    {ID_FILE_PRINT, "ID_FILE_PRINT", "인쇄(&P)", "&Print...", "print", "Ctrl+P"},
    {ID_TOOL_HAND, "ID_TOOL_HAND", "손 도구", "Hand Tool", "hand", nullptr},
    {ID_TOOL_SELECT, "ID_TOOL_SELECT", "선택 모드", "Selection Mode", "select", nullptr},
    {ID_ZOOM_IN, "ID_ZOOM_IN", "확대(&I)", "Zoom &In", "zoom-in", nullptr},
    {ID_ZOOM_OUT, "ID_ZOOM_OUT", "축소(&O)", "Zoom &Out", "zoom-out", nullptr},
    {ID_ZOOM_COMBO, "ID_ZOOM_COMBO", "배율", "Zoom", nullptr, nullptr},
    {ID_MERGE_MEASUREMENTS, "ID_MERGE_MEASUREMENTS", "측정개체 병합(&M)", "Merge &Measurements", "merge-measure",
     nullptr},
    {ID_MERGE_ANNOTATIONS, "ID_MERGE_ANNOTATIONS", "주석개체 병합(&A)", "Merge &Annotations", "merge-annotate",
     nullptr},
    {ID_MERGE_ALL, "ID_MERGE_ALL", "모두 병합(&L)", "Merge A&ll", "merge-all", nullptr},
    {ID_REGION_RECT, "ID_REGION_RECT", "사각형 영역", "Rectangle Region", "region-rect", nullptr},
    {ID_REGION_ELLIPSE, "ID_REGION_ELLIPSE", "타원 영역", "Ellipse Region", "region-ellipse", nullptr},
    {ID_REGION_POLYGON, "ID_REGION_POLYGON", "다각형 영역", "Polygon Region", "region-polygon", nullptr},
    {ID_AUTO_EDGE_LINE, "ID_AUTO_EDGE_LINE", "자동 에지 직선", "Auto-Edge Line", "auto-line", nullptr},
    {ID_AUTO_EDGE_CIRCLE, "ID_AUTO_EDGE_CIRCLE", "자동 에지 원", "Auto-Edge Circle", "auto-circle", nullptr},
    {ID_AUTO_EDGE_ARC, "ID_AUTO_EDGE_ARC", "자동 에지 호", "Auto-Edge Arc", "auto-arc", nullptr},
    {ID_ANGLE_DETECTION, "ID_ANGLE_DETECTION", "각도 검출", "Angle Detection", "angle-detection", nullptr},
    {ID_IMAGE_DUPLICATE, "ID_IMAGE_DUPLICATE", "이미지 복제(&D)", "&Duplicate Image", "duplicate", nullptr},
    {ID_IMAGE_CROP, "ID_IMAGE_CROP", "이미지 잘라내기(&R)", "C&rop Image", "crop", nullptr},
    {ID_EDIT_CUT, "ID_EDIT_CUT", "잘라내기(&T)", "Cu&t", "cut", "Ctrl+X"},
    {ID_EDIT_COPY, "ID_EDIT_COPY", "복사하기(&C)", "&Copy", "copy", "Ctrl+C"},
    {ID_EDIT_PASTE, "ID_EDIT_PASTE", "붙여넣기(&P)", "&Paste", "paste", "Ctrl+V"},
    {ID_GRID_SHOW, "ID_GRID_SHOW", "격자 보이기(&S)", "&Show Grid", "grid", nullptr},
    {ID_OBJECT_PROPERTIES, "ID_OBJECT_PROPERTIES", "속성(&P)", "&Properties", "properties", nullptr},
    {ID_LINE_COLOUR, "ID_LINE_COLOUR", "선 색상", "Line Colour", nullptr, nullptr},
    {ID_TEXT_COLOUR, "ID_TEXT_COLOUR", "글자 색상", "Text Colour", nullptr, nullptr},
    {ID_LINE_COLOUR_SELECTOR, "ID_LINE_COLOUR_SELECTOR", "선 색상", "Line Colour", nullptr, nullptr},
    {ID_TEXT_COLOUR_SELECTOR, "ID_TEXT_COLOUR_SELECTOR", "글자 색상", "Text Colour", nullptr, nullptr},
    {ID_SCALE_BAR, "ID_SCALE_BAR", "스케일 바", "Scale Bar", "scale-bar", nullptr},
    {ID_SCALE_BAR_AFTER_CAPTURE, "ID_SCALE_BAR_AFTER_CAPTURE", "스케일 바", "Scale Bar", "scale-bar", nullptr},
    {ID_CALIBRATION_MANUAL, "ID_CALIBRATION_MANUAL", "수동 교정(&M)", "&Manual Calibration", "calib-manual",
     nullptr},
    {ID_CALIBRATION_AUTO, "ID_CALIBRATION_AUTO", "자동 교정(&A)", "&Automatic Calibration", "calib-auto", nullptr},
    {ID_CALIBRATION_NAME_BOX, "ID_CALIBRATION_NAME_BOX", "교정명", "Calibration", nullptr, nullptr},
    {ID_MAGNIFICATION_BOX, "ID_MAGNIFICATION_BOX", "배율", "Magnification", nullptr, nullptr},
    {ID_UNIT_BOX, "ID_UNIT_BOX", "단위", "Unit", nullptr, nullptr},
    {ID_RESULT_REMOVE_SELECTED, "ID_RESULT_REMOVE_SELECTED", "선택 결과 제거(&E)", "R&emove Selected Results",
     "result-remove", nullptr},
    {ID_RESULT_STATISTICS, "ID_RESULT_STATISTICS", "통계 모드(&T)", "S&tatistics Mode", "statistics", nullptr},
    {ID_RESULT_BACKUP, "ID_RESULT_BACKUP", "결과 백업(&B)", "Result &Backup", "backup", nullptr},
    {ID_RESULT_TO_CLIPBOARD, "ID_RESULT_TO_CLIPBOARD", "클립보드로 전송(&C)", "Send to &Clipboard", "clipboard",
     nullptr},
    {ID_RESULT_TO_NOTEPAD, "ID_RESULT_TO_NOTEPAD", "메모장으로 전송(&N)", "Send to &Notepad", "notepad", nullptr},
    {ID_REPORT_MANAGER, "ID_REPORT_MANAGER", "성적서 관리자(&R)", "&Report Manager", "report", nullptr},
    {ID_REPORT_MANAGER_ALL, "ID_REPORT_MANAGER_ALL", "성적서 관리자 (모든 창 엑셀전송)",
     "Report Manager (All Windows to Excel)", "report", nullptr},
};

}  // namespace

std::span<const CommandInfo> FrameCommandTable() { return kFrameCommands; }
std::span<const CommandInfo> ApplicationCommandTable() { return kApplicationCommands; }
std::span<const CommandInfo> DocumentCommandTable() { return kDocumentCommands; }
std::span<const CommandInfo> ViewCommandTable() { return kViewCommands; }

const CommandInfo* FindCommandInfo(UINT id)
{
    const std::array tables{FrameCommandTable(), ApplicationCommandTable(), DocumentCommandTable(), ViewCommandTable()};
    for (const auto& table : tables)
        for (const CommandInfo& info : table)
            if (info.id == id)
                return &info;
    return nullptr;
}

std::string CommandCaption(const CommandInfo& info, LANGID language)
{
    const char* preferred = language == UI_LANGUAGE_KOREAN ? info.korean : info.english;
    const char* other = language == UI_LANGUAGE_KOREAN ? info.english : info.korean;
    if (preferred && *preferred)
        return preferred;
    return other ? other : "";
}
