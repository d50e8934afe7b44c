// The magnifier: the (N + 1) x (N + 1) image pixels around a point of an image display window, each shown as a
// cell of side / N screen pixels in the largest centred square, with a cross-hair through the point's cell and,
// when the overlay is on, the window's overlay objects drawn at the same cell size (so an object's point lands in
// the middle of its pixel's cell). Serves the zoom dock and the calibration zoom window.
// UI thread. Nothing of the document is cached: the pixels are sampled on refresh and the objects are taken from
// the container each time the magnifier paints, so a deleted object is never drawn. The display window may go away
// at any time; the magnifier then shows the empty face.
#pragma once

#include "types/ColorRef.h"
#include "types/WinGeometry.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class CImageDispWnd;
class CQvImage;

class CZoomViewWnd : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kDefaultFactor = 4;
    static constexpr int kMinCells = 10;
    static constexpr int kMaxCells = 20;
    static constexpr int kDefaultCells = 20;

    explicit CZoomViewWnd(QWidget* parent = nullptr);

    // Follows that window (null: none); the point shown starts at the middle of its image.
    void Attach(CImageDispWnd* window);
    void Detach() { Attach(nullptr); }
    CImageDispWnd* AttachedWindow() const { return m_window; }
    // Samples again around the point shown and repaints (the objects are read at paint time anyway).
    void SyncObjects() { UpdateFromImage(); }
    void UpdateFromImage();
    // The mouse stood at that point of the attached window's client area.
    void FollowCursor(CPoint clientPoint);

    // The image point shown at the centre.
    void SetCentre(CPoint imagePoint);
    CPoint Centre() const { return m_centre; }

    // Cells across the square: an even count in 10..20 (anything else is brought there); 0 from SetFactor.
    void SetCellCount(int cells);
    int CellCount() const { return m_cells; }
    static int ClampCellCount(int cells);
    // Instead of a cell count, a fixed number of screen pixels per image pixel (the calibration zoom window).
    void SetFactor(int factor);
    int Factor() const { return m_factor; }

    void SetOverlay(bool on);
    bool Overlay() const { return m_overlay; }
    void SetCrossPen(int style, int width, COLORREF colour);
    int CrossStyle() const { return m_penStyle; }
    int CrossWidth() const { return m_penWidth; }
    COLORREF CrossColour() const { return m_penColour; }

    // The largest square of the client area, centred along the longer axis.
    CRect DisplaySquare() const;
    // The (N + 1) x (N + 1) sample around an image point as RGB; outside the image white; indexed images through
    // their palette.
    static QImage Sample(const CQvImage& image, CPoint centre, int cells);
    const QImage& CurrentSample() const { return m_sample; }

    // The magnifier's picture at its present size, as it is painted.
    QImage Render() const;
    void PaintOn(QImage& target) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Resample();
    // The cells across the square for the present size (the factor form derives it from the side).
    int EffectiveCells(int side) const;

    QPointer<CImageDispWnd> m_window;
    QMetaObject::Connection m_cursorConnection;
    QImage m_sample;
    QImage m_canvas;  // the picture painted last, kept so a repaint per mouse move allocates nothing
    CPoint m_centre;
    int m_cells = kDefaultCells;
    int m_factor = 0;
    bool m_overlay = false;
    int m_penStyle = 0;
    int m_penWidth = 1;
    COLORREF m_penColour = 0x000000FF;
};
