// The calibrated scale bar laid over an image (shape 42): a box holding a bar of the calibration's scale length in
// five alternating segments and a caption with the length, unit symbol and magnification. Its size follows from the
// container's calibration, not from the drag; the user picks orientation, bar colour, caption unit and an anchor.
// The container hides markers while its scale is not shown. UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/shapes/CQvGObjectText.h"

#include <string>

class VISTREL_EXPORT CQvGObjectScaleMarker : public CQvGObjectText
{
public:
    CQvGObjectScaleMarker();

    void RemoveAll() override;
    // Never a sizing cursor: the size is the calibration's.
    UINT GetCursorShape(CRect /*rect*/) override { return kNoCursor; }
    // Corner 1 at the remembered position, then the text's finish (the sheet; cancelled, the new marker goes).
    void Finish() override;
    // The rectangle's move; with the position-follows flag the new place becomes the default of later markers.
    void MoveTo(CSize delta) override;
    // Placed in the bottom-right corner of the canvas (margin 20, image pixels) and made the default; returns 1.
    int SpecificNoProperty(QWidget* parent) override;
    // With the finish-with-sheet flag: the sheet with the Scale Marker page; anything but OK returns 0. On OK, or
    // without the flag, the marker is placed at its anchor, its position remembered and it becomes the default of
    // later markers; returns 1.
    int SpecificProperty(QWidget* parent) override;
    void DrawMouseMoving(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // Box, caption (not while rubber-banded, flag 1) and bar; corner 2 follows the calibration first.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    void DrawSelection(CDC* dc, const CPoint* origin, const float* ratio) override;
    // The scale box widened by 2 pixels on every side.
    int GetHitTestRgn(CRgn& rgn) override;
    void LoadShapeDefaults(const CQvGObjectPropertyTotal& defaults) override;
    void StoreShapeDefaults(CQvGObjectPropertyTotal& defaults) const override;

    // Corner 1 at the remembered position, then the rectangle's finish: no sheet.
    void ExternFinish();
    // The marker's box in image pixels from corner 1: horizontal (bar + 40) x T, vertical T x (bar + 40), with
    // bar = trunc(scale length / units per pixel) and T = trunc(|font height| x 1.2 + 17).
    CRect GetScaleRect();
    // The bar length in image pixels; 0 without a usable calibration.
    int GetBarPixels() const;
    // The bar's length in the shown caption unit, its symbol and "  x" with the magnification ("%.f%s  x%.f" for a
    // length of 1 or more; below 1 with enough decimals to show its first digit). Without a magnification (0 or
    // less) the caption ends with the symbol.
    std::string GetCaption() const;
    // The unit the caption is written in: the chosen caption unit, except that a pixel caption on a calibrated
    // image and any caption on an uncalibrated one follow the calibration's own unit.
    int GetShownCaptionUnit() const;
    // Moves corner 1 to anchor 0..8 of the canvas (any other value: bottom right).
    void PlaceAtAnchor();

    // 0: finishing does not open the sheet (markers the program places itself).
    void EnableFinishUI(int enable) { m_finishUI = enable; }
    int GetFinishUI() const { return m_finishUI; }

    int GetOrientation() const { return m_orientation; }
    void SetOrientation(int horizontal) { m_orientation = horizontal; }
    COLORREF GetBarColor() const { return m_barColour; }
    void SetBarColor(COLORREF colour) { m_barColour = colour; }
    int GetAnchor() const { return m_anchor; }
    void SetAnchor(int anchor) { m_anchor = anchor; }
    int GetFollowFlag() const { return m_followFlag; }
    void SetFollowFlag(int flag) { m_followFlag = flag; }
    int GetCaptionUnit() const { return m_captionUnit; }
    void SetCaptionUnit(int unit) { m_captionUnit = unit; }
    CPoint GetRememberedPosition() const { return CPoint(m_posX, m_posY); }
    // Where the next finish puts corner 1, in image pixels.
    void SetRememberedPosition(CPoint at)
    {
        m_posX = at.x;
        m_posY = at.y;
    }

    CQvGObjectScaleMarker& operator=(const CQvGObjectScaleMarker& other);

    // The caption's number for a value, without unit and magnification (exposed for its table of cases).
    static std::string FormatLength(double value);

protected:
    int ReadShapeFields(LeReader& in, float version) override;
    void WriteShapeFields(LeWriter& out) override;

private:
    void RememberPosition();
    void PlaceAtRememberedPosition();
    // Remembers the position and makes this marker the default of later markers.
    void BecomeDefault();
    int CaptionHeight() const;
    void DrawBar(CDC* dc, CRect bar, bool horizontal);

    float m_float10 = 10.0f;
    int32_t m_orientation = 1;
    COLORREF m_barColour = 0;
    int32_t m_int2 = 2;
    int32_t m_followFlag = 1;
    int32_t m_anchor = 7;
    int32_t m_int20 = 20;
    int32_t m_posX = 20;
    int32_t m_posY = 20;
    int32_t m_captionUnit = 0;
    int m_finishUI = 1;
};
