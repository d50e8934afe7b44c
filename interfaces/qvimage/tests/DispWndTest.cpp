// The display window driven headless: point mapping, zoom steps, drawing into the retained surface, auto-scroll,
// the hand tool and the translation of Qt input into the window's handlers.
#include "CClientDC.h"
#include "CQvDispWnd.h"
#include "CQvImage.h"
#include "QvWindowCodes.h"
#include "RenderCheck.h"
#include "types/Rounding.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using testing_support::PixelAt;

namespace {

// A display window that draws one image and logs the handler calls that reach it.
class TestDispWnd : public CQvDispWnd
{
public:
    CQvImage* image = nullptr;
    std::vector<std::string> calls;

    void OnDraw(CDC* dc) override { DrawImage(dc, image); }
    void OnLButtonDown(UINT flags, CPoint point) override
    {
        Log("LButtonDown", flags, point);
        CQvDispWnd::OnLButtonDown(flags, point);
    }
    void OnMouseMove(UINT flags, CPoint point) override
    {
        Log("MouseMove", flags, point);
        CQvDispWnd::OnMouseMove(flags, point);
    }
    void OnKeyDown(UINT key, UINT repeatCount, UINT flags) override
    {
        calls.push_back("KeyDown " + std::to_string(key));
        CQvDispWnd::OnKeyDown(key, repeatCount, flags);
    }

private:
    void Log(const char* name, UINT flags, CPoint p)
    {
        calls.push_back(std::string(name) + " " + std::to_string(flags) + " " + std::to_string(p.x) + "," +
                        std::to_string(p.y));
    }
};

// A shown 320 x 240 window with a canvas of the given size.
struct Window
{
    explicit Window(CSize canvas)
    {
        wnd.resize(320, 240);
        wnd.show();
        QApplication::processEvents();
        wnd.SetCanvasSize(canvas);
    }
    TestDispWnd wnd;
};

// An image of the model whose every pixel differs from its neighbours; its colour is given by ExpectedColour.
CQvImage PatternImage(int type, int width, int height)
{
    CQvImage image;
    image.Create(type, width, height, 0);
    if (type == QV_INDEX8)
    {
        RGBQUAD palette[256];
        for (int i = 0; i < 256; ++i)
            palette[i] = RGBQUAD{BYTE(255 - i), BYTE(i), BYTE(i / 2), 0};
        image.SetPalette(palette, 256);
    }
    const int bytes = image.GetBitsPerPixel() / 8;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int b = 0; b < bytes; ++b)
                image.GetPixel(x, y)[b] = BYTE(x * 7 + y * 13 + b * 50);
    return image;
}

QRgb ExpectedColour(const CQvImage& image, int x, int y)
{
    const BYTE* p = image.GetPixel(x, y);
    if (image.GetBitsPerPixel() == 8)
    {
        if (const RGBQUAD* palette = image.GetPalette())
            return qRgb(palette[*p].rgbRed, palette[*p].rgbGreen, palette[*p].rgbBlue) & 0xFFFFFF;
        return qRgb(*p, *p, *p) & 0xFFFFFF;
    }
    return qRgb(p[2], p[1], p[0]) & 0xFFFFFF;
}

// Puts the window at a ratio and a scroll position (clamped by the window).
void Place(CQvDispWnd& wnd, float ratio, CPoint scroll)
{
    wnd.SetZoom(ratio, CPoint(0, 0));
    wnd.ScrollToPosition(scroll);
}

}  // namespace

TEST(DispWndMapping, ImagePointsSurviveTheRoundTripWithTheOverlayRule)
{
    Window w(CSize(400, 300));
    struct Case
    {
        float ratio;
        CPoint scroll;
    };
    const Case cases[] = {{0.25f, {0, 0}},   {1.0f, {0, 0}},     {1.0f, {37, 23}},    {1.25f, {41, 9}},
                          {3.0f, {0, 0}},    {3.0f, {301, 177}}, {8.0f, {1234, 777}}, {8.0f, {100000, 100000}}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE("ratio " + std::to_string(c.ratio) + " scroll " + std::to_string(c.scroll.x));
        Place(w.wnd, c.ratio, c.scroll);
        ASSERT_EQ(w.wnd.GetRatio(), c.ratio);
        const CPoint origin = w.wnd.GetOrigin();
        EXPECT_EQ(w.wnd.GetZoomedPoint(CPoint(0, 0)), origin);
        const CPoint scroll = w.wnd.GetScrollPosition();
        if (c.scroll.x > 0)
        {
            EXPECT_TRUE(scroll.x > 0 && scroll.y > 0) << "the case must scroll";
        }

        // Below ratio 1 only every (1 / ratio)-th image pixel owns a window pixel.
        const int step = c.ratio < 1.0f ? static_cast<int>(1 / c.ratio) : 1;
        for (int y = 0; y < 300; y += step)
            for (int x = 0; x < 400; x += step)
            {
                const CPoint zoomed = w.wnd.GetZoomedPoint(CPoint(x, y));
                // The overlay's rule, wherever the point is inside the window; scrolling only translates.
                if (zoomed.x >= 0)
                {
                    ASSERT_EQ(zoomed.x, TruncHalfUp(c.ratio * x + origin.x));
                }
                if (zoomed.y >= 0)
                {
                    ASSERT_EQ(zoomed.y, TruncHalfUp(c.ratio * y + origin.y));
                }
                ASSERT_EQ(zoomed, CPoint(TruncHalfUp(c.ratio * x) + origin.x, TruncHalfUp(c.ratio * y) + origin.y));
                ASSERT_EQ(w.wnd.GetRealPoint(zoomed, 1), CPoint(x, y));
                const CPoint content(zoomed.x + scroll.x, zoomed.y + scroll.y);
                ASSERT_EQ(w.wnd.GetRealPoint(content, 0), CPoint(x, y));
            }
    }
}

TEST(DispWndMapping, EveryWindowPixelOfAShrunkImageMapsBackToItself)
{
    Window w(CSize(400, 300));
    for (float ratio : {0.25f, 0.4f, 0.75f})
    {
        Place(w.wnd, ratio, CPoint(0, 0));
        const CPoint first = w.wnd.GetZoomedPoint(CPoint(0, 0));
        const CPoint last = w.wnd.GetZoomedPoint(CPoint(399, 299));
        for (int y = first.y; y <= last.y; ++y)
            for (int x = first.x; x <= last.x; ++x)
                ASSERT_EQ(w.wnd.GetZoomedPoint(w.wnd.GetRealPoint(CPoint(x, y), 1)), CPoint(x, y)) << ratio;
    }
}

TEST(DispWndMapping, PointsBeyondTheIntRangeAreHeldAtItsEnds)
{
    constexpr int lo = std::numeric_limits<int>::min();
    constexpr int hi = std::numeric_limits<int>::max();
    Window w(CSize(400, 300));
    const auto floorDiv = [](long long a, long long b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); };
    struct Case
    {
        float ratio;
        CPoint point;
        int clientPoint;
        CPoint real;  // GetRealPoint of the point; (0, 0) here means: worked out below for ratio 64
        CPoint zoomed;  // GetZoomedPoint of the point
    };
    const Case cases[] = {
        {kQvMinZoomRatio, {hi, lo}, 1, {hi, lo}, {0, 0}},
        {kQvMinZoomRatio, {lo, hi}, 0, {lo, hi}, {0, 0}},
        {kQvMaxZoomRatio, {hi, lo}, 1, {0, 0}, {hi, lo}},
        {kQvMaxZoomRatio, {lo, hi}, 0, {0, 0}, {lo, hi}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE("ratio " + std::to_string(c.ratio) + " client " + std::to_string(c.clientPoint));
        Place(w.wnd, c.ratio, CPoint(100000, 100000));
        const CPoint origin = w.wnd.GetOrigin();
        const CPoint scroll = w.wnd.GetScrollPosition();
        CPoint real = c.real;
        if (c.ratio == kQvMaxZoomRatio)
        {
            // Whole window pixels per image pixel: the covering pixel is a floor division, all in range.
            const CPoint contentOrigin = c.clientPoint ? origin : CPoint(origin.x + scroll.x, origin.y + scroll.y);
            real = CPoint(int(floorDiv(c.point.x - (long long)contentOrigin.x, 64)),
                          int(floorDiv(c.point.y - (long long)contentOrigin.y, 64)));
        }
        EXPECT_EQ(w.wnd.GetRealPoint(c.point, c.clientPoint), real);
        if (c.ratio == kQvMaxZoomRatio)
        {
            EXPECT_EQ(w.wnd.GetZoomedPoint(c.point), c.zoomed);
        }
    }

    // Zooming about an anchor far outside the window keeps the scroll position within the content.
    for (const CPoint anchor : {CPoint(lo + 1, hi), CPoint(hi, lo + 1)})
    {
        w.wnd.SetZoom(kQvMinZoomRatio, anchor);
        w.wnd.SetZoom(kQvMaxZoomRatio, anchor);
        const CPoint scroll = w.wnd.GetScrollPosition();
        EXPECT_TRUE(scroll.x >= 0 && scroll.x <= w.wnd.GetScrollSize().cx);
        EXPECT_TRUE(scroll.y >= 0 && scroll.y <= w.wnd.GetScrollSize().cy);
    }

    // A canvas too large to zoom within the int range scrolls over the whole range.
    w.wnd.SetCanvasSize(CSize(hi, hi));
    w.wnd.SetZoom(kQvMaxZoomRatio);
    EXPECT_EQ(w.wnd.GetScrollSize(), CSize(hi, hi));
    w.wnd.ScrollToPosition(CPoint(hi, hi));
    EXPECT_EQ(w.wnd.GetZoomedPoint(CPoint(0, 0)), w.wnd.GetOrigin());
}

TEST(DispWndZoom, StepsAndFreeRatios)
{
    Window w(CSize(400, 300));
    EXPECT_EQ(w.wnd.GetRatio(), 1.0f);
    EXPECT_EQ(w.wnd.GetZoomLevel(), QVZOOM_1);

    struct Case
    {
        float start;
        int in;
        float expected;
    };
    const Case cases[] = {
        {1.0f, 1, 1.5f},     {1.0f, 0, 0.75f},   {3.0f, 1, 4.0f},    {16.0f, 1, 16.0f},
        {1.0f / 16, 0, 1.0f / 16},  // the ends stay
        {0.4f, 1, 0.5f},     {0.4f, 0, 0.25f},   // between steps: the nearest step that way
        {0.02f, 0, 0.02f},   {30.0f, 0, 16.0f},  {30.0f, 1, 30.0f},
    };
    for (const Case& c : cases)
    {
        w.wnd.SetZoom(c.start);
        w.wnd.Zoom(c.in);
        EXPECT_EQ(w.wnd.GetRatio(), c.expected) << c.start << (c.in ? " in" : " out");
    }

    w.wnd.SetZoom(0.4f);
    EXPECT_EQ(w.wnd.GetZoomLevel(), QVZOOM_FREE);
    w.wnd.SetZoom(QVZOOM_8);
    EXPECT_EQ(w.wnd.GetRatio(), 8.0f);
    EXPECT_EQ(w.wnd.GetZoomLevel(), QVZOOM_8);
    w.wnd.SetZoom(static_cast<_QVZOOM>(QVZOOM_COUNT));
    w.wnd.SetZoom(0.0f);
    w.wnd.SetZoom(-2.0f);
    EXPECT_EQ(w.wnd.GetRatio(), 8.0f) << "invalid levels and ratios change nothing";
    w.wnd.SetZoom(1000.0f);
    EXPECT_EQ(w.wnd.GetRatio(), kQvMaxZoomRatio);
    w.wnd.SetZoom(0.0001f);
    EXPECT_EQ(w.wnd.GetRatio(), kQvMinZoomRatio);
}

TEST(DispWndZoom, TheImagePointUnderTheAnchorStays)
{
    Window w(CSize(400, 300));
    w.wnd.SetZoom(2.0f);
    w.wnd.ScrollToPosition(CPoint(150, 90));
    for (CPoint anchor : {CPoint(40, 30), CPoint(200, 150)})
    {
        for (int in : {1, 1, 0})
        {
            const CPoint before = w.wnd.GetOrigin();
            const double imageX = (anchor.x - before.x) / double(w.wnd.GetRatio());
            const double imageY = (anchor.y - before.y) / double(w.wnd.GetRatio());
            w.wnd.Zoom(in, anchor);
            const CPoint after = w.wnd.GetOrigin();
            EXPECT_NEAR(after.x + imageX * w.wnd.GetRatio(), anchor.x, 0.5);
            EXPECT_NEAR(after.y + imageY * w.wnd.GetRatio(), anchor.y, 0.5);
        }
    }
}

TEST(DispWndZoom, ASmallCanvasIsCentredAndDoesNotScroll)
{
    Window w(CSize(50, 40));
    w.wnd.SetZoom(2.0f);
    w.wnd.ScrollToPosition(CPoint(30, 30));
    const CRect client = w.wnd.GetClientRect();
    EXPECT_EQ(w.wnd.GetScrollPosition(), CPoint(0, 0));
    EXPECT_EQ(w.wnd.GetOrigin(), CPoint((client.Width() - 100) / 2, (client.Height() - 80) / 2));
}

TEST(DispWndDrawing, ZoomThreeDrawsThreeByThreeBlocks)
{
    Window w(CSize(4, 3));
    CQvImage image = PatternImage(QV_RGB24, 4, 3);
    w.wnd.image = &image;
    w.wnd.SetZoom(QVZOOM_3);
    w.wnd.UpdateWindow();
    const QImage& surface = w.wnd.GetSurface();
    const CPoint origin = w.wnd.GetOrigin();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            for (int b = 0; b < 9; ++b)
                ASSERT_EQ(PixelAt(surface, origin.x + 3 * x + b % 3, origin.y + 3 * y + b / 3),
                          ExpectedColour(image, x, y))
                    << x << "," << y;
    EXPECT_EQ(PixelAt(surface, origin.x - 1, origin.y), 0x808080u);
    EXPECT_EQ(PixelAt(surface, origin.x + 12, origin.y + 8), 0x808080u);
    EXPECT_EQ(PixelAt(surface, origin.x + 11, origin.y + 9), 0x808080u);
    EXPECT_EQ(testing_support::CountColour(surface, 0x808080),
              surface.width() * surface.height() - 12 * 9);
}

TEST(DispWndDrawing, ScrolledImagesShowThePixelUnderEveryWindowPixel)
{
    struct Case
    {
        int type;
        float ratio;
        CPoint scroll;
    };
    const Case cases[] = {
        {QV_GRAY8, 3.0f, {31, 17}}, {QV_INDEX8, 3.0f, {31, 17}},  {QV_RGB24, 3.0f, {31, 17}},
        {QV_RGBA32, 3.0f, {31, 17}}, {QV_RGB24, 1.75f, {13, 7}},  {QV_GRAY8, 0.4f, {0, 0}},
        {QV_RGB24, 8.0f, {805, 611}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE("type " + std::to_string(c.type) + " ratio " + std::to_string(c.ratio));
        Window w(CSize(200, 150));
        CQvImage image = PatternImage(c.type, 200, 150);
        w.wnd.image = &image;
        Place(w.wnd, c.ratio, c.scroll);
        w.wnd.UpdateWindow();
        const QImage& surface = w.wnd.GetSurface();
        if (c.scroll.x)
        {
            ASSERT_EQ(w.wnd.GetScrollPosition(), c.scroll);
        }
        // At zoom 3 the pixel is plain arithmetic; at any zoom it is the one GetRealPoint names.
        for (int y = 0; y < surface.height(); ++y)
            for (int x = 0; x < surface.width(); ++x)
            {
                const CPoint real = w.wnd.GetRealPoint(CPoint(x, y), 1);
                if (c.ratio == 3.0f)
                {
                    ASSERT_EQ(real, CPoint((x + c.scroll.x) / 3, (y + c.scroll.y) / 3));
                }
                const bool inside = real.x >= 0 && real.x < 200 && real.y >= 0 && real.y < 150;
                ASSERT_EQ(PixelAt(surface, x, y), inside ? ExpectedColour(image, real.x, real.y) : 0x808080u)
                    << x << "," << y;
            }
    }
}

TEST(DispWndDrawing, NoImageDrawsAnEmptyCanvas)
{
    Window w(CSize(50, 40));
    w.wnd.SetZoom(2.0f);
    w.wnd.UpdateWindow();
    const QImage& surface = w.wnd.GetSurface();
    const CPoint origin = w.wnd.GetOrigin();
    EXPECT_EQ(testing_support::CountColour(surface, 0xFFFFFF), 100 * 80);
    EXPECT_EQ(testing_support::CountColour(surface, 0xFFFFFF, QRect(origin.x, origin.y, 100, 80)), 100 * 80);
}

TEST(DispWndDrawing, DrawingIntoARectangleStaysInsideIt)
{
    QImage target = testing_support::BlankSurface(40, 40);
    CQvImage image = PatternImage(QV_GRAY8, 8, 8);
    CQvDispWnd wnd;
    {
        CDC dc(target);
        wnd.DrawImage(&dc, &image, CRect(10, 10, 20, 20), 2.0f);
    }
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
        {
            const bool inside = x >= 10 && x < 20 && y >= 10 && y < 20;
            ASSERT_EQ(PixelAt(target, x, y), inside ? ExpectedColour(image, (x - 10) / 2, (y - 10) / 2) : 0xFFFFFFu)
                << x << "," << y;
        }
}

TEST(DispWndDrawing, RatiosThatAreNotPositiveOrBeyondTheMaximumDrawNothing)
{
    const float ratios[] = {0.0f, -2.0f, 65.0f, 1e30f, std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN()};
    CQvImage image = PatternImage(QV_GRAY8, 8, 8);
    CQvDispWnd wnd;
    for (float ratio : ratios)
    {
        QImage target = testing_support::BlankSurface(40, 40);
        {
            CDC dc(target);
            wnd.DrawImage(&dc, &image, CRect(10, 10, 20, 20), ratio);
        }
        EXPECT_EQ(testing_support::CountColour(target, 0xFFFFFF), 40 * 40) << ratio;
    }
}

TEST(DispWndDrawing, RatiosBelowTheZoomRangeDrawThumbnails)
{
    CQvImage image = PatternImage(QV_GRAY8, 2000, 2000);
    CQvDispWnd wnd;
    QImage target = testing_support::BlankSurface(40, 40);
    {
        CDC dc(target);
        wnd.DrawImage(&dc, &image, CRect(10, 10, 30, 30), 0.005f);  // 2000 pixels make 10
        wnd.DrawImage(&dc, &image, CRect(0, 0, 5, 5), 1e-30f);      // nothing reaches a window pixel
    }
    const int whiteInside = testing_support::CountColour(target, 0xFFFFFF, QRect(10, 10, 10, 10));
    EXPECT_LT(whiteInside, 100);  // the thumbnail shows
    EXPECT_EQ(testing_support::CountColour(target, 0xFFFFFF), 40 * 40 - (100 - whiteInside));  // and nothing else
}

TEST(DispWndDrawing, RectanglesAtTheEndsOfTheIntRangeDrawOnlyWhatReachesTheSurface)
{
    constexpr int lo = std::numeric_limits<int>::min();
    constexpr int hi = std::numeric_limits<int>::max();
    const struct
    {
        CRect rect;
        int drawn;  // surface pixels the image covers
    } cases[] = {
        {CRect(hi - 10, hi - 10, hi, hi), 0},
        {CRect(lo, lo, hi, hi), 0},
        {CRect(lo, 0, 20, 20), 0},
        {CRect(-8 * 64 + 4, -8 * 64 + 3, hi, hi), 4 * 3},  // only the last image pixel's lower right corner
    };
    CQvImage image = PatternImage(QV_GRAY8, 8, 8);
    CQvDispWnd wnd;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.rect.left) + "," + std::to_string(c.rect.top));
        QImage target = testing_support::BlankSurface(40, 40);
        {
            CDC dc(target);
            wnd.DrawImage(&dc, &image, c.rect, kQvMaxZoomRatio);
        }
        EXPECT_EQ(40 * 40 - testing_support::CountColour(target, 0xFFFFFF), c.drawn);
    }
}

TEST(DispWndSurface, ARubberBandDrawnTwiceUnderNotLeavesTheSurfaceAsItWas)
{
    Window w(CSize(200, 150));
    CQvImage image = PatternImage(QV_RGB24, 200, 150);
    w.wnd.image = &image;
    w.wnd.SetZoom(1.5f);
    w.wnd.ScrollToPosition(CPoint(20, 10));
    w.wnd.UpdateWindow();
    const QImage before = w.wnd.GetSurface().copy();

    CPen dotted(PS_DOT, 1, RGB(128, 128, 128));
    auto drawBand = [&] {
        CClientDC dc(&w.wnd);
        dc.SetROP2(R2_NOT);
        CPen* oldPen = dc.SelectObject(&dotted);
        CGdiObject* oldBrush = dc.SelectStockObject(HOLLOW_BRUSH);
        dc.Rectangle(17, 23, 171, 119);
        dc.SelectObject(oldBrush);
        dc.SelectObject(oldPen);
    };
    drawBand();
    EXPECT_GT(testing_support::CountDifferences(w.wnd.GetSurface(), before), 100);
    drawBand();
    EXPECT_TRUE(testing_support::ImagesMatch(w.wnd.GetSurface(), before, "rubber-band-twice"));

    // Painting only copies the surface: the screen shows it pixel for pixel.
    const QImage screen = w.wnd.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(testing_support::ImagesMatch(screen, before, "surface-on-screen"));
}

TEST(DispWndScrolling, AutoScrollFollowsAHeldButtonPastTheEdgeOnlyWhileOn)
{
    // Ticks are delivered by hand, so what the window does per tick does not depend on how fast the clock runs.
    Window w(CSize(4000, 300));
    w.wnd.SetScrollParameters(10, 5);
    const CRect client = w.wnd.GetClientRect();
    const CPoint outside(client.right + 20, client.bottom / 2);
    const auto tick = [&w](int count) {
        for (int i = 0; i < count; ++i)
            w.wnd.OnTimer(QV_AUTOSCROLL_TIMER);
    };

    w.wnd.OnMouseMove(MK_LBUTTON, outside);
    EXPECT_FALSE(w.wnd.IsAutoScrollTicking()) << "auto-scroll is off";

    w.wnd.SetAutoScroll(1);
    w.wnd.OnMouseMove(0, outside);
    EXPECT_FALSE(w.wnd.IsAutoScrollTicking()) << "no button held";
    w.wnd.calls.clear();
    w.wnd.OnMouseMove(MK_LBUTTON, outside);
    EXPECT_TRUE(w.wnd.IsAutoScrollTicking());
    tick(3);
    EXPECT_EQ(w.wnd.GetScrollPosition(), CPoint(30, 0)) << "one line a tick, level with the client area";
    // Each tick repeats the move so that a shape being drawn follows.
    EXPECT_EQ(w.wnd.calls, std::vector<std::string>(4, "MouseMove 1 " + std::to_string(outside.x) + "," +
                                                              std::to_string(outside.y)));

    // The timer drives the ticks: wait for one, bounded, never for a count.
    QElapsedTimer clock;
    clock.start();
    while (w.wnd.GetScrollPosition() == CPoint(30, 0) && clock.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    const CPoint scrolled = w.wnd.GetScrollPosition();
    EXPECT_GT(scrolled.x, 30);
    EXPECT_EQ(scrolled.x % 10, 0) << "whole lines";

    w.wnd.OnMouseMove(MK_LBUTTON, CPoint(10, 10));
    EXPECT_FALSE(w.wnd.IsAutoScrollTicking()) << "back inside, the ticks stop";
    w.wnd.OnMouseMove(MK_LBUTTON, outside);
    EXPECT_TRUE(w.wnd.IsAutoScrollTicking());
    w.wnd.SetAutoScroll(0);
    EXPECT_FALSE(w.wnd.IsAutoScrollTicking()) << "switching it off stops the ticks";
    w.wnd.SetAutoScroll(1);
    w.wnd.OnMouseMove(MK_LBUTTON, outside);
    w.wnd.OnLButtonUp(0, outside);
    EXPECT_FALSE(w.wnd.IsAutoScrollTicking()) << "releasing the button stops them";
}

TEST(DispWndScrolling, TheHandToolDragsTheContent)
{
    Window w(CSize(400, 300));
    w.wnd.ScrollToPosition(CPoint(50, 50));
    w.wnd.OnLButtonDown(MK_LBUTTON, CPoint(100, 100));
    w.wnd.OnMouseMove(MK_LBUTTON, CPoint(80, 110));
    EXPECT_EQ(w.wnd.GetScrollPosition(), CPoint(50, 50)) << "the hand tool is off";

    w.wnd.SetHandTool(1);
    w.wnd.OnLButtonDown(MK_LBUTTON, CPoint(100, 100));
    w.wnd.OnMouseMove(MK_LBUTTON, CPoint(80, 110));
    EXPECT_EQ(w.wnd.GetScrollPosition(), CPoint(70, 40));
    w.wnd.OnLButtonUp(0, CPoint(80, 110));
    w.wnd.OnMouseMove(MK_LBUTTON, CPoint(0, 0));
    EXPECT_EQ(w.wnd.GetScrollPosition(), CPoint(70, 40)) << "the drag ended with the button";
}

TEST(DispWndInput, QtEventsReachTheHandlersAsWindowsCodes)
{
    Window w(CSize(400, 300));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(12, 34), w.wnd.viewport()->mapToGlobal(QPointF(12, 34)),
                      Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(w.wnd.viewport(), &press);
    QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier, "+");
    QApplication::sendEvent(&w.wnd, &plus);
    EXPECT_EQ(w.wnd.calls, (std::vector<std::string>{"LButtonDown 5 12,34", "KeyDown 107"}));

    struct Case
    {
        int key;
        Qt::KeyboardModifiers modifiers;
        UINT expected;
    };
    const Case keys[] = {
        {Qt::Key_Plus, Qt::KeypadModifier, VK_ADD},  {Qt::Key_Minus, Qt::KeypadModifier, VK_SUBTRACT},
        {Qt::Key_Plus, Qt::NoModifier, 0},           {Qt::Key_5, Qt::KeypadModifier, VK_NUMPAD0 + 5},
        {Qt::Key_5, Qt::NoModifier, '5'},            {Qt::Key_A, Qt::ShiftModifier, 'A'},
        {Qt::Key_Escape, Qt::NoModifier, VK_ESCAPE}, {Qt::Key_Delete, Qt::NoModifier, VK_DELETE},
        {Qt::Key_Left, Qt::NoModifier, VK_LEFT},     {Qt::Key_F12, Qt::NoModifier, VK_F1 + 11},
    };
    for (const Case& c : keys)
        EXPECT_EQ(VirtualKeyFromQt(QKeyEvent(QEvent::KeyPress, c.key, c.modifiers)), c.expected) << c.key;
}
