// The view's report commands through the main frame's router, the result backup window driven through its
// widgets, and the companion files, over a fake report page.
#include "report/CResultBackupDlg.h"
#include "report/ReportExportCommands.h"
#include "report/ReportHandOver.h"
#include "report/ReportPageSource.h"
#include "report/ReportStrings.h"

#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "frame/DesktopOpener.h"
#include "frame/tests/MainFrameTestFolder.h"
#include "profile/CAppProfile.h"
#include "reportlib/ReportText.h"
#include "resources/StringTable.h"
#include "strings/Format.h"
#include "testing/MessageBoxRecorder.h"
#include "view/CVistrelView.h"

#include "calibkeeper/CCalibKeeper.h"
#include "qvimage/CQvImage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

using namespace cmd;
using Table = ReportPageSource::Table;

namespace {

CSafeArray2D MakeTable(std::initializer_list<std::initializer_list<const char*>> rows)
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

// The report pages as the report manager would answer, per view.
struct FakePages
{
    std::map<CVistrelView*, CSafeArray2D> main, statistics;
    std::map<CVistrelView*, int> selected;
    bool statisticsMode = false;
    int updates = 0;
    int removals = 0;
    int tablesBuilt = 0;

    ReportPageSource Source()
    {
        ReportPageSource source;
        source.pageAsArray = [this](CVistrelView& view, Table table, CSafeArray2D& out) {
            auto& pages = table == Table::Main ? main : statistics;
            auto it = pages.find(&view);
            if (it == pages.end())
                return false;
            ++tablesBuilt;
            out = it->second;
            return true;
        };
        source.mainRowCount = [this](CVistrelView& view) {
            auto it = main.find(&view);
            return it == main.end() ? 0 : std::max(0, it->second.GetRows() - 1);
        };
        source.updatePage = [this](CVistrelView&) { ++updates; };
        source.selectedCount = [this](CVistrelView& view) { return selected[&view]; };
        source.removeSelected = [this](CVistrelView&) { ++removals; };
        source.statisticsMode = [this] { return statisticsMode; };
        source.setStatisticsMode = [this](bool on) { statisticsMode = on; };
        return source;
    }
};

// Every non-empty cell as (sheet, row, column) -> the text the sheet shows (a number as its format shows it).
using Cells = std::map<std::tuple<std::string, int, int>, std::string>;

Cells ReadWorkbook(const std::string& path)
{
    const char* script = R"(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
for ws in wb.worksheets:
    for row in ws.iter_rows():
        for cell in row:
            if cell.value is not None:
                v, fmt = cell.value, cell.number_format
                if not isinstance(v, (int, float)): text = v
                elif fmt == "0": text = "%d" % round(v)
                elif fmt.startswith("0.") and set(fmt[2:]) == {"0"}: text = "%.*f" % (len(fmt) - 2, v)
                else: text = "?" + fmt
                print("%s\t%d\t%d\t%s" % (ws.title, cell.row - 1, cell.column - 1, text))
)";
    const QString interpreter = QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    QProcess python;
    python.start(interpreter, {"-c", script, QString::fromStdString(path)});
    EXPECT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    Cells cells;
    for (const QByteArray& line : python.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.split('\t');
        if (parts.size() == 4)
            cells[{parts[0].toStdString(), parts[1].toInt(), parts[2].toInt()}] = parts[3].toStdString();
    }
    return cells;
}

void AddCells(Cells& cells, const std::string& sheet, const CSafeArray2D& table, int firstRow)
{
    for (int r = 0; r < table.GetRows(); ++r)
        for (int c = 0; c < table.GetColumns(); ++c)
            if (!table.GetAt(r, c).empty())
                cells[{sheet, firstRow + r, c}] = table.GetAt(r, c);
}

class ReportExportTest : public MainFrameTestFolder
{
protected:
    void SetUp() override
    {
        MainFrameTestFolder::SetUp();
        std::filesystem::create_directories(Path("exports"));
        SetReportExportFolder(Path("exports"));
        SetReportPageSource(pages.Source());
        SetDesktopOpenerHook([this](const std::string& path) {
            opened.push_back(path);
            return true;
        });
        MakeMainFrame();
        frame->show();
        registry = std::make_unique<DocumentRegistry>();
        registry->AttachMainFrame(frame.get());
        CQvImage image;
        image.Create(QV_RGB24, 40, 30, 0);
        ASSERT_NO_FATAL_FAILURE(OpenPicture(image));
    }

    void TearDown() override
    {
        CResultBackupDlg::CloseAll();
        registry.reset();
        frame.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetReportPageSource({});
        SetDesktopOpenerHook({});
        SetReportPrinterHook({});
        SetReportExportFolder("");
        MainFrameTestFolder::TearDown();
    }

    bool Run(UINT id) { return frame->Router().Execute(id); }
    CommandState Query(UINT id) { return frame->Router().Query(id); }

    FakePages pages;
    std::vector<std::string> opened;
};

const CSafeArray2D kMain = MakeTable({{"Name", "길이", "Position"}, {"L-0", "12.500", "[1.5, 2.5]"},
                                      {"L-1", "3.250", "[4.0, 5.0]"}});
const CSafeArray2D kStatistics = MakeTable({{"", "길이"}, {"평균", "7.875"}, {"Count", "2"}});

}  // namespace

TEST_F(ReportExportTest, EnableRulesFollowThePage)
{
    struct Case
    {
        const char* what;
        int selected;
        bool rows;
        bool statisticsMode;
        bool live;
        std::map<UINT, bool> enabled;
    };
    const Case cases[] = {
        {"empty page", 0, false, false, false,
         {{ID_RESULT_REMOVE_SELECTED, false}, {ID_RESULT_STATISTICS, true}, {ID_RESULT_BACKUP, false},
          {ID_RESULT_TO_CLIPBOARD, false}, {ID_RESULT_TO_NOTEPAD, false}, {ID_REPORT_MANAGER, true},
          {ID_REPORT_MANAGER_ALL, true}, {ID_FILE_PRINT, true}}},
        {"rows, one selected", 1, true, false, false,
         {{ID_RESULT_REMOVE_SELECTED, true}, {ID_RESULT_BACKUP, false}, {ID_RESULT_TO_CLIPBOARD, false},
          {ID_RESULT_TO_NOTEPAD, true}}},
        {"statistics mode", 0, true, true, false, {{ID_RESULT_STATISTICS, true}, {ID_RESULT_TO_NOTEPAD, true}}},
        {"live document", 0, true, false, true, {{ID_FILE_PRINT, false}, {ID_REPORT_MANAGER, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        pages.selected[view] = c.selected;
        pages.main.erase(view);
        if (c.rows)
            pages.main[view] = kMain;
        else
            pages.main[view] = MakeTable({{"Name", "길이"}});  // titles only
        pages.statisticsMode = c.statisticsMode;
        doc->SetLive(c.live);
        const int built = pages.tablesBuilt;
        for (const auto& [id, enabled] : c.enabled)
            EXPECT_EQ(Query(id).enabled, enabled) << id;
        EXPECT_EQ(Query(ID_RESULT_STATISTICS).checked, c.statisticsMode);
        EXPECT_EQ(pages.tablesBuilt, built) << "an interface update builds no table";
    }
    doc->SetLive(false);
    // The two that run here reach the page.
    pages.selected[view] = 2;
    EXPECT_TRUE(Run(ID_RESULT_REMOVE_SELECTED));
    EXPECT_EQ(pages.removals, 1);
    pages.statisticsMode = false;
    EXPECT_TRUE(Run(ID_RESULT_STATISTICS));
    EXPECT_TRUE(pages.statisticsMode);
    EXPECT_FALSE(Run(ID_RESULT_BACKUP));
    EXPECT_FALSE(Run(ID_RESULT_TO_CLIPBOARD));
}

TEST_F(ReportExportTest, NotepadWritesTheReportTextAndOpensIt)
{
    pages.main[view] = kMain;
    pages.statistics[view] = kStatistics;
    const std::string path = Path("report.txt");
    testing_support::MessageBoxes().QueueFile(path);
    ASSERT_TRUE(Run(ID_RESULT_TO_NOTEPAD));
    ASSERT_EQ(testing_support::MessageBoxes().FileDialogs().size(), 1u);
    const FileDialogRequest asked = testing_support::MessageBoxes().FileDialogs()[0];
    EXPECT_TRUE(asked.save);
    EXPECT_EQ(asked.title, "Save ...");
    EXPECT_EQ(asked.filter, "Text File (*.txt)|*.txt||");
    EXPECT_TRUE(asked.overwritePrompt);
    const std::string expected =
        "#################### picture ####################\n\n"
        " Measurement Table : \n\n"
        "Name                \t길이                  \tPosition            \t\n"
        "L-0                 \t12.500              \t[1.5, 2.5]          \t\n"
        "L-1                 \t3.250               \t[4.0, 5.0]          \t\n"
        "\n\n Statistics Table : \n\n"
        "                    \t길이                  \t\n"
        "평균                  \t7.875               \t\n"
        "Count               \t2                   \t\n";
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_EQ(opened, std::vector<std::string>{path});
    EXPECT_GE(pages.updates, 1);

    // Cancelled, or a file that cannot be made: nothing is opened.
    opened.clear();
    testing_support::MessageBoxes().QueueFile("");
    EXPECT_TRUE(Run(ID_RESULT_TO_NOTEPAD));
    testing_support::MessageBoxes().QueueFile(Path("missing/report.txt"));
    EXPECT_TRUE(Run(ID_RESULT_TO_NOTEPAD));
    EXPECT_TRUE(opened.empty());
}

TEST_F(ReportExportTest, WorkbookOfOneViewAndOfAllDocuments)
{
    CVistrelDoc* second = registry->NewDocument("second");
    CQvImage image;
    image.Create(QV_RGB24, 20, 10, 0);
    second->SetImage("", &image);
    QApplication::processEvents();
    CVistrelView* secondView = second->GetImageView();
    ASSERT_NE(secondView, nullptr);
    pages.main[view] = kMain;
    pages.statistics[view] = kStatistics;
    pages.main[secondView] = MakeTable({{"Name", "면적"}, {"C-0", "99.000"}});
    registry->ActivateDocument(doc);
    QApplication::processEvents();
    ASSERT_EQ(registry->GetActiveDocument(), doc);

    ASSERT_TRUE(Run(ID_REPORT_MANAGER));
    ASSERT_EQ(opened.size(), 1u);
    Cells expected;
    AddCells(expected, "picture", kMain, 0);
    expected[{"picture", 4, 0}] = "Statistics Table";
    AddCells(expected, "picture", kStatistics, 5);
    EXPECT_EQ(ReadWorkbook(opened[0]), expected);

    ASSERT_TRUE(Run(ID_REPORT_MANAGER_ALL));
    ASSERT_EQ(opened.size(), 2u);
    AddCells(expected, "second", pages.main[secondView], 0);
    expected[{"second", 3, 0}] = "Statistics Table";
    EXPECT_EQ(ReadWorkbook(opened[1]), expected);
}

TEST_F(ReportExportTest, AWorkbookGoesIntoTheUsersDocumentsAndIsNamedWhenNothingOpensIt)
{
    using testing_support::MessageBoxes;
    // The user's documents folder, as the desktop names it; it does not exist yet.
    SetReportExportFolder("");
    const std::string documents = Path("my documents");
    WriteBytes(Path("config/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"" + documents + "\"\n");
    EXPECT_EQ(ReportExportFolder(), documents);
    pages.main[view] = kMain;
    SetDesktopOpenerHook([this](const std::string& path) {
        opened.push_back(path);
        return false;  // no program for workbooks on this desktop
    });
    auto expectNamed = [](const std::string& path) {
        ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
        EXPECT_EQ(MessageBoxes().Boxes()[0].text,
                  Format(LoadString("Vistrel", openerstr::IDS_NO_PROGRAM).c_str(), path.c_str()));
        MessageBoxes().Reset();
    };

    ASSERT_TRUE(Run(ID_REPORT_MANAGER));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], documents + "/picture.xlsx");
    EXPECT_FALSE(ReadWorkbook(opened[0]).empty()) << "the workbook is whole where the message says";
    expectNamed(opened[0]);

    // Names that are taken, by a file or by links someone left (one to a file of the user's, one to nowhere), are
    // passed by: nothing is written through a link.
    const std::string victim = Path("victim.txt");
    WriteBytes(victim, "keep");
    std::filesystem::create_symlink(victim, documents + "/picture (2).xlsx");
    std::filesystem::create_symlink(Path("nowhere"), documents + "/picture (3).xlsx");
    ASSERT_TRUE(Run(ID_REPORT_MANAGER));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1], documents + "/picture (4).xlsx");
    EXPECT_EQ(ReadBytes(victim), "keep");
    EXPECT_FALSE(std::filesystem::exists(Path("nowhere")));
    EXPECT_EQ(ReadWorkbook(opened[1]), ReadWorkbook(opened[0]));
    expectNamed(opened[1]);

    // The text export says so too, with the file the user chose.
    const std::string text = Path("report.txt");
    MessageBoxes().QueueFile(text);
    ASSERT_TRUE(Run(ID_RESULT_TO_NOTEPAD));
    EXPECT_EQ(opened.back(), text);
    expectNamed(text);

    // A folder that cannot be made (a file stands in its way): the message says where the report was to go, and
    // nothing is opened.
    const std::string blocked = victim + "/reports";
    SetReportExportFolder(blocked);
    ASSERT_TRUE(Run(ID_REPORT_MANAGER));
    EXPECT_EQ(opened.size(), 3u);
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text,
              Format(ReportString(reportstr::IDS_WORKBOOK_NOT_WRITTEN).c_str(), blocked.c_str()));
}

TEST_F(ReportExportTest, PrintGoesToThePrinterWithTheTable)
{
    pages.main[view] = kMain;
    const QString pdf = QString::fromStdString(Path("print.pdf"));
    SetReportPrinterHook([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    ASSERT_TRUE(Run(ID_FILE_PRINT));
    const std::string bytes = ReadBytes(pdf.toStdString());
    ASSERT_TRUE(bytes.starts_with("%PDF-"));
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext missing: only the PDF header was checked";
    QProcess text;
    text.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(out.contains("picture"));
    EXPECT_TRUE(out.contains("[1.5, 2.5]"));

    // A cancelled printer setup prints nothing.
    std::filesystem::remove(pdf.toStdString());
    SetReportPrinterHook([](QPrinter&) { return false; });
    EXPECT_TRUE(Run(ID_FILE_PRINT));
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(ReportExportTest, CompanionFilesAreByteExact)
{
    CCalibKeeper calibration;
    ASSERT_EQ(calibration.SetUnitsPerPixel(0.5), 1);
    ASSERT_EQ(calibration.SetUnit(2), 1);
    CQvImage image;
    image.Create(QV_RGB24, 1, 1, 0);
    BYTE* pixel = image.GetPixel(0, 0);
    pixel[0] = 1;
    pixel[1] = 2;
    pixel[2] = 3;
    const CSafeArray2D table = MakeTable({{"Name", "길이"}, {"L-0", "1.5"}});
    std::filesystem::create_directories(Path("install"));
    ASSERT_TRUE(WriteCompanionInfo(Path("install"), calibration, image, table));

    const std::string expected = std::string("\x00\x00\x00\x00\x00\x00\xe0\x3f", 8)  // 0.5
                                 + std::string("\x02\x00\x00\x00", 4)                // micrometre
                                 + "QVIM" + std::string("\x01\x00\x00\x00", 4)      // image record, version 1
                                 + std::string("\x15\x00\x00\x00", 4)                // RGB24
                                 + std::string("\x01\x00\x00\x00\x01\x00\x00\x00", 8)  // 1 x 1
                                 + std::string("\x18\x00\x00\x00\x04\x00\x00\x00", 8)  // 24 bits, stride 4
                                 + std::string("\x00\x00\x00\x00", 4)                // no palette
                                 + std::string("\x01\x02\x03\x00", 4);
    EXPECT_EQ(ReadBytes(Path("install/ComInfo")), expected);
    EXPECT_EQ(ReadBytes(Path("install/ComInfoData")), "Name;길이\nL-0;1.5\n");
    EXPECT_FALSE(std::filesystem::exists(Path("install/ComInfo.part")));

    EXPECT_FALSE(WriteCompanionInfo(Path("nowhere"), calibration, image, table));
    EXPECT_FALSE(std::filesystem::exists(Path("nowhere")));
}

TEST_F(ReportExportTest, BackupWindowShowsBothListsAndExportsTheOneOnScreen)
{
    pages.main[view] = kMain;
    pages.statistics[view] = kStatistics;
    pages.statisticsMode = true;  // the results list still shows results
    CResultBackupDlg* window = OpenResultBackup(*view, frame.get());
    ASSERT_EQ(CResultBackupDlg::OpenWindows(), std::vector<CResultBackupDlg*>{window});
    auto* results = window->findChild<QTableWidget*>("resultsList");
    auto* statistics = window->findChild<QTableWidget*>("statisticsList");
    ASSERT_TRUE(results && statistics);
    EXPECT_EQ(results->columnCount(), 3);
    EXPECT_EQ(results->rowCount(), 2);
    EXPECT_EQ(results->horizontalHeaderItem(1)->text(), QString::fromUtf8("길이"));
    EXPECT_EQ(results->item(1, 2)->text(), "[4.0, 5.0]");
    EXPECT_EQ(results->columnWidth(0), 80);
    EXPECT_EQ(statistics->rowCount(), 2);
    EXPECT_TRUE(results->isVisible());
    EXPECT_FALSE(statistics->isVisible());

    // Escape does not close the window.
    QTest::keyClick(window, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());

    // Clipboard text in column order, even after a column was dragged; the workbook follows the screen.
    results->horizontalHeader()->moveSection(2, 0);
    window->findChild<QAction*>("clipboardAction")->trigger();
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    EXPECT_EQ(text, "#################### Result Backup ####################\n\n"
                    "Name                \t길이                  \tPosition            \t\n"
                    "L-0                 \t12.500              \t[1.5, 2.5]          \t\n"
                    "L-1                 \t3.250               \t[4.0, 5.0]          \t\n");
    window->findChild<QAction*>("excelAction")->trigger();
    ASSERT_EQ(opened.size(), 1u);
    const Cells cells = ReadWorkbook(opened[0]);
    EXPECT_EQ(cells.at({"Result Backup", 0, 0}), "Position");
    EXPECT_EQ(cells.at({"Result Backup", 0, 1}), "Name");
    EXPECT_EQ(cells.at({"Result Backup", 1, 2}), "12.500");

    // The statistics list on screen; its text file.
    window->findChild<QAction*>("statisticsModeAction")->trigger();
    EXPECT_FALSE(results->isVisible());
    EXPECT_TRUE(statistics->isVisible());
    EXPECT_TRUE(window->findChild<QAction*>("statisticsModeAction")->isChecked());
    testing_support::MessageBoxes().QueueFile(Path("backup.txt"));
    window->findChild<QAction*>("notepadAction")->trigger();
    EXPECT_EQ(ReadBytes(Path("backup.txt")), FormatListReportText("Result Backup", kStatistics));
    EXPECT_EQ(opened.back(), Path("backup.txt"));

    // Closing deletes the window and takes it out of the list.
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(CResultBackupDlg::OpenWindows().empty());
}

TEST_F(ReportExportTest, EmptyBackupListGivesHeadingsOnlyAndNoWorkbook)
{
    pages.main[view] = MakeTable({{"Name", "길이"}});
    CResultBackupDlg* window = OpenResultBackup(*view, frame.get());
    window->OnClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "#################### Result Backup ####################\n\n"
              "Name                \t길이                  \t\n");
    EXPECT_EQ(window->OnExcel(), "");
    EXPECT_TRUE(opened.empty());
    CResultBackupDlg::Open(frame.get());
    EXPECT_EQ(CResultBackupDlg::OpenWindows().size(), 2u);
    CResultBackupDlg::CloseAll();
    EXPECT_TRUE(CResultBackupDlg::OpenWindows().empty());
}
