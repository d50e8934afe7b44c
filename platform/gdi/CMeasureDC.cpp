#include "gdi/CMeasureDC.h"

CMeasureDC& CMeasureDC::ThisThread()
{
    thread_local CMeasureDC dc;
    return dc;
}
