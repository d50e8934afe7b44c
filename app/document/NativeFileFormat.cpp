// The document file's records, field by field. The reader takes everything into locals and hands it over only
// after the last record (the overlay, whose own reader is all-or-nothing) read well.
#include "document/NativeFile.h"

#include "gobjects/CQvGObjectContainer.h"
#include "qvimage/QvImageRecord.h"
#include "stream/LeStream.h"

#include <cmath>
#include <cstdlib>
#include <strings.h>
#include <utility>
#include <vector>

namespace {

// Digits after the point beyond this are not a setting any build wrote (the overlay refuses them too).
constexpr int32_t kMaxDecimals = 20;
// Beyond these a grid would take seconds to paint or a glyph cache would fill memory; no dialog offers them.
constexpr int32_t kMaxPenWidth = 256;
constexpr int32_t kMaxFontSize = 1000;
constexpr int32_t kMaxTickLength = 10000;
constexpr uint32_t kLastPenStyle = 6;  // PS_INSIDEFRAME

void WritePen(LeWriter& out, const LOGPEN& pen)
{
    out.UInt32(pen.lopnStyle);
    out.Int32(pen.lopnWidth.x);
    out.Int32(pen.lopnWidth.y);
    out.UInt32(pen.lopnColor);
}

LOGPEN ReadPen(LeReader& in)
{
    LOGPEN pen{};
    pen.lopnStyle = in.UInt32();
    pen.lopnWidth.x = in.Int32();
    pen.lopnWidth.y = in.Int32();
    pen.lopnColor = in.UInt32();
    return pen;
}

bool Within(int32_t value, int32_t low, int32_t high)
{
    return value >= low && value <= high;
}

// Values a paint of the grid can take without looping for ever or drawing for minutes.
bool IsDrawableGrid(const CLatticer& grid)
{
    return std::isfinite(grid.upp) && std::isfinite(grid.gap) && Within(grid.canvas.cx, 0, kQvMaxImageSide) &&
           Within(grid.canvas.cy, 0, kQvMaxImageSide) && grid.pen.lopnStyle <= kLastPenStyle &&
           Within(grid.pen.lopnWidth.x, 0, kMaxPenWidth) && Within(grid.font.lfHeight, -kMaxFontSize, kMaxFontSize) &&
           Within(grid.font.lfWidth, 0, kMaxFontSize) && Within(grid.tickLength, -kMaxTickLength, kMaxTickLength);
}

}  // namespace

int WriteNativeFile(FILE* file, const NativeFileRecord& record)
{
    if (!file || !record.image || !record.overlay)
        return 0;
    if (QVWriteImage(file, record.image) != 1)
        return 0;

    std::vector<unsigned char> fixed;
    fixed.reserve(kNativeFixedBytes);
    {
        LeWriter out(fixed);
        const NativePreferenceInts& p = record.preferences;
        out.Int32(p.decimalPointRange);
        out.Int32(p.displayData);
        out.Int32(p.displayMark);
        out.Int32(p.displayName);
        out.Int32(p.autoColor);
        out.Int32(p.displayRealtime);
        out.Zeros(8);
        const CLatticer& g = record.grid;
        out.Int32(g.show);
        out.Int32(g.type);
        out.Double(g.upp);  // ahead of gap in the file, unlike in the grid
        out.Float(g.gap);
        out.Int32(g.canvas.cx);
        out.Int32(g.canvas.cy);
        WritePen(out, g.pen);
        WritePen(out, g.pen2);
        out.LogFont(g.font);
        out.Int32(g.ruler);
        out.Int32(g.reserved2);
        out.Int32(g.tickLength);
        out.UInt32(g.color2);
        if (!out.ok())
            return 0;
    }
    LeWriter to(file);
    to.Bytes(fixed.data(), fixed.size());
    if (!to.ok() || fixed.size() != kNativeFixedBytes)
        return 0;
    if (record.calibration.Write(file) != 1)
        return 0;
    return record.overlay->Write(file) == 1 ? 1 : 0;
}

int ReadNativeFile(FILE* file, NativeFileRecord& record)
{
    if (!file || !record.image || !record.overlay)
        return 0;
    CQvImage image;
    if (QVReadImage(file, &image) != 1)
        return 0;

    NativePreferenceInts preferences;
    CLatticer grid = record.grid;
    {
        // Plain reads: the calibration and overlay readers go on at the exact position after these bytes.
        LeReader in(file);
        preferences.decimalPointRange = in.Int32();
        preferences.displayData = in.Int32();
        preferences.displayMark = in.Int32();
        preferences.displayName = in.Int32();
        preferences.autoColor = in.Int32();
        preferences.displayRealtime = in.Int32();
        in.Skip(8);
        grid.show = in.Int32();
        grid.type = in.Int32();
        grid.upp = in.Double();
        grid.gap = in.Float();
        grid.canvas.cx = in.Int32();
        grid.canvas.cy = in.Int32();
        grid.pen = ReadPen(in);
        grid.pen2 = ReadPen(in);
        grid.font = in.LogFont();
        grid.ruler = in.Int32();
        grid.reserved2 = in.Int32();
        grid.tickLength = in.Int32();
        grid.color2 = in.UInt32();
        if (!in.ok() || !Within(preferences.decimalPointRange, 0, kMaxDecimals) || !IsDrawableGrid(grid))
            return 0;
    }

    CCalibKeeper calibration = record.calibration;
    if (calibration.Read(file) != 1)
        return 0;
    // The last record: its reader changes the overlay only when the whole stream was good.
    if (record.overlay->Read(file) != 1)
        return 0;

    *record.image = std::move(image);
    record.preferences = preferences;
    record.grid = grid;
    record.calibration = std::move(calibration);
    return 1;
}

bool IsNativeFilePath(const std::string& path)
{
    const std::string extension = kNativeFileExtension;
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.size() > extension.size() &&
           strcasecmp(name.c_str() + name.size() - extension.size(), extension.c_str()) == 0;
}
