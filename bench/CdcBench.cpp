// Drawing through CDC against the same drawing with QPainter directly, on a display-sized RGB32 image: 10,000
// one-pixel lines and 10,000 ellipses from the same pseudo-random coordinates. Before timing, the two paths'
// images are compared, so a fast but wrong path fails the run.
#include "gdi/CDC.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kCount = 10000;

struct Box
{
    int left, top, right, bottom;
};

// The same coordinates on every run: lines anywhere on the image, ellipses 4 to 203 pixels across.
const std::vector<Box>& Lines()
{
    static const std::vector<Box> lines = [] {
        std::vector<Box> result;
        uint32_t state = 2024;
        auto next = [&state](int range) {
            state = state * 1664525u + 1013904223u;
            return static_cast<int>((state >> 8) % static_cast<uint32_t>(range));
        };
        for (int i = 0; i < kCount; ++i)
            result.push_back(Box{next(kWidth), next(kHeight), next(kWidth), next(kHeight)});
        return result;
    }();
    return lines;
}

const std::vector<Box>& Ellipses()
{
    static const std::vector<Box> ellipses = [] {
        std::vector<Box> result;
        uint32_t state = 7;
        auto next = [&state](int range) {
            state = state * 1664525u + 1013904223u;
            return static_cast<int>((state >> 8) % static_cast<uint32_t>(range));
        };
        for (int i = 0; i < kCount; ++i) {
            const int left = next(kWidth - 210);
            const int top = next(kHeight - 210);
            result.push_back(Box{left, top, left + 4 + next(200), top + 4 + next(200)});
        }
        return result;
    }();
    return ellipses;
}

QImage Surface()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QPen CosmeticPen()
{
    return QPen(Qt::black, 0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
}

void DrawLinesCdc(CDC& dc)
{
    for (const Box& line : Lines()) {
        dc.MoveTo(line.left, line.top);
        dc.LineTo(line.right, line.bottom);
    }
}

void DrawLinesQPainter(QPainter& painter)
{
    for (const Box& line : Lines())
        painter.drawLine(line.left, line.top, line.right, line.bottom);
}

void DrawEllipsesCdc(CDC& dc)
{
    for (const Box& box : Ellipses())
        dc.Ellipse(box.left, box.top, box.right, box.bottom);
}

void DrawEllipsesQPainter(QPainter& painter)
{
    for (const Box& box : Ellipses())
        painter.drawEllipse(QRect(box.left, box.top, box.right - box.left - 1, box.bottom - box.top - 1));
}

int CountDifferences(const QImage& a, const QImage& b)
{
    int differences = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differences += a.pixel(x, y) != b.pixel(x, y);
    return differences;
}

bool Inked(const QImage& image, int x, int y)
{
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() && (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
}

// Inked pixels of `a` with no inked pixel of `b` at or next to them.
int CountStrayInk(const QImage& a, const QImage& b)
{
    int stray = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!Inked(a, x, y) || Inked(b, x, y))
                continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = Inked(b, x + dx, y + dy);
            stray += !near;
        }
    }
    return stray;
}

int CountInk(const QImage& image)
{
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    return ink;
}

// Lines may differ where the two walks round a half-way pixel differently and at the end pixels, but every pixel
// of one must lie at or next to a pixel of the other; ellipses go through the same painter call and must match.
bool OutputsAgree()
{
    QImage cdcLines = Surface();
    QImage directLines = Surface();
    {
        CDC dc(cdcLines);
        DrawLinesCdc(dc);
        QPainter painter(&directLines);
        painter.setPen(CosmeticPen());
        DrawLinesQPainter(painter);
    }
    const int lineInk = CountInk(cdcLines);
    const int lineDifferences = CountDifferences(cdcLines, directLines);
    const int strayLines = CountStrayInk(cdcLines, directLines) + CountStrayInk(directLines, cdcLines);
    QImage cdcEllipses = Surface();
    QImage directEllipses = Surface();
    {
        CDC dc(cdcEllipses);
        DrawEllipsesCdc(dc);
        QPainter painter(&directEllipses);
        painter.setPen(CosmeticPen());
        painter.setBrush(Qt::white);
        DrawEllipsesQPainter(painter);
    }
    const int ellipseInk = CountInk(cdcEllipses);
    const int ellipseDifferences = CountDifferences(cdcEllipses, directEllipses);
    std::printf("lines: %d inked pixels, %d differ, %d stray; ellipses: %d inked pixels, %d differ\n", lineInk,
                lineDifferences, strayLines, ellipseInk, ellipseDifferences);
    return lineInk > kWidth * kHeight / 4 && strayLines == 0 && ellipseInk > kWidth * kHeight / 40 &&
           ellipseDifferences == 0;
}

void BM_LinesCdc(benchmark::State& state)
{
    QImage image = Surface();
    CDC dc(image);
    for (auto _ : state)
        DrawLinesCdc(dc);
}

void BM_LinesQPainter(benchmark::State& state)
{
    QImage image = Surface();
    QPainter painter(&image);
    painter.setPen(CosmeticPen());
    for (auto _ : state)
        DrawLinesQPainter(painter);
}

void BM_EllipsesCdc(benchmark::State& state)
{
    QImage image = Surface();
    CDC dc(image);
    for (auto _ : state)
        DrawEllipsesCdc(dc);
}

void BM_EllipsesQPainter(benchmark::State& state)
{
    QImage image = Surface();
    QPainter painter(&image);
    painter.setPen(CosmeticPen());
    painter.setBrush(Qt::white);
    for (auto _ : state)
        DrawEllipsesQPainter(painter);
}

}  // namespace

BENCHMARK(BM_LinesCdc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinesQPainter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EllipsesCdc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EllipsesQPainter)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication application(argc, argv);
    // Qt takes the numeric locale from the environment; stored numbers and printed figures use a point.
    std::setlocale(LC_NUMERIC, "C");
    if (!OutputsAgree()) {
        std::fprintf(stderr, "CDC output does not match the direct drawing\n");
        return EXIT_FAILURE;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
