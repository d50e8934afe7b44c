// Input reports of a USB foot switch, as the pedal's device hands them over: each record is one length byte and that
// many report bytes (length 0: the device had nothing new). Whatever the pedal sends, the switch triggers once per
// press and never without a release between two triggers.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "panels/CKPRFootSwitch.h"

#include <algorithm>
#include <memory>

VISTREL_FUZZ_TARGET(footswitch_reports)
{
    EnsureFuzzApplication();
    auto transport = std::make_unique<SimulatedFootSwitchTransport>();
    int releases = 0;
    for (size_t at = 0; at < size;) {
        const size_t length = std::min<size_t>(data[at], size - at - 1);
        const uint8_t state = FootSwitchStateFromReport(data + at + 1, static_cast<int>(length));
        transport->script.push_back(state);
        if (state != kFootSwitchNoReport && (state & 1))
            ++releases;
        at += 1 + length;
    }
    const size_t polls = transport->script.size();
    CKPRFootSwitch footSwitch(std::move(transport));
    int beeps = 0, captures = 0;
    footSwitch.SetBeepFunction([&beeps](DWORD, DWORD) { ++beeps; });
    if (!footSwitch.Open())
        return 0;
    FootSwitchTarget target;
    target.callback = [&captures](int) { ++captures; };
    footSwitch.AddTarget(target);
    footSwitch.SelectTarget(target.id);
    for (size_t i = 0; i < polls; ++i)
        footSwitch.Poll();
    FuzzCheck(captures == beeps, "every trigger beeps once");
    FuzzCheck(captures <= releases + 1, "a second trigger needs a release before it");
    FuzzCheck(footSwitch.IsPolling(), "reports never stop the polling");
    return 0;
}
