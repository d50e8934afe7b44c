#include "gobjects/ui/OwnerDrawCombo.h"

#include "testing/RenderCheck.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QWidget>

#include <gtest/gtest.h>

using testing_support::CountColour;
using testing_support::PixelAt;

namespace {

constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhite = 0xFFFFFF;
const QSize kItem(100, 16);  // the sample line runs at y 7 from x 4 to 95

// The longest run of black pixels along row y.
int LongestBlackRun(const QImage& image, int y)
{
    int best = 0;
    int run = 0;
    for (int x = 0; x < image.width(); ++x) {
        run = PixelAt(image, x, y) == kBlack ? run + 1 : 0;
        best = std::max(best, run);
    }
    return best;
}

TEST(LineEndCombo, HasTheFourEndsWithThePlainEndSelected)
{
    QWidget page;
    auto* combo = new CLineEndCombo(&page);
    combo->setObjectName(QStringLiteral("startArrow"));
    auto* found = page.findChild<CLineEndCombo*>(QStringLiteral("startArrow"));
    ASSERT_EQ(found, combo);
    EXPECT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(combo->GetSide(), 1);
    combo->setCurrentIndex(3);
    EXPECT_EQ(combo->GetArrowType(), ARROW_NOTCHED);
    combo->SetArrowType(9);  // not a line end: the plain one
    EXPECT_EQ(combo->GetArrowType(), ARROW_NONE);
}

TEST(LineEndCombo, DrawsTheEndAtItsOwnSideOfTheSampleLine)
{
    CLineEndCombo left;
    CLineEndCombo right;
    right.SetSide(0);

    // The plain end: only the line, two pixels shy of each side's end point.
    const QImage plain = right.RenderItem(ARROW_NONE, kItem, false);
    EXPECT_EQ(CountColour(plain, kBlack), 92);
    EXPECT_EQ(CountColour(plain, kBlack, QRect(4, 7, 92, 1)), 92);

    // The bar: a stroke across the whole item at the end point.
    const QImage barRight = right.RenderItem(ARROW_BAR, kItem, false);
    const QImage barLeft = left.RenderItem(ARROW_BAR, kItem, false);
    EXPECT_EQ(CountColour(barRight, kBlack, QRect(96, 0, 1, 16)), 16);
    EXPECT_EQ(CountColour(barRight, kBlack, QRect(4, 0, 1, 16)), 1);
    EXPECT_EQ(CountColour(barLeft, kBlack, QRect(4, 0, 1, 16)), 16);

    // The arrow head: filled near the end point, nothing of it at the other end.
    for (ARROW_TYPE type : {ARROW_TRIANGLE, ARROW_NOTCHED}) {
        const QImage r = right.RenderItem(type, kItem, false);
        const QImage l = left.RenderItem(type, kItem, false);
        EXPECT_EQ(PixelAt(r, 89, 6), kBlack) << type;
        EXPECT_EQ(PixelAt(r, 89, 8), kBlack) << type;
        EXPECT_EQ(PixelAt(r, 11, 6), kWhite) << type;
        EXPECT_EQ(PixelAt(l, 11, 6), kBlack) << type;
        EXPECT_EQ(PixelAt(l, 11, 8), kBlack) << type;
        EXPECT_EQ(PixelAt(l, 89, 6), kWhite) << type;
    }
    EXPECT_NE(right.RenderItem(ARROW_TRIANGLE, kItem, false), right.RenderItem(ARROW_NOTCHED, kItem, false));
}

TEST(LineEndCombo, FocusFrameMarksTheSelectedItem)
{
    CLineEndCombo combo;
    const QImage plain = combo.RenderItem(ARROW_NONE, kItem, false);
    const QImage selected = combo.RenderItem(ARROW_NONE, kItem, true);
    EXPECT_EQ(PixelAt(plain, 0, 0), kWhite);
    EXPECT_GT(CountColour(selected, kBlack, QRect(0, 0, 100, 1)), 20);
    EXPECT_EQ(CountColour(selected, kBlack, QRect(4, 7, 92, 1)), 92);
}

TEST(LineStyleCombo, DrawsEachPenStyleAsADoubleLine)
{
    CLineStyleCombo combo;
    EXPECT_EQ(combo.count(), 5);
    EXPECT_EQ(combo.GetPenStyle(), 0);
    QImage items[5];
    for (int style = 0; style < 5; ++style) {
        items[style] = combo.RenderItem(style, kItem, false);
        // Both rows carry the same pattern; nothing outside them.
        for (int x = 0; x < kItem.width(); ++x)
            ASSERT_EQ(PixelAt(items[style], x, 7), PixelAt(items[style], x, 8)) << style << " x " << x;
        EXPECT_EQ(CountColour(items[style], kBlack, QRect(0, 7, 100, 2)), CountColour(items[style], kBlack));
        EXPECT_EQ(CountColour(items[style], kBlack, QRect(0, 7, 4, 2)), 0) << style;
        EXPECT_EQ(CountColour(items[style], kBlack, QRect(96, 7, 4, 2)), 0) << style;
    }
    EXPECT_EQ(CountColour(items[0], kBlack), 2 * 92);
    for (int style = 1; style < 5; ++style) {
        EXPECT_LT(CountColour(items[style], kBlack), 2 * 92) << style;
        EXPECT_GT(CountColour(items[style], kBlack), 20) << style;
        for (int other = 0; other < style; ++other)
            EXPECT_NE(items[style], items[other]) << style << " vs " << other;
    }
    // A dash is longer than a dot.
    EXPECT_GT(LongestBlackRun(items[1], 7), LongestBlackRun(items[2], 7));
}

TEST(LineStyleCombo, ClosedBoxShowsTheCurrentPicture)
{
    QWidget page;
    auto* combo = new CLineStyleCombo(&page);
    combo->setObjectName(QStringLiteral("lineStyle"));
    combo->setGeometry(0, 0, 160, 24);
    page.show();
    const QImage solid = combo->grab().toImage();
    EXPECT_GT(LongestBlackRun(solid, solid.height() / 2 - 1) + LongestBlackRun(solid, solid.height() / 2), 60);
    combo->SetPenStyle(2);
    const QImage dotted = combo->grab().toImage();
    EXPECT_NE(solid, dotted);
    EXPECT_EQ(combo->GetPenStyle(), 2);
}

TEST(FontNameCombo, ListsFacesSortedAndSelectsTheStoredFace)
{
    CFontNameCombo combo;
    combo.SetFaceName(QStringLiteral("beta"));
    combo.FillFrom({QStringLiteral("Zeta"), QStringLiteral("alpha"), QStringLiteral("Beta"), QString()});
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("alpha"));
    EXPECT_EQ(combo.itemText(2), QStringLiteral("Zeta"));
    EXPECT_EQ(combo.currentIndex(), 1);

    combo.setCurrentIndex(2);
    EXPECT_EQ(combo.GetFaceName(), QStringLiteral("Zeta"));

    // A face that is not installed leaves the list without a selection, and is still the wanted face.
    combo.SetFaceName(QStringLiteral("Not Installed"));
    combo.FillFrom({QStringLiteral("Zeta"), QStringLiteral("alpha")});
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(combo.GetFaceName(), QStringLiteral("Not Installed"));
}

TEST(FontNameCombo, FillsFromTheInstalledFontsAndDrawsEachInItsFace)
{
    CFontNameCombo combo;
    combo.Fill();
    const QStringList installed = QFontDatabase::families(QFontDatabase::Latin);
    if (installed.isEmpty())
        GTEST_SKIP() << "no fonts installed";
    ASSERT_GT(combo.count(), 0);
    for (int i = 1; i < combo.count(); ++i)
        EXPECT_LE(combo.itemText(i - 1).compare(combo.itemText(i), Qt::CaseInsensitive), 0);
    combo.SetFaceName(combo.itemText(0));
    combo.Fill();
    EXPECT_EQ(combo.currentIndex(), 0);

    const QSize size(160, 20);
    const QImage normal = combo.RenderItem(0, size, false);
    const QImage selected = combo.RenderItem(0, size, true);
    EXPECT_EQ(PixelAt(normal, 0, 0), kWhite);
    EXPECT_EQ(PixelAt(selected, 0, 0), 0x0078D7u);            // the highlight colour
    EXPECT_GT(CountColour(normal, kBlack), 0);               // the name in window text
    EXPECT_GT(CountColour(selected, kWhite, QRect(0, 0, 80, 20)), 0);  // in highlight text
    // No item to draw: nothing changes.
    const QImage none = combo.RenderItem(combo.count(), size, false);
    EXPECT_EQ(CountColour(none, kWhite), size.width() * size.height());
}

}  // namespace
