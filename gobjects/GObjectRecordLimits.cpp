#include "gobjects/private/GObjectRecordLimits.h"

#include "stream/LeStream.h"

#include <algorithm>
#include <cmath>
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

namespace {

double OriginReach(float ratio)
{
    return kMaxOriginCanvases * kMaxCanvasSide * std::max(1.0, static_cast<double>(ratio));
}

} // namespace

bool IsPlausibleView(CSize canvas, CPoint origin, float ratio)
{
    const auto side = [](int32_t v) { return v >= 0 && v <= kMaxCanvasSide; };
    const double reach = OriginReach(ratio);
    const auto near = [reach](int32_t v) { return std::abs(static_cast<double>(v)) <= reach; };
    return side(canvas.cx) && side(canvas.cy) && near(origin.x) && near(origin.y);
}

StreamView PlausibleView(float ratio, CSize canvas, CPoint origin)
{
    StreamView view{};
    view.ratio = (std::isfinite(ratio) && ratio > 0.0f) ? ratio : 1.0f;
    const auto side = [](int32_t v) { return std::clamp<int32_t>(v, 0, kMaxCanvasSide); };
    view.canvas = CSize(side(canvas.cx), side(canvas.cy));
    // A coordinate can lie beyond the reach only when the reach is below 2^31, so the casts are exact.
    const double reach = OriginReach(view.ratio);
    const auto near = [reach](int32_t v) {
        if (std::abs(static_cast<double>(v)) <= reach)
            return v;
        return static_cast<int32_t>(v < 0 ? -std::floor(reach) : std::floor(reach));
    };
    view.origin = CPoint(near(origin.x), near(origin.y));
    return view;
}
