#include "CCalibKeeper.h"

#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"

#include <string>

namespace {

struct UnitInfo
{
    const char* name;
    const char* symbol;
    double millimetres;  // length of one unit; 0 for the pixel, which has none
};

constexpr UnitInfo kUnits[kUnitTypeCount] = {
    {"픽셀", "px", 0.0},
    {"나노미터", "nm", 1e-6},
    {"마이크로미터", "µm", 1e-3},
    {"밀", "mil", 0.0254},
    {"밀리미터", "mm", 1.0},
    {"센티미터", "cm", 10.0},
    {"인치", "in", 25.4},
    {"미터", "m", 1000.0},
};

bool IsUnit(int unit)
{
    return unit >= 0 && unit < kUnitTypeCount;
}

// Writes the text at `at` with the background left alone when asked; restores the DC's mode.
int WriteText(CDC* dc, CPoint at, const std::string& text, bool draw, bool transparent)
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

const char* CCalibKeeper::GetUnitName(int unit)
{
    return IsUnit(unit) ? kUnits[unit].name : "";
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
    std::string text = kUnits[unit].symbol;
    if (squared)
        text += "²";
    return WriteText(dc, at, text, !measureOnly, transparent != 0);
}

int CCalibKeeper::DrawSymbolAngle(CDC* dc, CPoint at)
{
    if (!dc)
        return 0;
    return WriteText(dc, at, "°", true, true);
}
