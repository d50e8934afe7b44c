// The target (shape 10): a cross-hair through the clicked point across the whole image, with concentric circles
// and/or squares around it at a fixed interval (the gap) in calibrated units, edited on its property page.
// The rings keep their spacing in pixels when the calibration changes: the gap is rescaled by the new units per
// pixel on the next paint. A gap below 10 image pixels is raised to 10 pixels, silently while painting (the page
// refuses it with its message). Painting never shows UI nor changes the drawing defaults.
// Stored record: the point's record, then the gap (float32, calibrated units) and the shape flags (int32).
// UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/shapes/CQvGObjectPoint.h"

class VISTREL_EXPORT CQvGObjectTarget : public CQvGObjectPoint
{
public:
    // Shape bits.
    static constexpr int32_t kCircles = 0x1;
    static constexpr int32_t kSquares = 0x2;
    // The smallest ring interval, in image pixels.
    static constexpr int kMinGapPixels = 10;

    // Shape 10, calibration factor 1, gap 20, circles.
    CQvGObjectTarget();

    void RemoveAll() override;
    // The sheet with the Target page; 1 on OK, else 0.
    int SpecificProperty(QWidget* parent) override;
    // Cross-hair over the canvas, then the rings (see the header note).
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // The whole canvas (the cross-hair spans it) united with the point's box, inflated by 8.
    CRect GetInvalidateRect() override;
    // Gap, calibration factor and shape flags from / to the drawing defaults.
    void LoadShapeDefaults(const CQvGObjectPropertyTotal& defaults) override;
    void StoreShapeDefaults(CQvGObjectPropertyTotal& defaults) const override;

    // The gap as last set or painted, in the units of GetCalibrationFactor().
    double GetGap() const { return m_gap; }
    double GetCalibrationFactor() const { return m_calibFactor; }
    // The gap in the units of the container's calibration now.
    double GetCurrentGap() const;
    // The page's rule: a gap below 10 image pixels (or none at all) is refused and 10 pixels are taken instead
    // (returns 0: the page tells the user "Too small!!"); an accepted gap returns 1. Either way the gap is in
    // force under the current calibration and the target's settings become the defaults of its shape.
    int SetGap(double gap);
    // Puts back a gap and the calibration factor it was set under, as they were; the defaults are left alone.
    void RestoreGap(double gap, double calibFactor)
    {
        m_gap = gap;
        m_calibFactor = calibFactor;
    }
    int32_t GetShapeFlags() const { return m_shapeFlags; }
    void SetShapeFlags(int32_t flags) { m_shapeFlags = flags; }

    CQvGObjectTarget& operator=(const CQvGObjectTarget& other);

protected:
    // After the point's record, the gap and the shape flags. A gap that is no positive finite number reads as
    // 20; the gap is taken as given in the units of the container's calibration (read before the overlay).
    int ReadShapeFields(LeReader& in, float version) override;
    void WriteShapeFields(LeWriter& out) override;

private:
    // Rescales the gap to the calibration in force and raises it to the smallest interval.
    void KeepRingSpacing(double unitsPerPixel);

    double m_calibFactor = 1.0;  // units per pixel the gap was last set or drawn under
    double m_gap = 20.0;          // calibrated units
    int32_t m_shapeFlags = kCircles;
};
