// The contract every first-generation driver keeps towards the acquisition host, run on each driver's cases.
#include "common/testing/AcqContractHost.h"

#include "testing/MessageBoxRecorder.h"

#include <cstring>

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(AcqContractTest);

namespace {

// The rows of `dib` equal `expected` (device order, the case's stride) on the overlap of both sizes.
void ExpectOverlap(AcqTestDib& dib, const std::vector<uint8_t>& expected, const AcqContractCase& c)
{
    const int64_t sourceStride = AcqDibStride(c.width, c.bitsPerPixel);
    const int32_t rows = std::min<int32_t>(std::abs(dib.Header()->biHeight), c.height);
    const int64_t bytes = std::min<int64_t>(dib.Header()->biWidth, c.width) * c.bitsPerPixel / 8;
    for (int32_t row = 0; row < rows; ++row) {
        const auto begin = expected.begin() + row * sourceStride;
        ASSERT_EQ(dib.Row(row, bytes), std::vector<uint8_t>(begin, begin + bytes)) << "row " << row;
    }
}

}  // namespace

TEST_P(AcqContractTest, OffersItsExportsAndWritesItsNameExactly)
{
    EXPECT_EQ(host.OfferedCount(), GetParam().expectedExports);
    char name[ACQ_NAME_BUFFER_SIZE];
    std::memset(name, 0xA5, sizeof name);
    ASSERT_EQ(host.Exports().ACQ_GetName(name), ACQ_OK);
    const size_t written = GetParam().expectedName.size() + 1;
    EXPECT_EQ(std::string(name), GetParam().expectedName);
    for (size_t i = written; i < sizeof name; ++i)
        ASSERT_EQ(static_cast<uint8_t>(name[i]), 0xA5) << "byte " << i << " written past the name";
}

TEST_P(AcqContractTest, HandsEachFrameOverOnceIntoTheHostsDib)
{
    OpenDevice();
    for (const int32_t height : {GetParam().height, -GetParam().height}) {
        SCOPED_TRACE(height);
        AcqTestDib dib(host.Width(), height, host.Depth());
        const int seed = height > 0 ? 1 : 2;
        ASSERT_TRUE(Deliver(seed));
        ASSERT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
        if (GetParam().expectedRows)
            ExpectOverlap(dib, GetParam().expectedRows(GetParam(), seed), GetParam());
        // The same frame is not handed over twice: until the device delivers again the answer is 9.
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(host.Exports().ACQ_Acquire(dib.Header()), ACQ_NO_NEW_FRAME) << "poll " << i;
    }
}

TEST_P(AcqContractTest, SnapshotCopiesTheNewestFrameAndLetsAcquireWaitForAFreshOne)
{
    OpenDevice();
    AcqTestDib dib(host.Width(), host.Height(), host.Depth());
    ASSERT_TRUE(Deliver(3));
    ASSERT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
    // The newest frame, though Acquire already took it.
    AcqTestDib still(host.Width(), host.Height(), host.Depth());
    ASSERT_EQ(host.Exports().ACQ_AcquireSnapshot(still.Header()), ACQ_OK);
    if (GetParam().expectedRows)
        ExpectOverlap(still, GetParam().expectedRows(GetParam(), 3), GetParam());
    // Acquire then waits for a frame the device has yet to deliver.
    EXPECT_EQ(host.Exports().ACQ_Acquire(dib.Header()), ACQ_NO_NEW_FRAME);
    ASSERT_TRUE(Deliver(7));
    ASSERT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
    if (GetParam().expectedRows)
        ExpectOverlap(dib, GetParam().expectedRows(GetParam(), 7), GetParam());
    EXPECT_EQ(host.Exports().ACQ_Acquire(dib.Header()), ACQ_NO_NEW_FRAME);
}

TEST_P(AcqContractTest, NotifiesOncePerOpenAndNeverThroughANullCallback)
{
    OpenDevice();
    EXPECT_EQ(AcqContractHost::Notifications(), GetParam().notificationsPerOpen);
    host.Exports().ACQ_Release();
    ASSERT_EQ(host.Open(/*withNotification=*/false), ACQ_OK);
    EXPECT_EQ(AcqContractHost::Notifications(), GetParam().notificationsPerOpen);
}

TEST_P(AcqContractTest, CopiesOnlyWhatBothTheFrameAndTheDibHold)
{
    OpenDevice();
    const AcqContractCase& c = GetParam();
    struct Size { int32_t width, height; };
    for (const Size size : {Size{c.width + 13, c.height + 7}, Size{c.width + 13, -(c.height + 7)},
                            Size{std::max(1, c.width - 3), std::max(1, c.height - 2)}}) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        AcqTestDib dib(size.width, size.height, c.bitsPerPixel);
        ASSERT_TRUE(Deliver(4));
        const int result = host.AcquireWithin(dib.Header());
        ASSERT_TRUE(result == ACQ_OK || result == ACQ_FAIL) << result;
        if (result == ACQ_OK && c.expectedRows)
            ExpectOverlap(dib, c.expectedRows(c, 4), c);
    }
}

TEST_P(AcqContractTest, AcquireAfterReleaseAnswersNothingAndASecondOpenWorks)
{
    OpenDevice();
    AcqTestDib dib(host.Width(), host.Height(), host.Depth());
    ASSERT_TRUE(Deliver(5));
    ASSERT_EQ(host.Exports().ACQ_Release(), ACQ_OK);
    EXPECT_NE(host.Exports().ACQ_Acquire(dib.Header()), ACQ_OK);
    EXPECT_NE(host.Exports().ACQ_AcquireSnapshot(dib.Header()), ACQ_OK);

    OpenDevice();
    ASSERT_TRUE(Deliver(6));
    EXPECT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
}

TEST_P(AcqContractTest, ModeFollowsOverlayAndSetupDoesNotWaitOnScreen)
{
    OpenDevice();
    if (host.Exports().ACQ_Overlay && host.Exports().ACQ_StopOverlay) {
        host.Exports().ACQ_Overlay();
        EXPECT_EQ(host.Mode(), ACQ_MODE_LIVE);
        host.Exports().ACQ_StopOverlay();
        EXPECT_EQ(host.Mode(), ACQ_MODE_IDLE);
    }
    // The set-up dialog is answered by the test main's hooks (cancelled); the driver keeps delivering.
    EXPECT_EQ(host.Exports().ACQ_Setup(), ACQ_OK);
    host.ReadSize();
    AcqTestDib dib(host.Width(), host.Height(), host.Depth());
    ASSERT_TRUE(Deliver(7));
    EXPECT_EQ(host.AcquireWithin(dib.Header()), ACQ_OK);
}
