// Seeds of the report list's column record: records written by the list itself, without columns, with the
// measurement column set, and with a rearranged header and a Korean title.
#include "FuzzSeeds.h"
#include "FuzzSupport.h"

#include "qvplglib/CReportListCtrl.h"

namespace {

std::vector<uint8_t> Written(const CReportListCtrl& list)
{
    FuzzOutput out;
    list.WriteSetting(out.file());
    return out.Contents();
}

}  // namespace

VISTREL_FUZZ_SEEDS(report_setting)
{
    EnsureFuzzApplication();
    CReportListCtrl empty;
    CReportListCtrl measurement;
    std::vector<tagColumnInfo> columns = {{"Name", 100, 1, -1}};
    for (int n = 0; n < 15; ++n)
        columns.push_back({"Quantity " + std::to_string(n), 100, 1, 1 << n});
    measurement.ApplyHeaderInfo(columns);
    CReportListCtrl moved;
    moved.ApplyHeaderInfo({{"\xec\x9d\xb4\xeb\xa6\x84", 120, 1, -1}, {"Length", 80, 1, 1}, {"Area", 90, 1, 0x400}});
    moved.SetOrderArray({2, 0, 1});
    return {Written(empty), Written(measurement), Written(moved)};
}
