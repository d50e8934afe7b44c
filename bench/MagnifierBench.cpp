// The magnifier's work for one mouse move over a 5-megapixel image (sampling the 21 x 21 pixels around the cursor
// and repainting the 200 x 200 widget with cross-hair, frame and five overlay lines) against a bare widget that
// repaints with one scaled QPainter::drawImage of the same 21 x 21 region, both on the offscreen platform.
// Target: within 1.5 times the bare repaint.
// Before timing, the magnifier must show the cursor's pixel in the middle of the square.
#include "panels/CZoomViewWnd.h"
#include "view/CImageDispWnd.h"

#include "calibkeeper/CCalibKeeper.h"
#include "framepool/CQvFramePool.h"
#include "gdi/CDC.h"
#include "gobjects/CQvGObjectContainer.h"
#include "qvimage/CQvImage.h"
#include "types/WinUser.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;
constexpr int kSide = 200;

class BareMagnifier : public QWidget
{
public:
    QImage source;
    QRect region;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(QRect(0, 0, width(), height()), source, region);
    }
};

struct Setup
{
    CQvFramePool pool;
    CQvGObjectContainer objects;
    CCalibKeeper calibration;
    QWidget parent;
    CImageDispWnd* window = nullptr;
    CZoomViewWnd magnifier;
    BareMagnifier bare;
    bool ok = false;
};

Setup& TheSetup()
{
    static Setup* setup = [] {
        auto* s = new Setup;
        CQvImage image;
        image.Create(QV_RGB24, kWidth, kHeight, 0);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                BYTE* p = image.GetPixel(x, y);
                p[0] = static_cast<BYTE>(x);
                p[1] = static_cast<BYTE>(y);
                p[2] = static_cast<BYTE>(x ^ y);
            }
        s->pool.SetImage(&image);
        s->parent.resize(800, 600);
        s->window = new CImageDispWnd();
        s->window->Create(&s->parent, CRect(0, 0, 800, 600));
        s->parent.show();
        DispWndDocument doc;
        doc.framePool = &s->pool;
        doc.objects = &s->objects;
        doc.calibration = &s->calibration;
        s->window->Bind(doc);
        // Five finished lines across the cursor's area, made the way the mouse makes them.
        s->objects.SetAutoRepeatCreatingObject(0);
        for (int i = 0; i < 5; ++i) {
            s->objects.AddObject(SHAPE_ANNO_LINE);
            std::unique_ptr<CDC> dc = s->window->GetSurfaceDC();
            for (CPoint p : {CPoint(280, 190 + i * 16), CPoint(380, 260 - i * 12)}) {
                s->objects.MouseMove(dc.get(), 0, p);
                s->objects.LButtonDown(MK_LBUTTON, p);
                s->objects.LButtonUp(0, p);
            }
        }
        s->magnifier.resize(kSide, kSide);
        s->magnifier.SetOverlay(true);
        s->magnifier.Attach(s->window);
        s->magnifier.show();
        s->bare.resize(kSide, kSide);
        s->bare.source = QImage(s->pool.GetImage().GetBuffer(), kWidth, kHeight, s->pool.GetImage().GetStride(),
                                QImage::Format_BGR888);
        s->bare.show();
        QApplication::processEvents();

        const CPoint at = s->window->GetZoomedPoint(CPoint(1000, 700));
        s->magnifier.FollowCursor(at);
        const QImage shown = s->magnifier.Render();
        const QRgb centre = shown.pixel(kSide / 2 - 2, kSide / 2 - 2);
        const BYTE* p = s->pool.GetImage().GetPixel(1000, 700);
        std::printf("magnifier at (%d, %d): centre %06x, image %02x%02x%02x\n", s->magnifier.Centre().x,
                    s->magnifier.Centre().y, centre & 0xFFFFFF, p[2], p[1], p[0]);
        std::printf("objects: %zu\n", s->objects.GetMainObjList().size());
        s->ok = s->objects.GetMainObjList().size() == 5 && s->magnifier.Centre() == CPoint(1000, 700) &&
                (centre & 0xFFFFFF) == (qRgb(p[2], p[1], p[0]) & 0xFFFFFF) && (centre & 0xFFFFFF) != 0;
        return s;
    }();
    return *setup;
}

void BM_MagnifierPerMouseMove(benchmark::State& state)
{
    Setup& s = TheSetup();
    if (!s.ok) {
        state.SkipWithError("the magnifier did not show the cursor's pixel");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        s.magnifier.FollowCursor(CPoint(300 + (step & 63), 200 + ((step >> 6) & 63)));
        ++step;
    }
}

// The same without the overlay: what the five lines cost.
void BM_MagnifierPerMouseMoveNoOverlay(benchmark::State& state)
{
    Setup& s = TheSetup();
    s.magnifier.SetOverlay(false);
    int step = 0;
    for (auto _ : state) {
        s.magnifier.FollowCursor(CPoint(300 + (step & 63), 200 + ((step >> 6) & 63)));
        ++step;
    }
    s.magnifier.SetOverlay(true);
}

void BM_MagnifierPerMouseMove_PeerBareDrawImage(benchmark::State& state)
{
    Setup& s = TheSetup();
    int step = 0;
    for (auto _ : state) {
        s.bare.region = QRect(290 + (step & 63), 190 + ((step >> 6) & 63), 21, 21);
        s.bare.repaint();
        ++step;
    }
}

}  // namespace

BENCHMARK(BM_MagnifierPerMouseMove)->Unit(benchmark::kMicrosecond)->Repetitions(3);
BENCHMARK(BM_MagnifierPerMouseMoveNoOverlay)->Unit(benchmark::kMicrosecond)->Repetitions(3);
BENCHMARK(BM_MagnifierPerMouseMove_PeerBareDrawImage)->Unit(benchmark::kMicrosecond)->Repetitions(3);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
