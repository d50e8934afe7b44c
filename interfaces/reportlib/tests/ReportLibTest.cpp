// The report module: the text layout byte for byte, the workbook read back by a real reader, printing to PDF.
#include "reportlib/CSafeArray2D.h"
#include "reportlib/ReportExcel.h"
#include "reportlib/ReportPrint.h"
#include "reportlib/ReportText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace {

CSafeArray2D Table(std::initializer_list<std::initializer_list<const char*>> rows)
{
    const int columns = rows.size() ? static_cast<int>(rows.begin()->size()) : 0;
    CSafeArray2D table(static_cast<int>(rows.size()), columns);
    int r = 0;
    for (const auto& row : rows) {
        int c = 0;
        for (const char* cell : row)
            table.SetAt(r, c++, cell);
        ++r;
    }
    return table;
}

std::string ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

// Every non-empty cell of every sheet as the reader shows it: (sheet, row, column) -> "s:text", or for a number
// "n:" and the number as its cell's format shows it.
using Cells = std::map<std::tuple<std::string, int, int>, std::string>;

Cells ReadWorkbook(const QString& path, std::vector<std::string>* sheetNames = nullptr)
{
    const char* script = R"(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
for ws in wb.worksheets:
    print("S\t" + ws.title)
    for row in ws.iter_rows():
        for cell in row:
            if cell.value is None: continue
            kind = "n" if isinstance(cell.value, (int, float)) else "s"
            value = cell.value
            if kind == "n":
                fmt = cell.number_format
                if fmt == "0": value = "%d" % round(cell.value)
                elif fmt.startswith("0.") and set(fmt[2:]) == {"0"}: value = "%.*f" % (len(fmt) - 2, cell.value)
                else: value = "?" + fmt
            print("C\t%d\t%d\t%s:%s" % (cell.row - 1, cell.column - 1, kind, value))
)";
    // The Debian package installs openpyxl for the system's interpreter, which a user's own python3 may shadow.
    const QString interpreter = QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    QProcess python;
    python.start(interpreter, {"-c", script, path});
    EXPECT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    Cells cells;
    std::string sheet;
    for (const QByteArray& line : python.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.split('\t');
        if (parts.size() == 2 && parts[0] == "S") {
            sheet = parts[1].toStdString();
            if (sheetNames)
                sheetNames->push_back(sheet);
        } else if (parts.size() == 4 && parts[0] == "C") {
            cells[{sheet, parts[1].toInt(), parts[2].toInt()}] = parts[3].toStdString();
        }
    }
    return cells;
}

}  // namespace

TEST(SafeArray2D, BoundsAreChecked)
{
    CSafeArray2D table(2, 3);
    EXPECT_TRUE(table.SetAt(1, 2, "x"));
    EXPECT_FALSE(table.SetAt(2, 0, "y"));
    EXPECT_FALSE(table.SetAt(0, -1, "y"));
    EXPECT_EQ(table.GetAt(1, 2), "x");
    EXPECT_EQ(table.GetAt(5, 5), "");
    EXPECT_TRUE(CSafeArray2D(-1, 4).IsEmpty());
}

TEST(ReportText, ViewReportLayoutIsExactAndPadsByCharacters)
{
    const CSafeArray2D main = Table({{"Name", "길이", "Position"}, {"L-0", "12.500", "[1.5, 2.5]"}});
    const CSafeArray2D none;
    const std::string text = FormatViewReportText("영상 1", "측정 테이블", main, "통계 테이블", none);
    // "길이" is two characters (six bytes): eighteen blanks follow it, not fourteen.
    const std::string expected =
        "#################### 영상 1 ####################\n\n"
        " 측정 테이블 : \n\n"
        "Name                \t길이                  \tPosition            \t\n"
        "L-0                 \t12.500              \t[1.5, 2.5]          \t\n"
        "\n\n 통계 테이블 : \n\n";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(PadReportCell("abcdefghijklmnopqrstuvwxyz"), "abcdefghijklmnopqrstuvwxyz");  // never cut
}

TEST(ReportText, FileIsWrittenWholeAndAFailureLeavesNothing)
{
    QTemporaryDir dir;
    const std::string text = FormatListReportText("결과", Table({{"a", "b"}}));
    const QString path = dir.filePath("r.txt");
    ASSERT_TRUE(WriteReportTextFile(path.toStdString(), text));
    EXPECT_EQ(ReadFile(path), text);
    EXPECT_FALSE(WriteReportTextFile(dir.filePath("missing/r.txt").toStdString(), text));
}

TEST(ReportExcel, WorkbookReadsBackWithTheSameCells)
{
    QTemporaryDir dir;
    ReportSheet first;
    first.name = "영상 1: [측정]";
    // Numbers of several decimals in one column, a count, and numbers no format shows as written.
    first.main = Table({{"Name", "Length", "Position"},
                        {"L-0", "12.500", "[1.5, 2.5]"},
                        {"L-1", "-3", "1e3"},
                        {"L-2", "1.25", "+2"}});
    first.statisticsTitle = "통계 테이블";
    first.statistics = Table({{"", "Length"}, {"Mean", "4.750"}, {"Count", "2"}});
    ReportSheet second;
    second.name = "영상 1: [측정]";  // the same title again: a second, distinct sheet
    second.main = Table({{"Name"}, {"P-0"}});
    const QString path = dir.filePath("report.xlsx");
    ASSERT_EQ(ExportReportWorkbook(path.toStdString(), {first, second}), 1);
    EXPECT_FALSE(QFile::exists(path + ".part"));

    std::vector<std::string> names;
    const Cells cells = ReadWorkbook(path, &names);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "영상 1_ _측정_");
    EXPECT_NE(names[1], names[0]);
    const Cells expected = {
        {{names[0], 0, 0}, "s:Name"},   {{names[0], 0, 1}, "s:Length"}, {{names[0], 0, 2}, "s:Position"},
        {{names[0], 1, 0}, "s:L-0"},    {{names[0], 1, 1}, "n:12.500"}, {{names[0], 1, 2}, "s:[1.5, 2.5]"},
        {{names[0], 2, 0}, "s:L-1"},    {{names[0], 2, 1}, "n:-3"},     {{names[0], 2, 2}, "s:1e3"},
        {{names[0], 3, 0}, "s:L-2"},    {{names[0], 3, 1}, "n:1.25"},   {{names[0], 3, 2}, "s:+2"},
        {{names[0], 5, 0}, "s:통계 테이블"},
        {{names[0], 6, 1}, "s:Length"}, {{names[0], 7, 0}, "s:Mean"},   {{names[0], 7, 1}, "n:4.750"},
        {{names[0], 8, 0}, "s:Count"},  {{names[0], 8, 1}, "n:2"},
        {{names[1], 0, 0}, "s:Name"},   {{names[1], 1, 0}, "s:P-0"},
    };
    EXPECT_EQ(cells, expected);
}

// A cell is a number only when the number, shown with the cell's decimals, is the cell's text: the writer tells
// this from the characters alone, so the forms at its edges are checked against what the sheet shows.
TEST(ReportExcel, OnlyCellsWrittenAsTheirNumberShowsThemAreNumbers)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0", "n:0"},           {"-0.001", "n:-0.001"},    {"0.50", "n:0.50"},
        {"123456789012345", "n:123456789012345"},          {"1234567890123456", "s:1234567890123456"},
        {"0.00000000000001", "n:0.00000000000001"},        {"0.000000000000001", "s:0.000000000000001"},
        {"99999999999999.9", "n:99999999999999.9"},        {"007", "s:007"},
        {"5.", "s:5."},         {".5", "s:.5"},            {"-0.00", "s:-0.00"},
        {"-0", "s:-0"},         {"-", "s:-"},              {"1.2.3", "s:1.2.3"},
        {"1.5 ", "s:1.5 "},     {"nan", "s:nan"},          {"0x10", "s:0x10"},
        {"--1", "s:--1"},       {"1E3", "s:1E3"},
    };
    CSafeArray2D table(static_cast<int>(std::size(cases)) + 1, 1);
    table.SetAt(0, 0, "Value");
    for (size_t i = 0; i < std::size(cases); ++i)
        table.SetAt(static_cast<int>(i) + 1, 0, cases[i].first);
    QTemporaryDir dir;
    ReportSheet sheet;
    sheet.name = "Edges";
    sheet.main = table;
    const QString path = dir.filePath("edges.xlsx");
    ASSERT_EQ(ExportReportWorkbook(path.toStdString(), {sheet}), 1);
    const Cells cells = ReadWorkbook(path);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto it = cells.find({"Edges", static_cast<int>(i) + 1, 0});
        ASSERT_NE(it, cells.end()) << cases[i].first;
        EXPECT_EQ(it->second, cases[i].second) << cases[i].first;
    }
}

TEST(ReportExcel, NumbersAreOnlyWholeFiniteDecimals)
{
    const std::pair<const char*, bool> cases[] = {{"1.5", true},  {"-3", true},   {"1e3", true},  {" 1", false},
                                                  {"1.5 ", false}, {"nan", false}, {"inf", false}, {"0x10", false},
                                                  {"[1, 2]", false}, {"", false},  {"1e999", false}, {"+2", true}, {"1,5", false}, {"-inf", false}};
    for (const auto& [text, number] : cases) {
        double value = 0;
        EXPECT_EQ(ParseReportNumber(text, value), number) << text;
    }
    EXPECT_EQ(MakeSheetName(""), "Sheet");
    EXPECT_EQ(MakeSheetName(std::string(40, 'a')), std::string(31, 'a'));
    EXPECT_EQ(MakeSheetName("'x'"), "_x_");
}

TEST(ReportExcel, ALinkUnderTheTargetsNameIsReplacedNeverWrittenThrough)
{
    QTemporaryDir dir;
    const QString victim = dir.filePath("victim.txt");
    {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep");
    }
    // Links to the victim under the target's name and under names a partial file could take beside it.
    const QString path = dir.filePath("report.xlsx");
    for (const QString& name : {path, path + ".part", path + ".tmp"})
        ASSERT_TRUE(QFile::link(victim, name)) << name.toStdString();
    ReportSheet sheet;
    sheet.name = "Links";
    sheet.main = Table({{"Name", "Length"}, {"L-0", "1.5"}});
    ASSERT_EQ(ExportReportWorkbook(path.toStdString(), {sheet}), 1);

    EXPECT_EQ(ReadFile(victim), "keep");
    EXPECT_FALSE(QFileInfo(path).isSymLink()) << "the workbook took the link's place";
    const Cells cells = ReadWorkbook(path);
    EXPECT_EQ(cells.at({"Links", 1, 1}), "n:1.5");
    // The private folder the library worked in is gone with everything in it.
    const QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                                        QDir::Name);
    EXPECT_EQ(left, QStringList({"report.xlsx", "report.xlsx.part", "report.xlsx.tmp", "victim.txt"}));
}

TEST(ReportExcel, NoSheetsOrAnUnwritableFolderFail)
{
    QTemporaryDir dir;
    EXPECT_EQ(ExportReportWorkbook(dir.filePath("a.xlsx").toStdString(), {}), 0);
    ReportSheet sheet;
    sheet.main = Table({{"a"}});
    EXPECT_EQ(ExportReportWorkbook(dir.filePath("missing/a.xlsx").toStdString(), {sheet}), 0);
}

// The text of a printed PDF; empty when pdftotext is missing.
QString PrintedText(const std::vector<ReportPrintEntry>& entries, const QString& path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    EXPECT_EQ(PrintReport(printer, entries), 1);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        return {};
    QProcess text;
    text.start("pdftotext", {path, "-"});
    EXPECT_TRUE(text.waitForFinished(60000));
    return QString::fromUtf8(text.readAllStandardOutput());
}

TEST(ReportPrint, NoValueIsEverCut)
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext missing: the printed text cannot be read";
    struct Case
    {
        const char* what;
        int columns;
        int bands;  // at least this many bands: the row names print once in each
    };
    // Twelve long values fit across the page in a smaller font; forty need bands below one another.
    const Case cases[] = {{"a smaller font", 12, 1}, {"bands", 40, 2}};
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSafeArray2D table(4, c.columns);
        table.SetAt(0, 0, "Name");
        for (int r = 1; r < 4; ++r)
            table.SetAt(r, 0, "Row-" + std::string(1, static_cast<char>('A' + r - 1)));
        for (int col = 1; col < c.columns; ++col) {
            table.SetAt(0, col, "Area-" + std::to_string(col));
            for (int r = 1; r < 4; ++r)
                table.SetAt(r, col, std::to_string(7853 + 100 * col + r) + ".981634");
        }
        ReportPrintEntry entry;
        entry.title = "Sample";
        entry.table = table;
        const QString out = PrintedText({entry}, dir.filePath(QString("cut-%1.pdf").arg(c.columns)));
        EXPECT_FALSE(out.contains(QChar(0x2026))) << "nothing elided";
        for (int r = 0; r < table.GetRows(); ++r)
            for (int col = 0; col < table.GetColumns(); ++col)
                EXPECT_TRUE(out.contains(QString::fromStdString(table.GetAt(r, col))))
                    << table.GetAt(r, col) << " is printed whole";
        EXPECT_GE(out.count("Row-A"), c.bands);
    }

    // A text wider than the page wraps in its cell instead of losing its end.
    ReportPrintEntry wide;
    wide.title = "Wide";
    const std::string name = "Name" + std::string(400, 'x') + "End";
    CSafeArray2D table(2, 2);
    table.SetAt(0, 0, "Name");
    table.SetAt(0, 1, "Length");
    table.SetAt(1, 0, name);
    table.SetAt(1, 1, "12.5");
    wide.table = table;
    QString out = PrintedText({wide}, dir.filePath("wide.pdf"));
    EXPECT_TRUE(out.contains("12.5"));
    out.remove(QRegularExpression("\\s"));
    EXPECT_TRUE(out.contains(QString::fromStdString(name)));
}

TEST(ReportPrint, PdfHoldsTheTitleAndACell)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("report.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    ReportPrintEntry entry;
    entry.title = "Sample-42";
    entry.imageWithObjects = QImage(64, 48, QImage::Format_RGB32);
    entry.imageWithObjects.fill(Qt::darkGreen);
    entry.table = Table({{"Name", "Length"}, {"L-0", "12.345"}});
    ASSERT_EQ(PrintReport(printer, {entry, entry}), 1);
    const std::string pdf = ReadFile(path);
    ASSERT_TRUE(pdf.starts_with("%PDF-"));
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext missing: only the PDF header was checked";
    QProcess text;
    text.start("pdftotext", {path, "-"});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(out.contains("Sample-42"));
    EXPECT_TRUE(out.contains("12.345"));
    EXPECT_EQ(out.count("Sample-42"), 2);  // one page per entry

    QPrinter none;
    EXPECT_EQ(PrintReport(none, {}), 0);
}
