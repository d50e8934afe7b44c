// The second-generation contract suite on the U2 driver and its simulated board library.
#include "common/testing/Acq2ContractHost.h"
#include "datakeeper/DkImage.h"
#include "u2/sim/MvuSimControl.h"

namespace {

int FrameOf(const datakeeper::CQvImage& image)
{
    const int frame = image.GetRow(0)[2];
    for (int y = 0; y < image.GetHeight(); ++y) {
        const uint8_t* row = image.GetRow(y);
        for (const int x : {0, 5, image.GetWidth() - 1})
            if (row[3 * x] != (y & 0xFF) || row[3 * x + 1] != (y >> 8) || row[3 * x + 2] != ((x + frame) & 0xFF))
                return -1;
    }
    return frame;
}

Acq2ContractCase U2Case()
{
    Acq2ContractCase c;
    c.label = "U2";
    c.modulePath = U2_DRIVER;
    c.vendorPath = MVU_SIM_LIBRARY;
    c.expectedExports = 16;
    c.width = c.changedWidth = 640;  // whatever the signal
    c.height = c.changedHeight = 480;
    c.prepare = [](const CModule& vendor) { vendor.GetProc<MVUSIM_ResetFunction>("MVUSIM_Reset")(); };
    c.deliver = [](const CModule& vendor) { vendor.GetProc<MVUSIM_DeliverFunction>("MVUSIM_Deliver")(1); };
    c.freeRun = [](const CModule& vendor, bool on) {
        vendor.GetProc<MVUSIM_SetFreeRunningFunction>("MVUSIM_SetFreeRunning")(on);
    };
    c.frameOf = FrameOf;
    return c;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(U2, Acq2ContractTest, ::testing::Values(U2Case()), Acq2ContractCaseName);
