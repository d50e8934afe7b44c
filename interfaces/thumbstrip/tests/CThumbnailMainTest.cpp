// The strip: a big folder fills in progressively without holding up the window, broken files get their tile, and
// the tiles of open images follow renames.
#include "thumbstrip/CThumbnailMain.h"
#include "thumbstrip/ThumbnailLoader.h"

#include "qvcodec/CQvImageCodec.h"
#include "testing/HostileImageFiles.h"
#include "qvimage/CQvImage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include <sys/stat.h>

namespace {

// Small colour images written by our own codec, each a different shade.
void WriteImages(const QString& folder, int count)
{
    CQvImageCodec codec;
    ASSERT_GT(codec.Install(folder.toUtf8().constData()), 0);
    CQvImage image;
    ASSERT_TRUE(image.Create(QV_RGB24, 64, 48, 0));
    for (int n = 0; n < count; ++n) {
        std::fill(image.GetBuffer(), image.GetBuffer() + image.GetStride() * 48, BYTE(n % 256));
        const QString path = folder + QString("/img%1.png").arg(n, 4, 10, QChar('0'));
        ASSERT_EQ(codec.Save(path.toUtf8().constData(), &image, nullptr), 1) << path.toStdString();
    }
}

void WriteBroken(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x89PNG\r\n\x1a\n this is not a picture");
}

}  // namespace

// Deliveries reach the strip as queued calls; this counts the tiles that arrive in each, so the test sees how much
// one turn of the event loop was given to do.
class ArrivalsPerDelivery : public QObject
{
public:
    explicit ArrivalsPerDelivery(const int& arrived) : m_arrived(arrived) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MetaCall)
            Mark();
        return false;
    }
    // Closes the last delivery's count.
    void Mark()
    {
        m_most = std::max(m_most, m_arrived - m_marked);
        m_marked = m_arrived;
    }
    int Most() const { return m_most; }

private:
    const int& m_arrived;
    int m_marked = 0;
    int m_most = 0;
};

// Whether the window stays responsive is a matter of what runs where, and how much each turn does, not of how fast
// this machine is (the speed is measured in bench/ThumbnailBench.cpp): the files are read on worker threads while
// the window goes on answering, and the tiles come in a few per turn.
TEST(ThumbnailStrip, FolderOfFiveHundredLoadsOffTheWindowThreadAndArrivesAFewTilesATurn)
{
    QTemporaryDir dir;
    WriteImages(dir.path(), 500);
    WriteBroken(dir.path() + "/zz_broken.png");

    CThumbnailMain strip;
    strip.resize(400, 300);
    strip.show();
    int arrived = 0;
    bool complete = false;
    QObject::connect(&strip, &CThumbnailMain::ThumbnailArrived, [&] { ++arrived; });
    QObject::connect(&strip, &CThumbnailMain::FolderComplete, [&] { complete = true; });
    ArrivalsPerDelivery deliveries(arrived);
    strip.installEventFilter(&deliveries);

    // Every worker is held until the window has answered with the whole folder still to come. A loader run on the
    // window's own thread would hold it too: its wait then gives up, so the test fails instead of hanging.
    const std::thread::id windowThread = std::this_thread::get_id();
    std::mutex lock;
    std::condition_variable releasedSignal;
    bool released = false;
    std::set<std::thread::id> loaderThreads;
    strip.SetLoader([&](const QString& path, const QSize& box) {
        {
            std::unique_lock<std::mutex> hold(lock);
            loaderThreads.insert(std::this_thread::get_id());
            if (!releasedSignal.wait_for(hold, std::chrono::seconds(60), [&] { return released; }))
                released = true;
        }
        return LoadThumbnail(path, box);
    });

    ASSERT_EQ(strip.ShowFolder(dir.path().toStdString()), 1);
    EXPECT_EQ(strip.count(), 501);
    EXPECT_EQ(strip.PendingCount(), 501);
    bool answered = false;
    QTimer::singleShot(0, &strip, [&] { answered = true; });
    QElapsedTimer limit;
    limit.start();
    while (!answered && limit.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_TRUE(answered);
    {
        std::lock_guard<std::mutex> hold(lock);
        EXPECT_FALSE(released) << "a file was read on the window's thread";
        EXPECT_EQ(arrived, 0);
        released = true;
    }
    releasedSignal.notify_all();

    limit.restart();
    while (!complete && limit.elapsed() < 120000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    deliveries.Mark();
    ASSERT_TRUE(complete);
    EXPECT_EQ(arrived, 501);
    EXPECT_EQ(strip.PendingCount(), 0);
    EXPECT_LE(deliveries.Most(), CThumbnailMain::kResultsPerTurn) << "tiles handed over in one turn";
    {
        std::lock_guard<std::mutex> hold(lock);
        EXPECT_FALSE(loaderThreads.empty());
        EXPECT_EQ(loaderThreads.count(windowThread), 0u);
    }

    const std::string broken = (dir.path() + "/zz_broken.png").toStdString();
    EXPECT_EQ(strip.GetTileState(broken), CThumbnailMain::kBroken);
    EXPECT_EQ(strip.GetTileState((dir.path() + "/img0007.png").toStdString()), CThumbnailMain::kReady);
}

// Files of a folder are outside bytes: the loader reads only what the codec's checks pass, so no file under an
// image's name can block a worker, fill memory or hand the decoder a length the file does not hold.
TEST(ThumbnailLoader, ReadsOnlyRegularImageFilesWhoseStructureLiesInside)
{
    QTemporaryDir dir;
    WriteImages(dir.path(), 1);
    const QString good = dir.path() + "/img0000.png";
    QFile whole(good);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray wholeBytes = whole.readAll();
    const QImage thumbnail = LoadThumbnail(good, QSize(32, 32));
    EXPECT_EQ(thumbnail.size(), QSize(32, 24)) << "fitted, proportions kept";

    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(dir.path() + "/" + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const QString fifo = dir.path() + "/fifo.png";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {write("cut.png", wholeBytes.left(wholeBytes.size() - 4)),
                                write("bomb.png", hostile_files::PngAnnouncingMoreThanItHolds()), dir.path(),
                                QStringLiteral("/dev/zero"), fifo}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(LoadThumbnail(path, QSize(32, 32)).isNull());
    }
}

TEST(ThumbnailStrip, ChangingFolderMidwayDropsTheOldFolderResults)
{
    QTemporaryDir first;
    QTemporaryDir second;
    WriteImages(first.path(), 60);
    WriteImages(second.path(), 3);

    CThumbnailMain strip;
    strip.ShowFolder(first.path().toStdString());
    strip.ShowFolder(second.path().toStdString());
    bool complete = false;
    QObject::connect(&strip, &CThumbnailMain::FolderComplete, [&] { complete = true; });
    QElapsedTimer limit;
    limit.start();
    while (!complete && limit.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    ASSERT_TRUE(complete);
    // Let any late result of the first folder arrive: it must not bring a tile back.
    for (int turn = 0; turn < 20; ++turn)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(strip.count(), 3);
}

TEST(ThumbnailStrip, OpenImageTilesAreRenamedAndRemoved)
{
    CThumbnailMain strip;
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_EQ(strip.AddImage("X0-Capture1", picture, 200, 100, "200x100x24", 0), 1);
    EXPECT_EQ(strip.IsCurrentImage("X0-Capture1", 0), 1);
    EXPECT_EQ(strip.IsCurrentImage("X0-Capture2", 0), 0);

    ASSERT_EQ(strip.ReplaceImage("X0-Capture1", "/data/out/cell.bmp", 0), 1);
    EXPECT_EQ(strip.IsCurrentImage("X0-Capture1", 0), 0);
    EXPECT_EQ(strip.IsCurrentImage("/data/out/cell.bmp", 0), 1);

    strip.AddImage("other", picture, 200, 100, "", 0);
    EXPECT_EQ(strip.ReplaceImage("other", "/data/out/cell.bmp", 0), 0) << "a name another open image bears";
    EXPECT_EQ(strip.RemoveImage("other", 0), 1);
    EXPECT_EQ(strip.count(), 1);
}
