// The contract suite of second-generation drivers: each driver's tests load their simulated vendor library and
// instantiate Acq2ContractTest (Acq2ContractTests.cpp, linked in through the acq2_contract object library) with their
// own cases:
//   INSTANTIATE_TEST_SUITE_P(MyDriver, Acq2ContractTest, ::testing::Values(MyCase()), Acq2ContractCaseName);
// The driver module outlives a test (its current property too), so every test opens with the device defaults.
#pragma once

#include "capturehost/AcqDriver2Exports.h"
#include "capturehost/AcqProperty.h"
#include "module/CModule.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace datakeeper {
class CQvImage;
}

struct Acq2ContractCase
{
    std::string label;  // test-name suffix
    std::string modulePath;
    std::string vendorPath;  // the simulated vendor library, loaded before the driver so the driver finds this copy
    int expectedExports = 16;
    int width = 0, height = 0;                // the frame size with the device defaults
    int changedWidth = 0, changedHeight = 0;  // the frame size once the signal changed
    // Makes the simulated device one that opens, with nothing pending.
    std::function<void(const CModule& vendor)> prepare;
    // Lets the device make one more frame available.
    std::function<void(const CModule& vendor)> deliver;
    // A free-running device (frames without deliveries), or not.
    std::function<void(const CModule& vendor, bool on)> freeRun;
    // The frame an image holds, or -1 when its rows are not the device's in top-down order.
    std::function<int(const datakeeper::CQvImage&)> frameOf;
};

std::string Acq2ContractCaseName(const ::testing::TestParamInfo<Acq2ContractCase>& info);

class Acq2ContractTest : public ::testing::TestWithParam<Acq2ContractCase>
{
protected:
    struct PropertyDeleter
    {
        const AcqDriver2Exports* exports;
        void operator()(CAcqPropertyBase* p) const { exports->ACQ_DeletePropertyBaseObject(p); }
    };
    using Property = std::unique_ptr<CAcqPropertyBase, PropertyDeleter>;

    void SetUp() override;
    void TearDown() override;
    Property NewProperty() { return Property(exports.ACQ_GetNewDeviceProperty(), PropertyDeleter{&exports}); }
    // ACQ_Initial, then the device defaults applied; asserts both succeed.
    void OpenWithDefaults();
    int Read(int (*call)(int*)) const;
    // Polls ACQ_Acquire under the host lock, as the host does, until a frame comes; false after seconds.
    bool AcquireWithin(datakeeper::CQvImage& image);

    CModule vendor;
    CModule driver;
    AcqDriver2Exports exports;
    int offered = 0;
    CCriticalSection hostLock;
};
