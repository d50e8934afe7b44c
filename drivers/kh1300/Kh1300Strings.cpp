#include "kh1300/Kh1300Strings.h"

#include "resources/StringTable.h"

namespace {

constexpr char kModule[] = "grab_kh1300";

const StringTableRegistrar kStrings(kModule, {
    {kTextModeSetError, "Camera Mode Set Error", "카메라 모드 설정 오류"},
    {kTextModeGetError, "Camera Mode Get Error", "카메라 모드 확인 오류"},
    {kTextImageSizeError, "Camera ImageSize Get Error", "카메라 영상 크기 확인 오류"},
    {kTextNotFoundCamera, "Not Found Camera", "카메라를 찾을 수 없습니다"},
    {kTextIsoStopError, "Iso Stop Error", "등시 전송 정지 오류"},
    {kTextCloseError, "Camera Close Error", "카메라 닫기 오류"},
    {kTextLibraryMissing, "The camera library %s is not installed.", "카메라 라이브러리 %s가 설치되어 있지 않습니다."},
    {kTextPropertyCaption, "Property", "속성"},
    {kTextResolutionGroup, "Resolution", "해상도"},
    {kTextOk, "OK", "확인"},
    {kTextCancel, "Cancel", "취소"},
});

}  // namespace

std::string Kh1300String(Kh1300Text id)
{
    return LoadString(kModule, id);
}
