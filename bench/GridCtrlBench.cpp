// Scrolling a 10,000 x 50 grid of texts one row at a time and repainting what shows: the grid control against
// QTableView over a table model holding the same texts, same viewport, same row heights and column widths.
#include "gridctrl/GridCtrl.h"

#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 10000;
constexpr int kColumns = 50;
constexpr int kRowHeight = 22;
constexpr int kColumnWidth = 80;
constexpr int kViewWidth = 1280;
constexpr int kViewHeight = 800;

std::string CellText(int row, int column)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d", row * 7 + column, (row + column) % 100);
    return text;
}

class TextTable : public QAbstractTableModel
{
public:
    TextTable()
    {
        m_texts.reserve(static_cast<size_t>(kRows) * kColumns);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c)
                m_texts.push_back(QString::fromStdString(CellText(r, c)));
    }
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kRows; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kColumns; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return m_texts[static_cast<size_t>(index.row()) * kColumns + static_cast<size_t>(index.column())];
    }
    QVariant headerData(int section, Qt::Orientation, int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    }

private:
    std::vector<QString> m_texts;
};

// The grid: one heading row and column around the 10,000 x 50 texts.
std::unique_ptr<gridctrl::CGridCtrl> MakeGrid()
{
    auto grid = std::make_unique<gridctrl::CGridCtrl>(kRows + 1, kColumns + 1, 1, 1);
    grid->resize(kViewWidth, kViewHeight);
    for (int r = 0; r <= kRows; ++r)
        grid->SetRowHeight(r, kRowHeight);
    for (int c = 0; c <= kColumns; ++c)
        grid->SetColumnWidth(c, kColumnWidth);
    for (int c = 1; c <= kColumns; ++c)
        grid->SetItemText(0, c, std::to_string(c));
    for (int r = 1; r <= kRows; ++r) {
        grid->SetItemText(r, 0, std::to_string(r));
        for (int c = 1; c <= kColumns; ++c)
            grid->SetItemText(r, c, CellText(r - 1, c - 1));
    }
    grid->SetFocusCell({});
    grid->show();
    QApplication::processEvents();
    return grid;
}

void GridScrollRepaint(benchmark::State& state)
{
    auto grid = MakeGrid();
    QScrollBar* bar = grid->verticalScrollBar();
    for (auto _ : state) {
        if (bar->value() >= bar->maximum())
            bar->setValue(0);
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        grid->viewport()->repaint();
    }
    state.counters["top row"] = grid->GetTopLeftNonFixedCell().row;
}

void TableViewScrollRepaint(benchmark::State& state)
{
    TextTable model;
    QTableView view;
    view.setModel(&model);
    view.resize(kViewWidth, kViewHeight);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(kRowHeight);
    view.horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    view.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view.show();
    QApplication::processEvents();
    QScrollBar* bar = view.verticalScrollBar();
    for (auto _ : state) {
        if (bar->value() >= bar->maximum())
            bar->setValue(0);
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        // The cells and the row headings move; both are repainted, as the grid repaints its heading column.
        view.viewport()->repaint();
        view.verticalHeader()->viewport()->repaint();
    }
}

BENCHMARK(GridScrollRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(TableViewScrollRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
