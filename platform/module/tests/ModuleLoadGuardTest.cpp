#include "module/ModuleLoadGuard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class ModuleLoadGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "vp_module_guard_XXXXXX").string();
        root = mkdtemp(pattern.data());
        markers = (root / "markers/").string();
        module = (root / "Crashy.so").string();
        std::ofstream(module) << "module bytes";
    }
    void TearDown() override { fs::remove_all(root); }

    // A start that dies inside the module's load, at `step`, as a crash would: no destructor runs.
    void CrashWhileLoading(const std::string& step)
    {
        // Forked, not run again from the start: the child must write into this test's folders.
        GTEST_FLAG_SET(death_test_style, "fast");
        EXPECT_EXIT(
            {
                ModuleLoadGuard guard(markers, "plugin");
                if (guard.MayLoad(module, nullptr)) {
                    ModuleLoadGuard::Scope loading(guard, module);
                    loading.Step(step);
                    std::_Exit(3);
                }
                std::_Exit(0);
            },
            ::testing::ExitedWithCode(3), "");
    }

    // What the next start does: whether the module loads, and what the user was told.
    bool NextStart(std::vector<std::string>& told, bool retry = false)
    {
        ModuleLoadGuard guard(markers, "plugin");
        return guard.MayLoad(module, [&](const ModuleLoadGuard::Crash& crash) {
            told.push_back(crash.modulePath + " at " + crash.step);
            return retry;
        });
    }

    fs::path root;
    std::string markers;
    std::string module;
};

}  // namespace

TEST_F(ModuleLoadGuardTest, AModuleThatLoadsThroughLeavesNoMarker)
{
    ModuleLoadGuard guard(markers, "plugin");
    ASSERT_TRUE(guard.MayLoad(module, nullptr));
    {
        ModuleLoadGuard::Scope loading(guard, module);
        EXPECT_TRUE(fs::exists(markers + "plugin-Crashy.so"));
        loading.Step("PlgConnect");
    }
    EXPECT_FALSE(fs::exists(markers + "plugin-Crashy.so"));
    std::vector<std::string> told;
    EXPECT_TRUE(NextStart(told));
    EXPECT_TRUE(told.empty());
}

TEST_F(ModuleLoadGuardTest, ACrashedModuleIsSkippedAndToldOnceUntilItsFileChanges)
{
    CrashWhileLoading("PlgConnect");
    std::vector<std::string> told;
    EXPECT_FALSE(NextStart(told, /*retry=*/false));
    EXPECT_EQ(told, std::vector<std::string>{module + " at PlgConnect"});
    EXPECT_FALSE(NextStart(told)) << "kept off";
    EXPECT_EQ(told.size(), 1u) << "told once";
    {
        ModuleLoadGuard other(markers, "driver");
        EXPECT_TRUE(other.MayLoad(module, nullptr)) << "another kind of module has markers of its own";
    }

    // An update of the module (another file at the path) may mend it: it loads again.
    fs::remove(module);
    std::ofstream(module) << "module bytes, mended";
    EXPECT_TRUE(NextStart(told));
    EXPECT_EQ(told.size(), 1u);
    EXPECT_FALSE(fs::exists(markers + "plugin-Crashy.so"));
}

TEST_F(ModuleLoadGuardTest, ARetryWaitsForTheNextStart)
{
    CrashWhileLoading("loading");
    ModuleLoadGuard guard(markers, "plugin");
    int asked = 0;
    const auto retry = [&](const ModuleLoadGuard::Crash& crash) {
        EXPECT_EQ(crash.step, "loading");
        ++asked;
        return true;
    };
    EXPECT_FALSE(guard.MayLoad(module, retry));
    EXPECT_FALSE(guard.MayLoad(module, retry)) << "a second load of this start skips it too";
    EXPECT_EQ(asked, 1);
    std::vector<std::string> told;
    EXPECT_TRUE(NextStart(told));
    EXPECT_TRUE(told.empty());
}

TEST_F(ModuleLoadGuardTest, WhatIsNoMarkerOfThisFileLetsTheModuleLoad)
{
    struct Case
    {
        const char* what;
        std::string markerText;
    };
    const std::vector<Case> cases = {
        {"another module's marker", "Vistrel module load marker 1\n/elsewhere/Crashy.so\n1 2 3 4\nloading\nuntold\n"},
        {"a cut-off marker", "Vistrel module load marker 1\n" + module + "\n"},
        {"no marker at all", "not a marker\n"},
    };
    for (const Case& c : cases) {
        fs::create_directories(markers);
        std::ofstream(markers + "plugin-Crashy.so") << c.markerText;
        std::vector<std::string> told;
        EXPECT_TRUE(NextStart(told)) << c.what;
        EXPECT_TRUE(told.empty()) << c.what;
        EXPECT_FALSE(fs::exists(markers + "plugin-Crashy.so")) << c.what;
    }
    ModuleLoadGuard unguarded("", "plugin");
    EXPECT_TRUE(unguarded.MayLoad(module, nullptr));
    ModuleLoadGuard::Scope loading(unguarded, module);
    EXPECT_FALSE(fs::exists(markers + "plugin-Crashy.so"));
}

TEST(ModuleMarkerFolder, IsThePerUserStateFolder)
{
    const char* saved = getenv("XDG_STATE_HOME");
    const std::string before = saved ? saved : "";
    setenv("XDG_STATE_HOME", "/state/home", 1);
    EXPECT_EQ(DefaultModuleMarkerFolder(), "/state/home/QRX/module-loading/");
    setenv("XDG_STATE_HOME", "relative/is/ignored", 1);
    setenv("HOME", getenv("HOME") ? getenv("HOME") : "/home/x", 1);
    EXPECT_EQ(DefaultModuleMarkerFolder(), std::string(getenv("HOME")) + "/.local/state/QRX/module-loading/");
    if (saved)
        setenv("XDG_STATE_HOME", before.c_str(), 1);
    else
        unsetenv("XDG_STATE_HOME");
}

TEST_F(ModuleLoadGuardTest, ALoadRunningInAnotherProcessIsNoCrash)
{
    // A start that is loading the module right now: its marker is there and says "loading".
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ModuleLoadGuard guard(markers, "plugin");
        ModuleLoadGuard::Scope loading(guard, module);
        char byte = 1;
        (void)!::write(ready[1], &byte, 1);
        (void)!::read(release[0], &byte, 1);
        std::_Exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ASSERT_TRUE(fs::exists(markers + "plugin-Crashy.so"));

    std::vector<std::string> told;
    EXPECT_TRUE(NextStart(told)) << "the other process is loading it, nothing crashed";
    EXPECT_TRUE(told.empty());
    EXPECT_TRUE(fs::exists(markers + "plugin-Crashy.so")) << "the other load's marker is left alone";

    (void)!::write(release[1], &byte, 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    for (const int fd : {ready[0], ready[1], release[0], release[1]})
        ::close(fd);
}
