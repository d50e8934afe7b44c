#include "common/Acq2DriverCore.h"

#include "datakeeper/DkImage.h"

#include <chrono>
#include <thread>

Acq2DriverCore::Acq2DriverCore(Acq2Device& device, CAcqDeviceProperty::Defaults defaults)
    : m_device(device), m_defaults(defaults), m_current(defaults)
{
}

Acq2DriverCore::~Acq2DriverCore() = default;

int Acq2DriverCore::Initial(int param, ACQ2_HWND owner, CCriticalSection* hostLock)
{
    if (m_opened)
        Release();
    m_param = param;
    m_owner = owner;
    m_hostLock = hostLock;
    int width = 0, height = 0;
    if (m_device.Open(width, height, m_current) != 1)
        return 0;
    {
        AcqHostLockGuard lock(m_hostLock);
        m_width = width;
        m_height = height;
        m_depth = 24;
    }
    m_opened = 1;
    m_mode = ACQ2_MODE_LIVE;
    return 1;
}

int Acq2DriverCore::Release()
{
    if (m_opened)
        m_device.Close();
    m_param = 0;
    m_owner = nullptr;
    m_hostLock = nullptr;
    m_opened = 0;
    m_mode = ACQ2_MODE_IDLE;
    return 1;
}

CAcqPropertyBase* Acq2DriverCore::NewDeviceProperty() const
{
    return new CAcqDeviceProperty(m_defaults);
}

int Acq2DriverCore::SetProperty(const CAcqPropertyBase* next)
{
    if (!next)
        return 0;
    // Validated before anything is programmed, so a refusal leaves device and current property as they agree.
    const bool channelChanged = next->Channel.Current != m_current.Channel.Current;
    if (channelChanged && !next->Channel.HasCurrent())
        return 0;
    m_device.ApplyAdjustments(m_current, *next);
    if (channelChanged)
        m_device.SelectInput(next->Channel.List[static_cast<size_t>(next->Channel.Current)].Channel);
    if (next->Signal != m_current.Signal) {
        AcqHostLockGuard lock(m_hostLock);
        int width = m_width, height = m_height;
        const bool changed = m_device.ChangeSignal(*next, width, height, [&] {
            m_width = width;
            m_height = height;
            if (m_notify)
                m_notify();
        });
        m_width = width;
        m_height = height;
        if (!changed)
            return 0;
    }
    m_current.CopyFrom(next);
    return 1;
}

int Acq2DriverCore::AllocImage(datakeeper::CQvImage* image) const
{
    if (!image)
        return 0;
    image->Remove();
    image->Create(datakeeper::COLOR_MODEL(ACQ2_IMAGE_MODEL), ACQ2_IMAGE_BITS, m_width, m_height, 0, nullptr, 255);
    return 1;
}

int Acq2DriverCore::Acquire(datakeeper::CQvImage* image)
{
    if (!image || image->IsEmpty() || m_mode != ACQ2_MODE_LIVE)
        return 0;
    return m_device.Acquire(*image, m_width, m_height) == 1 ? 1 : 0;
}

int Acq2DriverCore::AcquireStill(datakeeper::CQvImage* image, int timeoutMs)
{
    if (!image || m_mode != ACQ2_MODE_LIVE)
        return 0;
    AllocImage(image);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (Acquire(image) == 1)
            return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return 0;
}
