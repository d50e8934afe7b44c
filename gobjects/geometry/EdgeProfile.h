// The grey-level profile analyser of the automatic edge tools: a straight scan segment across an expected edge is
// sampled from a grey work image (three parallel lines, weighted 1-2-1), smoothed, differenced three times, and
// the step edges on it are found as zero crossings of the squared Laplacian; the tools take the first one from the
// segment's start. One profile at a time per analyser; the smoothing pass count of the profile is carried over
// from the previous profile the same analyser analysed. Positions are image pixels (x right, y down) as doubles;
// positions along the profile are sample indices (0 = start) as floats. Not thread-safe; no shared state.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinTypes.h"
#include "types/WinGeometry.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class CQvImage;

// The 8-bit grey work image of any image: grey models copied, indexed models through their palette, 24- and
// 32-bit models weighted (307 R + 604 G + 113 B) >> 10 (a 32-bit pixel's fourth byte ignored). Pixel (x, y) of
// the result is the grey of pixel (x, y) of the source. 0 (nothing written) unless both exist with the same size
// and the destination is 8-bit grey (0 or 10).
VISTREL_EXPORT int ToGray8(const CQvImage* source, CQvImage* destination);

// The grey level of a colour pixel, as the work image has it.
inline BYTE WeightedGrey(int red, int green, int blue)
{
    return static_cast<BYTE>((307 * red + 604 * green + 113 * blue) >> 10);
}

// The grey levels of an image read pixel by pixel where the profiles need them, each converted as ToGray8 converts
// it: a tool reads a few thousand pixels of a picture of many megapixels, and converting (and allocating) the
// whole picture on every finish would cost many times the analysis. Reads the image (not owned), which must stay
// unchanged while the reader is used. Invalid for an empty image or a colour model ToGray8 refuses.
class VISTREL_EXPORT CGreyPixels
{
public:
    CGreyPixels() = default;
    explicit CGreyPixels(const CQvImage* image);

    bool IsValid() const { return m_pixels != nullptr; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // Adds to sums[i] the grey level of the pixel holding (x0 + i dx, y0 + i dy), i < count, where it lies in the
    // image (i taken as a float, as the profile's positions take it).
    void AddSamples(double x0, double y0, double dx, double dy, int count, int64_t* sums) const;
    // The grey level of pixel (x, y), which must lie inside the image.
    BYTE At(int x, int y) const
    {
        const BYTE* p = m_pixels + static_cast<size_t>(y) * m_stride + static_cast<size_t>(x) * m_bytes;
        switch (m_kind) {
        case Kind::kGrey: return *p;
        case Kind::kIndexed: return m_lut[*p];
        default: return WeightedGrey(p[2], p[1], p[0]);
        }
    }

private:
    enum class Kind
    {
        kGrey,
        kIndexed,
        kColour,
    };
    const BYTE* m_pixels = nullptr;
    size_t m_stride = 0;
    size_t m_bytes = 1;
    int m_width = 0;
    int m_height = 0;
    Kind m_kind = Kind::kGrey;
    std::array<BYTE, 256> m_lut{};
};

class VISTREL_EXPORT CEdgeProfile
{
public:
    // Data kinds and their variants; buffer 2 * kind + variant.
    enum Kind
    {
        kProfile = 0,
        kGradient = 1,
        kLaplacian = 2,
        kThirdDifference = 3,
    };
    enum Variant
    {
        kRaw = 0,
        kProcessed = 1,
    };
    struct Statistics
    {
        int64_t maximum = INT32_MIN;
        int64_t minimum = INT32_MAX;
        int64_t sum = 0;
        float mean = 0.0f;
        float deviation = 0.0f;
    };

    // A step is kept only when its height on the profile is at least this many times the profile's own noise:
    // on pure noise the relative rules alone accept a step on nearly every profile.
    static constexpr double kNoiseFactor = 4.0;
    // Samples on either side of a step, beyond its centre, that measure its height.
    static constexpr int kHeightNear = 2;
    static constexpr int kHeightFar = 5;

    CEdgeProfile();

    // Clips, samples and analyses the profile start -> end of the grey image (not owned; read during the call
    // only); 0 when it is rejected: an end outside [0, W-5] x [0, H-5] after clipping, fewer than 4 samples, or a
    // centre line whose range is below 30% of 255 grey levels.
    int PrCreate(const CGreyPixels& grey, _RPOINT start, _RPOINT end);
    // The same on any image ToGray8 converts (a grey image is read as it is).
    int PrCreate(const CQvImage* image, _RPOINT start, _RPOINT end);
    // The image position of the first step centre from the profile's start (on the sample grid); 0 without one.
    int FindSinglePoint(_RPOINT& out);

    // A scan segment: the profile from start to end.
    struct Segment
    {
        _RPOINT start;
        _RPOINT end;
    };
    // What PrCreate and FindSinglePoint called on the segments one after another would find, bit for bit:
    // found[i] 1 with points[i] the step of segment i, 0 without one; afterwards the pass counts are those the
    // last accepted profile left, and no profile is held. A tool lays hundreds of profiles on one finish: they
    // are analysed in chunks on several threads, each thread with an analyser of its own. The pass count a profile
    // is smoothed with is the noise estimate of the profile accepted before it, which depends on that profile's
    // samples alone, so each chunk starts from the estimate of the last profile accepted before it.
    void FindSinglePoints(const CGreyPixels& grey, const std::vector<Segment>& segments, std::vector<_RPOINT>& points,
                          std::vector<char>& found);
    // Clips the segment into the bounds (left <= x < right, top <= y < bottom on truncated coordinates); the
    // points change only when the result is not 0. 1 when nothing needed clipping or after clipping the start
    // alone; the line-equation code (1, or 2 for a vertical line) after clipping the end; 0 when the segment
    // cannot be clipped (coincident points, or a side it never meets).
    static int CheckBound(_RPOINT& start, _RPOINT& end, const CRect& bounds);

    void CreateData(int samples);
    void CleanData();
    // Adds `width` lines at cross offsets trunc(-width / 2) + j to the raw profile; with smooth, smooths it into
    // the processed profile with kind 0's passes.
    void SetBase(int width, int smooth);
    // Repeated integer moving averages of src into dst over [start, end) (end -1: N); see the class comment.
    int SmoothData(int64_t* dst, const int64_t* src, int passes, int halfWindow, int start, int end) const;
    // Noise estimate of the raw profile: the mean of the local mean absolute differences below their average.
    float FindSmoothCount() const;
    void FindStatistics(int kind, int variant, int start = -1, int end = -1);
    int SquareData(int kind, int variant);
    int SetSmoothed(int kind, int statistics);
    int SetGradient(int process);
    int SetLaplacian(int process);
    int Set3rdDiff(int process);
    int SetAnalysisData();
    int FindSteps();
    // Drops the steps whose third difference, at the samples either side of the crossing, is below 30% of the
    // largest on the profile.
    int RemoveSmallStep();
    // Drops the steps whose height is below kNoiseFactor times the noise of the raw profile.
    int RemoveNoiseLevelSteps();
    int FindStepDetails();

    // Line through p1, p2: 1 with y = a x + b; 2 for a vertical line (a = x1, b = 0); 0 for coincident points.
    static int GetLineEquation(const _RPOINT& p1, const _RPOINT& p2, double& a, double& b);
    // m = (y2 - y1) / (x2 - x1) and 1; 0 when x1 = x2.
    static int GetLineGradient(const _RPOINT& p1, const _RPOINT& p2, double& m);
    // Where the line meets y = 0: 1; 2 with x = x1 for a vertical line; 0 when y1 = y2.
    static int GetLineInterceptX(const _RPOINT& p1, const _RPOINT& p2, float& x);
    // Where the line meets x = 0: 1; 2 with y = y1 for a horizontal line; 0 when x1 = x2.
    static int GetLineInterceptY(const _RPOINT& p1, const _RPOINT& p2, double& y);
    // p.y - p.x m.
    static double GetLineInterceptY(const _RPOINT& p, const double& m);

    // The noise level (standard deviation) of the raw profile, estimated from its second differences.
    double EstimateNoise() const;

    // State of the last profile.
    int GetSampleCount() const { return m_samples; }
    _RPOINT GetStart() const { return m_start; }
    _RPOINT GetEnd() const { return m_end; }
    const std::vector<_RPOINT>& GetPositions() const { return m_positions; }
    const std::vector<int>& GetMarks() const { return m_marks; }
    const std::vector<int64_t>& GetData(int kind, int variant) const { return m_data[Buffer(kind, variant)]; }
    const Statistics& GetStatistics(int kind, int variant) const;
    int GetPasses(int kind) const { return m_passes[kind]; }
    void SetPasses(int kind, int passes) { m_passes[kind] = passes; }
    const std::vector<float>& GetRisingSteps() const { return m_rising; }
    const std::vector<float>& GetFallingSteps() const { return m_falling; }
    const std::vector<float>& GetStepCentres() const { return m_centres; }
    const std::vector<float>& GetDarkFeet() const { return m_darkFeet; }
    const std::vector<float>& GetBrightFeet() const { return m_brightFeet; }
    const std::vector<float>& GetAllMarks() const { return m_allMarks; }

private:
    static int Buffer(int kind, int variant) { return 2 * kind + variant; }
    struct Directions
    {
        double cosAlong;
        double sinAlong;
        double cosAcross;
        double sinAcross;
    };
    // The profile's direction from start to end and the direction across it.
    Directions FindDirections() const;
    // Adds the samples of the line `offset` pixels across the profile to the raw profile.
    void AddLine(const Directions& d, int offset);
    // The samples' positions; the raw profile is complete.
    void PlaceSamples(const Directions& d);
    // Maximum, minimum and sum of a buffer (the analysis needs no more).
    const Statistics& Extremes(int buffer) const;
    // FindSteps up to the step centres (rising and falling, the weak ones and those within the noise dropped).
    bool FindStepCentres();
    // The image position of the first step centre, as FindSinglePoint finds it, leaving marks and feet as they were.
    bool FirstStep(_RPOINT& out);
    // PrCreate up to the three-line raw profile: clipping, rejections and sampling; 0 when rejected.
    int SampleProfile(const CGreyPixels& grey, _RPOINT start, _RPOINT end);
    // The raw profile smoothed into the processed one with kind 0's passes as they stand.
    void SmoothProfile();
    // The kind-0 pass count the raw profile's noise asks for the next profile.
    int PassesFromNoise() const;
    int Start(int kind) const { return m_rangeStart[kind]; }
    int End(int kind) const { return m_rangeEnd[kind]; }

    CGreyPixels m_image;
    _RPOINT m_start{0.0, 0.0};
    _RPOINT m_end{0.0, 0.0};
    int m_samples = 0;
    std::vector<_RPOINT> m_positions;
    std::vector<int> m_marks;
    // 64-bit: the processed Laplacian is the square of a difference of squares, beyond 32 bits on sharp dips.
    std::array<std::vector<int64_t>, 8> m_data;
    std::array<int, 8> m_present{};
    // Worked out when asked for (GetStatistics, Extremes) over the range FindStatistics gave.
    enum StatsPending : uint8_t
    {
        kNothingPending,
        kExtremesPending,  // all of them
        kMomentsPending,   // mean and deviation
    };
    mutable std::array<Statistics, 8> m_stats{};
    std::array<std::pair<int, int>, 8> m_statsRange{};
    mutable std::array<StatsPending, 8> m_statsPending{};
    std::array<int, 4> m_halfWindow{1, 1, 1, 1};
    std::array<int, 4> m_passes{5, 2, 1, 1};
    std::array<int, 4> m_rangeStart{};
    std::array<int, 4> m_rangeEnd{};
    std::vector<float> m_rising;
    std::vector<float> m_falling;
    std::vector<float> m_centres;
    std::vector<float> m_darkFeet;
    std::vector<float> m_brightFeet;
    std::vector<float> m_allMarks;
    // Working storage of the const analysis steps, kept from one profile to the next.
    mutable std::array<std::vector<int64_t>, 2> m_scratch;
    mutable std::vector<int64_t> m_noiseScratch;
    struct Step
    {
        float centre;
        bool rising;
    };
    std::vector<Step> m_steps;
};
