// The exports of the MTPCI-TL frame grabber driver (17 of the first-generation set). Channel 1's frames reach the
// host; the driver has no dialog of its own beyond choosing a camera-set file, and never notifies.
#include "acqdriver/AcqDriver.h"
#include "mtpci/MtpciBoard.h"

#include <atomic>
#include <cstring>

namespace {

constexpr char kModelName[] = "MTPCI-TL";
static_assert(sizeof kModelName <= ACQ_NAME_BUFFER_SIZE);

struct DriverState
{
    MtpciBoard board;
    std::atomic<ACQ_NotifyFunction> notify{nullptr};
    // The host's values: kept, not interpreted.
    std::atomic<int> param{0};
    std::atomic<ACQ_HWND> owner{nullptr};
    std::atomic<int> extra{0};
};

DriverState& State()
{
    static DriverState state;
    return state;
}

int Report(int* out, int value)
{
    if (!out)
        return ACQ_FAIL;
    *out = value;
    return ACQ_OK;
}

int StartUp(int param, ACQ_HWND owner, int extra)
{
    DriverState& state = State();
    state.param = param;
    state.owner = owner;
    state.extra = extra;
    return state.board.StartUp();
}

}  // namespace

ACQ_EXPORT int ACQ_Initial(int param, ACQ_HWND owner, int extra)
{
    return StartUp(param, owner, extra);
}

ACQ_EXPORT int ACQ_AutoLoad(int, int param, ACQ_HWND owner, int extra)
{
    return StartUp(param, owner, extra);
}

ACQ_EXPORT int ACQ_Release()
{
    State().board.Release();
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_Setup()
{
    State().board.ChooseAndSetUp();
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_Setting()
{
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_TranslateMessage()
{
    return 0;
}

ACQ_EXPORT int ACQ_IsOverlaySupport()
{
    return 1;
}

ACQ_EXPORT int ACQ_GetCurrentMode(int* mode)
{
    return Report(mode, State().board.Mode());
}

ACQ_EXPORT int ACQ_Acquire(BITMAPINFOHEADER* dib)
{
    return State().board.Acquire(dib);
}

ACQ_EXPORT int ACQ_AcquireSnapshot(BITMAPINFOHEADER* dib)
{
    return State().board.Snapshot(dib);
}

ACQ_EXPORT int ACQ_GetWidth(int* width)
{
    return Report(width, State().board.Width());
}

ACQ_EXPORT int ACQ_GetHeight(int* height)
{
    return Report(height, State().board.Height());
}

ACQ_EXPORT int ACQ_GetDepth(int* bitsPerPixel)
{
    return Report(bitsPerPixel, State().board.Depth());
}

ACQ_EXPORT int ACQ_GetName(char* name)
{
    if (!name)
        return ACQ_FAIL;
    std::memcpy(name, kModelName, sizeof kModelName);
    return ACQ_OK;
}

ACQ_EXPORT int ACQ_GetHWType(int* type)
{
    return Report(type, ACQ_HW_CAMERA);
}

ACQ_EXPORT int ACQ_IsOwnerWindow()
{
    return 0;
}

// Stored, never called: the board's format changes only through a set-up the host itself asked for.
ACQ_EXPORT intptr_t ACQ_SetNotityFunction(ACQ_NotifyFunction callback)
{
    State().notify = callback;
    return reinterpret_cast<intptr_t>(callback);
}

// A test-only view of a channel's grab thread (MtpciBoard::RunState), exported under a name no host looks up.
extern "C" __attribute__((visibility("default"))) int MTPCI_TestRunState(int channel)
{
    return State().board.RunStateOf(channel);
}
