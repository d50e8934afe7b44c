// Drawing a 5-megapixel grey and a 5-megapixel RGB image zoomed to fit a 1920 x 1080 display window, against a
// bare QPainter::drawImage of the same source rectangle into the same target rectangle (no smoothing). Ours
// should cost at most 1.3 times the bare call. Before timing, every window pixel that ours drew is checked against
// the image pixel the window maps it to, so a fast but wrong path fails the run.
#include "CQvDispWnd.h"
#include "CQvImage.h"
#include "QvImageViews.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kImageWidth = 2592;
constexpr int kImageHeight = 1944;
constexpr int kClientWidth = 1920;
constexpr int kClientHeight = 1080;

CQvImage PatternImage(int type)
{
    CQvImage image;
    image.Create(type, kImageWidth, kImageHeight, 0);
    const int rowBytes = kImageWidth * image.GetBitsPerPixel() / 8;
    for (int y = 0; y < kImageHeight; ++y)
    {
        BYTE* row = image.Get2DBuffer()[y];
        for (int i = 0; i < rowBytes; ++i)
            row[i] = static_cast<BYTE>(i * 7 + y * 3);
    }
    return image;
}

// A shown window whose client area is exactly 1920 x 1080, zoomed to fit the image.
std::unique_ptr<CQvDispWnd> FittedWindow()
{
    auto wnd = std::make_unique<CQvDispWnd>();
    wnd->setFrameShape(QFrame::NoFrame);
    wnd->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    wnd->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    wnd->resize(kClientWidth, kClientHeight);
    wnd->show();
    QApplication::processEvents();
    wnd->SetCanvasSize(CSize(kImageWidth, kImageHeight));
    wnd->SetZoom(std::min(float(kClientWidth) / kImageWidth, float(kClientHeight) / kImageHeight));
    return wnd;
}

QImage Surface()
{
    QImage surface(kClientWidth, kClientHeight, QImage::Format_RGB32);
    surface.fill(Qt::black);
    return surface;
}

QRgb ImageColour(const CQvImage& image, CPoint p)
{
    const BYTE* pixel = image.GetPixel(p.x, p.y);
    if (!pixel)
        return 0;
    return image.GetBitsPerPixel() == 8 ? qRgb(*pixel, *pixel, *pixel) : qRgb(pixel[2], pixel[1], pixel[0]);
}

bool OutputIsRight(CQvDispWnd& wnd, CQvImage& image)
{
    QImage surface = Surface();
    {
        CDC dc(surface);
        wnd.DrawImage(&dc, &image);
    }
    const CPoint origin = wnd.GetOrigin();
    const CPoint end = wnd.GetZoomedPoint(CPoint(kImageWidth, kImageHeight));
    int wrong = 0;
    for (int y = 0; y < kClientHeight; ++y)
        for (int x = 0; x < kClientWidth; ++x)
        {
            const bool onImage = x >= origin.x && x < end.x && y >= origin.y && y < end.y;
            const QRgb expected = onImage ? ImageColour(image, wnd.GetRealPoint(CPoint(x, y), 1)) : 0xFF808080;
            wrong += surface.pixel(x, y) != expected;
        }
    std::printf("%s: ratio %.4f, drawn %dx%d at (%d, %d), %d wrong pixels\n",
                CQvImage::GetColorModelString(image.GetColorModel()), wnd.GetRatio(), end.x - origin.x,
                end.y - origin.y, origin.x, origin.y, wrong);
    return wrong == 0 && end.x - origin.x > kClientWidth / 2;
}

void BM_DisplayWindow(benchmark::State& state, int type)
{
    CQvImage image = PatternImage(type);
    auto wnd = FittedWindow();
    // Checked once per colour model: the benchmark library calls this function several times.
    static bool checked[2] = {false, false};
    bool& typeChecked = checked[type == QV_GRAY8 ? 0 : 1];
    if (!typeChecked && !OutputIsRight(*wnd, image))
    {
        state.SkipWithError("the display window drew wrong pixels");
        return;
    }
    typeChecked = true;
    QImage surface = Surface();
    CDC dc(surface);
    for (auto _ : state)
    {
        wnd->DrawImage(&dc, &image);
        benchmark::DoNotOptimize(surface.constBits());
    }
}

void BM_BareQPainter(benchmark::State& state, int type)
{
    CQvImage image = PatternImage(type);
    auto wnd = FittedWindow();
    const QImage view = QvImageToQImage(image);
    const CPoint origin = wnd->GetOrigin();
    const CPoint end = wnd->GetZoomedPoint(CPoint(kImageWidth, kImageHeight));
    const QRectF target(origin.x, origin.y, end.x - origin.x, end.y - origin.y);
    const QRectF source(0, 0, kImageWidth, kImageHeight);
    QImage surface = Surface();
    QPainter painter(&surface);
    for (auto _ : state)
    {
        painter.drawImage(target, view, source);
        benchmark::DoNotOptimize(surface.constBits());
    }
}

// Wall-clock time: Qt's raster engine spreads large scaled draws over worker threads, whose CPU time the main
// thread's clock would not see.
BENCHMARK_CAPTURE(BM_DisplayWindow, Grey, int(QV_GRAY8))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_BareQPainter, Grey, int(QV_GRAY8))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_DisplayWindow, Rgb, int(QV_RGB24))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_BareQPainter, Rgb, int(QV_RGB24))->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // Qt takes the numeric locale from the environment; stored numbers and printed figures use a point.
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
