// A magnifier over an image display window: shows the pixels around the image point under the mouse, enlarged
// without smoothing and with the overlay drawn in, and a cross on the point itself. It keeps its own copy of the
// image with the overlay (taken again when the window's count of measurement objects changes, or on request),
// so painting never reaches into the document. Shared by the calibration zoom window and the magnifier pane.
// UI thread. The display window may go away at any time; the magnifier then shows nothing.
#pragma once

#include "view/CImageDispWnd.h"

#include "types/WinGeometry.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class CImageDispWnd;

class CZoomViewWnd : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kDefaultFactor = 4;

    explicit CZoomViewWnd(QWidget* parent = nullptr);

    // Follows that window (null: none); the copy is taken at once.
    void Attach(CImageDispWnd* window);
    CImageDispWnd* AttachedWindow() const { return m_window; }
    // Takes the copy again when the window's measurement objects changed in number, then repaints.
    void SyncObjects();
    // Takes the copy of the current image and overlay again.
    void UpdateFromImage();

    // The image point shown at the centre.
    void SetCentre(CPoint imagePoint);
    CPoint Centre() const { return m_centre; }
    void SetFactor(int factor);
    int Factor() const { return m_factor; }

    // The magnifier's picture at its present size, as it is painted.
    QImage Render() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Paint(QPainter& painter) const;

    QPointer<CImageDispWnd> m_window;
    QImage m_source;
    int m_objectCount = -1;
    CPoint m_centre;
    int m_factor = kDefaultFactor;
};
