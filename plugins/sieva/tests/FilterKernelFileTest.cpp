#include "sieva/FilterKernelFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <limits>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(FilterKernelFile, TwoRowsOfThreeWriteThirtyTwoBytesColumnsFirst)
{
    QTemporaryDir folder;
    const float values[6] = {1.0f, -2.0f, 0.5f, 0.0f, 1.0f / 9.0f, 3.0f};
    CFilterKernel kernel;
    ASSERT_TRUE(kernel.Set(3, 2, values));
    const std::string path = folder.filePath("k.flt").toStdString();
    ASSERT_EQ(kernel.Save(path), 1);
    const Bytes expected = {3, 0, 0, 0, 2, 0, 0, 0,
                            0x00, 0x00, 0x80, 0x3F,   // 1
                            0x00, 0x00, 0x00, 0xC0,   // -2
                            0x00, 0x00, 0x00, 0x3F,   // 0.5
                            0x00, 0x00, 0x00, 0x00,   // 0
                            0x39, 0x8E, 0xE3, 0x3D,   // 1/9
                            0x00, 0x00, 0x40, 0x40};  // 3
    EXPECT_EQ(ReadFile(path), expected);
    CFilterKernel loaded;
    ASSERT_EQ(loaded.Load(path), 1);
    EXPECT_EQ(loaded.GetColumns(), 3);
    EXPECT_EQ(loaded.GetRows(), 2);
    EXPECT_EQ(loaded.GetValues(), std::vector<float>(values, values + 6));
}

TEST(FilterKernelFile, HostileFilesAreRefusedAndLeaveTheKernelAsItWas)
{
    auto file = [](int columns, int rows, size_t values) {
        Bytes bytes = {static_cast<unsigned char>(columns), static_cast<unsigned char>(columns >> 8),
                       static_cast<unsigned char>(columns >> 16), static_cast<unsigned char>(columns >> 24),
                       static_cast<unsigned char>(rows), static_cast<unsigned char>(rows >> 8),
                       static_cast<unsigned char>(rows >> 16), static_cast<unsigned char>(rows >> 24)};
        bytes.resize(8 + 4 * values, 0);
        return bytes;
    };
    Bytes infinite = file(1, 1, 1);
    infinite[10] = 0x80;
    infinite[11] = 0x7F;
    const struct
    {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"truncated header", {3, 0, 0, 0, 3}},
        {"short of its values", file(3, 3, 8)},
        {"longer than its values", file(3, 3, 10)},
        {"zero columns", file(0, 3, 0)},
        {"negative rows", file(3, -1, 0)},
        {"twelve columns", file(12, 1, 12)},
        {"huge counts", file(0x10000, 0x10000, 0)},
        {"an infinite value", infinite},
    };
    const float kept[4] = {1, 2, 3, 4};
    for (const auto& c : cases) {
        CFilterKernel kernel;
        ASSERT_TRUE(kernel.Set(2, 2, kept));
        EXPECT_FALSE(kernel.Parse(c.bytes.data(), c.bytes.size())) << c.name;
        EXPECT_EQ(kernel.GetColumns(), 2) << c.name;
        EXPECT_EQ(kernel.GetValues(), std::vector<float>(kept, kept + 4)) << c.name;
    }
    CFilterKernel kernel;
    EXPECT_EQ(kernel.Load("/nonexistent/k.flt"), 0);
    const Bytes eleven = file(11, 11, 121);
    EXPECT_TRUE(kernel.Parse(eleven.data(), eleven.size()));
}

}  // namespace
