#include "report/CMeasureReportCtrl.h"

#include "report/MeasureReportCell.h"
#include "report/ReportStrings.h"

#include "document/CVistrelDoc.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/GObjectCatalogue.h"
#include "gobjects/GObjectChanges.h"

#include <QItemSelection>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>
#include <unordered_set>

namespace {

// More objects than this in one notice, and at least an eighth of the rows: one refill costs less than row by row
// (rows taken out of or put into the middle shift every row after them).
constexpr size_t kRowByRowLimit = 64;

bool IsMeasurement(const CQvGObject* obj)
{
    return obj->GetGOType() == GOTYPE_MEASURE || obj->GetGOType() == GOTYPE_MEASURE_ALT;
}

bool HasFeet(const CQvGObject* obj)
{
    return obj->GetObjShape() == SHAPE_PERPENDICULAR || obj->GetObjShape() == SHAPE_DAS;
}

// A position reads "(x, y)" in the overlay and "[x, y]" in the report.
std::string SquareBrackets(std::string text)
{
    for (char& c : text) {
        if (c == '(')
            c = '[';
        else if (c == ')')
            c = ']';
    }
    return text;
}

}  // namespace

std::vector<tagColumnInfo> MeasureReportColumns()
{
    std::vector<tagColumnInfo> columns;
    columns.push_back(tagColumnInfo{ReportString(reportstr::IDS_NAME_COLUMN), 100, 1, -1});
    for (int n = 0; n < GetMeasurementCount(); ++n)
        columns.push_back(tagColumnInfo{GetMeasurementName(n), 100, 1, GetMeasurementType(n)});
    return columns;
}

namespace {

// Hands `take` each row of the object in turn, in `row` (reused: its cells keep their room from row to row).
template <typename Take>
void VisitMeasureRows(CQvGObject* obj, const std::vector<tagColumnInfo>& columns, MeasureReportRow& row, Take take)
{
    if (!IsMeasurement(obj))
        return;
    const size_t width = columns.size();
    const std::string& name = obj->GetProperty().GetName();
    const int32_t calType = obj->GetCalType();
    row.object = obj;
    row.cells.resize(width);
    if (HasFeet(obj)) {
        const bool span = obj->GetObjShape() == SHAPE_DAS;
        const int subItems = obj->GetPointCount() - 2;
        for (int j = 0; j < subItems; ++j) {
            std::string value = obj->GetDataString(j);
            if (span && value.empty())
                continue;
            for (size_t c = 0; c < width; ++c) {
                const int mask = columns[c].mask;
                if (mask == -1)
                    row.cells[c] = name + "-" + std::to_string(span ? j / 2 : j);
                else if ((calType & mask) != 0)
                    row.cells[c] = value;
                else
                    row.cells[c].clear();
            }
            take(row);
        }
    } else if (obj->GetState() == GS_FINISHED) {
        for (size_t c = 0; c < width; ++c) {
            const int mask = columns[c].mask;
            if (mask == -1) {
                row.cells[c] = name;
            } else if ((calType & mask) != 0) {
                tagCAL_DATA data;
                data.kind = mask;
                row.cells[c] = SquareBrackets(obj->GetDataString(data, 0));
            } else {
                row.cells[c].clear();
            }
        }
        take(row);
    }
}

}  // namespace

std::vector<MeasureReportRow> BuildMeasureRows(CQvGObjectContainer& container,
                                               const std::vector<tagColumnInfo>& columns)
{
    std::vector<MeasureReportRow> rows;
    rows.reserve(container.GetObjects().size());
    for (CQvGObject* obj : container.GetObjects())
        AppendMeasureRows(obj, columns, rows);
    return rows;
}

void AppendMeasureRows(CQvGObject* obj, const std::vector<tagColumnInfo>& columns,
                       std::vector<MeasureReportRow>& rows)
{
    MeasureReportRow row;
    VisitMeasureRows(obj, columns, row, [&rows](const MeasureReportRow& made) { rows.push_back(made); });
}

CMeasureReportCtrl::CMeasureReportCtrl(QWidget* parent) : CReportListCtrl(parent)
{
    SetWindowText(kWindowText);
    connect(this, &QAbstractItemView::clicked, this, [this] { OnClicked(); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this] { OnDoubleClicked(); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { OnSelectionChanged(); });
}

CMeasureReportCtrl::~CMeasureReportCtrl() = default;

void CMeasureReportCtrl::SetViewData(CQvGObjectContainer* container, CVistrelView* view)
{
    m_container = container;
    m_view = view;
    FillData();
}

void CMeasureReportCtrl::DefaultHeaderSetting()
{
    std::vector<tagColumnInfo> columns = GetHeaderInfo();
    const std::vector<tagColumnInfo> set = MeasureReportColumns();
    columns.insert(columns.end(), set.begin(), set.end());
    ApplyHeaderInfo(columns);
}

void CMeasureReportCtrl::FillData()
{
    SetWindowText(kWindowText);
    // The list's own changes must not flow back into the overlay's selection.
    ++m_selecting;
    m_firstRow.clear();
    if (!m_container) {
        DeleteAllItems();
        --m_selecting;
        return;
    }
    const int h = GetScrollPos(Qt::Horizontal);
    const int v = GetScrollPos(Qt::Vertical);
    setUpdatesEnabled(false);
    DeleteAllItems();
    const GObjectList& objects = m_container->GetObjects();
    m_firstRow.reserve(static_cast<qsizetype>(objects.size()));
    // Rows are added a batch at a time (a row per object at first; a perpendicular gives several), so that the
    // objects are walked once.
    int rowsMade = static_cast<int>(objects.size());
    setRowCount(rowsMade);
    // Each row's cells go straight from its texts into the list, without a change notice each: the view reads
    // cells when it paints, nothing sorts this list, and 150,000 notices cost as much as building the texts. One
    // repaint follows.
    bool blocked = model()->blockSignals(true);
    const std::vector<tagColumnInfo>& columns = GetHeaderInfo();
    const int width = GetColumnCount();
    int r = 0;
    const CQvGObject* previous = nullptr;
    MeasureReportRow row;
    for (CQvGObject* obj : objects)
        VisitMeasureRows(obj, columns, row, [&](const MeasureReportRow& made) {
            if (r == rowsMade) {
                // The view and its header hear of the rows added.
                model()->blockSignals(blocked);
                rowsMade += std::max(rowsMade / 2, 64);
                setRowCount(rowsMade);
                blocked = model()->blockSignals(true);
            }
            const int cells = std::min(width, static_cast<int>(made.cells.size()));
            if (cells > 0)
                setItem(r, 0, new MeasureReportCell(made.cells[0], reinterpret_cast<quintptr>(made.object)));
            for (int c = 1; c < cells; ++c)
                if (const std::string& text = made.cells[static_cast<size_t>(c)]; !text.empty())
                    setItem(r, c, new MeasureReportCell(text));
            if (made.object != previous)
                m_firstRow.insert(made.object, r);
            previous = made.object;
            ++r;
        });
    model()->blockSignals(blocked);
    if (r < rowsMade)
        setRowCount(r);
    viewport()->update();
    horizontalScrollBar()->setValue(h);
    verticalScrollBar()->setValue(v);
    setUpdatesEnabled(true);
    --m_selecting;
}

int CMeasureReportCtrl::FindObjectRow(const CQvGObject* object) const
{
    return m_firstRow.value(object, -1);
}

void CMeasureReportCtrl::SelectObjectRow(CQvGObject* object)
{
    SelectObjectRows({object});
}

void CMeasureReportCtrl::SelectObjectRows(const std::vector<CQvGObject*>& objects)
{
    // Objects without rows (annotations, objects of other lists) are not asked anything.
    std::vector<CQvGObject*> listed;
    listed.reserve(objects.size());
    for (CQvGObject* object : objects)
        if (FindObjectRow(object) >= 0)
            listed.push_back(object);
    const std::vector<int> selectedRows = GetSelectedRows();
    std::unordered_set<const CQvGObject*> shown;
    for (int r : selectedRows)
        shown.insert(reinterpret_cast<const CQvGObject*>(GetItemData(r)));
    if (shown == std::unordered_set<const CQvGObject*>(listed.begin(), listed.end()))
        return;
    std::vector<int> rows;
    rows.reserve(listed.size());
    for (CQvGObject* object : listed) {
        int row = FindObjectRow(object);
        // Only a foot names a row of its own; the base line's ends (negative) stay on the object's first row.
        if (object->GetObjShape() == SHAPE_PERPENDICULAR) {
            const int sub = object->GetCurSubItem();
            if (sub >= 0 && row + sub < GetItemCount() && GetItemData(row + sub) == reinterpret_cast<quintptr>(object))
                row += sub;
        }
        rows.push_back(row);
    }
    // One selection of row runs: a row at a time costs a merge with everything selected so far.
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    QItemSelection selection;
    const int last = GetColumnCount() - 1;
    for (size_t i = 0; i < sorted.size();) {
        size_t j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1)
            ++j;
        selection.select(model()->index(sorted[i], 0), model()->index(sorted[j], std::max(last, 0)));
        i = j + 1;
    }
    ++m_selecting;
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (!rows.empty())
        EnsureVisible(rows.back());
    --m_selecting;
}

void CMeasureReportCtrl::ApplyChanges(const GObjectChanges& changes)
{
    if (!m_container)
        return;
    const size_t named =
        changes.added.size() + changes.changed.size() + changes.revalued.size() + changes.removed.size();
    if (named == 0)
        return;
    if (named > kRowByRowLimit && named * 8 > static_cast<size_t>(GetItemCount())) {
        RefillKeepingSelection();
        return;
    }
    const std::vector<tagColumnInfo>& columns = GetHeaderInfo();
    ++m_selecting;
    // Rows of removed objects, from the bottom up so that the rows still to go keep their numbers.
    std::vector<std::pair<int, int>> gone;
    for (const CQvGObject* object : changes.removed)
        if (const int first = FindObjectRow(object); first >= 0)
            gone.emplace_back(first, RowCountAt(first, object));
    std::sort(gone.begin(), gone.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [first, count] : gone)
        model()->removeRows(first, count);
    if (!gone.empty()) {
        IndexRows();
    }
    bool refill = false;
    std::vector<MeasureReportRow> rows;
    for (const std::vector<CQvGObject*>* redo : {&changes.changed, &changes.revalued})
        for (CQvGObject* object : *redo) {
            rows.clear();
            AppendMeasureRows(object, columns, rows);
            const int first = FindObjectRow(object);
            const int count = first >= 0 ? RowCountAt(first, object) : 0;
            if (count == static_cast<int>(rows.size())) {
                for (int i = 0; i < count; ++i)
                    SetRowCells(first + i, rows[static_cast<size_t>(i)]);
                continue;
            }
            if (first < 0) {
                refill = true;  // where its new rows go would take a walk of the overlay: rare enough to refill
                continue;
            }
            model()->removeRows(first, count);
            model()->insertRows(first, static_cast<int>(rows.size()));
            for (size_t i = 0; i < rows.size(); ++i)
                SetRowCells(first + static_cast<int>(i), rows[i]);
            IndexRows();
        }
    if (!changes.added.empty() && !refill) {
        // New objects stand at the overlay's end: their rows follow every row there is. Objects put elsewhere
        // (through the list itself) refill.
        const std::unordered_set<const CQvGObject*> added(changes.added.begin(), changes.added.end());
        size_t atEnd = 0;
        const GObjectList& objects = m_container->GetObjects();
        for (auto it = objects.rbegin(); it != objects.rend() && atEnd < added.size(); ++it) {
            if (added.contains(*it))
                ++atEnd;
            else if (FindObjectRow(*it) >= 0)
                break;
        }
        if (atEnd != added.size()) {
            refill = true;
        } else {
            rows.clear();
            for (CQvGObject* object : changes.added)
                AppendMeasureRows(object, columns, rows);
            const int first = GetItemCount();
            model()->insertRows(first, static_cast<int>(rows.size()));
            for (size_t i = 0; i < rows.size(); ++i) {
                SetRowCells(first + static_cast<int>(i), rows[i]);
                if (!m_firstRow.contains(rows[i].object))
                    m_firstRow.insert(rows[i].object, first + static_cast<int>(i));
            }
        }
    }
    --m_selecting;
    if (refill)
        RefillKeepingSelection();
}

void CMeasureReportCtrl::RefillKeepingSelection()
{
    std::vector<const CQvGObject*> selected;
    for (int r : GetSelectedRows())
        selected.push_back(reinterpret_cast<const CQvGObject*>(GetItemData(r)));
    FillData();
    // Only objects that still have rows are looked at again; the others may be gone.
    std::vector<CQvGObject*> again;
    for (const CQvGObject* object : selected)
        if (const int row = FindObjectRow(object); row >= 0)
            again.push_back(reinterpret_cast<CQvGObject*>(GetItemData(row)));
    again.erase(std::unique(again.begin(), again.end()), again.end());
    SelectObjectRows(again);
}

void CMeasureReportCtrl::SetRowCells(int r, const MeasureReportRow& row)
{
    const int columns = std::min(GetColumnCount(), static_cast<int>(row.cells.size()));
    for (int c = 0; c < columns; ++c) {
        const std::string& text = row.cells[static_cast<size_t>(c)];
        QTableWidgetItem* cell = item(r, c);
        if (text.empty() && c != 0) {
            if (cell)
                delete takeItem(r, c);
            continue;
        }
        // A new cell in place of one that shows another text: setting an item tells the view.
        const auto* own = dynamic_cast<const MeasureReportCell*>(cell);
        const bool same = own ? own->Shows(text)
                              : cell && cell->text() == QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        if (!same || (c == 0 && GetItemData(r) != reinterpret_cast<quintptr>(row.object)))
            setItem(r, c,
                    c == 0 ? new MeasureReportCell(text, reinterpret_cast<quintptr>(row.object))
                           : new MeasureReportCell(text));
    }
}

int CMeasureReportCtrl::RowCountAt(int first, const CQvGObject* object) const
{
    int count = 0;
    while (first + count < GetItemCount() && GetItemData(first + count) == reinterpret_cast<quintptr>(object))
        ++count;
    return count;
}

void CMeasureReportCtrl::IndexRows()
{
    m_firstRow.clear();
    const int rows = GetItemCount();
    m_firstRow.reserve(rows);
    for (int r = 0; r < rows; ++r)
        if (const auto* object = reinterpret_cast<const CQvGObject*>(GetItemData(r)); !m_firstRow.contains(object))
            m_firstRow.insert(object, r);
}

bool CMeasureReportCtrl::InContainer(const CQvGObject* object) const
{
    if (!m_container || !object)
        return false;
    const GObjectList& objects = m_container->GetObjects();
    return std::find(objects.begin(), objects.end(), object) != objects.end();
}

void CMeasureReportCtrl::OnSelectionChanged()
{
    if (!m_container || m_selecting)
        return;
    const int state = m_container->GetObjState();
    if ((state & (GS_FIRST_POINT | GS_ADDING)) != 0)
        return;
    const std::vector<int> rows = GetSelectedRows();
    // Rows may outlive their objects until the next refill, and an object may have several rows (the feet of a
    // perpendicular): the overlay takes only its own objects, each once. One call keeps this linear in the rows.
    std::vector<CQvGObject*> objects;
    objects.reserve(rows.size());
    for (int r : rows)
        if (auto* obj = reinterpret_cast<CQvGObject*>(GetItemData(r)))
            objects.push_back(obj);
    m_container->SelectObjects(objects, 0);
}

void CMeasureReportCtrl::DeleteSelectedResults()
{
    if (!m_container)
        return;
    for (int r : GetSelectedRows()) {
        auto* obj = reinterpret_cast<CQvGObject*>(GetItemData(r));
        if (!obj || !InContainer(obj))
            continue;
        if (obj->GetObjShape() == SHAPE_PERPENDICULAR) {
            const int first = FindObjectRow(obj);
            if (obj->DeleteSubPerpen(r - first)) {
                m_container->DeleteObject(obj);
            } else {
                m_container->NoteObjectEdited(obj);
                m_container->InvalidateCanvas();
            }
        } else {
            m_container->DeleteObject();
        }
        // Either deletion may have freed objects of later rows: the walk ends here.
        break;
    }
    FillData();
}

void CMeasureReportCtrl::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete)
        DeleteSelectedResults();
    CReportListCtrl::keyPressEvent(event);
}

void CMeasureReportCtrl::OnClicked()
{
    if (GetItemCount() == 0 || !m_view || !m_container)
        return;
    if (CImageDispWnd* wnd = m_view->GetDispWnd()) {
        wnd->ClearRegion();
        wnd->SetToolMode(0);
    }
    m_container->SelectionMode(1);
}

void CMeasureReportCtrl::OnDoubleClicked()
{
    if (GetItemCount() == 0 || !m_view || !m_container)
        return;
    CImageDispWnd* wnd = m_view->GetDispWnd();
    if (m_container->OnPropertyAll(wnd) == 0)
        return;
    m_container->UpdateAllObjectDataLabel();
    // Every list of the view's page reports these objects, not only this one.
    m_view->RefreshReport();
    if (wnd)
        wnd->update();
}
