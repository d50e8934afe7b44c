#include "mtpci/MtpciStrings.h"

#include "resources/StringTable.h"

#include <cstdio>

namespace {

constexpr char kModule[] = "grab_mtpcitl";

const StringTableRegistrar kStrings(kModule, {
    {kTextBoardNotRecognised, "Board No.%d: the board is not recognised", "보드 %d: 보드를 인식할 수 없습니다"},
    {kTextBoardNotOpen, "Board No.%d: the board is not open", "보드 %d: 보드가 열려 있지 않습니다"},
    {kTextLibraryError, "Board No.%d: error in the MTPCIDMA library\nCODE=%d",
     "보드 %d: MTPCIDMA 라이브러리 오류입니다\nCODE=%d"},
    {kTextDmaError, "Board No.%d: an error occurred in the DMA transfer", "보드 %d: DMA 전송 중 오류가 발생했습니다"},
    {kTextViewInitFailed, "Board No.%d: the display class could not be initialised",
     "보드 %d: 표시용 클래스 초기화 실패"},
    {kTextWorkBufferFailed, "Board No.%d: the work buffer could not be allocated", "보드 %d: 작업용 버퍼 할당 실패"},
    {kTextStopThreadQuestion, "A fatal error occurred.\nStop the thread of number %d?",
     "치명적인 오류입니다.\n%d번 스레드를 정지하시겠습니까?"},
    {kTextCameraSetMissing, "The file path of a camera set is not correct - \n",
     "카메라 설정 파일의 경로가 올바르지 않습니다 - \n"},
    {kTextSetupFailed, "Failed to setup board!", "보드를 설정하지 못했습니다!"},
    {kTextLibraryMissing, "The board library %s is not installed.", "보드 라이브러리 %s가 설치되어 있지 않습니다."},
    {kTextCameraSetFilter, "Camera Set (*.ini)|*.ini||", "카메라 설정 (*.ini)|*.ini||"},
});

}  // namespace

std::string MtpciString(MtpciText id)
{
    return LoadString(kModule, id);
}

std::string MtpciFormat(MtpciText id, int channel, int status)
{
    char text[512];
    std::snprintf(text, sizeof text, MtpciString(id).c_str(), channel, status);
    return text;
}
