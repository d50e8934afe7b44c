// The column record of a report list, as the report settings file holds one per list.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "qvplglib/CReportListCtrl.h"

namespace {

std::vector<uint8_t> Written(const CReportListCtrl& list)
{
    FuzzOutput out;
    FuzzCheck(list.WriteSetting(out.file()) == 1, "a list that was read can be written");
    return out.Contents();
}

}  // namespace

VISTREL_FUZZ_TARGET(report_setting)
{
    EnsureFuzzApplication();
    CReportListCtrl list;
    list.ApplyHeaderInfo({{"Before", 60, 1, -1}});
    FuzzInput in(data, size);
    if (!list.ReadSetting(in.file())) {
        FuzzCheck(list.GetColumnCount() == 1 && list.GetHeaderInfo()[0].title == "Before",
                  "a bad record changes nothing");
        return 0;
    }
    // What was read writes a record that reads back to the same columns and the same bytes.
    const std::vector<uint8_t> bytes = Written(list);
    CReportListCtrl again;
    FuzzInput back(bytes.data(), bytes.size());
    FuzzCheck(again.ReadSetting(back.file()) == 1, "what the list wrote reads back");
    FuzzCheck(again.GetOrderArray() == list.GetOrderArray(), "the header order reads back");
    FuzzCheck(Written(again) == bytes, "a list read back writes the same bytes");
    return 0;
}
