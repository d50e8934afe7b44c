// The main frame's calibration boxes and status panes describe the calibration of the active document, whichever
// document that is and whenever its calibration arrived.
#include "calibration/tests/CalibrationTestFrame.h"

#include "calibration/CCalibrationSetDlg.h"
#include "core/CalibrationTexts.h"
#include "frame/CommandIds.h"
#include "frame/FrameStrings.h"
#include "strings/Format.h"

#include <QComboBox>
#include <QMdiArea>
#include <gtest/gtest.h>

namespace {

class ActiveDocumentCalibrationTest : public CalibrationTestFrame
{
protected:
    void TearDown() override
    {
        // The frame, holding their views, goes before the documents.
        frame.reset();
        more.clear();
        CalibrationTestFrame::TearDown();
    }

    // The three panes as the status bar shows them.
    struct Shown
    {
        std::string name;
        std::string magnification;
        std::string unit;
        bool operator==(const Shown&) const = default;
    };

    Shown Panes() const
    {
        return {frame->PaneText(PANE_STATUS_CALIBRATION), frame->PaneText(PANE_STATUS_MAGNIFICATION),
                frame->PaneText(PANE_STATUS_UNIT)};
    }

    Shown Expected(const std::string& name, const std::string& magnification, int unit) const
    {
        const LANGID language = frame->Language();
        return {Format(FrameString(449, language).c_str(), name.c_str()),
                Format(FrameString(451, language).c_str(), magnification.c_str()),
                Format(FrameString(450, language).c_str(), CCalibKeeper::GetUnitName(unit).c_str())};
    }

    void Activate(CVistrelDoc& doc)
    {
        frame->MdiArea()->setActiveSubWindow(doc.GetChildFrame());
        QApplication::processEvents();
    }

    static CCalibKeeper Calibration(const char* name, int unit, double unitsPerPixel, double magnification)
    {
        CCalibKeeper calibration;
        calibration.Create(unit, 1.0, unitsPerPixel, magnification, 1.0, 0, 0, 0);
        calibration.SetName(name);
        return calibration;
    }

    std::vector<std::unique_ptr<CVistrelDoc>> more;
};

TEST_F(ActiveDocumentCalibrationTest, BoxesAndStatusShowTheActiveDocumentsOwnCalibration)
{
    const std::string none = FrameString(523, frame->Language());
    // `document` was opened before anything was calibrated; a second one is then calibrated with "Scope".
    list.StoreCalibration(Calibration("Scope", UNIT_MICROMETER, 0.5, 10.0));
    CVistrelDoc* second = more.emplace_back(OpenBlankInChildFrame(*frame, 100, 80)).get();
    commands->Manager().Refresh();
    frame->Hooks().calibrationBoxSelected(cmd::ID_CALIBRATION_NAME_BOX, frame->CalibrationNameBox()->findText("Scope"));
    ASSERT_EQ(second->GetCalibKeeper().GetName(), "Scope");
    EXPECT_EQ(Panes(), Expected("Scope", "10", UNIT_MICROMETER));

    // Back on the first document: it measures in pixels, and that is what the boxes and the status say.
    Activate(*document);
    EXPECT_EQ(document->GetCalibKeeper().GetUnit(), UNIT_PIXEL);
    EXPECT_EQ(second->GetCalibKeeper().GetName(), "Scope");
    EXPECT_EQ(frame->CalibrationNameBox()->currentText().toStdString(), none);
    EXPECT_EQ(frame->UnitBox()->currentText().toStdString(), CCalibKeeper::GetUnitName(UNIT_PIXEL));
    EXPECT_EQ(frame->MagnificationBox()->currentIndex(), -1);
    EXPECT_EQ(Panes(), Expected(none, none, UNIT_PIXEL));

    Activate(*second);
    EXPECT_EQ(frame->CalibrationNameBox()->currentText().toStdString(), "Scope");
    EXPECT_EQ(Panes(), Expected("Scope", "10", UNIT_MICROMETER));

    // A document opened from a file gets its calibration only after its window became active, and the
    // calibration may be one this list never held.
    CVistrelDoc* opened = more.emplace_back(std::make_unique<CVistrelDoc>()).get();
    auto* openedView = new CVistrelView(opened);
    opened->AddView(openedView);
    opened->SetChildFrame(frame->AddChildFrame(openedView, openedView, opened));
    CQvImage image;
    image.Create(QV_RGB24, 60, 40, 0);
    opened->SetImage("", &image);
    opened->GetCalibKeeper() = Calibration("Other lab", UNIT_MILLIMETER, 0.002, 5.0);
    QApplication::processEvents();
    EXPECT_EQ(frame->CalibrationNameBox()->currentText().toStdString(), "Other lab");
    EXPECT_EQ(frame->MagnificationBox()->currentText().toStdString(), "5");
    EXPECT_EQ(frame->UnitBox()->currentText().toStdString(), CCalibKeeper::GetUnitName(UNIT_MILLIMETER));
    EXPECT_EQ(Panes(), Expected("Other lab", "5", UNIT_MILLIMETER));
    EXPECT_EQ(list.FindByName("Other lab"), nullptr) << "showing a calibration does not list it";
    EXPECT_DOUBLE_EQ(opened->GetCalibKeeper().GetUnitsPerPixel(), 0.002);
}

// The boxes speak the session's language: an uncalibrated image, the pixel unit and the temporary calibration are
// shown by their texts, while the temporary calibration keeps the name it is stored under.
TEST_F(ActiveDocumentCalibrationTest, BoxesShowNoneUnitAndTemporaryInTheSessionsLanguage)
{
    struct Case { LANGID language; const char* none; const char* pixel; const char* temporary; };
    const Case cases[] = {
        {UI_LANGUAGE_ENGLISH, "None", "Pixel", "Temporary"},
        {UI_LANGUAGE_KOREAN, "없음", "픽셀", "임시"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        SetUiLanguage(c.language);
        MainFrameOptions options;
        options.profile = &profile;
        options.programFolder = Path("program");
        frame = std::make_unique<CMainFrame>(options);
        frame->show();
        QApplication::processEvents();
        commands = &InstallCalibrationCommands(*frame, list, Path("calibration") + "/");
        auto shownDocument = OpenBlankInChildFrame(*frame, 60, 40);
        QApplication::processEvents();

        list.GetCurrentCalibration()->SetName("");
        commands->Manager().Refresh();
        EXPECT_EQ(frame->CalibrationNameBox()->currentText().toStdString(), c.none);
        EXPECT_EQ(frame->UnitBox()->currentText().toStdString(), c.pixel);
        EXPECT_EQ(Control<QComboBox>(commands->Manager(), CCalibrationSetDlg::kNameBox)->currentText().toStdString(),
                  c.none);

        CCalibKeeper temporary;
        temporary.Create(UNIT_MICROMETER, 100.0, 50.0, -1.0, 1.0, 0, 0, 0);
        temporary.SetName(CCalibrationList::kTemporaryName);
        list.StoreCalibration(temporary);
        commands->Manager().Refresh();
        EXPECT_EQ(frame->CalibrationNameBox()->currentText().toStdString(), c.temporary);
        EXPECT_EQ(list.GetCurrentCalibration()->GetName(), "\xEC\x9E\x84\xEC\x8B\x9C") << "stored as before";
        EXPECT_EQ(frame->UnitBox()->currentText().toStdString(), CCalibKeeper::GetUnitName(UNIT_MICROMETER));

        // The texts of both languages are reserved names: no calibration may be called so.
        for (const char* reserved : {c.none, c.temporary})
            EXPECT_TRUE(IsReservedCalibrationName(reserved)) << reserved;
        EXPECT_FALSE(IsReservedCalibrationName("Scope"));

        frame.reset();
        shownDocument.reset();
    }
}

}  // namespace
