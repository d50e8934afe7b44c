// The window the surface plot is drawn in: an OpenGL widget that owns the plot and the volume map, forwards paint,
// size, timer and mouse events to the plot, builds the plot's grid from the image it is given, and captures what
// it shows as a packed DIB for saving and printing. The capture reads the widget's own frame buffer, so a window
// over the plot is never captured with it. UI thread only.
#pragma once

#include "quantor/PackedDib.h"
#include "quantor/SurfaceMap.h"
#include "quantor/SurfacePlotModel.h"

#include <QBasicTimer>
#include <QOpenGLWidget>

#include <array>

#include <memory>

class CQvImage;

namespace quantor {

class GlSeam;

class CSurfacePlotWnd : public QOpenGLWidget
{
public:
    explicit CSurfacePlotWnd(QWidget* parent = nullptr);
    ~CSurfacePlotWnd() override;

    // The format the plot draws with: a compatibility profile (immediate mode, display lists), depth and stencil.
    static QSurfaceFormat PlotFormat();

    // Gives the plot the image (not owned; it must outlive the window or be replaced) with step 5 and channel 0,
    // and builds the grid. A null image shows the demo.
    void SetImage(CQvImage* image);
    // Store the value only: Rebuild makes the grid again.
    void SetStep(int step) { m_plot.SetStep(step); }
    void SetChannel(int channel) { m_plot.SetChannel(channel); }
    void Rebuild();
    // The grid shown, or null while the demo shows (no image, or one smaller than a step or of another depth).
    GridData* CurrentGrid() const { return m_plot.CurrentGrid(); }
    void Invert() { m_plot.Invert(); }

    SurfacePlot& Plot() { return m_plot; }
    SurfaceMap& Map() { return m_map; }

    // Spin timers of the plot (ids 0..6, the plot's interval apart; other ids start or stop nothing). Nothing in
    // the dialog starts one.
    void StartTimer(int id);
    void StopTimer(int id);

    // The client area as the plot shows it, as a 24-bit packed DIB; empty for an empty window.
    PackedDib Capture();
    // The dialog's "Save": capture, ask for a ".bmp" path, write the BMP file; each failure is told in a message.
    void SaveBitmap();

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void ReleaseGl();

    SurfacePlot m_plot;
    SurfaceMap m_map;
    std::unique_ptr<GlSeam> m_seam;
    PlotImage m_image;
    std::array<QBasicTimer, 7> m_timers;
    QMetaObject::Connection m_contextGoes;
};

}  // namespace quantor
