// Manual calibration on a document: a line of known length drawn in the display window gives the units per
// pixel, is stored in the list under the name and magnification given, and comes back after the list was written
// and read again; the refusals (a second start, the live view, a line not drawn or of no length) and Apply's
// temporary calibration; the zoom window magnifies the pixels under the mouse.
#include "calibration/tests/CalibrationTestFrame.h"

#include "calibration/CCalibrationZoomDlg.h"
#include "core/CalibrationTexts.h"
#include "calibration/CLengthCalibrationDlg.h"
#include "calibration/CManualCalibrationDlg.h"
#include "calibration/CValueInputDlg.h"
#include "panels/CZoomViewWnd.h"
#include "frame/CommandIds.h"
#include "panels/CFlatColorComboBox.h"
#include "testing/MessageBoxRecorder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using testing_support::MessageBoxes;

namespace {

class ManualCalibrationTest : public CalibrationTestFrame
{
protected:
    CLengthCalibrationDlg& Start()
    {
        EXPECT_TRUE(frame->Router().Execute(cmd::ID_CALIBRATION_MANUAL));
        EXPECT_NE(commands->LengthDialog(), nullptr);
        return *commands->LengthDialog();
    }

    static void Type(QDialog& dialog, const char* text)
    {
        dialog.findChild<QLineEdit*>(QString::number(CValueInputDlg::kEdit))->setText(text);
        dialog.accept();
    }
};

TEST_F(ManualCalibrationTest, ALineOfKnownLengthIsStoredUnderItsNameAndSurvivesARestart)
{
    CLengthCalibrationDlg& dialog = Start();
    CImageDispWnd* window = view->GetDispWnd();
    EXPECT_TRUE(window->GetToolMode() & CImageDispWnd::kCalibrationMode);
    EXPECT_EQ(dialog.pos(), view->mapToGlobal(QPoint(20, 20)));
    CCalibrationZoomDlg* zoom = commands->ZoomWindow();
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(zoom->parentWidget(), view);
    EXPECT_EQ(zoom->geometry().bottomRight() + QPoint(1, 1), QPoint(view->width() - 20, view->height() - 20));

    // A second start while the first runs changes nothing.
    EXPECT_TRUE(frame->Router().Execute(cmd::ID_CALIBRATION_MANUAL));
    EXPECT_EQ(commands->LengthDialog(), &dialog);
    EXPECT_EQ(document->GetGObjectContainer().GetMainObjList().size(), 1u);

    DrawLine(CPoint(10, 20), CPoint(70, 100));  // 100 pixels long
    Control<QLineEdit>(dialog, CLengthCalibrationDlg::kLengthEdit)->setText("50");
    // The unit list is the flat colour combo, its units black on white.
    auto* units = Control<CFlatColorComboBox>(dialog, CLengthCalibrationDlg::kUnitBox);
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(units->GetBkColor(UNIT_MICROMETER), 0xFFFFFFu);
    units->setCurrentIndex(UNIT_MICROMETER);

    MessageBoxes().QueueModal([](QDialog& naming) {
        Control<QPushButton>(naming, CManualCalibrationDlg::kNewName)->click();
        Control<QPushButton>(naming, CManualCalibrationDlg::kNewMagnification)->click();
        naming.accept();
    });
    MessageBoxes().QueueModal([](QDialog& input) { Type(input, "Scope A"); });
    MessageBoxes().QueueModal([](QDialog& input) { Type(input, "10"); });
    Control<QPushButton>(dialog, 1)->click();
    EXPECT_TRUE(MessageBoxes().Boxes().empty()) << MessageBoxes().Boxes().front().text;

    CCalibrationListItem* item = list.FindByName("Scope A");
    ASSERT_NE(item, nullptr);
    ASSERT_EQ(item->GetRecords().size(), 1u);
    EXPECT_DOUBLE_EQ(item->GetRecords()[0].magnification, 10.0);
    EXPECT_DOUBLE_EQ(item->GetRecords()[0].unitsPerPixel, 0.5);
    EXPECT_EQ(item->GetRecords()[0].unitType, UNIT_MICROMETER);
    EXPECT_EQ(document->GetCalibKeeper().GetName(), "Scope A");
    EXPECT_DOUBLE_EQ(document->GetCalibKeeper().GetUnitsPerPixel(), 0.5);
    EXPECT_EQ(frame->CalibrationNameBox()->currentText(), "Scope A");

    // The calibration is over: no line left, the window out of calibration and creation mode.
    EXPECT_TRUE(document->GetGObjectContainer().GetMainObjList().empty());
    EXPECT_EQ(window->GetToolMode() & (CImageDispWnd::kCalibrationMode | CImageDispWnd::kCreating), 0);
    EXPECT_EQ(document->GetGObjectContainer().GetDisplayData(), document->GetPreferences().displayData);

    // Written when saved, not only at exit: a start after a crash right now finds it.
    const std::string folder = Path("calibration") + "/";
    CCalibrationList restarted;
    EXPECT_EQ(restarted.LoadFromFolder(folder), CCalibrationList::READ_CLEAN);
    EXPECT_EQ(restarted.GetCurrentCalibration()->GetName(), "Scope A");
    EXPECT_DOUBLE_EQ(restarted.GetCurrentCalibration()->GetUnitsPerPixel(), 0.5);
    EXPECT_DOUBLE_EQ(restarted.GetCurrentCalibration()->GetMagnification(), 10.0);
}

TEST_F(ManualCalibrationTest, ApplyMakesATemporaryCalibrationThatIsNeverListed)
{
    CLengthCalibrationDlg& dialog = Start();
    DrawLine(CPoint(0, 0), CPoint(40, 0));
    Control<QLineEdit>(dialog, CLengthCalibrationDlg::kLengthEdit)->setText("2");
    Control<QComboBox>(dialog, CLengthCalibrationDlg::kUnitBox)->setCurrentIndex(UNIT_MILLIMETER);
    Control<QPushButton>(dialog, CLengthCalibrationDlg::kApply)->click();
    EXPECT_EQ(list.GetCurrentCalibration()->GetName(), "임시");
    EXPECT_DOUBLE_EQ(list.GetCurrentCalibration()->GetUnitsPerPixel(), 0.05);
    EXPECT_EQ(list.GetCurrentCalibration()->GetUnit(), UNIT_MILLIMETER);
    EXPECT_TRUE(list.GetItems().empty());
    EXPECT_DOUBLE_EQ(document->GetCalibKeeper().GetUnitsPerPixel(), 0.05);
}

TEST_F(ManualCalibrationTest, RefusalsLeaveTheListAndTheCalibrationAsTheyWere)
{
    const CCalibKeeper before = *list.GetCurrentCalibration();
    // Nothing drawn yet, then a line of no length.
    CLengthCalibrationDlg& dialog = Start();
    Control<QPushButton>(dialog, CLengthCalibrationDlg::kApply)->click();
    DrawLine(CPoint(30, 30), CPoint(30, 30));
    Control<QPushButton>(dialog, CLengthCalibrationDlg::kApply)->click();
    Control<QPushButton>(dialog, 1)->click();
    ASSERT_EQ(MessageBoxes().Boxes().size(), 3u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, CalibrationString(calibstr::IDS_DRAW_CALIBRATION_LINE));
    EXPECT_EQ(MessageBoxes().Boxes()[1].text, "Length cannot be zero!!");
    EXPECT_EQ(MessageBoxes().Boxes()[2].text, "Length cannot be zero!!");
    EXPECT_TRUE(MessageBoxes().ModalDialogs().empty()) << "no naming without a calibration";
    EXPECT_EQ(list.GetCurrentCalibration()->GetName(), before.GetName());
    EXPECT_DOUBLE_EQ(list.GetCurrentCalibration()->GetUnitsPerPixel(), before.GetUnitsPerPixel());
    Control<QPushButton>(dialog, 2)->click();
    EXPECT_TRUE(document->GetGObjectContainer().GetMainObjList().empty());
    EXPECT_TRUE(list.GetItems().empty());

    // On the live view both commands refuse with the same message.
    MessageBoxes().Reset();
    view->SetLive(true);
    for (UINT id : {cmd::ID_CALIBRATION_MANUAL, cmd::ID_CALIBRATION_AUTO})
        frame->Router().Execute(id);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 2u);
    for (const auto& box : MessageBoxes().Boxes())
        EXPECT_EQ(box.text, CalibrationString(calibstr::IDS_CAPTURED_IMAGE_NEEDED));
    EXPECT_EQ(view->GetDispWnd()->GetToolMode() & CImageDispWnd::kCalibrationMode, 0);
}

TEST_F(ManualCalibrationTest, CancellingTheNamingDropsNamesWithoutMagnification)
{
    CLengthCalibrationDlg& dialog = Start();
    DrawLine(CPoint(0, 0), CPoint(10, 0));
    MessageBoxes().QueueModal([](QDialog& naming) {
        Control<QPushButton>(naming, CManualCalibrationDlg::kNewName)->click();
        naming.accept();  // no magnification: refused with a message
        naming.reject();
    });
    MessageBoxes().QueueModal([](QDialog& input) { Type(input, "Half"); });
    Control<QPushButton>(dialog, 1)->click();
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, CalibrationString(calibstr::IDS_FILL_EVERYTHING));
    EXPECT_EQ(MessageBoxes().Boxes()[0].caption, "Error");
    EXPECT_TRUE(list.GetItems().empty());
}

TEST_F(ManualCalibrationTest, TheZoomWindowMagnifiesThePixelsUnderTheMouse)
{
    CQvImage image;
    image.Create(QV_RGB24, 40, 30, 0);
    image.Get2DBuffer()[12][10 * 3 + 2] = 255;  // one red pixel at (10, 12)
    document->ReplaceImage("", &image);
    Start();
    CZoomViewWnd* magnifier = commands->ZoomWindow()->Magnifier();
    magnifier->UpdateFromImage();
    magnifier->SetCentre(CPoint(10, 12));
    const QImage shown = magnifier->Render();
    const QPoint centre(magnifier->width() / 2, magnifier->height() / 2);
    EXPECT_EQ(QColor(shown.pixel(centre)), QColor(255, 0, 0));
    const int step = CZoomViewWnd::kDefaultFactor;
    EXPECT_EQ(QColor(shown.pixel(centre + QPoint(step, step))), QColor(0, 0, 0)) << "the neighbour's block";
    magnifier->SetCentre(CPoint(11, 12));
    EXPECT_EQ(QColor(magnifier->Render().pixel(centre - QPoint(step, 0) + QPoint(0, 1))), QColor(255, 0, 0));
}

}  // namespace

namespace {

TEST_F(ManualCalibrationTest, AutomaticCalibrationUndoesOnlyTheModulesOwnWorkImage)
{
    CQvFramePool& pool = document->GetFramePool();
    // The user's edits fill the undo history: its size alone cannot tell whether the module pushed.
    for (int edit = 1; edit <= CQvFramePool::kMaxUndoPoints; ++edit) {
        ASSERT_EQ(pool.PushImage(-1, -1, -1, -1), 1);
        pool.GetImage().GetPixel(0, 0)[0] = static_cast<BYTE>(edit);
    }
    for (bool modulePushes : {true, false}) {
        commands->SetAutoCalibrationRunner([modulePushes](CVistrelDoc& doc, CCalibKeeper& calibration, int& keep) {
            if (modulePushes) {
                doc.GetFramePool().PushImage(-1, -1, -1, -1);
                doc.GetFramePool().GetImage().GetPixel(0, 0)[0] = 99;
            }
            calibration.SetUnitsPerPixel(0.5);
            keep = 1;
            return 1;
        });
        ASSERT_TRUE(frame->Router().Execute(cmd::ID_CALIBRATION_AUTO));
        EXPECT_EQ(pool.GetImage().GetPixel(0, 0)[0], CQvFramePool::kMaxUndoPoints) << modulePushes;
        EXPECT_DOUBLE_EQ(list.GetCurrentCalibration()->GetUnitsPerPixel(), 0.5);
    }
}

}  // namespace
