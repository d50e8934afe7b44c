// Seeds of the foot switch's input reports: a key-style pedal pressed, held, released, with gaps of no report.
#include "FuzzSeeds.h"

VISTREL_FUZZ_SEEDS(footswitch_reports)
{
    const std::vector<uint8_t> down = {8, 0, 0, 0x05, 0, 0, 0, 0, 0};
    const std::vector<uint8_t> up = {8, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<uint8_t> none = {0};
    std::vector<uint8_t> session;
    for (const auto* report : {&none, &down, &down, &up, &none, &down, &up})
        session.insert(session.end(), report->begin(), report->end());
    return {down, session};
}
