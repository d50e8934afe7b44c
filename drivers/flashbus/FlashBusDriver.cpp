// grab_flashbusmv: the second-generation driver of the FlashBus MV Lite grabber (15 exports: no notification
// setter, so a host learns a new size by reading it again after ACQ_SetProperty).
#include "common/Acq2DriverCore.h"
#include "flashbus/FlashBusDevice.h"

Acq2DriverCore& Acq2Core()
{
    static FlashBusDevice device;
    static Acq2DriverCore core(device, FlashBusDefaults);
    return core;
}
