// Printing: the grid scaled to the paper's width, headings repeated on every page, a header with the window title
// and a footer with the page number and the date. A row taller than a page gets a page of its own and is scaled
// down to the page's height there: its box shrinks to fit, its text keeps its size (never left out or cut off).
#include "gridctrl/GridCtrl.h"

#include "gridctrl/GridStrings.h"
#include "ui/ModalDialog.h"
#include "gdi/GdiDefs.h"

#include <QApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace gridctrl {

namespace {

QColor ToQColor(COLORREF colour)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

Qt::Alignment Alignment(uint32_t format)
{
    Qt::Alignment alignment = (format & DT_RIGHT) ? Qt::AlignRight : (format & DT_CENTER) ? Qt::AlignHCenter
                                                                                           : Qt::AlignLeft;
    return alignment | ((format & DT_VCENTER) ? Qt::AlignVCenter : Qt::AlignTop);
}

}  // namespace

// The cell colours of a printout, as the cell chooses them.
bool CGridCell::PrintCell(QPainter& painter, const QRect& rect, bool shaded, bool monochrome) const
{
    if (!GetGrid() || rect.isEmpty())
        return false;
    COLORREF text = 0, back = 0;
    bool background = false;
    PrintColours(shaded, monochrome, text, back, background);
    painter.save();
    if (background)
        painter.fillRect(rect, ToQColor(back));
    const int margin = static_cast<int>(GetMargin());
    painter.setPen(ToQColor(text));
    if (const LOGFONTA* own = IsDefaultFont() ? nullptr : GetFont()) {
        QFont font = painter.font();
        font.setBold(own->lfWeight >= 700);
        font.setItalic(own->lfItalic != 0);
        painter.setFont(font);
    }
    QRect box = rect.adjusted(margin, 0, -margin, 0);
    if (const QImage* image = GetGrid()->GetImageListImage(GetImage())) {
        painter.drawImage(box.topLeft(), *image);
        box.setLeft(box.left() + margin + image->width());
    }
    painter.drawText(box, Alignment(GetFormat()), QString::fromStdString(GetText()));
    painter.restore();
    return true;
}

void CGridCell::PrintColours(bool shaded, bool monochrome, COLORREF& text, COLORREF& back, bool& background) const
{
    text = RGB(0, 0, 0);
    background = false;
    const CGridDefaultCell* fallback = GetDefaultCell();
    if (shaded && fallback) {
        const bool ownBack = GetBackColor() != CLR_DEFAULT;
        if (IsFixed()) {
            back = ownBack ? GetBackColor() : fallback->GetBackColor();
            background = back != CLR_DEFAULT;
            text = ownBack && GetTextColor() != CLR_DEFAULT ? GetTextColor() : fallback->GetTextColor();
        } else {
            if (ownBack && GetBackColor() != fallback->GetBackColor()) {
                back = GetBackColor();
                background = true;
            }
            if (ownBack && GetTextColor() != CLR_DEFAULT)
                text = GetTextColor();
            else if (GetTextColor() != CLR_DEFAULT && GetTextColor() != fallback->GetTextColor())
                text = GetTextColor();
        }
        if (text == CLR_DEFAULT)
            text = RGB(0, 0, 0);
    }
    if (monochrome && !background)
        text = RGB(static_cast<BYTE>(GetRValue(text) * 0.30), static_cast<BYTE>(GetGValue(text) * 0.59),
                   static_cast<BYTE>(GetBValue(text) * 0.11));
}

bool CGridCtrl::Print(QPrinter* printer)
{
    QPrinter own(QPrinter::HighResolution);
    QPrinter& target = printer ? *printer : own;
    QPrintDialog dialog(&target, this);
    // All pages; no page range, selection or copies choices of our own.
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    if (RunModal(dialog) != QDialog::Accepted)
        return false;
    return Print(target);
}

bool CGridCtrl::Print(QPrinter& printer)
{
    QString title;
    for (QWidget* w = parentWidget(); w && title.isEmpty(); w = w->parentWidget())
        title = w->windowTitle();
    printer.setDocName(!QApplication::applicationName().isEmpty() ? QApplication::applicationName() : title);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(10);
    painter.setFont(font);
    const QFontMetrics metrics(font, &printer);
    const int charWidth = std::max(1, metrics.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ")) / 52);
    const int charHeight = std::max(1, metrics.height());
    const QRect paper = printer.pageLayout().paintRectPixels(printer.resolution());
    const int marginWidth = (m_margins[2] + m_margins[3]) * charWidth;
    int logicalWidth = GetVirtualWidth() + marginWidth;
    int logicalHeight = static_cast<int>(
        static_cast<long long>(logicalWidth) * paper.height() / std::max(1, paper.width()));
    if (m_wysiwygPrinting) {
        // The screen's scale: the paper in screen pixels.
        const int screenX = logicalDpiX(), screenY = logicalDpiY();
        logicalWidth = static_cast<int>(static_cast<long long>(screenX) * paper.width() /
                                        std::max(1, printer.logicalDpiX()) * 3 / 4);
        logicalHeight = static_cast<int>(static_cast<long long>(screenY) * paper.height() /
                                         std::max(1, printer.logicalDpiY()) * 3 / 4);
    }
    const int pageHeight = std::max(1, logicalHeight - GetFixedRowHeight() -
                                           (m_margins[0] + m_margins[1] + 2 * m_margins[6]) * charHeight);
    std::vector<int> heights;
    for (int r = GetFixedRowCount(); r < GetRowCount(); ++r)
        heights.push_back(GetRowHeight(r));
    std::vector<int> starts = PageStarts(heights, pageHeight);
    if (starts.empty())
        starts.push_back(0);
    // Column pages: only at the screen's scale; otherwise every column fits the paper's width.
    const int pageWidth = std::max(1, logicalWidth - GetFixedColumnWidth() - marginWidth);
    std::vector<int> columnStarts{0};
    if (m_wysiwygPrinting) {
        std::vector<int> widths;
        for (int c = GetFixedColumnCount(); c < GetColumnCount(); ++c)
            widths.push_back(GetColumnWidth(c));
        columnStarts = PageStarts(widths, pageWidth);
        if (columnStarts.empty())
            columnStarts.push_back(0);
    }
    const int columnPages = static_cast<int>(columnStarts.size());
    const int pages = static_cast<int>(starts.size()) * columnPages;

    QFont bold = font;
    bold.setBold(true);

    const bool monochrome = printer.colorMode() == QPrinter::GrayScale;
    const auto printCell = [&](int row, int column, const QRect& rect) {
        const CGridCell* cell = GetCell(row, column);
        if (!cell)
            return;
        cell->PrintCell(painter, rect, m_shadedPrintOut, monochrome);
        painter.setPen(QPen(QColor(Qt::black), 0));
        if (GetGridLines() & GVL_HORZ)
            painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
        if (GetGridLines() & GVL_VERT)
            painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
    };

    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !printer.newPage()) {
            printer.abort();
            return false;
        }
        const size_t rowPage = static_cast<size_t>(page / columnPages);
        const size_t columnPage = static_cast<size_t>(page % columnPages);
        const int firstColumn = GetFixedColumnCount() + columnStarts[columnPage];
        const int lastColumn = columnPage + 1 < columnStarts.size()
                                   ? GetFixedColumnCount() + columnStarts[columnPage + 1]
                                   : GetColumnCount();
        // The heading columns at the left of every page, then the page's own columns.
        std::vector<int> columns;
        for (int c = 0; c < GetFixedColumnCount(); ++c)
            columns.push_back(c);
        for (int c = firstColumn; c < lastColumn; ++c)
            columns.push_back(c);
        const auto printRow = [&](int row, int y, int height) {
            int x = 0;
            for (int c : columns) {
                printCell(row, c, QRect(x, y, GetColumnWidth(c), height));
                x += GetColumnWidth(c);
            }
        };
        painter.save();
        painter.setViewport(paper.translated(-paper.topLeft()));
        painter.setWindow(-m_margins[2] * charWidth, 0, logicalWidth, logicalHeight);
        const int bandWidth = logicalWidth - marginWidth;
        // Header.
        const QRect header(0, 0, bandWidth, m_margins[0] * charHeight);
        painter.setFont(bold);
        painter.setPen(Qt::black);
        painter.drawText(header, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, title);
        painter.drawText(header, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                         QApplication::applicationName());
        painter.drawLine(header.left(), header.bottom(), header.right(), header.bottom());
        painter.setFont(font);
        const int top = header.bottom() + m_margins[6] * charHeight;
        // Column headings: the fixed rows over the page's columns.
        int y = top;
        for (int r = 0; r < GetFixedRowCount(); ++r) {
            printRow(r, y, GetRowHeight(r));
            y += GetRowHeight(r);
        }
        // Body: the page's rows. A row taller than the page has a page of its own and is scaled down to the page's
        // height there, so that its whole box and its text land on paper.
        const int first = GetFixedRowCount() + starts[rowPage];
        const int last = rowPage + 1 < starts.size() ? GetFixedRowCount() + starts[rowPage + 1] : GetRowCount();
        painter.setClipRect(QRect(0, y, bandWidth, pageHeight));
        for (int r = first; r < last; ++r) {
            const int height = std::min(GetRowHeight(r), pageHeight);
            printRow(r, y, height);
            y += height;
        }
        painter.setClipping(false);
        // Footer.
        const QRect footer(0, logicalHeight - m_margins[1] * charHeight, bandWidth, m_margins[1] * charHeight);
        painter.setFont(bold);
        painter.drawLine(footer.left(), footer.top(), footer.right(), footer.top());
        std::string pageText = GridString(IDS_GRID_PAGE_OF);
        char buffer[128];
        std::snprintf(buffer, sizeof buffer, pageText.c_str(), page + 1, pages);
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, QString::fromUtf8(buffer));
        const std::time_t now = std::time(nullptr);
        char date[128] = "";
        if (const std::tm* local = std::localtime(&now))
            std::strftime(date, sizeof date, "%c", local);
        painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, QString::fromUtf8(date));
        painter.restore();
    }
    return painter.end();
}

}  // namespace gridctrl
