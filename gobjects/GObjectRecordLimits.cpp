#include "GObjectRecordLimits.h"

#include "stream/LeStream.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

int64_t RemainingBytes(FILE* file)
{
    const int64_t here = ftello(file);
    if (here < 0 || fseeko(file, 0, SEEK_END) != 0)
        return std::numeric_limits<int64_t>::max();
    const int64_t end = ftello(file);
    fseeko(file, here, SEEK_SET);
    return end < here ? 0 : end - here;
}

namespace {

int32_t RecordsIn(int64_t bytes)
{
    return static_cast<int32_t>(std::min<int64_t>(bytes / kMinObjectRecordSize, std::numeric_limits<int32_t>::max()));
}

}  // namespace

int32_t MaxRecordsIn(FILE* file)
{
    return RecordsIn(RemainingBytes(file));
}

int32_t MaxRecordsIn(const LeReader& in)
{
    return RecordsIn(in.RemainingBytes());
}

bool IsPlausibleView(CSize canvas, CPoint origin, float ratio)
{
    const auto side = [](int32_t v) { return v >= 0 && v <= kMaxCanvasSide; };
    const double reach = kMaxOriginCanvases * kMaxCanvasSide * std::max(1.0, static_cast<double>(ratio));
    const auto near = [reach](int32_t v) { return std::abs(static_cast<double>(v)) <= reach; };
    return side(canvas.cx) && side(canvas.cy) && near(origin.x) && near(origin.y);
}
