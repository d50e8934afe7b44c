#include "reportlib/ReportPrint.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

int PrintReport(QPrinter& printer, const std::vector<ReportPrintEntry>& entries)
{
    if (entries.empty())
        return 0;
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    QFont font("Arial");
    font.setPointSizeF(9);
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

        const int columns = entry.table.GetColumns();
        if (columns == 0)
            continue;
        const int cellWidth = page.width() / columns;
        for (int r = 0; r < entry.table.GetRows(); ++r) {
            if (y + lineHeight > page.height()) {
                printer.newPage();
                y = 0;
            }
            for (int c = 0; c < columns; ++c) {
                const QRect cell(c * cellWidth, y, cellWidth, lineHeight);
                painter.drawRect(cell);
                const QString text = metrics.elidedText(QString::fromStdString(entry.table.GetAt(r, c)),
                                                        Qt::ElideRight, std::max(0, cellWidth - 4));
                painter.drawText(cell.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
            }
            y += lineHeight;
        }
    }
    return painter.end() ? 1 : 0;
}
