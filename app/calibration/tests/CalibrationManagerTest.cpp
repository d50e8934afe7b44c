// The calibration manager driven through its controls and the main frame's boxes: choosing, renaming, deleting,
// reordering and changing units and magnifications, with the prompts answered through the hooks.
#include "calibration/tests/CalibrationTestFrame.h"

#include "calibration/CCalibrationOrderDlg.h"
#include "calibration/CCalibrationSetDlg.h"
#include "calibration/CManualCalibrationDlg.h"
#include "calibration/CValueInputDlg.h"
#include "core/CalibrationTexts.h"
#include "frame/CommandIds.h"
#include "testing/MessageBoxRecorder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using testing_support::MessageBoxes;

namespace {

class CalibrationManagerTest : public CalibrationTestFrame
{
protected:
    void Add(const char* name, double magnification, double upp)
    {
        CCalibKeeper calibration;
        calibration.Create(UNIT_MICROMETER, 1.0, upp, magnification, 1.0, 0, 0, 0);
        calibration.SetName(name);
        list.StoreCalibration(calibration);
    }

    static void Type(QDialog& dialog, const char* text)
    {
        dialog.findChild<QLineEdit*>(QString::number(CValueInputDlg::kEdit))->setText(text);
        dialog.accept();
    }

    CCalibrationSetDlg& Manager()
    {
        RunCalibrationManager(*frame);
        return commands->Manager();
    }
};

TEST_F(CalibrationManagerTest, ChoicesInTheFrameBoxesActLikeChoicesInTheDialogAndReachTheDocument)
{
    Add("A", 5, 2.0);
    Add("A", 10, 1.0);
    Add("B", 20, 0.25);
    CCalibrationSetDlg& manager = Manager();
    EXPECT_TRUE(manager.isVisible());
    ASSERT_EQ(frame->CalibrationNameBox()->count(), 2);
    EXPECT_EQ(frame->CalibrationNameBox()->currentText(), "B");

    frame->Hooks().calibrationBoxSelected(cmd::ID_CALIBRATION_NAME_BOX, 0);  // "A": its first magnification
    EXPECT_EQ(list.GetCurrentCalibration()->GetName(), "A");
    EXPECT_DOUBLE_EQ(list.GetCurrentCalibration()->GetMagnification(), 5.0);
    EXPECT_EQ(manager.MagnificationBox()->count(), 2);
    frame->Hooks().calibrationBoxSelected(cmd::ID_MAGNIFICATION_BOX, 1);
    EXPECT_DOUBLE_EQ(document->GetCalibKeeper().GetUnitsPerPixel(), 1.0) << "the active document follows";
    EXPECT_EQ(frame->MagnificationBox()->currentText(), "10");

    // Units: to mm converts the factor; to pixels asks first, and Cancel keeps the unit.
    manager.OnUnitSelected(UNIT_MILLIMETER);
    EXPECT_DOUBLE_EQ(list.GetCurrentCalibration()->GetUnitsPerPixel(), 0.001);
    EXPECT_DOUBLE_EQ(list.FindByName("A")->FindRecord(10)->unitsPerPixel, 0.001);
    MessageBoxes().QueueAnswers({IDCANCEL});
    manager.OnUnitSelected(UNIT_PIXEL);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, CalibrationString(calibstr::IDS_UNIT_LOSS_WARNING));
    EXPECT_EQ(list.GetCurrentCalibration()->GetUnit(), UNIT_MILLIMETER);
    EXPECT_EQ(manager.UnitBox()->currentIndex(), UNIT_MILLIMETER);
}

TEST_F(CalibrationManagerTest, RenameDeleteReorderAndMagnificationEdits)
{
    Add("A", 5, 2.0);
    Add("A", 10, 1.0);
    Add("B", 20, 0.25);
    Add("QMS-7200", 1, 1.0);
    CCalibrationSetDlg& manager = Manager();
    EXPECT_FALSE(Control<QPushButton>(manager, CCalibrationSetDlg::kRename)->isEnabled());
    manager.OnNameSelected(1);  // "B"
    EXPECT_TRUE(Control<QPushButton>(manager, CCalibrationSetDlg::kRename)->isEnabled());

    // Rename to a listed name is refused; to a new one renames in place.
    MessageBoxes().QueueModal([](QDialog& input) { Type(input, "a"); });
    MessageBoxes().QueueModal([](QDialog& input) { Type(input, "C"); });
    Control<QPushButton>(manager, CCalibrationSetDlg::kRename)->click();
    Control<QPushButton>(manager, CCalibrationSetDlg::kRename)->click();
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, CalibrationString(calibstr::IDS_NAME_EXISTS));
    EXPECT_EQ(list.GetItems()[1]->GetName(), "C");
    EXPECT_EQ(frame->CalibrationNameBox()->itemText(1), "C");

    // A magnification the item has already, or one that is no finite number above 0, is refused and asked again.
    MessageBoxes().Reset();
    manager.OnNameSelected(0);  // "A" at 5
    for (const char* typed : {"10", "nan", "inf", "abc", "0", "-1", "40"})
        MessageBoxes().QueueModal([typed](QDialog& input) { Type(input, typed); });
    Control<QPushButton>(manager, CCalibrationSetDlg::kChangeMagnification)->click();
    EXPECT_EQ(MessageBoxes().ModalDialogs().size(), 7u);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, CalibrationString(calibstr::IDS_MAGNIFICATION_EXISTS));
    EXPECT_NE(list.FindByName("A")->FindRecord(40), nullptr);
    EXPECT_EQ(list.FindByName("A")->FindRecord(5), nullptr);

    // Deleting magnifications: the last one takes the name with it.
    Control<QPushButton>(manager, CCalibrationSetDlg::kDeleteMagnification)->click();
    EXPECT_DOUBLE_EQ(list.GetCurrentCalibration()->GetMagnification(), 10.0);
    Control<QPushButton>(manager, CCalibrationSetDlg::kDeleteMagnification)->click();
    EXPECT_EQ(list.FindByName("A"), nullptr);
    EXPECT_EQ(list.GetCurrentCalibration()->GetName(), "C") << "the first remaining name";

    // Order: "QMS-7200" up above "C".
    MessageBoxes().QueueModal([](QDialog& order) {
        order.findChild<QListWidget*>(QString::number(CCalibrationOrderDlg::kList))->setCurrentRow(1);
        Control<QPushButton>(order, CCalibrationOrderDlg::kUp)->click();
        Control<QPushButton>(order, CCalibrationOrderDlg::kUp)->click();  // at the top: nothing
        order.accept();
    });
    Control<QPushButton>(manager, CCalibrationSetDlg::kOrder)->click();
    ASSERT_EQ(list.GetItems().size(), 2u);
    EXPECT_EQ(list.GetItems()[0]->GetName(), "QMS-7200");
    EXPECT_EQ(frame->CalibrationNameBox()->itemText(0), "QMS-7200");

    // Deleting every name leaves the program uncalibrated; the order dialog then has nothing to show.
    Control<QPushButton>(manager, CCalibrationSetDlg::kDeleteName)->click();
    manager.OnNameSelected(0);
    manager.Refresh();
    list.RemoveItem(list.GetItems().front().get());
    manager.Refresh();
    MessageBoxes().Reset();
    Control<QPushButton>(manager, CCalibrationSetDlg::kOrder)->click();
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, CalibrationString(calibstr::IDS_NO_CALIBRATIONS));

    // OK writes the list file and the last calibration into the calibration folder; files that cannot be written
    // are reported with the folder and the manager stays open, so nothing is lost unseen.
    MessageBoxes().Reset();
    WriteBytes(Path("calibration"), "not a folder");
    Control<QPushButton>(manager, 1)->click();
    EXPECT_TRUE(manager.isVisible());
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_NE(MessageBoxes().Boxes()[0].text.find(Path("calibration") + "/"), std::string::npos);
    std::filesystem::remove(Path("calibration"));
    Control<QPushButton>(manager, 1)->click();
    EXPECT_FALSE(manager.isVisible());
    EXPECT_EQ(MessageBoxes().Boxes().size(), 1u);
    CCalibrationList written;
    EXPECT_EQ(written.LoadFromFolder(Path("calibration") + "/"), CCalibrationList::READ_CLEAN);
    EXPECT_TRUE(std::filesystem::exists(Path("calibration/lastcalibration.cal")));
}

// "Save As" on the temporary calibration of an Apply names it as a new calibration is named, and the files are on
// disk at once; with no calibration at all it says there is nothing to save instead of doing nothing.
TEST_F(CalibrationManagerTest, SaveAsKeepsTheTemporaryCalibrationOrSaysWhyNot)
{
    CCalibrationSetDlg& manager = Manager();
    Control<QPushButton>(manager, CCalibrationSetDlg::kRename)->click();
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, CalibrationString(calibstr::IDS_NOTHING_TO_SAVE));
    EXPECT_TRUE(MessageBoxes().ModalDialogs().empty());
    EXPECT_TRUE(list.GetItems().empty());

    CCalibKeeper temporary;
    temporary.Create(UNIT_MICROMETER, 100.0, 50.0, -1.0, 1.0, 0, 0, 0);
    temporary.SetName("임시");
    list.StoreCalibration(temporary);
    manager.Refresh();
    MessageBoxes().Reset();
    MessageBoxes().QueueModal([](QDialog& naming) {
        Control<QPushButton>(naming, CManualCalibrationDlg::kNewName)->click();
        Control<QPushButton>(naming, CManualCalibrationDlg::kNewMagnification)->click();
        naming.accept();
    });
    MessageBoxes().QueueModal([](QDialog& input) { Type(input, "Scope B"); });
    MessageBoxes().QueueModal([](QDialog& input) { Type(input, "20"); });
    Control<QPushButton>(manager, CCalibrationSetDlg::kRename)->click();
    EXPECT_TRUE(MessageBoxes().Boxes().empty()) << MessageBoxes().Boxes().front().text;
    EXPECT_EQ(list.GetCurrentCalibration()->GetName(), "Scope B");
    EXPECT_EQ(frame->CalibrationNameBox()->currentText(), "Scope B");
    EXPECT_EQ(document->GetCalibKeeper().GetName(), "Scope B") << "the active document takes the name";

    CCalibrationList restarted;
    EXPECT_EQ(restarted.LoadFromFolder(Path("calibration") + "/"), CCalibrationList::READ_CLEAN);
    const CCalibKeeper& current = *restarted.GetCurrentCalibration();
    EXPECT_EQ(current.GetName(), "Scope B");
    EXPECT_DOUBLE_EQ(current.GetMagnification(), 20.0);
    EXPECT_DOUBLE_EQ(current.GetUnitsPerPixel(), 0.5);
    EXPECT_EQ(current.GetUnit(), UNIT_MICROMETER);
}

}  // namespace
