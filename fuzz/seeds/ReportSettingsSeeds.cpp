// Seeds of the report settings reader: files written by the writer, with one list and with several lists whose
// columns carry Korean titles, an empty title and a zero width.
#include "FuzzSeeds.h"
#include "FuzzSupport.h"

#include "qvplglib/CReportListCtrl.h"
#include "report/ReportSettingsFile.h"

#include <memory>

namespace {

std::vector<uint8_t> Written(const std::vector<reportfile::ListToWrite>& lists)
{
    FuzzOutput out;
    reportfile::Write(out.file(), lists);
    return out.Contents();
}

}  // namespace

VISTREL_FUZZ_SEEDS(report_settings)
{
    EnsureFuzzApplication();
    CReportListCtrl measurements;
    measurements.SetColumn(0, "\xec\x9d\xb4\xeb\xa6\x84", 100, 1, -1);
    for (int n = 0; n < 15; ++n)
        measurements.SetColumn(1 + n, "Quantity " + std::to_string(n), 100, 1, 1 << n);
    CReportListCtrl odd;
    odd.SetColumn(0, "", 0, 0, 0);
    odd.SetColumn(1, "Position", 250, 1, 1 << 13);
    CReportListCtrl empty;
    return {Written({{"All", &measurements}}),
            Written({{"Lengths", &measurements}, {"", &odd}, {"\xed\x86\xb5\xea\xb3\x84", &empty}})};
}
