// The five ARTRAY deliverables built from one source: per model, its name, settings file, library type, the
// resolution rows it hands out (row 0 the full sensor frame) and its hand-out timing.
#pragma once

#include <string>

struct ArtrayResolution
{
    int width;
    int height;
    int buttonId;  // the row's button in the scan option dialog
};

struct ArtrayModel
{
    const char* name;           // ACQ_GetName; also the settings section
    const char* settingsFile;   // in the program's folder
    const char* typeSection;    // where "DllType" is written
    const char* indexSection;   // where the resolution index is kept
    const char* indexKey;
    int dllType;
    int rowCount;
    ArtrayResolution rows[6];
    int waitMs;         // how long ACQ_Acquire waits for a new frame
    int pauseMs;        // pause before every hand-out
    int noFramePauseMs; // pause before answering "no new frame" (0: at once)
    bool bindsVideoFormatGroup;  // the 1275 group (GetSamplingRate, GetVideoFormat)
    bool bindsSromGroup;         // the 1276 group, and group 1 only from version 1000 on
};

enum class ArtrayModelId { Artray300MI, Artray500PII, Artray150PIII, Artray, Artray200SH };
constexpr int kArtrayModelCount = 5;

const ArtrayModel& GetArtrayModel(ArtrayModelId id);

// The library file for a library type in a model's build ("ArtCamSdk_300MI.so", ...); "" for an unknown type.
std::string ArtraySdkFileName(const ArtrayModel& model, int dllType);

// The longest model name with its terminating zero: what ACQ_GetName writes at most.
constexpr int kArtrayLongestName = sizeof "Artray150PIII";
