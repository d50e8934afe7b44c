// The statistics table: the seven cells of a column for singles, pairs, empty and one-value columns, the decimals
// preference, and the table built from a list whose header the user rearranged.
#include "report/ReportStatistics.h"

#include "report/ReportStrings.h"

#include "qvplglib/CReportListCtrl.h"

#include <QHeaderView>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using Cells = std::array<std::string, kStatisticsRows>;

}  // namespace

TEST(ReportStatistics, ColumnCells)
{
    struct Case
    {
        const char* what;
        std::vector<std::string> cells;
        int decimals;
        Cells want;
    };
    const std::vector<Case> cases = {
        {"singles, population sigma", {"2", "", "4"}, 3, {"2.000", "4.000", "2.000", "3.000", "1.000", "6.000", "2"}},
        {"pairs",
         {"[1.5, 2.5]", "[3.5,0.5]"},
         3,
         {"[1.500,0.500]", "[3.500,2.500]", "[2.000,2.000]", "[2.500,1.500]", "[1.000,1.000]", "[5.000,3.000]", "2"}},
        {"a plug-in's pair without brackets",
         {"1.0,2.0"},
         1,
         {"[1.0,2.0]", "[1.0,2.0]", "[0.0,0.0]", "[1.0,2.0]", "[0.0,0.0]", "[1.0,2.0]", "1"}},
        {"all empty", {"", "", ""}, 3, {}},
        {"no number at all", {"Not yet", " ", "nan", "inf", "[nan,1]"}, 3, {}},
        {"one value", {"7"}, 2, {"7.00", "7.00", "0.00", "7.00", "0.00", "7.00", "1"}},
        // Y statistics over the Y values that exist, the count over every value.
        {"singles and pairs mixed", {"[1,2]", "5"}, 0, {"[1,2]", "[5,2]", "[4,0]", "[3,2]", "[2,0]", "[6,2]", "2"}},
        {"negative decimals clamp to 0", {"2.6"}, -1, {"3", "3", "0", "3", "0", "3", "1"}},
        {"decimals above 10 clamp to 10",
         {"1"},
         99,
         {"1.0000000000", "1.0000000000", "0.0000000000", "1.0000000000", "0.0000000000", "1.0000000000", "1"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComputeColumnStatistics(c.cells, c.decimals), c.want) << c.what;
}

TEST(ReportStatistics, PairParserIsTolerantButNotCareless)
{
    double x = 0, y = 0;
    EXPECT_TRUE(ParseReportPair(" [ -1.25 , 3e2 ] ", x, y));
    EXPECT_DOUBLE_EQ(x, -1.25);
    EXPECT_DOUBLE_EQ(y, 300.0);
    EXPECT_TRUE(ParseReportPair("(4,5)", x, y));
    EXPECT_DOUBLE_EQ(y, 5.0);
    for (const char* bad : {"a,b", "1,2,3", "[1,]", ",2", "1;2"})
        EXPECT_FALSE(ParseReportPair(bad, x, y)) << bad;
}

TEST(ReportStatistics, TableFollowsTheListsDisplayOrderAndMapsByColumn)
{
    CReportListCtrl source;
    source.ApplyHeaderInfo({{"Name", 100, 1, -1}, {"Length", 90, 1, 1}, {"Position", 80, 1, 0x1000}});
    for (int r = 0; r < 3; ++r)
        source.InsertItem(r, "row");
    source.SetItemText(0, 1, "2");
    source.SetItemText(1, 1, "4");
    source.SetItemText(0, 2, "[1.0, 2.0]");
    // The user drags the name column to the end: Length, Position, Name.
    source.horizontalHeader()->moveSection(0, 2);
    ASSERT_EQ(source.GetOrderArray(), (std::vector<int>{1, 2, 0}));

    CReportListCtrl* target = CreateStatisticsTable(nullptr);
    ComputeStatistics(source, *target, 3);
    EXPECT_EQ(target->GetDlgCtrlID(), 100u);
    EXPECT_EQ(target->GetExtendedStyle(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    ASSERT_EQ(target->GetColumnCount(), 3);
    std::string title;
    int width = 0;
    ASSERT_TRUE(target->GetColumn(0, &title, &width));
    EXPECT_EQ(title, "Length");
    EXPECT_EQ(width, 90);
    ASSERT_EQ(target->GetItemCount(), kStatisticsRows);
    EXPECT_EQ(target->GetItemText(4, 0), "1.000");
    EXPECT_EQ(target->GetItemText(6, 0), "2");
    EXPECT_EQ(target->GetItemText(0, 1), "[1.000,2.000]");
    EXPECT_EQ(target->GetItemText(0, 2), ReportString(reportstr::IDS_STAT_MINIMUM));
    EXPECT_EQ(target->GetItemText(6, 2), ReportString(reportstr::IDS_STAT_COUNT));

    // Computing again rebuilds rather than appends; an empty column stays empty.
    source.SetItemText(0, 2, "");
    ComputeStatistics(source, *target, 3);
    EXPECT_EQ(target->GetItemCount(), kStatisticsRows);
    EXPECT_EQ(target->GetColumnCount(), 3);
    for (int r = 0; r < kStatisticsRows; ++r)
        EXPECT_EQ(target->GetItemText(r, 1), "") << r;

    // Through the table as well: the decimals clamped, a column of singles and a pair read as a pair column, the
    // row titles under the name column wherever it was dragged.
    struct Case
    {
        const char* what;
        int decimals;
        int nameAt;  // display position the name column is dragged to
        const char* second;
        const char* mean;
    };
    const Case cases[] = {
        {"decimals below 0", -3, 2, "4", "3"},
        {"decimals above 10", 42, 2, "4", "3.0000000000"},
        {"singles and a pair", 1, 2, "[4,6]", "[3.0,6.0]"},
        {"name column dragged to the middle", 1, 1, "4", "3.0"},
        {"name column back in front", 1, 0, "4", "3.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        source.horizontalHeader()->moveSection(source.IndexToOrder(0), c.nameAt);
        source.SetItemText(1, 1, c.second);
        ComputeStatistics(source, *target, c.decimals);
        const int length = source.IndexToOrder(1);
        EXPECT_EQ(target->GetItemText(3, length), c.mean);
        EXPECT_EQ(target->GetItemText(6, length), "2");
        EXPECT_EQ(target->GetItemText(3, c.nameAt), ReportString(reportstr::IDS_STAT_MEAN));
        for (int p = 0; p < target->GetColumnCount(); ++p) {
            if (p != c.nameAt) {
                EXPECT_NE(target->GetItemText(0, p), ReportString(reportstr::IDS_STAT_MINIMUM)) << p;
            }
        }
    }
    delete target;
}
