// The host side of the second-generation driver interface: every export looked up by name in a loaded module. A
// missing export is an operation the driver does not offer (its pointer stays null).
#pragma once

#include "capturehost/AcqDriver2.h"
#include "module/CModule.h"

struct AcqDriver2Exports
{
#define ACQ2_EXPORT_LIST(X)                                                                                           \
    X(ACQ_Initial) X(ACQ_Release) X(ACQ_GetDeviceCount) X(ACQ_GetNewDeviceProperty)                                  \
    X(ACQ_DeletePropertyBaseObject) X(ACQ_SetProperty) X(ACQ_SetUpdatePropertyNotify) X(ACQ_SetNotityFunction)       \
    X(ACQ_GetCurrentMode) X(ACQ_TranslateMessage) X(ACQ_GetWidth) X(ACQ_GetHeight) X(ACQ_GetDepth)                   \
    X(ACQ_AllocImage) X(ACQ_Acquire) X(ACQ_Acquire4StillImage)
#define ACQ2_DECLARE_POINTER(name) decltype(&acq2::name) name = nullptr;
    ACQ2_EXPORT_LIST(ACQ2_DECLARE_POINTER)
#undef ACQ2_DECLARE_POINTER

    static constexpr int kExportCount = 16;

    // Looks every export up in `module`; returns how many it offers.
    int Resolve(const CModule& module)
    {
        int offered = 0;
#define ACQ2_RESOLVE_POINTER(name)                                                                                    \
    name = module.GetProc<decltype(&acq2::name)>(#name);                                                              \
    offered += name != nullptr;
        ACQ2_EXPORT_LIST(ACQ2_RESOLVE_POINTER)
#undef ACQ2_RESOLVE_POINTER
        return offered;
    }

    // What makes a module a second-generation driver (a first-generation one has no property calls).
    bool HasCore() const
    {
        return ACQ_Initial && ACQ_Release && ACQ_GetNewDeviceProperty && ACQ_DeletePropertyBaseObject
            && ACQ_SetProperty && ACQ_GetWidth && ACQ_GetHeight && ACQ_GetDepth && ACQ_AllocImage && ACQ_Acquire;
    }
};
