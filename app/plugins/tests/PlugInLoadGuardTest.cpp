// A module of the plug-in folder that took an earlier start down, as the program starts the next time: both passes
// over the folder (extension modules, then the plug-in menu) skip it, and the user hears of it once.
#include "plugins/CPlugInHost.h"

#include "program/ProgramObjects.h"
#include "core/tests/ProgramSessionFolders.h"
#include "module/ModuleLoadGuard.h"
#include "testing/MessageBoxRecorder.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

using testing_support::MessageBoxes;

namespace {

class PlugInLoadGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_program.isValid() && m_session.Enter());
        MessageBoxes().Reset();
        m_plugIns = m_program.path().toStdString() + "/components/Plug-Ins/";
        std::filesystem::create_directories(m_plugIns);
        for (const auto& [built, name] : {std::pair{"PlgTestAlpha", "A_Tools.so"}, std::pair{"PlgTestExtension", "D_Ext.so"}})
            std::filesystem::copy_file(std::string(APP_TEST_PLUGIN_DIR) + "/" + built + ".so", m_plugIns + name);
    }

    void TearDown() override
    {
        if (m_objects) {
            m_objects->App().ExitInstance();
            m_objects.reset();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_session.Leave();
        MessageBoxes().Reset();
    }

    // The start before, ended by a crash inside the extension module's ExtPlgConnect (forked: no destructor runs,
    // and the child touches nothing but the marker folder).
    void CrashedStart(const std::string& module)
    {
        GTEST_FLAG_SET(death_test_style, "fast");
        EXPECT_EXIT(
            {
                ModuleLoadGuard guard(DefaultModuleMarkerFolder(), "plugin");
                ModuleLoadGuard::Scope loading(guard, module);
                loading.Step("ExtPlgConnect");
                std::_Exit(3);
            },
            ::testing::ExitedWithCode(3), "");
    }

    void Start()
    {
        m_objects = std::make_unique<ProgramObjects>(
            QStringList{QStringLiteral("Vistrel"), QStringLiteral("--root"), m_session.root.path()},
            m_program.path().toStdString() + "/Vistrel");
        ASSERT_TRUE(m_objects->App().InitInstance());
    }

    bool HasRecordsOf(const std::string& module) const
    {
        const auto& records = m_objects->PlugInHost().Manager().GetMenuRecords();
        return std::any_of(records.begin(), records.end(), [&](const auto& record) { return record->path == module; });
    }

    ProgramSessionFolders m_session;
    QTemporaryDir m_program;
    std::string m_plugIns;
    std::unique_ptr<ProgramObjects> m_objects;
};

}  // namespace

TEST_F(PlugInLoadGuardTest, AModuleThatTookTheLastStartDownIsSkippedAndNamedOnce)
{
    CrashedStart(m_plugIns + "D_Ext.so");
    MessageBoxes().QueueAnswers({IDNO});
    Start();
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    const std::string& text = MessageBoxes().Boxes()[0].text;
    EXPECT_NE(text.find("D_Ext.so"), std::string::npos) << text;
    EXPECT_NE(text.find("ExtPlgConnect"), std::string::npos) << text;
    EXPECT_FALSE(HasRecordsOf(m_plugIns + "D_Ext.so"));
    EXPECT_TRUE(HasRecordsOf(m_plugIns + "A_Tools.so"));
}
