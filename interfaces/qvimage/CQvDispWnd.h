// A zoomable, scrollable image window: it maps between window and image coordinates and draws images by nearest
// neighbour into the retained surface of CQvScrollWnd. It keeps no image: the derived window draws its own in
// OnDraw with DrawImage.
// Layout: the canvas (the image size, in image pixels) is shown at the zoom ratio; image point (x, y) lands on
// window point (floor(ratio * x + 0.5) + origin.x, likewise y), origin being the window position of image pixel
// (0, 0). Inside the window that is the overlay's rule trunc(ratio * x + origin + 0.5), so objects drawn with
// GetRatio() and GetOrigin() sit on the drawn pixels (QvZoomMapping.h says where the two part). Along an axis where the
// zoomed canvas is narrower than the client area it is centred; otherwise it scrolls and origin = -scroll position.
// Zoom ratios run from kQvMinZoomRatio to kQvMaxZoomRatio; the zoom steps are the _QVZOOM levels. Every zoom keeps
// the image point under the anchor (a client point; the client centre by default) in place, as far as scrolling
// allows. UI thread only.
#pragma once

#include "qvimage/CQvScrollWnd.h"

#include <climits>

class CQvImage;

// Zoom steps, smallest first; the value is the step's index.
enum _QVZOOM
{
    QVZOOM_FREE = -1,  // GetZoomLevel: the ratio lies between steps (set as a ratio)
    QVZOOM_1_16 = 0,   // 6.25 %
    QVZOOM_1_8,        // 12.5 %
    QVZOOM_1_4,        // 25 %
    QVZOOM_1_2,        // 50 %
    QVZOOM_3_4,        // 75 %
    QVZOOM_1,          // 100 %, the ratio of a new window
    QVZOOM_3_2,        // 150 %
    QVZOOM_2,          // 200 %
    QVZOOM_3,          // 300 %
    QVZOOM_4,          // 400 %
    QVZOOM_6,          // 600 %
    QVZOOM_8,          // 800 %
    QVZOOM_12,         // 1200 %
    QVZOOM_16,         // 1600 %
    QVZOOM_COUNT
};

constexpr float kQvMinZoomRatio = 0.01f;
constexpr float kQvMaxZoomRatio = 64.0f;

// The default zoom anchor: the client area's centre.
constexpr CPoint QVZOOM_AT_CENTRE{INT_MIN, INT_MIN};

class VISTREL_EXPORT CQvDispWnd : public CQvScrollWnd
{
    Q_OBJECT

public:
    explicit CQvDispWnd(QWidget* parent = nullptr);
    ~CQvDispWnd() override;

    // The image size in image pixels (negative extents count as 0); ratio kept, scroll position clamped.
    void SetCanvasSize(CSize size);
    CSize GetCanvasSize() const { return m_canvasSize; }

    // Window pixels per image pixel.
    float GetRatio() const { return m_ratio; }
    // The _QVZOOM step of the ratio, QVZOOM_FREE between steps.
    int GetZoomLevel() const;
    // The ratio of a step; 0 for a value outside the steps.
    static float GetZoomStepRatio(int level);

    // One step in (nonzero `in`) or out: from a ratio between steps to the nearest step that way; nothing at the
    // end of the steps.
    virtual void Zoom(int in, CPoint anchor = QVZOOM_AT_CENTRE);
    // Nothing for a value outside the steps.
    virtual void SetZoom(_QVZOOM level, CPoint anchor = QVZOOM_AT_CENTRE);
    // Limited to kQvMinZoomRatio..kQvMaxZoomRatio; nothing for a ratio that is not positive.
    virtual void SetZoom(float ratio, CPoint anchor = QVZOOM_AT_CENTRE);

    // The window position of image pixel (0, 0).
    CPoint GetOrigin() const;
    // Image point to client point by the rule above.
    CPoint GetZoomedPoint(CPoint image) const;
    // Window point to the image pixel that DrawImage shows there, per axis: from ratio 1 the pixel covering it, so
    // GetRealPoint(GetZoomedPoint(p), 1) == p; below 1 the image coordinate nearest to (w - origin) / ratio among
    // those GetZoomedPoint puts on w, so GetZoomedPoint(GetRealPoint(w, 1)) == w (and p survives the round trip
    // when it is a whole multiple of 1 / ratio). Not limited to the image. With `clientPoint` nonzero the point is a
    // client point; with 0 it is a content point (client point + scroll position).
    CPoint GetRealPoint(CPoint window, int clientPoint) const;

    // Paints the whole surface of dc at the current zoom and scroll: the image (an empty white canvas of the canvas
    // size when image is null or empty) and the grey around it.
    void DrawImage(CDC* dc, CQvImage* image);
    // Paints the image with its pixel (0, 0) at rect's top-left corner at `ratio`, clipped to rect; the part of
    // rect that the image does not reach is left as it is. Any positive ratio up to kQvMaxZoomRatio (thumbnails go
    // below the window's own zoom range); nothing for others or not a number.
    void DrawImage(CDC* dc, CQvImage* image, CRect rect, float ratio);

    // The base paints the empty canvas.
    void OnDraw(CDC* dc) override;

private:
    CSize ZoomedSize(CSize imageSize) const;
    void ApplyRatio(float ratio, CPoint anchor);

    CSize m_canvasSize;
    float m_ratio = 1.0f;
};
