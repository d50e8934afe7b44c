// The flat colour combo box: its items keep their colours through every list operation, draw in them (a selected
// plain item in the selection colours, a selected coloured one framed), the closed box shows the current item's
// colour, the keyboard steps through the items and typing completes from the list.
#include "panels/CFlatColorComboBox.h"

#include "testing/RenderCheck.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using testing_support::PixelAt;

namespace {

constexpr COLORREF kRedBk = RGB(220, 0, 0);
constexpr COLORREF kBlueText = RGB(0, 0, 255);

QRgb Rgb(const QColor& c)
{
    return c.rgb() & 0xFFFFFF;
}

TEST(FlatColorComboTest, ColoursFollowTheirItemsThroughInsertDeleteAndReset)
{
    CFlatColorComboBox box;
    box.AddString("plain");
    box.AddString("red", kBlueText, kRedBk);
    EXPECT_EQ(box.InsertString(0, "first", RGB(1, 2, 3), RGB(4, 5, 6)), 0);
    EXPECT_EQ(box.InsertString(9, "beyond"), -1);
    box.addItem("added the plain way");
    ASSERT_EQ(box.count(), 4);
    EXPECT_EQ(box.GetBkColor(0), RGB(4, 5, 6));
    EXPECT_EQ(box.GetTextColor(1), 0x000000u);
    EXPECT_EQ(box.GetBkColor(1), 0xFFFFFFu);
    EXPECT_EQ(box.GetBkColor(2), kRedBk);
    EXPECT_EQ(box.GetTextColor(2), kBlueText);
    EXPECT_EQ(box.GetBkColor(3), 0xFFFFFFu);
    box.DeleteString(0);
    EXPECT_EQ(box.itemText(1), "red");
    EXPECT_EQ(box.GetBkColor(1), kRedBk);
    box.ResetContent();
    EXPECT_EQ(box.count(), 0);
    box.AddString("again");
    EXPECT_EQ(box.GetBkColor(0), 0xFFFFFFu);
}

TEST(FlatColorComboTest, ItemsDrawInTheirColoursAndSelectionFramesColouredOnes)
{
    CFlatColorComboBox box;
    box.AddString("plain");
    box.AddString("red", kBlueText, kRedBk);
    const QRgb highlight = Rgb(box.palette().color(QPalette::Highlight));
    const QRect rect(0, 0, 60, 16);
    struct Case
    {
        int index;
        bool selected;
        QRgb edge;    // pixel (0, 0)
        QRgb inside;  // pixel (55, 8), right of the text
    } cases[] = {
        {0, false, 0xFFFFFF, 0xFFFFFF},
        {0, true, highlight, highlight},
        {1, false, 0xDC0000, 0xDC0000},
        {1, true, highlight, 0xDC0000},
    };
    for (const Case& c : cases) {
        QImage image(rect.size(), QImage::Format_RGB32);
        image.fill(Qt::green);
        QPainter painter(&image);
        box.DrawItem(painter, rect, c.index, c.selected);
        painter.end();
        EXPECT_EQ(PixelAt(image, 0, 0), c.edge) << c.index << c.selected;
        EXPECT_EQ(PixelAt(image, 55, 8), c.inside) << c.index << c.selected;
    }
    // An index beyond the items draws nothing.
    QImage image(rect.size(), QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter painter(&image);
    box.DrawItem(painter, rect, 2, true);
    painter.end();
    EXPECT_EQ(testing_support::CountColour(image, 0x00FF00), rect.width() * rect.height());
}

TEST(FlatColorComboTest, ClosedBoxShowsTheCurrentItemsColourAndTurnsRaisedOnFocus)
{
    CFlatColorComboBox box;
    box.resize(160, 24);
    box.AddString("plain");
    box.AddString("red", kBlueText, kRedBk);
    box.setCurrentIndex(1);
    const QImage shot = box.grab().toImage();
    // The swatch fills the field left of the drop button: right of the text, clear of the frame.
    EXPECT_EQ(PixelAt(shot, 100, 12), 0xDC0000u);
    EXPECT_EQ(PixelAt(shot, 100, 3), 0xDC0000u);
    EXPECT_EQ(box.CurrentLook(), CFlatColorComboBox::LookFlat);

    box.setCurrentIndex(0);
    EXPECT_EQ(PixelAt(box.grab().toImage(), 100, 12), 0xFFFFFFu);

    box.show();
    box.activateWindow();
    box.setFocus();
    QApplication::processEvents();
    if (box.hasFocus()) {
        EXPECT_EQ(box.CurrentLook(), CFlatColorComboBox::LookRaised);
    }
    box.setEnabled(false);
    const QImage disabled = box.grab().toImage();
    EXPECT_EQ(PixelAt(disabled, 1, 1), Rgb(box.palette().color(QPalette::Light)));
}

TEST(FlatColorComboTest, MouseOverRaisesTheButtonAndPressingSinksIt)
{
    CFlatColorComboBox box;
    box.resize(160, 24);
    box.AddString("plain");
    const QRgb frame = Rgb(box.palette().color(QPalette::Highlight));
    const auto framed = [&] { return testing_support::CountColour(box.grab().toImage(), frame); };
    EXPECT_EQ(framed(), 0);

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&box, &enter);
    EXPECT_EQ(box.CurrentLook(), CFlatColorComboBox::LookRaised);
    EXPECT_GT(framed(), 20);  // the drop button framed in the highlight colour

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(150, 12), QPointF(150, 12), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&box, &press);
    EXPECT_EQ(box.CurrentLook(), CFlatColorComboBox::LookPressed);
    box.hidePopup();
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(150, 12), QPointF(150, 12), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&box, &release);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&box, &leave);
    if (!box.hasFocus()) {
        EXPECT_EQ(box.CurrentLook(), CFlatColorComboBox::LookFlat);
        EXPECT_EQ(framed(), 0);
    }
}

TEST(FlatColorComboTest, KeyboardStepsThroughTheItems)
{
    CFlatColorComboBox box;
    for (const char* text : {"um", "mm", "cm"})
        box.AddString(text);
    box.show();
    QSignalSpy activated(&box, &QComboBox::activated);
    QTest::keyClick(&box, Qt::Key_Down);
    EXPECT_EQ(box.currentIndex(), 1);
    QTest::keyClick(&box, Qt::Key_End);
    EXPECT_EQ(box.currentIndex(), 2);
    QTest::keyClick(&box, Qt::Key_Up);
    EXPECT_EQ(box.currentIndex(), 1);
    EXPECT_EQ(activated.count(), 3);
    // Alt+letter belongs to the dialog's mnemonics, never to the list.
    QTest::keyClick(&box, Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(box.currentIndex(), 1);
}

TEST(FlatColorComboTest, TypingCompletesFromTheListAndSelectsTheRest)
{
    CFlatColorComboBox box;
    box.setEditable(true);
    box.AddString("xyz");
    box.AddString("abc");
    box.show();
    QLineEdit* edit = box.lineEdit();
    edit->clear();
    QTest::keyClicks(edit, "ab");
    EXPECT_EQ(edit->text(), "abc");
    EXPECT_EQ(edit->selectedText(), "c");
    EXPECT_EQ(box.currentIndex(), 1);

    // No item begins with the text: the typing stays as typed.
    edit->clear();
    QTest::keyClicks(edit, "q");
    EXPECT_EQ(edit->text(), "q");

    // Typing inside the text is an edit, not a search.
    edit->setText("xz");
    edit->setCursorPosition(1);
    QTest::keyClicks(edit, "y");
    EXPECT_EQ(edit->text(), "xyz");
    EXPECT_EQ(edit->selectedText(), "");
}

}  // namespace
