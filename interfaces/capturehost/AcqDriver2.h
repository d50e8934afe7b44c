// The exports of a second-generation acquisition driver: frames go into DataKeeper's image object, settings travel
// as property objects (AcqProperty.h) that the driver creates, the host edits and archives, and the driver applies.
// Host and drivers both include this header, and the host takes its function-pointer types from it
// (AcqDriver2Exports.h), so the two cannot drift.
//
// Results are ints: 1 success, 0 failure or no frame. No exception leaves an export: a property the driver cannot
// apply (a channel index outside its list) is refused with 0 before anything is programmed.
//
// Host lock: the host hands ACQ_Initial a lock (CCriticalSection) it owns. The driver holds it from the moment the
// frame size changes until the device grabs in the new size, and calls the notification callback inside it, on the
// thread that runs ACQ_SetProperty. The host must take the same lock around reading the size, reallocating its
// image and calling ACQ_Acquire; since the callback runs with the lock held and the host takes it again there,
// the lock is recursive.
#pragma once

#include <cstdint>
#include <mutex>

class CAcqPropertyBase;
namespace datakeeper {
class CQvImage;
}

// The host's lock, recursive as the framework's critical section. Virtual so that a test host can record its use;
// each module that makes one owns it.
class CCriticalSection
{
public:
    virtual ~CCriticalSection() = default;
    virtual void Lock() { m_mutex.lock(); }
    virtual void Unlock() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

// Takes the host lock for a scope; a null lock is no lock.
class AcqHostLockGuard
{
public:
    explicit AcqHostLockGuard(CCriticalSection* lock) : m_lock(lock)
    {
        if (m_lock)
            m_lock->Lock();
    }
    ~AcqHostLockGuard()
    {
        if (m_lock)
            m_lock->Unlock();
    }
    AcqHostLockGuard(const AcqHostLockGuard&) = delete;
    AcqHostLockGuard& operator=(const AcqHostLockGuard&) = delete;

private:
    CCriticalSection* m_lock;
};

using ACQ2_HWND = void*;
// Called without arguments after the frame size changed, inside the host lock.
using ACQ2_NotifyFunction = void (*)();
// Stored, never called by any driver of this generation.
using ACQ2_UpdatePropertyFunction = void (*)();

// ACQ_GetCurrentMode values of this generation.
constexpr int ACQ2_MODE_IDLE = 0;
constexpr int ACQ2_MODE_LIVE = 2;
// The colour model and channel depth every driver shapes the host's image with (3 bytes B, G, R, rows top-down).
constexpr int ACQ2_IMAGE_MODEL = 10;
constexpr int ACQ2_IMAGE_BITS = 8;

#define ACQ2_EXPORT extern "C" __attribute__((visibility("default")))

namespace acq2 {
// The declarations. C names belong to no namespace: a driver's global extern "C" definitions are these functions,
// and a definition of another type does not compile. The first generation's header declares several of the same
// names with other types, so no source includes both.
extern "C" {
int ACQ_Initial(int param, ACQ2_HWND owner, CCriticalSection* hostLock);
int ACQ_Release();
int ACQ_GetDeviceCount(int* count);
// A new device property with the driver's defaults; the caller frees it with ACQ_DeletePropertyBaseObject.
CAcqPropertyBase* ACQ_GetNewDeviceProperty();
int ACQ_DeletePropertyBaseObject(CAcqPropertyBase* property);
// Applies what differs from the current property; 0 (nothing programmed, current property kept) when refused.
int ACQ_SetProperty(CAcqPropertyBase* property);
int ACQ_SetUpdatePropertyNotify(ACQ2_UpdatePropertyFunction callback);
int ACQ_SetNotityFunction(ACQ2_NotifyFunction callback);
int ACQ_GetCurrentMode(int* mode);
int ACQ_TranslateMessage();
int ACQ_GetWidth(int* width);
int ACQ_GetHeight(int* height);
int ACQ_GetDepth(int* bitsPerPixel);
int ACQ_AllocImage(datakeeper::CQvImage* image);
// 1 when a frame was written into the image (which must have the device's size); 0 otherwise.
int ACQ_Acquire(datakeeper::CQvImage* image);
// Shapes the image and waits for a frame, at most kAcq2StillTimeoutMs: 1 with a frame, 0 without one.
int ACQ_Acquire4StillImage(datakeeper::CQvImage* image);
}
}  // namespace acq2

// How long ACQ_Acquire4StillImage waits for a frame before it gives up.
constexpr int kAcq2StillTimeoutMs = 2000;
