// The ARTRAY camera object, its library binding and its scan option dialog, linked in: the version groups, the one
// message window, the crop, and set-ups racing hand-outs.
#include "artray/ArtCamBinding.h"
#include "artray/ArtrayCamera.h"
#include "artray/ArtrayDialogs.h"
#include "artray/tests/ArtraySimSupport.h"
#include "common/testing/AcqContractHost.h"

#include "testing/MessageBoxRecorder.h"

#include <QDialog>
#include <QLabel>
#include <QRadioButton>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

namespace {

// A library that has every entry but `missing`, at `version`.
struct FakeLibrary
{
    int32_t version;
    std::set<std::string> missing;

    static int32_t Version() { return s_version; }
    ArtCamResolver Resolver()
    {
        s_version = version;
        return [this](const char* name) -> void* {
            if (missing.count(name))
                return nullptr;
            if (std::string(name) == "ArtCam_GetDllVersion")
                return reinterpret_cast<void*>(&FakeLibrary::Version);
            return reinterpret_cast<void*>(&FakeLibrary::Version);  // never called: only looked up
        };
    }
    static inline int32_t s_version = 0;
};

struct BindingCase
{
    ArtrayModelId model;
    int32_t version;
    std::set<std::string> missing;
    bool bound;
    int groups;
    bool camera;  // ArtCam_Initialize bound
};

}  // namespace

TEST(ArtCamBindingTest, BindsTheGroupsTheVersionAsksForAndRefusesALibraryMissingOne)
{
    using M = ArtrayModelId;
    const BindingCase cases[] = {
        {M::Artray300MI, 1276, {}, true, 6, true},
        {M::Artray200SH, 1276, {}, true, 7, true},
        {M::Artray, 1276, {}, true, 5, true},  // no video-format group in this build
        {M::Artray300MI, int32_t(0x7FFF0000 | 1235), {"ArtCam_SetMirrorV"}, true, 2, true},  // high bits ignored
        {M::Artray300MI, 1240, {"ArtCam_SetMirrorV"}, false, 0, false},
        {M::Artray300MI, 1276, {"ArtCam_GetImage"}, false, 0, false},
        {M::Artray300MI, 1276, {"ArtCam_GetDllVersion"}, false, 0, false},
        {M::Artray200SH, 999, {}, true, 0, false},  // group 1 only from 1000: no camera
        {M::Artray200SH, 1275, {"ArtCam_ReadSromID"}, true, 6, true},
        {M::Artray200SH, 1276, {"ArtCam_ReadSromID"}, false, 0, false},
        {M::Artray, 1276, {"ArtCam_GetVideoFormat"}, true, 5, true},
    };
    for (const BindingCase& c : cases) {
        SCOPED_TRACE(testing::Message() << GetArtrayModel(c.model).name << " v" << (c.version & 0xFFFF));
        FakeLibrary library{c.version, c.missing};
        ArtCamBinding binding;
        EXPECT_EQ(BindArtCam(GetArtrayModel(c.model), library.Resolver(), binding), c.bound);
        EXPECT_EQ(binding.groups, c.groups);
        EXPECT_EQ(binding.initialize != nullptr, c.camera);
    }
}

TEST(ArtrayModelTest, EveryNameFitsTheHostsBufferAndEachBuildLoadsItsOwnLibrary)
{
    const char* libraries[] = {"ArtCamSdk_300MI.so", "ArtCamSdk_500P2.so", "ArtCamSdk_150P3.so", "ArtCamSdk_130MI.so",
        "ArtCamSdk_200SH.so"};
    for (int id = 0; id < kArtrayModelCount; ++id) {
        const ArtrayModel& model = GetArtrayModel(ArtrayModelId(id));
        EXPECT_LE(std::strlen(model.name) + 1, size_t(kArtrayLongestName));
        EXPECT_EQ(ArtraySdkFileName(model, model.dllType), libraries[id]);
    }
    EXPECT_EQ(kArtrayLongestName, 14);
    EXPECT_EQ(ArtraySdkFileName(GetArtrayModel(ArtrayModelId::Artray300MI), 6), "ArtCamSdk_200MI.so");
    EXPECT_EQ(ArtraySdkFileName(GetArtrayModel(ArtrayModelId::Artray300MI), 12), "");
}

class ArtrayCameraTest : public ::testing::Test
{
protected:
    static constexpr ArtrayModelId kModel = ArtrayModelId::Artray300MI;
    void SetUp() override
    {
        ArtraySim(kModel);
        ArtraySimCall<ARTSIM_ResetFunction>(kModel, "ARTSIM_Reset")();
        setenv("VISTREL_DRIVER_SETTINGS", ::testing::TempDir().c_str(), 1);
        std::remove((::testing::TempDir() + "/Artray300MI.ini").c_str());
    }
    void TearDown() override { testing_support::MessageBoxes().Reset(); }
    bool Deliver(int seed) { return ArtraySimCall<ARTSIM_DeliverFunction>(kModel, "ARTSIM_Deliver")(seed, 1) == 1; }
    // Asks until a frame comes, for as long as a busy machine may take to deliver one: the answer is only ever
    // awaited, never timed.
    ArtrayCamera::HandOutResult HandOutWithin(ArtrayCamera& camera, AcqTestDib& dib)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        ArtrayCamera::HandOutResult result = ArtrayCamera::HandOutResult::NoNewFrame;
        while (std::chrono::steady_clock::now() < deadline) {
            result = camera.HandOut(dib.Header(), true);
            if (result != ArtrayCamera::HandOutResult::NoNewFrame)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return result;
    }
};

TEST_F(ArtrayCameraTest, TheScanDialogCropsTheCentreAndItsLabelsGiveSizeAndStart)
{
    ArtrayCamera camera(GetArtrayModel(kModel));
    ASSERT_TRUE(camera.Open());
    EXPECT_EQ(camera.Width(), 2048);
    EXPECT_EQ(camera.Height(), 1536);
    testing_support::MessageBoxes().QueueModal([](QDialog& scan) {
        EXPECT_EQ(scan.findChild<QRadioButton*>("row2001")->text(), "1280 x 1024");
        EXPECT_EQ(scan.findChild<QLabel*>("start2001")->text(), "[ 384 , 256 ]");
        EXPECT_TRUE(scan.findChild<QRadioButton*>("row2004")->isChecked()) << "the full frame runs";
        scan.findChild<QRadioButton*>("row2006")->click();
        scan.accept();
    });
    RunArtrayScanOptionDialog(camera);
    ASSERT_EQ(camera.Width(), 640);
    ASSERT_EQ(camera.Height(), 480);
    AcqTestDib dib(640, 480, 24);
    ASSERT_TRUE(Deliver(3));
    ASSERT_EQ(HandOutWithin(camera, dib), ArtrayCamera::HandOutResult::Copied);
    // The crop starts at pixel (704, 528) and steps one sensor row per DIB row.
    for (const int row : {0, 1, 479}) {
        uint8_t first[3], last[3];
        ArtSimPixel(int(kModel), 3, 704, 528 + row, first);
        ArtSimPixel(int(kModel), 3, 704 + 639, 528 + row, last);
        const std::vector<uint8_t> bytes = dib.Row(row, 640 * 3);
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 3), std::vector<uint8_t>(first, first + 3));
        EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 3, bytes.end()), std::vector<uint8_t>(last, last + 3));
    }
    // A DIB still of the full frame's size is not written into.
    AcqTestDib stale(2048, 1536, 24);
    ASSERT_TRUE(Deliver(4));
    EXPECT_EQ(HandOutWithin(camera, stale), ArtrayCamera::HandOutResult::Refused);
}

TEST_F(ArtrayCameraTest, ACropIsRefusedUnlessPixelsAreThreeBytes)
{
    ArtraySimCall<ARTSIM_SetColorBitsFunction>(kModel, "ARTSIM_SetColorBits")(32);
    ArtrayCamera camera(GetArtrayModel(kModel));
    ASSERT_TRUE(camera.Open());
    EXPECT_EQ(camera.Depth(), 32);
    AcqTestDib whole(2048, 1536, 32);
    ASSERT_TRUE(Deliver(1));
    EXPECT_EQ(HandOutWithin(camera, whole), ArtrayCamera::HandOutResult::Copied);
    ASSERT_TRUE(camera.SetUp(5));
    AcqTestDib crop(640, 480, 32);
    ASSERT_TRUE(Deliver(2));
    EXPECT_EQ(HandOutWithin(camera, crop), ArtrayCamera::HandOutResult::Refused);
}

TEST_F(ArtrayCameraTest, OneMessageWindowServesEveryOpening)
{
    const int before = ArtrayCamera::WindowsMade();
    ArtrayCamera camera(GetArtrayModel(kModel));
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(camera.Open());
        camera.Close();
    }
    EXPECT_EQ(ArtrayCamera::WindowsMade() - before, 1);
    EXPECT_EQ(ArtraySimCall<ARTSIM_OpenHandlesFunction>(kModel, "ARTSIM_OpenHandles")(), 0);
}

TEST_F(ArtrayCameraTest, AFrameAnnouncedBeforeAReopeningIsNotHandedOutAfterIt)
{
    ArtrayCamera camera(GetArtrayModel(kModel));
    ASSERT_TRUE(camera.Open());
    ASSERT_TRUE(Deliver(1));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (camera.FrameMessagesHandled() < 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(camera.FrameMessagesHandled(), 1);
    camera.Close();
    ASSERT_TRUE(camera.Open());
    // The old frame went with the old buffers: the hand-out waits for a new one rather than failing on none.
    AcqTestDib dib(camera.Width(), camera.Height(), camera.Depth());
    EXPECT_EQ(camera.HandOut(dib.Header(), true), ArtrayCamera::HandOutResult::NoNewFrame);
    ASSERT_TRUE(Deliver(2));
    EXPECT_EQ(HandOutWithin(camera, dib), ArtrayCamera::HandOutResult::Copied);
}

TEST_F(ArtrayCameraTest, AcquireDuringASetUpAnswersNine)
{
    static std::atomic<int> answer{-1};
    static ArtrayCamera* current = nullptr;
    ArtrayCamera camera(GetArtrayModel(kModel));
    current = &camera;
    // The notification comes at the end of the set-up, with the snapshot flag still raised.
    camera.SetNotify([] { answer = current->SnapshotRaised() ? ACQ_NO_NEW_FRAME : ACQ_OK; });
    ASSERT_TRUE(camera.Open());
    EXPECT_EQ(answer, ACQ_NO_NEW_FRAME);
    EXPECT_FALSE(camera.SnapshotRaised());
}

// Set-ups reallocate the buffers while frames stream in and hand-outs copy out: every copy holds the frame lock,
// so the sanitizers see no freed or short buffer.
// The camera library writes a frame into the driver's buffer and sends its message; it writes the next only once
// the driver has handled that message, so the driver's copy never meets the writing of the next frame.
TEST_F(ArtrayCameraTest, AFrameIsHandledBeforeTheCameraWritesTheNext)
{
    ArtrayCamera camera(GetArtrayModel(kModel));
    ASSERT_TRUE(camera.Open());
    for (int seed = 1; seed <= 3; ++seed) {
        ASSERT_TRUE(Deliver(seed));
        EXPECT_EQ(camera.FrameMessagesHandled(), seed) << "the sending returned before the message was handled";
    }
    camera.Close();
}

TEST_F(ArtrayCameraTest, SetUpsRacingFramesAndHandOutsTouchNoFreedBuffer)
{
    ArtraySimCall<ARTSIM_SetFreeRunFunction>(kModel, "ARTSIM_SetFreeRun")(1);
    ArtrayCamera camera(GetArtrayModel(kModel));
    ASSERT_TRUE(camera.Open());
    std::atomic<bool> stop{false};
    std::atomic<int> copied{0};
    std::thread host([&] {
        AcqTestDib dibs[2] = {AcqTestDib(2048, 1536, 24), AcqTestDib(640, 480, 24)};
        for (int i = 0; !stop; ++i)
            if (camera.HandOut(dibs[i % 2].Header(), i % 3 != 0) == ArtrayCamera::HandOutResult::Copied)
                ++copied;
    });
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(camera.SetUp(i % 2 ? 5 : 0));
    stop = true;
    host.join();
    // And the capture runs on after them.
    AcqTestDib dib(640, 480, 24);
    EXPECT_EQ(HandOutWithin(camera, dib), ArtrayCamera::HandOutResult::Copied);
    camera.Close();
}
