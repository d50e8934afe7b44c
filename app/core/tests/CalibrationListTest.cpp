#include "core/CCalibrationList.h"

#include "stream/LeStream.h"
#include "testing/MessageBoxRecorder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using Bytes = std::vector<unsigned char>;

CCalibKeeper Calib(const std::string& name, int unit, double upp, double magnification, int scale)
{
    CCalibKeeper c;
    c.SetName(name);
    c.SetUnit(unit);
    c.SetUnitsPerPixel(upp);
    c.SetMagnification(magnification);
    c.SetScaleLength(scale);
    return c;
}

// The calibration's own record, as it embeds in the list file.
Bytes RecordOf(const CCalibKeeper& calib)
{
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    calib.Write(out);
    std::fclose(out);
    Bytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

void Append(Bytes& to, const Bytes& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

Bytes Header(float version, int32_t count)
{
    Bytes bytes;
    {
        LeWriter w(bytes);
        w.Bytes("CALIBRATIONLIST", 16);
        w.Float(version);
        w.Int32(count);
    }
    return bytes;
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct Record
{
    double magnification;
    double upp;
    int unit;
    int scale;
};

void ExpectRecord(const tagMagnificationRecord& got, const Record& want)
{
    EXPECT_EQ(got.magnification, want.magnification);
    EXPECT_EQ(got.unitsPerPixel, want.upp);
    EXPECT_EQ(got.unitType, want.unit);
    EXPECT_EQ(got.scaleDefault, want.scale);
}

// "A": 10x and 20x; "B": no records; "C": 5x.
void FillSample(CCalibrationList& list)
{
    auto a = std::make_unique<CCalibrationListItem>(Calib("A", 2, 0.5, 10, 100));
    a->GetRecords() = {{10, 0.5, 2, 100}, {20, 0.25, 4, 50}};
    list.AddItem(std::move(a));
    list.AddItem(std::make_unique<CCalibrationListItem>(Calib("B", 1, 3.0, -1, 10)));
    auto c = std::make_unique<CCalibrationListItem>(Calib("C", 7, 0.001, 5, 1));
    c->GetRecords() = {{5, 0.001, 7, 1}};
    list.AddItem(std::move(c));
}

std::vector<std::string> Names(const CCalibrationList& list)
{
    std::vector<std::string> names;
    for (const auto& item : list.GetItems())
        names.push_back(item->GetName());
    return names;
}

class CalibrationListFiles : public ::testing::Test
{
protected:
    std::string Path(const std::string& name) const { return m_dir.filePath(QString::fromStdString(name)).toStdString(); }
    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.path().toStdString()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(CalibrationListFiles, WriterLaysOutTagVersionCountsAndRecordsByteForByte)
{
    CCalibrationList list;
    FillSample(list);
    const std::string path = Path("calibration.cst");
    ASSERT_EQ(list.Write(path), 1);

    Bytes want = {'C', 'A', 'L', 'I', 'B', 'R', 'A', 'T', 'I', 'O', 'N', 'L', 'I', 'S', 'T', 0,
                  0x9A, 0x99, 0xD9, 0x3F,  // 1.7f
                  3, 0, 0, 0};
    Append(want, RecordOf(list.GetItems()[0]->GetCalibration()));
    Append(want, {2, 0, 0, 0,
                  0, 0, 0, 0, 0, 0, 0x24, 0x40,  0, 0, 0, 0, 0, 0, 0xE0, 0x3F,  2, 0, 0, 0,  100, 0, 0, 0,
                  0, 0, 0, 0, 0, 0, 0x34, 0x40,  0, 0, 0, 0, 0, 0, 0xD0, 0x3F,  4, 0, 0, 0,  50, 0, 0, 0});
    Append(want, RecordOf(list.GetItems()[1]->GetCalibration()));
    Append(want, {0, 0, 0, 0});
    Append(want, RecordOf(list.GetItems()[2]->GetCalibration()));
    Append(want, {1, 0, 0, 0});
    {
        LeWriter w(want);
        w.Double(5);
        w.Double(0.001);
        w.Int32(7);
        w.Int32(1);
    }
    EXPECT_EQ(ReadFile(path), want);

    CCalibrationList back;
    EXPECT_EQ(back.Read(path), CCalibrationList::READ_CLEAN);
    EXPECT_TRUE(back.IsLastReadClean());
    ASSERT_EQ(Names(back), (std::vector<std::string>{"A", "B", "C"}));
    ASSERT_EQ(back.GetItems()[0]->GetRecords().size(), 2u);
    ExpectRecord(back.GetItems()[0]->GetRecords()[1], {20, 0.25, 4, 50});
    EXPECT_TRUE(back.GetItems()[1]->GetRecords().empty());
    EXPECT_EQ(back.GetItems()[2]->GetCalibration().GetUnit(), UNIT_METER);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"calibration.cst"});  // no temporary file left
}

// Older lists: 1.4 has 16-byte records that take the calibration's unit; before 1.6 (as a double, so 1.6f itself
// is not before) the unit list was one shorter at its start; 1.6 wrote no scale default.
TEST_F(CalibrationListFiles, OlderVersionsReadAsTheyWereWritten)
{
    struct Case
    {
        float version;
        int firstUnit;
        int firstScale;
    };
    const Case cases[] = {{1.4f, 3 + 1, 0}, {1.5f, 4 + 1, 77}, {1.6f, 4, 0}, {1.7f, 4, 77}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        const bool shortRecords = c.version < 1.5f;
        Bytes file = Header(c.version, 2);
        for (const char* name : {"first", "second"}) {
            Append(file, RecordOf(Calib(name, 3, 0.5, 10, 100)));
            LeWriter w(file);
            w.Int32(2);
            for (int i = 1; i <= 2; ++i) {
                w.Double(10.0 * i);
                w.Double(0.5 / i);
                if (!shortRecords) {
                    w.Int32(4);
                    w.Int32(77);
                }
            }
        }
        const std::string path = Path("old.cst");
        WriteFile(path, file);

        CCalibrationList list;
        ASSERT_EQ(list.Read(path), CCalibrationList::READ_CLEAN);
        ASSERT_EQ(Names(list), (std::vector<std::string>{"first", "second"}));
        for (const auto& item : list.GetItems()) {
            ASSERT_EQ(item->GetRecords().size(), 2u);
            ExpectRecord(item->GetRecords()[0], {10, 0.5, c.firstUnit, c.firstScale});
            ExpectRecord(item->GetRecords()[1], {20, 0.25, c.firstUnit, c.firstScale});
        }
    }
}

TEST_F(CalibrationListFiles, ReadingAppendsToTheListAndAMissingFileChangesNothing)
{
    CCalibrationList written;
    FillSample(written);
    const std::string path = Path("calibration.cst");
    ASSERT_EQ(written.Write(path), 1);

    CCalibrationList list;
    EXPECT_EQ(list.Read(Path("absent.cst")), CCalibrationList::READ_MISSING);
    EXPECT_TRUE(list.IsLastReadClean());
    EXPECT_TRUE(list.GetItems().empty());
    list.AddItem(std::make_unique<CCalibrationListItem>(Calib("mine", 2, 1.0, -1, 0)));
    EXPECT_EQ(list.Read(path), CCalibrationList::READ_CLEAN);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"mine", "A", "B", "C"}));
}

TEST(CalibrationList, SelectCalibrationTakesTheRecordOfTheMagnificationOrTheFirst)
{
    struct Case
    {
        const char* name;
        double magnification;
        int result;
        const char* wantName;
        Record want;  // magnification, upp, unit, scale of the current calibration afterwards
    };
    const Record initial{-1, 1.0, 0, 100};
    const Case cases[] = {
        {"A", 20, 1, "A", {20, 0.25, 4, 50}},
        {"A", 99, 1, "A", {10, 0.5, 2, 100}},  // no such magnification: the first record
        {"B", 10, 1, "B", initial},            // no records: the name alone
        {"Z", 10, 0, "", initial},             // unknown: nothing changes
        {"a", 10, 0, "", initial},             // names are compared with case
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCalibrationList list;
        FillSample(list);
        EXPECT_EQ(list.SelectCalibration(c.name, c.magnification), c.result);
        const CCalibKeeper& current = *list.GetCurrentCalibration();
        EXPECT_EQ(current.GetName(), c.wantName);
        EXPECT_EQ(current.GetMagnification(), c.want.magnification);
        EXPECT_EQ(current.GetUnitsPerPixel(), c.want.upp);
        EXPECT_EQ(current.GetUnit(), c.want.unit);
        EXPECT_EQ(current.GetScaleLength(), c.want.scale);
    }
}

TEST(CalibrationList, StoreCalibrationKeepsNamedCalibrationsOnceEachMagnification)
{
    struct Case
    {
        CCalibKeeper stored;
        std::vector<std::string> wantNames;
        std::vector<Record> wantRecordsOfStored;  // of the item of the stored name, when listed
    };
    const std::vector<std::string> sample{"A", "B", "C"};
    const Case cases[] = {
        {Calib("임시", 4, 0.2, 10, 5), sample, {}},
        {Calib("없음", 4, 0.2, 10, 5), sample, {}},
        {Calib("", 4, 0.2, 10, 5), sample, {}},
        {Calib("A", 5, 0.3, 20, 9), sample, {{10, 0.5, 2, 100}, {20, 0.3, 5, 9}}},      // updated in place
        {Calib("A", 5, 0.3, 40, 9), sample, {{10, 0.5, 2, 100}, {20, 0.25, 4, 50}, {40, 0.3, 5, 9}}},
        {Calib("B", 1, 2.0, -1, 3), sample, {{-1, 2.0, 1, 3}}},
        {Calib("New", 6, 0.01, 100, 7), {"A", "B", "C", "New"}, {{100, 0.01, 6, 7}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.GetName());
        CCalibrationList list;
        FillSample(list);
        list.StoreCalibration(c.stored);
        const CCalibKeeper& current = *list.GetCurrentCalibration();
        EXPECT_EQ(current.GetName(), c.stored.GetName());
        EXPECT_EQ(current.GetUnitsPerPixel(), c.stored.GetUnitsPerPixel());
        EXPECT_EQ(current.GetMagnification(), c.stored.GetMagnification());
        EXPECT_EQ(Names(list), c.wantNames);
        if (c.wantRecordsOfStored.empty())
            continue;
        const CCalibrationListItem* item = list.FindByName(c.stored.GetName());
        ASSERT_NE(item, nullptr);
        ASSERT_EQ(item->GetRecords().size(), c.wantRecordsOfStored.size());
        for (size_t i = 0; i < c.wantRecordsOfStored.size(); ++i)
            ExpectRecord(item->GetRecords()[i], c.wantRecordsOfStored[i]);
    }
}

TEST(CalibrationList, ReorderByNamesFollowsTheRowsAndLosesNoItem)
{
    CCalibrationList list;
    FillSample(list);
    EXPECT_EQ(list.ReorderByNames({"C", "A", "B"}), 1);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"C", "A", "B"}));
    EXPECT_EQ(list.ReorderByNames({"B", "gone"}), 0);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"B", "C", "A"}));
}

TEST(CalibrationList, NumbersLoseTheirTrailingZeros)
{
    const std::pair<double, const char*> cases[] = {
        {10.0, "10"}, {2.5, "2.5"}, {0.0, "0"}, {0.125, "0.125"}, {-1.0, "-1"}, {1000.0, "1000"}, {1e-7, "0"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(CCalibrationList::NumberToText(value), text) << value;
    EXPECT_EQ(CCalibrationList::TextToNumber("2.5x"), 2.5);
    EXPECT_EQ(CCalibrationList::TextToNumber("none"), 0.0);
}

// A file cut anywhere keeps the calibrations before the cut and the records of every block it holds whole (a block
// cut inside its records counts more than is left, and none of them is taken), and is reported as not clean.
TEST_F(CalibrationListFiles, TruncatedFileKeepsWhatWasReadAndIsNotClean)
{
    CCalibrationList written;
    FillSample(written);
    const std::string full = Path("full.cst");
    ASSERT_EQ(written.Write(full), 1);
    const Bytes bytes = ReadFile(full);
    const size_t recordA = RecordOf(written.GetItems()[0]->GetCalibration()).size();
    const size_t firstRecords = 24 + recordA + 4;

    struct Case
    {
        size_t cut;
        std::vector<std::string> wantNames;
        size_t wantRecordsOfA;
    };
    const Case cases[] = {
        {10, {}, 0},                             // inside the tag
        {22, {}, 0},                             // inside the count
        {24 + recordA / 2, {}, 0},               // inside the first calibration
        {24 + recordA + 2, {"A"}, 0},            // inside its record count
        {firstRecords + 30, {"A"}, 0},           // inside its second record: the count is more than is left
        {bytes.size() - 1, {"A", "B", "C"}, 2},  // inside the last record
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cut);
        const std::string path = Path("cut.cst");
        WriteFile(path, Bytes(bytes.begin(), bytes.begin() + static_cast<long>(c.cut)));
        CCalibrationList list;
        EXPECT_NE(list.Read(path), CCalibrationList::READ_CLEAN);
        EXPECT_FALSE(list.IsLastReadClean());
        EXPECT_EQ(Names(list), c.wantNames);
        if (!c.wantNames.empty()) {
            EXPECT_EQ(list.GetItems()[0]->GetRecords().size(), c.wantRecordsOfA);
        }
        if (c.wantNames.size() == 3) {
            EXPECT_TRUE(list.GetItems()[2]->GetRecords().empty());
        }
    }
}

TEST_F(CalibrationListFiles, AbsurdCountsAreBoundedByTheFile)
{
    const Bytes record = RecordOf(Calib("only", 2, 0.5, 10, 100));
    struct Case
    {
        const char* what;
        int32_t calibrations;
        int32_t records;
        size_t wantItems;
        size_t wantRecords;
    };
    const Case cases[] = {
        {"huge calibration count", 0x7FFFFFFF, 1, 1, 1},
        {"negative calibration count", -5, 1, 0, 0},
        {"huge record count", 1, 0x7FFFFFFF, 1, 0},
        {"negative record count", 1, -1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes file = Header(1.7f, c.calibrations);
        Append(file, record);
        {
            LeWriter w(file);
            w.Int32(c.records);
            w.Double(10);
            w.Double(0.5);
            w.Int32(2);
            w.Int32(100);
        }
        const std::string path = Path("absurd.cst");
        WriteFile(path, file);

        const auto start = std::chrono::steady_clock::now();
        CCalibrationList list;
        EXPECT_EQ(list.Read(path), CCalibrationList::READ_DAMAGED);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        ASSERT_EQ(list.GetItems().size(), c.wantItems);
        if (c.wantItems) {
            EXPECT_EQ(list.GetItems()[0]->GetRecords().size(), c.wantRecords);
        }
    }
}

// A record count that claims more than the file holds says nothing of where the records end: the bytes after it
// are the next calibration's, and reading them as records would make calibrations of nonsense (a factor of
// 1e180, a unit of two thousand million). The calibration read so far is kept, without records, and reading stops.
TEST_F(CalibrationListFiles, ARecordCountBeyondTheFileTakesNoRecordFromTheNextBlock)
{
    // clang-format off
    const Bytes file = {
        // "CALIBRATIONLIST", 1.7f, two calibrations
        0x43, 0x41, 0x4C, 0x49, 0x42, 0x52, 0x41, 0x54, 0x49, 0x4F, 0x4E, 0x4C, 0x49, 0x53, 0x54, 0x00,
        0x9A, 0x99, 0xD9, 0x3F, 0x02, 0x00, 0x00, 0x00,
        // "A": micrometre, 0.5 per pixel at 10x, scale 100
        0x43, 0x41, 0x4C, 0x4B, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x41, 0x02, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x24, 0x40,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x3F,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x64, 0x00, 0x00, 0x00,
        // its record count: 0x7FFFFFFF
        0xFF, 0xFF, 0xFF, 0x7F,
        // "B": millimetre, 0.001 per pixel at 5x, scale 1, with its one record
        0x43, 0x41, 0x4C, 0x4B, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x42, 0x04, 0x00, 0x00, 0x00,
        0xFC, 0xA9, 0xF1, 0xD2, 0x4D, 0x62, 0x50, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x40,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F, 0xFC, 0xA9, 0xF1, 0xD2, 0x4D, 0x62, 0x50, 0x3F,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x01, 0x00, 0x00, 0x00,
        0x01, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x40, 0xFC, 0xA9, 0xF1, 0xD2, 0x4D, 0x62, 0x50, 0x3F,
        0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
    };
    // clang-format on
    const std::string path = Path("lying.cst");
    WriteFile(path, file);

    CCalibrationList list;
    EXPECT_EQ(list.Read(path), CCalibrationList::READ_DAMAGED);
    ASSERT_EQ(Names(list), std::vector<std::string>{"A"});
    EXPECT_EQ(list.GetItems()[0]->GetCalibration().GetUnitsPerPixel(), 0.5);
    EXPECT_TRUE(list.GetItems()[0]->GetRecords().empty());

    // The same block with its true count reads whole: the fixture is sound but for that one field.
    Bytes honest = file;
    const Bytes lie = {0xFF, 0xFF, 0xFF, 0x7F};
    const auto at = std::search(honest.begin(), honest.end(), lie.begin(), lie.end());
    ASSERT_NE(at, honest.end());
    std::fill(at, at + 4, 0);
    WriteFile(path, honest);
    CCalibrationList whole;
    EXPECT_EQ(whole.Read(path), CCalibrationList::READ_CLEAN);
    ASSERT_EQ(Names(whole), (std::vector<std::string>{"A", "B"}));
    ASSERT_EQ(whole.GetItems()[1]->GetRecords().size(), 1u);
    ExpectRecord(whole.GetItems()[1]->GetRecords()[0], {5, 0.001, 4, 1});
}

// A damaged list met at start-up is kept aside at once and the user is told, once, which file it was and where its
// copy is; what could not even be copied is said too, and that file is never replaced.
TEST_F(CalibrationListFiles, ADamagedListAtStartUpIsKeptAndToldOnce)
{
    CCalibrationList source;
    FillSample(source);
    const std::string path = Path("calibration.cst");
    ASSERT_EQ(source.Write(path), 1);
    Bytes damaged = ReadFile(path);
    damaged.resize(damaged.size() - 3);
    WriteFile(path, damaged);

    auto& boxes = testing_support::MessageBoxes();
    CCalibrationList list;
    EXPECT_EQ(list.ReadAtStartUp(path), CCalibrationList::READ_DAMAGED);
    EXPECT_EQ(ReadFile(path + ".bak"), damaged);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const std::string told = boxes.Boxes()[0].text;
    EXPECT_NE(told.find(path + " "), std::string::npos) << told;
    EXPECT_NE(told.find(path + ".bak"), std::string::npos) << told;
    EXPECT_NE(boxes.Boxes()[0].type & MB_ICONWARNING, 0u);

    // The save at shut-down replaces the damaged file without another copy or word.
    ASSERT_EQ(list.Write(path), 1);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"calibration.cst", "calibration.cst.bak"}));
    CCalibrationList next;
    EXPECT_EQ(next.ReadAtStartUp(path), CCalibrationList::READ_CLEAN);
    EXPECT_EQ(boxes.Boxes().size(), 1u);

    // Something there that cannot be read at all cannot be copied either: said so, and left alone.
    const std::string folderPath = Path("folder.cst");
    std::filesystem::create_directory(folderPath);
    CCalibrationList unreadable;
    EXPECT_EQ(unreadable.ReadAtStartUp(folderPath), CCalibrationList::READ_UNREADABLE);
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_NE(boxes.Boxes()[1].text.find(folderPath), std::string::npos);
    EXPECT_EQ(boxes.Boxes()[1].text.find(".bak"), std::string::npos);
    EXPECT_EQ(unreadable.Write(folderPath), 0);
    EXPECT_TRUE(std::filesystem::is_directory(folderPath));
}

TEST_F(CalibrationListFiles, ForeignFileIsNotReadAndItsImportIsRefused)
{
    const std::string path = Path("caliper.cst");
    Bytes foreign(556, 0x11);  // another program's settings under the same extension
    WriteFile(path, foreign);

    CCalibrationList list;
    FillSample(list);
    EXPECT_EQ(list.Read(path), CCalibrationList::READ_FOREIGN);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "B", "C"}));

    auto& boxes = testing_support::MessageBoxes();
    const CCalibKeeper before = *list.GetCurrentCalibration();
    EXPECT_EQ(list.ImportFile(path), 0);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].type & MB_ICONERROR, 0u);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(list.GetCurrentCalibration()->GetName(), before.GetName());

    // A damaged list is refused as a whole too, rather than imported in part.
    CCalibrationList source;
    FillSample(source);
    ASSERT_EQ(source.Write(path), 1);
    Bytes cut = ReadFile(path);
    cut.pop_back();
    WriteFile(path, cut);
    EXPECT_EQ(list.ImportFile(path), 0);
    EXPECT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(CalibrationListFiles, ImportStoresEveryCalibrationAndMagnificationThroughTheDialog)
{
    CCalibrationList source;
    auto a = std::make_unique<CCalibrationListItem>(Calib("A", 2, 0.5, 10, 100));
    a->GetRecords() = {{10, 0.4, 3, 11}, {60, 0.1, 3, 12}};  // 10x changes, 60x is new
    source.AddItem(std::move(a));
    auto d = std::make_unique<CCalibrationListItem>(Calib("D", 4, 1.5, 2, 1));
    d->GetRecords() = {{2, 1.5, 4, 1}};
    source.AddItem(std::move(d));
    const std::string path = Path("export.cst");

    auto& prompts = testing_support::MessageBoxes();
    prompts.QueueFile(path);
    ASSERT_EQ(source.ExportWithDialog(), 1);
    ASSERT_EQ(prompts.FileDialogs().size(), 1u);
    EXPECT_TRUE(prompts.FileDialogs()[0].save);
    EXPECT_EQ(prompts.FileDialogs()[0].filter, "Calibration Files (*.cst)|*.cst||");

    CCalibrationList list;
    FillSample(list);
    prompts.QueueFile(path);
    EXPECT_EQ(list.ImportWithDialog(), 1);
    EXPECT_TRUE(prompts.Boxes().empty());
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "B", "C", "D"}));
    const auto& records = list.FindByName("A")->GetRecords();
    ASSERT_EQ(records.size(), 3u);
    ExpectRecord(records[0], {10, 0.4, 3, 11});
    ExpectRecord(records[1], {20, 0.25, 4, 50});
    ExpectRecord(records[2], {60, 0.1, 3, 12});
    EXPECT_EQ(list.GetCurrentCalibration()->GetName(), "D");

    EXPECT_EQ(list.ImportWithDialog(), 0);  // cancelled
}

// A list that did not read completely is kept beside the new one before it is replaced, never over an earlier kept
// copy; a save never writes in place, so a reader holding the old file keeps reading the old bytes.
TEST_F(CalibrationListFiles, SavingOverADamagedListKeepsTheOriginalAndSavesReplaceWhole)
{
    CCalibrationList source;
    FillSample(source);
    const std::string path = Path("calibration.cst");
    ASSERT_EQ(source.Write(path), 1);
    Bytes original = ReadFile(path);
    original.resize(original.size() - 3);
    WriteFile(path, original);

    CCalibrationList list;
    EXPECT_EQ(list.Read(path), CCalibrationList::READ_DAMAGED);
    std::ifstream held(path, std::ios::binary);
    ASSERT_EQ(list.Write(path), 1);
    EXPECT_EQ(ReadFile(path + ".bak"), original);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(held), std::istreambuf_iterator<char>()), original);
    CCalibrationList again;
    EXPECT_EQ(again.Read(path), CCalibrationList::READ_CLEAN);
    EXPECT_EQ(Names(again), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"calibration.cst", "calibration.cst.bak"}));

    // Damaged once more later: the copy kept the first time stays, the new original goes beside it.
    Bytes damagedAgain = ReadFile(path);
    damagedAgain.resize(damagedAgain.size() - 5);
    WriteFile(path, damagedAgain);
    CCalibrationList later;
    EXPECT_EQ(later.Read(path), CCalibrationList::READ_DAMAGED);
    ASSERT_EQ(later.Write(path), 1);
    EXPECT_EQ(ReadFile(path + ".bak"), original);
    EXPECT_EQ(ReadFile(path + ".bak2"), damagedAgain);

    // After a clean read nothing is kept aside, and a list that cannot be written leaves the file as it was.
    std::filesystem::remove(path + ".bak");
    std::filesystem::remove(path + ".bak2");
    const Bytes good = ReadFile(path);
    again.StoreCalibration(Calib(std::string(2000, 'n'), 2, 1.0, 1, 0));
    EXPECT_EQ(again.Write(path), 0);
    EXPECT_EQ(ReadFile(path), good);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"calibration.cst"});
}

TEST_F(CalibrationListFiles, LastCalibrationReselectsNameAndMagnificationAtTheNextStart)
{
    const std::string folder = m_dir.path().toStdString();
    {
        CCalibrationList session;
        FillSample(session);
        ASSERT_EQ(session.SelectCalibration("A", 20), 1);
        ASSERT_EQ(session.SaveToFolder(folder), 1);
    }
    const CCalibKeeper stored = [&] {
        CCalibKeeper c;
        FILE* file = std::fopen(Path("lastcalibration.cal").c_str(), "rb");
        EXPECT_NE(file, nullptr);
        EXPECT_EQ(c.Read(file), 1);
        EXPECT_EQ(std::fgetc(file), EOF);  // the record alone
        std::fclose(file);
        return c;
    }();
    EXPECT_EQ(stored.GetName(), "A");
    EXPECT_EQ(stored.GetMagnification(), 20);

    CCalibrationList next;
    EXPECT_EQ(next.LoadFromFolder(folder), CCalibrationList::READ_CLEAN);
    EXPECT_EQ(next.GetCurrentCalibration()->GetName(), "A");
    EXPECT_EQ(next.GetCurrentCalibration()->GetUnitsPerPixel(), 0.25);
    EXPECT_EQ(next.GetCurrentCalibration()->GetUnit(), UNIT_MILLIMETER);

    // A name no longer listed leaves the list's own current calibration.
    std::filesystem::remove(Path("calibration.cst"));
    CCalibrationList empty;
    EXPECT_EQ(empty.LoadFromFolder(folder), CCalibrationList::READ_MISSING);
    EXPECT_EQ(empty.GetCurrentCalibration()->GetName(), "");
    EXPECT_EQ(empty.GetCurrentCalibration()->GetMagnification(), -1.0);
}
