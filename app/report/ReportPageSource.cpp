#include "report/ReportPageSource.h"

namespace {

ReportPageSource& Source()
{
    static ReportPageSource source;
    return source;
}

}  // namespace

void SetReportPageSource(ReportPageSource source)
{
    Source() = std::move(source);
}

CSafeArray2D ReportPageTable(CVistrelView& view, ReportPageSource::Table table)
{
    CSafeArray2D out;
    if (Source().pageAsArray && !Source().pageAsArray(view, table, out))
        out = CSafeArray2D();
    return out;
}

void UpdateReportPage(CVistrelView& view)
{
    if (Source().updatePage)
        Source().updatePage(view);
}

int ReportSelectedCount(CVistrelView& view)
{
    return Source().selectedCount ? Source().selectedCount(view) : 0;
}

int ReportMainRowCount(CVistrelView& view)
{
    return Source().mainRowCount ? Source().mainRowCount(view) : 0;
}

void RemoveSelectedResults(CVistrelView& view)
{
    if (Source().removeSelected)
        Source().removeSelected(view);
}

bool ReportStatisticsMode()
{
    return Source().statisticsMode && Source().statisticsMode();
}

void SetReportStatisticsMode(bool on)
{
    if (Source().setStatisticsMode)
        Source().setStatisticsMode(on);
}

std::string ReportMainListName(CVistrelView& view)
{
    return Source().mainListName ? Source().mainListName(view) : std::string();
}
