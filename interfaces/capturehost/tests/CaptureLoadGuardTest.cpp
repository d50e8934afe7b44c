// A driver that takes the program down while it is loaded must not take every later start down with it.
#include "capturehost/CAcquireContainer.h"

#include "module/ModuleLoadGuard.h"
#include "testing/MessageBoxRecorder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using testing_support::MessageBoxes;

namespace {

class CaptureLoadGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_drivers.isValid());
        ASSERT_TRUE(m_markers.isValid());
        m_driverPath = m_drivers.filePath("grab_simulated.so").toStdString();
        std::filesystem::copy_file(SIMULATED_DRIVER, m_driverPath);
        MessageBoxes().Reset();
    }

    // One start of the acquisition host; the number of drivers it loaded.
    int Start()
    {
        CAcquireContainer host;
        host.SetLoadGuardFolder(m_markers.path().toStdString());
        const int loaded = host.InstallServers(m_drivers.path().toUtf8().constData());
        host.ReleaseServers();
        return loaded;
    }

    // A start that ended inside the driver's name call, as a crash there would end it (forked: no destructor runs).
    void CrashingStart()
    {
        GTEST_FLAG_SET(death_test_style, "fast");
        EXPECT_EXIT(
            {
                ModuleLoadGuard guard(m_markers.path().toStdString(), "driver");
                ModuleLoadGuard::Scope loading(guard, m_driverPath);
                loading.Step("ACQ_GetName");
                std::_Exit(3);
            },
            ::testing::ExitedWithCode(3), "");
    }

    QTemporaryDir m_drivers;
    QTemporaryDir m_markers;
    std::string m_driverPath;
};

}  // namespace

TEST_F(CaptureLoadGuardTest, ADriverThatCrashedIsSkippedAndNamedOnce)
{
    ASSERT_EQ(Start(), 1);
    CrashingStart();
    MessageBoxes().QueueAnswers({IDNO});
    EXPECT_EQ(Start(), 0);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    const MessageBoxRequest& box = MessageBoxes().Boxes()[0];
    EXPECT_NE(box.text.find("grab_simulated.so"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("ACQ_GetName"), std::string::npos) << box.text;
    EXPECT_EQ(box.type & MB_TYPEMASK, MB_YESNO);
    EXPECT_EQ(Start(), 0);
    EXPECT_EQ(MessageBoxes().Boxes().size(), 1u) << "kept off without a word";
}

TEST_F(CaptureLoadGuardTest, TheUserCanHaveACrashedDriverTriedAgainAtTheNextStart)
{
    CrashingStart();
    MessageBoxes().QueueAnswers({IDYES});
    EXPECT_EQ(Start(), 0) << "not in this start";
    EXPECT_EQ(Start(), 1);
    EXPECT_EQ(MessageBoxes().Boxes().size(), 1u);
}
