// The U2 driver on its simulated board library: opening and its failures, each frame handed over once and whole,
// the picture references and inputs it programs (and the channel it refuses), the rebuild for a new signal under
// the host lock, and stopping the grab thread when the board is halted, unplugged or stuck.
#include "capturehost/AcqDriver2Exports.h"
#include "capturehost/AcqProperty.h"
#include "common/testing/Acq2DriverTestParts.h"
#include "datakeeper/CArchiveManager.h"
#include "datakeeper/DkImage.h"
#include "u2/sim/MvuSimControl.h"

#include "testing/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

// What a board just allocated is told from the device defaults: input S-Video (3), then hue, saturation,
// brightness and contrast.
const std::string kProgramDefaults =
    "digChannel(3)\ndigReference(3,0)\ndigReference(4,0)\ndigReference(1,10)\ndigReference(2,-15)\n";

using namespace acq2_test;

// What the notification callback saw of the board's log when it ran.
std::string* g_logAtNotify = nullptr;
int g_notifies = 0;
MVUSIM_CallLogFunction g_callLog = nullptr;

void RecordNotify()
{
    ++g_notifies;
    if (g_logAtNotify && g_callLog)
        *g_logAtNotify = g_callLog();
}

class U2Driver : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.Load(MVU_SIM_LIBRARY)) << sim.GetLastError();
        ASSERT_TRUE(driver.Load(U2_DRIVER)) << driver.GetLastError();
        offered = exports.Resolve(driver);
        Sim<MVUSIM_ResetFunction>("MVUSIM_Reset")();
        g_callLog = Sim<MVUSIM_CallLogFunction>("MVUSIM_CallLog");
        g_notifies = 0;
        g_logAtNotify = nullptr;
        testing_support::MessageBoxes().Reset();
    }
    void TearDown() override
    {
        Sim<MVUSIM_SetStalledFunction>("MVUSIM_SetStalled")(0);
        if (exports.ACQ_Release)
            exports.ACQ_Release();
        if (exports.ACQ_SetNotityFunction)
            exports.ACQ_SetNotityFunction(nullptr);
        EXPECT_EQ(Sim<MVUSIM_LiveHandlesFunction>("MVUSIM_LiveHandles")(), 0);
    }

    template <typename Function>
    Function Sim(const char* name)
    {
        auto function = sim.GetProc<Function>(name);
        EXPECT_NE(function, nullptr) << name;
        return function;
    }
    std::string Log() { return g_callLog(); }
    void ClearLog() { log0 = Log().size(); }
    std::string NewLog() { return Log().substr(log0); }
    void Deliver(int frames) { Sim<MVUSIM_DeliverFunction>("MVUSIM_Deliver")(frames); }
    void FreeRun(bool on) { Sim<MVUSIM_SetFreeRunningFunction>("MVUSIM_SetFreeRunning")(on); }
    int Get(decltype(AcqDriver2Exports::ACQ_GetWidth) call)
    {
        int value = -1;
        EXPECT_EQ(call(&value), 1);
        return value;
    }
    Property NewProperty() { return Property(exports.ACQ_GetNewDeviceProperty(), PropertyDeleter{&exports}); }
    int Open() { return exports.ACQ_Initial(7, nullptr, &lock); }
    // Opens with the device defaults as the current property (it outlives a release, so a former test's stays).
    int OpenWithDefaults()
    {
        if (Open() != 1)
            return 0;
        Property defaults = NewProperty();
        const int applied = exports.ACQ_SetProperty(defaults.get());
        ClearLog();
        return applied;
    }
    // Waits until the grab thread waits in the board for the next frame.
    bool GrabThreadWaits()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (Sim<MVUSIM_WaitingFunction>("MVUSIM_Waiting")() < 1)
            if (std::chrono::steady_clock::now() > deadline)
                return false;
        return true;
    }
    // Polls until a frame is handed over; false when none comes within seconds.
    bool AcquireWithin(datakeeper::CQvImage& image)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline)
            if (exports.ACQ_Acquire(&image) == 1)
                return true;
        return false;
    }
    // The frame number an image shows, or -1 when its rows come from different frames or are not the board's.
    static int FrameOf(const datakeeper::CQvImage& image)
    {
        const int frame = image.GetRow(0)[2];
        for (int y = 0; y < image.GetHeight(); ++y) {
            const uint8_t* row = image.GetRow(y);
            for (const int x : {0, 5, 639})
                if (row[3 * x] != (y & 0xFF) || row[3 * x + 1] != (y >> 8) || row[3 * x + 2] != ((x + frame) & 0xFF))
                    return -1;
        }
        return frame;
    }

    CModule sim;
    CModule driver;
    AcqDriver2Exports exports;
    int offered = 0;
    RecordingLock lock;
    size_t log0 = 0;
};

}  // namespace

TEST_F(U2Driver, OffersSixteenExportsAndItsDefaultsRoundTripThroughTheArchive)
{
    EXPECT_EQ(offered, 16);
    EXPECT_NE(exports.ACQ_SetNotityFunction, nullptr);
    EXPECT_EQ(Get(exports.ACQ_GetCurrentMode), 0);
    Property defaults = NewProperty();
    EXPECT_EQ(defaults->Device, "Visix U2");
    EXPECT_EQ(defaults->Brightness.Min, -127);
    EXPECT_EQ(defaults->SignalSizeH.Max, 16);
    ASSERT_EQ(defaults->Channel.List.size(), 3u);
    EXPECT_EQ(defaults->Channel.List[1].Name, "RCA-1");
    EXPECT_EQ(defaults->Channel.Current, 0);
    datakeeper::CArchiveManager archive;
    ASSERT_EQ(defaults->Save(archive.GetRoot()), 1);
    CAcqPropertyBase loaded;
    ASSERT_EQ(loaded.Load(archive.GetRoot()), 1);
    EXPECT_TRUE(loaded.SameValues(*defaults));
    EXPECT_EQ(Log(), "");
}

TEST_F(U2Driver, OpensTheBoardOrSaysWhatFailed)
{
    struct Case { const char* label; int version, failBuffer, failDigitizer, result; std::string log;
                  const char* message; };
    const Case cases[] = {
        {"no board driver", 0, 0, 0, 0, "sysGetDrvVer()\n", nullptr},
        {"no buffer", 1, 1, 0, 0, "sysGetDrvVer()\nbufAlloc(640,480,4355)\n", "Can't Alloc Buffer"},
        {"no digitizer", 1, 0, 1, 0, "sysGetDrvVer()\nbufAlloc(640,480,4355)\ndigAlloc(dev0)\nbufFree()\n",
         "Can't Alloc Digitizer"},
        {"opens", 1, 0, 0, 1,
         "sysGetDrvVer()\nbufAlloc(640,480,4355)\ndigAlloc(dev0)\n" + kProgramDefaults + "digGrabContinuous()\n",
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        exports.ACQ_Release();
        Sim<MVUSIM_ResetFunction>("MVUSIM_Reset")();
        testing_support::MessageBoxes().Reset();
        Sim<MVUSIM_SetDriverVersionFunction>("MVUSIM_SetDriverVersion")(c.version);
        Sim<MVUSIM_FailAllocFunction>("MVUSIM_FailAlloc")(c.failBuffer, c.failDigitizer);
        EXPECT_EQ(Open(), c.result);
        EXPECT_EQ(Log(), c.log);
        EXPECT_EQ(Get(exports.ACQ_GetCurrentMode), c.result ? 2 : 0);
        const auto& boxes = testing_support::MessageBoxes().Boxes();
        ASSERT_EQ(boxes.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(boxes[0].text, c.message);
            EXPECT_EQ(boxes[0].caption, "Capture Desk Error");
        }
        if (!c.result) {
            EXPECT_EQ(Sim<MVUSIM_LiveHandlesFunction>("MVUSIM_LiveHandles")(), 0);
        }
    }
    EXPECT_EQ(Get(exports.ACQ_GetWidth), 640);
    EXPECT_EQ(Get(exports.ACQ_GetHeight), 480);
    EXPECT_EQ(Get(exports.ACQ_GetDepth), 24);
}

TEST_F(U2Driver, HandsEachFrameOverOnceWithItsRowsInOrder)
{
    ASSERT_EQ(Open(), 1);
    datakeeper::CQvImage image;
    ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
    EXPECT_EQ(exports.ACQ_Acquire(&image), 0);  // nothing grabbed yet
    for (const int frame : {0, 1}) {
        SCOPED_TRACE(frame);
        Deliver(1);
        ASSERT_TRUE(AcquireWithin(image));
        EXPECT_EQ(FrameOf(image), frame);
        EXPECT_EQ(exports.ACQ_Acquire(&image), 0);  // the same frame is not handed out twice
    }
    Deliver(1);
    ASSERT_EQ(exports.ACQ_Acquire4StillImage(&image), 1);
    EXPECT_EQ(FrameOf(image), 2);
    // An image of another size is refused, never overrun.
    datakeeper::CQvImage small;
    ASSERT_TRUE(small.Create(datakeeper::CM_BGR, 8, 320, 240));
    Deliver(1);
    const auto start = std::chrono::steady_clock::now();
    while (Sim<MVUSIM_FramesFunction>("MVUSIM_Frames")() < 4 && std::chrono::steady_clock::now() - start < std::chrono::seconds(20))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(exports.ACQ_Acquire(&small), 0);
}

TEST_F(U2Driver, FramesHandedOutWhileTheBoardRunsFreelyAreWhole)
{
    ASSERT_EQ(Open(), 1);
    FreeRun(true);
    datakeeper::CQvImage image;
    ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
    int last = -1;
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(AcquireWithin(image));
        const int frame = FrameOf(image);
        ASSERT_NE(frame, -1) << "a frame mixed from two grabs at hand-out " << i;
        last = frame;
    }
    EXPECT_NE(last, -1);
}

TEST_F(U2Driver, ProgramsReferencesAndInputsAndRefusesAChannelOutsideTheList)
{
    ASSERT_EQ(OpenWithDefaults(), 1);
    struct Step { const char* label; int hue, saturation, brightness, contrast, channel; const char* log; };
    const Step steps[] = {
        // Brightness and contrast at 0 are sent every time.
        {"defaults", 0, 0, 0, 0, 0, "digReference(1,10)\ndigReference(2,-15)\n"},
        {"hue and saturation", 4, -3, 5, 6, 0,
         "digReference(3,4)\ndigReference(4,-3)\ndigReference(1,15)\ndigReference(2,-9)\n"},
        {"brightness back to 0", 4, -3, 0, 6, 0, "digReference(1,10)\n"},
        {"brightness 0 again", 4, -3, 0, 6, 0, "digReference(1,10)\n"},
        {"RCA-1", 4, -3, 1, 6, 1, "digReference(1,11)\ndigChannel(0)\n"},
        {"RCA-2", 4, -3, 1, 6, 2, "digChannel(1)\n"},
        {"S-Video", 4, -3, 1, 6, 0, "digChannel(3)\n"},
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
    // One past the list, with a new hue and signal besides: refused as an invalid argument, the grab chain and
    // the current property as they were.
    Property bad = NewProperty();
    bad->Hue.Value = 9;
    bad->Saturation.Value = -3;
    bad->Brightness.Value = 1;
    bad->Contrast.Value = 6;
    bad->Signal = 1;
    bad->Channel.Current = 3;
    ClearLog();
    EXPECT_EQ(exports.ACQ_SetProperty(bad.get()), 0);
    EXPECT_EQ(NewLog().find("bufAlloc"), std::string::npos);
    EXPECT_EQ(NewLog().find("digChannel"), std::string::npos);
    bad->Channel.Current = 0;
    bad->Signal = 0;
    ClearLog();
    EXPECT_EQ(exports.ACQ_SetProperty(bad.get()), 1);
    EXPECT_EQ(NewLog().rfind("digReference(3,9)\n", 0), 0u) << NewLog();  // hue 9 still differs from the current
}

TEST_F(U2Driver, ANewSignalRebuildsTheGrabUnderTheHostLockAndNotifiesBeforeItRestarts)
{
    ASSERT_EQ(OpenWithDefaults(), 1);
    exports.ACQ_SetNotityFunction(RecordNotify);
    std::string logAtNotify;
    g_logAtNotify = &logAtNotify;
    Property next = NewProperty();
    next->Signal = 1;
    const int locks = lock.locks;
    ASSERT_EQ(exports.ACQ_SetProperty(next.get()), 1);
    EXPECT_EQ(lock.locks, locks + 1);
    EXPECT_EQ(lock.unlocks, lock.locks);
    EXPECT_EQ(g_notifies, 1);
    EXPECT_EQ(logAtNotify.substr(log0), "digReference(1,10)\ndigReference(2,-15)\ndigHalt()\ndigHalt()\ndigFree()\n"
                                        "bufFree()\nbufAlloc(640,480,4355)\ndigAlloc(dev0)\n" + kProgramDefaults);
    EXPECT_EQ(NewLog().substr(logAtNotify.size() - log0), "digGrabContinuous()\n");
    EXPECT_EQ(Get(exports.ACQ_GetWidth), 640);  // whatever the signal
    datakeeper::CQvImage image;
    ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
    Deliver(1);
    ASSERT_TRUE(AcquireWithin(image));
    EXPECT_EQ(FrameOf(image), 0);
}

TEST_F(U2Driver, TheBoardFollowsTheCurrentPropertyAfterOpeningAndAfterARebuild)
{
    ASSERT_EQ(OpenWithDefaults(), 1);
    Property applied = NewProperty();
    applied->Channel.Current = 2;  // RCA-2: input 1
    applied->Hue.Value = 9;
    applied->Saturation.Value = -4;
    applied->Brightness.Value = 5;
    applied->Contrast.Value = 6;
    ASSERT_EQ(exports.ACQ_SetProperty(applied.get()), 1);
    const std::string programmed =
        "digChannel(1)\ndigReference(3,9)\ndigReference(4,-4)\ndigReference(1,15)\ndigReference(2,-9)\n";

    // Opened again, the board runs what the current property says, not its own first input.
    ASSERT_EQ(exports.ACQ_Release(), 1);
    ClearLog();
    ASSERT_EQ(Open(), 1);
    EXPECT_EQ(NewLog(), "sysGetDrvVer()\nbufAlloc(640,480,4355)\ndigAlloc(dev0)\n" + programmed
                            + "digGrabContinuous()\n");

    // A new signal rebuilds the board, which is told the applied property before it grabs.
    applied->Signal = 1;
    ClearLog();
    ASSERT_EQ(exports.ACQ_SetProperty(applied.get()), 1);
    const std::string log = NewLog();
    const size_t rebuilt = log.find("digAlloc(dev0)\n");
    ASSERT_NE(rebuilt, std::string::npos) << log;
    EXPECT_EQ(log.substr(rebuilt), "digAlloc(dev0)\n" + programmed + "digGrabContinuous()\n");
}

TEST_F(U2Driver, AFailedRebuildLeavesNoGrabUntilTheNextSignalChange)
{
    ASSERT_EQ(OpenWithDefaults(), 1);
    datakeeper::CQvImage image;
    ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
    Property next = NewProperty();
    next->Signal = 1;
    Sim<MVUSIM_FailAllocFunction>("MVUSIM_FailAlloc")(1, 0);
    EXPECT_EQ(exports.ACQ_SetProperty(next.get()), 0);
    const auto& boxes = testing_support::MessageBoxes().Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Can't Alloc Buffer");
    EXPECT_EQ(lock.unlocks, lock.locks);
    Deliver(1);
    EXPECT_EQ(exports.ACQ_Acquire(&image), 0);
    // The current property kept Signal 0, so the same object is a change again.
    Sim<MVUSIM_FailAllocFunction>("MVUSIM_FailAlloc")(0, 0);
    ASSERT_EQ(exports.ACQ_SetProperty(next.get()), 1);
    Deliver(1);
    EXPECT_TRUE(AcquireWithin(image));
}

TEST_F(U2Driver, ReleaseHaltsTheBoardBeforeItWaitsForTheGrabThread)
{
    ASSERT_EQ(OpenWithDefaults(), 1);
    // No frame is pending: the grab thread sits in the board's wait, which only the halt ends.
    ASSERT_TRUE(GrabThreadWaits());
    ClearLog();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(exports.ACQ_Release(), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(NewLog(), "digHalt()\ndigHalt()\ndigFree()\nbufFree()\n");
    EXPECT_EQ(Get(exports.ACQ_GetCurrentMode), 0);
    EXPECT_EQ(Sim<MVUSIM_LiveHandlesFunction>("MVUSIM_LiveHandles")(), 0);
}

TEST_F(U2Driver, ManyOpeningsAndReleasesWhileFramesArriveLeaveNothingBehind)
{
    FreeRun(true);
    datakeeper::CQvImage image;
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(Open(), 1) << i;
        if (i % 10 == 0) {
            ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
            ASSERT_TRUE(AcquireWithin(image)) << i;
        }
        ASSERT_EQ(exports.ACQ_Release(), 1) << i;
        ASSERT_EQ(Sim<MVUSIM_LiveHandlesFunction>("MVUSIM_LiveHandles")(), 0) << i;
    }
}

TEST_F(U2Driver, AnUnpluggedBoardGivesNoFramesAndLiveViewRestartsAfterwards)
{
    ASSERT_EQ(Open(), 1);
    datakeeper::CQvImage image;
    ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
    Sim<MVUSIM_SetUnpluggedFunction>("MVUSIM_SetUnplugged")(1);
    Deliver(3);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
    while (std::chrono::steady_clock::now() < until)
        EXPECT_EQ(exports.ACQ_Acquire(&image), 0);
    EXPECT_EQ(exports.ACQ_Release(), 1);
    Sim<MVUSIM_SetUnpluggedFunction>("MVUSIM_SetUnplugged")(0);
    ASSERT_EQ(Open(), 1);
    EXPECT_TRUE(AcquireWithin(image));
}

TEST_F(U2Driver, AStuckBoardDoesNotHangReleaseAndKeepsTheBoardUntilItsThreadEnds)
{
    ASSERT_EQ(OpenWithDefaults(), 1);
    ASSERT_TRUE(GrabThreadWaits());
    Sim<MVUSIM_SetStalledFunction>("MVUSIM_SetStalled")(1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(exports.ACQ_Release(), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    // The thread still waits in the board: its buffer and digitizer are not freed under it, and no new grab starts.
    EXPECT_EQ(Sim<MVUSIM_LiveHandlesFunction>("MVUSIM_LiveHandles")(), 2);
    EXPECT_EQ(Open(), 0);
    const auto& boxes = testing_support::MessageBoxes().Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The capture board does not answer. Close the program and check the board.");
    Sim<MVUSIM_SetStalledFunction>("MVUSIM_SetStalled")(0);
    ASSERT_EQ(Open(), 1);
    EXPECT_EQ(Sim<MVUSIM_LiveHandlesFunction>("MVUSIM_LiveHandles")(), 2);
    datakeeper::CQvImage image;
    ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
    Deliver(1);
    EXPECT_TRUE(AcquireWithin(image));
}
