// The navigator: the whole image of the attached display window fitted into this window, with the part the view
// shows framed in red; dragging with the left button scrolls the view.
// UI thread. The picture is a scaled copy made on Rebuild (only when the fitted size changed); the frame is worked
// out when painting, so it follows every scroll.
#pragma once

#include "types/WinGeometry.h"
#include "view/CImageDispWnd.h"  // AttachedWindow() converts the guarded pointer

#include <QImage>
#include <QPointer>
#include <QWidget>

class CZoomNavigatorWnd : public QWidget
{
    Q_OBJECT

public:
    explicit CZoomNavigatorWnd(QWidget* parent = nullptr);

    void Attach(CImageDispWnd* window);
    void Detach() { Attach(nullptr); }
    CImageDispWnd* AttachedWindow() const { return m_window; }
    // Takes the picture again when the fitted size changed, then repaints.
    void Rebuild(bool force = false);

    // The fitted rectangle of the image and the window pixels of the view per navigator pixel (0: none).
    CRect FittedRect() const;
    double Scale() const;
    // The framed part of the view, in navigator pixels (empty when detached).
    CRect VisibleFrame() const;

    QImage Render() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointer<CImageDispWnd> m_window;
    QImage m_picture;
    QPoint m_dragFrom;
    bool m_dragging = false;
};
