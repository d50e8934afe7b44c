// The caliper's settings file (".cst", "DefaultSet.cst"): any bytes either are refused without a change or give a
// record whose values lie in the dialog's ranges and that reads back to itself.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "caliper/CaliperSettings.h"

VISTREL_FUZZ_TARGET(caliper_settings)
{
    CCaliperSettings settings;
    const auto before = settings.Bytes();
    if (!settings.Assign(data, size)) {
        FuzzCheck(size < CCaliperSettings::kRecordSize, "a whole record is taken");
        FuzzCheck(settings.Bytes() == before, "a short file changes nothing");
        return 0;
    }
    FuzzCheck(settings.Passes() >= 0 && settings.Passes() <= CCaliperSettings::kMaxPasses, "passes in range");
    FuzzCheck(settings.HalfWidth() >= 0 && settings.HalfWidth() <= CCaliperSettings::kMaxHalfWidth,
              "half-width in range");
    FuzzCheck(settings.Decimals() >= 0 && settings.Decimals() <= CCaliperSettings::kMaxDecimals, "decimals in range");
    FuzzCheck(settings.ToolMode() >= 0 && settings.ToolMode() <= 2, "tool mode in range");
    FuzzCheck(settings.ResultMode() >= 0 && settings.ResultMode() <= 1, "result mode in range");
    const auto bytes = settings.Bytes();
    CCaliperSettings again;
    FuzzCheck(again.Assign(bytes.data(), bytes.size()) && again.Bytes() == bytes, "a record reads back to itself");
    return 0;
}
