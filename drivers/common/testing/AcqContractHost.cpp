#include "common/testing/AcqContractHost.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

std::atomic<int> g_notifications{0};

void CountNotification()
{
    ++g_notifications;
}

}  // namespace

AcqTestDib::AcqTestDib(int32_t width, int32_t height, int32_t bitsPerPixel)
{
    const int64_t size = AcqDibBufferSize(width, height, bitsPerPixel);
    m_bytes.assign(size > 0 ? size_t(size) : sizeof(BITMAPINFOHEADER), 0);
    AcqFillDibHeader(*Header(), width, height, bitsPerPixel);
    m_stride = AcqDibStride(width, bitsPerPixel);
    // Not-yet-written rows are recognisable.
    if (size > 0)
        std::memset(Rows(), 0xCD, m_bytes.size() - size_t(AcqDibPixelOffset(*Header())));
}

std::vector<uint8_t> AcqTestDib::Row(int32_t row, int64_t bytes)
{
    const uint8_t* begin = Rows() + row * m_stride;
    return std::vector<uint8_t>(begin, begin + bytes);
}

AcqContractHost::~AcqContractHost()
{
    Unload();
}

bool AcqContractHost::Load(const std::string& path)
{
    if (!m_module.Load(path))
        return false;
    m_offered = m_exports.Resolve(m_module);
    return true;
}

void AcqContractHost::Unload()
{
    m_exports = AcqDriverExports{};
    m_module.Free();
}

int AcqContractHost::Open(bool withNotification)
{
    if (m_exports.ACQ_SetNotityFunction)
        m_exports.ACQ_SetNotityFunction(withNotification ? &CountNotification : nullptr);
    const int result = m_exports.ACQ_Initial(1, this, 0);
    ReadSize();
    return result;
}

void AcqContractHost::ReadSize()
{
    m_width = m_height = m_depth = 0;
    m_exports.ACQ_GetWidth(&m_width);
    m_exports.ACQ_GetHeight(&m_height);
    m_exports.ACQ_GetDepth(&m_depth);
}

int AcqContractHost::Mode() const
{
    int mode = -1;
    if (m_exports.ACQ_GetCurrentMode)
        m_exports.ACQ_GetCurrentMode(&mode);
    return mode;
}

int AcqContractHost::AcquireWithin(BITMAPINFOHEADER* dib, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int result = ACQ_NO_NEW_FRAME;
    do {
        result = m_exports.ACQ_Acquire(dib);
        if (result != ACQ_NO_NEW_FRAME)
            return result;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (std::chrono::steady_clock::now() < end);
    return result;
}

int AcqContractHost::Notifications()
{
    return g_notifications;
}

void AcqContractHost::ResetNotifications()
{
    g_notifications = 0;
}

std::string AcqContractCaseName(const ::testing::TestParamInfo<AcqContractCase>& info)
{
    return info.param.label;
}

void AcqContractTest::SetUp()
{
    ASSERT_TRUE(host.Load(GetParam().modulePath)) << host.Error();
    ASSERT_TRUE(host.Exports().HasCore());
    AcqContractHost::ResetNotifications();
    if (GetParam().prepareDevice)
        GetParam().prepareDevice(host.Module(), GetParam());
}

void AcqContractTest::TearDown()
{
    if (host.Exports().ACQ_Release)
        host.Exports().ACQ_Release();
    host.Unload();
}

void AcqContractTest::OpenDevice()
{
    ASSERT_EQ(host.Open(), ACQ_OK);
    ASSERT_EQ(host.Width(), GetParam().width);
    ASSERT_EQ(host.Height(), GetParam().height);
    ASSERT_EQ(host.Depth(), GetParam().bitsPerPixel);
}
