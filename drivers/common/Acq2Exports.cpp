// The exports of a second-generation driver over its core (Acq2Core). Compiled into each driver module; a driver
// without a notification setter defines ACQ2_WITHOUT_NOTIFY_EXPORT. No exception leaves an export.
#include "capturehost/AcqDriver2.h"
#include "common/Acq2DriverCore.h"

namespace {

template <typename Call>
int Guarded(Call call)
{
    try {
        return call();
    } catch (...) {
        return 0;
    }
}

}  // namespace

ACQ2_EXPORT int ACQ_Initial(int param, ACQ2_HWND owner, CCriticalSection* hostLock)
{
    return Guarded([&] { return Acq2Core().Initial(param, owner, hostLock); });
}

ACQ2_EXPORT int ACQ_Release()
{
    return Guarded([] { return Acq2Core().Release(); });
}

ACQ2_EXPORT int ACQ_GetDeviceCount(int* count)
{
    if (count)
        *count = 1;
    return 1;
}

ACQ2_EXPORT CAcqPropertyBase* ACQ_GetNewDeviceProperty()
{
    try {
        return Acq2Core().NewDeviceProperty();
    } catch (...) {
        return nullptr;
    }
}

ACQ2_EXPORT int ACQ_DeletePropertyBaseObject(CAcqPropertyBase* property)
{
    delete property;
    return 1;
}

ACQ2_EXPORT int ACQ_SetProperty(CAcqPropertyBase* property)
{
    return Guarded([&] { return Acq2Core().SetProperty(property); });
}

ACQ2_EXPORT int ACQ_SetUpdatePropertyNotify(ACQ2_UpdatePropertyFunction callback)
{
    Acq2Core().SetUpdatePropertyNotify(callback);
    return 1;
}

#if !defined(ACQ2_WITHOUT_NOTIFY_EXPORT)
ACQ2_EXPORT int ACQ_SetNotityFunction(ACQ2_NotifyFunction callback)
{
    Acq2Core().SetNotify(callback);
    return 1;
}
#endif

ACQ2_EXPORT int ACQ_GetCurrentMode(int* mode)
{
    if (mode)
        *mode = Acq2Core().Mode();
    return 1;
}

ACQ2_EXPORT int ACQ_TranslateMessage()
{
    return 1;
}

ACQ2_EXPORT int ACQ_GetWidth(int* width)
{
    if (width)
        *width = Acq2Core().Width();
    return 1;
}

ACQ2_EXPORT int ACQ_GetHeight(int* height)
{
    if (height)
        *height = Acq2Core().Height();
    return 1;
}

ACQ2_EXPORT int ACQ_GetDepth(int* bitsPerPixel)
{
    if (bitsPerPixel)
        *bitsPerPixel = Acq2Core().Depth();
    return 1;
}

ACQ2_EXPORT int ACQ_AllocImage(datakeeper::CQvImage* image)
{
    return Guarded([&] { return Acq2Core().AllocImage(image); });
}

ACQ2_EXPORT int ACQ_Acquire(datakeeper::CQvImage* image)
{
    return Guarded([&] { return Acq2Core().Acquire(image); });
}

ACQ2_EXPORT int ACQ_Acquire4StillImage(datakeeper::CQvImage* image)
{
    return Guarded([&] { return Acq2Core().AcquireStill(image); });
}
