// The contract test every plug-in module's tests run: include this header in one test source and instantiate the
// suite with the module's path and the entries it must register, e.g.
//   INSTANTIATE_TEST_SUITE_P(Torsion, PlugInContract, ::testing::Values(plugin_contract::Case{"Torsion", path,
//       {{"Geometric Transform", "Resize", 0}, ...}}), plugin_contract::CaseName);
// It loads the .so by path as the plug-in manager does and checks: the contract version; PlgConnect registers the
// entries in index order with the given flag and reserved 0; CreatePlgView makes a view for every registered index
// and, for an index the module does not know, returns 0 and leaves *out untouched; every view's Run on an empty
// image returns 0 without an undo point, a repaint or a prompt.
#pragma once

#include "framepool/CQvFramePool.h"
#include "module/CModule.h"
#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"
#include "qvplglib/PlugInContract.h"
#include "testing/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace plugin_contract {

struct Entry
{
    std::string group;
    std::string item;
    int index = 0;
    int flag = 1;
};

struct Case
{
    std::string name;  // the test's name: letters, digits and '_' only
    std::string path;  // the module file
    std::vector<Entry> entries;
    bool anyIndex = false;  // the module makes its view for every index
};

inline void PrintTo(const Case& contractCase, std::ostream* out)
{
    *out << contractCase.path;
}

inline std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

class PlugInContract : public ::testing::TestWithParam<Case>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_module.Load(GetParam().path)) << m_module.GetLastError();
        const auto version = m_module.GetProc<PFN_PlgContractVersion>(kPlgContractVersionName);
        ASSERT_NE(version, nullptr) << "no " << kPlgContractVersionName;
        ASSERT_EQ(version(), VISTREL_PLG_CONTRACT_VERSION);
        const auto connect = m_module.GetProc<PFN_PlgConnect>(kPlgConnectName);
        ASSERT_NE(connect, nullptr) << "no " << kPlgConnectName;
        m_application = connect();
        ASSERT_NE(m_application, nullptr);
        // The library may have stayed loaded from an earlier test: register again from an empty list.
        m_application->RemoveAllPlgInfo();
        ASSERT_EQ(connect(), m_application);
    }

    // Leaves the list empty, as the host does after every connect.
    void TearDown() override
    {
        if (m_application)
            m_application->RemoveAllPlgInfo();
    }

    std::unique_ptr<CPlgView> MakeView(int index)
    {
        CPlgView* view = nullptr;
        return m_application->CreatePlgView(index, 0, &view) ? std::unique_ptr<CPlgView>(view) : nullptr;
    }

    CModule m_module;
    CPlgApplication* m_application = nullptr;
};

TEST_P(PlugInContract, RegistersItsEntriesInIndexOrder)
{
    const std::vector<Entry>& expected = GetParam().entries;
    const std::vector<tagPlgInfo>& registered = m_application->GetPlgInfoList();
    ASSERT_EQ(registered.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        EXPECT_EQ(registered[i].group, expected[i].group);
        EXPECT_EQ(registered[i].item, expected[i].item);
        EXPECT_EQ(registered[i].index, expected[i].index);
        EXPECT_EQ(registered[i].flag, expected[i].flag);
        EXPECT_EQ(registered[i].reserved, 0UL);
        if (i > 0) {
            EXPECT_GT(registered[i].index, registered[i - 1].index);
        }
    }
}

TEST_P(PlugInContract, MakesAViewForEveryEntryAndNoneForAnUnknownIndex)
{
    int highest = -1;
    for (const tagPlgInfo& entry : m_application->GetPlgInfoList()) {
        EXPECT_NE(MakeView(entry.index), nullptr) << "index " << entry.index;
        highest = std::max(highest, entry.index);
    }
    if (GetParam().anyIndex)
        return;
    for (int unknown : {highest + 1, highest + 100, -1}) {
        auto* const sentinel = reinterpret_cast<CPlgView*>(0x10);
        CPlgView* out = sentinel;
        EXPECT_EQ(m_application->CreatePlgView(unknown, 0, &out), 0) << "index " << unknown;
        EXPECT_EQ(out, sentinel) << "index " << unknown;
    }
}

TEST_P(PlugInContract, RunOnAnEmptyImageDoesNothing)
{
    for (const tagPlgInfo& entry : m_application->GetPlgInfoList()) {
        SCOPED_TRACE("index " + std::to_string(entry.index));
        testing_support::MessageBoxes().Reset();
        CQvFramePool pool;
        int repaints = 0;
        std::unique_ptr<CPlgView> view = MakeView(entry.index);
        ASSERT_NE(view, nullptr);
        view->AttachHost(PlgViewHost{nullptr, &pool, nullptr, [&](QWidget*) { ++repaints; },
                                     [&](QWidget*) { ++repaints; }});
        EXPECT_EQ(view->Run(), 0);
        EXPECT_EQ(pool.PushCount(), 0u);
        EXPECT_EQ(repaints, 0);
        EXPECT_TRUE(testing_support::MessageBoxes().Boxes().empty());
        EXPECT_TRUE(testing_support::MessageBoxes().ModalDialogs().empty());
    }
}

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PlugInContract);

}  // namespace plugin_contract
