// The second-generation contract suite on the FlashBus driver and its simulated grabber library.
#include "common/testing/Acq2ContractHost.h"
#include "datakeeper/DkImage.h"
#include "flashbus/sim/FbusSimControl.h"

namespace {

// The board's rows are stored bottom-up: image row y shows stored row (height - 1 - y).
int FrameOf(const datakeeper::CQvImage& image)
{
    const int frame = image.GetRow(0)[2];
    for (int y = 0; y < image.GetHeight(); ++y) {
        const int stored = image.GetHeight() - 1 - y;
        const uint8_t* row = image.GetRow(y);
        for (const int x : {0, 5, image.GetWidth() - 1})
            if (row[3 * x] != (stored & 0xFF) || row[3 * x + 1] != (stored >> 8) || row[3 * x + 2] != ((x + frame) & 0xFF))
                return -1;
    }
    return frame;
}

Acq2ContractCase FlashBusCase()
{
    Acq2ContractCase c;
    c.label = "FlashBus";
    c.modulePath = FLASHBUS_DRIVER;
    c.vendorPath = FBUS_SIM_LIBRARY;
    c.expectedExports = 15;
    c.width = 640;
    c.height = 480;
    c.changedWidth = 760;
    c.changedHeight = 570;
    c.prepare = [](const CModule& vendor) { vendor.GetProc<FBUSSIM_ResetFunction>("FBUSSIM_Reset")(); };
    // Every read is a new frame of the board.
    c.deliver = [](const CModule&) {};
    c.freeRun = [](const CModule&, bool) {};
    c.frameOf = FrameOf;
    return c;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(FlashBus, Acq2ContractTest, ::testing::Values(FlashBusCase()), Acq2ContractCaseName);
