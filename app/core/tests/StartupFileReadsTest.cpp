// The files the program reads at start-up and from its settings, laid as FIFOs in a fresh root: start-up and the
// first image opened must go through without waiting on any of them, and a settings store the program cannot read
// whole, or cannot write, is told of.
#include "program/ProgramObjects.h"
#include "core/SettingsFileNotices.h"
#include "core/tests/ProgramSessionFolders.h"

#include "document/CVistrelDoc.h"
#include "profile/CRegKey.h"
#include "testing/FifoWatchdog.h"
#include "testing/MessageBoxRecorder.h"

#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using testing_support::FifoWatchdog;
using testing_support::MessageBoxes;

namespace {

class StartupFileReadsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_files.isValid() && m_session.Enter());
        MessageBoxes().Reset();
        root = m_session.root.path().toStdString() + "/";
        storeFile = m_session.config.path().toStdString() + "/QRX/registry-hkcu.reg";
    }
    void TearDown() override
    {
        if (m_program) {
            m_program->App().ExitInstance();
            m_program.reset();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_session.Leave();
        MessageBoxes().Reset();
    }

    CVistrelApp& Start()
    {
        m_program = std::make_unique<ProgramObjects>(
            QStringList{QStringLiteral("Vistrel"), QStringLiteral("--root"), m_session.root.path()}, "/opt/x/Vistrel");
        EXPECT_TRUE(m_program->App().InitInstance());
        return m_program->App();
    }
    void Exit()
    {
        m_program->App().ExitInstance();
        m_program.reset();
    }

    std::string Picture()
    {
        const std::string path = m_files.filePath(QStringLiteral("specimen.png")).toStdString();
        QImage picture(16, 12, QImage::Format_RGB888);
        picture.fill(Qt::darkCyan);
        EXPECT_TRUE(picture.save(QString::fromStdString(path), "PNG"));
        return path;
    }

    std::string BoxTexts() const
    {
        std::string texts;
        for (const MessageBoxRequest& box : MessageBoxes().Boxes())
            texts += box.text + "\n";
        return texts;
    }

    ProgramSessionFolders m_session;
    QTemporaryDir m_files;
    std::unique_ptr<ProgramObjects> m_program;
    std::string root;
    std::string storeFile;
};

}  // namespace

TEST_F(StartupFileReadsTest, NoFileReadAtStartOrAtTheFirstImageWaitsOnAFifo)
{
    {
        // A stored layout older than the program's: start-up imports both layout scripts.
        CRegKey ui;
        ASSERT_EQ(ui.Create(HKEY_CURRENT_USER, "Software\\QRX\\Vistrel\\UI"), ERROR_SUCCESS);
        ASSERT_EQ(ui.SetDWORDValue("Version", 1), ERROR_SUCCESS);
    }
    const std::string picture = Picture();
    FifoWatchdog fifos({root + "Calibration/calibration.cst", root + "Calibration/lastcalibration.cal",
                        root + "VISTREL.INI", root + "OEM/OEM.INI", root + "report.rfg", root + "VistrelVM.reg",
                        root + "DelVistrelVM.reg"});
    CVistrelApp& app = Start();
    EXPECT_NE(app.OpenDocumentFile(picture), nullptr);
    Exit();
    EXPECT_EQ(fifos.Stop(), std::vector<std::string>{}) << "read as if a writer were to come";
}

TEST_F(StartupFileReadsTest, ASettingsStoreThatIsNoRegularFileIsToldOfAtStart)
{
    FifoWatchdog fifo({storeFile});
    RegReloadStore();
    Start();
    EXPECT_EQ(fifo.Stop(), std::vector<std::string>{});
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u) << BoxTexts();
    EXPECT_NE(BoxTexts().find(storeFile), std::string::npos) << BoxTexts();
    Exit();
    EXPECT_EQ(MessageBoxes().Boxes().size(), 1u) << "told once: " << BoxTexts();
}

TEST_F(StartupFileReadsTest, ADamagedSettingsStoreIsToldOfOnceWithWhereItsCopyIs)
{
    std::filesystem::create_directories(std::filesystem::path(storeFile).parent_path());
    std::ofstream(storeFile) << "; Vistrel registry store\n\n[Software\\QRX\\Vistrel\\GRID]\n\"DECIMAL\"=dword:00000003\n"
                                "\n[Software\\QRX\\Vist";
    RegReloadStore();
    Start();
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u) << BoxTexts();
    std::string expected = SettingsFileString(settingsstr::IDS_STORE_DAMAGED_COPIED);
    expected.replace(expected.find("%1"), 2, storeFile);
    expected.replace(expected.find("%2"), 2, storeFile + ".bak");
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, expected);
    EXPECT_EQ(m_program->Grid().GetDecimal(), 3) << "what could be read is kept";
    Exit();
    MessageBoxes().Reset();
    Start();
    EXPECT_TRUE(MessageBoxes().Boxes().empty()) << BoxTexts();
}

TEST_F(StartupFileReadsTest, SettingsThatCannotBeWrittenAtExitAreNamed)
{
    Start();
    EXPECT_TRUE(MessageBoxes().Boxes().empty()) << BoxTexts();
    // Neither the store's folder nor VISTREL.INI can take a write any more.
    std::filesystem::remove_all(std::filesystem::path(storeFile).parent_path());
    std::ofstream(std::filesystem::path(storeFile).parent_path()) << "in the way";
    std::filesystem::remove(root + "VISTREL.INI");
    std::filesystem::create_directory(root + "VISTREL.INI");
    m_program->Grid().SetDecimal(m_program->Grid().GetDecimal() + 1);   // the exit has something to write
    Exit();
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u) << BoxTexts();
    const std::string& text = MessageBoxes().Boxes()[0].text;
    EXPECT_NE(text.find(storeFile), std::string::npos) << text;
    EXPECT_NE(text.find(root + "VISTREL.INI"), std::string::npos) << text;
    std::filesystem::remove(std::filesystem::path(storeFile).parent_path());
}
