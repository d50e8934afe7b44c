// The strip: a big folder fills in progressively without holding up the window, broken files get their tile, and
// the tiles of open images follow renames.
#include "thumbstrip/CThumbnailMain.h"

#include "qvcodec/CQvImageCodec.h"
#include "qvimage/CQvImage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <set>

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

// The processor time the calling thread has used, in milliseconds.
qint64 ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<qint64>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

TEST(ThumbnailStrip, FolderOfFiveHundredFillsInWhileTheWindowKeepsAnswering)
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

    // The UI thread's longest blocking stretch: the ShowFolder call itself and every turn of the event loop while
    // the thumbnails come in, each timed on its own in the thread's own processor time. Neither the waits between
    // turns nor the time the thread was preempted count, so a loaded machine does not pass for a blocked window.
    QApplication::processEvents();
    std::set<int> countsSeen;
    qint64 start = ThreadCpuMs();
    ASSERT_EQ(strip.ShowFolder(dir.path().toStdString()), 1);
    qint64 longestStretch = ThreadCpuMs() - start;
    EXPECT_EQ(strip.count(), 501);
    QElapsedTimer limit;
    limit.start();
    while (!complete && limit.elapsed() < 120000) {
        start = ThreadCpuMs();
        QApplication::processEvents(QEventLoop::AllEvents);
        longestStretch = std::max(longestStretch, ThreadCpuMs() - start);
        countsSeen.insert(arrived);
        QThread::msleep(2);
    }

    ASSERT_TRUE(complete);
    EXPECT_EQ(arrived, 501);
    EXPECT_EQ(strip.PendingCount(), 0);
    // Progressive: the tiles arrived over many turns of the event loop, not all at once at the end.
    EXPECT_GT(countsSeen.size(), 10u);
    EXPECT_LE(longestStretch, 50) << "the UI thread was held for " << longestStretch << " ms";

    const std::string broken = (dir.path() + "/zz_broken.png").toStdString();
    EXPECT_EQ(strip.GetTileState(broken), CThumbnailMain::kBroken);
    EXPECT_EQ(strip.GetTileState((dir.path() + "/img0007.png").toStdString()), CThumbnailMain::kReady);
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
