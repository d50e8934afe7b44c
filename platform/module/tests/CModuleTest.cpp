#include "module/CModule.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <utility>

namespace {

using ProbeAnswerFunction = int (*)();

// Whether the dynamic loader still holds the module, asked without loading it.
bool StillMapped(const char* path)
{
    void* handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

}  // namespace

TEST(CModule, LoadsAModuleAndFindsItsExport)
{
    CModule module;
    ASSERT_TRUE(module.Load(PROBE_MODULE_A)) << module.GetLastError();
    EXPECT_TRUE(module.IsLoaded());
    EXPECT_EQ(module.GetPath(), PROBE_MODULE_A);
    const auto answer = module.GetProc<ProbeAnswerFunction>("ProbeAnswer");
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 41);
}

TEST(CModule, EqualExportNamesInTwoModulesStayApart)
{
    CModule a, b;
    ASSERT_TRUE(a.Load(PROBE_MODULE_A)) << a.GetLastError();
    ASSERT_TRUE(b.Load(PROBE_MODULE_B)) << b.GetLastError();
    EXPECT_EQ(a.GetProc<ProbeAnswerFunction>("ProbeAnswer")(), 41);
    EXPECT_EQ(b.GetProc<ProbeAnswerFunction>("ProbeAnswer")(), 42);
}

TEST(CModule, FailuresKeepTheReasonForTheLog)
{
    CModule missingFile;
    EXPECT_FALSE(missingFile.Load("/nonexistent/Torsion.so"));
    EXPECT_FALSE(missingFile.IsLoaded());
    EXPECT_NE(missingFile.GetLastError().find("Torsion.so"), std::string::npos) << missingFile.GetLastError();
    EXPECT_EQ(missingFile.GetProcAddress("ProbeAnswer"), nullptr);

    CModule module;
    ASSERT_TRUE(module.Load(PROBE_MODULE_A));
    EXPECT_EQ(module.GetProcAddress("ResizeImage"), nullptr);
    EXPECT_NE(module.GetLastError().find("ResizeImage"), std::string::npos) << module.GetLastError();
    EXPECT_TRUE(module.IsLoaded());

    // A failed load drops the module held before.
    EXPECT_FALSE(module.Load("/nonexistent/Other.so"));
    EXPECT_FALSE(module.IsLoaded());
    EXPECT_FALSE(StillMapped(PROBE_MODULE_A));
}

TEST(CModule, OwnershipMovesAndTheLastOwnerUnloads)
{
    ASSERT_FALSE(StillMapped(PROBE_MODULE_A));
    {
        CModule first;
        ASSERT_TRUE(first.Load(PROBE_MODULE_A));
        CModule second(std::move(first));
        EXPECT_FALSE(first.IsLoaded());
        EXPECT_TRUE(first.GetPath().empty());
        ASSERT_TRUE(second.IsLoaded());

        CModule third;
        ASSERT_TRUE(third.Load(PROBE_MODULE_B));
        third = std::move(second);  // B is freed, A changes hands
        EXPECT_FALSE(StillMapped(PROBE_MODULE_B));
        EXPECT_EQ(third.GetProc<ProbeAnswerFunction>("ProbeAnswer")(), 41);
        EXPECT_TRUE(StillMapped(PROBE_MODULE_A));
    }
    EXPECT_FALSE(StillMapped(PROBE_MODULE_A));
}
