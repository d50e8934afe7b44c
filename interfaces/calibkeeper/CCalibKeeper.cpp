#include "calibkeeper/CCalibKeeper.h"

#include <cmath>

namespace {

bool IsUnit(int unit)
{
    return unit >= 0 && unit < kUnitTypeCount;
}

}  // namespace

int CCalibKeeper::Create(int unit, double pixelLength, double realLength, double magnification, double further1,
                         double further2, double further3, double further4)
{
    const double values[] = {pixelLength, realLength, magnification, further1, further2, further3, further4};
    for (double v : values)
        if (!std::isfinite(v))
            return 0;
    if (!IsUnit(unit) || !(pixelLength > 0.0) || !(realLength > 0.0))
        return 0;
    const double unitsPerPixel = realLength / pixelLength;
    if (!std::isfinite(unitsPerPixel) || !(unitsPerPixel > 0.0))
        return 0;  // a ratio that overflows or underflows gives no usable factor

    m_unit = static_cast<tagUNIT_TYPE>(unit);
    m_values = tagCALIBRATION{unitsPerPixel, magnification, pixelLength, realLength,
                              {further1, further2, further3, further4}};
    return 1;
}

int CCalibKeeper::SetUnitsPerPixel(double unitsPerPixel)
{
    // Every measurement divides by or multiplies with the factor: zero, negative or NaN would spoil them all.
    if (!std::isfinite(unitsPerPixel) || !(unitsPerPixel > 0.0))
        return 0;
    m_values.unitsPerPixel = unitsPerPixel;
    return 1;
}

int CCalibKeeper::SetMagnification(double magnification)
{
    if (!std::isfinite(magnification))
        return 0;
    m_values.magnification = magnification;
    return 1;
}

int CCalibKeeper::SetUnit(int unit)
{
    if (!IsUnit(unit))
        return 0;
    m_unit = static_cast<tagUNIT_TYPE>(unit);
    return 1;
}
