#include "inifile/FileBytes.h"

#include "IniTestFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

TEST(FileBytes, ReplacesContentsKeepsModeAndLeavesNoTemporaryFile)
{
    IniTestFolder folder;
    const std::string file = folder.File("settings.ini");
    const std::string bytes("a\0b\r\n\xFF", 6);
    ASSERT_TRUE(WriteFileAtomically(file, "old contents that are longer"));
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);

    ASSERT_TRUE(WriteFileAtomically(file, bytes));
    std::string read;
    ASSERT_TRUE(ReadFileBytes(file, read));
    EXPECT_EQ(read, bytes);
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(FileBytes, FailuresReportAndCreateNothing)
{
    IniTestFolder folder;
    std::string read = "stale";
    EXPECT_FALSE(ReadFileBytes(folder.File("missing.ini"), read));
    EXPECT_TRUE(read.empty());
    EXPECT_FALSE(WriteFileAtomically(folder.File("no-such-folder/x.ini"), "x"));
    EXPECT_FALSE(std::filesystem::exists(folder.File("no-such-folder")));
}

TEST(FileBytes, ReadsEndOnWhatCannotBeASettingsFile)
{
    // A file past the size limit (sparse, so the test writes nothing), a FIFO nobody writes to and an endless
    // device: each must fail at once instead of blocking or reading without end.
    IniTestFolder folder;
    const std::string large = folder.File("large.ini");
    IniTestFolder::Write(large, "[S]\n");
    ASSERT_EQ(truncate(large.c_str(), static_cast<off_t>(kMaxSettingsFileBytes) + 1), 0);
    const std::string fifo = folder.File("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {large, fifo, std::string("/dev/zero"), folder.Path().string()}) {
        std::string read = "stale";
        EXPECT_FALSE(ReadFileBytes(path, read)) << path;
        EXPECT_TRUE(read.empty()) << path;
        EXPECT_EQ(OpenRegularFile(path), nullptr) << path;
    }
}

TEST(FileBytes, StreamOpensARegularFileWithinItsLimit)
{
    IniTestFolder folder;
    const std::string file = folder.File("last.cal");
    IniTestFolder::Write(file, "12345678");
    FILE* stream = OpenRegularFile(file, 8);
    ASSERT_NE(stream, nullptr);
    char read[9] = {};
    EXPECT_EQ(std::fread(read, 1, sizeof read, stream), 8u);
    EXPECT_STREQ(read, "12345678");
    std::fclose(stream);
    EXPECT_EQ(OpenRegularFile(file, 7), nullptr);
    std::string bytes;
    EXPECT_FALSE(ReadFileBytes(file, bytes, 7));
    EXPECT_TRUE(ReadFileBytes(file, bytes, 8));
}
