// The legend's colour picker over the shared colour grid: what it tells its owner and in which order, which colour
// a choice sets, and how its face shows the colours.
#include "quantor/ColourPicker.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <vector>

namespace {

using quantor::CColourPicker;

struct Note
{
    UINT message;
    COLORREF colour;
    int id;
    bool operator==(const Note&) const = default;
};

class ColourPickerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        page.resize(200, 100);
        picker = new CColourPicker(&page);
        picker->setGeometry(10, 10, 90, 26);
        picker->setText(QStringLiteral("Low"));
        picker->SetControlId(7014);
        picker->SetDefaultText(QStringLiteral("Default"));
        picker->SetCustomText(QStringLiteral("More"));
        picker->SetColour(RGB(0, 0, 255));
        picker->notify = [this](UINT m, COLORREF c, int id) { notes.push_back({m, c, id}); };
        page.show();
    }

    CColorPopup* Open()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        picker->click();
        return picker->Popup();
    }
    static void Mouse(CColorPopup* popup, QEvent::Type type, QPoint pos)
    {
        QMouseEvent e(type, pos, popup->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(popup, &e);
    }

    QWidget page;
    CColourPicker* picker = nullptr;
    std::vector<Note> notes;
};

TEST_F(ColourPickerTest, HoverTellsAChangeAndAcceptTellsCloseUpThenAcceptedOnly)
{
    CColorPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(picker->IsPopupActive());
    const QPoint red = popup->CellRect(16).center();
    Mouse(popup, QEvent::MouseMove, red);
    Mouse(popup, QEvent::MouseButtonRelease, red);
    const COLORREF blue = RGB(0, 0, 255), redColour = RGB(255, 0, 0);
    EXPECT_EQ(notes, (std::vector<Note>{{CPN_DROPDOWN, blue, 7014},
                                        {CPN_SELCHANGE, redColour, 7014},
                                        {CPN_CLOSEUP, redColour, 7014},
                                        {CPN_SELENDOK, redColour, 7014}}));
    EXPECT_FALSE(picker->IsPopupActive());
    EXPECT_EQ(picker->GetColour(), redColour);
    EXPECT_EQ(picker->GetBkColour(), redColour);
}

TEST_F(ColourPickerTest, AReleaseOutsideThePopupCancelsWithTheStartingColour)
{
    CColorPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    Mouse(popup, QEvent::MouseMove, popup->CellRect(0).center());
    Mouse(popup, QEvent::MouseButtonRelease, QPoint(-30, -30));
    ASSERT_GE(notes.size(), 2u);
    EXPECT_EQ(notes[notes.size() - 2], (Note{CPN_CLOSEUP, RGB(0, 0, 255), 7014}));
    EXPECT_EQ(notes.back(), (Note{CPN_SELENDCANCEL, RGB(0, 0, 255), 7014}));
    EXPECT_EQ(picker->GetColour(), RGB(0, 0, 255));
}

TEST_F(ColourPickerTest, TheSelectionModeDecidesWhichColourAChoiceSets)
{
    picker->SetTextColour(0x808080);
    picker->SetSelectionMode(CColourPicker::kTextColour);
    EXPECT_EQ(picker->GetColour(), 0x808080u) << "the popup starts from the text colour";
    EXPECT_EQ(picker->GetBkColour(), RGB(0, 0, 255));
    CColorPopup* popup = Open();
    ASSERT_NE(popup, nullptr);
    const QPoint yellow = popup->CellRect(26).center();
    Mouse(popup, QEvent::MouseMove, yellow);
    Mouse(popup, QEvent::MouseButtonRelease, yellow);
    EXPECT_EQ(picker->GetTextColour(), RGB(255, 255, 0));
    EXPECT_EQ(picker->GetBkColour(), RGB(0, 0, 255));
}

TEST_F(ColourPickerTest, TheFaceShowsTheBackgroundColourAndButtonFaceWhenDisabledOrAutomatic)
{
    struct Case
    {
        COLORREF colour;
        bool enabled;
        QRgb face;
    };
    const Case cases[] = {
        {RGB(0, 200, 0), true, qRgb(0, 200, 0)},
        {RGB(0, 200, 0), false, qRgb(240, 240, 240)},
        {CLR_AUTOMATIC, true, qRgb(240, 240, 240)},
    };
    for (const Case& c : cases) {
        picker->SetColour(c.colour);
        picker->setEnabled(c.enabled);
        const QImage shot = picker->grab().toImage();
        // A corner of the face, away from the centred text.
        EXPECT_EQ(shot.pixel(6, 6) & 0xFFFFFF, c.face & 0xFFFFFF) << c.colour << c.enabled;
    }
}

}  // namespace
