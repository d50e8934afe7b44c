#include "peers/CompanionMailbox.h"

#include "peers/CompanionHost.h"
#include "peers/CompanionMessages.h"
#include "peers/CompanionStrings.h"
#include "peers/CompanionTempFolder.h"

#include "core/CAppEnvironment.h"
#include "core/CCalibrationList.h"
#include "core/CVistrelApp.h"
#include "core/VistrelIni.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentCreation.h"
#include "document/DocumentRegistry.h"
#include "document/DocumentStrings.h"
#include "frame/CommandIds.h"
#include "view/CVistrelView.h"

#include "qvcodec/CQvImageCodec.h"
#include "qvimage/CQvImage.h"
#include "strings/Format.h"
#include "strings/StoredText.h"
#include "ui/MessageBox.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

using namespace companion;

namespace {

// Polls for the tiling tool's window before giving up.
constexpr int kTilingPolls = 50;
// A closing program waits this long at most for the tiling tool to take its notice.
constexpr int kClosingNoticeTimeoutMs = 2000;
// ShowWindow's SW_SHOWNOACTIVATE, the pore scanner's show command.
constexpr qint64 kShowNoActivate = 4;

bool Is(const QString& name, const char* expected)
{
    return name == QLatin1String(expected);
}

}  // namespace

std::vector<std::string> SplitCompanionPathList(const QByteArray& text)
{
    const qsizetype end = text.indexOf('\0');
    const std::string list = StoredTextToUtf8(text.left(end < 0 ? text.size() : end).toStdString());
    std::vector<std::string> paths;
    size_t start = 0;
    // Only entries closed by a ';' count: the text after the last one is ignored.
    for (size_t separator = list.find(';'); separator != std::string::npos; separator = list.find(';', start)) {
        if (separator > start)
            paths.push_back(list.substr(start, separator - start));
        start = separator + 1;
    }
    return paths;
}

bool ParseTlvHandOver(const std::string& unitsBlock, const std::string& pathWindow, TlvHandOver& handOver)
{
    if (unitsBlock.size() < sizeof(double))
        return false;
    uint64_t bits = 0;
    for (size_t i = 0; i < sizeof bits; ++i)
        bits |= uint64_t{static_cast<uint8_t>(unitsBlock[i])} << (8 * i);
    double unitsPerPixel = 0;
    std::memcpy(&unitsPerPixel, &bits, sizeof unitsPerPixel);
    const size_t end = pathWindow.find('\0');
    if (end == std::string::npos || !std::isfinite(unitsPerPixel) || unitsPerPixel <= 0)
        return false;
    handOver.unitsPerPixel = unitsPerPixel;
    handOver.path = StoredTextToUtf8(pathWindow.substr(0, end));
    return true;
}

std::string PathFromBlock(const QByteArray& bytes)
{
    const QByteArray window = bytes.left(static_cast<qsizetype>(kPathBlockBytes));
    const qsizetype end = window.indexOf('\0');
    if (end <= 0)
        return {};
    return StoredTextToUtf8(window.left(end).toStdString());
}

CompanionMailbox::CompanionMailbox(PeerBus& bus, ICompanionHost& host, QObject* parent)
    : QObject(parent), m_bus(&bus), m_host(host)
{
    // Direct: a sent message's answer is set while the sender waits for it.
    connect(&bus, &PeerBus::registeredMessage, this, &CompanionMailbox::OnMessage, Qt::DirectConnection);
    connect(&bus, &PeerBus::copyData, this, &CompanionMailbox::OnCopyData, Qt::DirectConnection);
    // Made now, so that a companion finds the exchange folder before the program's first message needs it.
    CompanionTempFolder();
}

CompanionMailbox::~CompanionMailbox() = default;

// ---- incoming

void CompanionMailbox::OnMessage(const QString& name, qint64 wParam, qint64 lParam, const QByteArray& attachment)
{
    if (!m_bus)
        return;
    bool handled = false;
    if (Is(name, kTlvCommand)) {
        OnTlvCommand(wParam, lParam);
        // Every command is answered with 1, the unknown and the refused ones too.
        handled = true;
    } else if (Is(name, kNewDocFromFile)) {
        const std::string folder = CompanionTempFolder();
        if (!folder.empty()) {
            const std::string path = folder + kNewDocFileName;
            handled = NewDocumentFromBitmapFile(path);
            std::error_code error;
            std::filesystem::remove(path, error);
        }
    } else if (Is(name, kVideoRecorderFinished)) {
        m_host.ReinstallDrivers(false);
        handled = true;
    } else if (Is(name, kExternalCapture)) {
        m_host.ExecuteCommand(ID_IMAGE_CAPTURE);
        handled = true;
    } else if (Is(name, kFromImageDatabase)) {
        QByteArray list = attachment;
        if (list.isEmpty())
            if (const QClipboard* clipboard = QGuiApplication::clipboard())
                list = clipboard->text().toUtf8();
        handled = OpenPathList(list);
    } else if (Is(name, kFromAutoMeasure) || Is(name, kFromFurtherApplication)) {
        m_host.ReinstallDrivers(true);
        handled = true;
    } else if (Is(name, kAliveRequest)) {
        // Answered even with no document open: the companion only asks whether the program runs.
        m_bus->Broadcast(QString::fromLatin1(kAliveResponse), 0, 0);
        handled = true;
    }
    m_bus->SetReply(handled ? 1 : 0);
}

bool CompanionMailbox::OnTlvCommand(qint64 command, qint64 argument)
{
    switch (command) {
    case kTlvOpenWithCalibration:
        return OpenWithCalibration(argument < INT32_MIN || argument > INT32_MAX ? -1 : static_cast<int>(argument));
    case kTlvQuit:
        m_host.RequestQuit();
        return true;
    case kTlvShowWindow:
        m_host.ShowMainWindow(argument < INT32_MIN || argument > INT32_MAX ? -1 : static_cast<int>(argument));
        return true;
    default:
        return false;
    }
}

bool CompanionMailbox::OpenWithCalibration(int unit)
{
    // Both mappings are read whole before anything changes: a missing or damaged one leaves the program as it is.
    // The companion may change or shrink them meanwhile; what is read is what counts.
    NamedMapping unitsMapping, pathMapping;
    if (unit < 0 || unit >= kUnitTypeCount || !unitsMapping.Open(kTlvUnitsPerPixelMapping, sizeof(double))
        || !pathMapping.Open(kTlvImagePathMapping, 1))
        return false;
    TlvHandOver handOver;
    if (!ParseTlvHandOver(unitsMapping.ReadPrefix(kTlvUnitsPerPixelView), pathMapping.ReadPrefix(kTlvImagePathView),
                          handOver))
        return false;
    unitsMapping.Close();
    pathMapping.Close();

    if (!handOver.path.empty())
        if (DocumentRegistry* documents = m_host.Documents())
            documents->OpenDocumentFile(handOver.path);

    CCalibrationList& calibrations = m_host.Calibrations();
    CCalibKeeper calibration = *calibrations.GetCurrentCalibration();
    calibration.SetName(CCalibrationList::kTemporaryName);
    calibration.SetUnitsPerPixel(handOver.unitsPerPixel);
    calibration.SetMagnification(-1.0);
    calibration.SetUnit(unit);
    // The temporary name never enters the list: this becomes the current calibration only.
    calibrations.StoreCalibration(calibration);
    m_host.RefillCalibrationBoxes();
    return true;
}

bool CompanionMailbox::NewDocumentFromBitmapFile(const std::string& path)
{
    PackedDib dib;
    CQvImage image;
    if (!ReadBitmapFile(path, dib) || !PackedDibToImage(dib, image))
        return false;
    DocumentRegistry* documents = m_host.Documents();
    if (!documents)
        return false;
    const std::string title =
        Format("%s-%d", DocumentString(docstr::IDS_NEW_IMAGE).c_str(), CVistrelDoc::CascadeCounter());
    return NewImageDocument(title, image, false) != nullptr;
}

bool CompanionMailbox::OpenPathList(const QByteArray& attachment)
{
    const std::vector<std::string> paths = SplitCompanionPathList(attachment);
    DocumentRegistry* documents = m_host.Documents();
    if (paths.empty() || !documents)
        return false;
    for (const std::string& path : paths) {
        const size_t dot = path.rfind('.');
        const std::string extension = dot == std::string::npos ? std::string() : path.substr(dot + 1);
        if (QString::fromStdString(extension).compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0)
            NewDocumentFromBitmapFile(path);
        else
            documents->OpenDocumentFile(path);
    }
    return true;
}

void CompanionMailbox::OnCopyData(quint32 code, const QByteArray& bytes, const QString& /*sender*/)
{
    if (!m_bus)
        return;
    bool handled = false;
    if (code == kCopyPackedDib)
        handled = OnCopiedDib(bytes);
    else if (code == kCopyImagePath || code == kCopyImagePathAgain)
        handled = OnCopiedPath(bytes);
    else if (code == kCopyPathIgnored)
        handled = true;
    m_bus->SetReply(handled ? 1 : 0);
}

bool CompanionMailbox::OnCopiedDib(const QByteArray& bytes)
{
    PackedDib dib;
    CQvImage image;
    if (!AcceptPackedDib(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()), dib)
        || !PackedDibToImage(dib, image))
        return false;
    return NewImageDocument(kTilingImageTitle, image, true) != nullptr;
}

bool CompanionMailbox::OnCopiedPath(const QByteArray& bytes)
{
    const std::string path = PathFromBlock(bytes);
    CQvImageCodec* codec = m_host.Codec();
    CQvImage image;
    if (path.empty() || !codec || codec->Read(path.c_str(), &image, nullptr, 0, -1, -1) != 1)
        return false;
    const std::string title = QFileInfo(QString::fromStdString(path)).completeBaseName().toStdString();
    return NewImageDocument(title, image, true) != nullptr;
}

CVistrelDoc* CompanionMailbox::NewImageDocument(const std::string& title, const CQvImage& image, bool afterCopyData)
{
    DocumentRegistry* documents = m_host.Documents();
    if (!documents)
        return nullptr;
    CVistrelDoc* doc = documents->NewDocument(title);
    if (!doc)
        return nullptr;
    doc->SetImage(title, &image);
    AttachActivePlugIns(doc);
    if (!afterCopyData)
        return doc;
    doc->SetModifiedFlag(true);
    if (CVistrelView* view = doc->GetImageView()) {
        // Posted, as a capture does: the scale bar is placed once the view has settled.
        QTimer::singleShot(0, view, [view = QPointer<CVistrelView>(view)] {
            if (view)
                view->ExecuteCommand(cmd::ID_SCALE_BAR_AFTER_CAPTURE);
        });
        if (GetZoomFitMode() && !view->IsZoomFit())
            view->ToggleZoomFit();
    }
    return doc;
}

// ---- outgoing

int CompanionMailbox::BroadcastWithText(const char* name, const std::string& text)
{
    if (!m_bus)
        return 0;
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(QString::fromStdString(text));
    return m_bus->Broadcast(QString::fromLatin1(name), 0, 0, QByteArray::fromStdString(text));
}

QString CompanionMailbox::TilingTitle()
{
    // The program is a 64-bit one: the 64-bit tool's title.
    return QString::fromLatin1(kImageTilingTitle64);
}

bool CompanionMailbox::SendCapturePathToTiling(const std::string& path)
{
    if (!m_bus || path.empty() || path.size() >= kPathBlockBytes || !m_bus->FindWindow(TilingTitle()))
        return false;
    QByteArray block(static_cast<qsizetype>(kPathBlockBytes), '\0');
    std::memcpy(block.data(), path.data(), path.size());
    return m_bus->SendCopyData(TilingTitle(), kCopyImagePath, block).delivered;
}

void CompanionMailbox::NotifyTilingClosing()
{
    if (!m_bus || !m_bus->FindWindow(TilingTitle()))
        return;
    m_bus->SendCopyData(TilingTitle(), kCopyTilingClosing, QByteArray(static_cast<qsizetype>(kTilingHelloBytes), '\0'),
                       kClosingNoticeTimeoutMs);
}

void CompanionMailbox::StartImageTiling()
{
    if (m_tilingPoll || !m_bus)
        return;  // already waiting for the tool, or no bus to find it on
    m_tilingPolls = 0;
    if (m_bus->FindWindow(TilingTitle())) {
        QTimer::singleShot(m_tilingPollMs, this, &CompanionMailbox::GreetTiling);
        return;
    }
    const std::string folder = m_host.ProgramFolder() + AppFolderName(AppFolder::ImageTiling);
    const QString program = QString::fromStdString(folder + kImageTilingProgram);
    // A tool that cannot be started will not show up: the user is told at once rather than after the polls.
    if (!QFileInfo(program).isExecutable()
        || !QProcess::startDetached(program, {}, QString::fromStdString(folder))) {
        AfxMessageBox(CompanionString(peerstr::IDS_TILING_CANNOT_RUN), MB_ICONERROR);
        emit tilingStarted(false);
        return;
    }
    m_tilingPoll = new QTimer(this);
    connect(m_tilingPoll, &QTimer::timeout, this, &CompanionMailbox::PollForTiling);
    m_tilingPoll->start(m_tilingPollMs);
}

void CompanionMailbox::PollForTiling()
{
    const bool found = m_bus && m_bus->FindWindow(TilingTitle());
    if (!found && ++m_tilingPolls < kTilingPolls)
        return;
    m_tilingPoll->deleteLater();
    m_tilingPoll = nullptr;
    if (found) {
        QTimer::singleShot(m_tilingPollMs, this, &CompanionMailbox::GreetTiling);
        return;
    }
    AfxMessageBox(CompanionString(peerstr::IDS_TILING_CANNOT_RUN), MB_ICONERROR);
    emit tilingStarted(false);
}

void CompanionMailbox::GreetTiling()
{
    // In place of the main window's handle, which this platform does not have: the program's process id. The tool
    // answers the sender's identity, which the bus hands it with the block.
    if (!m_bus) {
        emit tilingStarted(false);
        return;
    }
    char buffer[kTilingHelloBuffer] = {};
    std::snprintf(buffer, sizeof buffer, "%ld", static_cast<long>(::getpid()));
    const PeerReply reply = m_bus->SendCopyData(TilingTitle(), kCopyTilingHello,
                                               QByteArray(buffer, static_cast<qsizetype>(kTilingHelloBytes)));
    emit tilingStarted(reply.delivered);
}

bool CompanionMailbox::HandOverToPoreScan(const QString& peer, double millimetresPerPixel,
                                          const std::string& imagePath)
{
    m_poreScanCalibration.Close();
    m_poreScanImage.Close();
    if (!m_bus || imagePath.size() >= kPoreScanMappingBytes
        || !m_poreScanCalibration.Create(kPoreScanCalibrationMapping, kPoreScanMappingBytes)
        || !m_poreScanImage.Create(kPoreScanImageMapping, kPoreScanMappingBytes))
        return false;
    // Little-endian, whatever this machine's order; the rest of each block is zero.
    uint64_t bits = 0;
    std::memcpy(&bits, &millimetresPerPixel, sizeof bits);
    std::string calibration(kPoreScanMappingBytes, '\0');
    for (size_t i = 0; i < sizeof bits; ++i)
        calibration[i] = static_cast<char>(bits >> (8 * i));
    std::string image(kPoreScanMappingBytes, '\0');
    std::memcpy(image.data(), imagePath.data(), imagePath.size());
    if (!m_poreScanCalibration.Write(0, calibration.data(), calibration.size())
        || !m_poreScanImage.Write(0, image.data(), image.size()))
        return false;

    bool delivered = m_bus->SendMessage(peer, QString::fromLatin1(kPoreScanCalibration), 0, 0).delivered;
    delivered = m_bus->SendMessage(peer, QString::fromLatin1(kPoreScanOpen), 0, 0).delivered && delivered;
    delivered = m_bus->SendMessage(peer, QString::fromLatin1(kPoreScanShowWindow), kShowNoActivate, 0).delivered
                && delivered;
    return delivered;
}
