#include "core/ProfileSettings.h"

#include "gobjects/CQvGObjectPropertyTotal.h"
#include "profile/CAppProfile.h"

#include "CoreTestFolder.h"

namespace {
class ProfileSettingsTest : public CoreTestFolder
{
protected:
    static CQvGObjectPropertyTotal LibraryDefaults()
    {
        CQvGObjectPropertyTotal defaults;
        defaults.Initialize();
        return defaults;
    }
    static CQvGObjectPropertyTotal EditedDefaults()
    {
        CQvGObjectPropertyTotal edited = LibraryDefaults();
        edited.SetLineColor(RGB(1, 2, 3), SHAPE_LINE);
        edited.SetTextColor(RGB(9, 8, 7), OBJ_SHAPE(30));
        return edited;
    }
    static std::vector<BYTE> Bytes(std::initializer_list<int> values)
    {
        std::vector<BYTE> bytes;
        for (const int v : values)
            bytes.push_back(static_cast<BYTE>(v));
        return bytes;
    }

    CAppProfile profile{kProfileRegistryKey, kProfileAppName};
};

TEST_F(ProfileSettingsTest, AnEmptyProfileGivesEveryDefault)
{
    ProfileSettings settings;
    settings.preferences.decimalPointRange = 9;
    settings.grid.SetGap(3.0f);
    settings.crossLineShow = 0;
    CQvGObjectPropertyTotal drawing = EditedDefaults();
    LoadProfileSettings(profile, settings, drawing);

    EXPECT_EQ(settings.preferences, PreferenceSettings{});
    const PreferenceSettings& p = settings.preferences;
    EXPECT_EQ(std::vector<int>({p.autoColor, p.displayData, p.displayMark, p.displayName, p.displayRealtime,
                                p.decimalPointRange, p.showScaleBar, p.saveImageFlatten}),
              std::vector<int>({0, 1, 1, 0, 0, 3, 0, 2}));
    const CLatticer& g = settings.grid;
    EXPECT_EQ(g.IsShow(), 0);
    EXPECT_EQ(g.GetType(), 6);
    EXPECT_EQ(g.GetGap(), 40.0f);
    EXPECT_EQ(g.GetUPP(), 1.0);
    EXPECT_EQ(g.GetDecimal(), 0);
    EXPECT_EQ(g.GetWeight(), 1);
    EXPECT_EQ(g.GetLineColor(), 0x808080u);
    EXPECT_EQ(g.saveWithGrid, 0);
    EXPECT_EQ(settings.crossLineShow, 1);
    EXPECT_EQ(drawing, LibraryDefaults());
    EXPECT_EQ(ReadUiLayoutVersion(profile), -1);
}

TEST_F(ProfileSettingsTest, DrawingDefaultsNeedAValidVersionAndExactly1944Bytes)
{
    const std::vector<uint8_t> image = EditedDefaults().SaveMemoryImage();
    ASSERT_EQ(image.size(), 1944u);
    struct Case
    {
        int version;
        size_t size;
        bool taken;
    };
    const Case cases[] = {{1, 1944, true},  {7, 1944, true},  {1, 1943, false},
                          {1, 1945, false}, {0, 1944, false}, {-1, 1944, false}};
    for (const Case& c : cases) {
        std::vector<uint8_t> stored = image;
        stored.resize(c.size, 0);
        ASSERT_TRUE(profile.WriteProfileInt("GOBJECT", "GO Property Version", c.version));
        ASSERT_TRUE(profile.WriteProfileBinary("GOBJECT", "GO Property", stored.data(), static_cast<DWORD>(c.size)));
        ProfileSettings settings;
        CQvGObjectPropertyTotal drawing;
        LoadProfileSettings(profile, settings, drawing);
        EXPECT_EQ(drawing, c.taken ? EditedDefaults() : LibraryDefaults())
            << "version " << c.version << ", " << c.size << " bytes";
    }
}

TEST_F(ProfileSettingsTest, GridNumbersAreExactBinaryValuesWithDefaultsForMissingOrDamagedOnes)
{
    // 12.5f and 0.25, little-endian.
    ASSERT_TRUE(profile.WriteProfileBinary("GRID", "_GAP", Bytes({0x00, 0x00, 0x48, 0x41}).data(), 4));
    ASSERT_TRUE(profile.WriteProfileBinary("GRID", "UPP", Bytes({0, 0, 0, 0, 0, 0, 0xD0, 0x3F}).data(), 8));
    ProfileSettings settings;
    CQvGObjectPropertyTotal drawing;
    LoadProfileSettings(profile, settings, drawing);
    EXPECT_EQ(settings.grid.GetGap(), 12.5f);
    EXPECT_EQ(settings.grid.GetUPP(), 0.25);

    struct Case
    {
        std::vector<BYTE> gap;
        std::vector<BYTE> upp;
    };
    const Case damaged[] = {
        {Bytes({0x00, 0x00, 0x48}), Bytes({0, 0, 0, 0, 0, 0, 0xD0})},                    // short
        {Bytes({0x00, 0x00, 0x48, 0x41, 0}), Bytes({0, 0, 0, 0, 0, 0, 0xD0, 0x3F, 0})},  // long
        {Bytes({0x00, 0x00, 0xC0, 0x7F}), Bytes({0, 0, 0, 0, 0, 0, 0xF8, 0x7F})},        // NaN
    };
    for (const Case& c : damaged) {
        ASSERT_TRUE(profile.WriteProfileBinary("GRID", "_GAP", c.gap.data(), static_cast<DWORD>(c.gap.size())));
        ASSERT_TRUE(profile.WriteProfileBinary("GRID", "UPP", c.upp.data(), static_cast<DWORD>(c.upp.size())));
        LoadProfileSettings(profile, settings, drawing);
        EXPECT_EQ(settings.grid.GetGap(), 40.0f) << c.gap.size() << " bytes";
        EXPECT_EQ(settings.grid.GetUPP(), 1.0) << c.upp.size() << " bytes";
    }
}

TEST_F(ProfileSettingsTest, SaveThenLoadGivesEverythingBackButTheSaveWithGridFlag)
{
    ProfileSettings saved;
    saved.preferences = {1, 0, 0, 1, 1, 7, 1, 0};
    saved.grid.Show(1);
    saved.grid.SetType(G_CHECK | G_CIRCLES);
    saved.grid.SetGap(12.5f);
    saved.grid.SetUPP(0.25);
    saved.grid.SetDecimal(2);
    saved.grid.SetWeight(3);
    saved.grid.SetLineColor(RGB(10, 20, 30));
    saved.grid.saveWithGrid = 1;
    saved.crossLineShow = 0;
    ASSERT_TRUE(SaveProfileSettings(profile, saved, EditedDefaults()));

    // The stored forms: exact sizes and bytes, the flag written as it was.
    std::vector<BYTE> bytes;
    ASSERT_TRUE(profile.GetProfileBinary("GOBJECT", "GO Property", bytes));
    EXPECT_EQ(bytes, EditedDefaults().SaveMemoryImage());
    EXPECT_EQ(profile.GetProfileInt("GOBJECT", "GO Property Version", 0), 1);
    ASSERT_TRUE(profile.GetProfileBinary("GRID", "_GAP", bytes));
    EXPECT_EQ(bytes, Bytes({0x00, 0x00, 0x48, 0x41}));
    ASSERT_TRUE(profile.GetProfileBinary("GRID", "UPP", bytes));
    EXPECT_EQ(bytes, Bytes({0, 0, 0, 0, 0, 0, 0xD0, 0x3F}));
    EXPECT_EQ(profile.GetProfileInt("GRID", "SAVEWITHGRID", -1), 1);
    EXPECT_EQ(profile.GetProfileInt("PREFERENCE", "Decimal Point Range", -1), 7);

    // Another run reads them back from the store file.
    RegReloadStore();
    ProfileSettings loaded;
    CQvGObjectPropertyTotal drawing;
    LoadProfileSettings(profile, loaded, drawing);
    EXPECT_EQ(drawing, EditedDefaults());
    EXPECT_EQ(loaded.preferences, saved.preferences);
    EXPECT_EQ(loaded.grid.IsShow(), 1);
    EXPECT_EQ(loaded.grid.GetType(), G_CHECK | G_CIRCLES);
    EXPECT_EQ(loaded.grid.GetGap(), 12.5f);
    EXPECT_EQ(loaded.grid.GetUPP(), 0.25);
    EXPECT_EQ(loaded.grid.GetDecimal(), 2);
    EXPECT_EQ(loaded.grid.GetWeight(), 3);
    EXPECT_EQ(loaded.grid.GetLineColor(), RGB(10, 20, 30));
    EXPECT_EQ(loaded.grid.saveWithGrid, 0);
    EXPECT_EQ(loaded.crossLineShow, 0);
}

TEST_F(ProfileSettingsTest, LayoutVersionAndProgramPath)
{
    ASSERT_TRUE(WriteUiLayoutVersion(profile, kUiLayoutVersion));
    ASSERT_TRUE(WriteAppPath(profile, "/opt/Vistrel/"));
    RegReloadStore();
    EXPECT_EQ(ReadUiLayoutVersion(profile), 5);
    EXPECT_EQ(profile.GetProfileString("AppPath", "Path"), "/opt/Vistrel/");
    EXPECT_EQ(profile.AppKeyPath(), "Software\\QRX\\Vistrel");
}
}  // namespace
