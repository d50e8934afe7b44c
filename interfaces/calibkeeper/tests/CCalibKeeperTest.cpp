#include "calibkeeper/CCalibKeeper.h"
#include "resources/UiLanguage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

namespace {

struct Conversion
{
    int from;
    int to;
    double value;
    double expected;
};

}  // namespace

TEST(CCalibKeeper, ChangeUnitConvertsLengthsBetweenUnits)
{
    const Conversion cases[] = {
        {UNIT_MICROMETER, UNIT_MILLIMETER, 0.5, 0.0005},
        {UNIT_MILLIMETER, UNIT_MICROMETER, 0.5, 500.0},
        {UNIT_INCH, UNIT_MILLIMETER, 1.0, 25.4},
        {UNIT_MIL, UNIT_MILLIMETER, 1.0, 0.0254},
        {UNIT_INCH, UNIT_MIL, 1.0, 1000.0},
        {UNIT_CENTIMETER, UNIT_INCH, 2.54, 1.0},
        {UNIT_METER, UNIT_NANOMETER, 1.0, 1e9},
        {UNIT_NANOMETER, UNIT_MICROMETER, 250.0, 0.25},
        {UNIT_MICROMETER, UNIT_PIXEL, 0.37, 1.0},  // into pixels the calibration is given up
        {UNIT_PIXEL, UNIT_MILLIMETER, 0.37, 0.37}, // out of pixels nothing is known to convert
        {UNIT_MILLIMETER, UNIT_MILLIMETER, 0.37, 0.37},
        {UNIT_MILLIMETER, 8, 0.37, 0.37},
        {-1, UNIT_MILLIMETER, 0.37, 0.37},
    };
    for (const Conversion& c : cases) {
        double v = c.value;
        CCalibKeeper::ChangeUnit(c.from, c.to, v);
        EXPECT_NEAR(v, c.expected, std::abs(c.expected) * 1e-12) << c.from << " -> " << c.to;
    }
}

TEST(CCalibKeeper, EightUnitsWithDistinctNamesAndSymbolsUnitFourIsMillimetre)
{
    std::set<std::string> names;
    std::set<std::string> symbols;
    for (int i = 0; i < kUnitTypeCount; ++i) {
        EXPECT_EQ(CCalibKeeper::GetUnitType(i), i);
        names.insert(CCalibKeeper::GetUnitName(CCalibKeeper::GetUnitType(i)));
        symbols.insert(CCalibKeeper::GetSymbolString(i));
    }
    EXPECT_EQ(names.size(), 8u);
    EXPECT_EQ(symbols.size(), 8u);
    EXPECT_FALSE(names.count(""));
    EXPECT_EQ(CCalibKeeper::GetUnitName(0), "Pixel");
    EXPECT_STREQ(CCalibKeeper::GetSymbolString(UNIT_MILLIMETER), "mm");
    EXPECT_STREQ(CCalibKeeper::GetSymbolString(UNIT_MICROMETER), "µm");

    double oneMillimetre = 1.0;
    CCalibKeeper::ChangeUnit(UNIT_MILLIMETER, UNIT_MICROMETER, oneMillimetre);
    EXPECT_DOUBLE_EQ(oneMillimetre, 1000.0);

    for (int outside : {-1, 8, 1000}) {
        EXPECT_EQ(CCalibKeeper::GetUnitType(outside), UNIT_PIXEL);
        EXPECT_EQ(CCalibKeeper::GetUnitName(outside), "");
        EXPECT_STREQ(CCalibKeeper::GetStoredUnitName(outside), "");
        EXPECT_STREQ(CCalibKeeper::GetSymbolString(outside), "");
    }
}

// The user reads the unit in the session's language; companion programs always get the same bytes.
TEST(CCalibKeeper, UnitNamesFollowTheUiLanguageStoredNamesNever)
{
    struct Case { int unit; const char* english; const char* korean; const char* stored; };
    const Case cases[] = {
        {UNIT_PIXEL, "Pixel", "픽셀", "\xED\x94\xBD\xEC\x85\x80"},
        {UNIT_MICROMETER, "Micrometer", "마이크로미터",
         "\xEB\xA7\x88\xEC\x9D\xB4\xED\x81\xAC\xEB\xA1\x9C\xEB\xAF\xB8\xED\x84\xB0"},
        {UNIT_METER, "Meter", "미터", "\xEB\xAF\xB8\xED\x84\xB0"},
    };
    for (const Case& c : cases) {
        SetUiLanguage(UI_LANGUAGE_ENGLISH);
        EXPECT_EQ(CCalibKeeper::GetUnitName(c.unit), c.english);
        EXPECT_STREQ(CCalibKeeper::GetStoredUnitName(c.unit), c.stored);
        SetUiLanguage(UI_LANGUAGE_KOREAN);
        EXPECT_EQ(CCalibKeeper::GetUnitName(c.unit), c.korean);
        EXPECT_STREQ(CCalibKeeper::GetStoredUnitName(c.unit), c.stored);
    }
    SetUiLanguage(UI_LANGUAGE_ENGLISH);
}

TEST(CCalibKeeper, CreateDerivesUnitsPerPixelAndKeepsTheOtherValues)
{
    CCalibKeeper c;
    c.SetName("Lens A");
    c.SetScaleLength(50);
    ASSERT_EQ(c.Create(UNIT_MICROMETER, 200.0, 100.0, 10.0, 1.0, 2.0, 3.0, 4.0), 1);
    EXPECT_EQ(c.GetUnit(), UNIT_MICROMETER);
    EXPECT_DOUBLE_EQ(c.GetUnitsPerPixel(), 0.5);
    EXPECT_DOUBLE_EQ(c.GetCalibration()->unitsPerPixel, 0.5);
    EXPECT_DOUBLE_EQ(c.GetMagnification(), 10.0);
    EXPECT_DOUBLE_EQ(c.GetCalibration()->further[3], 4.0);
    EXPECT_EQ(c.GetName(), "Lens A");
    EXPECT_EQ(c.GetScaleLength(), 50);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        int unit;
        double pixelLength, realLength, magnification;
    } refused[] = {
        {8, 1, 1, 1}, {-1, 1, 1, 1}, {2, 0, 1, 1}, {2, -3, 1, 1}, {2, 1, 0, 1},
        {2, nan, 1, 1}, {2, 1, inf, 1}, {2, 1, 1, nan}, {2, 1e-300, 1e300, 1},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(c.Create(r.unit, r.pixelLength, r.realLength, r.magnification, 0, 0, 0, 0), 0);
        EXPECT_DOUBLE_EQ(c.GetUnitsPerPixel(), 0.5);
        EXPECT_EQ(c.GetUnit(), UNIT_MICROMETER);
    }
}

TEST(CCalibKeeper, SettersRefuseValuesThatWouldSpoilMeasurements)
{
    CCalibKeeper c;
    EXPECT_DOUBLE_EQ(c.GetUnitsPerPixel(), 1.0);
    for (double bad : {0.0, -0.5, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        EXPECT_EQ(c.SetUnitsPerPixel(bad), 0);
    EXPECT_DOUBLE_EQ(c.GetUnitsPerPixel(), 1.0);
    EXPECT_EQ(c.SetUnitsPerPixel(0.25), 1);
    EXPECT_DOUBLE_EQ(c.GetUnitsPerPixel(), 0.25);

    EXPECT_EQ(c.SetUnit(8), 0);
    EXPECT_EQ(c.SetUnit(UNIT_INCH), 1);
    EXPECT_EQ(c.GetUnit(), UNIT_INCH);
    EXPECT_EQ(c.SetMagnification(std::numeric_limits<double>::infinity()), 0);
    EXPECT_DOUBLE_EQ(c.GetMagnification(), -1.0);

    CCalibKeeper copy(c);
    CCalibKeeper assigned;
    assigned = c;
    for (const CCalibKeeper* k : {&copy, &assigned}) {
        EXPECT_DOUBLE_EQ(k->GetUnitsPerPixel(), 0.25);
        EXPECT_EQ(k->GetUnit(), UNIT_INCH);
    }
}
