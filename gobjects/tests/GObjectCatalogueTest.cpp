#include "gobjects/Edition.h"
#include "gobjects/FiguronStrings.h"
#include "gobjects/GObjectCatalogue.h"

#include "resources/UiLanguage.h"

#include <QImage>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct Tool
{
    int shape;
    std::string name;
    int image;
    bool operator==(const Tool&) const = default;
};

void PrintTo(const Tool& tool, std::ostream* out)
{
    *out << "{" << tool.shape << ", \"" << tool.name << "\", " << tool.image << "}";
}

std::vector<Tool> Tools(tagGObjInfo* entries, int count)
{
    std::vector<Tool> tools;
    for (int i = 0; i < count; ++i)
        tools.push_back({entries[i].shape, entries[i].name, entries[i].imageIndex});
    return tools;
}

// The catalogue is library-wide state: every test starts with nothing built in the edition the program sets,
// and leaves nothing built and the edition it found.
class Catalogue : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_edition = g_OEMProduct;
        Reset(6);
    }
    void TearDown() override { Reset(m_edition); }
    static void Reset(OEM_PRODUCT edition)
    {
        Destroy2DMeasureInfo();
        DestroyAutoMeasureInfo();
        DestroyAnnotationInfo();
        SetOEMProduct(edition);
        SetUiLanguage(UI_LANGUAGE_ENGLISH);
    }
    static std::vector<Tool> Build2D(OEM_PRODUCT edition)
    {
        Destroy2DMeasureInfo();
        SetOEMProduct(edition);
        tagGObjInfo* entries = Get2DMeasureInfo();
        return Tools(entries, Get2DMeasureInfoCount());
    }

private:
    OEM_PRODUCT m_edition = 0;
};

const std::vector<Tool> kFull2D = {
    {1, "Line", 0},
    {13, "Point to Point horizontally", 1},
    {11, "Horizontal Line", 2},
    {14, "Point to Point vertically", 3},
    {12, "Vertical Line", 4},
    {16, "Parallel Line", 5},
    {17, "Perpendicular", 6},
    {18, "Das", 7},
    {6, "Poly Line", 8},
    {15, "Center to Center", 9},
    {9, "Best Fit", 10},
    {3, "Circle", 11},
    {4, "Center Circle", 12},
    {21, "3 Points Circle", 13},
    {5, "Ellipse", 14},
    {2, "Rectangle", 15},
    {7, "Polygon", 16},
    {19, "2 Line Angle", 17},
    {20, "3 Points Angle", 18},
    {0, "Point", 19},
    {10, "Target", 20},
    {43, "Curvature", 21},
};

}  // namespace

TEST_F(Catalogue, TwoDimensionalToolsFollowTheEditionInForceWhenBuilt)
{
    std::vector<Tool> edition8 = kFull2D;
    std::erase_if(edition8, [](const Tool& t) { return t.shape == 18 || t.shape == 43; });
    const std::vector<Tool> edition9 = {
        {1, "Line", 0},       {11, "Horizontal Line", 2}, {12, "Vertical Line", 4}, {21, "3 Points Circle", 13},
        {5, "Ellipse", 14},   {2, "Rectangle", 15},       {7, "Polygon", 16},       {20, "3 Points Angle", 18},
    };
    EXPECT_EQ(Build2D(6), kFull2D);
    EXPECT_EQ(Build2D(0), kFull2D);
    EXPECT_EQ(Build2D(1), kFull2D);
    EXPECT_EQ(Build2D(8), edition8);
    EXPECT_EQ(Build2D(9), edition9);
    // Back from a short catalogue, the full one is built from scratch again.
    EXPECT_EQ(Build2D(6), kFull2D);
}

TEST_F(Catalogue, IsBuiltOnceAndKeptUntilDestroyed)
{
    EXPECT_EQ(Get2DMeasureInfoCount(), 0);
    tagGObjInfo* first = Get2DMeasureInfo();
    SetOEMProduct(9);  // read only when building
    EXPECT_EQ(Get2DMeasureInfo(), first);
    EXPECT_EQ(Get2DMeasureInfoCount(), 22);

    Destroy2DMeasureInfo();
    EXPECT_EQ(Get2DMeasureInfoCount(), 0);
    Get2DMeasureInfo();
    EXPECT_EQ(Get2DMeasureInfoCount(), 8);
}

TEST_F(Catalogue, AutomaticAndAnnotationTools)
{
    EXPECT_EQ(GetAutoMeasureInfoCount(), 0);
    EXPECT_EQ(GetAnnotationInfoCount(), 0);
    const std::vector<Tool> automatic = {
        {24, "Auto-Edge Line", 0}, {25, "Auto-Edge Circle", 1}, {26, "Auto-Edge Arc", 2}, {27, "Angle Detection", 3}};
    const std::vector<Tool> annotation = {
        {30, "Point", 0}, {31, "Line", 1},      {32, "Rectangle", 2}, {34, "Circle", 3},
        {35, "Ellipse", 4}, {36, "Poly Line", 5}, {37, "Polygon", 6},   {38, "Text", 7},
    };
    SetOEMProduct(9);  // only the 2D catalogue depends on the edition
    tagGObjInfo* automaticEntries = GetAutoMeasureInfo();
    EXPECT_EQ(Tools(automaticEntries, GetAutoMeasureInfoCount()), automatic);
    tagGObjInfo* annotationEntries = GetAnnotationInfo();
    EXPECT_EQ(Tools(annotationEntries, GetAnnotationInfoCount()), annotation);
    DestroyAnnotationInfo();
    EXPECT_EQ(GetAnnotationInfoCount(), 0);
    EXPECT_EQ(GetAutoMeasureInfoCount(), 4);
}

TEST_F(Catalogue, ToolStripsHoldOneMaskedPicturePerSlot)
{
    struct Case
    {
        void (*load)(QImage*);
        int pictures;
        int usedPictures;
        int depth;
    };
    const Case cases[] = {
        {Get2DMeasureImageList, 22, 22, 8},
        {GetAutoMeasureImageList, 4, 4, 8},
        {GetAnnotationImageList, 10, 8, 32},
    };
    const QRgb mask = qRgb(0xF5, 0xF5, 0xF5);
    for (const Case& c : cases) {
        QImage strip;
        c.load(&strip);
        ASSERT_EQ(strip.size(), QSize(40 * c.pictures, 40));
        EXPECT_EQ(strip.depth(), c.depth);
        for (int picture = 0; picture < c.pictures; ++picture) {
            // The corners are background, which the tool list makes transparent; a used slot shows something.
            EXPECT_EQ(strip.pixel(40 * picture, 0), mask) << picture;
            EXPECT_EQ(strip.pixel(40 * picture + 39, 39), mask) << picture;
            bool drawn = false;
            for (int y = 0; y < 40 && !drawn; ++y)
                for (int x = 0; x < 40 && !drawn; ++x)
                    drawn = strip.pixel(40 * picture + x, y) != mask;
            EXPECT_EQ(drawn, picture < c.usedPictures) << picture;
        }
    }
    Get2DMeasureImageList(nullptr);
}

TEST(Measurements, FifteenReportableQuantitiesNamedInTheUiLanguage)
{
    EXPECT_EQ(GetMeasurementCount(), 15);
    const char* const names[] = {"Length",     "Width",        "Height",     "Diagonal",       "Angle",
                                 "X Angle",    "Y Angle",      "Max Radius", "Min Radius",     "Diameter",
                                 "Area",       "Circular Mil", "Position Start", "Position Center", "Position End"};
    for (int n = 0; n < GetMeasurementCount(); ++n) {
        EXPECT_EQ(GetMeasurementType(n), 1 << n);
        EXPECT_STREQ(GetMeasurementName(n), names[n]);
    }
    EXPECT_EQ(GetMeasurementType(14), 0x4000);
    EXPECT_EQ(GetMeasurementType(32), 1);
    EXPECT_EQ(GetMeasurementType(31), static_cast<int>(0x80000000u));
    EXPECT_STREQ(GetMeasurementName(15), "Curvature");
    // Past the quantities the numbers would reach unrelated texts (string 120 is the sheet's caption).
    EXPECT_STREQ(GetMeasurementName(20), "");
    EXPECT_STREQ(GetMeasurementName(-1), "");
}

TEST(FiguronStrings, LanguageMarkerAndShapeNames)
{
    SetUiLanguage(UI_LANGUAGE_KOREAN);
    EXPECT_EQ(LoadFiguronString(IDS_LANGUAGE_MARKER), "KOR");
    EXPECT_EQ(LoadFiguronString(IDS_TOO_SMALL), "Too small!!");  // English where there is no Korean text
    SetUiLanguage(UI_LANGUAGE_ENGLISH);
    EXPECT_EQ(LoadFiguronString(IDS_LANGUAGE_MARKER), "ENG");
    EXPECT_EQ(LoadFiguronString(IDS_PROPERTY_SHEET_CAPTION), "Object Properties...");
    EXPECT_EQ(LoadFiguronString(9999), "");

    struct Case
    {
        int shape;
        const char* name;  // null: the shape is not named
    };
    const Case cases[] = {
        {0, "Point"},          {1, "Line"},           {2, "Rectangle"},     {6, "Poly Line"},
        {7, "Polygon"},        {8, nullptr},          {9, "Best Fit"},      {10, "Target"},
        {13, "Point to Point horizontally"},          {21, "3 Points Circle"}, {22, nullptr},
        {23, nullptr},         {24, "Auto-Edge Line"}, {27, "Angle Detection"}, {28, "Z-Indicator"},
        {29, "Group"},         {30, nullptr},         {31, nullptr},        {38, nullptr},
        {42, nullptr},         {43, "Curvature"},     {-1, nullptr},        {44, nullptr},
    };
    for (const Case& c : cases) {
        const uint32_t id = ShapeNameStringId(c.shape);
        if (c.name)
            EXPECT_EQ(LoadFiguronString(id), c.name) << "shape " << c.shape;
        else
            EXPECT_EQ(id, 0u) << "shape " << c.shape;
    }
}
