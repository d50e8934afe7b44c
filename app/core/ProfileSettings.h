// The settings the program keeps in its profile (registry key "QRX"): Figuron's drawing defaults, the display
// preferences, the program-wide grid and the live view's centre cross, loaded at start-up and saved at shut-down;
// and the two values start-up writes at once (the stock UI layout version and the program folder).
// UI thread (the drawing defaults are Figuron's UI-thread state).
#pragma once

#include "latticer/CLatticer.h"

#include <cstdint>
#include <string>

class CAppProfile;
class CQvGObjectPropertyTotal;

// The profile's registry key and the application name below it.
constexpr const char* kProfileRegistryKey = "QRX";
constexpr const char* kProfileAppName = "Vistrel";

// The stock UI layout version start-up imports while the stored one is below it.
constexpr int kUiLayoutVersion = 5;

// The display preferences, with their defaults.
struct PreferenceSettings
{
    int32_t autoColor = 0;          // new objects change colour automatically
    int32_t displayData = 1;        // show object values
    int32_t displayMark = 1;        // show units with the values
    int32_t displayName = 0;        // show object names
    int32_t displayRealtime = 0;    // show the live result box
    int32_t decimalPointRange = 3;  // decimals of displayed values (0 to 10)
    int32_t showScaleBar = 0;       // a scale bar on new captures
    int32_t saveImageFlatten = 2;   // overlay merged into saved images: 0 always, 1 never, 2 ask

    bool operator==(const PreferenceSettings&) const = default;
};

// What the program owns of the profile, with the defaults of a first run.
struct ProfileSettings
{
    ProfileSettings();

    PreferenceSettings preferences;
    // The program-wide grid: shown 0, cross and rectangles, gap 40.0, 1.0 unit per pixel, 0 decimals, weight 1,
    // grey; not burnt into saved images.
    CLatticer grid;
    int32_t crossLineShow = 1;  // the live view's centre cross
};

// Reads the drawing defaults into `drawingDefaults` (Figuron's defaults unless the profile holds a valid image) and
// the rest into `settings` (each missing value its default).
void LoadProfileSettings(const CAppProfile& profile, ProfileSettings& settings,
                         CQvGObjectPropertyTotal& drawingDefaults);
// Writes everything LoadProfileSettings reads, in one write of the profile store. False when a write failed.
bool SaveProfileSettings(CAppProfile& profile, const ProfileSettings& settings,
                         const CQvGObjectPropertyTotal& drawingDefaults);

// Writes the eight "PREFERENCE" values alone (the preferences dialog's OK). False when a write failed.
bool SavePreferenceSettings(CAppProfile& profile, const PreferenceSettings& preferences);

// "UI"/"Version": the stock layout version imported, -1 before the first import.
int ReadUiLayoutVersion(const CAppProfile& profile);
bool WriteUiLayoutVersion(CAppProfile& profile, int version);
// "AppPath"/"Path": the program folder, for companion programs.
bool WriteAppPath(CAppProfile& profile, const std::string& programFolder);
