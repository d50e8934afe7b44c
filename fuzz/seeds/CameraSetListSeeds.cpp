// Seeds of the frame grabber's camera-set list file, written by the driver's own writer.
#include "FuzzSeeds.h"
#include "FuzzSupport.h"

#include "mtpci/MtpciCameraSetList.h"

#include <cstdio>
#include <fstream>
#include <iterator>

VISTREL_FUZZ_SEEDS(camera_set_list)
{
    const std::string file = FuzzScratchFolder() + "/seed_camera_set.cfg";
    std::vector<std::vector<uint8_t>> seeds;
    for (const char* path : {"/opt/vistrel/camera/CameraSet.ini", "C:\\MTPCI\\Camera Set 1.ini", ""}) {
        std::remove(file.c_str());
        MtpciWriteCameraSetList(file, path);
        std::ifstream in(file, std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::string windowsMade = "D:\\cameras\\board.ini\r\nleft over\r\n";
    seeds.emplace_back(windowsMade.begin(), windowsMade.end());
    return seeds;
}
