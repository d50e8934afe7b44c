#include "gobjects/geometry/EdgeProfile.h"

#include "gobjects/geometry/ChunkRunner.h"
#include "gobjects/geometry/GeoFunctions.h"

#include "qvimage/CQvImage.h"
#include "types/Rounding.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>

namespace {

bool IsGrey(int type)
{
    return type == QV_GRAY || type == QV_GRAY8;
}

bool IsIndexed(int type)
{
    return (type >= QV_INDEX1 && type <= QV_INDEX7) || type == QV_INDEX8;
}

// A row of colour pixels weighted as WeightedGrey weighs them, in 16-bit lanes the compiler vectorises:
// 307 R + 604 G + 113 B = 4 (76 R + 151 G + 28 B) + (3 R + B), so the grey is (A + ((3 R + B) >> 2)) >> 8 with
// A = 76 R + 151 G + 28 B, and every sum stays below 65536. Built for AVX2 as well, chosen when the processor
// has it (the byte shuffles of 3-byte pixels need it).
#define VISTREL_WEIGHT_ROW(name, bytes)                                                                        \
    __attribute__((target_clones("avx2", "default"))) void name(const BYTE* __restrict in, BYTE* __restrict out, \
                                                                int width)                                     \
    {                                                                                                          \
        for (int x = 0; x < width; ++x) {                                                                      \
            const uint16_t b = in[(bytes) * x];                                                                \
            const uint16_t g = in[(bytes) * x + 1];                                                            \
            const uint16_t r = in[(bytes) * x + 2];                                                            \
            const uint16_t a = static_cast<uint16_t>(76 * r + 151 * g + 28 * b);                               \
            out[x] = static_cast<BYTE>(static_cast<uint16_t>(a + static_cast<uint16_t>((3 * r + b) >> 2)) >> 8); \
        }                                                                                                      \
    }
VISTREL_WEIGHT_ROW(WeightRow3, 3)
VISTREL_WEIGHT_ROW(WeightRow4, 4)
#undef VISTREL_WEIGHT_ROW

// Pictures from this size on are converted on several threads, at most this many.
constexpr int64_t kParallelPixels = int64_t{1} << 21;
constexpr unsigned kMaxThreads = 8;
constexpr int kRowsPerChunk = 64;
// The profiles a thread takes at a time: a chunk's first profile needs the noise estimate of the one before it,
// sampled again, which a chunk this long makes a small cost; a helper held up in the middle of a chunk holds the
// caller up for no longer than the chunk takes.
constexpr int kProfilesPerChunk = 16;

// One pass of the tools' window of three samples over [start, end) (end - start >= 2), cut to two at the ends.
void SmoothThree(const int64_t* in, int64_t* out, int start, int end)
{
    out[start] = (in[start] + in[start + 1]) / 2;
    for (int t = start + 1; t < end - 1; ++t)
        out[t] = (in[t - 1] + in[t] + in[t + 1]) / 3;
    out[end - 1] = (in[end - 2] + in[end - 1]) / 2;
}

// C division of a window's sum by its sample count. The usual counts are divided by constants, which the compiler
// turns into multiplications: a 64-bit division by a variable takes tens of cycles, and a tool divides hundreds of
// thousands of window sums on one finish.
int64_t DivideByCount(int64_t sum, int count)
{
    switch (count) {
    case 1: return sum;
    case 2: return sum / 2;
    case 3: return sum / 3;
    default: return sum / count;
    }
}

// Index of a float position on the sample grid.
int At(float position)
{
    return RoundHalfAway(position);
}

}  // namespace

int ToGray8(const CQvImage* source, CQvImage* destination)
{
    if (!source || !destination || source->IsEmpty() || destination->IsEmpty())
        return 0;
    const int width = source->GetWidth();
    const int height = source->GetHeight();
    if (destination->GetWidth() != width || destination->GetHeight() != height ||
        !IsGrey(destination->GetColorModel()))
        return 0;
    const int type = source->GetColorModel();
    BYTE lut[256] = {};
    if (IsIndexed(type)) {
        const RGBQUAD* palette = source->GetPalette();
        for (int i = 0; i < source->GetPaletteCount() && i < 256; ++i)
            lut[i] = WeightedGrey(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue);
    } else if (!IsGrey(type) && type != QV_RGB && type != QV_RGB24 && type != QV_RGBA32) {
        return 0;
    }
    const int bytes = source->GetBitsPerPixel() / 8;
    const auto convertRows = [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            // Both images keep rows top-down: pixel (x, y) stays at (x, y) for every colour model.
            const BYTE* in = source->GetPixel(0, y);
            BYTE* out = destination->GetPixel(0, y);
            if (IsGrey(type)) {
                std::copy(in, in + width, out);
            } else if (IsIndexed(type)) {
                for (int x = 0; x < width; ++x)
                    out[x] = lut[in[x]];
            } else if (bytes == 3) {
                WeightRow3(in, out, width);
            } else {
                WeightRow4(in, out, width);
            }
        }
    };
    // A camera picture of many megapixels is converted on every tool's finish: its rows are shared out over the
    // processor's cores (each chunk writes rows of its own), small pictures stay on the calling thread.
    const bool parallel = int64_t{width} * height >= kParallelPixels;
    const int chunks = parallel ? (height + kRowsPerChunk - 1) / kRowsPerChunk : 1;
    RunChunks(chunks, parallel ? static_cast<int>(kMaxThreads) - 1 : 0, [&](int chunk) {
        convertRows(chunk * kRowsPerChunk, parallel ? std::min(height, (chunk + 1) * kRowsPerChunk) : height);
    });
    return 1;
}

CGreyPixels::CGreyPixels(const CQvImage* image)
{
    if (!image || image->IsEmpty())
        return;
    const int type = image->GetColorModel();
    if (IsIndexed(type)) {
        m_kind = Kind::kIndexed;
        const RGBQUAD* palette = image->GetPalette();
        for (int i = 0; palette && i < image->GetPaletteCount() && i < 256; ++i)
            m_lut[static_cast<size_t>(i)] = WeightedGrey(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue);
    } else if (IsGrey(type)) {
        m_kind = Kind::kGrey;
    } else if (type == QV_RGB || type == QV_RGB24 || type == QV_RGBA32) {
        m_kind = Kind::kColour;
    } else {
        return;
    }
    m_bytes = static_cast<size_t>(image->GetBitsPerPixel() / 8);
    m_stride = static_cast<size_t>(image->GetStride());
    m_width = image->GetWidth();
    m_height = image->GetHeight();
    m_pixels = image->GetPixel(0, 0);
}

namespace {

template <typename Grey>
void AddSamplesOf(const BYTE* pixels, size_t stride, size_t bytes, int width, int height, double x0, double y0,
                  double dx, double dy, int count, int64_t* sums, Grey grey)
{
    const auto pixel = [&](double px, double py) {
        return pixels + static_cast<size_t>(static_cast<int>(py)) * stride +
               static_cast<size_t>(static_cast<int>(px)) * bytes;
    };
    // The pixel holding (x, y) is (trunc x, trunc y): inside exactly when -1 < x < width and -1 < y < height.
    const auto inside = [&](double px, double py) { return px > -1.0 && px < width && py > -1.0 && py < height; };
    // i taken as a float is i itself below 2^24. The positions move monotonically along the line (each rounding
    // keeps the order), so a line whose two ends are inside lies inside throughout: the tools' profiles almost
    // always do, and skip the test and the conversions per sample.
    constexpr int kExactFloats = 1 << 24;
    if (count > 0 && count <= kExactFloats) {
        const double last = count - 1;
        if (inside(x0, y0) && inside(x0 + last * dx, y0 + last * dy)) {
            for (int i = 0; i < count; ++i) {
                const double r = i;
                sums[i] += grey(pixel(x0 + r * dx, y0 + r * dy));
            }
            return;
        }
    }
    for (int i = 0; i < count; ++i) {
        const double r = static_cast<float>(i);
        const double x = x0 + r * dx;
        const double y = y0 + r * dy;
        if (inside(x, y))
            sums[i] += grey(pixel(x, y));
    }
}

}  // namespace

void CGreyPixels::AddSamples(double x0, double y0, double dx, double dy, int count, int64_t* sums) const
{
    if (!m_pixels)
        return;
    switch (m_kind) {
    case Kind::kGrey:
        AddSamplesOf(m_pixels, m_stride, 1, m_width, m_height, x0, y0, dx, dy, count, sums,
                     [](const BYTE* p) { return *p; });
        break;
    case Kind::kIndexed:
        AddSamplesOf(m_pixels, m_stride, 1, m_width, m_height, x0, y0, dx, dy, count, sums,
                     [this](const BYTE* p) { return m_lut[*p]; });
        break;
    case Kind::kColour:
        AddSamplesOf(m_pixels, m_stride, m_bytes, m_width, m_height, x0, y0, dx, dy, count, sums,
                     [](const BYTE* p) { return WeightedGrey(p[2], p[1], p[0]); });
        break;
    }
}

CEdgeProfile::CEdgeProfile() = default;

// ---- line helpers

int CEdgeProfile::GetLineEquation(const _RPOINT& p1, const _RPOINT& p2, double& a, double& b)
{
    if (p1.x == p2.x) {
        if (p1.y == p2.y)
            return 0;
        a = p1.x;
        b = 0.0;
        return 2;
    }
    a = (p1.y - p2.y) / (p1.x - p2.x);
    b = p1.y - p1.x * a;
    return 1;
}

int CEdgeProfile::GetLineGradient(const _RPOINT& p1, const _RPOINT& p2, double& m)
{
    if (p1.x == p2.x)
        return 0;
    m = (p2.y - p1.y) / (p2.x - p1.x);
    return 1;
}

int CEdgeProfile::GetLineInterceptX(const _RPOINT& p1, const _RPOINT& p2, float& x)
{
    if (p1.y == p2.y)
        return 0;
    if (p1.x == p2.x) {
        x = static_cast<float>(p1.x);
        return 2;
    }
    const double m = (p2.y - p1.y) / (p2.x - p1.x);
    x = static_cast<float>(-(p1.y - p1.x * m) / m);
    return 1;
}

int CEdgeProfile::GetLineInterceptY(const _RPOINT& p1, const _RPOINT& p2, double& y)
{
    if (p1.x == p2.x)
        return 0;
    if (p1.y == p2.y) {
        y = p1.y;
        return 2;
    }
    const double m = (p2.y - p1.y) / (p2.x - p1.x);
    y = p1.y - p1.x * m;
    return 1;
}

double CEdgeProfile::GetLineInterceptY(const _RPOINT& p, const double& m)
{
    return p.y - p.x * m;
}

// ---- clipping

int CEdgeProfile::CheckBound(_RPOINT& start, _RPOINT& end, const CRect& bounds)
{
    auto inside = [&](const _RPOINT& p) {
        const double x = std::trunc(p.x);
        const double y = std::trunc(p.y);
        return x >= bounds.left && x < bounds.right && y >= bounds.top && y < bounds.bottom;
    };
    const bool endInside = inside(end);
    if (inside(start) && endInside)
        return 1;
    double a = 0.0;
    double b = 0.0;
    const int code = GetLineEquation(start, end, a, b);
    if (code == 0)
        return 0;
    // Moves p onto the bounds along the line; false when the line never meets that side. `other` is the
    // segment's other end, whose x (or y) the moved point must not take.
    auto clip = [&](_RPOINT& p, const _RPOINT& other) {
        const double x = std::trunc(p.x);
        if (x < bounds.left || x >= bounds.right) {
            const double nx = x < bounds.left ? bounds.left : bounds.right - 1;
            if (other.x == p.x || other.x == nx)
                return false;
            if (code == 1)
                p.y = a * nx + b;
            p.x = nx;
        }
        const double y = std::trunc(p.y);
        if (y < bounds.top || y >= bounds.bottom) {
            const double ny = y < bounds.top ? bounds.top : bounds.bottom - 1;
            if (other.y == p.y || other.y == ny)
                return false;
            if (code == 1)
                p.x = (ny - b) / a;
            p.y = ny;
        }
        return true;
    };
    // The points are tested on their clipped copies and change only when the whole clipping succeeds.
    _RPOINT s = start;
    _RPOINT e = end;
    if (!inside(s) && !clip(s, e))
        return 0;
    if (endInside) {
        start = s;
        return 1;
    }
    if (!clip(e, s))
        return 0;
    start = s;
    end = e;
    return code;
}

// ---- profile state

void CEdgeProfile::CreateData(int samples)
{
    // Statistics of the data about to go keep what they described.
    for (int buffer = 0; buffer < 8; ++buffer)
        if (m_statsPending[buffer] != kNothingPending)
            GetStatistics(buffer / 2, buffer % 2);
    m_samples = std::max(samples, 0);
    const size_t n = static_cast<size_t>(m_samples);
    m_positions.assign(n, _RPOINT{-1.0, -1.0});
    m_marks.assign(n, -1);
    for (auto& buffer : m_data)
        buffer.assign(n, 0);
    m_present.fill(0);
    m_rangeStart = {0, 0, 1, 1};
    m_rangeEnd = {m_samples, m_samples - 1, m_samples - 1, m_samples - 2};
    for (int k = 0; k < 4; ++k)
        m_rangeEnd[k] = std::max(m_rangeEnd[k], m_rangeStart[k]);
}

void CEdgeProfile::CleanData()
{
    m_samples = 0;
    m_positions.clear();
    m_marks.clear();
    for (auto& buffer : m_data)
        buffer.clear();
    m_present.fill(0);
    m_stats.fill(Statistics{});
    m_statsPending.fill(kNothingPending);
    m_rangeStart.fill(0);
    m_rangeEnd.fill(0);
}

int CEdgeProfile::PrCreate(const CQvImage* image, _RPOINT start, _RPOINT end)
{
    return PrCreate(CGreyPixels(image), start, end);
}

int CEdgeProfile::SampleProfile(const CGreyPixels& grey, _RPOINT start, _RPOINT end)
{
    if (!grey.IsValid())
        return 0;
    const int width = grey.GetWidth();
    const int height = grey.GetHeight();
    CheckBound(start, end, CRect(5, 5, width - 5, height - 5));
    auto outside = [&](const _RPOINT& p) { return p.x < 0 || p.x > width - 5 || p.y < 0 || p.y > height - 5; };
    if (outside(start) || outside(end))
        return 0;
    const int samples = static_cast<int>(std::floor(std::hypot(start.y - end.y, start.x - end.x)));
    CleanData();
    // Fewer than 4 samples leave no third difference to confirm a step with.
    if (samples < 4)
        return 0;
    CreateData(samples);
    m_start = start;
    m_end = end;
    m_image = grey;

    // SetBase(1, 0), then SetBase(3, 0) adding the lines at -1, 0 and +1 to the centre line already there: the
    // line at 0 is the centre line itself, so it is doubled instead of read again.
    const Directions d = FindDirections();
    AddLine(d, 0);
    PlaceSamples(d);
    const Statistics& centre = Extremes(Buffer(kProfile, kRaw));
    if (static_cast<double>(centre.maximum - centre.minimum) / 255.0 < 0.3)
        return 0;
    for (int64_t& v : m_data[Buffer(kProfile, kRaw)])
        v *= 2;
    AddLine(d, -1);
    AddLine(d, 1);
    // The positions stand as the centre line placed them; the raw profile's statistics cover all three lines.
    FindStatistics(kProfile, kRaw, 0, m_samples);
    return 1;
}

int CEdgeProfile::PassesFromNoise() const
{
    const int passes = RoundHalfAway(FindSmoothCount());
    return passes >= 1 ? passes : 1;
}

int CEdgeProfile::PrCreate(const CGreyPixels& grey, _RPOINT start, _RPOINT end)
{
    if (!SampleProfile(grey, start, end))
        return 0;
    SmoothProfile();
    m_passes[kProfile] = PassesFromNoise();
    m_passes[kGradient] = m_passes[kLaplacian] = m_passes[kThirdDifference] = 1;
    SetAnalysisData();
    return 1;
}

void CEdgeProfile::FindSinglePoints(const CGreyPixels& grey, const std::vector<Segment>& segments,
                                    std::vector<_RPOINT>& points, std::vector<char>& found)
{
    const int count = static_cast<int>(segments.size());
    points.assign(segments.size(), _RPOINT{0.0, 0.0});
    found.assign(segments.size(), 0);
    const int chunks = (count + kProfilesPerChunk - 1) / kProfilesPerChunk;
    const std::array<int, 4> passesBefore = m_passes;
    // Per chunk: whether it accepted a profile, and the passes its last accepted profile left; both are read by
    // other chunks once `done` says they are complete.
    std::vector<char> accepted(static_cast<size_t>(chunks), 0);
    std::vector<std::array<int, 4>> passesLeft(static_cast<size_t>(chunks), passesBefore);
    const auto done = std::make_unique<std::atomic<bool>[]>(static_cast<size_t>(chunks));
    const std::array<int, 4> halfWindow = m_halfWindow;
    // Each chunk writes only its own entries of the results.
    RunChunks(chunks, static_cast<int>(kMaxThreads) - 1, [&](int chunk) {
        // One analyser per thread, kept from chunk to chunk and call to call: its buffers are allocated once.
        // Sampling a profile sets every buffer, statistic and step list anew; the settings are set here.
        thread_local CEdgeProfile analyser;
        const int first = chunk * kProfilesPerChunk;
        const int last = std::min(count, first + kProfilesPerChunk);
        analyser.m_halfWindow = halfWindow;
        analyser.m_passes = passesBefore;
        // The profile accepted last before this chunk left the pass count its first one is smoothed with. The
        // chunks before are usually complete (a thread takes them in order), and then they tell it; otherwise
        // that profile is sampled again.
        bool known = true;
        for (int c = chunk - 1; c >= 0; --c) {
            if (!done[static_cast<size_t>(c)].load(std::memory_order_acquire)) {
                known = false;
                break;
            }
            if (accepted[static_cast<size_t>(c)]) {
                analyser.m_passes[kProfile] = passesLeft[static_cast<size_t>(c)][kProfile];
                break;
            }
        }
        for (int k = first - 1; !known && k >= 0; --k) {
            const Segment& s = segments[static_cast<size_t>(k)];
            if (analyser.SampleProfile(grey, s.start, s.end)) {
                analyser.m_passes[kProfile] = analyser.PassesFromNoise();
                break;
            }
        }
        for (int i = first; i < last; ++i) {
            const Segment& s = segments[static_cast<size_t>(i)];
            if (!analyser.PrCreate(grey, s.start, s.end))
                continue;
            accepted[static_cast<size_t>(chunk)] = 1;
            _RPOINT edge{};
            if (analyser.FirstStep(edge)) {
                points[static_cast<size_t>(i)] = edge;
                found[static_cast<size_t>(i)] = 1;
            }
        }
        passesLeft[static_cast<size_t>(chunk)] = analyser.m_passes;
        done[static_cast<size_t>(chunk)].store(true, std::memory_order_release);
    });
    for (int c = chunks - 1; c >= 0; --c)
        if (accepted[static_cast<size_t>(c)]) {
            m_passes = passesLeft[static_cast<size_t>(c)];
            break;
        }
    CleanData();
}

void CEdgeProfile::SetBase(int width, int smooth)
{
    if (!m_image.IsValid() || m_samples == 0)
        return;
    const Directions d = FindDirections();
    const int first = static_cast<int>(std::trunc(-width / 2.0));
    for (int j = 0; j < width; ++j)
        AddLine(d, first + j);
    PlaceSamples(d);
    if (smooth)
        SmoothProfile();
}

CEdgeProfile::Directions CEdgeProfile::FindDirections() const
{
    const double theta = GetLineAngle(m_start.x, m_start.y, m_end.x, m_end.y);
    const float along = static_cast<float>(theta);
    const float across = static_cast<float>(theta + std::numbers::pi / 2);
    // GetPolarPointF's sums with the cosines and sines taken once: the same positions, bit for bit.
    return {std::cos(static_cast<double>(along)), std::sin(static_cast<double>(along)),
            std::cos(static_cast<double>(across)), std::sin(static_cast<double>(across))};
}

void CEdgeProfile::AddLine(const Directions& d, int offset)
{
    const double across = static_cast<float>(offset);
    m_image.AddSamples(m_start.x + across * d.cosAcross, m_start.y + across * d.sinAcross, d.cosAlong, d.sinAlong,
                       m_samples, m_data[Buffer(kProfile, kRaw)].data());
}

void CEdgeProfile::PlaceSamples(const Directions& d)
{
    for (int i = 0; i < m_samples; ++i) {
        const double r = static_cast<float>(i);
        m_positions[static_cast<size_t>(i)] = {m_start.x + r * d.cosAlong, m_start.y + r * d.sinAlong};
    }
    m_present[Buffer(kProfile, kRaw)] = 1;
    FindStatistics(kProfile, kRaw, 0, m_samples);
}

void CEdgeProfile::SmoothProfile()
{
    SmoothData(m_data[Buffer(kProfile, kProcessed)].data(), m_data[Buffer(kProfile, kRaw)].data(), m_passes[kProfile],
               m_halfWindow[kProfile], 0, m_samples);
    m_present[Buffer(kProfile, kProcessed)] = 1;
    FindStatistics(kProfile, kProcessed, 0, m_samples);
}

int CEdgeProfile::SmoothData(int64_t* dst, const int64_t* src, int passes, int halfWindow, int start, int end) const
{
    const int n = m_samples;
    if (end < 0)
        end = n;
    start = std::clamp(start, 0, n);
    end = std::clamp(end, start, n);
    if (passes <= 0) {
        std::copy(src, src + n, dst);
        return 1;
    }
    const auto address = [](const int64_t* p) { return reinterpret_cast<uintptr_t>(p); };
    const bool apart = address(dst + n) <= address(src) || address(src + n) <= address(dst);
    if (passes == 1 && halfWindow == 1 && end - start >= 2 && apart) {
        // One pass of the three-sample window, the analysis's usual case, written straight into dst: what the
        // ping-pong below leaves, without copying either buffer twice.
        SmoothThree(src, dst, start, end);
        return 1;
    }
    // Ping-pong between a copy of the source and the destination's own content: outside [start, end) the
    // result keeps the destination's content after an odd number of passes and the source's after an even one.
    // The scratch buffers are the analyser's own: a tool smooths thousands of short profiles on one finish.
    std::vector<int64_t>& a = m_scratch[0];
    std::vector<int64_t>& b = m_scratch[1];
    a.assign(src, src + n);
    b.assign(dst, dst + n);
    for (int pass = 0; pass < passes; ++pass) {
        const int64_t* in = pass % 2 == 0 ? a.data() : b.data();
        int64_t* out = pass % 2 == 0 ? b.data() : a.data();
        if (start == end)
            continue;
        if (halfWindow == 1 && end - start >= 2) {
            SmoothThree(in, out, start, end);
            continue;
        }
        // The window [t - h, t + h] cut to [start, end): its sum carried from one sample to the next.
        int lo = start;
        int hi = std::min(start + halfWindow, end - 1);
        int64_t sum = 0;
        for (int m = lo; m <= hi; ++m)
            sum += in[m];
        for (int t = start; t < end; ++t) {
            const int newLo = std::max(t - halfWindow, start);
            const int newHi = std::min(t + halfWindow, end - 1);
            for (; hi < newHi; ++hi)
                sum += in[hi + 1];
            for (; lo < newLo; ++lo)
                sum -= in[lo];
            out[t] = DivideByCount(sum, hi - lo + 1);
        }
    }
    const std::vector<int64_t>& result = passes % 2 == 1 ? b : a;
    std::copy(result.begin(), result.end(), dst);
    return 1;
}

float CEdgeProfile::FindSmoothCount() const
{
    const int n = m_samples;
    if (n == 0)
        return 0.0f;
    const std::vector<int64_t>& raw = m_data[Buffer(kProfile, kRaw)];
    const int h = m_halfWindow[kProfile];
    std::vector<int64_t>& d = m_scratch[0];
    d.resize(static_cast<size_t>(n));  // every entry is written below
    int64_t total = 0;
    if (h == 1 && n >= 2) {
        // The three-sample window: each neighbour's difference taken once, the sample's own (0) left out.
        int64_t before = std::abs(raw[1] - raw[0]);
        d[0] = before / 2;
        for (int i = 1; i + 1 < n; ++i) {
            const int64_t after = std::abs(raw[static_cast<size_t>(i) + 1] - raw[static_cast<size_t>(i)]);
            d[static_cast<size_t>(i)] = (before + after) / 3;
            before = after;
        }
        d[static_cast<size_t>(n) - 1] = before / 2;
    } else {
        for (int i = 0; i < n; ++i) {
            const int lo = std::max(i - h, 0);
            const int hi = std::min(i + h, n - 1);
            int64_t sum = 0;
            for (int m = lo; m <= hi; ++m)
                sum += std::abs(raw[static_cast<size_t>(i)] - raw[static_cast<size_t>(m)]);
            d[static_cast<size_t>(i)] = DivideByCount(sum, hi - lo + 1);
        }
    }
    for (int64_t v : d)
        total += v;
    const float average = static_cast<float>(total) / static_cast<float>(n);
    int64_t below = 0;
    int count = 0;
    for (int64_t v : d)
        if (static_cast<float>(v) < average) {
            below += v;
            ++count;
        }
    return count ? static_cast<float>(below) / static_cast<float>(count) : average;
}

void CEdgeProfile::FindStatistics(int kind, int variant, int start, int end)
{
    if (start < 0)
        start = Start(kind);
    if (end < 0)
        end = End(kind);
    const int buffer = Buffer(kind, variant);
    // A tool analyses hundreds of profiles on one finish and looks at two statistics of each: they are worked
    // out when asked for, from the buffer as it stands (every change of a buffer finds its statistics again).
    m_statsRange[buffer] = {start, std::min(end, static_cast<int>(m_data[buffer].size()))};
    m_statsPending[buffer] = kExtremesPending;
}

const CEdgeProfile::Statistics& CEdgeProfile::Extremes(int buffer) const
{
    Statistics& stats = m_stats[buffer];
    if (m_statsPending[buffer] != kExtremesPending)
        return stats;
    m_statsPending[buffer] = kMomentsPending;
    stats = Statistics{};
    const auto [start, end] = m_statsRange[buffer];
    const std::vector<int64_t>& data = m_data[buffer];
    for (int i = start; i < end; ++i) {
        const int64_t v = data[static_cast<size_t>(i)];
        stats.maximum = std::max(stats.maximum, v);
        stats.minimum = std::min(stats.minimum, v);
        stats.sum += v;
    }
    return stats;
}

const CEdgeProfile::Statistics& CEdgeProfile::GetStatistics(int kind, int variant) const
{
    const int buffer = Buffer(kind, variant);
    Statistics& stats = m_stats[buffer];
    Extremes(buffer);
    if (m_statsPending[buffer] != kMomentsPending)
        return stats;
    m_statsPending[buffer] = kNothingPending;
    const auto [start, end] = m_statsRange[buffer];
    if (start >= end)
        return stats;
    const std::vector<int64_t>& data = m_data[buffer];
    const double mean = static_cast<double>(stats.sum) / (end - start);
    // Four partial sums: one chain of dependent additions would wait on every one of them.
    double partial[4] = {};
    int i = start;
    for (; i + 4 <= end; i += 4)
        for (int k = 0; k < 4; ++k)
            partial[k] += std::pow(static_cast<double>(data[static_cast<size_t>(i + k)]) - mean, 2);
    for (; i < end; ++i)
        partial[0] += std::pow(static_cast<double>(data[static_cast<size_t>(i)]) - mean, 2);
    const double squares = (partial[0] + partial[1]) + (partial[2] + partial[3]);
    stats.mean = static_cast<float>(mean);
    stats.deviation = static_cast<float>(std::sqrt(squares / (end - start)));
    return stats;
}

int CEdgeProfile::SquareData(int kind, int variant)
{
    std::vector<int64_t>& data = m_data[Buffer(kind, variant)];
    for (int i = Start(kind); i < End(kind); ++i) {
        int64_t& v = data[static_cast<size_t>(i)];
        v = v < 0 ? -(v * v) : v * v;
    }
    FindStatistics(kind, variant);
    return 1;
}

int CEdgeProfile::SetSmoothed(int kind, int statistics)
{
    SmoothData(m_data[Buffer(kind, kProcessed)].data(), m_data[Buffer(kind, kRaw)].data(), m_passes[kind],
               m_halfWindow[kind], Start(kind), End(kind));
    m_present[Buffer(kind, kProcessed)] = 1;
    if (statistics)
        FindStatistics(kind, kProcessed);
    return 1;
}

int CEdgeProfile::SetGradient(int process)
{
    if (!m_present[Buffer(kProfile, kProcessed)])
        return 0;
    const std::vector<int64_t>& p = m_data[Buffer(kProfile, kProcessed)];
    std::vector<int64_t>& g = m_data[Buffer(kGradient, kRaw)];
    for (int i = Start(kGradient); i < End(kGradient); ++i)
        g[static_cast<size_t>(i)] = p[static_cast<size_t>(i) + 1] - p[static_cast<size_t>(i)];
    m_present[Buffer(kGradient, kRaw)] = 1;
    FindStatistics(kGradient, kRaw);
    if (process) {
        SetSmoothed(kGradient, 0);
        SquareData(kGradient, kProcessed);
    }
    return 1;
}

int CEdgeProfile::SetLaplacian(int process)
{
    if (!m_present[Buffer(kGradient, kProcessed)])
        return 0;
    const std::vector<int64_t>& g = m_data[Buffer(kGradient, kProcessed)];
    std::vector<int64_t>& l = m_data[Buffer(kLaplacian, kRaw)];
    for (int i = Start(kLaplacian); i < End(kLaplacian); ++i)
        l[static_cast<size_t>(i)] = g[static_cast<size_t>(i)] - g[static_cast<size_t>(i) - 1];
    m_present[Buffer(kLaplacian, kRaw)] = 1;
    FindStatistics(kLaplacian, kRaw);
    if (process) {
        SetSmoothed(kLaplacian, 0);
        SquareData(kLaplacian, kProcessed);
    }
    return 1;
}

int CEdgeProfile::Set3rdDiff(int process)
{
    if (!m_present[Buffer(kLaplacian, kProcessed)])
        return 0;
    const std::vector<int64_t>& l = m_data[Buffer(kLaplacian, kProcessed)];
    std::vector<int64_t>& t = m_data[Buffer(kThirdDifference, kRaw)];
    for (int i = Start(kThirdDifference); i < End(kThirdDifference); ++i)
        t[static_cast<size_t>(i)] = l[static_cast<size_t>(i) + 1] - l[static_cast<size_t>(i)];
    m_present[Buffer(kThirdDifference, kRaw)] = 1;
    FindStatistics(kThirdDifference, kRaw);
    if (process)
        SetSmoothed(kThirdDifference, 1);
    return 1;
}

int CEdgeProfile::SetAnalysisData()
{
    if (!m_present[Buffer(kProfile, kRaw)])
        return 0;
    SetGradient(1);
    SetLaplacian(1);
    Set3rdDiff(1);
    return 1;
}

// ---- steps

int CEdgeProfile::FindSteps()
{
    if (!FindStepCentres())
        return 0;
    for (float p : m_rising)
        m_marks[static_cast<size_t>(At(p))] = 2;
    for (float p : m_falling)
        m_marks[static_cast<size_t>(At(p))] = 3;
    FindStepDetails();
    return 1;
}

bool CEdgeProfile::FindStepCentres()
{
    m_rising.clear();
    m_falling.clear();
    if (!m_present[Buffer(kLaplacian, kProcessed)] || m_samples < 4)
        return false;
    const std::vector<int64_t>& l = m_data[Buffer(kLaplacian, kProcessed)];
    int lastPositive = -1;
    int lastNegative = -1;
    int lastSign = 0;
    auto position = [&](int from, int to) {
        float x = 0.5f * static_cast<float>(from + to);
        if (to - from < 2)
            GetLineInterceptX(_RPOINT{static_cast<double>(from), static_cast<double>(l[static_cast<size_t>(from)])},
                              _RPOINT{static_cast<double>(to), static_cast<double>(l[static_cast<size_t>(to)])}, x);
        return x;
    };
    for (int i = Start(kLaplacian); i < End(kLaplacian); ++i) {
        const int64_t v = l[static_cast<size_t>(i)];
        if (v == 0)
            continue;
        if (v < 0) {
            if (lastSign > 0)
                m_rising.push_back(position(lastPositive, i));
            lastNegative = i;
            lastSign = -1;
        } else {
            if (lastSign < 0)
                m_falling.push_back(position(lastNegative, i));
            lastPositive = i;
            lastSign = 1;
        }
    }
    RemoveSmallStep();
    RemoveNoiseLevelSteps();
    return true;
}

int CEdgeProfile::RemoveSmallStep()
{
    const Statistics& stats = Extremes(Buffer(kThirdDifference, kProcessed));
    if (stats.maximum < stats.minimum)
        return 0;
    const std::vector<int64_t>& d = m_data[Buffer(kThirdDifference, kProcessed)];
    const int64_t threshold = RoundHalfAway(0.3 * static_cast<double>(std::max(std::abs(stats.maximum),
                                                                               std::abs(stats.minimum))));
    // A crossing half-way between two samples is rounded onto the one beside the step's peak, where the third
    // difference may be a fraction of the peak: the step's strength is the larger of its two neighbours'.
    auto weak = [&](float p) {
        const size_t below = static_cast<size_t>(std::clamp(static_cast<int>(std::floor(p)), 0, m_samples - 1));
        const size_t above = static_cast<size_t>(std::clamp(static_cast<int>(std::ceil(p)), 0, m_samples - 1));
        return std::max(std::abs(d[below]), std::abs(d[above])) < threshold;
    };
    std::erase_if(m_rising, weak);
    std::erase_if(m_falling, weak);
    return 1;
}

double CEdgeProfile::EstimateNoise() const
{
    const std::vector<int64_t>& p = m_data[Buffer(kProfile, kRaw)];
    if (m_samples < 3)
        return 0.0;
    // Whole numbers, selected as they are: the median's value is the same as among their doubles (every one of
    // them is exact as a double), and integers compare faster.
    std::vector<int64_t>& second = m_noiseScratch;
    second.resize(static_cast<size_t>(m_samples) - 2);
    for (int i = 1; i + 1 < m_samples; ++i)
        second[static_cast<size_t>(i) - 1] =
            std::abs(p[static_cast<size_t>(i) - 1] - 2 * p[static_cast<size_t>(i)] + p[static_cast<size_t>(i) + 1]);
    auto middle = second.begin() + static_cast<std::ptrdiff_t>(second.size() / 2);
    std::nth_element(second.begin(), middle, second.end());
    // White noise of deviation s gives second differences of deviation s sqrt(6); the median absolute value of a
    // normal variable is 0.6745 of its deviation. A step touches few samples, so the median ignores it.
    return static_cast<double>(*middle) / 0.6745 / std::sqrt(6.0);
}

int CEdgeProfile::RemoveNoiseLevelSteps()
{
    const double noise = EstimateNoise();
    if (noise <= 0.0)
        return 1;
    const std::vector<int64_t>& p = m_data[Buffer(kProfile, kRaw)];
    auto meanOver = [&](int from, int to) {
        from = std::clamp(from, 0, m_samples - 1);
        to = std::clamp(to, 0, m_samples - 1);
        if (from > to)
            std::swap(from, to);
        double sum = 0.0;
        for (int i = from; i <= to; ++i)
            sum += static_cast<double>(p[static_cast<size_t>(i)]);
        return sum / (to - from + 1);
    };
    auto belowNoise = [&](float position) {
        const int c = At(position);
        const double height = std::abs(meanOver(c + kHeightNear, c + kHeightFar) - meanOver(c - kHeightFar, c - kHeightNear));
        return height < kNoiseFactor * noise;
    };
    std::erase_if(m_rising, belowNoise);
    std::erase_if(m_falling, belowNoise);
    return 1;
}

int CEdgeProfile::FindStepDetails()
{
    // The steps in the order of their centres, rising before falling at equal centres (a stable sort); the
    // storage is the analyser's own, and a profile has a handful of steps, so sorting by insertion is quickest.
    std::vector<Step>& steps = m_steps;
    steps.clear();
    for (float p : m_rising)
        steps.push_back({p, true});
    for (float p : m_falling)
        steps.push_back({p, false});
    for (size_t i = 1; i < steps.size(); ++i) {
        const Step moving = steps[i];
        size_t j = i;
        for (; j > 0 && moving.centre < steps[j - 1].centre; --j)
            steps[j] = steps[j - 1];
        steps[j] = moving;
    }
    m_centres.clear();
    m_darkFeet.clear();
    m_brightFeet.clear();
    m_allMarks.clear();
    for (const Step& s : steps)
        m_centres.push_back(s.centre);
    if (m_samples < 4)
        return 0;
    const std::vector<int64_t>& d = m_data[Buffer(kThirdDifference, kProcessed)];
    auto value = [&](float x) { return d[static_cast<size_t>(std::clamp(At(x), 0, m_samples - 1))]; };
    for (size_t k = 0; k < steps.size(); ++k) {
        const float c = steps[k].centre;
        const float lower = k > 0 ? steps[k - 1].centre : 1.0f;
        const float upper = k + 1 < steps.size() ? steps[k + 1].centre : static_cast<float>(m_samples - 2);
        float v = c;
        float u = c;
        if (steps[k].rising) {
            for (float x = c - 1; x > lower && value(x) < 0; x -= 1)
                v = x;
            for (float x = c + 1; x < upper && value(x) < 0; x += 1)
                u = x;
            m_darkFeet.push_back(c - (c - v) * 0.8f + 0.5f);
            m_brightFeet.push_back(c + (u - c) * 0.8f + 0.5f);
        } else {
            for (float x = c - 1; x > lower; x -= 1) {
                v = x;
                if (value(x) <= 0)
                    break;
            }
            for (float x = c + 1; x < upper; x += 1) {
                u = x;
                if (value(x) <= 0)
                    break;
            }
            m_brightFeet.push_back(c - (c - v) * 0.8f + 0.5f);
            m_darkFeet.push_back(c + (u - c) * 0.8f + 0.5f);
        }
    }
    std::sort(m_darkFeet.begin(), m_darkFeet.end());
    std::sort(m_brightFeet.begin(), m_brightFeet.end());
    m_allMarks = m_darkFeet;
    m_allMarks.insert(m_allMarks.end(), m_brightFeet.begin(), m_brightFeet.end());
    m_allMarks.insert(m_allMarks.end(), m_centres.begin(), m_centres.end());
    std::sort(m_allMarks.begin(), m_allMarks.end());
    return m_allMarks.empty() ? 0 : 1;
}

bool CEdgeProfile::FirstStep(_RPOINT& out)
{
    // FindSinglePoint's point without the marks and the feet, which only a caller looking at this profile reads:
    // the first of the centres in order is the smallest of them.
    if (!FindStepCentres() || (m_rising.empty() && m_falling.empty()))
        return false;
    float first = std::numeric_limits<float>::infinity();
    for (float p : m_rising)
        first = std::min(first, p);
    for (float p : m_falling)
        first = std::min(first, p);
    out = m_positions[static_cast<size_t>(std::clamp(At(first), 0, m_samples - 1))];
    return true;
}

int CEdgeProfile::FindSinglePoint(_RPOINT& out)
{
    FindSteps();
    if (m_centres.empty())
        return 0;
    out = m_positions[static_cast<size_t>(std::clamp(At(m_centres.front()), 0, m_samples - 1))];
    return 1;
}
