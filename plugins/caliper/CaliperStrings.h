// The caliper's string table (module "Caliper"), Korean and English: every text the caliper shows a user.
#pragma once

#include <cstdint>
#include <string>

namespace caliper {

constexpr const char kStringModule[] = "Caliper";

enum StringId : uint32_t {
    kStrOverview = 1,
    kStrDetector = 2,
    kStrOptionsTip = 3,
    kStrUnsupportedImage = 4,
    kStrCaliper = 5,
    kStrKindNames = 9,    // 9..13: the five edge kinds
    kStrKindLetters = 15,  // 15..19: their marker letters
    kStrLength = 21,
    kStrTotal = 22,
    kStrName = 23,
    kStrLine = 24,
    kStrLoadWarning = 27,
    kStrOptions = 28,
    kStrImageAnalysis = 29,
    kStrSettingFiles = 30,
    kStrLoadSettings = 31,
    kStrSaveSettings = 32,
    kStrResetSettings = 33,
    kStrSettingsMenu = 34,
    kStrSmoothing = 35,
    kStrPasses = 36,
    kStrHalfWidth = 37,
    kStrApply = 38,
    kStrMeasure = 39,
    kStrResult = 40,
    kStrBasicResult = 41,
    kStrDetailedResult = 42,
    kStrUpper = 43,
    kStrLower = 44,
    kStrShowNames = 45,
    kStrDecimals = 46,
    kStrOverviewGroup = 47,
    kStrImageGroup = 48,
    kStrGrid = 49,
    kStrFrame = 50,
    kStrSelectTool = 51,
    kStrLineTool = 52,
    kStrCircleTool = 53,
    kStrProceed = 54,
    kStrDeleteError = 55,
};

// The text of `id` in the UI language.
std::string Text(uint32_t id);

}  // namespace caliper
