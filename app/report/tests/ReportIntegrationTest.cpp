// The whole report with a real document and view in the main frame: lines measured with the mouse fill the report
// dock's page and are selected there, selection follows between the list and the overlay both ways, the statistics
// strip computes the list's values, and the exports, the result backup window and the delete command work on the
// dock's real page.
#include "report/CMeasureReportCtrl.h"
#include "report/CReportDockWnd.h"
#include "report/CReportManager.h"
#include "report/CReportPage.h"
#include "report/CReportTabBar.h"
#include "report/CResultBackupDlg.h"
#include "report/ReportDockPages.h"
#include "report/ReportExportCommands.h"
#include "report/ReportPageSource.h"

#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "document/NativeFile.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "frame/DesktopOpener.h"
#include "frame/tests/MainFrameTestFolder.h"
#include "profile/CAppProfile.h"
#include "testing/MessageBoxRecorder.h"
#include "testing/RenderCheck.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/GObjectCatalogue.h"
#include "gobjects/GObjectPropertySheet.h"
#include "qvimage/CQvImage.h"

#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QTableWidget>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace cmd;
using Table = ReportPageSource::Table;

namespace {

class ReportIntegrationTest : public MainFrameTestFolder
{
protected:
    void SetUp() override
    {
        MainFrameTestFolder::SetUp();
        SetDesktopOpenerHook([this](const std::string& path) {
            opened.push_back(path);
            return true;
        });
        MakeMainFrame();
        manager = InstallReportDock(*frame, std::string());
        ASSERT_NE(manager, nullptr);
        frame->show();
        registry = std::make_unique<DocumentRegistry>();
        registry->AttachMainFrame(frame.get());
        CQvImage image;
        image.Create(QV_RGB24, 200, 150, 0);
        ASSERT_NO_FATAL_FAILURE(OpenPicture(image));
        page = manager->FindPage(view);
        ASSERT_NE(page, nullptr);
        list = dynamic_cast<CMeasureReportCtrl*>(page->List(0));
        ASSERT_NE(list, nullptr) << "the page's list is the measurement list";
    }

    void TearDown() override
    {
        CResultBackupDlg::CloseAll();
        registry.reset();
        frame.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetDesktopOpenerHook({});
        MainFrameTestFolder::TearDown();
    }

    void Click(int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        CImageDispWnd* wnd = view->GetDispWnd();
        const CPoint o = wnd->GetOrigin();
        QTest::mouseMove(wnd->viewport(), QPoint(o.x + x, o.y + y));
        QTest::mouseClick(wnd->viewport(), button, Qt::NoModifier, QPoint(o.x + x, o.y + y));
    }

    // Measures a line with the mouse as the operator does: the tool, two clicks, a right click to finish.
    void MeasureLine(int x1, int y1, int x2, int y2)
    {
        ASSERT_TRUE(doc->AddObjectOfType(SHAPE_LINE));
        Click(x1, y1);
        Click(x2, y2);
        Click(x2, y2, Qt::RightButton);
    }

    std::vector<CQvGObject*> Objects()
    {
        const GObjectList& objects = doc->GetGObjectContainer().GetObjects();
        return std::vector<CQvGObject*>(objects.begin(), objects.end());
    }

    std::vector<std::string> opened;
    CReportManager* manager = nullptr;
    CReportPage* page = nullptr;
    CMeasureReportCtrl* list = nullptr;
};

// The column of the list that holds a value in every row besides the name column, or -1.
int FilledColumn(const CReportListCtrl& list)
{
    for (int c = 1; c < list.columnCount(); ++c) {
        bool filled = list.rowCount() > 0;
        for (int r = 0; r < list.rowCount(); ++r)
            filled = filled && !list.GetItemText(r, c).empty();
        if (filled)
            return c;
    }
    return -1;
}

std::string Fixed3(double v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", v);
    return text;
}

TEST_F(ReportIntegrationTest, MeasuringFillsThePageAndSelectionFollowsBothWays)
{
    MeasureLine(20, 20, 120, 20);
    ASSERT_EQ(Objects().size(), 1u);
    ASSERT_EQ(list->rowCount(), 1);
    EXPECT_EQ(list->GetItemText(0, 0), Objects()[0]->GetProperty().GetName());
    EXPECT_EQ(list->GetSelectedRows(), std::vector<int>{0}) << "a finished measurement selects its row";

    MeasureLine(20, 100, 180, 100);
    ASSERT_EQ(Objects().size(), 2u);
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->GetItemData(1), reinterpret_cast<quintptr>(Objects()[1]));
    EXPECT_EQ(list->GetSelectedRows(), std::vector<int>{1}) << "only the newest measurement's row";

    // List -> overlay: the user picks the first row.
    CQvGObjectContainer& container = doc->GetGObjectContainer();
    list->clearSelection();
    list->selectRow(0);
    ASSERT_EQ(container.GetSelectedObjectCount(), 1);
    EXPECT_EQ(container.GetSelectObjList().front(), Objects()[0]);

    // Overlay -> list: a click on the second line in the picture selects its row.
    Click(100, 100);
    ASSERT_EQ(container.GetSelectedObjectCount(), 1);
    EXPECT_EQ(container.GetSelectObjList().front(), Objects()[1]);
    EXPECT_EQ(list->GetSelectedRows(), std::vector<int>{1});
    // Clicking empty ground clears both.
    Click(190, 140);
    EXPECT_EQ(container.GetSelectedObjectCount(), 0);
    EXPECT_TRUE(list->GetSelectedRows().empty());

    // The statistics strip through command 1281: seven rows, the values of the list's column.
    ASSERT_TRUE(frame->Router().Execute(ID_RESULT_STATISTICS));
    EXPECT_TRUE(frame->Router().Query(ID_RESULT_STATISTICS).checked);
    EXPECT_TRUE(page->statisticsStrip->isVisible());
    CReportListCtrl* statistics = page->Statistics(0);
    ASSERT_NE(statistics, nullptr);
    ASSERT_EQ(statistics->rowCount(), 7);
    const int column = FilledColumn(*list);
    ASSERT_GT(column, 0) << "a line reports at least one quantity";
    std::setlocale(LC_NUMERIC, "C");
    const double a = std::atof(list->GetItemText(0, column).c_str());
    const double b = std::atof(list->GetItemText(1, column).c_str());
    const int shown = list->IndexToOrder(column);
    EXPECT_EQ(statistics->GetItemText(0, shown), Fixed3(std::min(a, b)));
    EXPECT_EQ(statistics->GetItemText(1, shown), Fixed3(std::max(a, b)));
    EXPECT_EQ(statistics->GetItemText(3, shown), Fixed3((a + b) / 2));
    EXPECT_EQ(statistics->GetItemText(6, shown), "2");
    ASSERT_TRUE(frame->Router().Execute(ID_RESULT_STATISTICS));
    EXPECT_FALSE(manager->GetStatisticsMode());
    EXPECT_TRUE(page->mainStrip->isVisible());
}

TEST_F(ReportIntegrationTest, ExportsBackupWindowAndDeleteWorkOnTheRealPage)
{
    MeasureLine(20, 20, 120, 20);
    MeasureLine(20, 100, 180, 100);
    ASSERT_EQ(list->rowCount(), 2);
    const std::string first = Objects()[0]->GetProperty().GetName();
    const std::string second = Objects()[1]->GetProperty().GetName();

    // The table the exports read: titles, then the list's rows, whatever the statistics mode.
    UpdateReportPage(*view);
    const CSafeArray2D table = ReportPageTable(*view, Table::Main);
    ASSERT_EQ(table.GetRows(), 3);
    EXPECT_EQ(table.GetColumns(), list->columnCount());
    EXPECT_EQ(table.GetAt(1, 0), first);
    EXPECT_EQ(table.GetAt(2, 0), second);
    const int column = FilledColumn(*list);
    ASSERT_GT(column, 0);
    EXPECT_EQ(table.GetAt(1, list->IndexToOrder(column)), list->GetItemText(0, column));
    EXPECT_EQ(ReportPageTable(*view, Table::Statistics).GetRows(), 8);
    SetReportStatisticsMode(true);
    EXPECT_EQ(ReportPageTable(*view, Table::Main).GetAt(2, 0), second);
    SetReportStatisticsMode(false);
    EXPECT_EQ(ReportMainListName(*view), CMeasureReportCtrl::kWindowText);

    // The text export holds both rows.
    const std::string path = Path("report.txt");
    testing_support::MessageBoxes().QueueFile(path);
    ASSERT_TRUE(frame->Router().Execute(ID_RESULT_TO_NOTEPAD));
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find(first + " "), std::string::npos) << text.str();
    EXPECT_NE(text.str().find(second + " "), std::string::npos) << text.str();
    EXPECT_EQ(opened, std::vector<std::string>{path});

    // The result backup window shows the page's rows.
    CResultBackupDlg* window = OpenResultBackup(*view, frame.get());
    auto* results = window->findChild<QTableWidget*>("resultsList");
    ASSERT_NE(results, nullptr);
    ASSERT_EQ(results->rowCount(), 2);
    EXPECT_EQ(results->item(1, 0)->text().toStdString(), second);

    // Command 1280: enabled by a selected row, deletes that measurement and nothing else.
    list->clearSelection();
    EXPECT_FALSE(frame->Router().Query(ID_RESULT_REMOVE_SELECTED).enabled);
    list->selectRow(0);
    EXPECT_TRUE(frame->Router().Query(ID_RESULT_REMOVE_SELECTED).enabled);
    ASSERT_TRUE(frame->Router().Execute(ID_RESULT_REMOVE_SELECTED));
    ASSERT_EQ(Objects().size(), 1u);
    EXPECT_EQ(Objects()[0]->GetProperty().GetName(), second);
    ASSERT_EQ(list->rowCount(), 1);
    EXPECT_EQ(list->GetItemText(0, 0), second);
}

TEST_F(ReportIntegrationTest, AnOpenedDocumentFileListsItsObjectsAtOnce)
{
    InstallNativeFileHooks();
    MeasureLine(20, 20, 120, 20);
    MeasureLine(20, 100, 180, 100);
    const std::vector<std::string> names = {Objects()[0]->GetProperty().GetName(),
                                            Objects()[1]->GetProperty().GetName()};
    const std::string qrx = Path("two-lines.qrx");
    testing_support::MessageBoxes().QueueFile(qrx);
    ASSERT_TRUE(frame->Router().Execute(ID_FILE_SAVE_AS));
    ASSERT_TRUE(std::filesystem::exists(qrx));
    ASSERT_TRUE(frame->Router().Execute(ID_FILE_CLOSE));
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(registry->Documents().empty());

    // Nothing is clicked: the page of the reopened document lists the file's objects as it appears.
    CVistrelDoc* again = registry->OpenDocumentFile(qrx);
    CVistrelDoc::SetFileHooks({});
    ASSERT_NE(again, nullptr);
    QApplication::processEvents();
    CReportPage* reopened = manager->FindPage(again->GetImageView());
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(manager->ShownPage(), reopened);
    CReportListCtrl* rows = reopened->List(0);
    ASSERT_EQ(rows->rowCount(), 2);
    EXPECT_EQ(rows->GetItemText(0, 0), names[0]);
    EXPECT_EQ(rows->GetItemText(1, 0), names[1]);
    EXPECT_TRUE(rows->GetSelectedRows().empty()) << "opening selects nothing";
    EXPECT_FALSE(again->IsModified());
}

// A picture of the main frame with its report dock, for a person to look at.
TEST_F(ReportIntegrationTest, MainFrameWithTwoMeasuredLines)
{
    MeasureLine(20, 20, 120, 20);
    MeasureLine(20, 100, 180, 120);
    view->OnActivateView(true, view, nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(frame->Pane(PANE_REPORT)->isVisible());
    const QImage shot = frame->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    const QString folder = testing_support::FailureImageFolder();
    QDir().mkpath(folder);
    EXPECT_TRUE(shot.save(folder + "/main-frame-with-report.png"));
}

}  // namespace

TEST_F(ReportIntegrationTest, PlugInHostRemovalsDeleteThePlugInListsAtOnce)
{
    ReportDockPages pages([this] { return manager; });
    QPointer<CReportListCtrl> first = new CReportListCtrl(pages.Page(doc));
    QPointer<CReportListCtrl> second = new CReportListCtrl(pages.Page(doc));
    ASSERT_NE(pages.AddTabEntry(doc, "First", first), nullptr);
    ASSERT_NE(pages.AddTabEntry(doc, "Second", second), nullptr);
    ASSERT_EQ(page->mainStrip->GetTabCount(), 3);

    // No event loop runs in between: the module that made the lists may be unloaded right after.
    pages.RemoveTabEntry(doc, first);
    EXPECT_FALSE(first);
    pages.RemovePage(doc);
    EXPECT_FALSE(second);
    EXPECT_EQ(page->mainStrip->GetTabCount(), 1);
    EXPECT_EQ(page->statisticsStrip->GetTabCount(), 1);
}

TEST_F(ReportIntegrationTest, ResultBackupWindowsGoWithTheMainWindow)
{
    QPointer<CResultBackupDlg> own = OpenResultBackup(*view, nullptr);
    QPointer<CResultBackupDlg> child = OpenResultBackup(*view, frame.get());
    ASSERT_TRUE(own && child);
    registry.reset();
    frame.reset();
    EXPECT_FALSE(own);
    EXPECT_FALSE(child);
    EXPECT_TRUE(CResultBackupDlg::OpenWindows().empty());
}

// A plug-in's list that counts its refills.
class CountingPlugInList : public CReportListCtrl
{
public:
    void FillData() override { ++fills; }
    int fills = 0;
};

TEST_F(ReportIntegrationTest, DoubleClickedPropertiesRefreshTheWholePage)
{
    MeasureLine(20, 20, 120, 20);
    ASSERT_EQ(list->rowCount(), 1);
    auto* plugIn = new CountingPlugInList();
    manager->AddExternalList(view, plugIn, "Plug");
    CQvGObjectContainer& container = doc->GetGObjectContainer();
    int runs = 0;
    container.SetPropertySheetRunner([&runs](const GObjectSheetRequest&) {
        ++runs;
        return IDOK;
    });
    const QRect cell = list->visualRect(list->model()->index(0, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QApplication::processEvents();
    container.SetPropertySheetRunner(nullptr);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(list->GetSelectedRows(), std::vector<int>{0}) << "the refill keeps the row selected";
    EXPECT_GT(plugIn->fills, 0) << "the page's other lists are refilled too";
    EXPECT_TRUE(doc->IsModified());
}

namespace {

// Whether the list holds exactly the rows a refill would build from the overlay now.
bool ListMatchesOverlay(CMeasureReportCtrl& list, CQvGObjectContainer& overlay)
{
    const std::vector<MeasureReportRow> rows = BuildMeasureRows(overlay, list.GetHeaderInfo());
    if (list.rowCount() != static_cast<int>(rows.size()))
        return false;
    for (int r = 0; r < list.rowCount(); ++r) {
        if (list.GetItemData(r) != reinterpret_cast<quintptr>(rows[static_cast<size_t>(r)].object))
            return false;
        for (int c = 0; c < list.columnCount(); ++c)
            if (list.GetItemText(r, c) != rows[static_cast<size_t>(r)].cells[static_cast<size_t>(c)])
                return false;
    }
    return true;
}

}  // namespace

// Every way the user changes the overlay reaches the report's rows and the document's modified flag through the
// overlay's own notices, with no refill of the view's making; selecting, zooming and clicking empty ground are no
// edits.
TEST_F(ReportIntegrationTest, EveryOverlayEditReachesTheRowsAndTheModifiedFlag)
{
    struct Case
    {
        const char* action;
        std::function<void()> run;
        int rows;
        bool modified;
        // The cell of the line's first row that must read differently afterwards (column mask), 0 for none.
        int changedQuantity;
    };
    CQvGObjectContainer& overlay = doc->GetGObjectContainer();
    CImageDispWnd* wnd = view->GetDispWnd();
    const auto drag = [wnd](QPoint from, QPoint to) {
        const CPoint o = wnd->GetOrigin();
        const QPoint origin(o.x, o.y);
        QTest::mouseMove(wnd->viewport(), origin + from);
        QTest::mousePress(wnd->viewport(), Qt::LeftButton, Qt::NoModifier, origin + from);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(wnd->viewport(), origin + from + (to - from) * step / 4);
        QTest::mouseRelease(wnd->viewport(), Qt::LeftButton, Qt::NoModifier, origin + to);
    };
    const std::vector<Case> cases = {
        {"selecting the line", [this] { Click(70, 20); }, 1, false, 0},
        {"a zoom and a click on empty ground",
         [this, wnd] {
             wnd->SetZoom(QVZOOM_2);
             Click(5, 140);
             wnd->SetZoom(QVZOOM_1);
         },
         1, false, 0},
        {"dragging the line's body", [&] { drag(QPoint(70, 20), QPoint(80, 40)); }, 1, true, CAL_POSITION_START},
        {"dragging the line's end", [&] { drag(QPoint(120, 20), QPoint(150, 20)); }, 1, true, CAL_LENGTH},
        {"Delete on the selected line",
         [this, wnd] {
             Click(70, 20);
             QTest::keyClick(wnd->viewport(), Qt::Key_Delete);
         },
         0, true, 0},
        {"the property sheet's OK",
         [this, &overlay] {
             Click(70, 20);
             overlay.SetPropertySheetRunner([&overlay](const GObjectSheetRequest&) {
                 overlay.GetSelection().front()->GetProperty().SetName("Renamed");
                 return IDOK;
             });
             frame->Router().Execute(ID_OBJECT_PROPERTIES);
             overlay.SetPropertySheetRunner(nullptr);
         },
         1, true, -1},
        {"copy and paste",
         [this] {
             Click(70, 20);
             frame->Router().Execute(ID_EDIT_COPY);
             frame->Router().Execute(ID_EDIT_PASTE);
         },
         2, true, 0},
        {"a new calibration",
         [this, wnd] {
             doc->GetCalibKeeper().SetUnitsPerPixel(2.0);
             wnd->AfterObjectEdit();
         },
         1, true, CAL_LENGTH},
        {"the measurements merged into the image", [this] { frame->Router().Execute(ID_MERGE_MEASUREMENTS); }, 0,
         true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        // One line, nothing selected, nothing unsaved.
        overlay.RemoveAll();
        doc->GetCalibKeeper().SetUnitsPerPixel(1.0);
        wnd->AfterObjectEdit();
        MeasureLine(20, 20, 120, 20);
        Click(190, 140);
        ASSERT_EQ(list->rowCount(), 1);
        doc->SetModifiedFlag(false);
        const CQvGObject* line = Objects().front();
        const int column = c.changedQuantity == -1 ? 0 : c.changedQuantity == 0 ? -1 : [this](int mask) {
            for (int i = 0; i < list->columnCount(); ++i)
                if (list->GetHeaderInfo()[static_cast<size_t>(i)].mask == mask)
                    return i;
            return -1;
        }(c.changedQuantity);
        const std::string before = column >= 0 ? list->GetItemText(0, column) : std::string();

        c.run();
        QApplication::processEvents();
        EXPECT_TRUE(ListMatchesOverlay(*list, overlay)) << "the rows are the overlay's";
        EXPECT_EQ(list->rowCount(), c.rows);
        EXPECT_EQ(doc->IsModified(), c.modified);
        if (column >= 0 && list->rowCount() > 0 && list->GetItemData(0) == reinterpret_cast<quintptr>(line)) {
            EXPECT_NE(list->GetItemText(0, column), before);
        }
    }
}

TEST_F(ReportIntegrationTest, AFootDeletedFromTheListLeavesThePerpendicularsOtherFeet)
{
    ASSERT_TRUE(doc->AddObjectOfType(SHAPE_PERPENDICULAR));
    for (const QPoint at : {QPoint(20, 60), QPoint(180, 60), QPoint(40, 20), QPoint(90, 100), QPoint(150, 30)})
        Click(at.x(), at.y());
    Click(150, 30, Qt::RightButton);
    ASSERT_EQ(list->rowCount(), 3) << "a row per foot";
    doc->SetModifiedFlag(false);
    list->clearSelection();
    list->selectRow(1);
    ASSERT_TRUE(frame->Router().Execute(ID_RESULT_REMOVE_SELECTED));
    EXPECT_EQ(list->rowCount(), 2);
    EXPECT_TRUE(ListMatchesOverlay(*list, doc->GetGObjectContainer()));
    EXPECT_TRUE(doc->IsModified());
}
