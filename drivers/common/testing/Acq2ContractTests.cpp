// The contract every second-generation driver keeps towards the acquisition host, run on each driver's cases.
#include "common/testing/Acq2ContractHost.h"

#include "datakeeper/CArchiveManager.h"
#include "datakeeper/DkImage.h"
#include "testing/MessageBoxRecorder.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include <unistd.h>

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Acq2ContractTest);

std::string Acq2ContractCaseName(const ::testing::TestParamInfo<Acq2ContractCase>& info)
{
    return info.param.label;
}

void Acq2ContractTest::SetUp()
{
    testing_support::MessageBoxes().Reset();
    ASSERT_TRUE(vendor.Load(GetParam().vendorPath)) << vendor.GetLastError();
    ASSERT_TRUE(driver.Load(GetParam().modulePath)) << driver.GetLastError();
    offered = exports.Resolve(driver);
    ASSERT_TRUE(exports.HasCore());
    GetParam().prepare(vendor);
}

void Acq2ContractTest::TearDown()
{
    if (exports.ACQ_Release)
        exports.ACQ_Release();
    if (exports.ACQ_SetNotityFunction)
        exports.ACQ_SetNotityFunction(nullptr);
    if (GetParam().freeRun)
        GetParam().freeRun(vendor, false);
}

void Acq2ContractTest::OpenWithDefaults()
{
    ASSERT_EQ(exports.ACQ_Initial(3, nullptr, &hostLock), 1);
    Property defaults = NewProperty();
    ASSERT_NE(defaults, nullptr);
    ASSERT_EQ(exports.ACQ_SetProperty(defaults.get()), 1);
}

int Acq2ContractTest::Read(int (*call)(int*)) const
{
    int value = -1;
    EXPECT_EQ(call(&value), 1);
    return value;
}

bool Acq2ContractTest::AcquireWithin(datakeeper::CQvImage& image)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        AcqHostLockGuard lock(&hostLock);
        if (exports.ACQ_Acquire(&image) == 1)
            return true;
    }
    return false;
}

TEST_P(Acq2ContractTest, OffersItsExportsAndIsIdleBeforeItOpens)
{
    EXPECT_EQ(offered, GetParam().expectedExports);
    EXPECT_EQ(exports.ACQ_SetNotityFunction != nullptr, GetParam().expectedExports == 16);
    int count = 0;
    EXPECT_EQ(exports.ACQ_GetDeviceCount(&count), 1);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(Read(exports.ACQ_GetCurrentMode), 0);
    datakeeper::CQvImage image;
    ASSERT_TRUE(image.Create(datakeeper::CM_BGR, 8, GetParam().width, GetParam().height));
    EXPECT_EQ(exports.ACQ_Acquire(&image), 0);
    EXPECT_EQ(exports.ACQ_Acquire4StillImage(&image), 0);  // gives up rather than wait for ever
    EXPECT_EQ(exports.ACQ_SetProperty(nullptr), 0);
}

TEST_P(Acq2ContractTest, FollowsTheCallingOrderAndOpensAgainAfterARelease)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        OpenWithDefaults();
        EXPECT_EQ(Read(exports.ACQ_GetCurrentMode), 2);
        EXPECT_EQ(Read(exports.ACQ_GetWidth), GetParam().width);
        EXPECT_EQ(Read(exports.ACQ_GetHeight), GetParam().height);
        EXPECT_EQ(Read(exports.ACQ_GetDepth), 24);
        datakeeper::CQvImage image;
        ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
        ASSERT_EQ(image.GetWidth(), GetParam().width);
        ASSERT_EQ(image.GetHeight(), GetParam().height);
        GetParam().deliver(vendor);
        ASSERT_TRUE(AcquireWithin(image));
        EXPECT_NE(GetParam().frameOf(image), -1) << "rows not the device's, top-down";
        GetParam().deliver(vendor);
        ASSERT_EQ(exports.ACQ_Acquire4StillImage(&image), 1);
        EXPECT_NE(GetParam().frameOf(image), -1);
        EXPECT_EQ(exports.ACQ_Release(), 1);
        EXPECT_EQ(Read(exports.ACQ_GetCurrentMode), 0);
        EXPECT_EQ(exports.ACQ_Acquire(&image), 0);
    }
}

TEST_P(Acq2ContractTest, PropertiesRoundTripThroughAnArchiveFileAndApply)
{
    Property edited = NewProperty();
    edited->Hue.Value = edited->Hue.Min;
    edited->Contrast.Value = edited->Contrast.Max;
    edited->Channel.Current = 1;
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("acq2-contract-" + GetParam().label + "-" + std::to_string(getpid()));
    {
        datakeeper::CArchiveManager archive;
        ASSERT_EQ(edited->Save(archive.GetRoot()), 1);
        ASSERT_TRUE(archive.Save(file.string()));
    }
    datakeeper::CArchiveManager archive;
    ASSERT_TRUE(archive.Load(file.string()));
    std::filesystem::remove(file);
    Property loaded = NewProperty();
    ASSERT_EQ(loaded->Load(archive.GetRoot()), 1);
    EXPECT_TRUE(loaded->SameValues(*edited));
    OpenWithDefaults();
    EXPECT_EQ(exports.ACQ_SetProperty(loaded.get()), 1);
    datakeeper::CQvImage image;
    ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
    GetParam().deliver(vendor);
    EXPECT_TRUE(AcquireWithin(image));
}

// The host polls frames on its own thread under the host lock while the user changes the signal; after the change
// it reads the size again and reshapes its image.
TEST_P(Acq2ContractTest, ASignalChangeWhileFramesAreTakenReallocatesSafely)
{
    OpenWithDefaults();
    GetParam().freeRun(vendor, true);
    std::atomic<bool> stop{false};
    std::atomic<int> taken{0};
    std::thread poller([&] {
        datakeeper::CQvImage image;
        while (!stop) {
            AcqHostLockGuard lock(&hostLock);
            int width = 0, height = 0;
            exports.ACQ_GetWidth(&width);
            exports.ACQ_GetHeight(&height);
            if (image.GetWidth() != width || image.GetHeight() != height)
                exports.ACQ_AllocImage(&image);
            if (exports.ACQ_Acquire(&image) == 1) {
                EXPECT_NE(GetParam().frameOf(image), -1);
                ++taken;
            }
        }
    });
    for (int i = 0; i < 6; ++i) {
        Property next = NewProperty();
        next->Signal = (i % 2 == 0) ? 1 : 0;
        EXPECT_EQ(exports.ACQ_SetProperty(next.get()), 1) << i;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    stop = true;
    poller.join();
    EXPECT_GT(taken.load(), 0);
    Property changed = NewProperty();
    changed->Signal = 1;
    ASSERT_EQ(exports.ACQ_SetProperty(changed.get()), 1);
    EXPECT_EQ(Read(exports.ACQ_GetWidth), GetParam().changedWidth);
    EXPECT_EQ(Read(exports.ACQ_GetHeight), GetParam().changedHeight);
    datakeeper::CQvImage image;
    ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
    EXPECT_TRUE(AcquireWithin(image));
}

TEST_P(Acq2ContractTest, ManyOpeningsAndReleasesWhileFramesArrive)
{
    GetParam().freeRun(vendor, true);
    datakeeper::CQvImage image;
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(exports.ACQ_Initial(3, nullptr, &hostLock), 1) << i;
        if (i % 8 == 0) {
            ASSERT_EQ(exports.ACQ_AllocImage(&image), 1);
            ASSERT_TRUE(AcquireWithin(image)) << i;
        }
        ASSERT_EQ(exports.ACQ_Release(), 1) << i;
    }
    EXPECT_EQ(Read(exports.ACQ_GetCurrentMode), 0);
}
