// A plug-in that takes the program down while it is loaded must not take every later start down with it.
#include "qvplglib/CPlgManager.h"

#include "testing/MessageBoxRecorder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using testing_support::MessageBoxes;

namespace {

constexpr UINT kFirstId = 2024;

std::string Built(const char* name)
{
    return std::string(TEST_PLUGIN_DIR) + "/" + name + ".so";
}

class PlgLoadGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_plugIns.isValid());
        ASSERT_TRUE(m_markers.isValid());
        std::filesystem::copy_file(Built("PlgTestAlpha"), Path("A_Good.so"));
        MessageBoxes().Reset();
    }

    std::string Path(const std::string& name) const { return m_plugIns.path().toStdString() + "/" + name; }

    // One start of the program's plug-in menu; the number of entries installed.
    int Start()
    {
        CPlgManager manager;
        manager.LoadGuard().SetMarkerFolder(m_markers.path().toStdString());
        return manager.Install(m_plugIns.path().toStdString(), nullptr, kFirstId);
    }

    // A start that dies inside the crashing module (forked, so it writes to this test's folders).
    void CrashingStart()
    {
        GTEST_FLAG_SET(death_test_style, "fast");
        EXPECT_DEATH(Start(), "");
    }

    QTemporaryDir m_plugIns;
    QTemporaryDir m_markers;
};

}  // namespace

TEST_F(PlgLoadGuardTest, AModuleThatCrashedIsSkippedNamedOnceAndBackWhenItsFileChanges)
{
    struct Case
    {
        const char* module;
        const char* step;
    };
    for (const Case& c : {Case{"PlgBrokenCrashesInConnect", "PlgConnect"}, Case{"PlgBrokenCrashesOnLoad", "loading"}}) {
        SCOPED_TRACE(c.module);
        std::filesystem::remove(Path("B_Crashy.so"));
        std::filesystem::copy_file(Built(c.module), Path("B_Crashy.so"));
        MessageBoxes().Reset();

        CrashingStart();
        MessageBoxes().QueueAnswers({IDNO});
        EXPECT_EQ(Start(), 2) << "the other module's entries";
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
        const MessageBoxRequest& box = MessageBoxes().Boxes()[0];
        EXPECT_NE(box.text.find("B_Crashy.so"), std::string::npos) << box.text;
        EXPECT_NE(box.text.find(c.step), std::string::npos) << box.text;
        EXPECT_EQ(box.type & MB_TYPEMASK, MB_YESNO);

        EXPECT_EQ(Start(), 2);
        EXPECT_EQ(MessageBoxes().Boxes().size(), 1u) << "kept off without a word";

        // An update that mends the module brings it back.
        std::filesystem::remove(Path("B_Crashy.so"));
        std::filesystem::copy_file(Built("PlgTestBeta"), Path("B_Crashy.so"));
        EXPECT_EQ(Start(), 4);
        EXPECT_EQ(MessageBoxes().Boxes().size(), 1u);
    }
}

TEST_F(PlgLoadGuardTest, TheUserCanHaveACrashedModuleTriedAgainAtTheNextStart)
{
    std::filesystem::copy_file(Built("PlgBrokenCrashesInConnect"), Path("B_Crashy.so"));
    CrashingStart();
    MessageBoxes().QueueAnswers({IDYES});
    EXPECT_EQ(Start(), 2) << "not in this start";
    EXPECT_EQ(MessageBoxes().Boxes().size(), 1u);
    CrashingStart();   // tried again: it still crashes, and the next start asks again
    MessageBoxes().QueueAnswers({IDNO});
    EXPECT_EQ(Start(), 2);
    EXPECT_EQ(MessageBoxes().Boxes().size(), 2u);
}
