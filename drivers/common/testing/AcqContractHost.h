// The contract test host of first-generation drivers: loads a driver module as the acquisition host does
// (dlopen RTLD_NOW | RTLD_LOCAL, every export looked up by name, a missing one not offered), allocates DIBs as the
// host does (header, 1024 palette bytes, rows) and counts notifications. The parametrised suite AcqContractTest
// (AcqContractTests.cpp, linked in through the acq_contract object library) runs the calling order on it; each
// driver's tests instantiate it with their own cases:
//   INSTANTIATE_TEST_SUITE_P(MyDriver, AcqContractTest, ::testing::Values(MyCase()), AcqContractCaseName);
// Message boxes and modal dialogs a driver shows reach the shared test main's recorder
// (testing_support::MessageBoxes()), which answers them.
#pragma once

#include "acqdriver/AcqDib.h"
#include "acqdriver/AcqDriverExports.h"
#include "module/CModule.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One host-owned frame buffer: header, palette room, rows (exactly AcqDibBufferSize bytes, so ASan sees any write
// past it).
class AcqTestDib
{
public:
    AcqTestDib(int32_t width, int32_t height, int32_t bitsPerPixel);
    BITMAPINFOHEADER* Header() { return reinterpret_cast<BITMAPINFOHEADER*>(m_bytes.data()); }
    uint8_t* Rows() { return m_bytes.data() + AcqDibPixelOffset(*Header()); }
    int64_t Stride() const { return m_stride; }
    size_t Size() const { return m_bytes.size(); }
    // Row `row` of the rows as delivered (|height| rows).
    std::vector<uint8_t> Row(int32_t row, int64_t bytes);

private:
    std::vector<uint8_t> m_bytes;
    int64_t m_stride = 0;
};

class AcqContractHost
{
public:
    ~AcqContractHost();

    // Loads the module; false (with the reason in Error()) when it cannot be loaded.
    bool Load(const std::string& path);
    void Unload();
    const AcqDriverExports& Exports() const { return m_exports; }
    int OfferedCount() const { return m_offered; }
    const CModule& Module() const { return m_module; }
    const std::string& Error() const { return m_module.GetLastError(); }

    // The calling order's first steps: notification callback (the host's counter, or none), ACQ_Initial, sizes.
    int Open(bool withNotification = true);
    void ReadSize();
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Depth() const { return m_depth; }
    int Mode() const;

    // Calls ACQ_Acquire until it answers something other than 9 or `timeoutMs` passed; answers the last result.
    // The default is generous: it is only reached when the answer never comes, however busy the machine.
    int AcquireWithin(BITMAPINFOHEADER* dib, int timeoutMs = 10000);

    // Notifications heard since the counter was last reset (the callback is a plain function, so one counter serves
    // every host in the process).
    static int Notifications();
    static void ResetNotifications();

private:
    CModule m_module;
    AcqDriverExports m_exports;
    int m_offered = 0;
    int m_width = -1;
    int m_height = -1;
    int m_depth = -1;
};

// One driver (with its simulated device) for the contract suite.
struct AcqContractCase
{
    std::string label;         // test-name suffix
    std::string modulePath;
    std::string expectedName;  // what ACQ_GetName writes
    int expectedExports = AcqDriverExports::kExportCount;
    // Notifications an open gives (a driver that only notifies on a later format change: 0).
    int notificationsPerOpen = 1;
    int width = 0, height = 0, bitsPerPixel = 0;  // the format the simulated device serves
    // Sets the simulated device up with that format, before ACQ_Initial.
    std::function<void(const CModule&, const AcqContractCase&)> prepareDevice;
    // Makes the device deliver one frame whose content depends on `seed`; true when the driver took it.
    std::function<bool(const CModule&, const AcqContractCase&, int seed)> deliverFrame;
    // The rows (stride x height, device order) the host's DIB holds after ACQ_Acquire of that frame.
    std::function<std::vector<uint8_t>(const AcqContractCase&, int seed)> expectedRows;
};

std::string AcqContractCaseName(const ::testing::TestParamInfo<AcqContractCase>& info);

class AcqContractTest : public ::testing::TestWithParam<AcqContractCase>
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Opens the driver with the case's device and asserts the reported format.
    void OpenDevice();
    bool Deliver(int seed) { return GetParam().deliverFrame(host.Module(), GetParam(), seed); }

    AcqContractHost host;
};
