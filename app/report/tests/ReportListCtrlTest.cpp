// The report list's settings record: byte-exact layout, the round trip, and records that must change nothing.
#include "qvplglib/CReportListCtrl.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Written(const CReportListCtrl& list)
{
    FILE* file = std::tmpfile();
    EXPECT_EQ(list.WriteSetting(file), 1);
    Bytes bytes(static_cast<size_t>(std::ftell(file)));
    std::rewind(file);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
    return bytes;
}

int Read(CReportListCtrl& list, const Bytes& bytes)
{
    FILE* file = std::tmpfile();
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    const int result = list.ReadSetting(file);
    std::fclose(file);
    return result;
}

void Int32(Bytes& out, int32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(static_cast<uint32_t>(v) >> (8 * i)));
}

// Name (100, mask -1) and "Länge" (80, mask 1), shown as Länge, Name.
Bytes Fixture()
{
    Bytes b;
    Int32(b, 1);
    Int32(b, 2);
    Int32(b, 4);
    for (char c : std::string("Name"))
        b.push_back(static_cast<unsigned char>(c));
    Int32(b, 100);
    Int32(b, 1);
    Int32(b, -1);
    Int32(b, 6);
    for (char c : std::string("L\xC3\xA4nge"))
        b.push_back(static_cast<unsigned char>(c));
    Int32(b, 80);
    Int32(b, 1);
    Int32(b, 1);
    Int32(b, 2);
    Int32(b, 1);
    Int32(b, 0);
    return b;
}

}  // namespace

TEST(ReportListCtrl, SettingRecordIsByteExactAndRoundTrips)
{
    CReportListCtrl list;
    list.ApplyHeaderInfo({{"Name", 100, 1, -1}, {"L\xC3\xA4nge", 80, 1, 1}});
    ASSERT_TRUE(list.SetOrderArray({1, 0}));
    EXPECT_EQ(Written(list), Fixture());

    CReportListCtrl read;
    ASSERT_EQ(Read(read, Fixture()), 1);
    EXPECT_EQ(read.GetHeaderInfo(), list.GetHeaderInfo());
    EXPECT_EQ(read.GetOrderArray(), (std::vector<int>{1, 0}));
    EXPECT_EQ(read.OrderToIndex(0), 1);
    EXPECT_EQ(Written(read), Fixture());
}

TEST(ReportListCtrl, BadRecordsLeaveTheListAsItWas)
{
    std::vector<std::pair<const char*, Bytes>> bad;
    const Bytes good = Fixture();
    for (size_t cut : {size_t(0), size_t(3), size_t(8), size_t(14), good.size() - 1})
        bad.push_back({"truncated", Bytes(good.begin(), good.begin() + static_cast<long>(cut))});
    auto patched = [&](size_t at, int32_t v) {
        Bytes b = good;
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<size_t>(i)] = static_cast<unsigned char>(static_cast<uint32_t>(v) >> (8 * i));
        return b;
    };
    bad.push_back({"version", patched(0, 2)});
    bad.push_back({"column count", patched(4, 100000)});
    bad.push_back({"negative count", patched(4, -1)});
    bad.push_back({"title length", patched(8, 257)});
    bad.push_back({"width", patched(16, -5)});
    bad.push_back({"order count", patched(good.size() - 12, 1)});
    bad.push_back({"order repeats", patched(good.size() - 4, 1)});
    bad.push_back({"order out of range", patched(good.size() - 4, 2)});

    for (const auto& [what, bytes] : bad) {
        CReportListCtrl list;
        list.ApplyHeaderInfo({{"Keep", 50, 1, -1}});
        list.InsertItem(0, "row");
        EXPECT_EQ(Read(list, bytes), 0) << what;
        ASSERT_EQ(list.GetColumnCount(), 1) << what;
        EXPECT_EQ(list.GetHeaderInfo()[0].title, "Keep") << what;
        EXPECT_EQ(list.GetItemText(0, 0), "row") << what;
    }
}

TEST(ReportListCtrl, ColumnsRowsAndDataByIndex)
{
    CReportListCtrl list;
    EXPECT_EQ(list.InsertColumn(0, "A"), 0);
    EXPECT_EQ(list.InsertColumn(5, "C", LVCFMT_LEFT, 70), 1);
    EXPECT_EQ(list.InsertColumn(1, std::string(300, 'x')), 1);
    std::string title;
    int width = 0;
    ASSERT_TRUE(list.GetColumn(1, &title, &width));
    EXPECT_EQ(title.size(), 256u) << "titles are cut at 256 bytes";
    ASSERT_TRUE(list.GetColumn(2, &title, &width));
    EXPECT_EQ(width, 70);
    EXPECT_TRUE(list.DeleteColumn(1));
    EXPECT_FALSE(list.DeleteColumn(7));
    EXPECT_EQ(list.GetColumnCount(), 2);

    EXPECT_EQ(list.InsertItem(0, "r0"), 0);
    EXPECT_EQ(list.InsertItem(9, "r1"), 1);
    EXPECT_TRUE(list.SetItemText(1, 1, "v"));
    EXPECT_FALSE(list.SetItemText(2, 0, "none"));
    const quintptr key = 0xFFFF'FFFF'FFFFull;
    EXPECT_TRUE(list.SetItemData(1, key));
    EXPECT_EQ(list.GetItemData(1), key);
    EXPECT_EQ(list.GetItemData(0), 0u);
    list.SetItemSelected(1, true);
    EXPECT_EQ(list.GetSelectedRows(), std::vector<int>{1});
    EXPECT_TRUE(list.IsItemSelected(1));
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetSelectedCount(), 0);

    // Descriptions stay with their columns when one is inserted before them.
    list.ApplyHeaderInfo({{"Name", 100, 1, -1}, {"Length", 80, 1, 1}});
    list.InsertColumn(0, "First", LVCFMT_LEFT, 40);
    ASSERT_EQ(list.GetHeaderInfo().size(), 3u);
    EXPECT_EQ(list.GetHeaderInfo()[0].width, 40);
    EXPECT_EQ(list.GetHeaderInfo()[1], (tagColumnInfo{"Name", 100, 1, -1}));
    EXPECT_EQ(list.GetHeaderInfo()[2], (tagColumnInfo{"Length", 80, 1, 1}));
}
