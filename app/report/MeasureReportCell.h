// A cell of the measurement report list as the list makes it: its text (UTF-8, made into a QString only when the
// view or a reader asks), and in the first column the row's object. A refill makes one per value, 750,000 for a
// document of 100,000 measured objects; a plain item with its QString and its list of values took three allocations
// each, which cost more than formatting the values. These come from a pool of their own and keep short texts
// inline. A value set from outside (a caller's SetItemText or SetItemData) goes the plain item's way from then on,
// which also tells the view.
// UI thread only (the pool is not locked). The pool keeps its blocks for the next refill and gives them back when
// no cell is left.
#pragma once

#include <QTableWidgetItem>

#include <cstddef>
#include <memory>
#include <string_view>

class MeasureReportCell : public QTableWidgetItem
{
public:
    explicit MeasureReportCell(std::string_view text);
    MeasureReportCell(std::string_view text, quintptr rowData);
    ~MeasureReportCell() override;
    MeasureReportCell(const MeasureReportCell&) = delete;
    MeasureReportCell& operator=(const MeasureReportCell&) = delete;

    QVariant data(int role) const override;
    void setData(int role, const QVariant& value) override;
    QTableWidgetItem* clone() const override;

    // Whether the cell shows exactly this text (without making a QString).
    bool Shows(std::string_view text) const;

    static void* operator new(size_t size);
    static void operator delete(void* cell, size_t size);

private:
    std::string_view Text() const;

    // Texts this long or shorter live in the cell (values, names, positions of a few thousand pixels).
    static constexpr size_t kInline = 30;
    char m_inline[kInline];
    unsigned char m_size = 0;
    bool m_ownText = true;
    bool m_ownRowData = false;
    std::unique_ptr<char[]> m_long;
    size_t m_longSize = 0;
    quintptr m_rowData = 0;
};
