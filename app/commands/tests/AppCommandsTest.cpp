// The application commands through the main frame's router, on a program built offscreen in a temporary root with
// its own registry and runtime folder: which commands are enabled when, and what the companion hand-overs leave
// behind (registry values, bitmap files, shared blocks, clipboard texts, bus messages), with processes and modules
// played by stand-ins.
#include "commands/AppCommands.h"

#include "commands/BitmapFile.h"
#include "commands/CommandStrings.h"
#include "program/FrameMainWindow.h"
#include "program/ProgramObjects.h"
#include "core/tests/ProgramSessionFolders.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "view/CVistrelView.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "panels/CUIAboutDlg.h"
#include "peers/CompanionMessages.h"
#include "peers/CompanionTempFolder.h"
#include "testing/MessageBoxRecorder.h"

#include "gobjects/CQvGObjectContainer.h"
#include "profile/CRegKey.h"
#include "profile/Registry.h"
#include "qvimage/CQvImage.h"
#include "winmsg/LocalPeerBus.h"
#include "winmsg/NamedMapping.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>

#include <stdlib.h>

using namespace cmd;
using testing_support::MessageBoxes;

namespace {

// A module whose exports are plain functions of the test.
class FakeModule : public ILoadedModule
{
public:
    explicit FakeModule(std::map<std::string, void*> symbols) : m_symbols(std::move(symbols)) {}
    void* Symbol(const char* name) override
    {
        auto it = m_symbols.find(name);
        return it == m_symbols.end() ? nullptr : it->second;
    }

private:
    std::map<std::string, void*> m_symbols;
};

struct ProcessStart
{
    std::string program;
    std::string folder;
};

// What the stand-in exports saw.
int g_stackCalls = 0;
int g_stackCount = 0;
int g_reticleCalls = 0;
IAcquireHost* g_connectedHost = nullptr;
QWidget* g_connectedView = nullptr;

int FakeDepthStack(CQvImage** images, int count, CQvImage* result)
{
    ++g_stackCalls;
    g_stackCount = count;
    return images[0] && result->GetWidth() == images[0]->GetWidth() ? 1 : 0;
}
void FakeReticle() { ++g_reticleCalls; }
void FakeConnect(IAcquireHost* host) { g_connectedHost = host; }
void FakeSetView(QWidget* view) { g_connectedView = view; }

// A companion program on the bus: records every message it receives.
struct TestPeer
{
    struct Message
    {
        QString name;
        qint64 wParam;
        QByteArray attachment;
    };

    explicit TestPeer(const QString& identity)
    {
        listening = bus.Listen(identity);
        QObject::connect(&bus, &PeerBus::registeredMessage,
                         [this](const QString& name, qint64 wParam, qint64, const QByteArray& attachment) {
                             messages.push_back({name, wParam, attachment});
                         });
    }
    bool WaitFor(const QString& name)
    {
        return QTest::qWaitFor([&] {
            for (const Message& m : messages)
                if (m.name == name)
                    return true;
            return false;
        });
    }
    LocalPeerBus bus;
    bool listening = false;
    std::vector<Message> messages;
};

class AppCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_session.Enter());
        m_savedCalibration = *TheCalibrationList().GetCurrentCalibration();
        g_stackCalls = g_stackCount = g_reticleCalls = 0;
        g_connectedHost = nullptr;
        g_connectedView = nullptr;
    }

    void Start()
    {
        m_program = std::make_unique<ProgramObjects>(
            QStringList{QStringLiteral("Vistrel"), QStringLiteral("--root"), m_session.root.path()}, "/opt/x/Vistrel");
        ASSERT_TRUE(App().InitInstance());
        CompanionServices& services = App().Commands().Services();
        services.startProcess = [this](const std::string& program, const std::vector<std::string>&,
                                       const std::string& folder) {
            m_starts.push_back({program, folder});
            if (m_onStart)
                m_onStart();
            return m_startSucceeds;
        };
        services.loadModule = [this](const std::string& path) -> std::unique_ptr<ILoadedModule> {
            m_loads.push_back(path);
            auto it = m_modules.find(path);
            return it == m_modules.end() ? nullptr : std::make_unique<FakeModule>(it->second);
        };
        services.peerPolls = 3;
        services.peerPollIntervalMs = 10;
    }

    void TearDown() override
    {
        if (m_program) {
            App().ExitInstance();
            m_program.reset();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        *TheCalibrationList().GetCurrentCalibration() = m_savedCalibration;
        m_session.Leave();
    }

    CVistrelApp& App() { return m_program->App(); }
    CAppCommands& Commands() { return App().Commands(); }
    CMainFrame& Frame() { return static_cast<FrameMainWindow*>(App().GetMainWnd())->Frame(); }
    CommandRouter& Router() { return Frame().Router(); }

    CVistrelDoc* NewImageDocument(const std::string& title, int width = 4, int height = 3)
    {
        CVistrelDoc* doc = App().NewDocument(title);
        CQvImage image;
        image.Create(QV_RGB24, width, height, 0);
        doc->SetImage(title, &image);
        return doc;
    }

    // Modules ship beside the executable, not in the user's root.
    static std::string ModulePath(const std::string& relative) { return "/opt/x/" + relative; }

    std::string RootPath(const std::string& relative) const
    {
        return QDir(m_session.root.path()).filePath(QString::fromStdString(relative)).toStdString();
    }

    static void SetProductValue(const char* name, const std::string& value)
    {
        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kProductKey), ERROR_SUCCESS);
        ASSERT_EQ(key.SetStringValue(name, value), ERROR_SUCCESS);
    }

    static void Touch(const std::string& path)
    {
        QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const MessageBoxRequest& box : MessageBoxes().Boxes())
            texts.push_back(box.text);
        return texts;
    }

    ProgramSessionFolders m_session;
    CCalibKeeper m_savedCalibration;
    std::unique_ptr<ProgramObjects> m_program;
    std::vector<ProcessStart> m_starts;
    std::vector<std::string> m_loads;
    std::map<std::string, std::map<std::string, void*>> m_modules;
    std::function<void()> m_onStart;
    bool m_startSucceeds = true;
};

TEST_F(AppCommandsTest, CommandsAreEnabledAsTheProgramsStateAllows)
{
    Start();
    struct Case
    {
        UINT id;
        bool withoutDocument;
        bool withDocument;
        bool withResidentPlugIn;
    };
    const Case cases[] = {
        {ID_FILE_NEW, true, true, true},
        {ID_FILE_OPEN, true, true, true},
        {ID_IMAGE_DATABASE, true, true, true},
        {ID_AUTO_MEASURE_APP, true, true, true},
        {ID_COMPANION_APP, true, true, true},
        {ID_DEPTH_STACK_MODULE, false, true, false},
        {ID_DEPTH_STACK, false, true, false},
        {ID_REMOTE_SAVE, false, true, false},
        {ID_PORE_SCAN, false, true, false},
        // No live view: the focus indicator waits for one.
        {ID_FOCUS_INDICATOR, false, false, false},
        // Disabled in this edition.
        {ID_AUTO_COUNT, false, false, false},
        {ID_FLUORESCENCE, false, false, false},
        {ID_RETICLE_GENERATOR, false, false, false},
        {32880, false, false, false},
        {ID_RETICLE_LOAD, false, false, false},
        // No driver is selected: only choosing one is offered; live measurement and full screen never are.
        {ID_ACQ_SELECT_DEVICE, true, true, true},
        {ID_ACQ_CAPTURE, false, false, false},
        {ID_ACQ_MULTI_CAPTURE, false, false, false},
        {ID_ACQ_LIVE, false, false, false},
        {ID_ACQ_RESIZE_CAPTURE, false, false, false},
        {ID_ACQ_CROSS_LINE, false, false, false},
        {ID_ACQ_LIVE_MEASURE, false, false, false},
        {ID_ACQ_FULL_SCREEN, false, false, false},
        {ID_ACQ_VIDEO_RECORDER, false, false, false},
        {ID_ACQ_DEVICE_SETTINGS, false, false, false},
        // The program plugs its dialogs in; they open with or without a document.
        {ID_CALIBRATION_MANAGER, true, true, true},
        {ID_PREFERENCES, true, true, true},
        {ID_APP_ABOUT, true, true, true},
        // Plug-in hosting plugs in later: a command with nothing behind it is not offered.
        {ID_PLUGIN_FIRST, false, false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Router().Query(c.id).enabled, c.withoutDocument) << "no document, command " << c.id;
    CVistrelDoc* doc = NewImageDocument("A");
    for (const Case& c : cases)
        EXPECT_EQ(Router().Query(c.id).enabled, c.withDocument) << "a document, command " << c.id;
    static const tagPlgInfo4Client residentEntry{ID_PLUGIN_FIRST, "resident.so", 0, 0, 0};
    auto resident = std::make_unique<tagActiveApp>();
    resident->info = &residentEntry;
    doc->AttachPlugIn(std::move(resident));
    for (const Case& c : cases)
        EXPECT_EQ(Router().Query(c.id).enabled, c.withResidentPlugIn) << "resident plug-in, command " << c.id;
}

TEST_F(AppCommandsTest, HooksOfLaterPartsEnableTheirCommands)
{
    Start();
    int about = 0, manager = 0;
    std::vector<UINT> plugIns;
    AppCommandHooks& hooks = Commands().Hooks();
    hooks.aboutBox = [&] { ++about; };
    hooks.calibrationManager = [&] { ++manager; };
    hooks.isPlugInEnabled = [](UINT id) { return id != 3000; };
    hooks.executePlugIn = [&](UINT id) {
        plugIns.push_back(id);
        return 1;
    };
    EXPECT_TRUE(Router().Execute(ID_APP_ABOUT));
    EXPECT_TRUE(Router().Execute(ID_CALIBRATION_MANAGER));
    EXPECT_TRUE(Router().Execute(ID_PLUGIN_FIRST));
    EXPECT_TRUE(Router().Execute(ID_PLUGIN_LAST));
    EXPECT_FALSE(Router().Execute(3000));
    EXPECT_FALSE(Router().Execute(ID_PLUGIN_LAST + 1));
    EXPECT_EQ(about, 1);
    EXPECT_EQ(manager, 1);
    EXPECT_EQ(plugIns, (std::vector<UINT>{ID_PLUGIN_FIRST, ID_PLUGIN_LAST}));
}

TEST_F(AppCommandsTest, PreferencesAreAppliedByTheirDialogAlone)
{
    // The program's dialog applies what the user chose on OK; the command must not apply it a second time.
    Start();
    CVistrelDoc* doc = NewImageDocument("A");
    const int before = doc->GetPreferences().decimalPointRange;
    int runs = 0;
    Commands().Hooks().preferencesDialog = [&] {
        ++runs;
        m_program->Profile().preferences.decimalPointRange = before + 2;
        return true;
    };
    ASSERT_TRUE(Router().Execute(ID_PREFERENCES));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(doc->GetPreferences().decimalPointRange, before);
}

TEST_F(AppCommandsTest, NewAndOpenRunTheirDialogs)
{
    Start();
    ASSERT_TRUE(Router().Execute(ID_FILE_NEW));  // cancelled
    ASSERT_EQ(MessageBoxes().ModalDialogs().size(), 1u);
    EXPECT_EQ(App().GetActiveDocument(), nullptr);
    MessageBoxes().QueueModal([](QDialog& dialog) { dialog.accept(); });
    ASSERT_TRUE(Router().Execute(ID_FILE_NEW));
    ASSERT_NE(App().GetActiveDocument(), nullptr);
    EXPECT_GT(App().GetActiveDocument()->GetImage().GetWidth(), 0);
    App().GetActiveDocument()->SetModifiedFlag(false);

    QImage picture(5, 4, QImage::Format_RGB32);
    picture.fill(qRgb(1, 2, 3));
    const QString path = QDir(m_session.root.path()).filePath("chosen.png");
    ASSERT_TRUE(picture.save(path, "PNG"));
    const size_t documents = DocumentRegistry::Instance()->Documents().size();
    MessageBoxes().QueueFile("");
    ASSERT_TRUE(Router().Execute(ID_FILE_OPEN));
    EXPECT_EQ(DocumentRegistry::Instance()->Documents().size(), documents);
    MessageBoxes().QueueFile(path.toStdString());
    ASSERT_TRUE(Router().Execute(ID_FILE_OPEN));
    ASSERT_EQ(MessageBoxes().FileDialogs().size(), 2u);
    EXPECT_FALSE(MessageBoxes().FileDialogs()[1].save);
    ASSERT_NE(App().GetActiveDocument(), nullptr);
    EXPECT_EQ(App().GetActiveDocument()->GetPathName(), path.toStdString());
}

TEST_F(AppCommandsTest, AboutShowsTheOwnersTitleWhenTheOwnerFileIsPresent)
{
    QDir(m_session.root.path()).mkpath("OEM");
    QFile oem(QDir(m_session.root.path()).filePath("OEM/OEM.INI"));
    ASSERT_TRUE(oem.open(QIODevice::WriteOnly));
    oem.write("[ENG]\ntitle=Acme Scope\n[KOR]\ntitle=Acme\n");
    oem.close();
    Start();
    Commands().Hooks().aboutBox = [] {};
    const CommandState state = Router().Query(ID_APP_ABOUT);
    EXPECT_TRUE(state.enabled);
    ASSERT_TRUE(state.text.has_value());
    EXPECT_EQ(*state.text, "About Acme Scope ...");
}

TEST_F(AppCommandsTest, AboutShowsTheAboutBoxWithTheOwnerTexts)
{
    QDir(m_session.root.path()).mkpath("OEM");
    QFile oem(QDir(m_session.root.path()).filePath("OEM/OEM.INI"));
    ASSERT_TRUE(oem.open(QIODevice::WriteOnly));
    oem.write("[ENG]\ntitle=Acme Scope\n[KOR]\ntitle=Acme\n");
    oem.close();
    Start();
    QString shown;
    MessageBoxes().QueueModal([&](QDialog& dialog) {
        if (auto* about = qobject_cast<CUIAboutDlg*>(&dialog))
            shown = about->windowTitle();
        dialog.accept();
    });
    EXPECT_TRUE(Router().Execute(ID_APP_ABOUT));
    EXPECT_EQ(shown, "About Acme Scope ...");
}

TEST_F(AppCommandsTest, DepthStackModuleStoresItsSettingsAndRunsThroughThePlugInHost)
{
    Start();
    NewImageDocument("A");
    std::vector<std::string> ran;
    Commands().Hooks().runExtPlugIn = [&](const std::string& path, int index) {
        ran.push_back(path);
        EXPECT_EQ(index, -1);
        return 1;
    };
    ASSERT_TRUE(Router().Execute(ID_DEPTH_STACK_MODULE));
    ASSERT_TRUE(Router().Execute(ID_REMOTE_SAVE));
    Commands().OnAutoCount();  // disabled in the menus, yet runs when called
    EXPECT_EQ(ran, (std::vector<std::string>{ModulePath("components/Plug-Ins/depthstack.so"),
                                             ModulePath("components/Plug-Ins/FarStore.so"),
                                             ModulePath("components/Plug-Ins/SpeckTally.so")}));
    EXPECT_EQ(m_program->PlugInMode(), "AutoCount");
    CRegKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, kDepthStackKey, KEY_READ), ERROR_SUCCESS);
    DWORD align = 0, fm = 7;
    EXPECT_EQ(key.QueryDWORDValue("Align Enable", align), ERROR_SUCCESS);
    EXPECT_EQ(key.QueryDWORDValue("FM Enable", fm), ERROR_SUCCESS);
    EXPECT_EQ(align, 1u);
    EXPECT_EQ(fm, 0u);
}

TEST_F(AppCommandsTest, DepthStackOfTheOpenImagesMakesAMultiFocusDocumentWithTheScaleMarker)
{
    Start();
    m_modules[ModulePath("components/Plug-Ins/depthstack.so")] = {{"DepthStack", reinterpret_cast<void*>(&FakeDepthStack)}};
    // Only the live window's image: nothing to stack.
    NewImageDocument(AppCommandString(appstr::IDS_LIVE_MEASURE));
    ASSERT_TRUE(Router().Execute(ID_DEPTH_STACK));
    EXPECT_EQ(g_stackCalls, 0);
    EXPECT_EQ(DocumentRegistry::Instance()->Documents().size(), 1u);

    CVistrelDoc* first = NewImageDocument("First", 6, 5);
    // The stack takes the first image's scale marker along, once the overlay library makes scale markers.
    const bool hasMarker = first->GetGObjectContainer().AddObject(SHAPE_SCALE_MARKER) != 0;
    NewImageDocument("Second", 6, 5);
    ASSERT_TRUE(Router().Execute(ID_DEPTH_STACK));
    EXPECT_EQ(g_stackCalls, 1);
    EXPECT_EQ(g_stackCount, 2);
    CVistrelDoc* stacked = App().GetActiveDocument();
    ASSERT_NE(stacked, nullptr);
    EXPECT_EQ(stacked->GetTitle(), "Multi-Focus");
    EXPECT_EQ(stacked->GetImage().GetWidth(), 6);
    EXPECT_EQ(stacked->GetImage().GetHeight(), 5);
    EXPECT_EQ(stacked->GetGObjectContainer().GetFirstObject(SHAPE_SCALE_MARKER) != nullptr, hasMarker);

    // A module without the export makes nothing.
    m_modules[ModulePath("components/Plug-Ins/depthstack.so")] = {};
    ASSERT_TRUE(Router().Execute(ID_DEPTH_STACK));
    EXPECT_EQ(g_stackCalls, 1);
    EXPECT_EQ(DocumentRegistry::Instance()->Documents().size(), 4u);
}

TEST_F(AppCommandsTest, ReticlesRunFromTheirFolderAndAMissingModuleIsReported)
{
    Start();
    const QString before = QDir::currentPath();
    Commands().OnReticle(ID_RETICLE_GENERATOR);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kModuleNotFound});
    EXPECT_EQ(QDir::currentPath(), before);
    m_modules[RootPath("components/applications/CCX/CustomCross.so")] = {
        {"ExtPlgConnectGenerator", reinterpret_cast<void*>(&FakeReticle)},
        {"ExtPlgConnectLoadReticle", reinterpret_cast<void*>(&FakeReticle)}};
    Commands().OnReticle(ID_RETICLE_GENERATOR);
    Commands().OnReticle(ID_RETICLE_LOAD);
    EXPECT_EQ(g_reticleCalls, 2);
    EXPECT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(QDir::currentPath(), before);
}

TEST_F(AppCommandsTest, FocusIndicatorConnectsItsModuleToTheHostAndTheView)
{
    Start();
    CVistrelDoc* doc = NewImageDocument("A");
    FakeModule gauge({{"CAcquireContainerConnect", reinterpret_cast<void*>(&FakeConnect)},
                      {"SetViewWindow", reinterpret_cast<void*>(&FakeSetView)}});
    std::vector<std::string> asked;
    Commands().Hooks().runExtPlugIn = [](const std::string&, int) { return 1; };
    Commands().Hooks().loadedPlugInModules = [&](const std::string& path) {
        asked.push_back(path);
        return std::vector<ILoadedModule*>{&gauge};
    };
    Commands().OnFocusIndicator();
    EXPECT_EQ(asked, std::vector<std::string>{ModulePath("components/Plug-Ins/SharpGauge.so")});
    EXPECT_EQ(g_connectedHost, &m_program->AcquireHost());
    EXPECT_EQ(g_connectedView, static_cast<QWidget*>(doc->GetImageView()));
}

TEST_F(AppCommandsTest, ImageDatabaseIsLookedUpStartedAndHandedTheImage)
{
    Start();
    // Not installed, then installed but refusing to start.
    ASSERT_TRUE(Router().Execute(ID_IMAGE_DATABASE));
    const std::string program = RootPath("db/PicVault");
    SetProductValue("DB_PRODUCT_PATH", program);
    ASSERT_TRUE(Router().Execute(ID_IMAGE_DATABASE));
    Touch(program);
    m_startSucceeds = false;
    ASSERT_TRUE(Router().Execute(ID_IMAGE_DATABASE));
    ASSERT_EQ(MessageBoxes().Boxes().size(), 3u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, AppCommandString(appstr::IDS_DATABASE_NOT_FOUND));
    EXPECT_EQ(MessageBoxes().Boxes()[0].type & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(MessageBoxes().Boxes()[1].text, AppCommandString(appstr::IDS_DATABASE_NOT_FOUND));
    EXPECT_EQ(MessageBoxes().Boxes()[2].text, AppCommandString(appstr::IDS_DATABASE_CANNOT_START));
    ASSERT_EQ(m_starts.size(), 1u);
    EXPECT_EQ(m_starts[0].program, program);
    EXPECT_EQ(m_starts[0].folder, RootPath("db"));

    // Started without a document: the clipboard is left alone and nothing is announced. The program never
    // appears on the bus; the wait for it ends after the fixture's few polls.
    m_startSucceeds = true;
    TestPeer listener(QStringLiteral("listener"));
    ASSERT_TRUE(listener.listening);
    QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    ASSERT_TRUE(Router().Execute(ID_IMAGE_DATABASE));
    EXPECT_EQ(m_starts.size(), 2u);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));

    // With a document its picture goes to a bitmap file, named on the clipboard and in the announcement. A ';' of
    // the title would split that ';'-separated list, a '/' leave the folder.
    NewImageDocument("Sample;1/a", 3, 2);
    ASSERT_TRUE(Router().Execute(ID_IMAGE_DATABASE));
    ASSERT_TRUE(listener.WaitFor(QStringLiteral("VQtoPVT_MSG")));
    const std::string file = CompanionTempFolder() + "Sample_1_a.bmp";
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), file + ";");
    ASSERT_EQ(listener.messages.size(), 1u);
    EXPECT_EQ(listener.messages[0].attachment.toStdString(), file + ";");
    QFile bitmap(QString::fromStdString(file));
    ASSERT_TRUE(bitmap.open(QIODevice::ReadOnly));
    const QByteArray bytes = bitmap.readAll();
    // 3 pixels of 3 bytes padded to 12 per row, two rows, no palette.
    ASSERT_EQ(bytes.size(), 54 + 24);
    auto u32 = [&](int at) {
        uint32_t v = 0;
        std::memcpy(&v, bytes.constData() + at, 4);
        return v;
    };
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(u32(2), 78u);
    EXPECT_EQ(u32(10), 54u);
    EXPECT_EQ(u32(34), 24u);
    EXPECT_EQ(QImage(QString::fromStdString(file)).size(), QSize(3, 2));
}

TEST_F(AppCommandsTest, AutoMeasureGetsTheCalibrationAndTheFolder)
{
    Start();
    ASSERT_TRUE(Router().Execute(ID_AUTO_MEASURE_APP));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{AppCommandString(appstr::IDS_AUTO_MEASURE_NOT_FOUND)});
    const std::string folder = RootPath("components/applications/Mensurix") + "/";
    Touch(folder + kAutoMeasureProgram);
    CCalibKeeper& current = *TheCalibrationList().GetCurrentCalibration();
    current.SetUnitsPerPixel(0.25);
    current.SetUnit(2);

    TestPeer listener(QStringLiteral("listener"));
    m_startSucceeds = false;
    ASSERT_TRUE(Router().Execute(ID_AUTO_MEASURE_APP));
    EXPECT_EQ(MessageBoxes().Boxes().back().text, AppCommandString(appstr::IDS_AUTO_MEASURE_CANNOT_START));
    m_startSucceeds = true;
    ASSERT_TRUE(Router().Execute(ID_AUTO_MEASURE_APP));
    ASSERT_TRUE(listener.WaitFor(QStringLiteral("VQtoMQ_MSG")));
    ASSERT_EQ(listener.messages.size(), 1u);
    EXPECT_EQ(listener.messages[0].attachment.toStdString(), folder + ";");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), folder + ";");
    QFile info(QString::fromStdString(folder + kAutoMeasureCalibrationFile));
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    // The companion reads the unit's stored name, whatever the language of the session.
    EXPECT_EQ(info.readAll().toStdString(),
              "0.250000\n\xEB\xA7\x88\xEC\x9D\xB4\xED\x81\xAC\xEB\xA1\x9C\xEB\xAF\xB8\xED\x84\xB0");
}

TEST_F(AppCommandsTest, FurtherCompanionProgramReportsWhatKeepsItFromRunning)
{
    Start();
    ASSERT_TRUE(Router().Execute(ID_COMPANION_APP));
    const std::string program = RootPath("jv/Viewer");
    SetProductValue("JV_PRODUCT_PATH", program);
    Touch(program);
    m_startSucceeds = false;
    ASSERT_TRUE(Router().Execute(ID_COMPANION_APP));
    ASSERT_EQ(MessageBoxes().Boxes().size(), 2u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, AppCommandString(appstr::IDS_COMPANION_NOT_FOUND));
    EXPECT_EQ(MessageBoxes().Boxes()[0].type & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(MessageBoxes().Boxes()[1].text, AppCommandString(appstr::IDS_COMPANION_CANNOT_START));
    EXPECT_EQ(m_starts.size(), 1u);
}

TEST_F(AppCommandsTest, PoreScanStartsTheScannerWaitsBoundedAndHandsOverImageAndCalibration)
{
    Start();
    NewImageDocument("A", 8, 6);
    const QString scannerIdentity = QString::fromLatin1(companion::kPoreScanWindowClass);

    // Not installed.
    ASSERT_TRUE(Router().Execute(ID_PORE_SCAN));
    ASSERT_EQ(BoxTexts(), std::vector<std::string>{kPoreScanNotInstalled});
    // Installed, but the program does not start.
    SetProductValue("PoreScanInstPath", RootPath("porescan"));
    m_startSucceeds = false;
    ASSERT_TRUE(Router().Execute(ID_PORE_SCAN));
    EXPECT_EQ(MessageBoxes().Boxes().back().text, kPoreScanInvalidProgram);
    EXPECT_EQ(MessageBoxes().Boxes().back().type & MB_ICONMASK, MB_ICONERROR);
    ASSERT_EQ(m_starts.size(), 1u);
    EXPECT_EQ(m_starts[0].program, RootPath("porescan/PoreScan"));
    // Starts, but never shows its window: the wait ends after its polls and says so.
    m_startSucceeds = true;
    ASSERT_TRUE(Router().Execute(ID_PORE_SCAN));
    EXPECT_EQ(MessageBoxes().Boxes().back().text, kPoreScanNoAnswer);

    // Starts and appears.
    std::unique_ptr<TestPeer> scanner;
    double sharedUpp = 0;
    std::string sharedPath;
    m_onStart = [&] { scanner = std::make_unique<TestPeer>(scannerIdentity); };
    TheCalibrationList().GetCurrentCalibration()->SetUnitsPerPixel(0.5);
    TheCalibrationList().GetCurrentCalibration()->SetUnit(4);  // the unit the scanner reads: no conversion
    const size_t boxes = MessageBoxes().Boxes().size();
    ASSERT_TRUE(Router().Execute(ID_PORE_SCAN));
    ASSERT_NE(scanner, nullptr);
    EXPECT_EQ(MessageBoxes().Boxes().size(), boxes);
    std::vector<QString> names;
    for (const TestPeer::Message& m : scanner->messages)
        names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<QString>{QStringLiteral("PZ PoreScan Calibration"), QStringLiteral("PZ PoreScan Open"),
                                           QStringLiteral("PZ PoreScan ShowWindow")}));
    EXPECT_EQ(scanner->messages.back().wParam, 4);
    NamedMapping calibration, image;
    ASSERT_TRUE(calibration.Open("PZ PoreScan Calibration", 2048));
    ASSERT_TRUE(image.Open("PZ PoreScan Image", 2048));
    ASSERT_TRUE(calibration.Read(0, &sharedUpp, 8));
    sharedPath = image.ReadPrefix(2048).c_str();
    EXPECT_DOUBLE_EQ(sharedUpp, 0.5);
    EXPECT_EQ(sharedPath, CompanionTempFolder() + kPoreScanImageName);
    EXPECT_EQ(QImage(QString::fromStdString(sharedPath)).size(), QSize(8, 6));

    // A scanner already running is not started again.
    const size_t starts = m_starts.size();
    ASSERT_TRUE(Router().Execute(ID_PORE_SCAN));
    EXPECT_EQ(m_starts.size(), starts);

    // An image that cannot be saved is reported, not dropped quietly.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(sharedPath)));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(sharedPath)));
    ASSERT_TRUE(Router().Execute(ID_PORE_SCAN));
    ASSERT_EQ(MessageBoxes().Boxes().size(), boxes + 1);
    EXPECT_EQ(MessageBoxes().Boxes().back().text, kPoreScanHandOverFailed);
}

}  // namespace
