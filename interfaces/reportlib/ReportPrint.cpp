#include "reportlib/ReportPrint.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>

namespace {

// The table's font: the first size at which every column shows whole across the page; at the last one the columns
// that do not fit continue in further bands below.
constexpr double kTablePoints[] = {9.0, 8.0, 7.0};
constexpr int kCellFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWrapAnywhere;

QString Cell(const CSafeArray2D& table, int row, int column)
{
    return QString::fromStdString(table.GetAt(row, column));
}

// How a table goes onto the pages. A value is never cut: each column is as wide as its widest text; the columns
// that do not fit across the page follow in bands of their own, each led by the first (the row's name) again.
// Only a text wider than a whole page wraps inside its cell.
struct TableLayout
{
    QFont font;
    int padding = 0;                     // inside each cell, left and right
    int lineHeight = 0;                  // of a one-line row
    std::vector<int> widths;             // per column
    std::vector<std::vector<int>> bands; // the columns of each band, in order
};

// Rounded up, and a pixel more: a text given exactly its rounded width may still wrap.
std::vector<int> NaturalWidths(const CSafeArray2D& table, const QFontMetricsF& metrics, int padding)
{
    std::vector<int> widths(static_cast<size_t>(table.GetColumns()), 2 * padding + 1);
    for (int r = 0; r < table.GetRows(); ++r)
        for (int c = 0; c < table.GetColumns(); ++c) {
            const int text = static_cast<int>(std::ceil(metrics.horizontalAdvance(Cell(table, r, c)))) + 1;
            widths[static_cast<size_t>(c)] = std::max(widths[static_cast<size_t>(c)], text + 2 * padding);
        }
    return widths;
}

// Measured on the painter's device in the font it draws with. Leaves the chosen font set on the painter.
TableLayout LayOutTable(QPainter& painter, const CSafeArray2D& table, int pageWidth)
{
    TableLayout layout;
    const int columns = table.GetColumns();
    for (double points : kTablePoints) {
        layout.font = QFont("Arial");
        layout.font.setPointSizeF(points);
        painter.setFont(layout.font);
        const QFontMetricsF metrics(painter.font(), painter.device());
        layout.padding = std::max(2, static_cast<int>(metrics.averageCharWidth() / 2));
        layout.lineHeight = static_cast<int>(std::ceil(metrics.height())) + 2;
        layout.widths = NaturalWidths(table, metrics, layout.padding);
        if (std::accumulate(layout.widths.begin(), layout.widths.end(), 0LL) <= pageWidth)
            break;
    }
    const long long total = std::accumulate(layout.widths.begin(), layout.widths.end(), 0LL);
    if (total <= pageWidth) {
        // One band across the page; the room left is shared out.
        const int extra = static_cast<int>((pageWidth - total) / columns);
        for (int& width : layout.widths)
            width += extra;
        layout.bands.emplace_back(static_cast<size_t>(columns));
        std::iota(layout.bands.back().begin(), layout.bands.back().end(), 0);
        return layout;
    }
    // A name column wider than half the page is not repeated: it would leave the others no room.
    const bool repeatFirst = columns > 1 && layout.widths[0] <= pageWidth / 2;
    std::vector<int> band{0};
    long long used = layout.widths[0];
    for (int c = 1; c < columns; ++c) {
        const bool bandHasValues = band.size() > (repeatFirst ? 1u : 0u);
        if (bandHasValues && used + layout.widths[static_cast<size_t>(c)] > pageWidth) {
            layout.bands.push_back(band);
            band.clear();
            used = 0;
            if (repeatFirst) {
                band.push_back(0);
                used = layout.widths[0];
            }
        }
        band.push_back(c);
        used += layout.widths[static_cast<size_t>(c)];
    }
    layout.bands.push_back(band);
    return layout;
}

// The widths of a band's cells: their own, narrowed to the page only when a single text is wider than it.
std::vector<int> BandWidths(const TableLayout& layout, const std::vector<int>& band, int pageWidth)
{
    std::vector<int> widths;
    for (int c : band)
        widths.push_back(layout.widths[static_cast<size_t>(c)]);
    const long long total = std::accumulate(widths.begin(), widths.end(), 0LL);
    if (total > pageWidth)
        for (int& width : widths)
            width = std::max(2 * layout.padding + 1, static_cast<int>(width * pageWidth / total));
    return widths;
}

int RowHeight(QPainter& painter, const TableLayout& layout, const CSafeArray2D& table, int row,
              const std::vector<int>& band, const std::vector<int>& widths)
{
    int height = layout.lineHeight;
    for (size_t i = 0; i < band.size(); ++i) {
        const QString text = Cell(table, row, band[i]);
        if (text.isEmpty())
            continue;
        const QRect room(0, 0, std::max(1, widths[i] - 2 * layout.padding), INT_MAX / 4);
        height = std::max(height, painter.boundingRect(room, kCellFlags, text).height() + 2);
    }
    return height;
}

void PrintRow(QPainter& painter, const TableLayout& layout, const CSafeArray2D& table, int row,
              const std::vector<int>& band, const std::vector<int>& widths, int y, int height)
{
    int x = 0;
    for (size_t i = 0; i < band.size(); ++i) {
        const QRect cell(x, y, widths[i], height);
        painter.drawRect(cell);
        painter.drawText(cell.adjusted(layout.padding, 0, -layout.padding, 0), kCellFlags, Cell(table, row, band[i]));
        x += widths[i];
    }
}

// Prints the table from `y` on, band after band, starting further pages as needed with the column titles (row 0)
// again at their top.
void PrintTable(QPainter& painter, QPrinter& printer, const CSafeArray2D& table, const QRect& page, int y)
{
    const QFont titleFont = painter.font();
    const TableLayout layout = LayOutTable(painter, table, page.width());
    for (size_t b = 0; b < layout.bands.size(); ++b) {
        const std::vector<int>& band = layout.bands[b];
        if (b > 0)
            y += layout.lineHeight;  // a blank line between bands
        const std::vector<int> widths = BandWidths(layout, band, page.width());
        const int titlesHeight = RowHeight(painter, layout, table, 0, band, widths);
        for (int r = 0; r < table.GetRows(); ++r) {
            const int height = r == 0 ? titlesHeight : RowHeight(painter, layout, table, r, band, widths);
            // The titles never stand alone at the foot of a page.
            const int needed =
                height + (r == 0 && table.GetRows() > 1 ? RowHeight(painter, layout, table, 1, band, widths) : 0);
            if (y > 0 && y + needed > page.height()) {
                printer.newPage();
                y = 0;
                if (r > 0) {
                    PrintRow(painter, layout, table, 0, band, widths, y, titlesHeight);
                    y += titlesHeight;
                }
            }
            PrintRow(painter, layout, table, r, band, widths, y, height);
            y += height;
        }
    }
    painter.setFont(titleFont);
}

}  // namespace

int PrintReport(QPrinter& printer, const std::vector<ReportPrintEntry>& entries)
{
    if (entries.empty())
        return 0;
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    QFont font("Arial");
    font.setPointSizeF(kTablePoints[0]);
    painter.setFont(font);
    const QFontMetrics metrics(painter.font(), &printer);
    const int lineHeight = metrics.height() + 2;
    bool firstPage = true;

    for (const ReportPrintEntry& entry : entries) {
        if (!firstPage)
            printer.newPage();
        firstPage = false;
        const QRect page = painter.viewport();
        int y = 0;
        painter.drawText(QRect(0, y, page.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromStdString(entry.title));
        y += lineHeight * 2;

        const QImage& picture = entry.imageWithObjects.isNull() ? entry.image : entry.imageWithObjects;
        if (!picture.isNull()) {
            const QSize fitted = picture.size().scaled(page.width(), page.height() / 2, Qt::KeepAspectRatio);
            painter.drawImage(QRect(QPoint(0, y), fitted), picture);
            y += fitted.height() + lineHeight;
        }

        if (entry.table.GetColumns() > 0 && entry.table.GetRows() > 0)
            PrintTable(painter, printer, entry.table, page, y);
    }
    return painter.end() ? 1 : 0;
}
