// Plug-in hosting on a program built offscreen: the program folder (beside a stand-in executable) holds copies of the
// support library's test plug-ins and two broken modules, the user's root is another temporary folder.
#include "plugins/CPlugInHost.h"

#include "commands/AppCommands.h"
#include "core/FrameMainWindow.h"
#include "core/ProgramObjects.h"
#include "report/CReportManager.h"
#include "report/CReportPage.h"
#include "report/CReportTabBar.h"
#include "document/DocumentCreation.h"
#include "document/DocumentRegistry.h"
#include "frame/CMainFrame.h"
#include "frame/CommandRouter.h"
#include "profile/Registry.h"
#include "qvimage/CQvImage.h"
#include "qvplglib/CReportListCtrl.h"
#include "testing/MessageBoxRecorder.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <vector>

using testing_support::MessageBoxes;

namespace {

constexpr UINT kInvertPixel = 2024;
constexpr UINT kRecordInput = 2025;

class PlugInHostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid() && m_program.isValid() && m_config.isValid() && m_runtime.isValid());
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
            if (const char* value = getenv(name))
                m_savedVariables[name] = value;
        setenv("XDG_CONFIG_HOME", m_config.path().toUtf8().constData(), 1);
        setenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8().constData(), 1);
        RegReloadStore();
        m_workingFolder = QDir::currentPath();
        MessageBoxes().Reset();

        const std::filesystem::path plugIns = m_program.path().toStdString() + "/components/Plug-Ins";
        std::filesystem::create_directories(plugIns);
        // Named so that the good module sorts first and the broken ones after it.
        for (const auto& [built, name] : std::map<std::string, std::string>{
                 {"PlgTestAlpha", "A_Tools.so"}, {"PlgBrokenMissingExport", "B_Missing.so"},
                 {"PlgBrokenThrows", "C_Throws.so"}})
            std::filesystem::copy_file(std::string(APP_TEST_PLUGIN_DIR) + "/" + built + ".so", plugIns / name);

        m_objects = std::make_unique<ProgramObjects>(
            QStringList{QStringLiteral("Vistrel"), QStringLiteral("--root"), m_root.path()},
            m_program.path().toStdString() + "/Vistrel");
        ASSERT_TRUE(m_objects->App().InitInstance());
    }

    void TearDown() override
    {
        if (m_objects) {
            m_objects->App().ExitInstance();
            m_objects.reset();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QDir::setCurrent(m_workingFolder);
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) {
            auto saved = m_savedVariables.find(name);
            if (saved == m_savedVariables.end())
                unsetenv(name);
            else
                setenv(name, saved->second.c_str(), 1);
        }
        RegReloadStore();
        MessageBoxes().Reset();
    }

    CMainFrame& Frame() { return static_cast<FrameMainWindow*>(m_objects->App().GetMainWnd())->Frame(); }
    CPlugInHost& Host() { return m_objects->PlugInHost(); }
    QAction* Entry(UINT id)
    {
        for (QAction* group : Frame().PluginMenu()->actions())
            if (group->menu())
                for (QAction* action : group->menu()->actions())
                    if (action->data().toUInt() == id)
                        return action;
        return nullptr;
    }
    bool Enabled(UINT id) { return Frame().Router().Query(id).enabled; }

    CVistrelDoc* NewImageDocument(const std::string& title)
    {
        CVistrelDoc* doc = m_objects->App().NewDocument(title);
        CQvImage image;
        image.Create(QV_RGB24, 5, 3, 0);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 15; ++x)
                image.Get2DBuffer()[y][x] = static_cast<BYTE>(10 * y + x);
        doc->SetImage(title, &image);
        return doc;
    }

    static std::vector<BYTE> Pixels(CVistrelDoc* doc)
    {
        CQvImage& image = doc->GetFramePool().GetImage();
        std::vector<BYTE> bytes;
        for (int y = 0; y < image.GetHeight(); ++y)
            bytes.insert(bytes.end(), image.Get2DBuffer()[y], image.Get2DBuffer()[y] + image.GetWidth() * 3);
        return bytes;
    }

    QTemporaryDir m_root, m_program, m_config, m_runtime;
    std::map<std::string, std::string> m_savedVariables;
    QString m_workingFolder;
    std::unique_ptr<ProgramObjects> m_objects;
};

TEST_F(PlugInHostTest, MenuShowsTheGoodModulesEntriesAndNamesTheBrokenOnes)
{
    EXPECT_EQ(Host().ModuleFolder(), m_program.path().toStdString() + "/components/Plug-Ins/")
        << "modules come from beside the program, not from the user's root";
    QAction* invert = Entry(kInvertPixel);
    QAction* record = Entry(kRecordInput);
    ASSERT_TRUE(invert && record);
    EXPECT_EQ(invert->text(), "Invert Pixel");
    EXPECT_EQ(record->text(), "Record Input");
    EXPECT_EQ(Host().Manager().GetMenuRecords().size(), 2u) << "nothing of the broken modules is installed";

    std::string messages;
    for (const auto& box : MessageBoxes().Boxes())
        messages += box.text + "\n";
    EXPECT_NE(messages.find("B_Missing.so"), std::string::npos) << messages;
    EXPECT_NE(messages.find("C_Throws.so"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("A_Tools.so"), std::string::npos) << messages;
}

TEST_F(PlugInHostTest, RunOnceEntryChangesTheImageOnceAndOneUndoRestoresIt)
{
    CVistrelDoc* doc = NewImageDocument("A");
    const std::vector<BYTE> before = Pixels(doc);
    ASSERT_TRUE(Enabled(kInvertPixel));
    Entry(kInvertPixel)->trigger();
    std::vector<BYTE> expected = before;
    for (int byte = 0; byte < 3; ++byte)
        expected[byte] = static_cast<BYTE>(255 - expected[byte]);
    EXPECT_EQ(Pixels(doc), expected) << "the menu entry runs exactly once";
    EXPECT_TRUE(doc->ActivePlugIns().empty()) << "a run-once plug-in does not stay attached";
    EXPECT_TRUE(Host().Manager().GetActiveList().empty());
    EXPECT_TRUE(Enabled(kInvertPixel)) << "no hold after a run-once plug-in";

    doc->OnEditUndo();
    EXPECT_EQ(Pixels(doc), before);
}

TEST_F(PlugInHostTest, ResidentEntryAttachesToOpenAndLaterDocumentsAndGetsTheirInputFirst)
{
    CVistrelDoc* first = NewImageDocument("A");
    CVistrelDoc* second = NewImageDocument("B");
    ASSERT_EQ(m_objects->Documents().GetActiveDocument(), second);
    Entry(kRecordInput)->trigger();
    EXPECT_EQ(first->ActivePlugIns().size(), 1u);
    EXPECT_EQ(second->ActivePlugIns().size(), 1u);
    EXPECT_FALSE(Enabled(kInvertPixel)) << "a resident plug-in holds the plug-in commands";
    EXPECT_FALSE(Enabled(kRecordInput));

    // A new image (as the new-image and paste commands make it).
    CQvImage image;
    image.Create(QV_RGB24, 5, 3, 0);
    CVistrelDoc* later = NewDocumentFromImage("C", 5, 3, QV_RGB24, &image);
    ASSERT_TRUE(later);
    ASSERT_EQ(later->ActivePlugIns().size(), 1u) << "documents opened later get the resident plug-in";
    // Each document's report page carries the plug-in's list as an external tab beside its own list, and a
    // statistics table of the same name (id 100, grid lines and full-row select).
    CReportManager* reports = m_objects->App().GetReportPages();
    ASSERT_TRUE(reports);
    auto pageOf = [reports](CVistrelDoc* doc) { return reports->FindPage(doc->GetImageView()); };
    for (CVistrelDoc* doc : {first, second, later}) {
        CReportPage* page = pageOf(doc);
        ASSERT_TRUE(page) << doc->GetTitle();
        ASSERT_EQ(page->mainStrip->GetTabCount(), 2) << doc->GetTitle();
        EXPECT_TRUE(page->mainStrip->IsExternal(1));
        EXPECT_EQ(page->mainStrip->GetTabName(1), "Input");
        EXPECT_EQ(page->statisticsStrip->GetTabName(1), "Input");
        CReportListCtrl* list = page->Statistics(1);
        ASSERT_TRUE(list);
        EXPECT_EQ(list->GetDlgCtrlID(), 100u);
        EXPECT_EQ(list->GetExtendedStyle(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    }

    // The later document's view runs the plug-in when it becomes active; its window's press reaches the plug-in
    // before the overlay.
    m_objects->Documents().ActivateDocument(first);
    m_objects->Documents().ActivateDocument(later);
    QApplication::processEvents();
    CImageDispWnd* window = later->GetImageView()->GetDispWnd();
    ASSERT_EQ(later->ActivePlugIns()[0]->activation, 1);
    QTest::mouseClick(window->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 2));
    auto* input = qobject_cast<QTableWidget*>(pageOf(later)->mainStrip->GetTabWindow(1));
    ASSERT_TRUE(input);
    ASSERT_EQ(input->rowCount(), 1);
    EXPECT_EQ(input->item(0, 0)->text(), "3,2");
    EXPECT_EQ(qobject_cast<QTableWidget*>(pageOf(first)->mainStrip->GetTabWindow(1))->rowCount(), 0)
        << "only the document under the mouse";

    // The hold ends when no document has the plug-in attached any more.
    for (CVistrelDoc* doc : {first, second, later})
        ASSERT_TRUE(m_objects->Documents().CloseDocument(doc));
    EXPECT_TRUE(Host().Manager().GetActiveList().empty());
    NewImageDocument("D");
    EXPECT_TRUE(Enabled(kInvertPixel));
}

}  // namespace
