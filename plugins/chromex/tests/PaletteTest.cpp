#include "chromex/PaletteFile.h"
#include "chromex/PseudoColorTable.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

using namespace chromex;

namespace {

// A palette file as a Windows editor saves it: entry i is red i, green 255 - i, blue 2i (kept to its low byte).
std::string WindowsPaletteFile(const char* eol = "\r\n", int entries = 256, bool lowBytes = false)
{
    std::string file = std::string("Warm") + eol;
    for (int i = 0; i < entries; ++i)
        file += std::to_string(i) + "\t" + std::to_string(i) + "\t" + std::to_string(255 - i) + "\t" +
                std::to_string(lowBytes ? (2 * i) & 0xFF : 2 * i) + eol;
    return file;
}

bool Parse(const std::string& bytes, PseudoColorPalette& palette)
{
    return ParsePalette(bytes.data(), bytes.size(), palette);
}

void WriteFile(const QString& path, const std::string& bytes)
{
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

TEST(PaletteFile, ReadsNameAndEntriesFromLfAndCrlfFilesAlike)
{
    PseudoColorPalette crlf, lf;
    ASSERT_TRUE(Parse(WindowsPaletteFile("\r\n"), crlf));
    ASSERT_TRUE(Parse(WindowsPaletteFile("\n"), lf));
    EXPECT_EQ(crlf.name, "Warm");
    EXPECT_EQ(lf.name, crlf.name);
    EXPECT_EQ(lf.entries, crlf.entries);
    // Stored blue, green, red; 2 * 200 = 400 keeps its low byte 144.
    EXPECT_EQ(crlf.entries[3 * 200], 144);
    EXPECT_EQ(crlf.entries[3 * 200 + 1], 55);
    EXPECT_EQ(crlf.entries[3 * 200 + 2], 200);
    // Written back, the file holds the values as they were read.
    EXPECT_EQ(WritePalette(crlf), WindowsPaletteFile("\r\n", 256, true));
}

TEST(PaletteFile, ColoursAreReadAsAtoiReadsThemAndKeepTheirLowByte)
{
    std::string file = "Odd\n";
    file += "0\t 12abc\t-1\t+7\n";  // blanks, trailing text, signs
    file += "1\t99999999999\t256\t\n";  // saturated, wrapped, empty
    for (int i = 2; i < 256; ++i)
        file += "x\t0\t0\t0\n";  // the entry number is not read
    PseudoColorPalette palette;
    ASSERT_TRUE(Parse(file, palette));
    EXPECT_EQ(palette.entries[0], 7);
    EXPECT_EQ(palette.entries[1], 255);
    EXPECT_EQ(palette.entries[2], 12);
    EXPECT_EQ(palette.entries[3], 0);
    EXPECT_EQ(palette.entries[4], 0);
    EXPECT_EQ(palette.entries[5], 0xFF);  // 2147483647 & 0xFF
}

TEST(PaletteFile, HostileFilesAreRefusedAndChangeNothing)
{
    std::string withNul = WindowsPaletteFile();
    withNul[10] = '\0';
    std::string threeFields = WindowsPaletteFile();
    threeFields.replace(threeFields.find("5\t5\t250\t10"), 11, "5\t5\t250");
    const struct
    {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"name only", "Name\r\n"},
        {"short by one entry", WindowsPaletteFile("\r\n", 255)},
        {"a NUL byte", withNul},
        {"three fields", threeFields},
        {"more entries", WindowsPaletteFile("\r\n", 257)},
        {"huge", std::string(kMaxPaletteFileBytes + 1, '\n')},
    };
    for (const auto& c : cases) {
        PseudoColorPalette palette;
        palette.name = "kept";
        palette.entries[0] = 42;
        EXPECT_FALSE(Parse(c.bytes, palette)) << c.name;
        EXPECT_EQ(palette.name, "kept") << c.name;
        EXPECT_EQ(palette.entries[0], 42) << c.name;
    }
    // Empty lines after the last entry are only the end of the file.
    PseudoColorPalette palette;
    EXPECT_TRUE(Parse(WindowsPaletteFile() + "\r\n\r\n", palette));
}

TEST(PaletteFolder, FilesComeSortedByNameThenTheRampsAndRefusedFilesAreLeftOut)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // Written in reverse order, so the file system's order is unlikely to be the names' order.
    for (const char* name : {"c", "b", "a"}) {
        std::string bytes = WindowsPaletteFile();
        bytes.replace(0, 4, std::string("Pal ") + name);
        WriteFile(folder.filePath(QString(name) + ".pcu"), bytes);
    }
    WriteFile(folder.filePath("broken.pcu"), "Broken\r\n1\t2\t3\t4\r\n");
    WriteFile(folder.filePath("other.txt"), WindowsPaletteFile());
    CPseudoColorTable table(1);
    std::vector<std::string> refused;
    table.LoadPalettes(folder.path().toStdString(), &refused);
    EXPECT_EQ(table.Names(),
              (std::vector<std::string>{"Pal a", "Pal b", "Pal c", "Red to Blue", "Blue to Red"}));
    EXPECT_EQ(refused, std::vector<std::string>{"broken.pcu"});

    CPseudoColorTable empty(1);
    empty.LoadPalettes(folder.filePath("missing").toStdString());
    EXPECT_EQ(empty.Names(), (std::vector<std::string>{"Red to Blue", "Blue to Red"}));
}

TEST(PseudoColorTable, RampsIdentityAndSelectionRegardlessOfCase)
{
    CPseudoColorTable table(1);
    table.LoadPalettes("");
    for (int i : {0, 100, 255}) {
        EXPECT_EQ(table.Current()[3 * i], i);
        EXPECT_EQ(table.Current()[3 * i + 2], i);
    }
    ASSERT_TRUE(table.SelectByName("red to blue"));
    EXPECT_EQ(table.Current()[3 * 10], 10);        // blue i
    EXPECT_EQ(table.Current()[3 * 10 + 1], 0);     // green 0
    EXPECT_EQ(table.Current()[3 * 10 + 2], 245);   // red 255 - i
    ASSERT_TRUE(table.SelectByName("BLUE TO RED"));
    EXPECT_EQ(table.Current()[3 * 10], 245);
    EXPECT_EQ(table.Current()[3 * 10 + 2], 10);
    const ColourTable before = table.Current();
    EXPECT_FALSE(table.SelectByName("Green"));
    EXPECT_EQ(table.Current(), before);
}

TEST(PseudoColorTable, StepIndexStaysInsideTheTableForEveryDraw)
{
    EXPECT_EQ(RandomStep(0), -4);
    EXPECT_EQ(RandomStep(32766), 4);
    EXPECT_EQ(RandomStep(32767), 4);  // trunc(32767 * 10 / 32767) = 10: one past the ten steps
    std::set<double> seen;
    for (int draw = 0; draw <= kRandomMax; ++draw)
        seen.insert(RandomStep(draw));
    EXPECT_EQ(seen, (std::set<double>{-4, -3, -2, -1.5, -1, 1, 1.5, 2, 3, 4}));
}

TEST(PseudoColorTable, RandomTablesDifferEachTimeAndPrevBringsTheLastOneBack)
{
    CPseudoColorTable table(12345);
    table.LoadPalettes("");
    EXPECT_FALSE(table.HasPrevious());
    EXPECT_FALSE(table.RestorePrevious());
    table.MakeRandom();
    const ColourTable first = table.Current();
    table.MakeRandom();
    const ColourTable second = table.Current();
    // Seeded once: two tables made at once differ (the clock reseeded every time made them equal).
    EXPECT_NE(first, second);
    ASSERT_TRUE(table.RestorePrevious());
    EXPECT_EQ(table.Current(), first);
    // Each colour moves by at most 4 levels from one entry to the next: the steps bounce inside 0..255.
    for (int seed = 1; seed < 200; ++seed) {
        CPseudoColorTable random(static_cast<uint32_t>(seed));
        random.MakeRandom();
        for (int i = 1; i < 256; ++i)
            for (int c = 0; c < 3; ++c)
                ASSERT_LE(std::abs(random.Current()[3 * i + c] - random.Current()[3 * (i - 1) + c]), 4) << seed;
    }
}

}  // namespace
