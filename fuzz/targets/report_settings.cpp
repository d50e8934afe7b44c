// The report settings file "report.rfg": the lists of a new report page with their columns.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "qvplglib/CReportListCtrl.h"
#include "report/ReportSettingsFile.h"

namespace {

std::vector<uint8_t> Written(const std::vector<reportfile::NamedList>& lists)
{
    std::vector<reportfile::ListToWrite> entries;
    for (const reportfile::NamedList& entry : lists)
        entries.push_back({entry.name, entry.list.get()});
    FuzzOutput out;
    FuzzCheck(reportfile::Write(out.file(), entries), "lists that were read can be written");
    return out.Contents();
}

}  // namespace

VISTREL_FUZZ_TARGET(report_settings)
{
    EnsureFuzzApplication();
    FuzzInput in(data, size);
    int made = 0;
    const auto makeList = [&made] {
        ++made;
        return new CReportListCtrl();
    };
    const std::vector<reportfile::NamedList> lists = reportfile::Read(in.file(), makeList);
    FuzzCheck(lists.size() <= static_cast<size_t>(reportfile::kMaxLists), "the list count is bounded");
    if (lists.empty())
        return 0;
    FuzzCheck(static_cast<size_t>(made) == lists.size(), "every list made belongs to the result");
    // What was read writes, and reads back to the same bytes.
    const std::vector<uint8_t> bytes = Written(lists);
    FuzzInput back(bytes.data(), bytes.size());
    const std::vector<reportfile::NamedList> again = reportfile::Read(back.file(), makeList);
    FuzzCheck(again.size() == lists.size(), "what the file wrote reads back");
    FuzzCheck(Written(again) == bytes, "lists read back write the same bytes");
    return 0;
}
