#include "quantor/SurfacePlotWnd.h"

#include "quantor/OpenGlSeam.h"
#include "quantor/QuantorStrings.h"

#include "inifile/FileBytes.h"
#include "qvimage/CQvImage.h"
#include "strings/Format.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPainter>
#include <QTimerEvent>

#include <cstring>

namespace quantor {

namespace {

constexpr int kDefaultStep = 5;

}  // namespace

CSurfacePlotWnd::CSurfacePlotWnd(QWidget* parent) : QOpenGLWidget(parent)
{
    setFormat(PlotFormat());
    // The plot paints every pixel of each frame itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CSurfacePlotWnd::~CSurfacePlotWnd()
{
    // The base's destructor destroys the context: by then this part of the window is gone.
    QObject::disconnect(m_contextGoes);
    ReleaseGl();
}

QSurfaceFormat CSurfacePlotWnd::PlotFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    return format;
}

void CSurfacePlotWnd::ReleaseGl()
{
    if (!m_seam)
        return;
    // The font's display lists go with the context that made them.
    if (context()) {
        makeCurrent();
        m_plot.Release();
        doneCurrent();
    }
    m_seam.reset();
}

void CSurfacePlotWnd::SetImage(CQvImage* image)
{
    m_image = PlotImage{};
    if (image && !image->IsEmpty()) {
        m_image.width = image->GetWidth();
        m_image.height = image->GetHeight();
        m_image.bitCount = image->GetBitsPerPixel();
        m_image.rows = image->Get2DBuffer();
    }
    m_plot.SetImage(image ? &m_image : nullptr, 0);
    m_plot.SetStep(kDefaultStep);
    Rebuild();
}

void CSurfacePlotWnd::Rebuild()
{
    m_plot.BuildFromImage();
}

void CSurfacePlotWnd::initializeGL()
{
    m_seam = std::make_unique<OpenGlSeam>();
    m_plot.Attach(m_seam.get());
    // The context goes before the widget's destructor runs when the window leaves its top-level window.
    QObject::disconnect(m_contextGoes);
    m_contextGoes = connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { ReleaseGl(); });
}

void CSurfacePlotWnd::resizeGL(int width, int height)
{
    m_plot.Reshape(width, height);
}

void CSurfacePlotWnd::paintGL()
{
    const qreal ratio = devicePixelRatioF();
    m_plot.Reshape(static_cast<int>(width() * ratio), static_cast<int>(height() * ratio));
    m_plot.Render();
    if (m_plot.ShowsDemo()) {
        QPainter painter(this);
        painter.setPen(Qt::black);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("Hello world !"));
    }
}

void CSurfacePlotWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint p = event->position().toPoint();
        m_plot.OnButtonDown(p.x(), p.y());
    }
    QOpenGLWidget::mousePressEvent(event);
}

void CSurfacePlotWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_plot.OnButtonUp();
    QOpenGLWidget::mouseReleaseEvent(event);
}

void CSurfacePlotWnd::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (m_plot.OnMouseMove(event->modifiers().testFlag(Qt::ShiftModifier), p.x(), p.y(), width(), height()))
        update();
    QOpenGLWidget::mouseMoveEvent(event);
}

void CSurfacePlotWnd::StartTimer(int id)
{
    if (GlScene::IsTimerId(id))
        m_timers[static_cast<size_t>(id)].start(m_plot.m_nTimerInterval, this);
}

void CSurfacePlotWnd::StopTimer(int id)
{
    if (GlScene::IsTimerId(id))
        m_timers[static_cast<size_t>(id)].stop();
}

void CSurfacePlotWnd::timerEvent(QTimerEvent* event)
{
    for (size_t id = 0; id < m_timers.size(); ++id)
        if (m_timers[id].timerId() == event->timerId()) {
            if (m_plot.OnTimer(static_cast<int>(id)))
                update();
            return;
        }
    QOpenGLWidget::timerEvent(event);
}

PackedDib CSurfacePlotWnd::Capture()
{
    if (width() <= 0 || height() <= 0)
        return {};
    const QImage frame = grabFramebuffer().convertToFormat(QImage::Format_RGB888);
    if (frame.isNull() || frame.width() <= 0 || frame.height() <= 0)
        return {};
    PackedDib dib = MakeDib(frame.width(), frame.height(), 24);
    const auto offset = DibPixelOffset(dib);
    if (dib.empty() || !offset)
        return {};
    // Bottom-up rows of blue, green, red.
    const uint32_t rowBytes = DibRowBytes(frame.width(), 24);
    for (int y = 0; y < frame.height(); ++y) {
        const uchar* src = frame.constScanLine(y);
        uint8_t* dst = dib.data() + *offset + static_cast<size_t>(frame.height() - 1 - y) * rowBytes;
        for (int x = 0; x < frame.width(); ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return dib;
}

void CSurfacePlotWnd::SaveBitmap()
{
    const PackedDib dib = Capture();
    if (dib.empty()) {
        AfxMessageBox(QuantorString(IDS_NO_CAPTURE), MB_OK);
        return;
    }
    FileDialogRequest request;
    request.save = true;
    request.title = QuantorString(IDS_SAVE_TITLE);
    request.filter = QuantorString(IDS_SAVE_FILTER);
    request.defaultExtension = ".bmp";
    request.initialFile = "3D";
    request.overwritePrompt = true;
    const std::string path = ChooseFile(request);
    if (path.empty())
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto bytes = BmpBytesOfDib(dib);
    const bool written =
        bytes && WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    QGuiApplication::restoreOverrideCursor();
    if (!written)
        AfxMessageBox(Format(QuantorString(IDS_CANNOT_SAVE).c_str(), path.c_str()), MB_OK);
}

}  // namespace quantor
