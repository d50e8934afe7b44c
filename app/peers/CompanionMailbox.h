// The main window as the mailbox of the companion programs: every registered message and copy-data block that
// arrives on the main window's bus is checked and acted on here, and the program's own messages to companions
// (the database and auto-measure hand-overs, the alive answer, the tiling tool's copy-data, the pore scanner's
// mappings) leave from here.
//
// Contract: UI thread. The host outlives the mailbox; the bus may go first (the mailbox then does nothing). Everything from outside is bounded by the bytes
// really sent: a block or a mapping that is short, unterminated or inconsistent is refused and changes nothing.
// A send is answered with 1 when the message was acted on (every "TLV COM - NEW" command is), else 0.
#pragma once

#include "peers/CompanionBitmap.h"

#include "winmsg/NamedMapping.h"
#include "winmsg/PeerBus.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <string>
#include <vector>

class CQvImage;
class CVistrelDoc;
class ICompanionHost;
class QTimer;

class CompanionMailbox : public QObject
{
    Q_OBJECT

public:
    CompanionMailbox(PeerBus& bus, ICompanionHost& host, QObject* parent = nullptr);
    ~CompanionMailbox() override;

    // Null once the bus has gone (the program gave up its identity at shut-down).
    PeerBus* Bus() const { return m_bus; }

    // ---- outgoing
    // Puts `text` on the clipboard as plain text, as the companions of old read it, and broadcasts `name` with the
    // same text attached (a companion reads the attachment and needs no clipboard). Returns the peers reached.
    int BroadcastWithText(const char* name, const std::string& text);
    // The image-tiling tool's window title ("Image Tiling (64)": the program is a 64-bit one).
    static QString TilingTitle();
    // Copy-data 9006 with the path of a captured bitmap in a zeroed 260-byte block; false when the tool's window
    // does not exist, the path does not fit (259 bytes) or the tool did not take it.
    bool SendCapturePathToTiling(const std::string& path);
    // Copy-data 9000 (12 zero bytes, 10 sent) to the tiling tool when its window exists: the program closes.
    void NotifyTilingClosing();
    // Command 1267: finds the tiling tool's window, else starts the tool (program folder's tiling folder +
    // "MosaicJoin64") and polls for its window every TilingPollInterval, 50 times at most, without blocking; then
    // sends copy-data 9004. When the tool cannot be started or never shows, message 103. Emits tilingStarted.
    void StartImageTiling();
    void SetTilingPollInterval(int milliseconds) { m_tilingPollMs = milliseconds; }
    // The pore scanner's hand-over: the mapping "PZ PoreScan Calibration" (2048 bytes) gets the length per pixel
    // in millimetres as its first 8 bytes and "PZ PoreScan Calibration" (0, 0) is sent; the mapping "PZ PoreScan
    // Image" gets the image path and "PZ PoreScan Open" (0, 0), then "PZ PoreScan ShowWindow" (4, 0) are sent to
    // the window `peer`. The mappings stay open (the scanner reads them when it likes) until the next hand-over or
    // the mailbox goes. False when a mapping cannot be made, the path does not fit or a send was not delivered.
    bool HandOverToPoreScan(const QString& peer, double millimetresPerPixel, const std::string& imagePath);

signals:
    // The tiling tool was found (and greeted with 9004) or was not.
    void tilingStarted(bool found);

private:
    void OnMessage(const QString& name, qint64 wParam, qint64 lParam, const QByteArray& attachment);
    void OnCopyData(quint32 code, const QByteArray& bytes, const QString& sender);

    bool OnTlvCommand(qint64 command, qint64 argument);
    bool OpenWithCalibration(int unit);
    bool NewDocumentFromBitmapFile(const std::string& path);
    bool OpenPathList(const QByteArray& attachment);
    bool OnCopiedDib(const QByteArray& bytes);
    bool OnCopiedPath(const QByteArray& bytes);
    // A new document of `image` titled `title`, with the active plug-ins, modified; the view is fitted and placed.
    CVistrelDoc* NewImageDocument(const std::string& title, const CQvImage& image, bool afterCopyData);
    void PollForTiling();
    void GreetTiling();

    QPointer<PeerBus> m_bus;
    ICompanionHost& m_host;
    QTimer* m_tilingPoll = nullptr;
    int m_tilingPolls = 0;
    int m_tilingPollMs = 100;
    NamedMapping m_poreScanCalibration;
    NamedMapping m_poreScanImage;
};

// The paths of a companion's ';'-separated list: the text up to its first NUL, every entry before a ';' that is not
// empty (text after the last ';' is ignored). UTF-8, or CP949 from a Windows-made companion.
std::vector<std::string> SplitCompanionPathList(const QByteArray& text);

// What the two mappings of a "TLV COM - NEW" open request hand over: the length per pixel (the units block's first
// 8 bytes, a little-endian double) and the image path (the path block's text up to its first NUL, UTF-8 or CP949;
// may be empty). False when the units block is shorter than a double, the length is not finite and positive, or
// the path has no end within the bytes given.
struct TlvHandOver
{
    double unitsPerPixel = 0;
    std::string path;
};
bool ParseTlvHandOver(const std::string& unitsBlock, const std::string& pathWindow, TlvHandOver& handOver);

// A path from a copy-data block: the bytes up to the first NUL, which must lie within the block and within 260
// bytes. Empty when there is none.
std::string PathFromBlock(const QByteArray& bytes);
