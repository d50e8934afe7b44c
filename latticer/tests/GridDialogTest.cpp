#include "CGridDlg.h"
#include "MessageBoxRecorder.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using testing_support::MessageBoxes;

namespace {

// The window that shows the overlay; counts its repaints.
class OverlayWindow : public QWidget
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

void ExpectSameFields(const CLatticer& a, const CLatticer& b)
{
    EXPECT_EQ(a.show, b.show);
    EXPECT_EQ(a.type, b.type);
    EXPECT_EQ(a.gap, b.gap);
    EXPECT_EQ(a.upp, b.upp);
    EXPECT_EQ(a.reserved, b.reserved);
    EXPECT_EQ(a.canvas.cx, b.canvas.cx);
    EXPECT_EQ(a.canvas.cy, b.canvas.cy);
    EXPECT_EQ(a.decimal, b.decimal);
    EXPECT_EQ(std::memcmp(&a.pen, &b.pen, sizeof a.pen), 0);
    EXPECT_EQ(std::memcmp(&a.pen2, &b.pen2, sizeof a.pen2), 0);
    EXPECT_EQ(std::memcmp(&a.font, &b.font, sizeof a.font), 0);
    EXPECT_EQ(a.ruler, b.ruler);
    EXPECT_EQ(a.reserved2, b.reserved2);
    EXPECT_EQ(a.tickLength, b.tickLength);
    EXPECT_EQ(a.color2, b.color2);
    EXPECT_EQ(a.saveWithGrid, b.saveWithGrid);
}

class GridDialog : public testing::Test
{
protected:
    void SetUp() override
    {
        overlay.Create(G_CROSS | G_RECTANGLES, SIZE{640, 480}, 1.0, 30.0f);
        window.resize(120, 90);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // Whether the overlay window is repainted after the action.
    bool Repaints(const std::function<void()>& action)
    {
        QApplication::processEvents();
        window.paints = 0;
        action();
        QApplication::processEvents();
        return window.paints > 0;
    }

    template <typename Widget>
    Widget* Control(QDialog& dialog, int id)
    {
        auto* control = dialog.findChild<Widget*>(QStringLiteral("id%1").arg(id));
        EXPECT_NE(control, nullptr) << id;
        return control;
    }

    void Type(CGridDlg& dialog, int id, const char* text)
    {
        Control<QAbstractSpinBox>(dialog, id)->findChild<QLineEdit*>()->setText(QString::fromLatin1(text));
    }

    QString Shown(CGridDlg& dialog, int id) { return Control<QAbstractSpinBox>(dialog, id)->text(); }

    OverlayWindow window;
    CLatticer overlay;
};

TEST_F(GridDialog, OpensWithTheOverlaysValues)
{
    overlay.SetType(G_CHECK | G_DIAGONALS | G_CIRCLECROSS);
    overlay.SetWeight(3);
    overlay.SetDecimal(2);
    overlay.SetGap(12.5f);
    CGridDlg dialog(&window, &overlay);

    EXPECT_EQ(dialog.windowTitle(), "Grid");
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(Control<QAbstractButton>(dialog, 100 + k)->isChecked(), bool(overlay.type & (1 << k))) << k;
    EXPECT_EQ(Shown(dialog, 1001), "3");
    EXPECT_EQ(Shown(dialog, 1004), "12.5");
    EXPECT_EQ(Shown(dialog, 1006), "2");
}

TEST_F(GridDialog, CancelRestoresEveryFieldAndRepaints)
{
    overlay.SetLineColor(0x808080);
    const CLatticer before = overlay;
    CGridDlg dialog(&window, &overlay);

    Control<QAbstractButton>(dialog, 100)->click();
    Control<QAbstractButton>(dialog, 101)->click();
    Control<QAbstractSpinBox>(dialog, 1001)->stepUp();
    Control<QAbstractSpinBox>(dialog, 1001)->stepUp();
    MessageBoxes().QueueColour(RGB(255, 0, 0));
    Control<QAbstractButton>(dialog, 1003)->click();
    Control<QAbstractSpinBox>(dialog, 1004)->stepUp();
    Control<QAbstractSpinBox>(dialog, 1006)->stepUp();
    // Every change is in the overlay at once.
    EXPECT_EQ(overlay.type, G_CHECK | G_RECTANGLES);
    EXPECT_EQ(overlay.GetWeight(), 3);
    EXPECT_EQ(overlay.GetLineColor(), 0x0000FFu);
    EXPECT_EQ(overlay.gap, 31.0f);
    EXPECT_EQ(overlay.decimal, 1);

    EXPECT_TRUE(Repaints([&] { Control<QAbstractButton>(dialog, 2)->click(); }));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    ExpectSameFields(overlay, before);
}

TEST_F(GridDialog, ClosingTheDialogIsCancel)
{
    const CLatticer before = overlay;
    CGridDlg dialog(&window, &overlay);
    Control<QAbstractButton>(dialog, 104)->click();
    Control<QAbstractSpinBox>(dialog, 1004)->stepDown();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    ExpectSameFields(overlay, before);
}

TEST_F(GridDialog, GapStepsOneImagePixelAndRefusesLessThanTen)
{
    struct Case
    {
        double upp;
        float gap;
        const char* typed;  // typed into the field before the step, or null
        int steps;
        const char* shown;
        float gapAfter;
        bool tooSmall;
    } cases[] = {
        {0.5, 5.0f, nullptr, -1, "5", 5.0f, true},
        {0.5, 5.0f, nullptr, +1, "5.5", 5.5f, false},
        {1.0, 40.0f, nullptr, +1, "41", 41.0f, false},
        {1.0, 40.0f, nullptr, -1, "39", 39.0f, false},
        {1.0, 10.0f, nullptr, -1, "10", 10.0f, true},
        {0.1, 3.0f, nullptr, -1, "2.9", 2.9f, false},
        {1.0, 40.0f, "20", +1, "21", 21.0f, false},
        {1.0, 40.0f, "abc", +1, "10", 10.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "upp " << c.upp << " gap " << c.gap << " steps " << c.steps);
        MessageBoxes().Reset();
        overlay.SetUPP(c.upp);
        overlay.SetGap(c.gap);
        CGridDlg dialog(&window, &overlay);
        if (c.typed)
            Type(dialog, 1004, c.typed);
        EXPECT_TRUE(Repaints([&] { Control<QAbstractSpinBox>(dialog, 1004)->stepBy(c.steps); }));
        EXPECT_EQ(Shown(dialog, 1004), c.shown);
        EXPECT_FLOAT_EQ(overlay.gap, c.gapAfter);
        if (c.tooSmall) {
            ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
            EXPECT_EQ(MessageBoxes().Boxes()[0].text, "Too small!!");
            EXPECT_EQ(MessageBoxes().Boxes()[0].caption, "Error");
            EXPECT_EQ(MessageBoxes().Boxes()[0].type, MB_OK | MB_ICONWARNING);
        } else {
            EXPECT_TRUE(MessageBoxes().Boxes().empty());
        }
    }
}

TEST_F(GridDialog, GapTextDropsOnlyZerosAfterThePoint)
{
    CGridDlg dialog(&window, &overlay);
    const struct
    {
        float gap;
        const char* shown;
    } cases[] = {{30.5f, "30.5"}, {40.0f, "40"}, {0.25f, "0.25"}, {100.0f, "100"}, {10.0f, "10"}, {0.0f, "0"}};
    for (const auto& c : cases) {
        EXPECT_TRUE(Repaints([&] { dialog.SetGap(c.gap); }));
        EXPECT_EQ(Shown(dialog, 1004), c.shown);
        EXPECT_EQ(overlay.gap, c.gap);
    }
}

TEST_F(GridDialog, KindButtonTogglesOneBitAndItsFrame)
{
    const QRgb dark = qRgb(0x14, 0x14, 0x14);
    const QRgb white = qRgb(0xFF, 0xFF, 0xFF);
    CGridDlg dialog(&window, &overlay);
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        auto* button = Control<QAbstractButton>(dialog, 100 + k);
        for (int press = 0; press < 2; ++press) {
            const int before = overlay.type;
            EXPECT_TRUE(Repaints([&] { button->click(); }));
            EXPECT_EQ(overlay.type, before ^ (1 << k));
            const bool on = overlay.type & (1 << k);
            EXPECT_EQ(button->isChecked(), on);
            // Sunken when on: dark top-left corner, white bottom-right; raised when off.
            const QImage frame = button->grab().toImage();
            EXPECT_EQ(frame.pixel(0, 0) | 0xFF000000, on ? dark : white);
            EXPECT_EQ(frame.pixel(31, 31) | 0xFF000000, on ? white : dark);
        }
    }
    // Repainting a button toggles nothing.
    const int kinds = overlay.type;
    for (int k = 0; k < 6; ++k)
        Control<QAbstractButton>(dialog, 100 + k)->repaint();
    EXPECT_EQ(overlay.type, kinds);
}

TEST_F(GridDialog, OkAndApplyTakeTypedWeightAndGapButNotDecimals)
{
    CGridDlg dialog(&window, &overlay);
    Type(dialog, 1001, "4");
    Type(dialog, 1004, "25.5");
    Type(dialog, 1006, "7");
    EXPECT_EQ(overlay.GetWeight(), 1) << "typing alone applies nothing";
    EXPECT_TRUE(Repaints([&] { Control<QAbstractButton>(dialog, 3)->click(); }));
    EXPECT_EQ(overlay.GetWeight(), 4);
    EXPECT_EQ(overlay.gap, 25.5f);
    EXPECT_EQ(overlay.decimal, 0);
    EXPECT_EQ(dialog.result(), 0);

    // A spacing under ten pixels typed in is stored as typed; drawing raises it later.
    Type(dialog, 1001, "2");
    Type(dialog, 1004, "3");
    Control<QAbstractButton>(dialog, 1)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(overlay.GetWeight(), 2);
    EXPECT_EQ(overlay.gap, 3.0f);
    EXPECT_EQ(overlay.decimal, 0);
}

TEST_F(GridDialog, AnyTypedWeightIsTakenAndTheStepperStartsFromItWithinItsRange)
{
    CGridDlg dialog(&window, &overlay);
    auto* weight = Control<QAbstractSpinBox>(dialog, 1001);
    weight->selectAll();
    QTest::keyClicks(weight, "12");
    EXPECT_EQ(Shown(dialog, 1001), "12");
    Control<QAbstractButton>(dialog, 3)->click();
    EXPECT_EQ(overlay.GetWeight(), 12);

    weight->stepBy(1);  // from 12, brought into 1 to 5, and no further
    EXPECT_EQ(Shown(dialog, 1001), "5");
    EXPECT_EQ(overlay.GetWeight(), 5);
    weight->stepBy(-1);
    EXPECT_EQ(overlay.GetWeight(), 4);
    Type(dialog, 1001, "0");
    weight->stepBy(-1);
    EXPECT_EQ(overlay.GetWeight(), 1);
}

TEST_F(GridDialog, ColourChooserStartsFromTheLineColour)
{
    overlay.SetLineColor(RGB(1, 2, 3));
    CGridDlg dialog(&window, &overlay);
    auto* swatch = Control<QAbstractButton>(dialog, 1003);

    MessageBoxes().QueueColour(std::nullopt);
    swatch->click();
    ASSERT_EQ(MessageBoxes().ColourDialogs().size(), 1u);
    EXPECT_EQ(MessageBoxes().ColourDialogs()[0].initial, RGB(1, 2, 3));
    ASSERT_TRUE(MessageBoxes().ColourDialogs()[0].customColours.has_value());
    for (COLORREF custom : *MessageBoxes().ColourDialogs()[0].customColours)
        EXPECT_EQ(custom, RGB(255, 255, 255));
    EXPECT_EQ(overlay.GetLineColor(), RGB(1, 2, 3));

    MessageBoxes().QueueColour(RGB(0, 200, 0));
    EXPECT_TRUE(Repaints([&] { swatch->click(); }));
    EXPECT_EQ(overlay.GetLineColor(), RGB(0, 200, 0));
    swatch->resize(40, 20);
    EXPECT_EQ(swatch->grab().toImage().pixel(20, 10) | 0xFF000000, qRgb(0, 200, 0));

    // OK keeps the chosen colour.
    Control<QAbstractButton>(dialog, 1)->click();
    EXPECT_EQ(overlay.GetLineColor(), RGB(0, 200, 0));
}

TEST_F(GridDialog, GridPropertyRunsThroughTheModalHookAndReturnsOneForOkAndZeroForCancel)
{
    struct Case
    {
        const char* answer;
        int button;  // clicked, or 0 to close the window
        int result;
    };
    const Case cases[] = {{"OK", 1, 1}, {"Cancel", 2, 0}, {"closed", 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        MessageBoxes().Reset();
        overlay.SetType(G_CROSS);
        const CLatticer before = overlay;
        QWidget* parentSeen = nullptr;
        MessageBoxes().QueueModal([&](QDialog& dialog) {
            parentSeen = dialog.parentWidget();
            Control<QAbstractButton>(dialog, 100)->click();  // G_CHECK on
            if (c.button)
                Control<QAbstractButton>(dialog, c.button)->click();
            else
                dialog.reject();
        });
        EXPECT_EQ(GridProperty(&window, &overlay), c.result);
        ASSERT_EQ(MessageBoxes().ModalDialogs().size(), 1u);
        EXPECT_EQ(MessageBoxes().ModalDialogs()[0].className, "CGridDlg");
        EXPECT_EQ(parentSeen, &window);
        if (c.result == 1)
            EXPECT_EQ(overlay.type, G_CROSS | G_CHECK);
        else
            ExpectSameFields(overlay, before);
    }
}

// The weight and decimal fields are read back as C numbers, so they show ASCII digits in any locale.
TEST_F(GridDialog, SteppedAndTypedFieldsReadTheSameInEveryLocale)
{
    const QLocale before;
    for (const QLocale& locale : {QLocale(QLocale::Arabic, QLocale::Egypt), QLocale(QLocale::Persian, QLocale::Iran),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        SCOPED_TRACE(locale.name().toStdString());
        QLocale::setDefault(locale);
        overlay.SetWeight(3);
        overlay.SetDecimal(2);
        CGridDlg dialog(&window, &overlay);
        EXPECT_EQ(Shown(dialog, 1001), "3");
        EXPECT_EQ(Shown(dialog, 1006), "2");
        Control<QAbstractSpinBox>(dialog, 1001)->stepUp();
        Control<QAbstractSpinBox>(dialog, 1006)->stepUp();
        EXPECT_EQ(overlay.GetWeight(), 4);
        EXPECT_EQ(overlay.decimal, 3);
        Control<QAbstractButton>(dialog, 1)->click();
        EXPECT_EQ(overlay.GetWeight(), 4);
    }
    QLocale::setDefault(before);
}

}  // namespace
