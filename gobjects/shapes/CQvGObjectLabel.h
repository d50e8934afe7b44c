// The value label of a measurement (shape 8, kind 10): a box in image pixels, sized to its text, that shows the
// owner's name and value text with the unit symbol. The owner creates it (AddLabelObject), owns it as its first
// label, sets its three quantity flags before every paint (and the unitless flag around it) and moves it. CQvGObjectDUMMYLabel is a placeholder of
// the same code that is never drawn or hit (the Z indicator's). UI thread only; text is measured at 96 DPI
// without a window.
#pragma once

#include "gobjects/shapes/CQvGObjectRect.h"

#include <memory>
#include <string>

class VISTREL_EXPORT CQvGObjectLabel : public CQvGObjectRect
{
public:
    // Shape 8, kind 10, flags off.
    CQvGObjectLabel();

    void RemoveAll() override;
    // Nothing while the owner is rubber-banded (flag 1). Otherwise the box (filled unless the fill is hollow),
    // the name when shown, the value below it ("%" appended for a curvature) and the unit symbol after it.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // The box outlined in the label's pen (and filled with the DC's current brush).
    void DrawSelection(CDC* dc, const CPoint* origin, const float* ratio) override;
    void MoveTo(CSize delta) override;
    // The first two points are the corners; a third finishes.
    int AddPoint(CPoint point) override;
    // Finished, two corners, sized to the text (a box of two equal corners is centred on them).
    void Finish() override;
    // Sizes the box to the text the container shows (unscaled font) and stores the corners: an empty box grows
    // about its point, any other keeps its top-left corner. Unchanged when name and value are both empty.
    CRect GetMBR() override;
    // The box inflated by 1 pixel at ratios above 2, else 3.
    int GetHitTestRgn(CRgn& rgn) override;
    // The region itself: the box inflated by the zoom tolerance.
    CRect GetHitBounds() override;

    // The unit symbol is squared (Area).
    void SetAreaFlag(int on) { m_areaFlag = on; }
    int GetAreaFlag() const { return m_areaFlag; }
    // The angle symbol replaces the unit symbol (Angle, X Angle, Y Angle).
    void SetAngleFlag(int on) { m_angleFlag = on; }
    int GetAngleFlag() const { return m_angleFlag; }
    // "%" after the value and no unit symbol (Curvature).
    void SetCurvatureFlag(int on) { m_curvatureFlag = on; }
    int GetCurvatureFlag() const { return m_curvatureFlag; }
    // No unit symbol whatever the container shows: set by the owner around the paint of a quantity that carries no
    // unit (Circular Mil, the positions).
    void SetUnitlessFlag(int on) { m_unitlessFlag = on; }
    int GetUnitlessFlag() const { return m_unitlessFlag; }

    CQvGObjectLabel& operator=(const CQvGObjectLabel& other);

protected:
    int m_areaFlag = 0;
    int m_angleFlag = 0;
    int m_curvatureFlag = 0;
    int m_unitlessFlag = 0;

private:
    // Labels are sized on every paint and measuring text is slow, so each measure is kept until its inputs (text,
    // font, symbol) change. The inputs are compared as they are, without building a key: the comparison runs for
    // every label on every paint.
    struct MeasureCache
    {
        bool valid = false;
        LOGFONTA font{};
        std::string text;    // the text measured, or the name shown above the value
        std::string value;   // the value shown (box only)
        int symbol = 0;      // which symbol follows the value (box only)
        int unit = 0;
        int areaFlag = 0;
        CSize size;
    };
    // The size of a text in the DC's selected font (logFont), measured only when the text or font changed.
    static CSize PaintedTextSize(CDC* dc, const LOGFONTA& logFont, const std::string& text, MeasureCache& cache);

    // The measures of a paint are made on the first paint: a read makes and sizes every label but paints none,
    // and writing these into each new label cost as much as reading its record.
    struct PaintMeasures
    {
        MeasureCache name;   // the name in the font of the last paint
        MeasureCache value;  // the value in the font of the last paint
    };
    PaintMeasures& PaintMeasuresOf();

    MeasureCache m_boxSize;  // text and unit symbol in the unscaled font
    std::unique_ptr<PaintMeasures> m_paintMeasures;
};

class VISTREL_EXPORT CQvGObjectDUMMYLabel : public CQvGObjectLabel
{
public:
    void RemoveAll() override;
    void DrawShape(CDC*, const CPoint*, const float*, int) override {}
    void DrawSelection(CDC*, const CPoint*, const float*) override {}
    void MoveTo(CSize) override {}
    // No region: never hit.
    int GetHitTestRgn(CRgn&) override { return 0; }
    CRect GetMBR() override { return CRect(); }

    CQvGObjectDUMMYLabel& operator=(const CQvGObjectDUMMYLabel& other)
    {
        CQvGObjectLabel::operator=(other);
        return *this;
    }
};
