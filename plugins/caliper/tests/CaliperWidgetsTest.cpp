// The caliper dialog's own button and tab strip, drawn into images and driven through their events.
#include "caliper/HoverIconButton.h"
#include "caliper/ThemedTabCtrl.h"

#include "testing/RenderCheck.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMouseEvent>

#include <gtest/gtest.h>

using testing_support::CountColour;
using testing_support::PixelAt;

namespace {

constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kBlue = 0x0000FF;

// A 10 x 8 red image with a white frame of one pixel: white is the transparent colour.
QImage FramedRed()
{
    QImage image(10, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 1; y < 7; ++y)
        for (int x = 1; x < 9; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    return image;
}

QImage Render(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    widget.render(&image);
    return image;
}

QRgb Rgb(const QColor& colour)
{
    return colour.rgb() & 0xFFFFFF;
}

struct ButtonCase
{
    const char* caption;
    QRect redArea;  // where the opaque part of the image lands on a 40 x 30 button
};

class HoverIconButtonDraw : public ::testing::TestWithParam<ButtonCase>
{
};

TEST_P(HoverIconButtonDraw, ImageSitsCentredOrThreePixelsFromTheLeftAndItsTransparentColourShowsTheFace)
{
    CHoverIconButton button;
    button.resize(40, 30);
    button.setText(GetParam().caption);
    const QImage red = FramedRed();
    ASSERT_EQ(button.AssignBitmaps(&red, RGB(255, 255, 255), nullptr, 0), 0);
    const QImage image = Render(button);
    EXPECT_EQ(CountColour(image, kRed), GetParam().redArea.width() * GetParam().redArea.height());
    EXPECT_EQ(CountColour(image, kRed, GetParam().redArea), GetParam().redArea.width() * GetParam().redArea.height());
    // The white frame of the image is not drawn: the face is there.
    const QPoint frame = GetParam().redArea.topLeft() - QPoint(1, 1);
    EXPECT_EQ(PixelAt(image, frame.x(), frame.y()), Rgb(button.FaceColour()));
}

INSTANTIATE_TEST_SUITE_P(Placement, HoverIconButtonDraw,
                         ::testing::Values(ButtonCase{"", QRect(15 + 1, 11 + 1, 8, 6)},
                                           ButtonCase{"Go", QRect(3 + 1, 11 + 1, 8, 6)}));

TEST(HoverIconButton, BordersFollowLookHoverAndToggle)
{
    CHoverIconButton button;
    button.resize(30, 20);
    const QRgb light = Rgb(button.palette().color(QPalette::Light));
    const QRgb dark = Rgb(button.palette().color(QPalette::Dark));
    const QRgb face = Rgb(button.FaceColour());
    ASSERT_NE(light, dark);

    // Framed: raised border always.
    QImage image = Render(button);
    EXPECT_EQ(PixelAt(image, 0, 0), light);
    EXPECT_EQ(PixelAt(image, 29, 19), dark);

    // Hover look: no border until the mouse is over it.
    button.SetLook(CHoverIconButton::kHoverLook, true);
    EXPECT_EQ(PixelAt(Render(button), 0, 0), face);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    EXPECT_TRUE(button.IsHot());
    EXPECT_EQ(PixelAt(Render(button), 0, 0), light);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_FALSE(button.IsHot());

    // Entering with the left button already held does not light it.
    QMouseEvent drag(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &drag);
    EXPECT_FALSE(button.IsHot());

    // A toggle on is drawn sunken, and hovering does not swap its image for the hot one.
    button.SetCheckMode(true);
    QImage hot(4, 4, QImage::Format_RGB32);
    hot.fill(qRgb(0, 0, 255));
    QImage normal(4, 4, QImage::Format_RGB32);
    normal.fill(qRgb(255, 0, 0));
    ASSERT_EQ(button.AssignBitmaps(&hot, RGB(1, 2, 3), &normal, RGB(1, 2, 3)), 0);
    button.click();
    EXPECT_EQ(button.IsChecked(), 1);
    QApplication::sendEvent(&button, &enter);
    image = Render(button);
    EXPECT_EQ(PixelAt(image, 0, 0), dark);
    EXPECT_EQ(PixelAt(image, 29, 19), light);
    EXPECT_EQ(CountColour(image, kBlue, QRect(13, 8, 4, 4)), 16) << "the hot image, not offset";
    button.click();
    EXPECT_EQ(button.IsChecked(), 0);
    EXPECT_TRUE(button.IsHot());
    EXPECT_EQ(CountColour(Render(button), kRed, QRect(13, 8, 4, 4)), 16) << "hovering keeps the normal image";
}

TEST(HoverIconButton, SetCheckedActsInCheckModeOnlyAndBadImagesLeaveNone)
{
    CHoverIconButton button;
    EXPECT_EQ(button.SetChecked(1, true), 0);
    EXPECT_EQ(button.IsChecked(), 0);
    button.SetCheckMode(true);
    button.SetChecked(1, true);
    EXPECT_EQ(button.IsChecked(), 1);

    const QImage good = FramedRed();
    const QImage bad;
    EXPECT_EQ(button.AssignBitmaps(&good, 0, &bad, 0), 1);
    EXPECT_FALSE(button.HasImage());
    EXPECT_EQ(button.AssignBitmaps(nullptr, 0, &good, 0), 0);
    EXPECT_FALSE(button.HasImage());

    button.SetTipText(nullptr, true);
    EXPECT_TRUE(button.TipText().isEmpty());
    button.SetTipText("tip", true);
    EXPECT_EQ(button.toolTip(), "tip");
}

TEST(HoverIconButton, DisabledKeepsItsImageAndHandsTheFocusOn)
{
    QDialog dialog;
    auto* button = new CHoverIconButton(&dialog);
    auto* next = new QLineEdit(&dialog);
    button->setGeometry(0, 0, 40, 30);
    next->setGeometry(0, 40, 40, 20);
    button->setText("");
    const QImage red = FramedRed();
    button->AssignBitmaps(&red, RGB(255, 255, 255), nullptr, 0);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    button->setEnabled(false);
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(CountColour(Render(*button), kRed), 48);
}

class ThemedTabs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tabs_.resize(300, 200);
        for (int i = 0; i < 3; ++i) {
            pages_[i] = new QWidget;
            tabs_.AddTab(pages_[i], QString("Page%1").arg(i));
        }
        tabs_.show();
    }
    int VisiblePages() const
    {
        int visible = 0;
        for (QWidget* page : pages_)
            visible += page->isVisible() ? 1 : 0;
        return visible;
    }
    void MoveTo(int tab)
    {
        const QPoint at = tabs_.Bar()->tabRect(tab).center();
        QMouseEvent move(QEvent::MouseMove, at, tabs_.Bar()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(tabs_.Bar(), &move);
    }
    int ColourIn(int tab, QRgb colour)
    {
        QImage image(tabs_.Bar()->size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        tabs_.Bar()->render(&image);
        return CountColour(image, colour, tabs_.Bar()->tabRect(tab));
    }

    CThemedTabCtrl tabs_;
    QWidget* pages_[3] = {};
};

TEST_F(ThemedTabs, ExactlyTheSelectedTabsPageIsVisible)
{
    EXPECT_TRUE(pages_[0]->isVisible());
    EXPECT_EQ(VisiblePages(), 1);
    for (int tab : {2, 1, 1, 0, 2}) {
        tabs_.setCurrentIndex(tab);
        EXPECT_TRUE(pages_[tab]->isVisible());
        EXPECT_EQ(VisiblePages(), 1);
    }
}

TEST_F(ThemedTabs, SelectedAndHoveredCaptionsTakeTheirColours)
{
    tabs_.SetSelectedTextColor(RGB(0, 0, 255));
    EXPECT_GT(ColourIn(0, kBlue), 0);
    EXPECT_EQ(ColourIn(1, kBlue), 0);

    // Hover off: moves start no timer and no tab turns red.
    tabs_.Bar()->hoverColour = RGB(255, 0, 0);
    MoveTo(1);
    EXPECT_FALSE(tabs_.Bar()->TimerRunning());
    EXPECT_EQ(ColourIn(1, kRed), 0);

    tabs_.SetHoverTextColor(RGB(255, 0, 0));
    MoveTo(1);
    EXPECT_TRUE(tabs_.Bar()->TimerRunning());
    EXPECT_EQ(tabs_.Bar()->HotTab(), 1);
    EXPECT_GT(ColourIn(1, kRed), 0);
    // Straight onto the neighbour: the first is normal at once, the neighbour waits for a tick and a move.
    MoveTo(2);
    EXPECT_EQ(tabs_.Bar()->HotTab(), -1);
    EXPECT_EQ(ColourIn(1, kRed), 0);
    EXPECT_EQ(ColourIn(2, kRed), 0);
    tabs_.Bar()->HoverCheck();
    EXPECT_FALSE(tabs_.Bar()->TimerRunning());
    MoveTo(2);
    EXPECT_GT(ColourIn(2, kRed), 0);
    // The selected tab keeps its own colour under the mouse.
    tabs_.Bar()->HoverCheck();
    tabs_.Bar()->HoverCheck();
    MoveTo(0);
    EXPECT_GT(ColourIn(0, kBlue), 0);
    EXPECT_EQ(ColourIn(0, kRed), 0);
}

}  // namespace
