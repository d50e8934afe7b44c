// The preferences dialog driven through its controls: the unit check follows the value check, Cancel changes
// nothing anywhere, OK reaches the active document's overlay and the profile, and the profile gives the values
// back on the next start.
#include "dialogs/CPreferencesDlg.h"

#include "core/tests/CoreTestFolder.h"
#include "document/CVistrelDoc.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "frame/tests/ChildFrameDocument.h"
#include "testing/MessageBoxRecorder.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObjectPropertyTotal.h"
#include "profile/CAppProfile.h"
#include "qvimage/CQvImage.h"

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QSpinBox>
#include <gtest/gtest.h>

#include <memory>

using testing_support::MessageBoxes;

namespace {

template <class W>
W* Control(QDialog& dialog, int id)
{
    W* widget = dialog.findChild<W*>(QString::number(id));
    EXPECT_NE(widget, nullptr) << id;
    return widget;
}

class PreferencesDlgTest : public CoreTestFolder
{
protected:
    void SetUp() override
    {
        CoreTestFolder::SetUp();
        MainFrameOptions options;
        options.profile = &profile;
        options.programFolder = Path("program");
        frame = std::make_unique<CMainFrame>(options);
        frame->resize(900, 700);
        frame->show();
        QApplication::processEvents();
        document = OpenBlankInChildFrame(*frame, 64, 48);
        view = document->GetImageView();
    }

    void TearDown() override
    {
        frame.reset();
        document.reset();
        CoreTestFolder::TearDown();
    }

    CAppProfile profile{"QRX", "Vistrel"};
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<CVistrelDoc> document;
    CVistrelView* view = nullptr;
};

TEST(PreferencesDlg, TheUnitCheckFollowsTheValueCheckAndTheDecimalsStayInRange)
{
    PreferenceSettings values;
    values.displayData = 0;
    values.decimalPointRange = 14;  // out of range in a damaged profile
    CPreferencesDlg dialog(values);
    auto* data = Control<QCheckBox>(dialog, CPreferencesDlg::kDataCheck);
    auto* mark = Control<QCheckBox>(dialog, CPreferencesDlg::kMarkCheck);
    auto* decimals = Control<QSpinBox>(dialog, CPreferencesDlg::kDecimalsEdit);
    EXPECT_FALSE(mark->isEnabled()) << "no values, no units";
    data->click();
    EXPECT_TRUE(mark->isEnabled());
    data->click();
    EXPECT_FALSE(mark->isEnabled());

    EXPECT_EQ(decimals->value(), 10);
    decimals->setValue(-3);
    EXPECT_EQ(decimals->value(), 0);
    decimals->setValue(11);
    EXPECT_EQ(decimals->value(), 10);
}

TEST_F(PreferencesDlgTest, CancelChangesNothingAndOkReachesTheDocumentAndTheProfile)
{
    PreferenceSettings programWide;  // display data 1, name 0, three decimals, ask before merging
    const PreferenceSettings before = programWide;
    CQvGObjectContainer& overlay = document->GetGObjectContainer();
    const auto edit = [](QDialog& dialog) {
        Control<QCheckBox>(dialog, CPreferencesDlg::kNameCheck)->click();
        Control<QCheckBox>(dialog, CPreferencesDlg::kDataCheck)->click();
        Control<QCheckBox>(dialog, CPreferencesDlg::kAutoColourCheck)->click();
        Control<QSpinBox>(dialog, CPreferencesDlg::kDecimalsEdit)->setValue(6);
        Control<QRadioButton>(dialog, CPreferencesDlg::kMergeNeverRadio)->click();
    };

    MessageBoxes().QueueModal([&](QDialog& dialog) {
        edit(dialog);
        dialog.reject();
    });
    EXPECT_EQ(RunPreferencesDialog(*frame, programWide, profile), QDialog::Rejected);
    EXPECT_EQ(programWide, before);
    EXPECT_EQ(overlay.GetDisplayName(), 0);
    EXPECT_EQ(overlay.GetDecimalPointRange(), 3);
    EXPECT_EQ(profile.GetProfileInt("PREFERENCE", "Decimal Point Range", -1), -1) << "nothing written";

    MessageBoxes().QueueModal([&](QDialog& dialog) {
        edit(dialog);
        dialog.accept();
    });
    EXPECT_EQ(RunPreferencesDialog(*frame, programWide, profile), QDialog::Accepted);
    PreferenceSettings expected = before;
    expected.displayName = 1;
    expected.displayData = 0;
    expected.autoColor = 1;
    expected.decimalPointRange = 6;
    expected.saveImageFlatten = 1;
    EXPECT_EQ(programWide, expected);
    EXPECT_EQ(overlay.GetDisplayName(), 1);
    EXPECT_EQ(overlay.GetDisplayData(), 0);
    EXPECT_EQ(overlay.GetAutoChangeColorMode(), 1);
    EXPECT_EQ(overlay.GetDecimalPointRange(), 6);
    EXPECT_EQ(document->GetPreferences().decimalPointRange, 6);

    // The next start reads them back.
    RegReloadStore();
    ProfileSettings reloaded;
    CQvGObjectPropertyTotal drawingDefaults;
    LoadProfileSettings(CAppProfile("QRX", "Vistrel"), reloaded, drawingDefaults);
    EXPECT_EQ(reloaded.preferences, expected);
}

TEST_F(PreferencesDlgTest, OkWithoutAnActiveDocumentStillKeepsTheValues)
{
    frame.reset();  // takes the child frame with it
    MainFrameOptions options;
    options.profile = &profile;
    CMainFrame empty(options);
    PreferenceSettings programWide;
    MessageBoxes().QueueModal([](QDialog& dialog) {
        Control<QCheckBox>(dialog, CPreferencesDlg::kScaleBarCheck)->click();
        dialog.accept();
    });
    EXPECT_EQ(RunPreferencesDialog(empty, programWide, profile), QDialog::Accepted);
    EXPECT_EQ(programWide.showScaleBar, 1);
    EXPECT_EQ(profile.GetProfileInt("PREFERENCE", "Show Scale Bar", -1), 1);
}

}  // namespace
