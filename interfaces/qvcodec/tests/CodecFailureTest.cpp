// Failures the user is told about: every file the codec refuses to read gets its reason, taken from the file, and
// a save the disk cuts short fails with the system's reason instead of leaving a cut file behind.
#include "qvcodec/CQvImageCodec.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

namespace {

uint32_t Crc32(const QByteArray& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray BigEndian(uint32_t value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(value >> (24 - 8 * i));
    return bytes;
}

QByteArray Chunk(const char* type, const QByteArray& data)
{
    const QByteArray typed = QByteArray(type, 4) + data;
    return BigEndian(static_cast<uint32_t>(data.size())) + typed + BigEndian(Crc32(typed));
}

// A PNG whose header states an RGBA image of that size, with no pixel data to speak of.
QByteArray PngStating(uint32_t width, uint32_t height)
{
    const QByteArray header = BigEndian(width) + BigEndian(height) + QByteArray("\x08\x06\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) + Chunk("IDAT", QByteArray()) +
           Chunk("IEND", QByteArray());
}

class CodecFailure : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_GT(codec.Install(""), 0);
    }
    std::string PathOf(const char* name) const { return folder.filePath(name).toStdString(); }
    std::string Write(const char* name, const QByteArray& bytes) const
    {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return PathOf(name);
    }
    QByteArray Saved(const char* name) const
    {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(qRgb(10, 120, 200));
        EXPECT_TRUE(picture.save(folder.filePath(name)));
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    QTemporaryDir folder;
    CQvImageCodec codec;
};

}  // namespace

TEST_F(CodecFailure, EachRefusedFileGetsItsReason)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir("a folder"));
    const QByteArray bmp = Saved("whole.bmp");
    const QByteArray jpeg = Saved("whole.jpg");
    const QByteArray tiff = Saved("whole.tif");
    const struct
    {
        const char* what;
        std::string path;
        QvCodecReadFailure reason;
    } cases[] = {
        {"missing", PathOf("missing.png"), QvCodecReadFailure::NotFound},
        {"in a missing folder", PathOf("no folder/x.png"), QvCodecReadFailure::NotFound},
        {"a folder", PathOf("a folder"), QvCodecReadFailure::NotAPicture},
        {"empty", Write("empty.png", QByteArray()), QvCodecReadFailure::NotAPicture},
        {"text", Write("text.jpg", "not an image at all"), QvCodecReadFailure::NotAPicture},
        {"bmp cut in its pixels", Write("cut.bmp", bmp.left(bmp.size() * 9 / 10)), QvCodecReadFailure::Damaged},
        {"jpeg cut", Write("cut.jpg", jpeg.left(jpeg.size() / 2)), QvCodecReadFailure::Damaged},
        {"tiff cut", Write("cut.tif", tiff.left(tiff.size() * 9 / 10)), QvCodecReadFailure::Damaged},
        {"wider than an image may be", Write("wide.png", PngStating(70000, 8)), QvCodecReadFailure::TooLarge},
        {"more pixels than an image may hold", Write("vast.png", PngStating(30000, 30000)),
         QvCodecReadFailure::TooLarge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CQvImage image;
        ASSERT_EQ(codec.Read(c.path.c_str(), &image, nullptr, 0, -1, -1), 0) << "the case must be a failed read";
        EXPECT_EQ(codec.WhyReadFails(c.path.c_str(), nullptr, 0), c.reason);
    }
    // Reads that insist on an image the file lacks or on a format not installed.
    CQvImage image;
    const std::string tif = PathOf("whole.tif");
    ASSERT_EQ(codec.Read(tif.c_str(), &image, "tiff", 1, -1, -1), 0);
    EXPECT_EQ(codec.WhyReadFails(tif.c_str(), "tiff", 1), QvCodecReadFailure::Damaged);
    ASSERT_EQ(codec.Read(tif.c_str(), &image, "gif", 0, -1, -1), 0);
    EXPECT_EQ(codec.WhyReadFails(tif.c_str(), "gif", 0), QvCodecReadFailure::NotAPicture);
}

TEST_F(CodecFailure, AFileThatMayNotBeReadSaysSo)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser reads every file";
    const std::string path = Write("locked.png", Saved("whole.png"));
    ASSERT_TRUE(QFile::setPermissions(QString::fromStdString(path), QFileDevice::WriteOwner));
    CQvImage image;
    EXPECT_EQ(codec.Read(path.c_str(), &image, nullptr, 0, -1, -1), 0);
    EXPECT_EQ(codec.WhyReadFails(path.c_str(), nullptr, 0), QvCodecReadFailure::NoAccess);
}

TEST_F(CodecFailure, ASaveTheDiskCutsShortFailsWithItsReasonAndKeepsTheEarlierFile)
{
    CQvImage image;
    ASSERT_EQ(image.Create(QV_RGB24, 200, 100, 0), 1);
    for (const char* name : {"cut.bmp", "cut.png", "cut.tif", "cut.jpg"}) {
        SCOPED_TRACE(name);
        QTemporaryDir own;
        const std::string path = own.filePath(name).toStdString();
        ASSERT_EQ(codec.Save(path.c_str(), &image, nullptr), 1);
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray earlier = file.readAll();
        file.close();
        for (int x = 0; x < 200; ++x)
            image.GetPixel(x, 50)[1] = static_cast<BYTE>(x);  // a new picture, which no longer fits the limit

        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const rlimit small{static_cast<rlim_t>(earlier.size() / 2), saved.rlim_max};
        void (*handler)(int) = signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        errno = 0;
        const int written = codec.Save(path.c_str(), &image, nullptr);
        const int error = errno;
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, handler);

        EXPECT_EQ(written, 0);
        EXPECT_EQ(error, EFBIG);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), earlier);
        EXPECT_EQ(QDir(own.path()).entryList(QDir::Files).size(), 1) << "no temporary file is left";
    }
}
