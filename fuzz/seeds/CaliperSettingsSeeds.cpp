// Seeds of the caliper's settings file: the default record, a changed one and one longer than a record.
#include "FuzzSeeds.h"

#include "caliper/CaliperSettings.h"

VISTREL_FUZZ_SEEDS(caliper_settings)
{
    CCaliperSettings defaults;
    const auto first = defaults.Bytes();
    CCaliperSettings changed;
    changed.SetToolMode(1);
    changed.SetResultMode(1);
    changed.SetDecimals(4);
    changed.SetPasses(0);
    changed.SetHalfWidth(5);
    changed.SetDetector(caliper::kThreshold, 1);
    changed.SetUpperThreshold(200);
    changed.SetLowerThreshold(40);
    changed.SetColour(caliper::kGridColour, RGB(9, 8, 7));
    const auto second = changed.Bytes();
    std::vector<uint8_t> longer(second.begin(), second.end());
    longer.resize(600, 0x11);
    return {{first.begin(), first.end()}, {second.begin(), second.end()}, longer};
}
