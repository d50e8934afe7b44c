#include "program/ProgramObjects.h"
#include "core/tests/ProgramSessionFolders.h"

#include "core/CCalibrationList.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "profile/CAppProfile.h"
#include "profile/Registry.h"

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <stdlib.h>

namespace {

class ProgramObjectsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.Enter());
        rootFolder = session.root.path().toStdString() + "/";
        TheCalibrationList().GetItems().clear();
    }
    void TearDown() override
    {
        TheCalibrationList().GetItems().clear();
        session.Leave();
    }

    ProgramSessionFolders session;
    std::string rootFolder;
};

CCalibKeeper Calibration(const char* name, double magnification, double unitsPerPixel)
{
    CCalibKeeper calibration;
    calibration.SetName(name);
    calibration.SetUnit(UNIT_MICROMETER);
    calibration.SetMagnification(magnification);
    calibration.SetUnitsPerPixel(unitsPerPixel);
    return calibration;
}

}  // namespace

TEST_F(ProgramObjectsTest, TheProgramComesBackWithTheCalibrationAndOwnerTextsOfItsFolder)
{
    {
        CCalibrationList earlier;
        earlier.StoreCalibration(Calibration("Lens A", 10.0, 0.5));
        earlier.StoreCalibration(Calibration("Lens A", 20.0, 0.25));
        earlier.StoreCalibration(Calibration("Lens C", 5.0, 1.0));
        ASSERT_EQ(earlier.SaveToFolder(rootFolder + "Calibration/"), 1);
        CCalibrationList last;
        last.StoreCalibration(Calibration("Lens A", 20.0, 0.25));
        ASSERT_EQ(last.WriteLastCalibration(rootFolder + "Calibration/lastcalibration.cal"), 1);
    }
    std::filesystem::create_directories(rootFolder + "OEM");
    std::ofstream(rootFolder + "OEM/OEM.INI") << "[ENG]\ntitle=Acme Scope\n";

    {
        ProgramObjects program({QStringLiteral("Vistrel"), QStringLiteral("--root"), session.root.path()},
                               "/opt/x/Vistrel");
        EXPECT_EQ(TheProgram(), &program);
        CVistrelApp& app = program.App();
        ASSERT_TRUE(app.InitInstance());
        EXPECT_EQ(app.ProgramFolder(), rootFolder);
        EXPECT_EQ(app.OemInfo().present, 1);
        EXPECT_EQ(app.OemInfo().eng.title, "Acme Scope");
        const CCalibKeeper* current = TheCalibrationList().GetCurrentCalibration();
        EXPECT_EQ(current->GetName(), "Lens A");
        EXPECT_EQ(current->GetMagnification(), 20.0);
        EXPECT_EQ(current->GetUnitsPerPixel(), 0.25);
        ASSERT_NE(app.GetMainWnd(), nullptr);
        EXPECT_TRUE(app.GetMainWnd()->Widget()->isVisible());
        auto* frame = qobject_cast<CMainFrame*>(app.GetMainWnd()->Widget());
        ASSERT_NE(frame, nullptr);
        // The dialog commands of the application reach their dialogs.
        for (const UINT id : {cmd::ID_PREFERENCES, cmd::ID_CALIBRATION_MANAGER})
            EXPECT_TRUE(frame->Router().Query(id).enabled) << id;

        program.Grid().SetDecimal(2);
        TheCalibrationList().SelectCalibration("Lens C", 5.0);
        EXPECT_EQ(app.ExitInstance(), 0);
    }
    EXPECT_EQ(TheProgram(), nullptr);

    // What the next start reads: the grid in the profile, Lens C as the last calibration.
    EXPECT_EQ(AppProfile().GetProfileInt("GRID", "DECIMAL", -1), 2);
    CCalibrationList next;
    ASSERT_EQ(next.LoadFromFolder(rootFolder + "Calibration/"), CCalibrationList::READ_CLEAN);
    EXPECT_EQ(next.GetItems().size(), 2u);
    EXPECT_EQ(next.GetCurrentCalibration()->GetName(), "Lens C");
}
