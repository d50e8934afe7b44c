// The live picture is composed from the frame scaled first; it must be, pixel for pixel, the picture of the whole
// frame converted to RGB32, scaled by Qt's fast scaling and decorated, for every colour model, size and zoom, with
// and without the overlay, the grid, the cross and the focus square, while the composer reuses its buffers.
#include "view/LiveFeed.h"

#include "gobjects/CQvGObjectContainer.h"
#include "latticer/CLatticer.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageViews.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The straightforward composition: the whole frame converted, then scaled, then decorated.
QImage WholeFramePicture(CQvImage& frame, const LiveDecorations& decorations)
{
    const QSize size(frame.GetWidth(), frame.GetHeight());
    QImage picture = QvImageToQImage(frame).convertToFormat(QImage::Format_RGB32).scaled(
        LivePictureSize(size, decorations.ratio), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    picture.setDevicePixelRatio(1.0);
    DrawLiveDecorations(picture, size, decorations);
    return picture;
}

// Every byte of the buffer (alpha and row padding too) set from a running hash; indexed models get a palette of
// `paletteCount` colours, fewer than their indices reach.
CQvImage Frame(int type, int width, int height, int paletteCount, unsigned seed)
{
    CQvImage frame;
    EXPECT_EQ(frame.Create(type, width, height, 0), 1);
    unsigned state = seed * 2654435761u + 1;
    const size_t bytes = size_t(frame.GetStride()) * size_t(height);
    for (size_t i = 0; i < bytes; ++i) {
        state = state * 1664525u + 1013904223u;
        frame.GetBuffer()[i] = BYTE(state >> 24);
    }
    if (paletteCount > 0) {
        std::vector<RGBQUAD> palette(static_cast<size_t>(paletteCount));
        for (int i = 0; i < paletteCount; ++i)
            palette[size_t(i)] = RGBQUAD{BYTE(i * 7), BYTE(255 - i), BYTE(i * 13), BYTE(i)};
        EXPECT_EQ(frame.SetPalette(palette.data(), paletteCount), 1);
    }
    return frame;
}

std::unique_ptr<CQvGObjectContainer> Overlay(int width, int height)
{
    auto overlay = std::make_unique<CQvGObjectContainer>();
    overlay->SetAutoRepeatCreatingObject(0);
    const auto click = [&](CPoint p) {
        overlay->MouseMove(nullptr, 0, p);
        overlay->LButtonDown(1, p);
        overlay->LButtonUp(0, p);
    };
    overlay->AddObject(SHAPE_LINE);
    click(CPoint(width / 8, height / 8));
    click(CPoint(width / 2, height / 3));
    overlay->AddObject(SHAPE_CIRCLE);
    click(CPoint(width / 2, height * 2 / 3));
    click(CPoint(width * 3 / 4, height * 2 / 3));
    return overlay;
}

// The first differing pixel, or an empty text when the pictures are the same.
std::string Difference(const QImage& picture, const QImage& expected)
{
    if (picture.size() != expected.size() || picture.format() != expected.format())
        return "size or format differs";
    for (int y = 0; y < picture.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (a[x] != b[x])
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(a[x]) +
                       " instead of " + std::to_string(b[x]);
    }
    return {};
}

void SaveForInspection(const QImage& picture, const QImage& expected, int index)
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/live-composer-failures");
    QDir().mkpath(folder);
    picture.save(folder + QStringLiteral("/case%1-composed.png").arg(index));
    expected.save(folder + QStringLiteral("/case%1-expected.png").arg(index));
}

TEST(LiveFrameComposerTest, ThePictureIsTheWholeFrameScaledAndDecoratedPixelForPixel)
{
    struct Case
    {
        int type, width, height, paletteCount;
        float ratio;
        bool decorated;
    };
    const Case cases[] = {
        // Fit ratios of a shrunk frame, 1:1 and zoomed in; odd sizes.
        {QV_RGBA32, 640, 480, 0, 0.25f, true},
        {QV_RGBA32, 640, 480, 0, 0.3f, true},
        {QV_RGBA32, 640, 480, 0, 0.37f, false},
        {QV_RGBA32, 640, 480, 0, 1.0f, true},
        {QV_RGBA32, 640, 480, 0, 1.5f, true},
        {QV_RGBA32, 640, 480, 0, 2.0f, false},
        {QV_RGBA32, 1001, 777, 0, 0.2339181f, true},
        {QV_RGBA32, 1001, 777, 0, 0.77f, false},
        {QV_RGBA32, 1001, 777, 0, 1.3f, true},
        {QV_RGBA32, 333, 251, 0, 3.0f, true},
        // 24-bit rows without padding (the last pixel ends the buffer) and with it.
        {QV_RGB24, 400, 300, 0, 0.5f, true},
        {QV_RGB24, 400, 300, 0, 1.0f, false},
        {QV_RGB24, 400, 300, 0, 2.5f, true},
        {QV_RGB24, 333, 250, 0, 0.61f, true},
        {QV_RGB24, 333, 250, 0, 1.0f, true},
        // One byte a pixel: grey levels, palettes shorter than the indices.
        {QV_GRAY8, 517, 389, 0, 0.61f, true},
        {QV_GRAY8, 517, 389, 0, 2.0f, false},
        {QV_INDEX8, 300, 200, 200, 0.5f, true},
        {QV_INDEX8, 300, 200, 200, 1.25f, false},
        {QV_INDEX4, 64, 48, 16, 4.0f, true},
        // Degenerate: a picture of one pixel; the widest side Qt's sampling is read for, and one past it.
        {QV_RGBA32, 1, 1, 0, 0.5f, false},
        {QV_RGB24, 3, 1000, 0, 0.001f, false},
        {QV_RGBA32, 16384, 2, 0, 0.1f, false},
        {QV_RGB24, 17000, 2, 0, 0.25f, false},
        {QV_RGBA32, 2, 17000, 0, 1.0f, false},
    };
    LiveFrameComposer composer;
    QImage held;  // the window keeps some pictures while later ones are composed
    int index = 0;
    for (const Case& c : cases) {
        CQvImage frame = Frame(c.type, c.width, c.height, c.paletteCount, unsigned(index) + 1);
        CLatticer grid;
        std::unique_ptr<CQvGObjectContainer> overlay;
        LiveDecorations decorations;
        decorations.ratio = c.ratio;
        if (c.decorated) {
            overlay = Overlay(c.width, c.height);
            grid.Show(1);
            decorations.objects = overlay.get();
            decorations.grid = &grid;
            decorations.unitsPerPixel = 0.5;
            decorations.centreCross = true;
            decorations.focusSquare = true;
        }
        // The same frame twice: the second picture goes into a buffer the composer used before.
        for (int round = 0; round < 2; ++round) {
            const QImage picture = composer.Compose(frame, decorations);
            const QImage expected = WholeFramePicture(frame, decorations);
            const std::string difference = Difference(picture, expected);
            EXPECT_EQ(difference, "") << "case " << index << " (model " << c.type << ", " << c.width << "x"
                                      << c.height << " at " << c.ratio << "), round " << round;
            if (!difference.empty())
                SaveForInspection(picture, expected, index);
            if (index % 2 == 0)
                held = picture;
        }
        ++index;
    }
    EXPECT_TRUE(held.size().isValid());
}

TEST(LiveFrameComposerTest, PicturesAlreadyHandedOutAreNeverWrittenAgain)
{
    LiveFrameComposer composer;
    CQvImage frame = Frame(QV_RGBA32, 64, 48, 0, 7);
    LiveDecorations decorations;
    const QImage first = composer.Compose(frame, decorations);
    const QImage second = composer.Compose(frame, decorations);
    const QImage firstAsItWas = first.copy();
    // Another frame into the buffers while both earlier pictures are still held.
    CQvImage other = Frame(QV_RGBA32, 64, 48, 0, 8);
    const QImage third = composer.Compose(other, decorations);
    EXPECT_EQ(Difference(first, firstAsItWas), "");
    EXPECT_EQ(Difference(second, firstAsItWas), "");
    EXPECT_EQ(Difference(third, WholeFramePicture(other, decorations)), "");
}

TEST(LiveFrameComposerTest, NothingIsComposedOfAnEmptyFrameOrAtARatioThatIsNotPositive)
{
    LiveFrameComposer composer;
    LiveDecorations decorations;
    EXPECT_TRUE(composer.Compose(CQvImage(), decorations).isNull());
    CQvImage frame = Frame(QV_GRAY8, 8, 8, 0, 1);
    for (float ratio : {0.0f, -1.0f}) {
        decorations.ratio = ratio;
        EXPECT_TRUE(composer.Compose(frame, decorations).isNull()) << ratio;
    }
}

}  // namespace
