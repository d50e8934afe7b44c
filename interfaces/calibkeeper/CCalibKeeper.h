// One named spatial calibration: how long one image pixel is in a unit of length at a lens magnification, plus
// the static unit helpers (conversion, names, symbols, drawing of unit symbols) every measurement display uses.
//
// Choices this library makes:
// - Units (tagUNIT_TYPE): 0 pixel, 1 nanometre, 2 micrometre, 3 mil (1/1000 inch), 4 millimetre, 5 centimetre,
//   6 inch, 7 metre. A unit has two names: the one the user reads, in the UI language (the library's string
//   table "CalibKeeper"; unit 0 reads like the toolbar's unit box before a calibration is chosen), and the one
//   written for companion programs, which never changes with the language. Symbols are the short Latin ones
//   ("px", "nm", "µm", ...). Texts are UTF-8.
// - Create(unit, pixelLength, realLength, magnification, further1..further4): units per pixel = realLength /
//   pixelLength; the four further values are kept and stored as given. Name and scale length are left as they are.
// - A new calibration: no name, unit 0 (pixel), 1 unit per pixel, magnification -1 (none), lengths 1 and 1,
//   further values 1, 0, 0, 0, scale length 100.
// - Units per pixel is always finite and above 0: every setter and the reader refuse anything else.
// Not thread-safe; a value type (copy and assignment copy everything).
#pragma once

#include "types/VistrelExport.h"
#include "types/WinGeometry.h"

#include <cstdint>
#include <cstdio>
#include <string>

class CDC;

enum tagUNIT_TYPE
{
    UNIT_PIXEL = 0,
    UNIT_NANOMETER = 1,
    UNIT_MICROMETER = 2,
    UNIT_MIL = 3,
    UNIT_MILLIMETER = 4,
    UNIT_CENTIMETER = 5,
    UNIT_INCH = 6,
    UNIT_METER = 7,
};

constexpr int kUnitTypeCount = 8;

// The plain values of a calibration; the first field is the length of one pixel in the calibration's unit.
struct tagCALIBRATION
{
    double unitsPerPixel;
    double magnification;   // -1 or 0: no magnification
    double pixelLength;     // the reference length in pixels the factor was made from
    double realLength;      // the same length in the unit
    double further[4];      // the remaining Create values, kept unchanged
};

class VISTREL_EXPORT CCalibKeeper
{
public:
    CCalibKeeper() = default;

    // Returns 1; 0 (nothing changed) for a unit outside 0..7, a length not above 0 or a value not finite.
    int Create(int unit, double pixelLength, double realLength, double magnification, double further1,
               double further2, double further3, double further4);

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }

    double GetUnitsPerPixel() const { return m_values.unitsPerPixel; }
    // Returns 1; 0 (nothing changed) for a value that is not finite or not above 0.
    int SetUnitsPerPixel(double unitsPerPixel);
    double GetMagnification() const { return m_values.magnification; }
    // Returns 1; 0 (nothing changed) for a value that is not finite.
    int SetMagnification(double magnification);
    tagUNIT_TYPE GetUnit() const { return m_unit; }
    // Returns 1; 0 (nothing changed) for a unit outside 0..7. The factor is not converted (see ChangeUnit).
    int SetUnit(int unit);
    // The length of the scale marker's bar, in the calibration's unit.
    int GetScaleLength() const { return m_scaleLength; }
    void SetScaleLength(int length) { m_scaleLength = length; }
    const tagCALIBRATION* GetCalibration() const { return &m_values; }

    // The stored record (little-endian): "CALK", uint32 version 1, uint32 name byte count n (at most
    // kMaxNameBytes), n name bytes, int32 unit, doubles units per pixel, magnification, pixel length, real
    // length, further 1..4, int32 scale length. Write returns 1 when every byte was written.
    int Write(FILE* file) const;
    // Returns 1; 0 leaving the calibration unchanged for a short, foreign, newer or out-of-range record (the
    // stream is then left somewhere inside it).
    int Read(FILE* file);
    static constexpr uint32_t kRecordVersion = 1;
    static constexpr uint32_t kMaxNameBytes = 1024;

    // The unit at position index of the unit list (0..7); UNIT_PIXEL for any other index.
    static tagUNIT_TYPE GetUnitType(int index);
    // The unit's name in the UI language; "" for a unit outside 0..7.
    static std::string GetUnitName(int unit);
    // The unit's name as files and messages for companion programs carry it, whatever the UI language; "" for a
    // unit outside 0..7.
    static const char* GetStoredUnitName(int unit);
    static const char* GetSymbolString(int unit);
    // Converts a length from one unit to another in place. Into pixels it becomes 1 (a pixel is one pixel long:
    // the calibration is given up); out of pixels, between equal units or with a unit outside 0..7 it is kept.
    static void ChangeUnit(int from, int to, double& value);

    // Writes the unit's symbol, followed by "²" when squared is nonzero, with its top-left corner at `at` in the
    // DC's font and text colour; nothing is drawn when measureOnly is nonzero. With transparent nonzero the
    // background behind the text is left alone, else the DC's background mode applies. Returns the width in
    // pixels; the DC's state is as before.
    static int DrawSymbol(CDC* dc, CPoint at, int unit, int squared, int measureOnly, int transparent);
    // Writes "°" like DrawSymbol (transparent); returns its width in pixels.
    static int DrawSymbolAngle(CDC* dc, CPoint at);

private:
    std::string m_name;
    tagUNIT_TYPE m_unit = UNIT_PIXEL;
    tagCALIBRATION m_values{1.0, -1.0, 1.0, 1.0, {1.0, 0.0, 0.0, 0.0}};
    int m_scaleLength = 100;
};
