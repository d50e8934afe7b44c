// grab_visixu2: the second-generation driver of the U2 capture board (all 16 exports).
#include "common/Acq2DriverCore.h"
#include "u2/U2Device.h"

Acq2DriverCore& Acq2Core()
{
    static U2Device device;
    static Acq2DriverCore core(device, U2Defaults);
    return core;
}
