#include "artray/ArtrayModel.h"

#include "acqdriver/AcqDriver.h"

#include <cstring>

static_assert(kArtrayLongestName <= ACQ_NAME_BUFFER_SIZE, "the host's name buffer holds every model name");

namespace {

const ArtrayModel kModels[kArtrayModelCount] = {
    {"Artray300MI", "Artray300MI.ini", "Artray300MI", "Artray300MI", "Resolution1.", 7, 6,
        {{2048, 1536, 2004}, {1600, 1200, 2005}, {1280, 1024, 2001}, {1024, 768, 2002}, {800, 600, 2003},
            {640, 480, 2006}},
        1, 40, 0, true, false},
    {"Artray500PII", "Artray500PII.ini", "Artray500PII", "Artray500PII", "Resolution1.", 11, 6,
        {{2560, 1920, 2004}, {1600, 1200, 2005}, {1280, 1024, 2001}, {1024, 768, 2002}, {800, 600, 2003},
            {640, 480, 2006}},
        1, 0, 0, true, false},
    {"Artray150PIII", "Artray150PIII.ini", "Artray150PIII", "Artray150PIII", "Resolution1.", 11, 6,
        {{1360, 1024, 2001}, {1280, 1024, 2002}, {1152, 864, 2003}, {1024, 768, 2004}, {800, 600, 2005},
            {640, 480, 2006}},
        1, 40, 0, true, false},
    {"Artray", "Artray1.3M.ini", "Artray1.3M", "Artray", "Resolution", 4, 3,
        {{1280, 1024, 2001}, {800, 600, 2002}, {640, 480, 2003}}, 10, 0, 30, false, false},
    {"Artray200SH", "Artray200SH.ini", "Artray200SH", "Artray200SH", "Resolution1.", 6, 5,
        {{1600, 1200, 2005}, {1280, 960, 2001}, {1024, 768, 2002}, {800, 600, 2003}, {640, 480, 2006}}, 1, 40,
        100, true, true},
};

constexpr const char* kLibraries[] = {"ArtCamSdk", "ArtCamSdk_130k", "ArtCamSdk_USTC", "ArtCnvSdk",
    "ArtCamSdk_130MI", "ArtCamSdk_OV200", "ArtCamSdk_200MI", "ArtCamSdk_300MI", "ArtCamSdk_150P",
    "ArtCamSdk_320P", "ArtCamSdk_MV03", "ArtCamSdk_500P2"};

}  // namespace

const ArtrayModel& GetArtrayModel(ArtrayModelId id)
{
    return kModels[int(id)];
}

std::string ArtraySdkFileName(const ArtrayModel& model, int dllType)
{
    if (dllType < 0 || dllType >= int(std::size(kLibraries)))
        return std::string();
    std::string base = kLibraries[dllType];
    if (dllType == 6 && model.bindsSromGroup)
        base = "ArtCamSdk_200SH";
    if (dllType == 11 && std::strcmp(model.name, "Artray150PIII") == 0)
        base = "ArtCamSdk_150P3";
    return base + ".so";
}
