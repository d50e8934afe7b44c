#include "peers/CompanionMailbox.h"

#include "peers/CompanionHost.h"
#include "peers/CompanionMessages.h"
#include "peers/CompanionTempFolder.h"
#include "peers/tests/CompanionTestSupport.h"

#include "core/CCalibrationList.h"
#include "core/CVistrelApp.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "document/DocumentStrings.h"
#include "frame/CMainFrame.h"
#include "profile/CAppProfile.h"
#include "profile/Registry.h"
#include "qvcodec/CQvImageCodec.h"
#include "testing/MessageBoxRecorder.h"
#include "view/CVistrelView.h"
#include "winmsg/LocalPeerBus.h"
#include "winmsg/NamedMapping.h"
#include "winmsg/PeerFolder.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLocalServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace companion;
using namespace peertest;
using testing_support::MessageBoxes;

namespace {

constexpr char kProgramIdentity[] = "vistrel-under-test";

// How long an answer that must come may take on a busy machine; a healthy one comes at once.
constexpr int kAnswerBoundMs = 20000;

bool WaitUntil(const std::function<bool()>& done, int timeoutMs = kAnswerBoundMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// The window side of the program, recorded; documents and calibrations are the real ones of the fixture.
class RecordingHost : public ICompanionHost
{
public:
    RecordingHost(DocumentRegistry& documents, CQvImageCodec& codec, CCalibrationList& calibrations)
        : m_documents(documents), m_codec(codec), m_calibrations(calibrations)
    {
    }
    DocumentRegistry* Documents() override { return &m_documents; }
    CQvImageCodec* Codec() override { return &m_codec; }
    CCalibrationList& Calibrations() override { return m_calibrations; }
    std::string ProgramFolder() override { return programFolder; }
    void RefillCalibrationBoxes() override { calls.push_back("refill"); }
    void RaiseMainWindow() override { calls.push_back("raise"); }
    void ShowMainWindow(int command) override { calls.push_back("show " + std::to_string(command)); }
    void RequestQuit() override { calls.push_back("quit"); }
    void ReinstallDrivers(bool onlyWhenNoneSelected) override
    {
        calls.push_back(onlyWhenNoneSelected ? "install when none selected" : "install");
    }
    void ExecuteCommand(UINT id) override { calls.push_back("command " + std::to_string(id)); }

    std::vector<std::string> calls;
    std::string programFolder = "/nonexistent/";

private:
    DocumentRegistry& m_documents;
    CQvImageCodec& m_codec;
    CCalibrationList& m_calibrations;
};

// A companion program: listens under an identity and keeps what arrives.
struct TestPeer : QObject
{
    struct Message
    {
        QString name;
        qint64 wParam = 0;
        qint64 lParam = 0;
        QByteArray attachment;
    };
    struct Copy
    {
        quint32 code = 0;
        QByteArray bytes;
        QString sender;
    };

    explicit TestPeer(const QString& identity)
    {
        EXPECT_TRUE(bus.Listen(identity));
        connect(&bus, &PeerBus::registeredMessage, this,
                [this](const QString& name, qint64 w, qint64 l, const QByteArray& attachment) {
                    if (onMessage)
                        onMessage(name);
                    messages.push_back({name, w, l, attachment});
                    bus.SetReply(1);
                });
        connect(&bus, &PeerBus::copyData, this, [this](quint32 code, const QByteArray& bytes, const QString& sender) {
            copies.push_back({code, bytes, sender});
            bus.SetReply(1);
        });
    }

    LocalPeerBus bus;
    std::vector<Message> messages;
    std::vector<Copy> copies;
    std::function<void(const QString&)> onMessage;
};

class CompanionMailboxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime.isValid() && config.isValid() && files.isValid());
        setenv("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData(), 1);
        setenv("XDG_CONFIG_HOME", config.path().toUtf8().constData(), 1);
        RegReloadStore();
        codec.Install(files.path().toUtf8().constData());
        MainFrameOptions options;
        options.profile = &profile;
        options.programFolder = "/opt/vistrel";
        frame = std::make_unique<CMainFrame>(options);
        frame->resize(1000, 800);
        frame->show();
        registry = std::make_unique<DocumentRegistry>(&codec);
        registry->AttachMainFrame(frame.get());
        CVistrelDoc::ResetCascadeCounter();
        host = std::make_unique<RecordingHost>(*registry, codec, calibrations);
        ASSERT_TRUE(programBus.Listen(QString::fromLatin1(kProgramIdentity)));
        mailbox = std::make_unique<CompanionMailbox>(programBus, *host);
        mailbox->SetTilingPollInterval(10);
        MessageBoxes().Install();
        MessageBoxes().Reset();
        // A companion killed mid-way leaves its names behind; they are machine-wide, so clear them for this test.
        for (const char* name : {kTlvUnitsPerPixelMapping, kTlvImagePathMapping, kPoreScanCalibrationMapping,
                                 kPoreScanImageMapping})
            ::shm_unlink(NamedMapping::ObjectName(name).c_str());
    }
    void TearDown() override
    {
        MessageBoxes().Reset();
        mailbox.reset();
        registry.reset();
        frame.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        RegReloadStore();
    }

    PeerReply Send(const char* name, qint64 w = 0, qint64 l = 0, const QByteArray& attachment = {})
    {
        return sender.SendMessage(QString::fromLatin1(kProgramIdentity), QString::fromLatin1(name), w, l, kAnswerBoundMs,
                                  attachment);
    }
    PeerReply Copy(quint32 code, const std::string& bytes)
    {
        return sender.SendCopyData(QString::fromLatin1(kProgramIdentity), code, QByteArray::fromStdString(bytes),
                                   kAnswerBoundMs);
    }
    std::string WritePng(const char* name, QRgb colour)
    {
        QImage picture(4, 3, QImage::Format_RGB32);
        picture.fill(colour);
        const QString path = files.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(picture.save(path, "PNG"));
        return path.toStdString();
    }
    std::string WriteBmp(const std::string& path)
    {
        std::ofstream(path, std::ios::binary) << BitmapFile(PackedDibBytes(DibFields{}, 0), 54);
        return path;
    }
    size_t DocumentCount() const { return registry->Documents().size(); }
    static std::string NewImageTitle(int n) { return DocumentString(docstr::IDS_NEW_IMAGE) + "-" + std::to_string(n); }

    QTemporaryDir runtime, config, files;
    CAppProfile profile;
    CQvImageCodec codec;
    CCalibrationList calibrations;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<DocumentRegistry> registry;
    std::unique_ptr<RecordingHost> host;
    LocalPeerBus programBus;
    LocalPeerBus sender;
    std::unique_ptr<CompanionMailbox> mailbox;
};

}  // namespace

TEST_F(CompanionMailboxTest, MessagesWithoutPayloadActOnTheWindowAndTheDrivers)
{
    const struct
    {
        const char* name;
        qint64 wParam, lParam;
        const char* call;  // null: nothing happens
        qint64 result;
    } cases[] = {
        {kVideoRecorderFinished, 0, 0, "install", 1},
        {kExternalCapture, 0, 0, "command 1249", 1},
        {kFromAutoMeasure, 0, 0, "install when none selected", 1},
        {kFromFurtherApplication, 0, 0, "install when none selected", 1},
        {kTlvCommand, kTlvQuit, 0, "quit", 1},
        {kTlvCommand, kTlvShowWindow, 3, "show 3", 1},
        {kTlvCommand, 7, 0, nullptr, 1},
        {kAliveResponse, 0, 0, nullptr, 0},
        {"Somebody Else's Message", 0, 0, nullptr, 0},
    };
    for (const auto& c : cases) {
        host->calls.clear();
        const PeerReply reply = Send(c.name, c.wParam, c.lParam);
        EXPECT_TRUE(reply.delivered) << c.name;
        EXPECT_EQ(reply.result, c.result) << c.name;
        EXPECT_EQ(host->calls, c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{}) << c.name;
    }
    EXPECT_EQ(DocumentCount(), 0u);
}

TEST(CompanionShowCommand, ShowCommandsSetTheWindowState)
{
    QWidget window;
    window.resize(200, 100);
    ApplyShowCommand(window, 5);
    EXPECT_TRUE(window.isVisible());
    ApplyShowCommand(window, 3);
    EXPECT_TRUE(window.isMaximized());
    ApplyShowCommand(window, 6);
    EXPECT_TRUE(window.isMinimized());
    ApplyShowCommand(window, 9);
    EXPECT_FALSE(window.isMinimized() || window.isMaximized());
    ApplyShowCommand(window, 0);
    EXPECT_TRUE(window.isHidden());
}

TEST_F(CompanionMailboxTest, TlvOpenReadsPathAndCalibrationFromSharedMemory)
{
    const std::string path = WritePng("tlv.png", qRgb(1, 2, 3));
    NamedMapping units, image;
    ASSERT_TRUE(units.Create(kTlvUnitsPerPixelMapping, kTlvUnitsPerPixelView));
    ASSERT_TRUE(image.Create(kTlvImagePathMapping, kTlvImagePathView));
    const double upp = 0.125;
    ASSERT_TRUE(units.Write(0, &upp, sizeof upp));
    ASSERT_TRUE(image.Write(0, path.c_str(), path.size() + 1));

    const PeerReply reply = Send(kTlvCommand, kTlvOpenWithCalibration, UNIT_MILLIMETER);
    EXPECT_EQ(reply.result, 1);
    ASSERT_EQ(DocumentCount(), 1u);
    EXPECT_EQ(registry->Documents()[0]->GetPathName(), path);
    const CCalibKeeper& current = *calibrations.GetCurrentCalibration();
    EXPECT_EQ(current.GetName(), CCalibrationList::kTemporaryName);
    EXPECT_DOUBLE_EQ(current.GetUnitsPerPixel(), 0.125);
    EXPECT_DOUBLE_EQ(current.GetMagnification(), -1.0);
    EXPECT_EQ(current.GetUnit(), UNIT_MILLIMETER);
    EXPECT_TRUE(calibrations.GetItems().empty());
    EXPECT_EQ(host->calls, std::vector<std::string>{"refill"});

    // An empty path sets the calibration alone.
    ASSERT_TRUE(image.Write(0, std::string(image.size(), '\0').data(), image.size()));
    Send(kTlvCommand, kTlvOpenWithCalibration, UNIT_MICROMETER);
    EXPECT_EQ(DocumentCount(), 1u);
    EXPECT_EQ(calibrations.GetCurrentCalibration()->GetUnit(), UNIT_MICROMETER);
}

TEST_F(CompanionMailboxTest, TlvOpenWithMissingOrDamagedSharedMemoryChangesNothing)
{
    const std::string path = WritePng("tlv.png", qRgb(1, 2, 3));
    const double good = 0.5;
    const double negative = -1.0;
    const struct
    {
        const char* what;
        size_t unitsBytes;  // 0: no mapping
        double units;
        size_t pathBytes;  // 0: no mapping
        bool terminated;
        qint64 unit;
    } cases[] = {
        {"no units mapping", 0, good, kTlvImagePathView, true, 2},
        {"units mapping too short", 4, good, kTlvImagePathView, true, 2},
        {"no path mapping", kTlvUnitsPerPixelView, good, 0, true, 2},
        {"path without terminator", kTlvUnitsPerPixelView, good, kTlvImagePathView, false, 2},
        {"units per pixel below 0", kTlvUnitsPerPixelView, negative, kTlvImagePathView, true, 2},
        {"unit out of range", kTlvUnitsPerPixelView, good, kTlvImagePathView, true, 8},
    };
    for (const auto& c : cases) {
        NamedMapping units, image;
        if (c.unitsBytes) {
            ASSERT_TRUE(units.Create(kTlvUnitsPerPixelMapping, c.unitsBytes));
            ASSERT_TRUE(units.Write(0, &c.units, std::min(sizeof c.units, c.unitsBytes)));
        }
        if (c.pathBytes) {
            ASSERT_TRUE(image.Create(kTlvImagePathMapping, c.pathBytes));
            ASSERT_TRUE(image.Write(0, std::string(c.pathBytes, 'a').data(), c.pathBytes));
            if (c.terminated) {
                ASSERT_TRUE(image.Write(0, path.c_str(), path.size() + 1));
            }
        }
        host->calls.clear();
        EXPECT_EQ(Send(kTlvCommand, kTlvOpenWithCalibration, c.unit).result, 1) << c.what;
        EXPECT_EQ(DocumentCount(), 0u) << c.what;
        EXPECT_EQ(calibrations.GetCurrentCalibration()->GetName(), "") << c.what;
        EXPECT_TRUE(host->calls.empty()) << c.what;
    }
}

// Anyone may create a shared-memory name first: what another user made, or what others may write, is not believed.
TEST_F(CompanionMailboxTest, TlvOpenIgnoresMappingsOthersCouldHaveWritten)
{
    const std::string planted = WritePng("planted.png", qRgb(9, 9, 9));
    const struct
    {
        const char* what;
        bool otherOwner;
        mode_t mode;
    } cases[] = {
        {"another user's mappings", true, 0600},
        {"mappings others may write", false, 0666},
    };
    for (const auto& c : cases) {
        std::vector<int> held;
        bool handedToOtherUser = true;
        for (const auto& [name, bytes] : {std::pair{kTlvUnitsPerPixelMapping, std::string("\0\0\0\0\0\0\xF0?", 8)},
                                           std::pair{kTlvImagePathMapping, planted + '\0'}}) {
            const int fd = ::shm_open(NamedMapping::ObjectName(name).c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
            ASSERT_GE(fd, 0) << c.what;
            held.push_back(fd);
            ASSERT_EQ(::ftruncate(fd, 4096), 0);
            ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
            ASSERT_EQ(::fchmod(fd, c.mode), 0);
            if (c.otherOwner)
                handedToOtherUser = handedToOtherUser && ::fchown(fd, 65534, 65534) == 0;
        }
        if (handedToOtherUser) {
            EXPECT_EQ(Send(kTlvCommand, kTlvOpenWithCalibration, UNIT_MILLIMETER).result, 1) << c.what;
            EXPECT_EQ(DocumentCount(), 0u) << c.what;
            EXPECT_EQ(calibrations.GetCurrentCalibration()->GetName(), "") << c.what;
        }
        for (const int fd : held)
            ::close(fd);
        for (const char* name : {kTlvUnitsPerPixelMapping, kTlvImagePathMapping})
            ::shm_unlink(NamedMapping::ObjectName(name).c_str());
    }
}

// A companion that shrinks its mappings while the program reads them costs the request, never the program.
TEST_F(CompanionMailboxTest, TlvMappingsShrinkingUnderTheReaderAreRefusedNotAFault)
{
    NamedMapping units, image;
    ASSERT_TRUE(units.Create(kTlvUnitsPerPixelMapping, kTlvUnitsPerPixelView));
    ASSERT_TRUE(image.Create(kTlvImagePathMapping, kTlvImagePathView));
    const double upp = 0.125;
    const std::string unitsBlock(reinterpret_cast<const char*>(&upp), sizeof upp);

    // Shrunk before the program looks: refused.
    ASSERT_TRUE(units.Write(0, unitsBlock.data(), unitsBlock.size()));
    const int unitsFd = ::shm_open(NamedMapping::ObjectName(kTlvUnitsPerPixelMapping).c_str(), O_RDWR, 0);
    const int pathFd = ::shm_open(NamedMapping::ObjectName(kTlvImagePathMapping).c_str(), O_RDWR, 0);
    ASSERT_GE(unitsFd, 0);
    ASSERT_GE(pathFd, 0);
    ASSERT_EQ(::ftruncate(pathFd, 16), 0);
    ASSERT_EQ(::pwrite(pathFd, std::string(16, 'a').data(), 16, 0), 16);
    EXPECT_EQ(Send(kTlvCommand, kTlvOpenWithCalibration, UNIT_MILLIMETER).result, 1);
    EXPECT_EQ(DocumentCount(), 0u) << "a path without its end within the block";

    // Shrunk and grown again, over and over, while the program reads (grown back zeroed: an empty path, the
    // calibration alone).
    std::atomic<bool> stop{false};
    std::thread companion([&] {
        while (!stop.load()) {
            (void)::ftruncate(pathFd, 0);
            (void)::ftruncate(pathFd, static_cast<off_t>(kTlvImagePathView));
            (void)::ftruncate(unitsFd, 0);
            (void)::ftruncate(unitsFd, static_cast<off_t>(kTlvUnitsPerPixelView));
            (void)::pwrite(unitsFd, unitsBlock.data(), unitsBlock.size(), 0);
        }
    });
    for (int i = 0; i < 500; ++i)
        EXPECT_EQ(Send(kTlvCommand, kTlvOpenWithCalibration, UNIT_MILLIMETER).result, 1);
    stop = true;
    companion.join();
    ::close(unitsFd);
    ::close(pathFd);
    // What was taken was whole: the companion's calibration, or nothing.
    EXPECT_EQ(DocumentCount(), 0u);
    const CCalibKeeper& current = *calibrations.GetCurrentCalibration();
    if (current.GetName() == CCalibrationList::kTemporaryName)
        EXPECT_DOUBLE_EQ(current.GetUnitsPerPixel(), 0.125);
    else
        EXPECT_EQ(current.GetName(), "");
}

TEST_F(CompanionMailboxTest, NewDocFileBecomesANewImageAndIsDeleted)
{
    const std::string folder = CompanionTempFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.rfind(PeerFolder().toStdString(), 0), 0u);
    const std::string path = WriteBmp(folder + kNewDocFileName);
    EXPECT_EQ(Send(kNewDocFromFile).result, 1);
    ASSERT_EQ(DocumentCount(), 1u);
    CVistrelDoc* doc = registry->Documents()[0];
    EXPECT_EQ(doc->GetTitle(), NewImageTitle(0));
    EXPECT_EQ(doc->GetImage().GetWidth(), 3);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));

    // A damaged file makes nothing and is still removed; a missing one makes nothing.
    std::ofstream(path, std::ios::binary) << BitmapFile(PackedDibBytes(DibFields{}, 0), 54).substr(0, 60);
    EXPECT_EQ(Send(kNewDocFromFile).result, 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
    EXPECT_EQ(Send(kNewDocFromFile).result, 0);
    EXPECT_EQ(DocumentCount(), 1u);
}

TEST_F(CompanionMailboxTest, ImageDatabaseListOpensImagesAndBitmapsIgnoringTheUnterminatedLast)
{
    const std::string jpeg = WritePng("first.png", qRgb(10, 20, 30));
    const std::string bitmap = WriteBmp(files.filePath("second.BMP").toStdString());
    const std::string third = WritePng("third.png", qRgb(1, 1, 1));
    const std::string list = jpeg + ";" + bitmap + ";" + third;
    EXPECT_EQ(Send(kFromImageDatabase, 0, 0, QByteArray::fromStdString(list)).result, 1);
    ASSERT_EQ(DocumentCount(), 2u);
    EXPECT_EQ(registry->Documents()[0]->GetPathName(), jpeg);
    EXPECT_EQ(registry->Documents()[1]->GetTitle().rfind(DocumentString(docstr::IDS_NEW_IMAGE) + "-", 0), 0u);
    EXPECT_EQ(registry->Documents()[1]->GetImage().GetWidth(), 3);

    // Without an attachment the list comes from the clipboard.
    QGuiApplication::clipboard()->setText(QString::fromStdString(third + ";"));
    EXPECT_EQ(Send(kFromImageDatabase).result, 1);
    ASSERT_EQ(DocumentCount(), 3u);
    EXPECT_EQ(registry->Documents()[2]->GetPathName(), third);

    // Empty lists and lists of separators open nothing.
    for (const char* empty : {"", ";;", "no-separator.png"}) {
        QGuiApplication::clipboard()->setText(QString::fromLatin1(empty));
        EXPECT_EQ(Send(kFromImageDatabase).result, 0) << empty;
    }
    EXPECT_EQ(DocumentCount(), 3u);
    EXPECT_TRUE(MessageBoxes().Boxes().empty());
}

TEST_F(CompanionMailboxTest, PathListHelpersKeepToTheirBounds)
{
    EXPECT_EQ(SplitCompanionPathList("a.jpg;b.bmp;c"), (std::vector<std::string>{"a.jpg", "b.bmp"}));
    EXPECT_EQ(SplitCompanionPathList(QByteArray("a;\0b;", 5)), std::vector<std::string>{"a"});
    EXPECT_EQ(PathFromBlock(QByteArray("/x.png\0junk", 11)), "/x.png");
    EXPECT_EQ(PathFromBlock(QByteArray(260, 'a')), "");
    EXPECT_EQ(PathFromBlock(QByteArray(300, 'a').append('\0')), "");  // terminator beyond 260 bytes
    EXPECT_EQ(PathFromBlock(QByteArray()), "");
}

TEST_F(CompanionMailboxTest, AliveRequestIsAnsweredByBroadcastWithNoDocumentOpen)
{
    TestPeer peer(QStringLiteral("alive-asker"));
    EXPECT_TRUE(sender.PostMessage(QString::fromLatin1(kProgramIdentity), QString::fromLatin1(kAliveRequest), 0, 0));
    ASSERT_TRUE(WaitUntil([&] { return !peer.messages.empty(); }));
    EXPECT_EQ(peer.messages[0].name, QString::fromLatin1(kAliveResponse));
    EXPECT_EQ(peer.messages[0].wParam, 0);
    EXPECT_EQ(peer.messages[0].lParam, 0);
    EXPECT_EQ(DocumentCount(), 0u);
}

TEST_F(CompanionMailboxTest, CopiedDibsAndPathsBecomeModifiedDocuments)
{
    DibFields grey;
    grey.bits = 8;
    EXPECT_EQ(Copy(kCopyPackedDib, PackedDibBytes(grey, 256)).result, 1);
    ASSERT_EQ(DocumentCount(), 1u);
    CVistrelDoc* tiled = registry->Documents()[0];
    EXPECT_EQ(tiled->GetTitle(), kTilingImageTitle);
    EXPECT_TRUE(tiled->IsModified());
    EXPECT_EQ(tiled->GetImage().GetColorModel(), QV_GRAY8);
    EXPECT_EQ(tiled->GetImage().Get2DBuffer()[1][0], 1);

    const std::string path = WritePng("copied.image.png", qRgb(200, 100, 50));
    for (quint32 code : {kCopyImagePath, kCopyImagePathAgain}) {
        std::string block(kPathBlockBytes, '\0');
        std::memcpy(block.data(), path.data(), path.size());
        EXPECT_EQ(Copy(code, block).result, 1) << code;
        CVistrelDoc* doc = registry->Documents().back();
        EXPECT_EQ(doc->GetTitle(), "copied.image") << code;
        EXPECT_TRUE(doc->IsModified()) << code;
        EXPECT_EQ(doc->GetImage().GetWidth(), 4) << code;
    }
    EXPECT_EQ(DocumentCount(), 3u);
    // The fit-to-window setting (on by default) fits the new views.
    ASSERT_NE(registry->Documents().back()->GetImageView(), nullptr);
    EXPECT_TRUE(registry->Documents().back()->GetImageView()->IsZoomFit());
}

TEST_F(CompanionMailboxTest, MalformedCopyDataIsRefusedAndChangesNothing)
{
    DibFields grey;
    grey.bits = 8;
    const std::string good = PackedDibBytes(grey, 256);
    DibFields lying = grey;
    lying.height = 1000;
    DibFields colours = grey;
    colours.coloursUsed = 100000;
    std::string unterminated(kPathBlockBytes, 'a');
    std::string missing(kPathBlockBytes, '\0');
    std::memcpy(missing.data(), "/nonexistent/x.png", 18);

    const struct
    {
        const char* what;
        quint32 code;
        std::string bytes;
        qint64 result;
    } cases[] = {
        {"DIB whose height lies", kCopyPackedDib, PackedDibBytes(lying, 256).substr(0, good.size()), 0},
        {"DIB with a colour count beyond the block", kCopyPackedDib, good.substr(0, 40) + std::string(1024, 0), 0},
        {"DIB with an absurd colour count", kCopyPackedDib, InfoHeader(colours) + good.substr(40), 0},
        {"DIB cut in its header", kCopyPackedDib, good.substr(0, 39), 0},
        {"empty block", kCopyPackedDib, "", 0},
        {"path without terminator", kCopyImagePath, unterminated, 0},
        {"path of a file that is not there", kCopyImagePathAgain, missing, 0},
        {"ignored path", kCopyPathIgnored, "/some/path.png", 1},
        {"unknown code", 4242, "x", 0},
    };
    for (const auto& c : cases) {
        const PeerReply reply = Copy(c.code, c.bytes);
        EXPECT_TRUE(reply.delivered) << c.what;
        EXPECT_EQ(reply.result, c.result) << c.what;
        EXPECT_EQ(DocumentCount(), 0u) << c.what;
    }
    EXPECT_TRUE(MessageBoxes().Boxes().empty());
}

TEST_F(CompanionMailboxTest, OutgoingMessagesArriveWithTheirNamesAndPayloads)
{
    TestPeer database(QStringLiteral("image-database"));
    TestPeer tiling(CompanionMailbox::TilingTitle());
    EXPECT_EQ(tiling.bus.Identity(), QStringLiteral("Image Tiling (64)"));

    EXPECT_GE(mailbox->BroadcastWithText(kToImageDatabase, "/tmp/x/Doc.bmp;"), 2);
    ASSERT_TRUE(WaitUntil([&] { return !database.messages.empty(); }));
    EXPECT_EQ(database.messages[0].name, QString::fromLatin1(kToImageDatabase));
    EXPECT_EQ(database.messages[0].attachment, QByteArray("/tmp/x/Doc.bmp;"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("/tmp/x/Doc.bmp;"));

    EXPECT_TRUE(mailbox->SendCapturePathToTiling("/run/capture0.bmp"));
    ASSERT_EQ(tiling.copies.size(), 1u);
    EXPECT_EQ(tiling.copies[0].code, kCopyImagePath);
    EXPECT_EQ(tiling.copies[0].bytes.size(), 260);
    EXPECT_EQ(tiling.copies[0].bytes.left(18), QByteArray("/run/capture0.bmp\0", 18));
    EXPECT_EQ(tiling.copies[0].bytes.count('\0'), 260 - 17);
    EXPECT_FALSE(mailbox->SendCapturePathToTiling(std::string(260, 'p')));

    mailbox->NotifyTilingClosing();
    ASSERT_EQ(tiling.copies.size(), 2u);
    EXPECT_EQ(tiling.copies[1].code, kCopyTilingClosing);
    EXPECT_EQ(tiling.copies[1].bytes, QByteArray(10, '\0'));

    bool found = false;
    QObject::connect(mailbox.get(), &CompanionMailbox::tilingStarted, [&](bool ok) { found = ok; });
    mailbox->StartImageTiling();
    ASSERT_TRUE(WaitUntil([&] { return tiling.copies.size() == 3; }));
    EXPECT_TRUE(found);
    EXPECT_EQ(tiling.copies[2].code, kCopyTilingHello);
    EXPECT_EQ(tiling.copies[2].bytes.size(), 10);
    EXPECT_EQ(tiling.copies[2].bytes.left(tiling.copies[2].bytes.indexOf('\0')), QByteArray::number(::getpid()));
    EXPECT_EQ(tiling.copies[2].sender, QString::fromLatin1(kProgramIdentity));
}

TEST_F(CompanionMailboxTest, PoreScanHandOverFillsTheMappingsBeforeItsMessages)
{
    TestPeer scanner(QString::fromLatin1(kPoreScanWindowClass));
    double seenCalibration = 0;
    std::string seenPath;
    scanner.onMessage = [&](const QString& name) {
        NamedMapping mapping;
        if (name == QLatin1String(kPoreScanCalibration) && mapping.Open(kPoreScanCalibrationMapping, 8))
            mapping.Read(0, &seenCalibration, 8);
        if (name == QLatin1String(kPoreScanOpen) && mapping.Open(kPoreScanImageMapping, kPoreScanMappingBytes))
            seenPath = mapping.ReadPrefix(kPoreScanMappingBytes).c_str();
    };
    EXPECT_TRUE(mailbox->HandOverToPoreScan(scanner.bus.Identity(), 0.004, "/home/u/PoreScanImage.jpg"));
    ASSERT_EQ(scanner.messages.size(), 3u);
    EXPECT_EQ(scanner.messages[0].name, QString::fromLatin1(kPoreScanCalibration));
    EXPECT_EQ(scanner.messages[1].name, QString::fromLatin1(kPoreScanOpen));
    EXPECT_EQ(scanner.messages[2].name, QString::fromLatin1(kPoreScanShowWindow));
    EXPECT_EQ(scanner.messages[2].wParam, 4);
    EXPECT_DOUBLE_EQ(seenCalibration, 0.004);
    EXPECT_EQ(seenPath, "/home/u/PoreScanImage.jpg");
    EXPECT_FALSE(mailbox->HandOverToPoreScan(QStringLiteral("nobody"), 0.004, "/x.jpg"));
}

// A mapping name someone else holds open to others is never handed the image path.
TEST_F(CompanionMailboxTest, PoreScanHandOverRefusesAMappingOthersCanRead)
{
    TestPeer scanner(QString::fromLatin1(kPoreScanWindowClass));
    const int fd = ::shm_open(NamedMapping::ObjectName(kPoreScanImageMapping).c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kPoreScanMappingBytes)), 0);
    ASSERT_EQ(::fchmod(fd, 0644), 0);
    EXPECT_FALSE(mailbox->HandOverToPoreScan(scanner.bus.Identity(), 0.004, "/home/u/PoreScanImage.jpg"));
    EXPECT_TRUE(scanner.messages.empty());
    char first = 'x';
    EXPECT_EQ(::pread(fd, &first, 1, 0), 1);
    EXPECT_EQ(first, '\0') << "the path never reached the object";
    ::close(fd);
    ::shm_unlink(NamedMapping::ObjectName(kPoreScanImageMapping).c_str());
}

TEST_F(CompanionMailboxTest, TilingToolThatCannotStartOrNeverShowsIsReported)
{
    bool reported = false;
    bool found = true;
    QObject::connect(mailbox.get(), &CompanionMailbox::tilingStarted, [&](bool ok) {
        reported = true;
        found = ok;
    });
    mailbox->StartImageTiling();  // no program in the folder
    EXPECT_TRUE(reported);
    EXPECT_FALSE(found);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].type & MB_ICONMASK, MB_ICONERROR);

    // A tool that starts but never shows its window: 50 polls, then the same message.
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("components/Plug-Ins/Image Tiling(64)"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile tool(folder + QStringLiteral("/MosaicJoin64"));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\nexit 0\n");
    tool.close();
    tool.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    host->programFolder = root.path().toStdString() + "/";
    reported = false;
    mailbox->StartImageTiling();
    EXPECT_FALSE(reported);
    ASSERT_TRUE(WaitUntil([&] { return reported; }));
    EXPECT_FALSE(found);
    EXPECT_EQ(MessageBoxes().Boxes().size(), 2u);
}

TEST_F(CompanionMailboxTest, APeerThatNeverAnswersTimesOut)
{
    // Takes the connection and the bytes, and never replies.
    QLocalServer silent;
    ASSERT_TRUE(silent.listen(PeerSocketPath(CompanionMailbox::TilingTitle())));
    std::vector<QLocalSocket*> held;
    QObject::connect(&silent, &QLocalServer::newConnection, [&] { held.push_back(silent.nextPendingConnection()); });
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(mailbox->SendCapturePathToTiling("/run/capture0.bmp"));
    // It waited for the answer before giving up (the bus counts its time a little coarsely).
    EXPECT_GE(timer.elapsed(), kPeerSendTimeoutMs - 500);
}
