#include "calibkeeper/CCalibKeeper.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

struct TempStream
{
    FILE* file = std::tmpfile();
    ~TempStream() { std::fclose(file); }

    Bytes Contents() const
    {
        Bytes bytes;
        std::rewind(file);
        for (int c; (c = std::fgetc(file)) != EOF;)
            bytes.push_back(static_cast<unsigned char>(c));
        std::rewind(file);
        return bytes;
    }

    void Put(const Bytes& bytes)
    {
        if (!bytes.empty())
            std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::rewind(file);
    }
};

CCalibKeeper LensA()
{
    CCalibKeeper c;
    c.Create(UNIT_MICROMETER, 200.0, 100.0, 10.0, 1.0, 0.0, 0.0, 0.0);
    c.SetName("Lens A");
    c.SetScaleLength(50);
    return c;
}

// LensA() as it is stored.
const Bytes kLensARecord = {
    'C', 'A', 'L', 'K',                              // magic
    0x01, 0x00, 0x00, 0x00,                          // version 1
    0x06, 0x00, 0x00, 0x00,                          // name bytes
    'L', 'e', 'n', 's', ' ', 'A',                    //
    0x02, 0x00, 0x00, 0x00,                          // unit: micrometre
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x3F,  // units per pixel 0.5
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x24, 0x40,  // magnification 10
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x69, 0x40,  // pixel length 200
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x59, 0x40,  // real length 100
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,  // further values 1, 0, 0, 0
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
    0x32, 0x00, 0x00, 0x00,                          // scale length 50
};

void ExpectLensA(const CCalibKeeper& c)
{
    EXPECT_EQ(c.GetName(), "Lens A");
    EXPECT_EQ(c.GetUnit(), UNIT_MICROMETER);
    EXPECT_DOUBLE_EQ(c.GetUnitsPerPixel(), 0.5);
    EXPECT_DOUBLE_EQ(c.GetMagnification(), 10.0);
    EXPECT_DOUBLE_EQ(c.GetCalibration()->pixelLength, 200.0);
    EXPECT_DOUBLE_EQ(c.GetCalibration()->realLength, 100.0);
    EXPECT_DOUBLE_EQ(c.GetCalibration()->further[0], 1.0);
    EXPECT_EQ(c.GetScaleLength(), 50);
}

void ExpectUntouched(const CCalibKeeper& c)
{
    EXPECT_EQ(c.GetName(), "keep");
    EXPECT_EQ(c.GetUnit(), UNIT_PIXEL);
    EXPECT_DOUBLE_EQ(c.GetUnitsPerPixel(), 1.0);
    EXPECT_EQ(c.GetScaleLength(), 100);
}

void PutDouble(Bytes& record, size_t offset, double value)
{
    std::memcpy(&record[offset], &value, sizeof value);  // the test machine is little-endian, as the format
}

}  // namespace

TEST(CCalibKeeperRecord, WritesTheFixtureByteForByte)
{
    TempStream s;
    ASSERT_EQ(LensA().Write(s.file), 1);
    EXPECT_EQ(s.Contents(), kLensARecord);
}

TEST(CCalibKeeperRecord, ReadsBackInsideOtherDataAndStopsAtItsEnd)
{
    TempStream s;
    const Bytes before = {1, 2, 3};
    std::fwrite(before.data(), 1, before.size(), s.file);
    ASSERT_EQ(LensA().Write(s.file), 1);
    std::fputs("tail", s.file);

    std::fseek(s.file, static_cast<long>(before.size()), SEEK_SET);
    CCalibKeeper c;
    ASSERT_EQ(c.Read(s.file), 1);
    ExpectLensA(c);
    char tail[5] = {};
    ASSERT_EQ(std::fread(tail, 1, 4, s.file), 4u);
    EXPECT_STREQ(tail, "tail");
}

TEST(CCalibKeeperRecord, EveryTruncationIsRefusedAndLeavesTheCalibration)
{
    for (size_t length = 0; length < kLensARecord.size(); ++length) {
        TempStream s;
        s.Put(Bytes(kLensARecord.begin(), kLensARecord.begin() + static_cast<long>(length)));
        CCalibKeeper c;
        c.SetName("keep");
        EXPECT_EQ(c.Read(s.file), 0) << length;
        ExpectUntouched(c);
    }
}

TEST(CCalibKeeperRecord, HostileFieldsAreRefused)
{
    constexpr size_t kUnitAt = 18;
    constexpr size_t kFactorAt = 22;
    const struct
    {
        const char* what;
        size_t offset;
        Bytes bytes;
        std::optional<double> factor;  // units per pixel written over the fixture's
    } cases[] = {
        {"magic", 0, {'C', 'A', 'L', 'X'}, {}},
        {"newer version", 4, {0x02, 0, 0, 0}, {}},
        {"name longer than allowed", 8, {0x01, 0x04, 0, 0}, {}},
        {"name count beyond the file", 8, {0xFF, 0xFF, 0xFF, 0x7F}, {}},
        {"unit 8", kUnitAt, {0x08, 0, 0, 0}, {}},
        {"unit -1", kUnitAt, {0xFF, 0xFF, 0xFF, 0xFF}, {}},
        {"zero factor", 0, {}, 0.0},
        {"negative factor", 0, {}, -2.0},
        {"infinite factor", 0, {}, std::numeric_limits<double>::infinity()},
        {"NaN factor", 0, {}, std::numeric_limits<double>::quiet_NaN()},
    };
    for (const auto& c : cases) {
        Bytes record = kLensARecord;
        std::copy(c.bytes.begin(), c.bytes.end(), record.begin() + static_cast<long>(c.offset));
        if (c.factor)
            PutDouble(record, kFactorAt, *c.factor);
        TempStream s;
        s.Put(record);
        CCalibKeeper k;
        k.SetName("keep");
        EXPECT_EQ(k.Read(s.file), 0) << c.what;
        ExpectUntouched(k);
    }
}
