#include "calibkeeper/CCalibKeeper.h"

#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"
#include "resources/StringTable.h"

#include <string_view>

namespace {

struct UnitInfo
{
    const char* storedName;  // the bytes companion programs read: the system's Korean word
    const char* symbol;
    const char* squaredSymbol;
    double millimetres;  // length of one unit; 0 for the pixel, which has none
};

constexpr UnitInfo kUnits[kUnitTypeCount] = {
    {"픽셀", "px", "px²", 0.0},
    {"나노미터", "nm", "nm²", 1e-6},
    {"마이크로미터", "µm", "µm²", 1e-3},
    {"밀", "mil", "mil²", 0.0254},
    {"밀리미터", "mm", "mm²", 1.0},
    {"센티미터", "cm", "cm²", 10.0},
    {"인치", "in", "in²", 25.4},
    {"미터", "m", "m²", 1000.0},
};

// The names the user reads: string 100 + unit of the library's table.
constexpr const char kModule[] = "CalibKeeper";
constexpr uint32_t kFirstUnitName = 100;
const StringTableRegistrar kStrings(kModule, {
    {kFirstUnitName + UNIT_PIXEL, "Pixel", "픽셀"},
    {kFirstUnitName + UNIT_NANOMETER, "Nanometer", "나노미터"},
    {kFirstUnitName + UNIT_MICROMETER, "Micrometer", "마이크로미터"},
    {kFirstUnitName + UNIT_MIL, "Mil", "밀"},
    {kFirstUnitName + UNIT_MILLIMETER, "Millimeter", "밀리미터"},
    {kFirstUnitName + UNIT_CENTIMETER, "Centimeter", "센티미터"},
    {kFirstUnitName + UNIT_INCH, "Inch", "인치"},
    {kFirstUnitName + UNIT_METER, "Meter", "미터"},
});

bool IsUnit(int unit)
{
    return unit >= 0 && unit < kUnitTypeCount;
}

// Writes the text at `at` with the background left alone when asked; restores the DC's mode. Every label writes
// its symbol on every paint: the texts are constants, and the DC keeps their measure and glyphs per font.
int WriteText(CDC* dc, CPoint at, std::string_view text, bool draw, bool transparent)
{
    const int width = dc->GetTextExtent(text).cx;
    if (draw) {
        const int oldMode = transparent ? dc->SetBkMode(TRANSPARENT) : 0;
        dc->TextOut(at.x, at.y, text);
        if (transparent)
            dc->SetBkMode(oldMode);
    }
    return width;
}

}  // namespace

tagUNIT_TYPE CCalibKeeper::GetUnitType(int index)
{
    return IsUnit(index) ? static_cast<tagUNIT_TYPE>(index) : UNIT_PIXEL;
}

std::string CCalibKeeper::GetUnitName(int unit)
{
    return IsUnit(unit) ? LoadString(kModule, kFirstUnitName + static_cast<uint32_t>(unit)) : std::string();
}

const char* CCalibKeeper::GetStoredUnitName(int unit)
{
    return IsUnit(unit) ? kUnits[unit].storedName : "";
}

const char* CCalibKeeper::GetSymbolString(int unit)
{
    return IsUnit(unit) ? kUnits[unit].symbol : "";
}

void CCalibKeeper::ChangeUnit(int from, int to, double& value)
{
    if (!IsUnit(from) || !IsUnit(to) || from == to || from == UNIT_PIXEL)
        return;
    if (to == UNIT_PIXEL) {
        value = 1.0;
        return;
    }
    value = value * kUnits[from].millimetres / kUnits[to].millimetres;
}

int CCalibKeeper::DrawSymbol(CDC* dc, CPoint at, int unit, int squared, int measureOnly, int transparent)
{
    if (!dc || !IsUnit(unit))
        return 0;
    return WriteText(dc, at, squared ? kUnits[unit].squaredSymbol : kUnits[unit].symbol, !measureOnly,
                     transparent != 0);
}

int CCalibKeeper::DrawSymbolAngle(CDC* dc, CPoint at)
{
    if (!dc)
        return 0;
    return WriteText(dc, at, "°", true, true);
}
