#include "core/ProfileSettings.h"

#include "gobjects/CQvGObjectPropertyTotal.h"
#include "profile/CAppProfile.h"
#include "profile/RegistryWriteBatch.h"

#include <array>
#include <bit>
#include <cmath>
#include <vector>

namespace {
constexpr const char* kGObject = "GOBJECT";
constexpr const char* kGoPropertyVersion = "GO Property Version";
constexpr const char* kGoProperty = "GO Property";
constexpr const char* kPreference = "PREFERENCE";
constexpr const char* kGrid = "GRID";
constexpr const char* kCrossLine = "CROSS_LINE";

constexpr float kDefaultGap = 40.0f;
constexpr double kDefaultUpp = 1.0;
constexpr int kDefaultGridType = G_CROSS | G_RECTANGLES;
constexpr COLORREF kDefaultGridColor = 0x808080;

// The preference values in their stored order.
struct PreferenceKey
{
    const char* name;
    int32_t PreferenceSettings::*field;
};
constexpr PreferenceKey kPreferenceKeys[] = {
    {"Auto Color", &PreferenceSettings::autoColor},
    {"DisplayData", &PreferenceSettings::displayData},
    {"DisplayMark", &PreferenceSettings::displayMark},
    {"DisplayName", &PreferenceSettings::displayName},
    {"DisplayRealtime", &PreferenceSettings::displayRealtime},
    {"Decimal Point Range", &PreferenceSettings::decimalPointRange},
    {"Show Scale Bar", &PreferenceSettings::showScaleBar},
    {"Save Image Flatten", &PreferenceSettings::saveImageFlatten},
};

uint64_t LittleEndian(const std::vector<BYTE>& bytes)
{
    uint64_t value = 0;
    for (size_t i = bytes.size(); i-- > 0;)
        value = (value << 8) | bytes[i];
    return value;
}

template <size_t N>
std::array<BYTE, N> LittleEndianBytes(uint64_t value)
{
    std::array<BYTE, N> bytes{};
    for (size_t i = 0; i < N; ++i)
        bytes[i] = static_cast<BYTE>(value >> (8 * i));
    return bytes;
}

// A stored grid number: its exact size, and finite, or the default (a damaged value would stop the grid drawing).
float ReadGap(const CAppProfile& profile)
{
    std::vector<BYTE> bytes;
    if (!profile.GetProfileBinary(kGrid, "_GAP", bytes) || bytes.size() != 4)
        return kDefaultGap;
    const float gap = std::bit_cast<float>(static_cast<uint32_t>(LittleEndian(bytes)));
    return std::isfinite(gap) ? gap : kDefaultGap;
}

double ReadUpp(const CAppProfile& profile)
{
    std::vector<BYTE> bytes;
    if (!profile.GetProfileBinary(kGrid, "UPP", bytes) || bytes.size() != 8)
        return kDefaultUpp;
    const double upp = std::bit_cast<double>(LittleEndian(bytes));
    return std::isfinite(upp) ? upp : kDefaultUpp;
}

void LoadDrawingDefaults(const CAppProfile& profile, CQvGObjectPropertyTotal& drawingDefaults)
{
    std::vector<BYTE> image;
    CQvGObjectPropertyTotal stored;
    // The image's name and comment pointers are never followed: LoadMemoryImage drops them.
    if (profile.GetProfileInt(kGObject, kGoPropertyVersion, 0) > 0 &&
        profile.GetProfileBinary(kGObject, kGoProperty, image) &&
        image.size() == CQvGObjectPropertyTotal::kMemoryImageSize &&
        stored.LoadMemoryImage(image.data(), image.size()) != 0)
        drawingDefaults = stored;
    else
        drawingDefaults.Initialize();
}
}  // namespace

ProfileSettings::ProfileSettings()
{
    grid.Show(0);
    grid.SetType(kDefaultGridType);
    grid.SetGap(kDefaultGap);
    grid.SetUPP(kDefaultUpp);
    grid.SetDecimal(0);
    grid.SetWeight(1);
    grid.SetLineColor(kDefaultGridColor);
    grid.saveWithGrid = 0;
}

void LoadProfileSettings(const CAppProfile& profile, ProfileSettings& settings,
                         CQvGObjectPropertyTotal& drawingDefaults)
{
    LoadDrawingDefaults(profile, drawingDefaults);

    const PreferenceSettings defaults;
    for (const PreferenceKey& key : kPreferenceKeys)
        settings.preferences.*key.field = profile.GetProfileInt(kPreference, key.name, defaults.*key.field);

    CLatticer& grid = settings.grid;
    grid.Show(profile.GetProfileInt(kGrid, "SHOW", 0));
    grid.SetType(profile.GetProfileInt(kGrid, "TYPE", kDefaultGridType));
    grid.SetGap(ReadGap(profile));
    grid.SetUPP(ReadUpp(profile));
    grid.SetDecimal(profile.GetProfileInt(kGrid, "DECIMAL", 0));
    grid.SetWeight(profile.GetProfileInt(kGrid, "WEIGHT", 1));
    grid.SetLineColor(static_cast<COLORREF>(profile.GetProfileInt(kGrid, "COLOR", kDefaultGridColor)));
    // Saved at exit, but every run starts without burning the grid into saved images.
    grid.saveWithGrid = 0;

    settings.crossLineShow = profile.GetProfileInt(kCrossLine, "SHOW", 1);
}

bool SaveProfileSettings(CAppProfile& profile, const ProfileSettings& settings,
                         const CQvGObjectPropertyTotal& drawingDefaults)
{
    RegistryWriteBatch batch;
    bool ok = profile.WriteProfileInt(kGObject, kGoPropertyVersion, 1);
    const std::vector<uint8_t> image = drawingDefaults.SaveMemoryImage();
    ok &= profile.WriteProfileBinary(kGObject, kGoProperty, image.data(), static_cast<DWORD>(image.size()));

    for (const PreferenceKey& key : kPreferenceKeys)
        ok &= profile.WriteProfileInt(kPreference, key.name, settings.preferences.*key.field);

    const CLatticer& grid = settings.grid;
    ok &= profile.WriteProfileInt(kGrid, "SHOW", grid.IsShow());
    ok &= profile.WriteProfileInt(kGrid, "TYPE", grid.GetType());
    const auto gap = LittleEndianBytes<4>(std::bit_cast<uint32_t>(grid.GetGap()));
    ok &= profile.WriteProfileBinary(kGrid, "_GAP", gap.data(), 4);
    const auto upp = LittleEndianBytes<8>(std::bit_cast<uint64_t>(grid.GetUPP()));
    ok &= profile.WriteProfileBinary(kGrid, "UPP", upp.data(), 8);
    ok &= profile.WriteProfileInt(kGrid, "DECIMAL", grid.GetDecimal());
    ok &= profile.WriteProfileInt(kGrid, "WEIGHT", grid.GetWeight());
    ok &= profile.WriteProfileInt(kGrid, "COLOR", static_cast<int>(grid.GetLineColor()));
    ok &= profile.WriteProfileInt(kGrid, "SAVEWITHGRID", grid.saveWithGrid);

    ok &= profile.WriteProfileInt(kCrossLine, "SHOW", settings.crossLineShow);
    return ok;
}

bool SavePreferenceSettings(CAppProfile& profile, const PreferenceSettings& preferences)
{
    RegistryWriteBatch batch;
    bool ok = true;
    for (const PreferenceKey& key : kPreferenceKeys)
        ok &= profile.WriteProfileInt(kPreference, key.name, preferences.*key.field);
    return ok;
}

int ReadUiLayoutVersion(const CAppProfile& profile)
{
    return profile.GetProfileInt("UI", "Version", -1);
}

bool WriteUiLayoutVersion(CAppProfile& profile, int version)
{
    return profile.WriteProfileInt("UI", "Version", version);
}

bool WriteAppPath(CAppProfile& profile, const std::string& programFolder)
{
    return profile.WriteProfileString("AppPath", "Path", programFolder.c_str());
}
