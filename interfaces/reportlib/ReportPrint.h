// The report module's printing: one entry per open document (the active one first), each printed from a new page
// with the document title, the image with its overlay scaled to the page width (at most half the page high) and
// the report table below it, continued on further pages (titles repeated) when it does not fit. No value is ever
// cut: columns are as wide as their texts, in a smaller font when that lets them all fit across the page, else the
// columns beyond the page's width follow in further bands, each led by the first column again. UI thread (QPainter
// on a printer).
#pragma once

#include "reportlib/CSafeArray2D.h"

#include <QImage>

#include <string>
#include <vector>

class QPrinter;

struct ReportPrintEntry
{
    std::string title;
    QImage image;              // the image alone
    QImage imageWithObjects;   // the image with its overlay: the one printed when present
    CSafeArray2D table;        // the document's report table, row 0 the titles; may be empty
};

// Prints the entries on `printer` (already set up: a device, or a PDF file in tests). 1 when printed, 0 when there
// is nothing to print or the printer could not be started.
VISTREL_EXPORT int PrintReport(QPrinter& printer, const std::vector<ReportPrintEntry>& entries);
