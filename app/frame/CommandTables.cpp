// The captions, icons and shortcuts of every command of the program's menus and toolbars. Korean captions are the
// main menu's; English ones are the program's English UI.
#include "frame/CommandIds.h"
#include "frame/CommandInfo.h"
#include "resources/StringTable.h"

#include <array>

using namespace cmd;

namespace {

constexpr const char* kModule = "Vistrel";

// The captions: string `id` of the program's table is the caption of command `id`, with its mnemonic.
const StringTableRegistrar kCommandCaptions(kModule, {
    {ID_PANE_MAGNIFIER, "&Zoom Window", "확대 창(&Z)"},
    {ID_PANE_REPORT, "&Result Window", "결과 창(&R)"},
    {ID_PANE_THUMBNAILS, "&Thumbnail Window", "썸네일 창(&T)"},
    {ID_PANE_TOOLS, "M&easurement Tools Window", "측정도구 창(&E)"},
    {ID_TOOLBAR_BASIC, "&Main Toolbar", "기본 툴바(&M)"},
    {ID_TOOLBAR_IMAGE, "&Image Toolbar", "이미지 툴바(&I)"},
    {ID_TOOLBAR_CALIBRATION, "&Calibration Toolbar", "교정 툴바(&C)"},
    {ID_TOOLBAR_RESULT, "&Result Toolbar", "결과 툴바(&R)"},
    {ID_TOOLBAR_ADVANCED, "Advanced Too&lbar", "고급기능 툴바(&L)"},
    {ID_TOOLBAR_AREA, "Regi&on Toolbar", "영역 툴바(&O)"},
    {ID_TOOLBAR_ACQUISITION, "Ac&quisition Toolbar", "이미지 획득장치 툴바(&Q)"},
    {ID_TOOLBAR_ATTRIBUTE, "&Property Toolbar", "속성 툴바(&P)"},
    {ID_TOOLBAR_NINTH, "Plu&g-in Toolbar", "플러그인 툴바(&G)"},
    {ID_LAYOUT_COMMON, "Load Layout - Standard", "화면구성 불러오기 - 기본"},
    {ID_LAYOUT_COMPACT, "Load Layout - Compact", "화면구성 불러오기 - 간결"},
    {ID_LAYOUT_RIGHT_BOTTOM, "Load Layout - Right Bottom", "화면구성 불러오기 - 우하"},
    {ID_LAYOUT_RIGHT_BOTTOM2, "Load Layout - Right Bottom 2", "화면구성 불러오기 - 우하2"},
    {ID_IMAGE_TILING, "Image &Tiling", "이미지 타일링(&T)"},
    {ID_GRID_PROPERTIES, "Grid &Properties", "격자 속성(&P)"},
    {ID_LIVE_MEASURE_WINDOW, "Live Measurement Window", "실시간 측정 창"},
    {ID_WINDOW_CASCADE, "&Cascade", "계단식 배열(&C)"},
    {ID_WINDOW_TILE_HORZ, "&Tile", "바둑판식 배열(&T)"},
    {ID_HELP_FINDER, "&Help Topics", "도움말 항목(&H)"},
    {ID_HELP, "Help", "도움말"},
    {ID_CONTEXT_HELP, "Context Help", "상황별 도움말"},
    {ID_DEFAULT_HELP, "Help", "도움말"},
    {ID_APP_EXIT, "E&xit", "끝내기(&X)"},
    {ID_FILE_MRU_FILE1, "Recent File", "최근 파일"},
    {ID_FILE_MRU_FILE1 + 1, "Recent File", "최근 파일"},
    {ID_FILE_MRU_FILE1 + 2, "Recent File", "최근 파일"},
    {ID_FILE_MRU_FILE1 + 3, "Recent File", "최근 파일"},
    {ID_FILE_MRU_FILE1 + 4, "Recent File", "최근 파일"},
    {ID_FILE_MRU_FILE1 + 5, "Recent File", "최근 파일"},
    {ID_FILE_MRU_FILE1 + 6, "Recent File", "최근 파일"},
    {ID_FILE_MRU_FILE1 + 7, "Recent File", "최근 파일"},
    {ID_FILE_MRU_FILE9, "Recent File", "최근 파일"},
    {ID_APP_ABOUT, "&About Vistrel Lite", "Vistrel Lite 정보(&A)"},
    {ID_FILE_OPEN, "&Open...", "불러오기(&O)"},
    {ID_FILE_NEW, "&New", "새로 만들기(&N)"},
    {ID_ACQ_SELECT_DEVICE, "&Select Device", "장치 선택(&S)"},
    {ID_ACQ_CAPTURE, "&Image Capture", "이미지 캡쳐(&I)"},
    {ID_ACQ_MULTI_CAPTURE, "&Multi-Image Capture", "다중 이미지 캡쳐(&M)"},
    {ID_ACQ_LIVE, "Li&ve Image", "이미지 획득(&V)"},
    {ID_CALIBRATION_MANAGER, "&Calibration Manager", "교정 관리자(&C)"},
    {ID_DEPTH_STACK_MODULE, "Depth Stack", "뎁스 스택"},
    {ID_DEPTH_STACK, "Multi-Focus ...", "멀티 포커스 ..."},
    {ID_AUTO_COUNT, "&Auto Count", "오토 카운트(&A)"},
    {ID_REMOTE_SAVE, "&Remote Save", "리모트 세이브(&R)"},
    {ID_IMAGE_DATABASE, "PicVault(&I)", "PicVault(&I)"},
    {ID_ACQ_RESIZE_CAPTURE, "&Resize Capture", "이미지 크기변환 캡쳐(&R)"},
    {ID_PREFERENCES, "Pre&ferences", "환경설정(&F)"},
    {ID_ACQ_CROSS_LINE, "&Cross Line", "십자선(&C)"},
    {ID_ACQ_LIVE_MEASURE, "&Live Measurement", "실시간 측정(&L)"},
    {ID_ACQ_FULL_SCREEN, "&Full Screen", "전체 화면(&F)"},
    {ID_FOCUS_INDICATOR, "Focus In&dicator", "포커스 인디케이터(&D)"},
    {ID_RETICLE_GENERATOR, "CCX &Generator", "CCX &Generator"},
    {ID_RETICLE_LOAD, "CCX L&oad", "CCX L&oad"},
    {ID_FLUORESCENCE, "&Fluorescence", "형광 처리(&F)"},
    {ID_ACQ_VIDEO_RECORDER, "Vi&deo Recorder", "비디오 레코더(&D)"},
    {ID_ACQ_DEVICE_SETTINGS, "D&evice Settings", "장치 설정(&E)"},
    {ID_AUTO_MEASURE_APP, "Auto Measure", "자동 측정"},
    {ID_COMPANION_APP, "Companion Program", "연계 프로그램"},
    {ID_PORE_SCAN, "&Ball Void", "볼 보이드(&B)"},
    {ID_FILE_SAVE, "&Save", "저장(&S)"},
    {ID_FILE_SAVE_AS, "Save &As...", "다른이름으로 저장(&A)"},
    {ID_EDIT_UNDO, "&Undo", "실행취소(&U)"},
    {ID_EDIT_REDO, "&Redo", "다시 실행(&R)"},
    {ID_FILE_SEND_MAIL, "Send &Mail...", "이메일 전송(&M)"},
    {ID_FILE_CLOSE, "&Close", "닫기(&C)"},
    {ID_FILE_PRINT, "&Print...", "인쇄(&P)"},
    {ID_TOOL_HAND, "Hand Tool", "손 도구"},
    {ID_TOOL_SELECT, "Selection Mode", "선택 모드"},
    {ID_ZOOM_IN, "Zoom &In", "확대(&I)"},
    {ID_ZOOM_OUT, "Zoom &Out", "축소(&O)"},
    {ID_ZOOM_COMBO, "Zoom", "배율"},
    {ID_MERGE_MEASUREMENTS, "Merge &Measurements", "측정개체 병합(&M)"},
    {ID_MERGE_ANNOTATIONS, "Merge &Annotations", "주석개체 병합(&A)"},
    {ID_MERGE_ALL, "Merge A&ll", "모두 병합(&L)"},
    {ID_REGION_RECT, "Rectangle Region", "사각형 영역"},
    {ID_REGION_ELLIPSE, "Ellipse Region", "타원 영역"},
    {ID_REGION_POLYGON, "Polygon Region", "다각형 영역"},
    {ID_IMAGE_DUPLICATE, "&Duplicate Image", "이미지 복제(&D)"},
    {ID_IMAGE_CROP, "C&rop Image", "이미지 잘라내기(&R)"},
    {ID_EDIT_CUT, "Cu&t", "잘라내기(&T)"},
    {ID_EDIT_COPY, "&Copy", "복사하기(&C)"},
    {ID_EDIT_PASTE, "&Paste", "붙여넣기(&P)"},
    {ID_GRID_SHOW, "&Show Grid", "격자 보이기(&S)"},
    {ID_OBJECT_PROPERTIES, "&Properties", "속성(&P)"},
    {ID_LINE_COLOUR, "Line Colour", "선 색상"},
    {ID_TEXT_COLOUR, "Text Colour", "글자 색상"},
    {ID_LINE_COLOUR_SELECTOR, "Line Colour", "선 색상"},
    {ID_TEXT_COLOUR_SELECTOR, "Text Colour", "글자 색상"},
    {ID_SCALE_BAR, "Scale Bar", "스케일 바"},
    {ID_SCALE_BAR_AFTER_CAPTURE, "Scale Bar", "스케일 바"},
    {ID_CALIBRATION_MANUAL, "&Manual Calibration", "수동 교정(&M)"},
    {ID_CALIBRATION_AUTO, "&Automatic Calibration", "자동 교정(&A)"},
    {ID_CALIBRATION_NAME_BOX, "Calibration", "교정명"},
    {ID_MAGNIFICATION_BOX, "Magnification", "배율"},
    {ID_UNIT_BOX, "Unit", "단위"},
    {ID_RESULT_REMOVE_SELECTED, "R&emove Selected Results", "선택 결과 제거(&E)"},
    {ID_RESULT_STATISTICS, "S&tatistics Mode", "통계 모드(&T)"},
    {ID_RESULT_BACKUP, "Result &Backup", "결과 백업(&B)"},
    {ID_RESULT_TO_CLIPBOARD, "Send to &Clipboard", "클립보드로 전송(&C)"},
    {ID_RESULT_TO_NOTEPAD, "Send to &Notepad", "메모장으로 전송(&N)"},
    {ID_REPORT_MANAGER, "&Report Manager", "성적서 관리자(&R)"},
    {ID_REPORT_MANAGER_ALL, "Report Manager (All Windows to Excel)", "성적서 관리자 (모든 창 엑셀전송)"},
});

constexpr CommandInfo kFrameCommands[] = {
    {ID_PANE_MAGNIFIER, "ID_PANE_MAGNIFIER", "pane-zoom", nullptr},
    {ID_PANE_REPORT, "ID_PANE_REPORT", "pane-report", nullptr},
    {ID_PANE_THUMBNAILS, "ID_PANE_THUMBNAILS", "pane-thumbs", nullptr},
    {ID_PANE_TOOLS, "ID_PANE_TOOLS", "pane-tools", nullptr},
    {ID_TOOLBAR_BASIC, "ID_TOOLBAR_BASIC", nullptr, nullptr},
    {ID_TOOLBAR_IMAGE, "ID_TOOLBAR_IMAGE", nullptr, nullptr},
    {ID_TOOLBAR_CALIBRATION, "ID_TOOLBAR_CALIBRATION", nullptr, nullptr},
    {ID_TOOLBAR_RESULT, "ID_TOOLBAR_RESULT", nullptr, nullptr},
    {ID_TOOLBAR_ADVANCED, "ID_TOOLBAR_ADVANCED", nullptr, nullptr},
    {ID_TOOLBAR_AREA, "ID_TOOLBAR_AREA", nullptr, nullptr},
    {ID_TOOLBAR_ACQUISITION, "ID_TOOLBAR_ACQUISITION", nullptr, nullptr},
    {ID_TOOLBAR_ATTRIBUTE, "ID_TOOLBAR_ATTRIBUTE", nullptr, nullptr},
    {ID_TOOLBAR_NINTH, "ID_TOOLBAR_NINTH", nullptr, nullptr},
    {ID_LAYOUT_COMMON, "ID_LAYOUT_COMMON", "layout", nullptr},
    {ID_LAYOUT_COMPACT, "ID_LAYOUT_COMPACT", "layout", nullptr},
    {ID_LAYOUT_RIGHT_BOTTOM, "ID_LAYOUT_RIGHT_BOTTOM", "layout", nullptr},
    {ID_LAYOUT_RIGHT_BOTTOM2, "ID_LAYOUT_RIGHT_BOTTOM2", "layout", nullptr},
    {ID_IMAGE_TILING, "ID_IMAGE_TILING", "tiling", nullptr},
    {ID_GRID_PROPERTIES, "ID_GRID_PROPERTIES", "grid", nullptr},
    {ID_LIVE_MEASURE_WINDOW, "ID_LIVE_MEASURE_WINDOW", "live-measure", nullptr},
    {ID_WINDOW_CASCADE, "ID_WINDOW_CASCADE", "cascade", nullptr},
    {ID_WINDOW_TILE_HORZ, "ID_WINDOW_TILE_HORZ", "tile", nullptr},
    {ID_HELP_FINDER, "ID_HELP_FINDER", "help", nullptr},
    {ID_HELP, "ID_HELP", "help", "F1"},
    {ID_CONTEXT_HELP, "ID_CONTEXT_HELP", "help", "Shift+F1"},
    {ID_DEFAULT_HELP, "ID_DEFAULT_HELP", "help", nullptr},
    {ID_APP_EXIT, "ID_APP_EXIT", nullptr, nullptr},
};

constexpr CommandInfo kApplicationCommands[] = {
    // The recent-file places; the list gives each its text.
    {ID_FILE_MRU_FILE1, "ID_FILE_MRU_FILE1", nullptr, nullptr},
    {ID_FILE_MRU_FILE1 + 1, "ID_FILE_MRU_FILE2", nullptr, nullptr},
    {ID_FILE_MRU_FILE1 + 2, "ID_FILE_MRU_FILE3", nullptr, nullptr},
    {ID_FILE_MRU_FILE1 + 3, "ID_FILE_MRU_FILE4", nullptr, nullptr},
    {ID_FILE_MRU_FILE1 + 4, "ID_FILE_MRU_FILE5", nullptr, nullptr},
    {ID_FILE_MRU_FILE1 + 5, "ID_FILE_MRU_FILE6", nullptr, nullptr},
    {ID_FILE_MRU_FILE1 + 6, "ID_FILE_MRU_FILE7", nullptr, nullptr},
    {ID_FILE_MRU_FILE1 + 7, "ID_FILE_MRU_FILE8", nullptr, nullptr},
    {ID_FILE_MRU_FILE9, "ID_FILE_MRU_FILE9", nullptr, nullptr},
    {ID_APP_ABOUT, "ID_APP_ABOUT", "about", nullptr},
    {ID_FILE_OPEN, "ID_FILE_OPEN", "open", "Ctrl+O"},
    {ID_FILE_NEW, "ID_FILE_NEW", "new", "Ctrl+N"},
    {ID_ACQ_SELECT_DEVICE, "ID_ACQ_SELECT_DEVICE", "device", nullptr},
    {ID_ACQ_CAPTURE, "ID_ACQ_CAPTURE", "capture", nullptr},
    {ID_ACQ_MULTI_CAPTURE, "ID_ACQ_MULTI_CAPTURE", "multi-capture", nullptr},
    {ID_ACQ_LIVE, "ID_ACQ_LIVE", "live", nullptr},
    {ID_CALIBRATION_MANAGER, "ID_CALIBRATION_MANAGER", "calibration", nullptr},
    {ID_DEPTH_STACK_MODULE, "ID_DEPTH_STACK_MODULE", "focus-stack", nullptr},
    {ID_DEPTH_STACK, "ID_DEPTH_STACK", "focus-stack", nullptr},
    {ID_AUTO_COUNT, "ID_AUTO_COUNT", "count", nullptr},
    {ID_REMOTE_SAVE, "ID_REMOTE_SAVE", "remote-save", nullptr},
    {ID_IMAGE_DATABASE, "ID_IMAGE_DATABASE", "database", nullptr},
    {ID_ACQ_RESIZE_CAPTURE, "ID_ACQ_RESIZE_CAPTURE", "resize-capture", nullptr},
    {ID_PREFERENCES, "ID_PREFERENCES", "preferences", nullptr},
    {ID_ACQ_CROSS_LINE, "ID_ACQ_CROSS_LINE", "cross", nullptr},
    {ID_ACQ_LIVE_MEASURE, "ID_ACQ_LIVE_MEASURE", "live-measure", nullptr},
    {ID_ACQ_FULL_SCREEN, "ID_ACQ_FULL_SCREEN", "full-screen", nullptr},
    {ID_FOCUS_INDICATOR, "ID_FOCUS_INDICATOR", "focus", nullptr},
    {ID_RETICLE_GENERATOR, "ID_RETICLE_GENERATOR", "reticle", nullptr},
    {ID_RETICLE_LOAD, "ID_RETICLE_LOAD", "reticle", nullptr},
    {ID_FLUORESCENCE, "ID_FLUORESCENCE", "fluorescence", nullptr},
    {ID_ACQ_VIDEO_RECORDER, "ID_ACQ_VIDEO_RECORDER", "video", nullptr},
    {ID_ACQ_DEVICE_SETTINGS, "ID_ACQ_DEVICE_SETTINGS", "device-settings", nullptr},
    {ID_AUTO_MEASURE_APP, "ID_AUTO_MEASURE_APP", "auto-measure", nullptr},
    {ID_COMPANION_APP, "ID_COMPANION_APP", "companion", nullptr},
    {ID_PORE_SCAN, "ID_PORE_SCAN", "pore-scan", nullptr},
};

constexpr CommandInfo kDocumentCommands[] = {
    {ID_FILE_SAVE, "ID_FILE_SAVE", "save", "Ctrl+S"},
    {ID_FILE_SAVE_AS, "ID_FILE_SAVE_AS", nullptr, nullptr},
    {ID_EDIT_UNDO, "ID_EDIT_UNDO", "undo", "Ctrl+Z"},
    {ID_EDIT_REDO, "ID_EDIT_REDO", "redo", "Ctrl+Y"},
    {ID_FILE_SEND_MAIL, "ID_FILE_SEND_MAIL", "mail", nullptr},
    {ID_FILE_CLOSE, "ID_FILE_CLOSE", nullptr, nullptr},
};

constexpr CommandInfo kViewCommands[] = {
    {ID_FILE_PRINT, "ID_FILE_PRINT", "print", "Ctrl+P"},
    {ID_TOOL_HAND, "ID_TOOL_HAND", "hand", nullptr},
    {ID_TOOL_SELECT, "ID_TOOL_SELECT", "select", nullptr},
    {ID_ZOOM_IN, "ID_ZOOM_IN", "zoom-in", nullptr},
    {ID_ZOOM_OUT, "ID_ZOOM_OUT", "zoom-out", nullptr},
    {ID_ZOOM_COMBO, "ID_ZOOM_COMBO", nullptr, nullptr},
    {ID_MERGE_MEASUREMENTS, "ID_MERGE_MEASUREMENTS", "merge-measure", nullptr},
    {ID_MERGE_ANNOTATIONS, "ID_MERGE_ANNOTATIONS", "merge-annotate", nullptr},
    {ID_MERGE_ALL, "ID_MERGE_ALL", "merge-all", nullptr},
    {ID_REGION_RECT, "ID_REGION_RECT", "region-rect", nullptr},
    {ID_REGION_ELLIPSE, "ID_REGION_ELLIPSE", "region-ellipse", nullptr},
    {ID_REGION_POLYGON, "ID_REGION_POLYGON", "region-polygon", nullptr},
    {ID_IMAGE_DUPLICATE, "ID_IMAGE_DUPLICATE", "duplicate", nullptr},
    {ID_IMAGE_CROP, "ID_IMAGE_CROP", "crop", nullptr},
    {ID_EDIT_CUT, "ID_EDIT_CUT", "cut", "Ctrl+X"},
    {ID_EDIT_COPY, "ID_EDIT_COPY", "copy", "Ctrl+C"},
    {ID_EDIT_PASTE, "ID_EDIT_PASTE", "paste", "Ctrl+V"},
    {ID_GRID_SHOW, "ID_GRID_SHOW", "grid", nullptr},
    {ID_OBJECT_PROPERTIES, "ID_OBJECT_PROPERTIES", "properties", nullptr},
    {ID_LINE_COLOUR, "ID_LINE_COLOUR", nullptr, nullptr},
    {ID_TEXT_COLOUR, "ID_TEXT_COLOUR", nullptr, nullptr},
    {ID_LINE_COLOUR_SELECTOR, "ID_LINE_COLOUR_SELECTOR", nullptr, nullptr},
    {ID_TEXT_COLOUR_SELECTOR, "ID_TEXT_COLOUR_SELECTOR", nullptr, nullptr},
    {ID_SCALE_BAR, "ID_SCALE_BAR", "scale-bar", nullptr},
    {ID_SCALE_BAR_AFTER_CAPTURE, "ID_SCALE_BAR_AFTER_CAPTURE", "scale-bar", nullptr},
    {ID_CALIBRATION_MANUAL, "ID_CALIBRATION_MANUAL", "calib-manual", nullptr},
    {ID_CALIBRATION_AUTO, "ID_CALIBRATION_AUTO", "calib-auto", nullptr},
    {ID_CALIBRATION_NAME_BOX, "ID_CALIBRATION_NAME_BOX", nullptr, nullptr},
    {ID_MAGNIFICATION_BOX, "ID_MAGNIFICATION_BOX", nullptr, nullptr},
    {ID_UNIT_BOX, "ID_UNIT_BOX", nullptr, nullptr},
    {ID_RESULT_REMOVE_SELECTED, "ID_RESULT_REMOVE_SELECTED", "result-remove", nullptr},
    {ID_RESULT_STATISTICS, "ID_RESULT_STATISTICS", "statistics", nullptr},
    {ID_RESULT_BACKUP, "ID_RESULT_BACKUP", "backup", nullptr},
    {ID_RESULT_TO_CLIPBOARD, "ID_RESULT_TO_CLIPBOARD", "clipboard", nullptr},
    {ID_RESULT_TO_NOTEPAD, "ID_RESULT_TO_NOTEPAD", "notepad", nullptr},
    {ID_REPORT_MANAGER, "ID_REPORT_MANAGER", "report", nullptr},
    {ID_REPORT_MANAGER_ALL, "ID_REPORT_MANAGER_ALL", "report", nullptr},
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
    return LoadString(kModule, info.id, language);
}
