#include "qvplglib/CPlgManager.h"

#include "framepool/CQvFramePool.h"
#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"
#include "qvplglib/CReportListCtrl.h"
#include "testing/MessageBoxRecorder.h"
#include "types/WinUser.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

constexpr UINT kFirstId = 2024;

std::string Built(const char* name)
{
    return std::string(TEST_PLUGIN_DIR) + "/" + name + ".so";
}

// A plug-in folder of good and broken modules whose names sort differently from the order they were made in.
class PlgManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        Copy("PlgTestAlpha", "B_Alpha.so");
        Copy("PlgBrokenNullApplication", "E_Null.so");
        Copy("PlgTestBeta", "A_Beta.so");
        Copy("PlgBrokenMissingExport", "C_Missing.so");
        Copy("PlgBrokenThrows", "F_Throws.so");
        Copy("PlgBrokenNoVersion", "G_NoVersion.so");
        std::ofstream(Path("D_NotElf.so")) << "not a shared library";
        std::ofstream(Path("readme.txt")) << "not a module";
        m_manager.SetLoadingInfoFunc([this](const char* text) { m_loadingInfo.emplace_back(text); });
        m_manager.SetExecutePlgIn([this](UINT id) {
            m_executed.push_back(id);
            return 1;
        });
        m_manager.SetRedrawWindow([this](QWidget* window) { m_redrawn.push_back(window); });
        testing_support::MessageBoxes().Reset();
    }

    std::string Path(const std::string& name) const { return m_folder.path().toStdString() + "/" + name; }
    void Copy(const char* built, const std::string& name)
    {
        std::filesystem::copy_file(Built(built), Path(name));
    }

    // The record the program builds before running a menu entry: the module loaded again, its application.
    tagActiveApp RecordFor(UINT id)
    {
        tagActiveApp record;
        record.info = m_manager.GetPlgInfo(id);
        EXPECT_NE(record.info, nullptr);
        if (!record.info)
            return record;
        record.module = std::make_shared<CModule>();
        EXPECT_TRUE(record.module->Load(record.info->path)) << record.module->GetLastError();
        record.application = m_manager.GetPlgApplication(*record.module);
        EXPECT_NE(record.application, nullptr);
        return record;
    }

    QTemporaryDir m_folder;
    CPlgManager m_manager;
    std::vector<std::string> m_loadingInfo;
    std::vector<UINT> m_executed;
    std::vector<QWidget*> m_redrawn;
};

TEST_F(PlgManagerTest, InstallNumbersTheEntriesOfTheModulesInNameOrder)
{
    QMenu menu;
    ASSERT_EQ(m_manager.Install(m_folder.path().toStdString(), &menu, kFirstId), 4);

    struct Expected
    {
        const char* file;
        int flag;
        int index;
    };
    const Expected expected[] = {{"A_Beta.so", 1, 0}, {"A_Beta.so", 0, 1}, {"B_Alpha.so", 1, 0}, {"B_Alpha.so", 0, 1}};
    ASSERT_EQ(m_manager.GetMenuRecords().size(), 4u);
    for (UINT i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const tagPlgInfo4Client* info = m_manager.GetPlgInfo(kFirstId + i);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info, m_manager.GetMenuRecords()[i].get());
        EXPECT_EQ(info->path, Path(expected[i].file));
        EXPECT_EQ(info->flag, expected[i].flag);
        EXPECT_EQ(info->index, expected[i].index);
        EXPECT_EQ(m_manager.OnUpdateCmdUIExecutePlugins(kFirstId + i), 1);
    }
    EXPECT_EQ(m_manager.GetPlgInfo(kFirstId + 4), nullptr);
    EXPECT_EQ(m_manager.GetPlgInfo(kFirstId - 1), nullptr);
    EXPECT_EQ(m_manager.OnUpdateCmdUIExecutePlugins(kFirstId + 4), 0);

    // One sub-menu per group, in the same order; each action carries its command id and runs it.
    const QList<QAction*> groups = menu.actions();
    ASSERT_EQ(groups.size(), 2);
    EXPECT_EQ(groups[0]->text(), "Test Beta");
    EXPECT_EQ(groups[1]->text(), "Test Alpha");
    const QList<QAction*> alpha = groups[1]->menu()->actions();
    ASSERT_EQ(alpha.size(), 2);
    EXPECT_EQ(alpha[0]->text(), "Invert Pixel");
    EXPECT_EQ(alpha[0]->data().toUInt(), kFirstId + 2);
    EXPECT_EQ(alpha[1]->text(), "Record Input");
    EXPECT_EQ(alpha[1]->data().toUInt(), kFirstId + 3);
    alpha[1]->trigger();
    EXPECT_EQ(m_executed, std::vector<UINT>{kFirstId + 3});
}

TEST_F(PlgManagerTest, InstallSkipsBrokenModulesNamingEachFile)
{
    m_manager.Install(m_folder.path().toStdString(), nullptr, kFirstId);
    ASSERT_EQ(testing_support::MessageBoxes().Boxes().size(), 1u);
    const std::string& text = testing_support::MessageBoxes().Boxes()[0].text;
    for (const char* file : {"C_Missing.so", "D_NotElf.so", "E_Null.so", "F_Throws.so", "G_NoVersion.so"}) {
        SCOPED_TRACE(file);
        EXPECT_NE(text.find(file), std::string::npos) << text;
        const std::string skipped = std::string("The plug-in ") + file + " was skipped";
        EXPECT_TRUE(std::any_of(m_loadingInfo.begin(), m_loadingInfo.end(),
                                [&](const std::string& info) { return info.rfind(skipped, 0) == 0; }));
    }
    for (const char* good : {"A_Beta.so", "B_Alpha.so"})
        EXPECT_EQ(text.find(good), std::string::npos) << text;
    EXPECT_EQ(text.find("readme"), std::string::npos);
}

TEST_F(PlgManagerTest, AnEmptyOrMissingFolderInstallsNothingQuietly)
{
    QTemporaryDir empty;
    EXPECT_EQ(m_manager.Install(empty.path().toStdString(), nullptr, kFirstId), 0);
    EXPECT_EQ(m_manager.Install(Path("no-such-folder"), nullptr, kFirstId), 0);
    EXPECT_TRUE(m_manager.GetMenuRecords().empty());
    EXPECT_TRUE(testing_support::MessageBoxes().Boxes().empty());
}

TEST_F(PlgManagerTest, ARunOnceEntryChangesTheImageAndOneUndoRestoresIt)
{
    m_manager.Install(m_folder.path().toStdString(), nullptr, kFirstId);
    tagActiveApp record = RecordFor(kFirstId);  // A_Beta's "Invert Pixel"
    ASSERT_NE(record.application, nullptr);
    EXPECT_EQ(m_manager.SetModuleProgzubParameter(*record.module, "AutoLevel"), 0);  // it has no such export

    CQvFramePool pool;
    ASSERT_EQ(pool.GetImage().Create(QV_GRAY8, 3, 2, 0), 1);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            pool.GetImage().Get2DBuffer()[y][x] = static_cast<BYTE>(10 * (y * 3 + x + 1));
    CQvImage before = pool.GetImage();
    QWidget window;

    EXPECT_EQ(m_manager.IsActivated(record), 0);
    ASSERT_EQ(m_manager.AddToActiveList(&record, &window, &pool, nullptr), 1);
    ASSERT_NE(record.view, nullptr);
    EXPECT_EQ(m_manager.IsActivated(record), 1);
    EXPECT_EQ(record.view->GetFramePool(), &pool);
    EXPECT_EQ(record.view->GetViewWindow(), &window);

    EXPECT_EQ(m_manager.ExecutePlgIn(&record, &window, &pool, nullptr), 1);
    EXPECT_EQ(pool.GetImage().Get2DBuffer()[0][0], 245);
    EXPECT_EQ(pool.GetImage().Get2DBuffer()[0][1], 20);
    EXPECT_EQ(m_redrawn, std::vector<QWidget*>{&window});

    m_manager.RemoveFromActiveList(&record);
    EXPECT_EQ(record.view, nullptr);
    EXPECT_EQ(m_manager.IsActivated(record), 0);
    ASSERT_EQ(pool.Undo(), 1);
    EXPECT_EQ(pool.CanUndo(), 0);
    for (int y = 0; y < 2; ++y)
        EXPECT_EQ(0, std::memcmp(pool.GetImage().Get2DBuffer()[y], before.Get2DBuffer()[y], 3));
}

TEST_F(PlgManagerTest, AResidentViewShowsAReportAndReceivesInput)
{
    m_manager.Install(m_folder.path().toStdString(), nullptr, kFirstId);
    tagActiveApp record = RecordFor(kFirstId + 3);  // B_Alpha's "Record Input"
    ASSERT_NE(record.application, nullptr);
    ASSERT_EQ(record.info->flag, 0);
    CQvFramePool pool;
    ASSERT_EQ(pool.GetImage().Create(QV_GRAY8, 4, 4, 0), 1);
    QWidget window;
    QWidget page;

    // Running it first makes the view; a resident view changes nothing and pushes no undo point.
    EXPECT_EQ(m_manager.ExecutePlgIn(&record, &window, &pool, nullptr), 1);
    ASSERT_NE(record.view, nullptr);
    EXPECT_EQ(pool.PushCount(), 0u);
    CReportListCtrl* report = record.view->CreateReportControl(&page);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->parentWidget(), &page);
    EXPECT_EQ(report->GetWindowText(), "Input");
    EXPECT_EQ(record.view->GetReportControl(), report);

    record.view->OnLButtonDown(MK_LBUTTON, CPoint(3, 4));
    record.view->OnLButtonDown(MK_LBUTTON, CPoint(0, 1));
    ASSERT_EQ(report->rowCount(), 2);
    EXPECT_EQ(report->item(0, 0)->text(), "3,4");
    EXPECT_EQ(report->item(1, 0)->text(), "0,1");

    // The document's list finds it by application and entry; another entry of the same module is not it.
    std::vector<tagActiveApp*> documentList{&record};
    tagActiveApp probe{nullptr, record.application, nullptr, 0, record.info};
    EXPECT_EQ(CPlgManager::FindActivePlgApp(documentList, probe), &record);
    probe.info = m_manager.GetPlgInfo(kFirstId + 2);
    EXPECT_EQ(CPlgManager::FindActivePlgApp(documentList, probe), nullptr);

    // The report page owns the control: once it is gone the view no longer hands it out.
    delete report;
    EXPECT_EQ(record.view->GetReportControl(), nullptr);
    m_manager.RemoveFromActiveList(&record);
    EXPECT_TRUE(m_manager.GetActiveList().empty());
}

TEST_F(PlgManagerTest, AnIndexTheModuleDoesNotKnowGetsNoViewAndIsNotListed)
{
    m_manager.Install(m_folder.path().toStdString(), nullptr, kFirstId);
    tagPlgInfo4Client unknown = *m_manager.GetPlgInfo(kFirstId);
    unknown.id = 3025;
    unknown.index = 7;
    const tagPlgInfo4Client* info = m_manager.AddMenuRecord(unknown);
    EXPECT_EQ(m_manager.GetPlgInfo(3025), info);
    tagActiveApp record = RecordFor(3025);
    CQvFramePool pool;
    EXPECT_EQ(m_manager.AddToActiveList(&record, nullptr, &pool, nullptr), 0);
    EXPECT_EQ(m_manager.ExecutePlgIn(&record, nullptr, &pool, nullptr), 0);
    EXPECT_EQ(record.view, nullptr);
    EXPECT_EQ(m_manager.IsActivated(record), 0);
}

TEST_F(PlgManagerTest, GetPlgApplicationRefusesAModuleWithoutPlgConnect)
{
    CModule module;
    ASSERT_TRUE(module.Load(Built("PlgBrokenMissingExport")));
    EXPECT_EQ(m_manager.GetPlgApplication(module), nullptr);
    ASSERT_FALSE(m_loadingInfo.empty());
    EXPECT_NE(m_loadingInfo.back().find("PlgBrokenMissingExport.so"), std::string::npos);
}

TEST_F(PlgManagerTest, EachLoadConnectsTheModuleOnceAndLeavesItsListEmpty)
{
    CModule module;
    ASSERT_TRUE(module.Load(Path("B_Alpha.so")));
    const auto connects = module.GetProc<int (*)()>("TestPlgConnectCount");
    const auto registered = module.GetProc<int (*)()>("TestPlgRegisteredCount");
    ASSERT_TRUE(connects && registered);
    const int before = connects();
    ASSERT_EQ(m_manager.Install(m_folder.path().toStdString(), nullptr, kFirstId), 4);
    EXPECT_EQ(connects(), before + 1) << "install";
    EXPECT_EQ(registered(), 0);
    ASSERT_NE(m_manager.GetPlgApplication(module), nullptr);
    EXPECT_EQ(connects(), before + 2) << "a run";
    EXPECT_EQ(registered(), 0) << "entries left behind would come back twice at the next install";
}

TEST_F(PlgManagerTest, AnExtensionModuleIsNoMenuPlugInAndNoFault)
{
    CModule module;
    ASSERT_TRUE(module.Load(Built("PlgTestExtension")));
    EXPECT_EQ(m_manager.GetPlgApplication(module), nullptr);
    EXPECT_TRUE(m_loadingInfo.empty()) << m_loadingInfo.front();
}

TEST_F(PlgManagerTest, CreateNewDocumentViewRefusesAnEmptySizeWithoutAskingTheProgram)
{
    int asked = 0;
    m_manager.SetCreateNewView([&](CPlgApplication*, const char*, int, unsigned long, int, int, int) -> CPlgView* {
        ++asked;
        return nullptr;
    });
    EXPECT_EQ(m_manager.CreateNewDocumentView(nullptr, "t", 0, 5, QV_GRAY8), nullptr);
    EXPECT_EQ(m_manager.CreateNewDocumentView(nullptr, "t", 5, -1, QV_GRAY8), nullptr);
    EXPECT_EQ(asked, 0);
    m_manager.CreateNewDocumentView(nullptr, "t", 5, 5, QV_GRAY8);
    EXPECT_EQ(asked, 1);
}

}  // namespace
