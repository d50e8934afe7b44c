// Drawing a 5-megapixel grey and a 5-megapixel RGB image zoomed to fit a 1920 x 1080 display window, against the
// strongest peers that put the same pixels on the same surface:
// - OpenCV: cv::resize (INTER_NEAREST) of the source into the drawn size, then the colour conversion into the
//   32-bit surface; resize runs on OpenCV's thread pool.
// - QPainter::drawImage from a 32-bit source, so that only scaling is measured, and from the grey / 24-bit source
//   itself, where Qt converts while it scales on its own thread pool.
// - Our blit alone, held to one thread and shared as the window shares it, to show what the threads bring.
// Each reports wall time (the Time column) and the CPU time of the whole process, all threads included (the CPU
// column), since several of them spread their work over threads and their wall time depends on free cores.
// The window also fills the surface around the image, which the peers leave alone. Before timing, every window
// pixel our window drew is checked against the image pixel the window maps it to, our blit's output against the
// window's, and each peer's drawn area against its own nearest-neighbour rule, so a fast but wrong path fails the
// run.
#include "CQvDispWnd.h"
#include "CQvImage.h"
#include "QvImageViews.h"
#include "QvNearestBlit.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>

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

QRgb ImageColour(const CQvImage& image, int x, int y)
{
    const BYTE* pixel = image.GetPixel(x, y);
    if (!pixel)
        return 0;
    return image.GetBitsPerPixel() == 8 ? qRgb(*pixel, *pixel, *pixel) : qRgb(pixel[2], pixel[1], pixel[0]);
}

// The window rectangle the fitted window draws the image into.
CRect DrawnRect(CQvDispWnd& wnd)
{
    const CPoint origin = wnd.GetOrigin();
    const CPoint end = wnd.GetZoomedPoint(CPoint(kImageWidth, kImageHeight));
    return CRect(origin.x, origin.y, end.x, end.y);
}

// Each check runs once per benchmark and model: the library calls a benchmark function several times.
bool CheckOnce(const std::string& name, bool (*check)(CQvDispWnd&, CQvImage&), CQvDispWnd& wnd, CQvImage& image)
{
    static std::set<std::string> passed;
    if (passed.count(name))
        return true;
    if (!check(wnd, image))
        return false;
    passed.insert(name);
    return true;
}

bool WindowOutputIsRight(CQvDispWnd& wnd, CQvImage& image)
{
    QImage surface = Surface();
    {
        CDC dc(surface);
        wnd.DrawImage(&dc, &image);
    }
    const CRect drawn = DrawnRect(wnd);
    int wrong = 0;
    for (int y = 0; y < kClientHeight; ++y)
        for (int x = 0; x < kClientWidth; ++x)
        {
            const CPoint real = wnd.GetRealPoint(CPoint(x, y), 1);
            const QRgb expected = drawn.PtInRect(CPoint(x, y)) ? ImageColour(image, real.x, real.y) : 0xFF808080;
            wrong += surface.pixel(x, y) != expected;
        }
    std::printf("window, %s: ratio %.4f, drawn %dx%d at (%d, %d), %d wrong pixels\n",
                CQvImage::GetColorModelString(image.GetColorModel()), wnd.GetRatio(), drawn.Width(),
                drawn.Height(), drawn.left, drawn.top, wrong);
    return wrong == 0 && drawn.Width() > kClientWidth / 2;
}

// A peer's drawn area shows, at every pixel, the image pixel its nearest-neighbour rule picks: the one under the
// window pixel's left/top edge (OpenCV) or under its centre (QPainter).
bool PeerOutputIsRight(const char* peer, const QImage& surface, const CRect& drawn, const CQvImage& image)
{
    const double sx = double(kImageWidth) / drawn.Width();
    const double sy = double(kImageHeight) / drawn.Height();
    // OpenCV's factors, as it works them out: the inverse of the scale, which may fall just short of sx, sy.
    const double edgeX = 1.0 / (double(drawn.Width()) / kImageWidth);
    const double edgeY = 1.0 / (double(drawn.Height()) / kImageHeight);
    const auto source = [](double v, int limit) { return std::min(limit - 1, static_cast<int>(std::floor(v))); };
    long long wrong = 0;
    for (int y = drawn.top; y < drawn.bottom; ++y)
        for (int x = drawn.left; x < drawn.right; ++x)
        {
            const int dx = x - drawn.left;
            const int dy = y - drawn.top;
            const QRgb shown = surface.pixel(x, y);
            const bool byEdge =
                shown == ImageColour(image, source(dx * edgeX, kImageWidth), source(dy * edgeY, kImageHeight));
            const bool byCentre = shown == ImageColour(image, source((dx + 0.5) * sx, kImageWidth),
                                                       source((dy + 0.5) * sy, kImageHeight));
            wrong += !byEdge && !byCentre;
        }
    std::printf("%s, %s: %lld of %d pixels off its nearest-neighbour rule\n", peer,
                CQvImage::GetColorModelString(image.GetColorModel()), wrong, drawn.Width() * drawn.Height());
    // Rounding of the scale factors may move a few columns or rows by one pixel.
    return wrong * 100 <= static_cast<long long>(drawn.Width()) * drawn.Height();
}

void BM_DisplayWindow(benchmark::State& state, int type)
{
    CQvImage image = PatternImage(type);
    auto wnd = FittedWindow();
    if (!CheckOnce("window" + std::to_string(type), WindowOutputIsRight, *wnd, image))
    {
        state.SkipWithError("the display window drew wrong pixels");
        return;
    }
    QImage surface = Surface();
    CDC dc(surface);
    for (auto _ : state)
    {
        wnd->DrawImage(&dc, &image);
        benchmark::DoNotOptimize(surface.constBits());
    }
}

// The window's blit alone, without the fill around the image: on the calling thread only (threads:1) and shared
// with the kept threads as the window does (threads:0). Checked against the window's own output.
void BM_NearestBlit(benchmark::State& state, int type)
{
    CQvImage image = PatternImage(type);
    auto wnd = FittedWindow();
    const CRect drawn = DrawnRect(*wnd);
    QImage reference = Surface();
    {
        CDC dc(reference);
        wnd->DrawImage(&dc, &image);
    }
    QImage surface = reference.copy();
    surface.fill(0xFF808080);
    BlitNearest(image, wnd->GetRatio(), drawn.TopLeft(), drawn, surface, static_cast<int>(state.range(0)));
    if (surface != reference)
    {
        state.SkipWithError("the blit drew other pixels than the window");
        return;
    }
    for (auto _ : state)
    {
        BlitNearest(image, wnd->GetRatio(), drawn.TopLeft(), drawn, surface, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(surface.constBits());
    }
}

void BM_OpenCvResize(benchmark::State& state, int type)
{
    CQvImage image = PatternImage(type);
    auto wnd = FittedWindow();
    const CRect drawn = DrawnRect(*wnd);
    const cv::Mat source = QvImageToMat(image);
    QImage surface = Surface();
    cv::Mat target(kClientHeight, kClientWidth, CV_8UC4, surface.bits(), static_cast<size_t>(surface.bytesPerLine()));
    cv::Mat area = target(cv::Rect(drawn.left, drawn.top, drawn.Width(), drawn.Height()));
    cv::Mat scaled;
    const int conversion = type == QV_GRAY8 ? cv::COLOR_GRAY2BGRA : cv::COLOR_BGR2BGRA;
    const auto draw = [&] {
        cv::resize(source, scaled, area.size(), 0, 0, cv::INTER_NEAREST);
        cv::cvtColor(scaled, area, conversion);
    };
    draw();
    static std::set<int> checked;
    if (!checked.count(type))
    {
        if (!PeerOutputIsRight("OpenCV", surface, drawn, image))
        {
            state.SkipWithError("OpenCV drew other pixels");
            return;
        }
        checked.insert(type);
    }
    for (auto _ : state)
    {
        draw();
        benchmark::DoNotOptimize(surface.constBits());
    }
}

// A QPainter draw of `view` (the source as given) into the drawn rectangle, nearest neighbour.
void PainterDraw(benchmark::State& state, int type, bool thirtyTwoBitSource)
{
    CQvImage image = PatternImage(type);
    auto wnd = FittedWindow();
    const CRect drawn = DrawnRect(*wnd);
    QImage view = QvImageToQImage(image);
    if (thirtyTwoBitSource)
        view = view.convertToFormat(QImage::Format_RGB32);
    const QRectF target(drawn.left, drawn.top, drawn.Width(), drawn.Height());
    const QRectF source(0, 0, kImageWidth, kImageHeight);
    QImage surface = Surface();
    QPainter painter(&surface);
    painter.drawImage(target, view, source);
    static std::set<std::pair<int, bool>> checked;
    if (!checked.count({type, thirtyTwoBitSource}))
    {
        if (!PeerOutputIsRight(thirtyTwoBitSource ? "QPainter, 32-bit source" : "QPainter, converting", surface,
                               drawn, image))
        {
            state.SkipWithError("QPainter drew other pixels");
            return;
        }
        checked.insert({type, thirtyTwoBitSource});
    }
    for (auto _ : state)
    {
        painter.drawImage(target, view, source);
        benchmark::DoNotOptimize(surface.constBits());
    }
}

void BM_QPainter32BitSource(benchmark::State& state, int type) { PainterDraw(state, type, true); }
void BM_QPainterConverting(benchmark::State& state, int type) { PainterDraw(state, type, false); }

#define DISPLAY_BENCHMARK(function, name, type)                                                                   \
    BENCHMARK_CAPTURE(function, name, int(type))                                                                   \
        ->Unit(benchmark::kMillisecond)                                                                            \
        ->UseRealTime()                                                                                            \
        ->MeasureProcessCPUTime()

DISPLAY_BENCHMARK(BM_DisplayWindow, Grey, QV_GRAY8);
DISPLAY_BENCHMARK(BM_OpenCvResize, Grey, QV_GRAY8);
DISPLAY_BENCHMARK(BM_QPainter32BitSource, Grey, QV_GRAY8);
DISPLAY_BENCHMARK(BM_QPainterConverting, Grey, QV_GRAY8);
DISPLAY_BENCHMARK(BM_NearestBlit, Grey, QV_GRAY8)->ArgName("threads")->Arg(1)->Arg(0);
DISPLAY_BENCHMARK(BM_DisplayWindow, Rgb, QV_RGB24);
DISPLAY_BENCHMARK(BM_OpenCvResize, Rgb, QV_RGB24);
DISPLAY_BENCHMARK(BM_QPainter32BitSource, Rgb, QV_RGB24);
DISPLAY_BENCHMARK(BM_QPainterConverting, Rgb, QV_RGB24);
DISPLAY_BENCHMARK(BM_NearestBlit, Rgb, QV_RGB24)->ArgName("threads")->Arg(1)->Arg(0);

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
