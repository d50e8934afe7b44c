// The main window's mailbox for companion programs, past the decoding of the frames (winmsg_frame): registered
// messages, copy-data blocks, the shared-memory mappings of the calibrated open and the files companions hand over,
// in any order and with any contents (CompanionMailboxInput.h). Whatever arrives, every message is answered 0 or
// 1, the calibrated open is always answered, and the program's documents stay consistent.
#include "CompanionMailboxInput.h"
#include "FuzzSupport.h"
#include "FuzzTarget.h"
#include "ScratchRegistry.h"

#include "core/CCalibrationList.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "frame/CMainFrame.h"
#include "peers/CompanionHost.h"
#include "peers/CompanionMailbox.h"
#include "peers/CompanionTempFolder.h"
#include "profile/CAppProfile.h"
#include "qvcodec/CQvImageCodec.h"
#include "ui/MessageBox.h"
#include "winmsg/NamedMapping.h"
#include "winmsg/PeerBus.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>

#include <cstring>
#include <filesystem>
#include <memory>

#include <stdlib.h>
#include <sys/stat.h>

using namespace mailbox_input;

namespace {

// The bus of the program's main window, as far as the mailbox sees it: the target emits what arrives and keeps
// the answer; nothing leaves.
class FuzzPeerBus : public PeerBus
{
public:
    bool Listen(const QString&) override { return true; }
    void Close() override {}
    QString Identity() const override { return {}; }
    bool FindWindow(const QString&) override { return false; }
    bool PostMessage(const QString&, const QString&, qint64, qint64, const QByteArray&) override { return false; }
    int Broadcast(const QString&, qint64, qint64, const QByteArray&) override { return 0; }
    PeerReply SendMessage(const QString&, const QString&, qint64, qint64, int, const QByteArray&) override
    {
        return {};
    }
    PeerReply SendCopyData(const QString&, quint32, const QByteArray&, int) override { return {}; }
    void SetReply(qint64 result) override { reply = result; }

    qint64 reply = -1;
};

class FuzzCompanionHost : public ICompanionHost
{
public:
    FuzzCompanionHost(DocumentRegistry& documents, CQvImageCodec& codec, std::string folder)
        : m_documents(documents), m_codec(codec), m_folder(std::move(folder))
    {
    }
    DocumentRegistry* Documents() override { return &m_documents; }
    CQvImageCodec* Codec() override { return &m_codec; }
    CCalibrationList& Calibrations() override { return m_calibrations; }
    std::string ProgramFolder() override { return m_folder; }
    void RefillCalibrationBoxes() override {}
    void RaiseMainWindow() override {}
    void ShowMainWindow(int) override {}
    void RequestQuit() override {}
    void ReinstallDrivers(bool) override {}
    void ExecuteCommand(UINT) override {}

private:
    DocumentRegistry& m_documents;
    CQvImageCodec& m_codec;
    CCalibrationList m_calibrations;
    std::string m_folder;
};

struct Program
{
    Program()
    {
        EnsureFuzzApplication();
        UseScratchRegistry();
        // The exchange folder and the mappings' names follow the runtime folder: keep both inside the scratch one.
        const std::string runtime = FuzzScratchFolder() + "/runtime";
        std::filesystem::create_directories(runtime);
        ::chmod(runtime.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        files = FuzzScratchFolder() + "/files/";
        std::filesystem::create_directories(files);
        ::mkfifo((files + "fifo.png").c_str(), 0600);
#if defined(VISTREL_LIBFUZZER)
        // The replay test answers through its recorder; here nobody would press a button.
        SetMessageBoxHook([](const MessageBoxRequest&) { return IDOK; });
#endif
        codec.Install("");
        MainFrameOptions options;
        options.profile = &profile;
        options.programFolder = files;
        frame = std::make_unique<CMainFrame>(options);
        frame->resize(800, 600);
        frame->show();
        registry = std::make_unique<DocumentRegistry>(&codec);
        registry->AttachMainFrame(frame.get());
        host = std::make_unique<FuzzCompanionHost>(*registry, codec, files);
        mailbox = std::make_unique<CompanionMailbox>(bus, *host);
    }

    std::string files;
    CAppProfile profile;
    CQvImageCodec codec;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<DocumentRegistry> registry;
    std::unique_ptr<FuzzCompanionHost> host;
    FuzzPeerBus bus;
    std::unique_ptr<CompanionMailbox> mailbox;
};

int64_t Le64(const uint8_t* bytes)
{
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v |= static_cast<uint64_t>(bytes[i]) << (8 * i);
    return static_cast<int64_t>(v);
}

// Paths of the input kept inside `folder`: the folder before the first and after every ';', no '/' of the input's.
QByteArray ConfinedPaths(const std::string& folder, const uint8_t* data, size_t size, bool list)
{
    QByteArray out = QByteArray::fromStdString(folder);
    for (size_t i = 0; i < size; ++i) {
        const char ch = static_cast<char>(data[i]);
        out.append(ch == '/' ? '_' : ch);
        if (list && ch == ';')
            out.append(QByteArray::fromStdString(folder));
    }
    return out;
}

}  // namespace

VISTREL_FUZZ_TARGET(companion_mailbox)
{
    static Program& program = *new Program;
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->clear();
    std::vector<NamedMapping> mappings;
    for (size_t at = 0; at + 3 <= size;) {
        const uint8_t kind = data[at] % 4;
        const size_t length = std::min<size_t>(data[at + 1] | data[at + 2] << 8, size - at - 3);
        const uint8_t* payload = data + at + 3;
        at += 3 + length;
        if (length == 0)
            continue;
        program.bus.reply = -1;
        switch (kind) {
        case kMessage: {
            if (length < 17)
                break;
            const size_t name = payload[0] % std::size(kMessageNames);
            const int64_t wParam = Le64(payload + 1);
            const int64_t lParam = Le64(payload + 9);
            const bool pathList = name == 4;
            const QByteArray attachment =
                pathList && length > 17
                    ? ConfinedPaths(program.files, payload + 17, length - 17, true)
                    : QByteArray(reinterpret_cast<const char*>(payload + 17), static_cast<qsizetype>(length - 17));
            emit program.bus.registeredMessage(QString::fromLatin1(kMessageNames[name]), wParam, lParam, attachment);
            FuzzCheck(program.bus.reply == 0 || program.bus.reply == 1, "every message is answered 0 or 1");
            if (name == 0)
                FuzzCheck(program.bus.reply == 1, "every command is answered 1");
            break;
        }
        case kCopy: {
            size_t skip = 1;
            uint32_t code = 0;
            if (payload[0] < std::size(kCopyCodes)) {
                code = kCopyCodes[payload[0]];
            } else if (length >= 5) {
                code = payload[1] | payload[2] << 8 | payload[3] << 16 | uint32_t(payload[4]) << 24;
                skip = 5;
            } else {
                break;
            }
            const bool path = code == 9006 || code == 9009;
            const QByteArray block =
                path ? ConfinedPaths(program.files, payload + skip, length - skip, false)
                     : QByteArray(reinterpret_cast<const char*>(payload + skip), static_cast<qsizetype>(length - skip));
            emit program.bus.copyData(code, block, QString());
            FuzzCheck(program.bus.reply == 0 || program.bus.reply == 1, "every copy is answered 0 or 1");
            break;
        }
        case kMapping: {
            const bool pathMapping = payload[0] & 1;
            const QByteArray contents =
                pathMapping ? ConfinedPaths(program.files, payload + 1, length - 1, false)
                            : QByteArray(reinterpret_cast<const char*>(payload + 1), static_cast<qsizetype>(length - 1));
            if (contents.isEmpty())
                break;
            NamedMapping mapping;
            const size_t size = static_cast<size_t>(contents.size());
            if (mapping.Create(pathMapping ? "TLV Image Path" : "TLV UPP", size) &&
                mapping.Write(0, contents.constData(), size))
                mappings.push_back(std::move(mapping));
            break;
        }
        case kFile: {
            const size_t which = payload[0] % std::size(kFileNames);
            const std::string path =
                which == 0 ? CompanionTempFolder() + kFileNames[0] : program.files + kFileNames[which];
            WriteFuzzFile(path, payload + 1, length - 1);
            break;
        }
        }
    }
    for (CVistrelDoc* doc : std::vector<CVistrelDoc*>(program.registry->Documents()))
        doc->OnCloseDocument();
    FuzzCheck(program.registry->Documents().empty(), "every document closes");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Nothing handed over stays for the next input.
    std::error_code ignored;
    std::filesystem::remove(CompanionTempFolder() + kFileNames[0], ignored);
    for (size_t i = 1; i < std::size(kFileNames); ++i)
        std::filesystem::remove(program.files + kFileNames[i], ignored);
    return 0;
}
