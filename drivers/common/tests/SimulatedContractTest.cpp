// The contract suite on the simulated driver, and what it shows when its device is missing.
#include "common/testing/AcqContractHost.h"
#include "simulated/SimulatedDriver.h"

#include "testing/MessageBoxRecorder.h"

namespace {

std::vector<uint8_t> Rows(const AcqContractCase& c, int seed)
{
    const int64_t bytes = AcqDibImageBytes(c.width, c.height, c.bitsPerPixel);
    std::vector<uint8_t> rows(static_cast<size_t>(bytes));
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = uint8_t(i * 7 + seed * 31 + i / 251);
    return rows;
}

AcqContractCase SimulatedCase(std::string label, int width, int height, int bitsPerPixel)
{
    AcqContractCase c;
    c.label = std::move(label);
    c.modulePath = SIMULATED_DRIVER;
    c.expectedName = "Simulated-Cam";
    c.width = width;
    c.height = height;
    c.bitsPerPixel = bitsPerPixel;
    c.prepareDevice = [](const CModule& module, const AcqContractCase& c) {
        module.GetProc<SIM_SetDeviceFunction>("SIM_SetDevice")(1, c.width, c.height, c.bitsPerPixel);
    };
    c.deliverFrame = [](const CModule& module, const AcqContractCase& c, int seed) {
        const std::vector<uint8_t> rows = Rows(c, seed);
        return module.GetProc<SIM_DeliverFunction>("SIM_Deliver")(rows.data(), rows.size()) == 1;
    };
    c.expectedRows = Rows;
    return c;
}

}  // namespace

// 24-bit rows of an odd width carry padding, which the copy must neither take nor overrun.
INSTANTIATE_TEST_SUITE_P(Simulated, AcqContractTest,
    ::testing::Values(SimulatedCase("Rgb32", 64, 48, 32), SimulatedCase("Rgb24OddWidth", 37, 21, 24),
                      SimulatedCase("Grey8", 30, 10, 8)),
    AcqContractCaseName);

TEST(SimulatedDriver, MissingDeviceIsToldOnceAndLeavesNoSize)
{
    AcqContractHost host;
    ASSERT_TRUE(host.Load(SIMULATED_DRIVER)) << host.Error();
    host.Module().GetProc<SIM_SetDeviceFunction>("SIM_SetDevice")(0, 64, 48, 32);
    AcqContractHost::ResetNotifications();
    EXPECT_EQ(host.Open(), ACQ_OK);
    EXPECT_EQ(host.Width(), -1);
    EXPECT_EQ(AcqContractHost::Notifications(), 0);
    ASSERT_EQ(testing_support::MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(testing_support::MessageBoxes().Boxes()[0].text, "There is no capture device!");
    host.Exports().ACQ_Release();
}
