// The frame grabber's camera-set list file: whatever its bytes, the path read is one line, bounded, without a
// line end or a zero byte, and a path written back reads back the same.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "mtpci/MtpciCameraSetList.h"

#include <string>

VISTREL_FUZZ_TARGET(camera_set_list)
{
    const std::string file = FuzzScratchFolder() + "/MTPCI_CameraSet.cfg";
    if (!WriteFuzzFile(file, data, size))
        return 0;
    std::string path;
    if (!MtpciReadCameraSetList(file, path))
        return 0;
    FuzzCheck(path.size() <= kMtpciMaxCameraSetPath, "the path is bounded");
    FuzzCheck(path.find('\n') == std::string::npos && path.find('\0') == std::string::npos,
              "the path is one line without a zero byte");
    FuzzCheck(path.empty() || path.back() != '\r', "the line end is stripped");
    if (MtpciWriteCameraSetList(file, path)) {
        std::string again;
        FuzzCheck(MtpciReadCameraSetList(file, again) && again == path, "a written path reads back");
    }
    return 0;
}
