// Plug-in hosting on a program built offscreen: the program folder (beside a stand-in executable) holds copies of the
// support library's test plug-ins, two broken modules and two copies of its test extension module (one of them named
// as the extension that may work on the live image); the user's root is another temporary folder.
#include "plugins/CPlugInHost.h"

#include "commands/AppCommands.h"
#include "program/FrameMainWindow.h"
#include "program/ProgramObjects.h"
#include "core/tests/ProgramSessionFolders.h"
#include "report/CReportManager.h"
#include "report/CReportPage.h"
#include "report/CReportTabBar.h"
#include "document/DocumentCreation.h"
#include "document/DocumentRegistry.h"
#include "frame/CMainFrame.h"
#include "frame/CommandRouter.h"
#include "profile/Registry.h"
#include "qvimage/CQvImage.h"
#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"
#include "qvplglib/CReportListCtrl.h"
#include "resources/StringTable.h"
#include "testing/MessageBoxRecorder.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPointer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <vector>

using testing_support::MessageBoxes;

namespace {

constexpr UINT kInvertPixel = 2024;
constexpr UINT kRecordInput = 2025;
// The extension module D_Ext.so: two run-once entries and a resident one; then SharpGauge.so's three.
constexpr UINT kExtFirst = 3025;
constexpr UINT kExtResident = 3027;
constexpr UINT kGaugeFirst = 3028;
constexpr UINT kGaugeSecond = 3029;


// Decides what the extension module's views do when they run; the module calls it through its test export.
using ExtRun = std::function<int(CPlgView* view, int index)>;

int ExtRunTrampoline(void* context, CPlgView* view, int index)
{
    return (*static_cast<ExtRun*>(context))(view, index);
}

class PlugInHostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_program.isValid() && m_session.Enter());
        MessageBoxes().Reset();

        const std::filesystem::path plugIns = m_program.path().toStdString() + "/components/Plug-Ins";
        std::filesystem::create_directories(plugIns);
        // Named so that the good module sorts first and the broken ones after it.
        for (const auto& [built, name] : std::vector<std::pair<std::string, std::string>>{
                 {"PlgTestAlpha", "A_Tools.so"}, {"PlgBrokenMissingExport", "B_Missing.so"},
                 {"PlgBrokenThrows", "C_Throws.so"}, {"PlgTestExtension", "D_Ext.so"},
                 {"PlgTestExtension", "SharpGauge.so"}})
            std::filesystem::copy_file(std::string(APP_TEST_PLUGIN_DIR) + "/" + built + ".so", plugIns / name);

        m_objects = std::make_unique<ProgramObjects>(
            QStringList{QStringLiteral("Vistrel"), QStringLiteral("--root"), m_session.root.path()},
            m_program.path().toStdString() + "/Vistrel");
        ASSERT_TRUE(m_objects->App().InitInstance());
    }

    void TearDown() override
    {
        if (m_extension.IsLoaded())
            m_extension.GetProc<void (*)(int (*)(void*, CPlgView*, int), void*)>("TestExtSetRunHook")(nullptr,
                                                                                                        nullptr);
        if (m_objects) {
            m_objects->App().ExitInstance();
            m_objects.reset();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_session.Leave();
        MessageBoxes().Reset();
    }

    CMainFrame& Frame() { return static_cast<FrameMainWindow*>(m_objects->App().GetMainWnd())->Frame(); }
    CPlugInHost& Host() const { return m_objects->PlugInHost(); }
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
    std::string ExtPath() const { return Host().ModuleFolder() + "D_Ext.so"; }

    // Lets the test decide what D_Ext.so's views do when they run.
    void OnExtRun(ExtRun run)
    {
        m_extRun = std::move(run);
        if (!m_extension.IsLoaded()) {
            ASSERT_TRUE(m_extension.Load(ExtPath())) << m_extension.GetLastError();
        }
        m_extension.GetProc<void (*)(int (*)(void*, CPlgView*, int), void*)>("TestExtSetRunHook")(
            &ExtRunTrampoline, &m_extRun);
    }
    int ExtRegisteredCount() { return m_extension.GetProc<int (*)()>("TestExtRegisteredCount")(); }

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

    ProgramSessionFolders m_session;
    QTemporaryDir m_program;
    std::unique_ptr<ProgramObjects> m_objects;
    CModule m_extension;
    ExtRun m_extRun;
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
    const auto& records = Host().Manager().GetMenuRecords();
    EXPECT_EQ(std::count_if(records.begin(), records.end(),
                            [](const auto& record) { return record->id < CPlugInHost::kFirstExtensionId; }),
              2)
        << "nothing of the broken modules is installed";

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
    }

    // The later document's view runs the plug-in when it becomes active; its window's press reaches the plug-in
    // before the overlay.
    m_objects->Documents().ActivateDocument(first);
    m_objects->Documents().ActivateDocument(later);
    QApplication::processEvents();
    CImageDispWnd* window = later->GetImageView()->GetDispWnd();
    ASSERT_EQ(later->ActivePlugIns()[0]->activation, 1);
    CQvGObjectContainer& overlay = later->GetGObjectContainer();
    const size_t objectsBefore = overlay.GetMainObjList().size();
    const int selectedBefore = overlay.GetSelectedObjectCount();
    QTest::mouseClick(window->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 2));
    EXPECT_EQ(overlay.GetMainObjList().size(), objectsBefore) << "the click is the plug-in's, not the overlay's";
    EXPECT_EQ(overlay.GetSelectedObjectCount(), selectedBefore);
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

TEST_F(PlugInHostTest, ExtensionCommandsAreNumberedInNameOrderAndRunByPathWithoutCase)
{
    std::vector<std::pair<UINT, std::string>> extensions;
    for (const auto& record : Host().Manager().GetMenuRecords())
        if (record->id >= CPlugInHost::kFirstExtensionId)
            extensions.emplace_back(record->id,
                                    std::filesystem::path(record->path).filename().string() + ":" +
                                        std::to_string(record->index));
    const std::vector<std::pair<UINT, std::string>> expected = {
        {3025, "D_Ext.so:0"},       {3026, "D_Ext.so:1"},       {3027, "D_Ext.so:2"},
        {3028, "SharpGauge.so:0"}, {3029, "SharpGauge.so:1"}, {3030, "SharpGauge.so:2"}};
    EXPECT_EQ(extensions, expected);

    NewImageDocument("A");
    std::vector<int> ran;
    OnExtRun([&](CPlgView*, int index) {
        ran.push_back(index);
        return 1;
    });
    std::string shouted = ExtPath();
    std::transform(shouted.begin(), shouted.end(), shouted.begin(), [](unsigned char c) { return std::toupper(c); });
    EXPECT_EQ(Host().RunExtPlugIn(shouted, -1), 1);
    EXPECT_EQ(Host().RunExtPlugIn(ExtPath(), 1), 1);
    EXPECT_EQ(Host().RunExtPlugIn(ExtPath(), 7), 0);
    EXPECT_EQ(Host().RunExtPlugIn(Host().ModuleFolder() + "Nothing.so", -1), 0);
    EXPECT_EQ(ran, (std::vector<int>{0, 1}));
    EXPECT_EQ(ExtRegisteredCount(), 0) << "every run connects again; its entries must not pile up";
}

TEST_F(PlugInHostTest, TheLiveDocumentRunsOnlyTheSharpGaugeExtension)
{
    CVistrelDoc* live = NewImageDocument("Live");
    ASSERT_EQ(m_objects->Documents().GetActiveDocument(), live);
    Host().Seams().liveDocument = [live] { return live; };
    for (UINT id : {kInvertPixel, kExtFirst}) {
        MessageBoxes().Reset();
        EXPECT_EQ(Host().ExecutePlugInCallback(id), 0) << id;
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u) << id;
        EXPECT_EQ(MessageBoxes().Boxes()[0].text, LoadString("Vistrel", 770));
    }
    MessageBoxes().Reset();
    for (UINT id : {kGaugeFirst, kGaugeSecond})
        EXPECT_EQ(Host().ExecutePlugInCallback(id), 1) << "every entry of the live extension, not just its first";
    EXPECT_TRUE(MessageBoxes().Boxes().empty());
}

TEST_F(PlugInHostTest, RunOnceWithoutADocumentKeepsTheDocumentItMadeOnlyWhenTheRunDidSomething)
{
    ASSERT_EQ(m_objects->Documents().GetActiveDocument(), nullptr);
    const size_t open = CVistrelDoc::AllDocuments().size();
    int answer = 0;
    OnExtRun([&](CPlgView*, int) { return answer; });
    EXPECT_EQ(Host().ExecutePlugInCallback(kExtFirst), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(CVistrelDoc::AllDocuments().size(), open) << "the empty document goes again";

    answer = 1;
    EXPECT_EQ(Host().ExecutePlugInCallback(kExtFirst), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(CVistrelDoc::AllDocuments().size(), open + 1);
    EXPECT_TRUE(CVistrelDoc::AllDocuments().back()->ActivePlugIns().empty());
    EXPECT_TRUE(Host().Manager().GetActiveList().empty());
}

TEST_F(PlugInHostTest, ANewDocumentAskedForByARunningViewGetsTheEntryOnce)
{
    CVistrelDoc* first = NewImageDocument("A");
    OnExtRun([](CPlgView*, int) { return 1; });
    ASSERT_EQ(Host().ExecutePlugInCallback(kExtResident), 1);
    ASSERT_EQ(first->ActivePlugIns().size(), 1u);
    CPlgApplication* application = first->ActivePlugIns()[0]->application;

    const size_t open = CVistrelDoc::AllDocuments().size();
    CPlgView* empty = reinterpret_cast<CPlgView*>(1);
    CPlgView* made = nullptr;
    size_t openAfterEmpty = 0;
    bool inside = false;
    OnExtRun([&](CPlgView*, int) {
        if (inside)  // the new document runs the resident view it attaches
            return 1;
        inside = true;
        empty = Host().Manager().CreateNewDocumentView(application, "Empty", 0, 4, QV_GRAY8);
        openAfterEmpty = CVistrelDoc::AllDocuments().size();
        made = Host().Manager().CreateNewDocumentView(application, "New", 4, 3, QV_GRAY8);
        inside = false;
        return 1;
    });
    EXPECT_EQ(Host().ExecutePlugInCallback(kExtResident), 1);
    EXPECT_EQ(empty, nullptr);
    EXPECT_EQ(openAfterEmpty, open) << "no document for an empty size";
    ASSERT_EQ(CVistrelDoc::AllDocuments().size(), open + 1);
    CVistrelDoc* created = CVistrelDoc::AllDocuments().back();
    ASSERT_EQ(created->ActivePlugIns().size(), 1u) << "one record, so the entry runs once per event";
    EXPECT_EQ(made, created->ActivePlugIns()[0]->view);
    EXPECT_EQ(Host().Manager().CreateNewDocumentView(application, "Idle", 4, 3, QV_GRAY8), nullptr)
        << "only a running view may ask";
}

TEST_F(PlugInHostTest, ADetachedViewTakesItsReportTabsAndControlAlong)
{
    CVistrelDoc* doc = NewImageDocument("A");
    Entry(kRecordInput)->trigger();
    ASSERT_EQ(doc->ActivePlugIns().size(), 1u);
    CReportPage* page = m_objects->App().GetReportPages()->FindPage(doc->GetImageView());
    ASSERT_TRUE(page);
    const int tabs = page->mainStrip->GetTabCount();
    ASSERT_GE(tabs, 2) << "the page's own list and the plug-in's";
    QPointer<QWidget> control = page->mainStrip->GetTabWindow(tabs - 1);
    doc->RemovePlugInView(doc->ActivePlugIns()[0]->application);
    EXPECT_TRUE(control.isNull()) << "deleted before the module can go, not later";
    EXPECT_EQ(page->mainStrip->GetTabCount(), tabs - 1);
    EXPECT_EQ(page->statisticsStrip->GetTabCount(), tabs - 1);
}

TEST_F(PlugInHostTest, ADocumentDeletedWithoutACloseLeavesNothingInTheActiveList)
{
    NewImageDocument("A");
    Entry(kRecordInput)->trigger();
    const size_t listed = Host().Manager().GetActiveList().size();
    auto bare = std::make_unique<CVistrelDoc>();
    Host().AttachActivePlugIns(bare.get());
    ASSERT_EQ(bare->ActivePlugIns().size(), 1u);
    EXPECT_EQ(Host().Manager().GetActiveList().size(), listed + 1);
    bare.reset();
    EXPECT_EQ(Host().Manager().GetActiveList().size(), listed);
}

TEST_F(PlugInHostTest, ADocumentClosedWhileItsPlugInRunsIsLeftAlone)
{
    auto doc = std::make_unique<CVistrelDoc>();
    Host().Seams().activeDocument = [&doc] { return doc.get(); };
    OnExtRun([&](CPlgView*, int) {
        doc.reset();
        return 1;
    });
    EXPECT_EQ(Host().ExecutePlugInCallback(kExtResident), 0);
    EXPECT_TRUE(Host().Manager().GetActiveList().empty());
}

}  // namespace

TEST_F(PlugInHostTest, AResidentViewEndsItselfAndItsApplicationEndsEverywhere)
{
    CVistrelDoc* first = NewImageDocument("A");
    CVistrelDoc* second = NewImageDocument("B");
    Entry(kRecordInput)->trigger();
    ASSERT_EQ(first->ActivePlugIns().size(), 1u);
    ASSERT_EQ(second->ActivePlugIns().size(), 1u);
    CPlgView* view = second->ActivePlugIns()[0]->view;
    CPlgApplication* application = second->ActivePlugIns()[0]->application;
    ASSERT_TRUE(view);

    // Client points of the display window in image pixels, x = -1 off the image.
    EXPECT_EQ(view->ClientToImage(CPoint(3, 2)), CPoint(3, 2));
    EXPECT_EQ(view->ClientToImage(CPoint(400, 300)).x, -1);

    view->Destroy();
    EXPECT_TRUE(second->ActivePlugIns().empty());
    EXPECT_EQ(first->ActivePlugIns().size(), 1u);
    application->Destroy();
    EXPECT_TRUE(first->ActivePlugIns().empty());
    EXPECT_TRUE(Host().Manager().GetActiveList().empty());
    EXPECT_TRUE(Enabled(kInvertPixel)) << "the hold ends with the last attached view";
}
