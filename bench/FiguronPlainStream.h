// The stream peers of the overlay benchmarks: the overlay stream of measurements with value labels as plain
// records, a hand-written parser and writer of their bytes, and the measure of each label's text through the same
// measuring DC and text cache the labels use. Only the records the benchmarks write (base records of lines and
// labels, stream version 1.5) are understood; the default set and display settings after the records are carried
// as bytes (a few KiB, the same for any overlay).
#pragma once

#include "gdi/CFont.h"
#include "types/WinGeometry.h"
#include "types/WinRecords.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct PlainProperty
{
    std::string name;
    std::string comment;
    LOGFONTA font{};
    std::array<int32_t, 19> attributes{};
};

struct PlainRecord
{
    int32_t shape = 0;
    std::vector<double> coordinates;  // x, y, x, y, ...
    std::vector<PlainRecord> labels;
    PlainProperty property;
    int32_t dispType = 0;
    int32_t calType = 0;
    int32_t dataKind = 0;
    double value1 = 0.0;
    double value2 = 0.0;
    int32_t kind = 0;
};

struct PlainOverlay
{
    std::array<unsigned char, 24> header{};  // version, ratio, origin, pixel centring, count
    std::vector<PlainRecord> records;
    std::vector<unsigned char> tail;
};

// False for a stream that is short or holds a record of another layout.
bool ParsePlainOverlay(const std::vector<unsigned char>& bytes, PlainOverlay& overlay);
// The stream's bytes, assembled in memory.
std::vector<unsigned char> EmitPlainOverlay(const PlainOverlay& overlay);
// The box of a value label showing its value with the pixel unit, measured as the label sizes itself: the text in
// the label's font (strike-out off) through the thread's measuring DC, plus the unit symbol and two pixels. The
// unit symbol is measured once per font.
class PlainLabelMeasure
{
public:
    CSize Measure(const PlainProperty& label);

private:
    bool m_haveFont = false;
    LOGFONTA m_font{};
    CFont m_cfont;
    int m_symbolWidth = -1;  // in the font, measured once
};
// Every label of every record measured, in order.
std::vector<CSize> MeasurePlainLabels(const PlainOverlay& overlay);
