// Drawing through CDC against its strongest peers on a display-sized RGB32 image, from the same pseudo-random
// coordinates: 10,000 one-pixel lines (QPainter on its clipped direct-pixel path, and a bare Bresenham loop over
// the same pixels) and 10,000 filled ellipses with a 1-pixel outline (a plain midpoint span fill drawing the same
// pixels, OpenCV and QPainter). Before timing, every peer's image is checked against the CDC's, so a fast but
// wrong path fails the run.
#include "gdi/CDC.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kCount = 10000;
constexpr QRgb kInk = 0xFF000000;
constexpr QRgb kFill = 0xFF5AA0DC;  // RGB(90, 160, 220)

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

// --- Lines ---

void DrawLinesCdc(CDC& dc)
{
    for (const Box& line : Lines()) {
        dc.MoveTo(line.left, line.top);
        dc.LineTo(line.right, line.bottom);
    }
}

// Qt 6 strokes cosmetic lines pixel by pixel only when the painter has a rectangular clip.
void ClipToImage(QPainter& painter, const QImage& image)
{
    painter.setClipRect(image.rect());
}

void DrawLinesQPainter(QPainter& painter)
{
    for (const Box& line : Lines())
        painter.drawLine(line.left, line.top, line.right, line.bottom);
}

// The pixels nearest the line along its major axis, halves away from the start, the end pixel left out: what the
// CDC paints, with no clipping, mix mode or dash pattern (every line lies on the image).
void BresenhamLine(QImage& image, int x0, int y0, int x1, int y1)
{
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int dx = std::abs(x1 - x0);
    const int dy = std::abs(y1 - y0);
    const int sx = x1 < x0 ? -1 : 1;
    const int sy = y1 < y0 ? -1 : 1;
    if (dx >= dy) {
        int remainder = dx;
        for (int x = x0, y = y0, i = 0; i < dx; ++i, x += sx) {
            reinterpret_cast<QRgb*>(bits + y * stride)[x] = kInk;
            remainder += 2 * dy;
            if (remainder >= 2 * dx) {
                remainder -= 2 * dx;
                y += sy;
            }
        }
    } else {
        int remainder = dy;
        for (int x = x0, y = y0, i = 0; i < dy; ++i, y += sy) {
            reinterpret_cast<QRgb*>(bits + y * stride)[x] = kInk;
            remainder += 2 * dx;
            if (remainder >= 2 * dy) {
                remainder -= 2 * dy;
                x += sx;
            }
        }
    }
}

void DrawLinesBresenham(QImage& image)
{
    for (const Box& line : Lines())
        BresenhamLine(image, line.left, line.top, line.right, line.bottom);
}

// --- Filled ellipses: brush kFill, 1-pixel black outline, box right and bottom exclusive ---

void DrawEllipsesCdc(CDC& dc)
{
    for (const Box& box : Ellipses())
        dc.Ellipse(box.left, box.top, box.right, box.bottom);
}

// The midpoint ellipse walk over the four quadrants, filling each row between its innermost outline pixels as the
// walk leaves it: the plainest span fill of the same pixels (the box lies on the image).
void SpanFillEllipse(QImage& image, const Box& box)
{
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    auto row = [&](int64_t y) { return reinterpret_cast<QRgb*>(bits + y * stride); };
    int64_t x0 = box.left;
    int64_t y0 = box.top;
    int64_t x1 = box.right - 1;
    int64_t y1 = box.bottom - 1;
    const int64_t a = x1 - x0;
    const int64_t b = y1 - y0;
    if (a == 0 || b == 0) {
        for (int64_t y = y0; y <= y1; ++y)
            std::fill(row(y) + x0, row(y) + x1 + 1, kInk);
        return;
    }
    const int64_t oddHeight = b & 1;
    int64_t dx = 4 * (1 - a) * b * b;
    int64_t dy = 4 * (oddHeight + 1) * a * a;
    int64_t err = dx + dy + oddHeight * a * a;
    y0 += (b + 1) / 2;
    y1 = y0 - oddHeight;
    const int64_t stepX = 8 * b * b;
    const int64_t stepY = 8 * a * a;
    do {
        row(y0)[x1] = kInk;
        row(y0)[x0] = kInk;
        row(y1)[x0] = kInk;
        row(y1)[x1] = kInk;
        const int64_t e2 = 2 * err;
        if (e2 <= dy) {
            if (x0 + 1 < x1) {
                std::fill(row(y0) + x0 + 1, row(y0) + x1, kFill);
                std::fill(row(y1) + x0 + 1, row(y1) + x1, kFill);
            }
            ++y0;
            --y1;
            err += dy += stepY;
        }
        if (e2 >= dx || 2 * err > dy) {
            ++x0;
            --x1;
            err += dx += stepX;
        }
    } while (x0 <= x1);
    while (y0 - y1 <= b) {
        row(y0)[x0 - 1] = kInk;
        row(y0++)[x1 + 1] = kInk;
        row(y1)[x0 - 1] = kInk;
        row(y1--)[x1 + 1] = kInk;
    }
}

void DrawEllipsesSpanFill(QImage& image)
{
    for (const Box& box : Ellipses())
        SpanFillEllipse(image, box);
}

// OpenCV on the same pixels; centre and axes in half pixels (shift 1), the fill and then the outline.
void DrawEllipsesOpenCV(cv::Mat& mat)
{
    const cv::Scalar fill(qBlue(kFill), qGreen(kFill), qRed(kFill), 255);
    const cv::Scalar ink(0, 0, 0, 255);
    for (const Box& box : Ellipses()) {
        const cv::Point centre(box.left + box.right - 1, box.top + box.bottom - 1);
        const cv::Size axes(box.right - box.left - 1, box.bottom - box.top - 1);
        cv::ellipse(mat, centre, axes, 0, 0, 360, fill, cv::FILLED, cv::LINE_8, 1);
        cv::ellipse(mat, centre, axes, 0, 0, 360, ink, 1, cv::LINE_8, 1);
    }
}

cv::Mat MatOf(QImage& image)
{
    return cv::Mat(image.height(), image.width(), CV_8UC4, image.bits(), static_cast<size_t>(image.bytesPerLine()));
}

void DrawEllipsesQPainter(QPainter& painter)
{
    for (const Box& box : Ellipses())
        painter.drawEllipse(QRect(box.left, box.top, box.right - box.left - 1, box.bottom - box.top - 1));
}

void SetUpEllipsePainter(QPainter& painter, const QImage& image)
{
    ClipToImage(painter, image);
    painter.setPen(CosmeticPen());
    painter.setBrush(QColor::fromRgb(kFill));
}

// --- Checks ---

int CountDifferences(const QImage& a, const QImage& b)
{
    int differences = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differences += a.pixel(x, y) != b.pixel(x, y);
    return differences;
}

bool HasColour(const QImage& image, int x, int y, QRgb colour)
{
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
           (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
}

// Pixels of `a` that are not white and have no pixel of the same colour in `b` at or next to them.
int CountStray(const QImage& a, const QImage& b)
{
    int stray = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb colour = a.pixel(x, y);
            if ((colour & 0xFFFFFF) == 0xFFFFFF || HasColour(b, x, y, colour))
                continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = HasColour(b, x + dx, y + dy, colour);
            stray += !near;
        }
    }
    return stray;
}

int CountColour(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += HasColour(image, x, y, colour);
    return count;
}

// The Bresenham loop and the span fill must match the CDC exactly. QPainter and OpenCV choose other pixels where a
// line or outline passes half-way between two, but every pixel of theirs must lie at or next to a CDC pixel of the
// same colour and the other way round (lines: none astray; ellipses, where a neighbour's outline can cover the
// differing pixel: fewer than one in a thousand).
bool OutputsAgree()
{
    QImage cdcLines = Surface();
    QImage clippedLines = Surface();
    QImage unclippedLines = Surface();
    QImage bresenhamLines = Surface();
    {
        CDC dc(cdcLines);
        DrawLinesCdc(dc);
        QPainter clipped(&clippedLines);
        ClipToImage(clipped, clippedLines);
        clipped.setPen(CosmeticPen());
        DrawLinesQPainter(clipped);
        QPainter unclipped(&unclippedLines);
        unclipped.setPen(CosmeticPen());
        DrawLinesQPainter(unclipped);
        DrawLinesBresenham(bresenhamLines);
    }
    const int lineInk = CountColour(cdcLines, kInk);
    const int clipChanges = CountDifferences(clippedLines, unclippedLines);
    const int strayLines = CountStray(cdcLines, clippedLines) + CountStray(clippedLines, cdcLines);
    const int bresenhamDifferences = CountDifferences(cdcLines, bresenhamLines);
    std::printf("lines: %d inked pixels; QPainter: %d stray, clip changes %d pixels; Bresenham: %d differ\n", lineInk,
                strayLines, clipChanges, bresenhamDifferences);

    QImage cdcEllipses = Surface();
    QImage spanEllipses = Surface();
    QImage cvEllipses = Surface();
    QImage painterEllipses = Surface();
    {
        CDC dc(cdcEllipses);
        CBrush brush(RGB(qRed(kFill), qGreen(kFill), qBlue(kFill)));
        dc.SelectObject(&brush);
        DrawEllipsesCdc(dc);
        DrawEllipsesSpanFill(spanEllipses);
        cv::Mat mat = MatOf(cvEllipses);
        DrawEllipsesOpenCV(mat);
        QPainter painter(&painterEllipses);
        SetUpEllipsePainter(painter, painterEllipses);
        DrawEllipsesQPainter(painter);
    }
    const int ellipseInk = CountColour(cdcEllipses, kInk);
    const int ellipseFill = CountColour(cdcEllipses, kFill);
    const int spanDifferences = CountDifferences(cdcEllipses, spanEllipses);
    const int strayCv = CountStray(cdcEllipses, cvEllipses) + CountStray(cvEllipses, cdcEllipses);
    const int strayPainter = CountStray(cdcEllipses, painterEllipses) + CountStray(painterEllipses, cdcEllipses);
    std::printf("ellipses: %d outline and %d fill pixels; span fill: %d differ; OpenCV: %d stray; QPainter: %d stray\n",
                ellipseInk, ellipseFill, spanDifferences, strayCv, strayPainter);
    const int strayBudget = kWidth * kHeight / 1000;
    return lineInk > kWidth * kHeight / 4 && strayLines == 0 && clipChanges == 0 && bresenhamDifferences == 0 &&
           ellipseInk > kWidth * kHeight / 40 && ellipseFill > kWidth * kHeight / 4 && spanDifferences == 0 &&
           strayCv < strayBudget && strayPainter < strayBudget;
}

// --- Benchmarks ---

void BM_LinesCdc(benchmark::State& state)
{
    QImage image = Surface();
    CDC dc(image);
    for (auto _ : state)
        DrawLinesCdc(dc);
}

void BM_LinesQPainterClipped(benchmark::State& state)
{
    QImage image = Surface();
    QPainter painter(&image);
    ClipToImage(painter, image);
    painter.setPen(CosmeticPen());
    for (auto _ : state)
        DrawLinesQPainter(painter);
}

void BM_LinesBresenham(benchmark::State& state)
{
    QImage image = Surface();
    for (auto _ : state) {
        DrawLinesBresenham(image);
        benchmark::ClobberMemory();
    }
}

void BM_FilledEllipsesCdc(benchmark::State& state)
{
    QImage image = Surface();
    CDC dc(image);
    CBrush brush(RGB(qRed(kFill), qGreen(kFill), qBlue(kFill)));
    dc.SelectObject(&brush);
    for (auto _ : state)
        DrawEllipsesCdc(dc);
}

void BM_FilledEllipsesSpanFill(benchmark::State& state)
{
    QImage image = Surface();
    for (auto _ : state) {
        DrawEllipsesSpanFill(image);
        benchmark::ClobberMemory();
    }
}

void BM_FilledEllipsesOpenCV(benchmark::State& state)
{
    QImage image = Surface();
    cv::Mat mat = MatOf(image);
    for (auto _ : state)
        DrawEllipsesOpenCV(mat);
}

void BM_FilledEllipsesQPainter(benchmark::State& state)
{
    QImage image = Surface();
    QPainter painter(&image);
    SetUpEllipsePainter(painter, image);
    for (auto _ : state)
        DrawEllipsesQPainter(painter);
}

}  // namespace

BENCHMARK(BM_LinesCdc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinesQPainterClipped)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinesBresenham)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilledEllipsesCdc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilledEllipsesSpanFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilledEllipsesOpenCV)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilledEllipsesQPainter)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication application(argc, argv);
    // Qt takes the numeric locale from the environment; stored numbers and printed figures use a point.
    std::setlocale(LC_NUMERIC, "C");
    if (!OutputsAgree()) {
        std::fprintf(stderr, "a peer's output does not match the CDC's\n");
        return EXIT_FAILURE;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
