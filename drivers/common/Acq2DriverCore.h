// What every second-generation driver shares: the module-wide state, the common frame of ACQ_SetProperty (validate,
// program what differs, change the format under the host lock, keep a copy) and the still-image wait. The device
// behind it is an Acq2Device; Acq2Exports.cpp turns one core into the module's exports.
//
// Threads: the host serialises the exports except ACQ_Acquire, which it may poll on another thread; it holds the
// host lock around Acquire and the size reads, and the core holds it while the frame format changes.
#pragma once

#include "capturehost/AcqDriver2.h"
#include "capturehost/AcqProperty.h"

#include <atomic>
#include <functional>

namespace datakeeper {
class CQvImage;
}

class Acq2Device
{
public:
    virtual ~Acq2Device() = default;
    // Opens and starts the device; sets the frame size it runs in. 1 or 0 (after telling the user, where the device
    // says so). May seed `current` from what the device runs in.
    virtual int Open(int& width, int& height, CAcqPropertyBase& current) = 0;
    virtual void Close() = 0;
    // One frame into the image; 1, or 0 when none is ready or the image is not the frame's size.
    virtual int Acquire(datakeeper::CQvImage& image, int width, int height) = 0;
    // Programs the picture values of `next` that differ from `current`.
    virtual void ApplyAdjustments(const CAcqPropertyBase& current, const CAcqPropertyBase& next) = 0;
    // Selects the input of that channel number (one the device does not know selects nothing).
    virtual void SelectInput(int channelNumber) = 0;
    // Switches to `next`'s signal format; runs inside the host lock, sets the new size and calls `notify` once the
    // new size holds and before the grab restarts. A device rebuilt anew is programmed from `next` (the property
    // being applied). False when the device could not be rebuilt.
    virtual bool ChangeSignal(const CAcqPropertyBase& next, int& width, int& height,
                              const std::function<void()>& notify) = 0;
};

class Acq2DriverCore
{
public:
    Acq2DriverCore(Acq2Device& device, CAcqDeviceProperty::Defaults defaults);
    ~Acq2DriverCore();

    int Initial(int param, ACQ2_HWND owner, CCriticalSection* hostLock);
    int Release();
    CAcqPropertyBase* NewDeviceProperty() const;
    // Refuses (0, nothing programmed) a channel index outside the new object's list when it differs from the
    // current one.
    int SetProperty(const CAcqPropertyBase* property);
    int AllocImage(datakeeper::CQvImage* image) const;
    int Acquire(datakeeper::CQvImage* image);
    int AcquireStill(datakeeper::CQvImage* image, int timeoutMs = kAcq2StillTimeoutMs);

    void SetNotify(ACQ2_NotifyFunction notify) { m_notify = notify; }
    void SetUpdatePropertyNotify(ACQ2_UpdatePropertyFunction callback) { m_updateProperty = callback; }
    int Mode() const { return m_mode.load(); }
    int Width() const { return m_width.load(); }
    int Height() const { return m_height.load(); }
    int Depth() const { return m_depth.load(); }
    const CAcqPropertyBase& Current() const { return m_current; }
    CCriticalSection* HostLock() const { return m_hostLock; }

private:
    Acq2Device& m_device;
    CAcqDeviceProperty::Defaults m_defaults;
    int m_param = 0;
    ACQ2_HWND m_owner = nullptr;
    CCriticalSection* m_hostLock = nullptr;
    std::atomic<int> m_mode{ACQ2_MODE_IDLE};
    int m_opened = 0;
    std::atomic<int> m_width{0}, m_height{0}, m_depth{0};
    CAcqDeviceProperty m_current;
    ACQ2_NotifyFunction m_notify = nullptr;
    ACQ2_UpdatePropertyFunction m_updateProperty = nullptr;
};

// The core of this module; each driver defines it.
Acq2DriverCore& Acq2Core();
