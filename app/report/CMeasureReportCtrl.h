// The measurement report list of one image view: a row per measured result, a column per quantity, the overlay
// object of each row as its row data. Selection in the list and in the overlay follow each other; Delete removes the
// selected results (one foot of a perpendicular alone). A refill builds every row with BuildMeasureRows, a pure
// function of the container and the column set, and applies them in one pass; between refills the rows follow the
// overlay's change notices (ApplyChanges), only the rows of the objects named being redone. UI thread only.
#pragma once

#include "qvplglib/CReportListCtrl.h"

#include <QHash>

#include <string>
#include <vector>

struct GObjectChanges;
class CQvGObject;
class CQvGObjectContainer;
class CVistrelView;

// One row of the measurement report: the object it reports and its cells by column index (empty: no value).
struct MeasureReportRow
{
    CQvGObject* object = nullptr;
    std::vector<std::string> cells;
};

// The measurement column set: the name column (mask -1), then one column per reportable quantity.
std::vector<tagColumnInfo> MeasureReportColumns();

// Every row the container's measurements report, in drawing order, cells placed by column index: a perpendicular
// gives a row per foot ("<name>-<j>"), a span set a row per span with a value ("<name>-<j/2>"), any other
// measurement one row when finished. Positions read "[x, y]". No blank rows.
std::vector<MeasureReportRow> BuildMeasureRows(CQvGObjectContainer& container,
                                               const std::vector<tagColumnInfo>& columns);
// The rows of one object, as BuildMeasureRows gives them, appended to `rows`.
void AppendMeasureRows(CQvGObject* obj, const std::vector<tagColumnInfo>& columns,
                       std::vector<MeasureReportRow>& rows);

class CMeasureReportCtrl : public CReportListCtrl
{
public:
    static constexpr const char* kWindowText = "MANUAL_MEASUREMENT";

    explicit CMeasureReportCtrl(QWidget* parent = nullptr);
    ~CMeasureReportCtrl() override;

    // The overlay this list reports (not owned; null detaches). The view (optional) serves clicks: a click ends
    // its tool mode, a double click opens the property sheet of its objects. Refills.
    void SetViewData(CQvGObjectContainer* container, CVistrelView* view = nullptr);
    CQvGObjectContainer* GetContainer() const { return m_container; }

    void DefaultHeaderSetting() override;
    void FillData() override;
    // The measurement list keeps the overlay's order.
    void SortColumn(int, int) override {}

    // The rows follow what the overlay told (the notice that follows the rows' last refill or change): the rows
    // of removed objects go, those of changed and revalued objects are redone in place, those of added ones are
    // appended. Many objects at once (a read, a new calibration, a clean sweep) refill the list instead. Rows not
    // named keep their cells and their selection.
    void ApplyChanges(const GObjectChanges& changes);
    // Selects the object's row (for a perpendicular, the row of its current foot), and no other, without touching
    // the overlay.
    void SelectObjectRow(CQvGObject* object);
    // The same for many objects at once (one selection change however many rows); none clears the selection. A
    // selection that already names exactly these objects is kept (a foot the user picked stays picked).
    void SelectObjectRows(const std::vector<CQvGObject*>& objects);
    // The first row reporting the object, or -1 (kept per refill: no search).
    int FindObjectRow(const CQvGObject* object) const;
    // Deletes what the selected rows report, then refills.
    void DeleteSelectedResults();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Puts the row's cells into list row r (which exists), touching only cells whose text differs.
    void SetRowCells(int r, const MeasureReportRow& row);
    // Rows of the object from its first row on (rows of an object stand together).
    int RowCountAt(int first, const CQvGObject* object) const;
    // The first row of every object, from the rows' data.
    void IndexRows();
    // Refills, keeping the selected objects' rows selected.
    void RefillKeepingSelection();
    void OnSelectionChanged();
    void OnClicked();
    void OnDoubleClicked();
    bool InContainer(const CQvGObject* object) const;

    CQvGObjectContainer* m_container = nullptr;
    CVistrelView* m_view = nullptr;
    int m_selecting = 0;
    // As of the last refill or change; compared, never followed. Open addressing: a refill of 100,000 objects
    // makes no allocation per entry.
    QHash<const CQvGObject*, int> m_firstRow;
};
