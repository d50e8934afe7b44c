// The simulated ARTRAY libraries as the tests reach them: each model's library loaded by its path before a driver
// asks for it by name (so both get the same copy), and its controls.
#pragma once

#include "artray/ArtrayModel.h"
#include "artray/sim/ArtCamSimControl.h"
#include "module/CModule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct ArtrayBuild
{
    ArtrayModelId id;
    const char* module;  // driver module file base name
    const char* sdk;     // simulated library file base name
};

inline const ArtrayBuild kArtrayBuilds[kArtrayModelCount] = {
    {ArtrayModelId::Artray300MI, "grab_artray300mi", "ArtCamSdk_300MI"},
    {ArtrayModelId::Artray500PII, "grab_artray500pii", "ArtCamSdk_500P2"},
    {ArtrayModelId::Artray150PIII, "grab_artray150piii", "ArtCamSdk_150P3"},
    {ArtrayModelId::Artray, "grab_artray", "ArtCamSdk_130MI"},
    {ArtrayModelId::Artray200SH, "grab_artray200sh", "ArtCamSdk_200SH"},
};

inline std::string ArtrayDriverPath(ArtrayModelId id)
{
    return std::string(ARTRAY_DRIVER_DIR) + "/" + kArtrayBuilds[int(id)].module + ".so";
}

inline const CModule& ArtraySim(ArtrayModelId id)
{
    static CModule modules[kArtrayModelCount];
    CModule& module = modules[int(id)];
    if (!module.IsLoaded() && !module.Load(std::string(ARTRAY_SIM_DIR) + "/" + kArtrayBuilds[int(id)].sdk + ".so"))
        ADD_FAILURE() << module.GetLastError();
    return module;
}

template <typename Function>
Function ArtraySimCall(ArtrayModelId id, const char* name)
{
    auto function = ArtraySim(id).GetProc<Function>(name);
    if (!function)
        ADD_FAILURE() << "missing " << name;
    return function;
}

// The full frame of `seed` as the simulated camera of model `id` writes it (24 bits, rows in its order).
inline std::vector<uint8_t> ArtraySimFrame(ArtrayModelId id, int seed)
{
    const ArtrayResolution& full = GetArtrayModel(id).rows[0];
    std::vector<uint8_t> frame(size_t(full.width) * full.height * 3);
    uint8_t* out = frame.data();
    for (int y = 0; y < full.height; ++y)
        for (int x = 0; x < full.width; ++x, out += 3)
            ArtSimPixel(int(id), seed, x, y, out);
    return frame;
}
