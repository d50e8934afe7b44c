#include "caliper/CaliperSettings.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

using namespace caliper;

namespace {

using Record = std::array<uint8_t, CCaliperSettings::kRecordSize>;

// The default record, byte by byte as the table of the format gives it.
Record DefaultRecord()
{
    Record r{};
    const auto put = [&r](size_t offset, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            r[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(20, 20);
    put(24, 2);
    put(28, 1);
    put(36, 1);
    put(40, 1);
    put(456, 128);
    put(460, 128);
    put(464, 1);
    for (size_t offset = 468; offset <= 480; offset += 4)
        put(offset, 10);
    // Colour slots: 4 bytes without meaning, then B, G, R, 0.
    const uint8_t bgr[9][3] = {{0, 255, 0},   {0, 0, 255},   {255, 0, 0},     {0, 64, 192}, {192, 64, 0},
                               {255, 64, 255}, {255, 0, 0}, {255, 192, 192}, {64, 64, 64}};
    for (size_t slot = 0; slot < 9; ++slot)
        for (size_t i = 0; i < 3; ++i)
            r[484 + 8 * slot + 4 + i] = bgr[slot][i];
    return r;
}

class SettingsFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("caliper-settings-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    static std::vector<uint8_t> Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string Folder() const { return folder_.string() + "/"; }

    std::filesystem::path folder_;
};

std::vector<uint8_t> Bytes(const Record& record)
{
    return {record.begin(), record.end()};
}

void PutInt(std::vector<uint8_t>& bytes, size_t offset, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
}

}  // namespace

TEST(CaliperSettings, FreshRecordHasTheDefaults)
{
    const CCaliperSettings settings;
    EXPECT_EQ(settings.Bytes(), DefaultRecord());
    EXPECT_EQ(settings.Passes(), 20);
    EXPECT_EQ(settings.HalfWidth(), 2);
    EXPECT_EQ(settings.Detector(kPeak), 1);
    EXPECT_EQ(settings.Detector(kValley), 1);
    EXPECT_EQ(settings.Detector(kThreshold), 0);
    EXPECT_EQ(settings.UpperThreshold(), 128);
    EXPECT_EQ(settings.LowerThreshold(), 128);
    for (int kind = kPeak; kind <= kStepDown; ++kind)
        EXPECT_EQ(settings.MinimumWidth(kind), 10);
    EXPECT_EQ(settings.Colour(kToolColour), RGB(255, 64, 255));
    EXPECT_EQ(settings.Colour(kValley), 0xFF0000u);
}

TEST_F(SettingsFiles, ShortFileIsRefusedAndLongFileGivesItsFirstRecord)
{
    std::vector<uint8_t> file = Bytes(DefaultRecord());
    PutInt(file, 20, 7);
    file.resize(555);
    CCaliperSettings settings;
    EXPECT_EQ(settings.Load(Write("short.cst", file)), 0);
    EXPECT_EQ(settings.Bytes(), DefaultRecord());
    EXPECT_EQ(settings.Load((folder_ / "missing.cst").string()), 0);

    file = Bytes(DefaultRecord());
    PutInt(file, 20, 7);
    file.resize(600, 0xAB);
    ASSERT_EQ(settings.Load(Write("long.cst", file)), 1);
    EXPECT_EQ(settings.Passes(), 7);
    file.resize(556);
    EXPECT_EQ(Bytes(settings.Bytes()), file);
}

TEST_F(SettingsFiles, ReservedBytesStayAndBytesWithoutMeaningKeepTheirValues)
{
    std::vector<uint8_t> file = Bytes(DefaultRecord());
    for (size_t i = 0; i < 8; ++i)
        file[i] = 0x5A;  // no meaning
    for (size_t i = 52; i < 452; ++i)
        file[i] = static_cast<uint8_t>(i);  // reserved
    file[484] = 0x77;  // the first colour slot's bytes without meaning
    PutInt(file, 452, 99);
    PutInt(file, 12, 1);
    CCaliperSettings settings;
    ASSERT_EQ(settings.Load(Write("reserved.cst", file)), 1);
    Record expected = DefaultRecord();
    for (size_t i = 52; i < 452; ++i)
        expected[i] = static_cast<uint8_t>(i);
    expected[452] = 99;
    expected[12] = 1;
    EXPECT_EQ(settings.Bytes(), expected) << "the bytes without meaning are written as zero";

    // The defaults cover 8..48 and 452..555 and leave the reserved 400 bytes.
    settings.SetDefaults();
    expected[452] = 0;
    expected[12] = 0;
    EXPECT_EQ(settings.Bytes(), expected);
}

TEST_F(SettingsFiles, SaveWritesTheRecordByteForByteAndLoadsItBack)
{
    CCaliperSettings settings;
    settings.SetToolMode(2);
    settings.SetResultMode(1);
    settings.SetDecimals(3);
    settings.SetPasses(55);
    settings.SetHalfWidth(4);
    settings.SetShowNames(0);
    settings.SetDetector(kStepDown, 1);
    settings.SetUpperThreshold(200);
    settings.SetLowerThreshold(50);
    settings.SetColour(kFrameColour, RGB(1, 2, 3));
    const std::string path = (folder_ / "round.cst").string();
    ASSERT_EQ(settings.Save(path), 1);
    const std::vector<uint8_t> written = Read(path);
    ASSERT_EQ(written.size(), 556u);
    Record expected = DefaultRecord();
    const auto put = [&expected](size_t offset, uint8_t v) { expected[offset] = v; };
    put(8, 2);
    put(12, 1);
    put(16, 3);
    put(20, 55);
    put(24, 4);
    put(28, 0);
    put(48, 1);
    put(456, 200);
    put(460, 50);
    put(548 + 4, 3);  // B
    put(548 + 5, 2);  // G
    put(548 + 6, 1);  // R
    EXPECT_EQ(written, Bytes(expected));

    CCaliperSettings back;
    ASSERT_EQ(back.Load(path), 1);
    EXPECT_EQ(back.Bytes(), settings.Bytes());
    EXPECT_EQ(back.Colour(kFrameColour), RGB(1, 2, 3));
    EXPECT_EQ(settings.Save((folder_ / "no-such-folder" / "x.cst").string()), 0);
}

// A file may hold any value: those that size or bound a computation are brought into the dialog's ranges.
TEST_F(SettingsFiles, LoadBringsValuesIntoRange)
{
    struct Case
    {
        size_t offset;
        int32_t stored;
        int32_t loaded;
    };
    const Case cases[] = {
        {8, 7, 2},          {8, -1, 0},        {12, 5, 1},        {12, -3, 0},     {16, -5, 0},
        {16, 99, 10},       {20, 1000000, 100}, {20, -1, 0},       {20, 0, 0},      {24, -3, 0},
        {24, 6, 5},         {24, 0, 0},        {456, 300, 255},   {460, -1, 0},    {464, -4, 0},
        {468, 1 << 30, 65535}, {480, -10, 0},  {28, 77, 77},      {32, -9, -9},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> file = Bytes(DefaultRecord());
        PutInt(file, c.offset, c.stored);
        for (size_t i = 52; i < 452; ++i)
            file[i] = 0xEE;
        CCaliperSettings settings;
        ASSERT_EQ(settings.Load(Write("range.cst", file)), 1);
        const Record bytes = settings.Bytes();
        int32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<int32_t>(static_cast<uint32_t>(bytes[c.offset + static_cast<size_t>(i)]) << (8 * i));
        EXPECT_EQ(value, c.loaded) << "offset " << c.offset << " stored " << c.stored;
        EXPECT_EQ(bytes[100], 0xEE) << "other bytes are kept";
    }
}

TEST_F(SettingsFiles, DefaultFileFallsBackToTheUserFolder)
{
    const std::string install = Folder() + "install/";
    const std::string user = Folder() + "user/";
    std::filesystem::create_directories(install);
    {
        CCaliperSettings settings;
        settings.SetPasses(33);
        ASSERT_EQ(settings.Save(install + "DefaultSet.cst"), 1);
        settings.Bind(install, user);
        EXPECT_EQ(settings.Passes(), 33) << "the install file is read";
        settings.SetPasses(44);
        EXPECT_EQ(settings.SaveDefault(), 1);
    }
    CCaliperSettings again;
    again.Bind(install, user);
    EXPECT_EQ(again.Passes(), 44);

    // An install folder that cannot be written: the user's copy is written and wins at the next start.
    const std::string missing = Folder() + "not-there/";
    {
        CCaliperSettings settings;
        settings.Bind(missing, user);
        EXPECT_EQ(settings.Passes(), 20);
        settings.SetPasses(55);
    }  // saved at destruction
    EXPECT_TRUE(std::filesystem::exists(user + "DefaultSet.cst"));
    CCaliperSettings last;
    last.Bind(missing, user);
    EXPECT_EQ(last.Passes(), 55);
}
