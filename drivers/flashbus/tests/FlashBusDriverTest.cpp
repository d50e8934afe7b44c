// The FlashBus driver on its simulated grabber library: opening from the probe, the rows it hands over, the
// property it applies (and the one it refuses before programming anything), the format change under the host lock,
// closing, and its property archive.
#include "capturehost/AcqDriver2Exports.h"
#include "capturehost/AcqProperty.h"
#include "common/testing/Acq2DriverTestParts.h"
#include "datakeeper/CArchiveManager.h"
#include "datakeeper/DkImage.h"
#include "flashbus/sim/FbusSimControl.h"

#include "testing/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>

namespace {

using namespace acq2_test;

class FlashBusDriver : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.Load(FBUS_SIM_LIBRARY)) << sim.GetLastError();
        ASSERT_TRUE(driver.Load(FLASHBUS_DRIVER)) << driver.GetLastError();
        offered = exports.Resolve(driver);
        Sim<FBUSSIM_ResetFunction>("FBUSSIM_Reset")();
        testing_support::MessageBoxes().Reset();
    }
    void TearDown() override
    {
        if (exports.ACQ_Release)
            exports.ACQ_Release();
    }

    template <typename Function>
    Function Sim(const char* name)
    {
        auto function = sim.GetProc<Function>(name);
        EXPECT_NE(function, nullptr) << name;
        return function;
    }
    std::string Log() { return Sim<FBUSSIM_CallLogFunction>("FBUSSIM_CallLog")(); }
    void ClearLog()
    {
        // The reset forgets the board's state too: keep what a test set up by replaying only the log's clearing.
        log0 = Log().size();
    }
    std::string NewLog() { return Log().substr(log0); }
    int Get(decltype(AcqDriver2Exports::ACQ_GetWidth) call)
    {
        int value = -1;
        EXPECT_EQ(call(&value), 1);
        return value;
    }
    Property NewProperty() { return Property(exports.ACQ_GetNewDeviceProperty(), PropertyDeleter{&exports}); }
    int Open() { return exports.ACQ_Initial(7, nullptr, &lock); }

    CModule sim;
    CModule driver;
    AcqDriver2Exports exports;
    int offered = 0;
    RecordingLock lock;
    size_t log0 = 0;
};

}  // namespace

TEST_F(FlashBusDriver, OffersFifteenExportsAndNothingBeforeItOpens)
{
    EXPECT_EQ(offered, 15);
    EXPECT_EQ(exports.ACQ_SetNotityFunction, nullptr);
    EXPECT_TRUE(exports.HasCore());
    EXPECT_EQ(Get(exports.ACQ_GetWidth), 0);
    EXPECT_EQ(Get(exports.ACQ_GetHeight), 0);
    EXPECT_EQ(Get(exports.ACQ_GetDepth), 0);
    EXPECT_EQ(Get(exports.ACQ_GetCurrentMode), 0);
    int count = 0;
    EXPECT_EQ(exports.ACQ_GetDeviceCount(&count), 1);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(exports.ACQ_TranslateMessage(), 1);
    EXPECT_EQ(exports.ACQ_DeletePropertyBaseObject(nullptr), 1);

    datakeeper::CQvImage image;
    ASSERT_TRUE(image.Create(datakeeper::CM_BGR, 8, 640, 480));
    std::fill(image.GetBuffer(), image.GetBuffer() + image.GetImageSize(), 0x5A);
    EXPECT_EQ(exports.ACQ_Acquire(&image), 0);
    EXPECT_EQ(image.GetBuffer()[1234], 0x5A);
    // A still image of a driver that is not live gives up rather than wait for ever.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(exports.ACQ_Acquire4StillImage(&image), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(Log(), "");
}

TEST_F(FlashBusDriver, OpensFromTheProbe)
{
    struct Case { const char* label; int openStatus; uint32_t probe; int result, width, height; const char* log;
                  const char* message; };
    const Case cases[] = {
        {"board missing", 1, 0, 0, 0, 0, "2()\n", nullptr},
        {"no signal", 0, 0xFFFF, 0, 0, 0, "2()\n76(1)\n3()\n", "No signal!"},
        {"byte 1 zero", 0, 0x04030002, 1, 640, 480, "2()\n76(1)\n16(2,0,3,4)\n73(640,480,24,1)\n32(1,2)\n", nullptr},
        {"byte 1 set", 0, 0x00000101, 1, 760, 570, "2()\n76(1)\n16(1,1,0,0)\n73(760,570,24,1)\n32(1,2)\n", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        exports.ACQ_Release();
        Sim<FBUSSIM_ResetFunction>("FBUSSIM_Reset")();
        testing_support::MessageBoxes().Reset();
        Sim<FBUSSIM_SetOpenStatusFunction>("FBUSSIM_SetOpenStatus")(c.openStatus);
        Sim<FBUSSIM_SetProbeFunction>("FBUSSIM_SetProbe")(c.probe);
        EXPECT_EQ(Open(), c.result);
        EXPECT_EQ(Log(), c.log);
        EXPECT_EQ(Get(exports.ACQ_GetCurrentMode), c.result ? 2 : 0);
        if (c.result) {
            EXPECT_EQ(Get(exports.ACQ_GetWidth), c.width);
            EXPECT_EQ(Get(exports.ACQ_GetHeight), c.height);
            EXPECT_EQ(Get(exports.ACQ_GetDepth), 24);
        }
        const auto& boxes = testing_support::MessageBoxes().Boxes();
        ASSERT_EQ(boxes.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(boxes[0].text, c.message);
        }
    }
}

TEST_F(FlashBusDriver, HandsTheFrameOverTopDownWithItsBytesInOrder)
{
    ASSERT_EQ(Open(), 1);
    datakeeper::CQvImage image;
    ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
    ASSERT_EQ(image.GetWidth(), 640);
    ASSERT_EQ(exports.ACQ_Acquire(&image), 1);
    for (const int row : {0, 1, 255, 479}) {
        const int stored = 479 - row;  // the DIB's rows are bottom-up
        const uint8_t* pixel = image.GetRow(row) + 3 * 5;
        EXPECT_EQ(pixel[0], stored & 0xFF) << row;
        EXPECT_EQ(pixel[1], stored >> 8) << row;
        EXPECT_EQ(pixel[2], 5) << row;  // first read: frame 0
    }
    // A capture area larger than the frame is read only as far as the frame reaches.
    Sim<FBUSSIM_SetAreaFunction>("FBUSSIM_SetArea")(2000, 2000);
    EXPECT_EQ(exports.ACQ_Acquire(&image), 1);
}

TEST_F(FlashBusDriver, ProgramsWhatDiffersAndRefusesAChannelOutsideTheListBeforeProgramming)
{
    ASSERT_EQ(Open(), 1);
    ClearLog();
    Property same = NewProperty();
    EXPECT_EQ(exports.ACQ_SetProperty(same.get()), 1);  // the defaults: nothing differs
    EXPECT_EQ(NewLog(), "");

    struct Step { const char* label; int hue, saturation, brightness, contrast, channel; const char* log; };
    const Step steps[] = {
        {"hue", 9, 32, 34, 35, 3, "29(0,9)\n"},
        {"saturation and contrast", 9, 1, 34, 2, 3, "29(1,1)\n29(3,2)\n"},
        {"RGB", 9, 1, 34, 2, 1, "16(2,0,0,0)\n"},
        {"Composit", 9, 1, 34, 2, 0, "16(0,0,0,0)\n"},
        {"S-Video", 9, 1, 34, 2, 2, "16(1,0,0,0)\n"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.label);
        Property next = NewProperty();
        next->Hue.Value = s.hue;
        next->Saturation.Value = s.saturation;
        next->Brightness.Value = s.brightness;
        next->Contrast.Value = s.contrast;
        next->Channel.Current = s.channel;
        ClearLog();
        EXPECT_EQ(exports.ACQ_SetProperty(next.get()), 1);
        EXPECT_EQ(NewLog(), s.log);
    }
    // An index outside the list, with other changes besides: refused, nothing programmed, nothing kept.
    for (const int current : {-1, 3, 8}) {
        SCOPED_TRACE(current);
        Property bad = NewProperty();
        bad->Hue.Value = 50;
        bad->Signal = 1;
        bad->Channel.Current = current;
        ClearLog();
        EXPECT_EQ(exports.ACQ_SetProperty(bad.get()), 0);
        EXPECT_EQ(NewLog(), "");
        EXPECT_EQ(Get(exports.ACQ_GetWidth), 640);
    }
    // An unknown channel number programs no input, yet the property is kept.
    Property unknown = NewProperty();
    unknown->Hue.Value = 9;
    unknown->Saturation.Value = 1;
    unknown->Contrast.Value = 2;
    unknown->Channel.List[0].Channel = 9;
    unknown->Channel.Current = 0;
    ClearLog();
    EXPECT_EQ(exports.ACQ_SetProperty(unknown.get()), 1);
    EXPECT_EQ(NewLog(), "");  // no input for channel 9, and the values equal the current ones
}

TEST_F(FlashBusDriver, ChangesTheFormatUnderTheHostLockAndRefusesAStaleImage)
{
    ASSERT_EQ(Open(), 1);
    datakeeper::CQvImage image;
    ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
    for (const int signal : {1, 0}) {
        SCOPED_TRACE(signal);
        Property next = NewProperty();
        next->Signal = signal;
        const int locks = lock.locks;
        ClearLog();
        ASSERT_EQ(exports.ACQ_SetProperty(next.get()), 1);
        EXPECT_EQ(lock.locks, locks + 1);
        EXPECT_EQ(lock.unlocks, lock.locks);
        const int width = signal ? 760 : 640, height = signal ? 570 : 480;
        EXPECT_EQ(Get(exports.ACQ_GetWidth), width);
        EXPECT_EQ(Get(exports.ACQ_GetHeight), height);
        EXPECT_NE(NewLog().find("73(" + std::to_string(width) + "," + std::to_string(height) + ",24,1)"),
                  std::string::npos);
        // The host's image still has the old size: refused, never overrun.
        EXPECT_EQ(exports.ACQ_Acquire(&image), 0);
        ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
        EXPECT_EQ(exports.ACQ_Acquire(&image), 1);
    }
}

TEST_F(FlashBusDriver, ClosesOnlyALiveBoard)
{
    EXPECT_EQ(exports.ACQ_Release(), 1);
    EXPECT_EQ(Log(), "");
    ASSERT_EQ(Open(), 1);
    ClearLog();
    EXPECT_EQ(exports.ACQ_Release(), 1);
    EXPECT_EQ(NewLog(), "32(0,2)\n3()\n");
    EXPECT_EQ(Get(exports.ACQ_GetCurrentMode), 0);
    datakeeper::CQvImage image;
    ASSERT_TRUE(image.Create(datakeeper::CM_BGR, 8, 640, 480));
    EXPECT_EQ(exports.ACQ_Acquire(&image), 0);
    // Opened again after a release.
    ASSERT_EQ(Open(), 1);
    EXPECT_EQ(exports.ACQ_Acquire4StillImage(&image), 1);
}

TEST_F(FlashBusDriver, ReleaseWaitsForAReadInProgressInsteadOfClosingTheBoardUnderIt)
{
    ASSERT_EQ(Open(), 1);
    datakeeper::CQvImage image;
    ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
    Sim<FBUSSIM_StallReadsFunction>("FBUSSIM_StallReads")(1);
    // The host's poll, caught inside the board's read.
    auto poll = std::async(std::launch::async, [&] { return exports.ACQ_Acquire(&image); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Sim<FBUSSIM_StalledReadsFunction>("FBUSSIM_StalledReads")() < 1)
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the poll never reached the board";
    auto release = std::async(std::launch::async, [&] { return exports.ACQ_Release(); });
    // A release that does not wait closes the board at once, under the read.
    release.wait_for(std::chrono::milliseconds(200));
    Sim<FBUSSIM_StallReadsFunction>("FBUSSIM_StallReads")(0);
    EXPECT_EQ(poll.get(), 1) << "the read begun on an open board finishes";
    EXPECT_EQ(release.get(), 1);
    EXPECT_EQ(Sim<FBUSSIM_ReadsWhileClosedFunction>("FBUSSIM_ReadsWhileClosed")(), 0);
    EXPECT_EQ(exports.ACQ_Acquire(&image), 0) << "nothing is read once released";
    EXPECT_EQ(Sim<FBUSSIM_ReadsWhileClosedFunction>("FBUSSIM_ReadsWhileClosed")(), 0);
}

TEST_F(FlashBusDriver, ItsDefaultsRoundTripThroughThePropertyArchive)
{
    Property defaults = NewProperty();
    EXPECT_EQ(defaults->Device, "FlashBus MV");
    EXPECT_EQ(defaults->Channel.Current, 3);
    EXPECT_EQ(defaults->Brightness.Value, 34);
    datakeeper::CArchiveManager archive;
    ASSERT_EQ(defaults->Save(archive.GetRoot()), 1);
    CAcqPropertyBase loaded;
    ASSERT_EQ(loaded.Load(archive.GetRoot()), 1);
    EXPECT_TRUE(loaded.SameValues(*defaults));
}
