// Text output through the per-thread text cache: it must draw exactly what shaping and drawing every line afresh
// draws (a line cache of capacity 0), whatever path a line takes, and it must stay within its bounds.
#include "gdi/CDC.h"
#include "gdi/TextCache.h"

#include "testing/RenderCheck.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

namespace {

using gdi_detail::TextCache;
using testing_support::ImagesMatch;

// Every pixel a different colour, so a blend that rounds otherwise than Qt's shows somewhere.
QImage NoisySurface(int width, int height, QImage::Format format)
{
    QImage image(width, height, format);
    uint32_t state = 7;
    for (int y = 0; y < height; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            row[x] = 0xFF000000u | (state >> 8);
        }
    }
    return image;
}

struct TextCase
{
    const char* name;
    const char* text;
    int height;
    const char* face;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    int escapement = 0;
    int bkMode = TRANSPARENT;
    UINT format = 0;  // 0: TextOut; else DrawText into a box smaller than the text
    QImage::Format surface = QImage::Format_RGB32;
    size_t keptLines = 1;  // lines the cache keeps afterwards
};

LOGFONTA FontOf(const TextCase& c)
{
    LOGFONTA font{};
    font.lfHeight = c.height;
    font.lfEscapement = c.escapement;
    font.lfWeight = c.weight;
    font.lfItalic = c.italic;
    font.lfUnderline = c.underline;
    std::strncpy(font.lfFaceName, c.face, LF_FACESIZE - 1);
    return font;
}

// Writes the text at three places: the first draw shapes the line, the second makes its coverage mask, the
// third draws from it.
QImage Written(const TextCase& c)
{
    QImage surface = NoisySurface(260, 200, c.surface);
    CDC dc(surface);
    CFont font;
    const LOGFONTA description = FontOf(c);
    font.CreateFontIndirect(&description);
    dc.SelectObject(&font);
    dc.SetBkMode(c.bkMode);
    dc.SetBkColor(RGB(250, 240, 10));
    dc.SetTextColor(RGB(20, 90, 200));
    dc.SetROP2(R2_XORPEN);  // text ignores it
    for (const CPoint at : {CPoint(30, 20), CPoint(100, 90), CPoint(-12, 160)}) {
        if (c.format == 0) {
            dc.TextOut(at.x, at.y, c.text);
        } else {
            CRect box(at.x, at.y, at.x + 70, at.y + 24);
            dc.DrawText(c.text, box, c.format);
        }
    }
    return surface;
}

class TextCacheTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        TextCache::ThisThread().SetLineCapacity(TextCache::kDefaultLineCapacity);
        TextCache::ThisThread().SetShapeCapacity(TextCache::kDefaultShapeCapacity);
        TextCache::ThisThread().Clear();
    }
};

const TextCase kCases[] = {
    {.name = "value", .text = "Length 12.345", .height = -13, .face = "Arial"},
    {.name = "unit", .text = "µm²", .height = -11, .face = "Tahoma", .weight = 700},
    {.name = "angle", .text = "47.5°", .height = -20, .face = "Arial"},
    {.name = "italic-overhang", .text = "fjord AVAW ffi", .height = -17, .face = "Arial", .italic = true},
    {.name = "underlined", .text = "Under 42", .height = -13, .face = "Arial", .underline = true},
    {.name = "hangul-fallback", .text = "픽셀 길이 3.5", .height = -13, .face = "Arial"},
    {.name = "right-to-left", .text = "שלום 12", .height = -14, .face = "DejaVu Sans"},
    {.name = "tab", .text = "A\tB", .height = -13, .face = "Arial", .keptLines = 0},
    {.name = "opaque", .text = "Area 7", .height = -15, .face = "Arial", .bkMode = OPAQUE},
    {.name = "top-to-bottom", .text = "Vertical 9", .height = -13, .face = "Arial", .escapement = -900},
    {.name = "slanted-opaque", .text = "Slant 45", .height = -13, .face = "Arial", .escapement = 450,
     .bkMode = OPAQUE},
    {.name = "clipped-lines", .text = "Name-1\nLong value 123.456", .height = -13, .face = "Arial",
     .format = DT_CENTER, .keptLines = 2},
    {.name = "clipped-single", .text = "Clipped single line", .height = -16, .face = "Arial", .bkMode = OPAQUE,
     .format = DT_SINGLELINE | DT_VCENTER | DT_RIGHT},
    {.name = "premultiplied", .text = "Mixed 0.25 mm", .height = -12, .face = "Arial",
     .surface = QImage::Format_ARGB32_Premultiplied},
};

TEST_F(TextCacheTest, CachedTextDrawsThePixelsOfFreshlyShapedText)
{
    for (const TextCase& c : kCases) {
        TextCache::ThisThread().SetLineCapacity(0);
        const QImage plain = Written(c);
        TextCache::ThisThread().SetLineCapacity(TextCache::kDefaultLineCapacity);
        TextCache::ThisThread().Clear();
        const QImage cached = Written(c);
        EXPECT_TRUE(ImagesMatch(cached, plain, QStringLiteral("textcache-") + QLatin1String(c.name))) << c.name;
        EXPECT_EQ(TextCache::ThisThread().LineCount(), c.keptLines) << c.name;
    }
}

TEST_F(TextCacheTest, StaysWithinItsBoundsAndStillDrawsTheSame)
{
    TextCache& cache = TextCache::ThisThread();
    QImage plain = NoisySurface(300, 300, QImage::Format_RGB32);
    QImage cached = plain;
    auto writeAll = [](QImage& surface) {
        CDC dc(surface);
        dc.SetBkMode(TRANSPARENT);
        for (int i = 0; i < 60; ++i) {
            CFont font;
            LOGFONTA description{};
            description.lfHeight = -(9 + i % 40);  // 40 fonts, more than the cache keeps
            std::strcpy(description.lfFaceName, "Arial");
            font.CreateFontIndirect(&description);
            dc.SelectObject(&font);
            for (int repeat = 0; repeat < 3; ++repeat)
                dc.TextOut((i * 37) % 260, (i * 53 + repeat * 7) % 280, std::to_string(i * 1.25).substr(0, 5));
        }
        dc.TextOut(0, 0, std::string(TextCache::kMaxLineBytes + 1, 'x'));
    };
    cache.SetLineCapacity(0);
    writeAll(plain);
    EXPECT_EQ(cache.LineCount(), 0u);

    cache.SetLineCapacity(8);
    writeAll(cached);
    EXPECT_LE(cache.LineCount(), 8u);
    EXPECT_GT(cache.LineCount(), 0u);
    EXPECT_LE(cache.FontCount(), TextCache::kFontCapacity);
    EXPECT_TRUE(ImagesMatch(cached, plain, QStringLiteral("textcache-bounded")));

    cache.SetLineCapacity(3);
    EXPECT_LE(cache.LineCount(), 3u);
}

// An overlay of 100,000 measurements has as many value labels, each sized when the overlay is read: every one
// stays measured, so reading it again (or painting it) measures nothing anew.
TEST_F(TextCacheTest, KeepsTheLinesOfAHundredThousandLabels)
{
    TextCache& cache = TextCache::ThisThread();
    QImage surface(1, 1, QImage::Format_RGB32);
    CDC dc(surface);
    CFont font;
    LOGFONTA description{};
    description.lfHeight = -13;
    std::strcpy(description.lfFaceName, "Tahoma");
    font.CreateFontIndirect(&description);
    dc.SelectObject(&font);
    constexpr int kLabels = 100000;
    for (int i = 0; i < kLabels; ++i)
        dc.GetTextExtent(std::to_string(i) + ".000");
    EXPECT_EQ(cache.LineCount(), static_cast<size_t>(kLabels));
    EXPECT_GE(TextCache::kDefaultLineCapacity, static_cast<size_t>(kLabels));
}

// Drawn lines keep glyphs and masks within their capacity; lines that lost theirs keep their measure and draw the
// same pixels when shaped again.
TEST_F(TextCacheTest, ShapesStayWithinTheirCapacityAndDrawTheSame)
{
    TextCache& cache = TextCache::ThisThread();
    auto writeAll = [](QImage& surface) {
        CDC dc(surface);
        dc.SetBkMode(TRANSPARENT);
        CFont font;
        LOGFONTA description{};
        description.lfHeight = -13;
        std::strcpy(description.lfFaceName, "Arial");
        font.CreateFontIndirect(&description);
        dc.SelectObject(&font);
        for (int pass = 0; pass < 3; ++pass)
            for (int i = 0; i < 40; ++i)
                dc.TextOut((i * 37) % 240, (i * 29 + pass * 5) % 280, "Length " + std::to_string(i * 3.5));
    };
    QImage plain = NoisySurface(300, 300, QImage::Format_RGB32);
    QImage cached = plain;
    cache.SetLineCapacity(0);
    writeAll(plain);

    cache.SetLineCapacity(TextCache::kDefaultLineCapacity);
    constexpr size_t kShapeCapacity = 6000;  // the shapes of a few lines
    cache.SetShapeCapacity(kShapeCapacity);
    writeAll(cached);
    cache.SetShapeCapacity(kShapeCapacity);  // counts the line drawn last
    EXPECT_GT(cache.ShapeBytes(), 0u);
    EXPECT_LE(cache.ShapeBytes(), kShapeCapacity);
    EXPECT_EQ(cache.LineCount(), 40u);
    EXPECT_TRUE(ImagesMatch(cached, plain, QStringLiteral("textcache-shapes-bounded")));

    cache.SetShapeCapacity(0);
    EXPECT_EQ(cache.ShapeBytes(), 0u);
    EXPECT_EQ(cache.LineCount(), 40u);
}

TEST_F(TextCacheTest, EachThreadDrawsTheSameWithItsOwnCache)
{
    const TextCase c = kCases[0];
    const QImage here = Written(c);
    QImage there[2];
    std::thread workers[2];
    for (int i = 0; i < 2; ++i)
        workers[i] = std::thread([&there, &c, i] { there[i] = Written(c); });
    for (std::thread& worker : workers)
        worker.join();
    for (const QImage& image : there)
        EXPECT_TRUE(ImagesMatch(image, here, QStringLiteral("textcache-thread")));
}

}  // namespace
