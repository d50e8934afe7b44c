#include "framepool/CQvFramePool.h"

#include "framepool/private/UndoFileWorker.h"
#include "qvimage/QvImageOps.h"
#include "qvimage/QvImageRecord.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include <unistd.h>

namespace {

// Every byte different, so a pixel put back in the wrong place shows.
CQvImage Pattern(int model, int width, int height)
{
    CQvImage image;
    image.Create(model, width, height, 0);
    const int bytesPerPixel = GetQvBitCount(model) / 8;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * bytesPerPixel; ++x)
            image.Get2DBuffer()[y][x] = static_cast<BYTE>(x * 7 + y * 13 + 1);
    return image;
}

// Pixels of `image` equal to those of `reference` inside `rect` and 0 outside.
::testing::AssertionResult RestoredOnlyInside(const CQvImage& image, const CQvImage& reference, const CRect& rect)
{
    const int bytesPerPixel = image.GetBitsPerPixel() / 8;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            for (int b = 0; b < bytesPerPixel; ++b) {
                const BYTE want = rect.PtInRect(CPoint(x, y)) ? reference.GetPixel(x, y)[b] : 0;
                if (image.GetPixel(x, y)[b] != want)
                    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") byte " << b;
            }
    return ::testing::AssertionSuccess();
}

// Holds the undo file writers at their second chunk (a file begun, not complete) until it opens, as a slow disk.
// Make it before the pools it watches and let it go after them.
class WriterGate
{
public:
    WriterGate()
    {
        UndoFileWorker::SetChunkHook([this] { Pass(); });
    }
    ~WriterGate()
    {
        if (m_opener.joinable())
            m_opener.join();
        Open();
        UndoFileWorker::SetChunkHook({});
    }

    // True once a writer waits at the gate.
    bool WaitForWriter()
    {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::seconds(20), [this] { return m_waiting; });
    }
    // Opens the gate from another thread a little later.
    void OpenLater()
    {
        m_opener = std::thread([this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            Open();
        });
    }
    bool IsOpen()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_open;
    }

private:
    void Pass()
    {
        std::unique_lock<std::mutex> lock(m_lock);
        if (++m_chunks != 2)
            return;
        m_waiting = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_open; });
    }
    void Open()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_open = true;
        m_changed.notify_all();
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    int m_chunks = 0;
    bool m_waiting = false;
    bool m_open = false;
    std::thread m_opener;
};

// What an inverting command does to the image in place.
void Complement(CQvImage& image)
{
    const int rowBytes = image.GetWidth() * image.GetBitsPerPixel() / 8;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < rowBytes; ++x)
            image.Get2DBuffer()[y][x] = static_cast<BYTE>(~image.Get2DBuffer()[y][x]);
}

// Every byte of both buffers, row padding included.
bool SameBytes(const CQvImage& a, const CQvImage& b)
{
    return a.GetColorModel() == b.GetColorModel() && a.GetWidth() == b.GetWidth() &&
           a.GetHeight() == b.GetHeight() && a.GetStride() == b.GetStride() &&
           std::memcmp(a.GetBuffer(), b.GetBuffer(), static_cast<size_t>(a.GetStride()) * a.GetHeight()) == 0;
}

class FramePool : public ::testing::Test
{
protected:
    void SetUp() override { CQvFramePool::SetTempPath(""); }
    void TearDown() override { CQvFramePool::SetTempPath(""); }

    // Files in the temporary folder, once the background worker has done what it was given.
    int TempFiles() const
    {
        CQvFramePool::WaitForUndoFiles();
        return FilesNow();
    }
    int FilesNow() const { return static_cast<int>(QDir(temp.path()).entryList(QDir::Files).size()); }
    void UseTempFolder() const { CQvFramePool::SetTempPath(temp.path().toStdString() + "/"); }

    QTemporaryDir temp;
};

}  // namespace

TEST_F(FramePool, UndoOfARectanglePutsBackOnlyItsClippedPixels)
{
    const struct
    {
        int model;
        CRect pushed;
        CRect restored;
    } cases[] = {
        {QV_GRAY8, CRect(2, 3, 7, 5), CRect(2, 3, 7, 5)},
        {QV_RGB24, CRect(2, 3, 7, 5), CRect(2, 3, 7, 5)},
        {QV_RGB24, CRect(-4, 6, 3, 40), CRect(0, 6, 3, 9)},
        {QV_RGBA32, CRect(10, 0, 11, 9), CRect(10, 0, 11, 9)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        const CQvImage original = Pattern(c.model, 11, 9);
        CQvFramePool pool;
        pool.SetImage(&original);
        ASSERT_EQ(pool.PushImage(c.pushed), 1);
        QVSetFill(&pool.GetImage(), 0, CRect(0, 0, 11, 9));

        EXPECT_EQ(pool.Undo(), 1);
        EXPECT_TRUE(RestoredOnlyInside(pool.GetImage(), original, c.restored));
        EXPECT_EQ(pool.CanUndo(), 0);
    }
}

TEST_F(FramePool, UndoOfTheWholeImageBringsBackModelSizePaletteAndRegion)
{
    CQvImage original = Pattern(QV_INDEX8, 6, 4);
    RGBQUAD palette[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    original.SetPalette(palette, 2);
    auto corners = std::make_unique<int[]>(4);
    corners[0] = 1, corners[1] = 1, corners[2] = 3, corners[3] = 2;
    original.SetRoi(QV_ROI_RECT, std::move(corners), 2);

    CQvFramePool pool;
    pool.SetImage(&original);
    ASSERT_EQ(pool.PushImage(-1, -1, -1, -1), 1);
    pool.GetImage().Create(QV_RGBA32, 30, 20, 0);  // a plug-in replacing the image through the reference

    ASSERT_EQ(pool.Undo(), 1);
    const CQvImage& back = pool.GetImage();
    ASSERT_EQ(back.GetColorModel(), QV_INDEX8);
    ASSERT_EQ(back.GetWidth(), 6);
    ASSERT_EQ(back.GetPaletteCount(), 2);
    EXPECT_EQ(back.GetPalette()[1].rgbRed, 6);
    ASSERT_EQ(back.GetRoiCount(), 2);
    EXPECT_EQ(back.GetRoiPoints()[2], 3);
    EXPECT_TRUE(RestoredOnlyInside(back, original, CRect(0, 0, 6, 4)));
}

TEST_F(FramePool, UndoPointsComeBackLatestFirstAndTheOldestAreForgotten)
{
    CQvFramePool pool;
    pool.GetImage().Create(QV_GRAY8, 4, 4, 0);
    for (int level = 1; level <= CQvFramePool::kMaxUndoPoints + 2; ++level) {
        QVSetFill(&pool.GetImage(), static_cast<unsigned char>(level), CRect(0, 0, 4, 4));
        ASSERT_EQ(pool.PushImage(CRect(0, 0, 4, 4)), 1);
    }
    QVSetFill(&pool.GetImage(), 99, CRect(0, 0, 4, 4));

    for (int level = CQvFramePool::kMaxUndoPoints + 2; level > 2; --level) {
        ASSERT_EQ(pool.Undo(), 1);
        EXPECT_EQ(*pool.GetImage().GetPixel(3, 3), level);
    }
    EXPECT_EQ(pool.CanUndo(), 0);
    EXPECT_EQ(pool.Undo(), 0);
    EXPECT_EQ(*pool.GetImage().GetPixel(3, 3), 3);
}

TEST_F(FramePool, NothingIsKeptOrPutBackWhereItCannotFit)
{
    CQvFramePool pool;
    EXPECT_EQ(pool.PushImage(-1, -1, -1, -1), 0);  // no image yet
    const CQvImage original = Pattern(QV_GRAY8, 8, 8);
    pool.SetImage(&original);
    EXPECT_EQ(pool.PushImage(CRect(8, 0, 12, 8)), 0);
    EXPECT_EQ(pool.PushImage(CRect(5, 5, 5, 7)), 0);
    EXPECT_EQ(pool.SetImage(nullptr), 0);
    EXPECT_EQ(pool.CanUndo(), 0);

    ASSERT_EQ(pool.PushImage(CRect(1, 1, 4, 4)), 1);
    const CQvImage other = Pattern(QV_GRAY8, 9, 8);
    pool.SetImage(&other);
    EXPECT_EQ(pool.Undo(), 0);  // the rectangle was taken from an image of another size
    EXPECT_EQ(pool.CanUndo(), 0);
    EXPECT_TRUE(RestoredOnlyInside(pool.GetImage(), other, CRect(0, 0, 9, 8)));
}

TEST_F(FramePool, LargeCopiesLiveInTempFilesThatGoWhenNoLongerNeeded)
{
    UseTempFolder();
    CQvImage original = Pattern(QV_RGB24, 1200, 1200);  // 4.3 MB of pixels
    auto triangle = std::make_unique<int[]>(6);
    for (int i = 0; i < 6; ++i)
        triangle[i] = 100 * (i + 1);
    original.SetRoi(QV_ROI_POLYGON, std::move(triangle), 3);
    {
        CQvFramePool pool;
        pool.SetImage(&original);
        ASSERT_EQ(pool.PushImage(-1, -1, -1, -1), 1);
        ASSERT_EQ(pool.PushImage(CRect(0, 0, 1200, 1170)), 1);
        ASSERT_EQ(pool.PushImage(CRect(0, 0, 10, 10)), 1);  // small: in memory
        EXPECT_EQ(TempFiles(), 2);
        QVSetFill(&pool.GetImage(), 0, CRect(0, 0, 1200, 1200));

        ASSERT_EQ(pool.Undo(), 1);
        ASSERT_EQ(pool.Undo(), 1);
        EXPECT_EQ(TempFiles(), 1);
        EXPECT_TRUE(RestoredOnlyInside(pool.GetImage(), original, CRect(0, 0, 1200, 1170)));
        pool.GetImage().Create(QV_GRAY8, 5, 5, 0);
        ASSERT_EQ(pool.Undo(), 1);
        EXPECT_EQ(TempFiles(), 0);
        EXPECT_TRUE(RestoredOnlyInside(pool.GetImage(), original, CRect(0, 0, 1200, 1200)));
        ASSERT_EQ(pool.GetImage().GetRoiKind(), QV_ROI_POLYGON);
        ASSERT_EQ(pool.GetImage().GetRoiCount(), 3);
        EXPECT_EQ(pool.GetImage().GetRoiPoints()[5], 600);

        for (int i = 0; i < CQvFramePool::kMaxUndoPoints + 3; ++i)
            ASSERT_EQ(pool.PushImage(-1, -1, -1, -1), 1);
        EXPECT_EQ(TempFiles(), CQvFramePool::kMaxUndoPoints);
    }
    EXPECT_EQ(TempFiles(), 0);  // the pool's end removes the rest
}

TEST_F(FramePool, WithoutAUsableTempFolderLargeCopiesStayInMemory)
{
    CQvFramePool::SetTempPath(temp.path().toStdString() + "/missing/");
    const CQvImage original = Pattern(QV_RGB24, 1200, 1200);
    CQvFramePool pool;
    pool.SetImage(&original);
    ASSERT_EQ(pool.PushImage(-1, -1, -1, -1), 1);
    QVSetFill(&pool.GetImage(), 0, CRect(0, 0, 1200, 1200));
    ASSERT_EQ(pool.Undo(), 1);
    EXPECT_TRUE(RestoredOnlyInside(pool.GetImage(), original, CRect(0, 0, 1200, 1200)));
}

TEST_F(FramePool, AnUndoFileChangedMeanwhileIsRefusedAndChangesNothing)
{
    const CRect rect(0, 0, 1200, 1170);
    CQvImage wrongModel;
    wrongModel.Create(QV_GRAY8, rect.Width(), rect.Height(), 0);
    CQvImage wrongSize;
    wrongSize.Create(QV_RGB24, rect.Width(), rect.Height() - 1, 0);
    const struct
    {
        const char* what;
        const CQvImage* record;  // null: the file is cut short
    } cases[] = {{"another colour model", &wrongModel}, {"another size", &wrongSize}, {"cut short", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UseTempFolder();
        const CQvImage original = Pattern(QV_RGB24, 1200, 1200);
        CQvFramePool pool;
        pool.SetImage(&original);
        ASSERT_EQ(pool.PushImage(rect), 1);
        pool.WaitForUndoFiles();
        const QStringList files = QDir(temp.path()).entryList(QDir::Files);
        ASSERT_EQ(files.size(), 1);
        const std::string path = (temp.path() + "/" + files[0]).toStdString();
        if (c.record) {
            FILE* file = std::fopen(path.c_str(), "wb");
            ASSERT_NE(file, nullptr);
            ASSERT_EQ(QVWriteImage(file, c.record), 1);
            std::fclose(file);
        } else {
            ASSERT_EQ(::truncate(path.c_str(), 1000), 0);
        }
        QVSetFill(&pool.GetImage(), 0, CRect(0, 0, 1200, 1200));
        EXPECT_EQ(pool.Undo(), 0);
        EXPECT_TRUE(RestoredOnlyInside(pool.GetImage(), original, CRect()));
    }
}

TEST_F(FramePool, ReplaceImageKeepsTheImageItselfAsTheUndoPoint)
{
    CQvImage original = Pattern(QV_INDEX8, 6, 4);
    RGBQUAD palette[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    original.SetPalette(palette, 2);
    auto corners = std::make_unique<int[]>(4);
    corners[0] = 1, corners[1] = 1, corners[2] = 3, corners[3] = 2;
    original.SetRoi(QV_ROI_RECT, std::move(corners), 2);

    CQvFramePool pool;
    EXPECT_EQ(pool.ReplaceImage(CQvImage()), 0);
    ASSERT_EQ(pool.ReplaceImage(CQvImage(original)), 1);
    EXPECT_EQ(pool.CanUndo(), 0) << "an empty image is no undo point";
    const BYTE* pixels = pool.GetImage().GetBuffer();

    ASSERT_EQ(pool.ReplaceImage(Pattern(QV_RGB24, 3, 2)), 1);
    EXPECT_EQ(pool.GetImage().GetWidth(), 3);
    EXPECT_EQ(pool.ReplaceImage(std::move(pool.GetImage())), 0);
    EXPECT_EQ(pool.GetImage().GetWidth(), 3);
    EXPECT_EQ(pool.PushCount(), 1u);

    ASSERT_EQ(pool.Undo(), 1);
    const CQvImage& back = pool.GetImage();
    EXPECT_EQ(back.GetBuffer(), pixels) << "the undo point is the image itself, not a copy";
    ASSERT_EQ(back.GetColorModel(), QV_INDEX8);
    ASSERT_EQ(back.GetPaletteCount(), 2);
    EXPECT_EQ(back.GetPalette()[1].rgbRed, 6);
    ASSERT_EQ(back.GetRoiCount(), 2);
    EXPECT_EQ(back.GetRoiPoints()[2], 3);
    EXPECT_TRUE(RestoredOnlyInside(back, original, CRect(0, 0, 6, 4)));
}

TEST_F(FramePool, AnUndoAskedForWhileItsFileIsBeingWrittenWaitsForTheWriterAndIsExact)
{
    UseTempFolder();
    CQvImage original = Pattern(QV_RGB24, 1200, 1200);
    auto triangle = std::make_unique<int[]>(6);
    for (int i = 0; i < 6; ++i)
        triangle[i] = 50 * (i + 1);
    original.SetRoi(QV_ROI_POLYGON, std::move(triangle), 3);
    const CRect rect(0, 0, 1200, 1170);
    enum Kept { kCopyOfTheWhole, kTheImageItself, kRectangle };
    for (const Kept kept : {kCopyOfTheWhole, kTheImageItself, kRectangle}) {
        SCOPED_TRACE(kept);
        WriterGate gate;
        CQvFramePool pool;
        pool.SetImage(&original);
        if (kept == kTheImageItself)
            ASSERT_EQ(pool.ReplaceImage(Pattern(QV_GRAY8, 30, 20)), 1);
        else
            ASSERT_EQ(pool.PushImage(kept == kRectangle ? rect : CRect(-1, -1, -1, -1)), 1);
        ASSERT_TRUE(gate.WaitForWriter());
        EXPECT_EQ(FilesNow(), 1) << "the file is begun";
        if (kept != kTheImageItself)
            QVSetFill(&pool.GetImage(), 0, CRect(0, 0, 1200, 1200));

        gate.OpenLater();
        ASSERT_EQ(pool.Undo(), 1);
        EXPECT_TRUE(gate.IsOpen()) << "the undo came back only once the writer had left";
        EXPECT_TRUE(RestoredOnlyInside(pool.GetImage(), original, kept == kRectangle ? rect : CRect(0, 0, 1200, 1200)));
        if (kept != kRectangle) {
            ASSERT_EQ(pool.GetImage().GetRoiCount(), 3);
            EXPECT_EQ(pool.GetImage().GetRoiPoints()[5], 300);
        }
        EXPECT_EQ(TempFiles(), 0);
    }
}

TEST_F(FramePool, APoolClosedWhileItsFilesAreBeingWrittenStopsThemAndLeavesNoFile)
{
    UseTempFolder();
    const CQvImage original = Pattern(QV_RGB24, 1200, 1200);
    {
        WriterGate gate;
        CQvFramePool pool;
        pool.SetImage(&original);
        ASSERT_EQ(pool.PushImage(-1, -1, -1, -1), 1);
        ASSERT_TRUE(gate.WaitForWriter());
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(pool.ReplaceImage(CQvImage(original)), 1);
        gate.OpenLater();
    }
    EXPECT_EQ(TempFiles(), 0);

    // Without a gate: writers at every stage when the pool goes.
    {
        CQvFramePool pool;
        pool.SetImage(&original);
        for (int i = 0; i < CQvFramePool::kMaxUndoPoints + 2; ++i)
            ASSERT_EQ(pool.ReplaceImage(CQvImage(original)), 1);
    }
    EXPECT_EQ(TempFiles(), 0);
}

TEST_F(FramePool, AScratchImageTakesTheBufferAWrittenUndoFileLeftWithItsRowPaddingCleared)
{
    UseTempFolder();
    CQvImage original = Pattern(QV_RGB24, 1201, 1200);  // rows of 3603 bytes padded to 3604
    for (int y = 0; y < original.GetHeight(); ++y)
        original.Get2DBuffer()[y][3603] = 0xEE;
    CQvFramePool pool;
    pool.SetImage(&original);
    const BYTE* kept = pool.GetImage().GetBuffer();
    ASSERT_EQ(pool.ReplaceImage(Pattern(QV_GRAY8, 5, 5)), 1);
    ASSERT_EQ(TempFiles(), 1);

    CQvImage like = Pattern(QV_RGB24, 1201, 1200);
    auto corners = std::make_unique<int[]>(4);
    corners[0] = 7, corners[1] = 8, corners[2] = 9, corners[3] = 10;
    like.SetRoi(QV_ROI_ELLIPSE, std::move(corners), 2);
    const CQvImage scratch = CQvFramePool::ScratchImage(like);
    EXPECT_EQ(scratch.GetBuffer(), kept) << "the written copy's buffer is used again";
    ASSERT_EQ(scratch.GetColorModel(), QV_RGB24);
    ASSERT_EQ(scratch.GetWidth(), 1201);
    ASSERT_EQ(scratch.GetHeight(), 1200);
    ASSERT_EQ(scratch.GetRoiKind(), QV_ROI_ELLIPSE);
    EXPECT_EQ(scratch.GetRoiPoints()[3], 10);
    int padding = 0;
    for (int y = 0; y < scratch.GetHeight(); ++y)
        padding += scratch.GetPixel(0, y)[3603];
    EXPECT_EQ(padding, 0);

    ASSERT_EQ(pool.Undo(), 1) << "the undo reads its file";
    EXPECT_TRUE(RestoredOnlyInside(pool.GetImage(), original, CRect(0, 0, 1201, 1200)));

    // Nothing of that model and size at hand: a new image, with the palette of an indexed one.
    CQvImage indexed = Pattern(QV_INDEX8, 7, 3);
    RGBQUAD palette[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    indexed.SetPalette(palette, 2);
    const CQvImage fresh = CQvFramePool::ScratchImage(indexed);
    ASSERT_EQ(fresh.GetColorModel(), QV_INDEX8);
    ASSERT_EQ(fresh.GetWidth(), 7);
    ASSERT_EQ(fresh.GetPaletteCount(), 2);
    EXPECT_EQ(fresh.GetPalette()[1].rgbGreen, 5);
    EXPECT_EQ(fresh.GetRoiKind(), QV_ROI_NONE);
    EXPECT_TRUE(CQvFramePool::ScratchImage(CQvImage()).IsEmpty());
}

TEST_F(FramePool, AComplementIsUndoneExactlyWithoutACopyAmongOtherUndoPoints)
{
    UseTempFolder();
    const struct
    {
        int model;
        int width;
        int height;
    } cases[] = {
        {QV_GRAY8, 7, 5},      // rows padded
        {QV_INDEX8, 6, 4},     // palette untouched
        {QV_RGB24, 5, 3},      // rows padded
        {QV_RGBA32, 3, 2},     // alpha complemented too
        {QV_RGB24, 1400, 1100},  // above the size that goes into a file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        CQvImage original = Pattern(c.model, c.width, c.height);
        if (c.model == QV_INDEX8) {
            RGBQUAD palette[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
            original.SetPalette(palette, 2);
        }
        CQvFramePool pool;
        pool.SetImage(&original);
        Complement(pool.GetImage());
        ASSERT_EQ(pool.PushComplemented(), 1);
        EXPECT_EQ(TempFiles(), 0) << "no copy, so no file";
        const CQvImage complemented = pool.GetImage();

        // Later commands of both kinds, undone first.
        ASSERT_EQ(pool.PushImage(-1, -1, -1, -1), 1);
        QVSetFill(&pool.GetImage(), 9, CRect(0, 0, c.width, c.height));
        ASSERT_EQ(pool.ReplaceImage(Pattern(QV_GRAY8, 2, 2)), 1);
        ASSERT_EQ(pool.Undo(), 1);
        ASSERT_EQ(pool.Undo(), 1);
        ASSERT_TRUE(SameBytes(pool.GetImage(), complemented));

        ASSERT_EQ(pool.Undo(), 1);
        EXPECT_TRUE(SameBytes(pool.GetImage(), original));
        EXPECT_EQ(pool.GetImage().GetPaletteCount(), original.GetPaletteCount());
        EXPECT_EQ(pool.CanUndo(), 0);
    }
}

TEST_F(FramePool, AComplementIsNotUndoneIntoAnotherPicture)
{
    CQvFramePool pool;
    EXPECT_EQ(pool.PushComplemented(), 0);  // no image yet
    EXPECT_EQ(pool.CanUndo(), 0);

    const CQvImage first = Pattern(QV_RGB24, 64, 48);
    CQvImage sameShape = first;
    Complement(sameShape);
    for (int y = 10; y < 20; ++y)  // a picture that shares most, not all, of what the complement left
        std::memset(sameShape.Get2DBuffer()[y], 0x5A, 64 * 3);
    const CQvImage others[] = {Pattern(QV_RGB24, 64, 49), Pattern(QV_RGBA32, 48, 48), sameShape};
    for (const CQvImage& other : others) {
        SCOPED_TRACE(other.GetHeight());
        pool.SetImage(&first);
        Complement(pool.GetImage());
        ASSERT_EQ(pool.PushComplemented(), 1);
        pool.SetImage(&other);  // a new frame put in behind the undo history

        EXPECT_EQ(pool.Undo(), 0);
        EXPECT_TRUE(SameBytes(pool.GetImage(), other));
        EXPECT_EQ(pool.CanUndo(), 0);
    }
}
