// peer-cli: the message bus between this user's programs from a shell: sends and posts the program's messages,
// poses as a companion, and makes or reads the named shared memory the companions use. `peer-cli --help` lists
// the commands and the names the program answers to.
#include "peers/CompanionMessages.h"

#include "winmsg/LocalPeerBus.h"
#include "winmsg/NamedMapping.h"
#include "winmsg/PeerFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <map>

namespace {

struct Arguments
{
    QStringList positional;
    std::map<QString, QString> options;  // "--name" -> value ("" for flags)

    QString Option(const char* name, const QString& fallback = {}) const
    {
        const auto it = options.find(QString::fromLatin1(name));
        return it == options.end() ? fallback : it->second;
    }
    bool Has(const char* name) const { return options.count(QString::fromLatin1(name)) != 0; }
};

const QStringList kFlags = {QStringLiteral("--double"), QStringLiteral("--text"), QStringLiteral("--help")};

Arguments Parse(const QStringList& all)
{
    Arguments result;
    for (qsizetype i = 1; i < all.size(); ++i) {
        const QString& word = all[i];
        if (word.startsWith(QLatin1String("--")) && word.size() > 2) {
            // --double and --text take a value for map-create, none for map-read.
            const bool flag = kFlags.contains(word) && (i + 1 >= all.size() || all[i + 1].startsWith(QLatin1String("--")));
            result.options[word] = flag ? QString() : (i + 1 < all.size() ? all[++i] : QString());
        } else {
            result.positional << word;
        }
    }
    return result;
}

// The commands and the names the program answers to come from the program's own tables, so the help cannot drift.
QString HelpText()
{
    using namespace companion;
    QString text;
    QTextStream out(&text);
    out << "usage: peer-cli COMMAND ARGUMENTS...\n"
           "\n"
           "Commands:\n"
           "  find IDENTITY                       is a window listening as IDENTITY? prints found or absent\n"
           "  send PEER NAME [W [L]] [--attach TEXT] [--timeout MS]\n"
           "                                      send message NAME and wait for the answer; prints\n"
           "                                      \"delivered RESULT\" (exit 0) or \"not delivered\" (exit 1)\n"
           "  post PEER NAME [W [L]] [--attach TEXT]\n"
           "                                      post message NAME without waiting\n"
           "  broadcast NAME [W [L]] [--attach TEXT]\n"
           "                                      post NAME to every window of this user; prints how many\n"
           "  copy-data PEER CODE FILE [--timeout MS]\n"
           "                                      send FILE's bytes (\"-\": standard input) as copy-data CODE\n"
           "  copy-path PEER CODE PATH [--timeout MS]\n"
           "                                      send PATH in a zeroed 260-byte block as copy-data CODE\n"
           "  listen IDENTITY|--as video-recorder|--as tiling [--answer N] [--stall MS] [--count N]\n"
           "         [--until NAME|CODE] [--timeout MS] [--save DIR] [--ready FILE]\n"
           "                                      listen as a companion; one line per arrival:\n"
           "                                      \"message NAME W L BYTES TEXT\" or \"copy-data CODE BYTES SENDER\"\n"
           "  map-create NAME SIZE [--double X] [--text T] [--hold MS] [--ready FILE]\n"
           "                                      make named shared memory and hold it (default 10000 ms)\n"
           "  map-read NAME [--double | --text]   print named shared memory as a double or as text\n"
           "  folder                              print this user's peer folder\n"
           "  --help                              this text\n"
           "\n"
           "The program's main window is PEER \"{6B1E0F3C-5A27-4D9E-8C41-93F2A7D05E18}\".\n"
           "\n"
           "Messages the program answers (send or post NAME to it; W and L are numbers):\n";
    const auto line = [&out](const char* name, const QString& meaning) {
        out << "  " << QString::fromLatin1(name).leftJustified(26) << ' ' << meaning << '\n';
    };
    line(kTlvCommand, "W 0: open the path in mapping \"TLV Image Path\" with the length per pixel in");
    line("", "     mapping \"TLV UPP\" (a double), L the unit; W 1: quit; W 2: show window, L the show command");
    line(kNewDocFromFile, "open newdoc.bmp from the \"files\" folder of the peer folder as a new image");
    line(kVideoRecorderFinished, "the video recorder let the capture drivers go: take them again");
    line(kExternalCapture, "capture an image");
    line(kFromImageDatabase, "open the ';'-ended paths of --attach (else of the clipboard)");
    line(kFromAutoMeasure, "take the capture drivers again");
    line(kFromFurtherApplication, "take the capture drivers again");
    line(kAliveRequest, QStringLiteral("the program broadcasts %1").arg(QLatin1String(kAliveResponse)));
    out << "\nCopy-data codes the program takes:\n";
    out << "  " << kCopyPackedDib << "   a packed DIB: a new \"" << kTilingImageTitle << "\" document\n";
    out << "  " << kCopyImagePath << "   an image path in a 260-byte block (copy-path)\n";
    out << "  " << kCopyImagePathAgain << "   as " << kCopyImagePath << '\n';
    out << "  " << kCopyPathIgnored << "   accepted, no effect\n";
    out << "\nWhat the program sends, for listen:\n"
        << "  " << kToImageDatabase << ", " << kToAutoMeasure << " (broadcast, text attached), " << kAliveResponse
        << ";\n"
        << "  to the pore scanner \"" << kPoreScanWindowClass << "\": " << kPoreScanCalibration << ", "
        << kPoreScanOpen << ", " << kPoreScanShowWindow << ";\n"
        << "  to \"" << kImageTilingTitle64 << "\": copy-data " << kCopyTilingClosing << ", " << kCopyTilingHello
        << ", " << kCopyImagePath << ".\n"
        << "\nNamed shared memory: \"" << kTlvUnitsPerPixelMapping << "\", \"" << kTlvImagePathMapping
        << "\" (read by the program), \"" << kPoreScanCalibrationMapping << "\", \"" << kPoreScanImageMapping
        << "\" (written by it).\n";
    return text;
}

int Help()
{
    std::fputs(HelpText().toUtf8().constData(), stdout);
    return 0;
}

int Usage()
{
    std::fputs(HelpText().toUtf8().constData(), stderr);
    return 2;
}

qint64 Number(const QStringList& words, qsizetype index)
{
    return index < words.size() ? words[index].toLongLong(nullptr, 0) : 0;
}

void Print(const QString& line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// A post leaves from the event loop: it runs a moment before the program ends, or the bytes would go with it.
void LetPostsLeave(QCoreApplication& app)
{
    QTimer::singleShot(500, &app, &QCoreApplication::quit);
    app.exec();
}

int Report(const PeerReply& reply)
{
    if (!reply.delivered) {
        Print(QStringLiteral("not delivered"));
        return 1;
    }
    Print(QStringLiteral("delivered %1").arg(reply.result));
    return 0;
}

void TouchReady(const Arguments& args)
{
    const QString ready = args.Option("--ready");
    if (ready.isEmpty())
        return;
    QFile file(ready);
    if (file.open(QIODevice::WriteOnly))
        file.write("ready\n");
}

// Printable text of a payload: the bytes up to the first NUL, as UTF-8.
QString TextOf(const QByteArray& bytes)
{
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromUtf8(end < 0 ? bytes : bytes.left(end));
}

int Listen(QCoreApplication& app, const Arguments& args)
{
    QString identity = args.positional.value(1);
    const QString as = args.Option("--as");
    if (as == QLatin1String("video-recorder"))
        identity = QStringLiteral("Video Recorder");
    else if (as == QLatin1String("tiling"))
        identity = QStringLiteral("Image Tiling (64)");
    if (identity.isEmpty())
        return Usage();

    LocalPeerBus bus;
    if (!bus.Listen(identity)) {
        std::fprintf(stderr, "peer-cli: cannot listen as %s\n", identity.toUtf8().constData());
        return 1;
    }
    const qint64 answer = args.Option("--answer", QStringLiteral("1")).toLongLong();
    const int stall = args.Option("--stall", QStringLiteral("0")).toInt();
    const int count = args.Option("--count", QStringLiteral("0")).toInt();
    const QString saveFolder = args.Option("--save");
    int arrived = 0;

    const QString until = args.Option("--until");
    const auto arrivedOne = [&](const QString& what) {
        if (stall > 0)
            QThread::msleep(static_cast<unsigned long>(stall));
        bus.SetReply(answer);
        ++arrived;
        if ((count > 0 && arrived >= count) || (!until.isEmpty() && what == until))
            QTimer::singleShot(0, &app, [&app] { app.exit(0); });
    };
    QObject::connect(&bus, &PeerBus::registeredMessage,
                     [&](const QString& name, qint64 w, qint64 l, const QByteArray& attachment) {
                         Print(QStringLiteral("message %1 %2 %3 %4 %5")
                                   .arg(name)
                                   .arg(w)
                                   .arg(l)
                                   .arg(attachment.size())
                                   .arg(TextOf(attachment)));
                         arrivedOne(name);
                     });
    QObject::connect(&bus, &PeerBus::copyData, [&](quint32 code, const QByteArray& bytes, const QString& sender) {
        Print(QStringLiteral("copy-data %1 %2 %3 %4").arg(code).arg(bytes.size()).arg(sender, TextOf(bytes)));
        if (!saveFolder.isEmpty()) {
            QFile file(QDir(saveFolder).filePath(QStringLiteral("copy-%1-%2.bin").arg(code).arg(arrived)));
            if (file.open(QIODevice::WriteOnly))
                file.write(bytes);
        }
        arrivedOne(QString::number(code));
    });
    const int timeout = args.Option("--timeout", QStringLiteral("0")).toInt();
    if (timeout > 0)
        QTimer::singleShot(timeout, &app, [&app, count, until] { app.exit(count > 0 || !until.isEmpty() ? 1 : 0); });
    TouchReady(args);
    return app.exec();
}

int MapCreate(QCoreApplication& app, const Arguments& args)
{
    const QString name = args.positional.value(1);
    const qint64 size = Number(args.positional, 2);
    if (name.isEmpty() || size <= 0)
        return Usage();
    NamedMapping mapping;
    if (!mapping.Create(name.toStdString(), static_cast<size_t>(size))) {
        std::fputs("peer-cli: cannot create the mapping\n", stderr);
        return 1;
    }
    bool written = true;
    if (args.Has("--double")) {
        const double value = args.Option("--double").toDouble();
        written = mapping.Write(0, &value, std::min<size_t>(sizeof value, mapping.size()));
    }
    if (args.Has("--text")) {
        const QByteArray text = args.Option("--text").toUtf8();
        written = mapping.Write(0, text.constData(), std::min<size_t>(static_cast<size_t>(text.size()), mapping.size()))
                  && written;
    }
    if (!written) {
        std::fputs("peer-cli: cannot write the mapping\n", stderr);
        return 1;
    }
    // The name lasts while its creator keeps it open.
    const int hold = args.Option("--hold", QStringLiteral("10000")).toInt();
    QTimer::singleShot(hold, &app, &QCoreApplication::quit);
    TouchReady(args);
    return app.exec();
}

int MapRead(const Arguments& args)
{
    NamedMapping mapping;
    if (args.positional.value(1).isEmpty() || !mapping.Open(args.positional.value(1).toStdString(), 1)) {
        std::fputs("peer-cli: no such mapping\n", stderr);
        return 1;
    }
    // Read as it is now: a companion may have made it smaller since it was opened.
    const std::string bytes = mapping.ReadPrefix(mapping.size());
    if (args.Has("--double")) {
        double value = 0;
        if (bytes.size() < sizeof value) {
            std::fputs("peer-cli: the mapping holds no double\n", stderr);
            return 1;
        }
        std::memcpy(&value, bytes.data(), sizeof value);
        Print(QString::number(value, 'g', 17));
    } else {
        Print(QString::fromUtf8(bytes.c_str()));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const Arguments args = Parse(QCoreApplication::arguments());
    const QString command = args.positional.value(0);
    if (args.Has("--help") || command == QLatin1String("-h") || command == QLatin1String("help"))
        return Help();
    const int timeout = args.Option("--timeout", QString::number(kPeerSendTimeoutMs)).toInt();
    const QByteArray attachment = args.Option("--attach").toUtf8();
    LocalPeerBus bus;

    if (command == QLatin1String("find")) {
        const bool found = bus.FindWindow(args.positional.value(1));
        Print(found ? QStringLiteral("found") : QStringLiteral("absent"));
        return found ? 0 : 1;
    }
    if (command == QLatin1String("send") && args.positional.size() >= 3)
        return Report(bus.SendMessage(args.positional[1], args.positional[2], Number(args.positional, 3),
                                      Number(args.positional, 4), timeout, attachment));
    if (command == QLatin1String("post") && args.positional.size() >= 3) {
        const bool posted = bus.PostMessage(args.positional[1], args.positional[2], Number(args.positional, 3),
                                            Number(args.positional, 4), attachment);
        LetPostsLeave(app);
        Print(posted ? QStringLiteral("posted") : QStringLiteral("not delivered"));
        return posted ? 0 : 1;
    }
    if (command == QLatin1String("broadcast") && args.positional.size() >= 2) {
        const int reached = bus.Broadcast(args.positional[1], Number(args.positional, 2), Number(args.positional, 3),
                                          attachment);
        LetPostsLeave(app);
        Print(QStringLiteral("reached %1").arg(reached));
        return 0;
    }
    if (command == QLatin1String("copy-data") && args.positional.size() >= 4) {
        QFile file;
        const bool opened = args.positional[3] == QLatin1String("-")
                                ? file.open(stdin, QIODevice::ReadOnly)
                                : (file.setFileName(args.positional[3]), file.open(QIODevice::ReadOnly));
        if (!opened) {
            std::fputs("peer-cli: cannot read the file\n", stderr);
            return 1;
        }
        return Report(bus.SendCopyData(args.positional[1], static_cast<quint32>(Number(args.positional, 2)),
                                       file.readAll(), timeout));
    }
    if (command == QLatin1String("copy-path") && args.positional.size() >= 4) {
        QByteArray block(260, '\0');
        const QByteArray path = args.positional[3].toUtf8();
        std::memcpy(block.data(), path.constData(), std::min<size_t>(static_cast<size_t>(path.size()), 260));
        return Report(bus.SendCopyData(args.positional[1], static_cast<quint32>(Number(args.positional, 2)), block,
                                       timeout));
    }
    if (command == QLatin1String("listen"))
        return Listen(app, args);
    if (command == QLatin1String("map-create"))
        return MapCreate(app, args);
    if (command == QLatin1String("map-read"))
        return MapRead(args);
    if (command == QLatin1String("folder")) {
        // Companions put the bitmap of "QRX New Doc" as newdoc.bmp into its "files" sub-folder.
        Print(PeerFolder());
        return PeerFolder().isEmpty() ? 1 : 0;
    }
    return Usage();
}
