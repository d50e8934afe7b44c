// The host side of the first-generation driver interface: every export looked up by name in a loaded module. A
// missing export is an operation the device does not offer (its pointer stays null). Used by the acquisition host
// and by the contract test host.
#pragma once

#include "acqdriver/AcqDriver.h"
#include "module/CModule.h"

#include <cstddef>

struct AcqDriverExports
{
#define ACQ_EXPORT_LIST(X)                                                                                            \
    X(ACQ_Initial) X(ACQ_AutoLoad) X(ACQ_Release) X(ACQ_Setup) X(ACQ_Setting) X(ACQ_TranslateMessage)               \
    X(ACQ_IsOverlaySupport) X(ACQ_Overlay) X(ACQ_StopOverlay) X(ACQ_GetCurrentMode) X(ACQ_Acquire)                    \
    X(ACQ_AcquireSnapshot) X(ACQ_GetWidth) X(ACQ_GetHeight) X(ACQ_GetDepth) X(ACQ_GetName) X(ACQ_GetHWType)           \
    X(ACQ_IsOwnerWindow) X(ACQ_GetOwnerWindow) X(ACQ_SetDisplayWindow) X(ACQ_SetDisplayWindowPos)                   \
    X(ACQ_GetDisplayWindowPos) X(ACQ_PutBitmap) X(ACQ_SetNotityFunction) X(ACQ_SetExtTriggerGrab)                   \
    X(ACQ_GetServerAutoParam)
#define ACQ_DECLARE_POINTER(name) decltype(&::name) name = nullptr;
    ACQ_EXPORT_LIST(ACQ_DECLARE_POINTER)
#undef ACQ_DECLARE_POINTER

    static constexpr int kExportCount = 26;

    // Looks every export up in `module`; returns how many it offers.
    int Resolve(const CModule& module)
    {
        int offered = 0;
#define ACQ_RESOLVE_POINTER(name)                                                                                     \
    name = module.GetProc<decltype(&::name)>(#name);                                                                  \
    offered += name != nullptr;
        ACQ_EXPORT_LIST(ACQ_RESOLVE_POINTER)
#undef ACQ_RESOLVE_POINTER
        return offered;
    }

    // A driver is usable only with the calls every host run needs.
    bool HasCore() const
    {
        return ACQ_Initial && ACQ_Release && ACQ_Acquire && ACQ_GetWidth && ACQ_GetHeight && ACQ_GetDepth
            && ACQ_GetName;
    }
};
