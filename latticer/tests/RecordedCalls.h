// Reads the log of a CRecordingDC back into numbers: MoveTo/LineTo pairs as segments, and the calls of one name.
#pragma once

#include "gdi/CRecordingDC.h"

#include <string>
#include <vector>

namespace latticer_test {

struct Segment
{
    int x0, y0, x1, y1;
    bool operator==(const Segment&) const = default;
};

struct Call
{
    std::string name;
    std::string text;        // the quoted text, if any
    std::vector<int> numbers;
};

Call Parse(const std::string& logged);
std::vector<Call> CallsNamed(const CRecordingDC& dc, const std::string& name);
// Each LineTo with the position it starts from (the preceding MoveTo or LineTo).
std::vector<Segment> Segments(const CRecordingDC& dc);
// Texts of every DrawText, in order.
std::vector<std::string> Texts(const CRecordingDC& dc);

}  // namespace latticer_test
