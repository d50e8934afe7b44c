#include "gobjects/ui/ColorPopup.h"

#include "testing/RenderCheck.h"
#include "ui/ColourDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using testing_support::PixelAt;

namespace {

struct Note
{
    UINT message;
    COLORREF colour;
    int id;
    bool operator==(const Note&) const = default;
};

QRgb ToRgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// A page with one colour button, recording what the button tells it.
class ColorButtonFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        page.resize(300, 200);
        button = new CColorButton(&page);
        button->setObjectName(QStringLiteral("lineColour"));
        button->setGeometry(10, 10, 80, 24);
        button->SetControlId(1017);
        button->notify = [this](UINT m, COLORREF c, int id) { notes.push_back({m, c, id}); };
        page.show();
    }
    void TearDown() override { SetColourDialogHook({}); }

    CColorPopup* Open()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // popups that ended before
        button->click();
        auto* popup = page.findChild<CColorPopup*>(QStringLiteral("colourPopup"));
        EXPECT_NE(popup, nullptr);
        EXPECT_EQ(popup, button->Popup());
        return popup;
    }
    static void Move(CColorPopup* popup, QPoint pos)
    {
        QMouseEvent e(QEvent::MouseMove, pos, popup->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(popup, &e);
    }
    static void Release(CColorPopup* popup, QPoint pos)
    {
        QMouseEvent e(QEvent::MouseButtonRelease, pos, popup->mapToGlobal(pos), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(popup, &e);
    }
    static void Key(CColorPopup* popup, int key)
    {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(popup, &e);
    }
    static void ClickCell(CColorPopup* popup, int cell)
    {
        const QPoint at = popup->CellRect(cell).center();
        Move(popup, at);
        Release(popup, at);
    }

    QWidget page;
    CColorButton* button = nullptr;
    std::vector<Note> notes;
};

TEST(ColorTable, HoldsTheFortyNamedColoursRowByRow)
{
    EXPECT_EQ(ColorTableAt(0).colour, RGB(0, 0, 0));
    EXPECT_STREQ(ColorTableAt(0).name, "Black");
    EXPECT_EQ(ColorTableAt(20).colour, RGB(127, 255, 212));
    EXPECT_STREQ(ColorTableAt(20).name, "Aqua");
    EXPECT_STREQ(ColorTableAt(35).name, "Pale green ");
    EXPECT_EQ(ColorTableAt(39).colour, RGB(255, 255, 255));
}

TEST_F(ColorButtonFixture, StartsAutomaticWithTheLibraryTexts)
{
    EXPECT_EQ(button->GetColor(), CLR_AUTOMATIC);
    EXPECT_EQ(button->GetDefaultText(), QStringLiteral("Automatic"));
    EXPECT_EQ(button->GetCustomText(), QStringLiteral("More Colors..."));
    EXPECT_FALSE(button->GetTrackSelection());
    COLORREF v = RGB(1, 2, 3);
    button->Exchange(false, v);
    COLORREF read = 0;
    button->Exchange(true, read);
    EXPECT_EQ(read, RGB(1, 2, 3));
}

TEST_F(ColorButtonFixture, PopupMarksTheCellOfTheCurrentColour)
{
    struct Case { COLORREF colour; bool defaultText; bool customText; int chosen; };
    const Case cases[] = {
        {RGB(255, 0, 0), true, true, 16},
        {CLR_AUTOMATIC, true, true, CColorPopup::CELL_DEFAULT},
        {RGB(1, 2, 3), true, true, CColorPopup::CELL_CUSTOM},       // not in the table: "More Colors..."
        {RGB(1, 2, 3), true, false, CColorPopup::CELL_NONE},
        {CLR_AUTOMATIC, false, true, CColorPopup::CELL_CUSTOM},
        {CLR_AUTOMATIC, false, false, CColorPopup::CELL_NONE},
    };
    for (const Case& c : cases) {
        button->SetColor(c.colour);
        button->SetDefaultText(c.defaultText ? QStringLiteral("Automatic") : QString());
        button->SetCustomText(c.customText ? QStringLiteral("More Colors...") : QString());
        CColorPopup* popup = Open();
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->ChosenCell(), c.chosen) << c.colour;
        EXPECT_EQ(popup->CellRect(CColorPopup::CELL_DEFAULT).isNull(), !c.defaultText);
        EXPECT_EQ(popup->CellRect(CColorPopup::CELL_CUSTOM).isNull(), !c.customText);
        Key(popup, Qt::Key_Escape);
        EXPECT_EQ(button->Popup(), nullptr);
        EXPECT_EQ(button->GetColor(), c.colour);
    }
}

TEST_F(ColorButtonFixture, PopupLayoutAndPaintedCells)
{
    button->SetColor(RGB(0, 0, 255));
    CColorPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    const QRect def = popup->CellRect(CColorPopup::CELL_DEFAULT);
    const QRect first = popup->CellRect(0);
    const QRect custom = popup->CellRect(CColorPopup::CELL_CUSTOM);
    EXPECT_EQ(first.size(), QSize(18, 18));
    EXPECT_EQ(def.topLeft(), QPoint(2, 2));
    EXPECT_EQ(first.top(), def.bottom() + 1 + 2);  // below the "Automatic" box and one margin
    EXPECT_EQ(popup->CellRect(9).topLeft(), first.topLeft() + QPoint(18, 18));
    EXPECT_GT(custom.top(), popup->CellRect(39).bottom());
    EXPECT_LE(custom.bottom(), popup->height());
    EXPECT_GE(popup->width(), 8 * 18 + 4);
    EXPECT_EQ(popup->ToolTipAt(popup->CellRect(20).center()), QStringLiteral("Aqua"));
    EXPECT_EQ(popup->ToolTipAt(def.center()), QString());

    const QImage image = popup->grab().toImage();
    for (int i : {0, 13, 20, 39})
        EXPECT_EQ(PixelAt(image, popup->CellRect(i).center().x(), popup->CellRect(i).center().y()),
                  ToRgb(ColorTableAt(i).colour)) << i;
    // The chosen cell (blue) sits on a lighter face than the others.
    EXPECT_EQ(PixelAt(image, popup->CellRect(13).left() + 2, popup->CellRect(13).top() + 2), 0xFFFFFFu);
    EXPECT_NE(PixelAt(image, popup->CellRect(12).left() + 2, popup->CellRect(12).top() + 2), 0xFFFFFFu);
    Key(popup, Qt::Key_Escape);
}

TEST_F(ColorButtonFixture, TrackingShowsTheHighlightAtOnceAndEscapePutsTheOldColourBack)
{
    button->SetColor(RGB(255, 0, 0));
    button->SetTrackSelection(true);
    CColorPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(button->IsPopupActive());
    Move(popup, popup->CellRect(20).center());  // "Aqua"
    EXPECT_EQ(button->GetColor(), RGB(127, 255, 212));
    const QImage shown = button->grab().toImage();
    EXPECT_EQ(PixelAt(shown, button->width() / 3, button->height() / 2), ToRgb(RGB(127, 255, 212)));
    Key(popup, Qt::Key_Escape);
    EXPECT_EQ(button->GetColor(), RGB(255, 0, 0));
    EXPECT_FALSE(button->IsPopupActive());
    const std::vector<Note> expected = {
        {CPN_DROPDOWN, RGB(255, 0, 0), 1017},
        {CPN_SELCHANGE, RGB(127, 255, 212), 1017},
        {CPN_CLOSEUP, RGB(255, 0, 0), 1017},
        {CPN_SELENDCANCEL, RGB(255, 0, 0), 1017},
    };
    EXPECT_EQ(notes, expected);
}

TEST_F(ColorButtonFixture, WithoutTrackingTheButtonKeepsItsColourUntilTheClick)
{
    button->SetColor(RGB(255, 0, 0));
    CColorPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    Move(popup, popup->CellRect(26).center());
    EXPECT_EQ(button->GetColor(), RGB(255, 0, 0));
    Release(popup, popup->CellRect(26).center());
    EXPECT_EQ(button->GetColor(), RGB(255, 255, 0));
    const std::vector<Note> expected = {
        {CPN_DROPDOWN, RGB(255, 0, 0), 1017},
        {CPN_SELCHANGE, RGB(255, 255, 0), 1017},
        {CPN_CLOSEUP, RGB(255, 255, 0), 1017},
        {CPN_SELENDOK, RGB(255, 255, 0), 1017},
        {CPN_SELCHANGE, RGB(255, 255, 0), 1017},
    };
    EXPECT_EQ(notes, expected);
}

TEST_F(ColorButtonFixture, ChoosingTheSameColourAgainSendsNoChange)
{
    button->SetColor(RGB(255, 255, 0));
    ClickCell(Open(), 26);
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.back().message, CPN_SELENDOK);
}

TEST_F(ColorButtonFixture, AutomaticStoresTheMarkerAndShowsTheDefaultColour)
{
    button->SetColor(RGB(255, 0, 0));
    button->SetDefaultColor(RGB(10, 200, 30));
    ClickCell(Open(), CColorPopup::CELL_DEFAULT);
    EXPECT_EQ(button->GetColor(), CLR_AUTOMATIC);
    EXPECT_EQ(button->SwatchColour(), RGB(10, 200, 30));
    const QImage shown = button->grab().toImage();
    EXPECT_EQ(PixelAt(shown, 8, button->height() / 2), ToRgb(RGB(10, 200, 30)));
}

TEST_F(ColorButtonFixture, ReleaseOutsideThePopupCancels)
{
    button->SetColor(RGB(0, 0, 0));
    CColorPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    Move(popup, popup->CellRect(5).center());
    Release(popup, QPoint(-20, -20));
    EXPECT_EQ(button->GetColor(), RGB(0, 0, 0));
    EXPECT_EQ(notes.back().message, CPN_SELENDCANCEL);
}

TEST_F(ColorButtonFixture, MoreColoursAsksTheColourDialogWithTheInitialColour)
{
    std::optional<COLORREF> asked;
    std::optional<COLORREF> answer = RGB(12, 34, 56);
    SetColourDialogHook([&](const ColourDialogRequest& r) {
        asked = r.initial;
        return answer;
    });
    button->SetColor(RGB(255, 0, 0));
    ClickCell(Open(), CColorPopup::CELL_CUSTOM);
    EXPECT_EQ(asked, RGB(255, 0, 0));
    EXPECT_EQ(button->GetColor(), RGB(12, 34, 56));
    EXPECT_EQ(notes.back(), (Note{CPN_SELCHANGE, RGB(12, 34, 56), 1017}));

    // Cancelling the dialog cancels the whole choice.
    notes.clear();
    answer.reset();
    CColorPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    Move(popup, popup->CellRect(CColorPopup::CELL_CUSTOM).center());
    Key(popup, Qt::Key_Return);
    EXPECT_EQ(asked, RGB(12, 34, 56));
    EXPECT_EQ(button->GetColor(), RGB(12, 34, 56));
    EXPECT_EQ(notes.back(), (Note{CPN_SELENDCANCEL, RGB(12, 34, 56), 1017}));
}

TEST_F(ColorButtonFixture, ArrowKeysWalkTheGridAndTheTextBoxes)
{
    constexpr int D = CColorPopup::CELL_DEFAULT;
    constexpr int C = CColorPopup::CELL_CUSTOM;
    constexpr int N = CColorPopup::CELL_NONE;
    struct Case { bool def; bool cust; std::vector<int> keys; int hot; };
    const Case cases[] = {
        {true, true, {Qt::Key_Down}, D},
        {true, true, {Qt::Key_Down, Qt::Key_Down}, 0},
        {true, true, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down}, 8},
        {true, true, {Qt::Key_Up}, D},
        {true, true, {Qt::Key_Up, Qt::Key_Up}, C},
        {true, true, {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up}, 39},
        {true, true, {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up}, 31},
        {true, true, {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Right}, C},   // past the last cell
        {true, true, {Qt::Key_Up, Qt::Key_Up, Qt::Key_Right}, D},               // custom -> default
        {true, true, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Left}, D},            // before the first cell
        {true, true, {Qt::Key_Down, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right,
                      Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right}, 8},  // wraps to the next row
        {true, true, {Qt::Key_Down, Qt::Key_Left}, C},
        {false, false, {Qt::Key_Up}, 39},
        {false, false, {Qt::Key_Up, Qt::Key_Right}, 0},
        {false, false, {Qt::Key_Up, Qt::Key_Down}, 0},
        {false, true, {Qt::Key_Up}, C},
        {false, true, {Qt::Key_Up, Qt::Key_Down}, 0},
        {false, true, {Qt::Key_Left, Qt::Key_Left}, 39},
        {true, false, {Qt::Key_Down, Qt::Key_Up, Qt::Key_Down}, D},  // from the last row: no custom box
        {true, false, {Qt::Key_Down, Qt::Key_Up}, 39},
    };
    for (const Case& c : cases) {
        button->SetColor(RGB(255, 0, 0));
        button->SetDefaultText(c.def ? QStringLiteral("Automatic") : QString());
        button->SetCustomText(c.cust ? QStringLiteral("More Colors...") : QString());
        CColorPopup* popup = Open();
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->HotCell(), N);
        for (int key : c.keys)
            Key(popup, key);
        EXPECT_EQ(popup->HotCell(), c.hot) << c.def << c.cust << " after " << c.keys.size() << " keys";
        Key(popup, Qt::Key_Escape);
    }
}

TEST_F(ColorButtonFixture, SpaceAcceptsTheHotCell)
{
    button->SetColor(CLR_AUTOMATIC);
    CColorPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    Key(popup, Qt::Key_Down);
    Key(popup, Qt::Key_Down);  // "Black"
    Key(popup, Qt::Key_Space);
    EXPECT_EQ(button->GetColor(), RGB(0, 0, 0));
    EXPECT_EQ(button->Popup(), nullptr);
}

TEST_F(ColorButtonFixture, ClosingThePopupFromOutsideCancels)
{
    button->SetColor(RGB(0, 0, 255));
    button->SetTrackSelection(true);
    QPointer<CColorPopup> popup = Open();
    ASSERT_TRUE(popup);
    Move(popup, popup->CellRect(0).center());
    popup->close();
    EXPECT_EQ(button->GetColor(), RGB(0, 0, 255));
    EXPECT_EQ(notes.back().message, CPN_SELENDCANCEL);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(popup.isNull());
}

TEST_F(ColorButtonFixture, DeletingTheButtonWithAnOpenPopupIsSafe)
{
    QPointer<CColorPopup> popup = Open();
    delete button;
    button = nullptr;
    EXPECT_TRUE(popup.isNull());
}

TEST(ColorPopupPlace, StaysOnTheScreenAndFlipsAboveNearTheBottom)
{
    const QRect screen(0, 0, 800, 600);
    const QSize size(150, 160);
    struct Case { QRect anchor; QPoint expected; };
    const Case cases[] = {
        {QRect(100, 100, 80, 24), QPoint(100, 124)},
        {QRect(700, 100, 80, 24), QPoint(650, 124)},   // shifted left
        {QRect(-30, 100, 80, 24), QPoint(0, 124)},     // shifted right
        {QRect(100, 500, 80, 24), QPoint(100, 340)},   // above the button
    };
    for (const Case& c : cases)
        EXPECT_EQ(CColorPopup::Place(c.anchor.bottomLeft() + QPoint(0, 1), size, c.anchor, screen), c.expected)
            << c.anchor.x() << "," << c.anchor.y();
}

}  // namespace
