// The report dock: one page per image view that follows the views, the statistics mode with its command, plug-in
// lists as external tabs, the report settings file read and written byte for byte with every hostile variant
// falling back to the default page, a page read as a table of texts, and the tab strip's layout and drawing.
#include "report/CReportDockWnd.h"
#include "report/CReportManager.h"
#include "report/CReportPage.h"
#include "report/CReportTabBar.h"
#include "report/ReportSettingsFile.h"

#include "core/tests/CoreTestFolder.h"
#include "document/CVistrelDoc.h"
#include "frame/CChildFrame.h"
#include "frame/CCmdUI.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "frame/tests/ChildFrameDocument.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/shapes/CQvGObjectLine.h"
#include "profile/CAppProfile.h"
#include "qvimage/CQvImage.h"
#include "qvplglib/CReportListCtrl.h"
#include "reportlib/CSafeArray2D.h"
#include "testing/RenderCheck.h"
#include "view/CVistrelView.h"

#include <QDir>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

// Bytes of a little-endian record, field by field, for the fixtures.
struct Bytes
{
    std::vector<uint8_t> data;
    Bytes& I32(int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
        return *this;
    }
    Bytes& F32(float v)
    {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        return I32(static_cast<int32_t>(u));
    }
    Bytes& Text(const std::string& s)
    {
        data.insert(data.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& Named(const std::string& s) { return I32(static_cast<int32_t>(s.size())).Text(s); }
};

const std::string kHeaderText = "REPORT CONTROL MAIN SETTING FILE";

// The file our writer makes for two lists: "Lengths" (name column, Length) and "Areas" (name column only).
std::vector<uint8_t> TwoListFixture(float version = 1.0f, int32_t count = 2)
{
    Bytes b;
    b.I32(32).Text(kHeaderText).F32(version).I32(count);
    // Each list's record: its version, the columns, then no display order of its own.
    b.Named("Lengths").I32(1).I32(2);
    b.Named("Name").I32(120).I32(1).I32(-1);
    b.Named("Length").I32(90).I32(1).I32(1).I32(0);
    b.Named("Areas").I32(1).I32(1);
    b.Named("\xeb\xa9\xb4\xec\xa0\x81").I32(100).I32(1).I32(4).I32(0);
    return b.data;
}

std::unique_ptr<CReportListCtrl> ListWithColumns(std::initializer_list<std::tuple<const char*, int, int>> columns)
{
    auto list = std::make_unique<CReportListCtrl>();
    int i = 0;
    for (const auto& [title, width, mask] : columns)
        list->SetColumn(i++, title, width, 1, mask);
    return list;
}

std::vector<uint8_t> WrittenBytes(const std::vector<reportfile::ListToWrite>& lists)
{
    FILE* file = std::tmpfile();
    EXPECT_TRUE(reportfile::Write(file, lists));
    std::vector<uint8_t> bytes(static_cast<size_t>(std::ftell(file)));
    std::rewind(file);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
    return bytes;
}

FILE* FileOf(const std::vector<uint8_t>& bytes)
{
    FILE* file = std::tmpfile();
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return file;
}

// Reads `bytes` with a factory that remembers every list it made.
std::vector<reportfile::NamedList> ReadTracked(const std::vector<uint8_t>& bytes,
                                               std::vector<QPointer<CReportListCtrl>>& made)
{
    FILE* file = FileOf(bytes);
    auto lists = reportfile::Read(file, [&made] {
        auto* list = new CReportListCtrl();
        made.emplace_back(list);
        return list;
    });
    std::fclose(file);
    return lists;
}

class ReportDockTest : public CoreTestFolder
{
protected:
    void SetUp() override
    {
        CoreTestFolder::SetUp();
        dock = std::make_unique<CReportDockWnd>();
        dock->resize(480, 160);
        for (auto& view : views)
            view = std::make_unique<CVistrelView>(nullptr);
    }
    void TearDown() override
    {
        dock.reset();
        for (auto& view : views)
            view.reset();
        CoreTestFolder::TearDown();
    }
    CReportManager& Manager() { return dock->Manager(); }
    std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    std::unique_ptr<CReportDockWnd> dock;
    std::unique_ptr<CVistrelView> views[2];
};

TEST_F(ReportDockTest, PagesFollowTheirViews)
{
    CVistrelView* a = views[0].get();
    CVistrelView* b = views[1].get();
    Manager().AddView(a);
    Manager().AddView(b);
    Manager().AddView(a);  // a second call for the same view builds nothing
    ASSERT_EQ(Manager().GetPageCount(), 2);
    CReportPage* pageA = Manager().FindPage(a);
    CReportPage* pageB = Manager().FindPage(b);
    ASSERT_TRUE(pageA && pageB);
    EXPECT_EQ(pageA->mainStrip->GetTabCount(), 1);
    EXPECT_EQ(pageA->mainStrip->GetTabName(0), "All");
    EXPECT_EQ(pageA->statisticsStrip->GetTabName(0), "All");
    // Pages are sized to the dock's client area, not beyond it.
    EXPECT_EQ(pageA->mainStrip->geometry(), dock->rect());

    dock->show();
    Manager().ShowPageOfView(a);
    EXPECT_TRUE(pageA->mainStrip->isVisible());
    EXPECT_FALSE(pageB->mainStrip->isVisible());
    Manager().ShowPageOfView(b);
    EXPECT_FALSE(pageA->mainStrip->isVisible());
    EXPECT_TRUE(pageB->mainStrip->isVisible());

    // The shown page is remembered by identity: taking out an earlier page leaves it the one shown.
    Manager().RemoveView(a);
    EXPECT_EQ(Manager().GetPageCount(), 1);
    EXPECT_EQ(Manager().ShownPage(), pageB);
    EXPECT_EQ(Manager().FindPage(a), nullptr);
    Manager().ShowPageOfView(a);  // no page: nothing happens
    EXPECT_TRUE(pageB->mainStrip->isVisible());
    Manager().RemoveView(b);
    EXPECT_EQ(Manager().ShownPage(), nullptr);
    EXPECT_EQ(Manager().GetPageCount(), 0);
}

TEST_F(ReportDockTest, StatisticsModeCarriesTheTabAcrossAndTicksItsCommand)
{
    const std::string path = WriteFile("report.rfg", TwoListFixture());
    Manager().SetSettingsPath(path);
    CVistrelView* a = views[0].get();
    CVistrelView* b = views[1].get();
    Manager().AddView(a);
    Manager().AddView(b);
    dock->show();
    Manager().ShowPageOfView(a);
    CReportPage* pageA = Manager().FindPage(a);
    CReportPage* pageB = Manager().FindPage(b);
    pageA->mainStrip->SetCurrentTab(1);

    CCmdUI off(cmd::ID_RESULT_STATISTICS);
    EXPECT_TRUE(a->UpdateCommand(off));
    EXPECT_TRUE(off.State().checkable);
    EXPECT_FALSE(off.State().checked);
    a->ExecuteCommand(cmd::ID_RESULT_STATISTICS);
    EXPECT_TRUE(Manager().GetStatisticsMode());
    CCmdUI on(cmd::ID_RESULT_STATISTICS);
    EXPECT_TRUE(a->UpdateCommand(on));
    EXPECT_TRUE(on.State().checked);
    EXPECT_TRUE(pageA->statisticsStrip->isVisible());
    EXPECT_FALSE(pageA->mainStrip->isVisible());
    EXPECT_EQ(pageA->statisticsStrip->GetCurrentTab(), 1);
    EXPECT_FALSE(pageB->statisticsStrip->isVisible());
    EXPECT_FALSE(pageB->mainStrip->isVisible());
    // Nothing can be deleted from a statistics table.
    EXPECT_EQ(Manager().GetSelectedCount(a), 0);

    // Activating the other view shows its statistics strip; turning the mode off brings the tab back.
    Manager().ShowPageOfView(b);
    EXPECT_TRUE(pageB->statisticsStrip->isVisible());
    EXPECT_FALSE(pageA->statisticsStrip->isVisible());
    Manager().ShowPageOfView(a);
    pageA->statisticsStrip->SetCurrentTab(0);
    a->ExecuteCommand(cmd::ID_RESULT_STATISTICS);
    EXPECT_FALSE(Manager().GetStatisticsMode());
    EXPECT_TRUE(pageA->mainStrip->isVisible());
    EXPECT_EQ(pageA->mainStrip->GetCurrentTab(), 0);
}

TEST_F(ReportDockTest, PlugInListsJoinAsExternalTabsAndLeaveCleanly)
{
    CVistrelView* a = views[0].get();
    Manager().AddView(a);
    CReportPage* page = Manager().FindPage(a);
    QPointer<CReportListCtrl> plugIn = new CReportListCtrl();
    plugIn->SetWindowText("Caliper");
    plugIn->SetColumn(0, "Edge", 80, 1, -1);
    Manager().AddExternalList(a, plugIn, plugIn->GetWindowText());
    ASSERT_EQ(page->mainStrip->GetTabCount(), 2);
    EXPECT_TRUE(page->mainStrip->IsExternal(1));
    EXPECT_EQ(page->statisticsStrip->GetTabName(1), "Caliper");
    EXPECT_FALSE(page->IsMeasurementList(plugIn));
    QPointer<QWidget> table = page->statisticsStrip->GetTabWindow(1);

    // Taken out by window: the strip hands the plug-in's list back unparented (its end must not take the list
    // along) and deletes its own statistics table.
    EXPECT_EQ(Manager().RemoveExternalList(a, plugIn), 1);
    ASSERT_TRUE(plugIn);
    EXPECT_EQ(plugIn->parentWidget(), nullptr);
    EXPECT_FALSE(table);
    EXPECT_EQ(page->mainStrip->GetTabCount(), 1);
    EXPECT_EQ(page->statisticsStrip->GetTabCount(), 1);
    EXPECT_EQ(Manager().RemoveExternalList(a, plugIn), -1);

    // A list its plug-in destroys takes its tab and its statistics table along.
    Manager().AddExternalList(a, plugIn, "Caliper");
    table = page->statisticsStrip->GetTabWindow(1);
    delete plugIn.data();
    EXPECT_EQ(page->mainStrip->GetTabCount(), 1);
    EXPECT_EQ(page->statisticsStrip->GetTabCount(), 1);
    EXPECT_FALSE(table);
    page->mainStrip->update();
    QApplication::processEvents();

    // A page that goes deletes the plug-in lists it still shows, itself and at once.
    QPointer<CReportListCtrl> kept = new CReportListCtrl();
    Manager().AddExternalList(a, kept, "Kept");
    Manager().RemoveView(a);
    EXPECT_FALSE(kept);
}

// A list that counts its refills.
class CountingList : public CReportListCtrl
{
public:
    void FillData() override { ++fills; }
    int fills = 0;
};

TEST_F(ReportDockTest, MeasurementListsAndOtherListsGetTheirOwnTreatment)
{
    std::vector<CReportListCtrl*> deleted;
    std::vector<CReportListCtrl*> selected;
    MeasureListBinding binding = Manager().Binding();
    binding.create = [](QWidget* parent) {
        auto* list = new CountingList();
        list->setParent(parent);
        return list;
    };
    binding.deleteSelected = [&deleted](CReportListCtrl* list) { deleted.push_back(list); };
    binding.selectObjectRows = [&selected](CReportListCtrl* list, const std::vector<CQvGObject*>&) {
        selected.push_back(list);
    };
    Manager().SetMeasureListBinding(binding);
    CVistrelView* a = views[0].get();
    Manager().AddView(a);
    CReportPage* page = Manager().FindPage(a);
    auto* measurements = dynamic_cast<CountingList*>(page->List(0));
    ASSERT_TRUE(measurements);
    auto* plugIn = new CountingList();
    Manager().AddExternalList(a, plugIn, "Caliper");

    Manager().RefreshView(a);
    EXPECT_EQ(measurements->fills, 1);
    EXPECT_EQ(plugIn->fills, 1);
    Manager().RefreshView(a);
    EXPECT_EQ(measurements->fills, 2);

    // Deleting: the measurement list deletes its selected results, the plug-in's list only refills.
    Manager().DeleteSelectedResults(a);
    EXPECT_EQ(deleted, (std::vector<CReportListCtrl*>{measurements}));
    EXPECT_EQ(plugIn->fills, 3);
    Manager().SelectObjectRow(a, nullptr);
    EXPECT_EQ(selected, (std::vector<CReportListCtrl*>{measurements}));

    // Command 1280 is there only while rows of the current list are selected; a plain click on any cell selects
    // its row.
    measurements->setColumnCount(3);
    measurements->setRowCount(50);
    dock->show();
    Manager().ShowPageOfView(a);
    QApplication::processEvents();
    CCmdUI none(cmd::ID_RESULT_REMOVE_SELECTED);
    EXPECT_TRUE(a->UpdateCommand(none));
    EXPECT_FALSE(none.State().enabled);
    const QRect cell = measurements->visualRect(measurements->model()->index(3, 1));
    QTest::mouseClick(measurements->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(measurements->GetSelectedRows(), std::vector<int>{3});
    CCmdUI some(cmd::ID_RESULT_REMOVE_SELECTED);
    EXPECT_TRUE(a->UpdateCommand(some));
    EXPECT_TRUE(some.State().enabled);
    EXPECT_EQ(Manager().GetSelectedCount(a), 1);

    // Scrolling to the end shows the row just added, before the list has laid it out.
    measurements->setRowCount(80);
    Manager().ScrollToEnd(a);
    const QRect last = measurements->visualRect(measurements->model()->index(79, 0));
    EXPECT_GT(measurements->verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(measurements->viewport()->rect().contains(last)) << last.y() << " of " << measurements->viewport()->height();
}

TEST_F(ReportDockTest, SettingsFileRoundTripsByteForByte)
{
    auto lengths = ListWithColumns({{"Name", 120, -1}, {"Length", 90, 1}});
    auto areas = ListWithColumns({{"\xeb\xa9\xb4\xec\xa0\x81", 100, 4}});
    const std::vector<uint8_t> fixture = TwoListFixture();
    EXPECT_EQ(WrittenBytes({{"Lengths", lengths.get()}, {"Areas", areas.get()}}), fixture);

    std::vector<QPointer<CReportListCtrl>> made;
    std::vector<reportfile::NamedList> read = ReadTracked(fixture, made);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].name, "Lengths");
    EXPECT_EQ(read[0].list->columnCount(), 2);
    EXPECT_EQ(read[0].list->ColumnMask(1), 1);
    EXPECT_EQ(read[0].list->columnWidth(0), 120);
    EXPECT_EQ(WrittenBytes({{read[0].name, read[0].list.get()}, {read[1].name, read[1].list.get()}}), fixture);

    // Through the file: a saved file reads back, and a page built from it holds measurement lists named by it.
    const std::string path = Path("report.rfg");
    ASSERT_TRUE(reportfile::WriteFile(path, {{"Lengths", lengths.get()}, {"Areas", areas.get()}}));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    Manager().SetSettingsPath(path);
    Manager().AddView(views[0].get());
    CReportPage* page = Manager().FindPage(views[0].get());
    ASSERT_EQ(page->mainStrip->GetTabCount(), 2);
    EXPECT_EQ(page->mainStrip->GetTabName(1), "Areas");
    EXPECT_EQ(page->List(1)->horizontalHeaderItem(0)->text(), QString::fromUtf8("\xeb\xa9\xb4\xec\xa0\x81"));
    EXPECT_TRUE(page->IsMeasurementList(page->List(0)));
    EXPECT_TRUE(page->IsMeasurementList(page->List(1)));
}

TEST_F(ReportDockTest, HostileSettingsFilesGiveTheDefaultPageWithNothingHalfBuilt)
{
    const std::vector<uint8_t> good = TwoListFixture();
    auto patched = [&good](size_t at, int32_t value) {
        std::vector<uint8_t> bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
        return bytes;
    };
    constexpr size_t kCountAt = 4 + 32 + 4;
    constexpr size_t kFirstNameAt = kCountAt + 4;
    constexpr size_t kFirstRecordAt = kFirstNameAt + 4 + 7;
    constexpr size_t kFirstColumnsAt = kFirstRecordAt + 4;
    constexpr size_t kFirstTitleAt = kFirstColumnsAt + 4;
    std::vector<uint8_t> wrongText = good;
    wrongText[4 + 31] = 'f';
    const struct
    {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"header length 31", patched(0, 31)},
        {"wrong header text", wrongText},
        {"version above 1.0", TwoListFixture(1.01f)},
        {"version not a number", TwoListFixture(std::numeric_limits<float>::quiet_NaN())},
        {"no lists", TwoListFixture(1.0f, 0)},
        {"negative count", TwoListFixture(1.0f, -1)},
        {"huge count", TwoListFixture(1.0f, 0x7fffffff)},
        {"count beyond the lists", TwoListFixture(1.0f, 3)},
        {"name length lying high", patched(kFirstNameAt, 1 << 30)},
        {"name length negative", patched(kFirstNameAt, -5)},
        {"list record of another version", patched(kFirstRecordAt, 2)},
        {"huge column count", patched(kFirstColumnsAt, 100000)},
        {"title length lying high", patched(kFirstTitleAt, 0x40000000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<QPointer<CReportListCtrl>> made;
        EXPECT_TRUE(ReadTracked(c.bytes, made).empty());
        for (const auto& list : made)
            EXPECT_FALSE(list) << "a list of a bad file survived";
    }
    // Every truncation of a good file is refused as a whole.
    for (size_t length = 0; length < good.size(); ++length) {
        std::vector<QPointer<CReportListCtrl>> made;
        EXPECT_TRUE(
            ReadTracked(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(length)), made).empty())
            << "length " << length;
        for (const auto& list : made)
            EXPECT_FALSE(list);
    }
    // Version 1.0 exactly is accepted.
    std::vector<QPointer<CReportListCtrl>> made;
    EXPECT_EQ(ReadTracked(TwoListFixture(1.0f), made).size(), 2u);

    // A page for a view over a hostile file is the default page.
    Manager().SetSettingsPath(WriteFile("report.rfg", TwoListFixture(1.01f)));
    Manager().AddView(views[0].get());
    CReportPage* page = Manager().FindPage(views[0].get());
    ASSERT_EQ(page->mainStrip->GetTabCount(), 1);
    EXPECT_EQ(page->mainStrip->GetTabName(0), "All");
    EXPECT_EQ(page->statisticsStrip->GetTabCount(), 1);
    Manager().SetSettingsPath(Path("missing.rfg"));
    Manager().AddView(views[1].get());
    EXPECT_EQ(Manager().FindPage(views[1].get())->mainStrip->GetTabName(0), "All");
}

TEST_F(ReportDockTest, PageAsArrayHoldsTitlesAndCellsInDisplayOrder)
{
    // A list that keeps the cells put in it (a measurement list would refill them from its overlay).
    MeasureListBinding binding = Manager().Binding();
    binding.create = [](QWidget* parent) { return new CReportListCtrl(parent); };
    Manager().SetMeasureListBinding(binding);
    CVistrelView* a = views[0].get();
    Manager().AddView(a);
    CReportPage* page = Manager().FindPage(a);
    CReportListCtrl* list = page->List(0);
    list->SetColumn(0, "Name", 100, 1, -1);
    list->SetColumn(1, "Length", 100, 1, 1);
    list->SetColumn(2, std::string(300, 'T'), 100, 1, 2);
    list->setRowCount(2);
    list->setItem(0, 0, new QTableWidgetItem("L-0"));
    list->setItem(0, 1, new QTableWidgetItem("12.5"));
    list->setItem(1, 0, new QTableWidgetItem("L-1"));
    // The user dragged Length to the front.
    list->horizontalHeader()->moveSection(1, 0);

    CSafeArray2D array;
    ASSERT_TRUE(Manager().GetPageAsSafeArray(a, array, true));
    EXPECT_EQ(array.GetRows(), 3);
    EXPECT_EQ(array.GetColumns(), 3);
    EXPECT_EQ(array.GetAt(0, 0), "Length");
    EXPECT_EQ(array.GetAt(0, 1), "Name");
    EXPECT_EQ(array.GetAt(0, 2).size(), 256u);
    EXPECT_EQ(array.GetAt(1, 0), "12.5");
    EXPECT_EQ(array.GetAt(1, 1), "L-0");
    EXPECT_EQ(array.GetAt(2, 1), "L-1");
    EXPECT_EQ(array.GetAt(2, 0), "");

    // Not on screen: the statistics table, seven rows under the list's titles in display order.
    Manager().UpdatePageOfView(a);
    CSafeArray2D statistics;
    ASSERT_TRUE(Manager().GetPageAsSafeArray(a, statistics, false));
    EXPECT_EQ(statistics.GetRows(), 8);
    EXPECT_EQ(statistics.GetAt(0, 0), "Length");
    // In statistics mode the flag turns round: on screen is the statistics table.
    Manager().SetStatisticsMode(a, true);
    CSafeArray2D shown;
    ASSERT_TRUE(Manager().GetPageAsSafeArray(a, shown, true));
    EXPECT_EQ(shown.GetRows(), 8);
    ASSERT_TRUE(Manager().GetPageAsSafeArray(a, shown, false));
    EXPECT_EQ(shown.GetRows(), 3);

    // An empty list leaves the array as it was.
    list->setRowCount(0);
    CSafeArray2D untouched;
    untouched.Create(1, 1);
    untouched.SetAt(0, 0, "kept");
    EXPECT_FALSE(Manager().GetPageAsSafeArray(a, untouched, false));
    EXPECT_EQ(untouched.GetAt(0, 0), "kept");
    EXPECT_FALSE(Manager().GetPageAsSafeArray(views[1].get(), untouched, true));
}

TEST_F(ReportDockTest, ClicksLandOnTheTabDrawnUnderThemAndScrollingStaysInBounds)
{
    CReportTabBar bar(nullptr, QColor(240, 240, 240), QColor(185, 209, 234));
    bar.resize(300, 120);
    bar.show();
    for (const char* name : {"All", "Caliper results", "Z"})
        bar.AddTab(new QWidget, name, false);
    bar.SetCurrentTab(0);
    const QRect strip = bar.StripRect();
    EXPECT_EQ(strip, QRect(26, 120 - 16, 250, 16));
    const std::vector<CReportTabBar::TabSpan> spans = bar.Layout();
    ASSERT_EQ(spans.size(), 3u);
    for (size_t i = 0; i < spans.size(); ++i) {
        // Both edges of a tab's span, and the spans touch: no click between tabs is lost.
        EXPECT_EQ(bar.HitTest(QPoint(strip.left() + std::max(spans[i].left, 0), strip.top() + 8)), static_cast<int>(i));
        EXPECT_EQ(bar.HitTest(QPoint(strip.left() + spans[i].right - 1, strip.top() + 8)), static_cast<int>(i));
        if (i + 1 < spans.size()) {
            EXPECT_EQ(spans[i].right, spans[i + 1].left);
        }
    }
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(strip.left() + (spans[1].left + spans[1].right) / 2, 110));
    EXPECT_EQ(bar.GetCurrentTab(), 1);
    EXPECT_TRUE(bar.GetTabWindow(1)->isVisibleTo(&bar));
    EXPECT_FALSE(bar.GetTabWindow(0)->isVisibleTo(&bar));
    EXPECT_EQ(bar.GetTabWindow(1)->geometry(), QRect(0, 0, 300, 104));
    EXPECT_EQ(bar.HitTest(QPoint(5, 110)), -1);

    // The arrow bar's arrows scroll by 16 pixels.
    auto* arrows = bar.findChild<QScrollBar*>("reportTabArrows");
    ASSERT_TRUE(arrows);
    EXPECT_EQ(arrows->geometry(), QRect(0, 104, 24, 16));
    arrows->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar.ScrollOffset(), -CReportTabBar::kScrollStep);
    arrows->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(bar.ScrollOffset(), 0);

    // Never past the first tab, and never so far that the last tab's end passes the strip's start.
    EXPECT_FALSE(bar.ScrollTabs(true));
    int steps = 0;
    while (bar.ScrollTabs(false))
        ++steps;
    EXPECT_GT(steps, 0);
    EXPECT_LT(-bar.ScrollOffset(), bar.TotalWidth());
    EXPECT_GE(-bar.ScrollOffset() + CReportTabBar::kScrollStep, bar.TotalWidth());
    // After scrolling the hit test follows the drawn tabs.
    const std::vector<CReportTabBar::TabSpan> scrolled = bar.Layout();
    EXPECT_EQ(scrolled[0].left, spans[0].left + bar.ScrollOffset());
}

TEST_F(ReportDockTest, DockWithTwoPagesDrawsTheShownPagesTabs)
{
    CVistrelView* a = views[0].get();
    CVistrelView* b = views[1].get();
    Manager().AddView(a);
    Manager().AddView(b);
    CReportPage* page = Manager().FindPage(a);
    CReportListCtrl* list = page->List(0);
    list->SetColumn(0, "Name", 100, 1, -1);
    list->SetColumn(1, "Length", 100, 1, 1);
    list->setRowCount(2);
    list->setItem(0, 0, new QTableWidgetItem("L-0"));
    list->setItem(0, 1, new QTableWidgetItem("12.500"));
    list->setItem(1, 0, new QTableWidgetItem("C-0"));
    auto* plugIn = new CReportListCtrl();
    plugIn->SetColumn(0, "Edge", 100, 1, -1);
    Manager().AddExternalList(a, plugIn, "Caliper");
    dock->show();
    Manager().ShowPageOfView(b);
    Manager().ShowPageOfView(a);
    QApplication::processEvents();
    const QImage shot = dock->grab().toImage();
    QDir().mkpath(testing_support::FailureImageFolder());
    shot.save(testing_support::FailureImageFolder() + "/report-dock-two-pages.png");

    // The current tab is white, the plug-in tab in the plug-in colour, the other page's strip is not drawn.
    const QRect strip = page->mainStrip->StripRect();
    const std::vector<CReportTabBar::TabSpan> spans = page->mainStrip->Layout();
    const int middleY = strip.top() + 8;
    EXPECT_EQ(testing_support::PixelAt(shot, strip.left() + spans[0].textLeft - 2, middleY), 0xFFFFFFu & 0xFFFFFF);
    EXPECT_EQ(testing_support::PixelAt(shot, strip.left() + spans[1].textLeft - 2, middleY),
              QColor(185, 209, 234).rgb() & 0xFFFFFF);
    EXPECT_FALSE(Manager().FindPage(b)->mainStrip->isVisible());
}

// Through the program's own path: views in a main frame add, show and drop their pages.
class ReportDockFrameTest : public CoreTestFolder
{
protected:
    void TearDown() override
    {
        frame.reset();
        documents.clear();
        CoreTestFolder::TearDown();
    }
    CAppProfile profile{"QRX", "Vistrel"};
    std::unique_ptr<CMainFrame> frame;
    std::vector<std::unique_ptr<CVistrelDoc>> documents;
};

TEST_F(ReportDockFrameTest, ViewsOpenSwitchAndCloseTheirPages)
{
    MainFrameOptions options;
    options.profile = &profile;
    options.programFolder = Path("program");
    frame = std::make_unique<CMainFrame>(options);
    frame->resize(1000, 700);
    CReportManager* manager = InstallReportDock(*frame, std::string());
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(ReportManagerOf(frame.get()), manager);
    // A measurement list that records what the page asks of it.
    std::vector<std::string> calls;
    MeasureListBinding binding = manager->Binding();
    binding.setContainer = [&calls](CReportListCtrl*, CQvGObjectContainer* container, CVistrelView*) {
        calls.push_back(container ? "container" : "none");
    };
    CQvGObject* selected = nullptr;
    binding.selectObjectRows = [&calls, &selected](CReportListCtrl*, const std::vector<CQvGObject*>& objects) {
        for (CQvGObject* object : objects) {
            calls.push_back("select");
            selected = object;
        }
    };
    manager->SetMeasureListBinding(binding);
    frame->show();
    QApplication::processEvents();

    CVistrelView* opened[2] = {};
    for (CVistrelView*& view : opened) {
        documents.push_back(OpenBlankInChildFrame(*frame, 64, 48));
        view = documents.back()->GetImageView();
    }
    ASSERT_EQ(manager->GetPageCount(), 2);
    EXPECT_EQ(manager->ShownPage(), manager->FindPage(opened[1]));
    EXPECT_EQ(calls, (std::vector<std::string>{"container", "container"}));

    // A finished object: the page refills, the object's row is selected.
    calls.clear();
    auto* line = new CQvGObjectLine();
    line->SetState(GS_FINISHED);
    documents[1]->GetGObjectContainer().GetMainObjList().push_back(line);
    documents[1]->GetGObjectContainer().ObjectsChanged();
    opened[1]->ObjectsChanged();
    EXPECT_EQ(calls, (std::vector<std::string>{"select"}));
    EXPECT_EQ(selected, line);
    frame->MdiArea()->setActiveSubWindow(frame->MdiArea()->subWindowList().front());
    QApplication::processEvents();
    EXPECT_EQ(manager->ShownPage(), manager->FindPage(opened[0]));

    CCmdUI ui(cmd::ID_RESULT_STATISTICS);
    EXPECT_TRUE(opened[0]->UpdateCommand(ui));
    EXPECT_TRUE(ui.State().enabled);
    opened[0]->ExecuteCommand(cmd::ID_RESULT_STATISTICS);
    EXPECT_TRUE(manager->GetStatisticsMode());
    opened[0]->ExecuteCommand(cmd::ID_RESULT_STATISTICS);

    documents.front()->OnCloseDocument();
    QApplication::processEvents();
    EXPECT_EQ(manager->GetPageCount(), 1);
    EXPECT_EQ(manager->FindPage(opened[1])->ownerView, opened[1]);
}

}  // namespace
