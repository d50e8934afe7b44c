#include "u2/U2Device.h"

#include "common/Acq2FrameCopy.h"
#include "common/AcqDriverFiles.h"
#include "datakeeper/DkImage.h"
#include "u2/U2Strings.h"
#include "ui/MessageBox.h"

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

struct U2Device::Library
{
    void* handle = nullptr;
    sysGetDrvVerFunction sysGetDrvVer = nullptr;
    bufAllocFunction bufAlloc = nullptr;
    bufFreeFunction bufFree = nullptr;
    bufGetPtr2DFunction bufGetPtr2D = nullptr;
    digAllocFunction digAlloc = nullptr;
    digFreeFunction digFree = nullptr;
    digHaltFunction digHalt = nullptr;
    digChannelFunction digChannel = nullptr;
    digGrabContinuousFunction digGrabContinuous = nullptr;
    digGrabWaitFunction digGrabWait = nullptr;
    digReferenceFunction digReference = nullptr;
};

namespace {

void ModuleAnchor() {}

}  // namespace

void U2Defaults(CAcqPropertyBase& p)
{
    p.Device = "Visix U2";
    p.HWType = 1;
    p.MaxFPS = 30;
    p.Signal = 0;
    for (tagACQ_RANGE* range : {&p.Hue, &p.Saturation, &p.Brightness, &p.Contrast})
        *range = {127, -127, 0, 1};
    p.Gamma.HWSupport = 0;
    p.SignalOffsetH = {16, -16, 0, 1};
    p.SignalSizeH = {16, -16, 0, 1};
    p.Channel.List = {{2, "S-Video"}, {3, "RCA-1"}, {4, "RCA-2"}};
    p.Channel.Current = 0;
}

U2Device::~U2Device()
{
    // The module is not unloaded under a running grab thread: wait for it however long the board takes.
    if (m_running)
        StopGrab();
    if (m_stranded.thread.joinable())
        ReapStranded(-1);
    FreeBoard(m_digitizer, m_buffer);
    if (m_library) {
        dlclose(m_library->handle);
        delete m_library;
    }
}

bool U2Device::Bind()
{
    if (m_library)
        return true;
    std::string error;
    void* handle = AcqLoadVendorLibrary(reinterpret_cast<const void*>(&ModuleAnchor), kLibraryName, error);
    if (!handle) {
        const std::string text = AcqVendorLibraryMissingOnce(m_libraryMissingTold,
            U2String(kTextLibraryMissing), kLibraryName);
        if (!text.empty())
            AfxMessageBox(text.c_str(), MB_OK);
        return false;
    }
    auto* library = new Library;
    library->handle = handle;
    bool all = true;
    auto bind = [&](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(handle, name));
        all = all && function;
    };
    bind(library->sysGetDrvVer, "sysGetDrvVer");
    bind(library->bufAlloc, "bufAlloc");
    bind(library->bufFree, "bufFree");
    bind(library->bufGetPtr2D, "bufGetPtr2D");
    bind(library->digAlloc, "digAlloc");
    bind(library->digFree, "digFree");
    bind(library->digHalt, "digHalt");
    bind(library->digChannel, "digChannel");
    bind(library->digGrabContinuous, "digGrabContinuous");
    bind(library->digGrabWait, "digGrabWait");
    bind(library->digReference, "digReference");
    if (!all) {
        dlclose(handle);
        delete library;
        return false;
    }
    m_library = library;
    return true;
}

bool U2Device::AllocateBoard(const std::string& caption)
{
    auto tell = [&](U2Text text) {
        if (caption.empty())
            AfxMessageBox(U2String(text), MB_OK);
        else
            MessageBox(U2String(text), caption, MB_OK);
    };
    m_buffer = m_library->bufAlloc(kWidth, kHeight, kMvuBufferType);
    if (!m_buffer) {
        tell(kTextNoBuffer);
        return false;
    }
    m_digitizer = m_library->digAlloc("dev0");
    if (!m_digitizer) {
        tell(kTextNoDigitizer);
        // Nothing runs on the buffer alone: give it back rather than keep half a board.
        m_library->bufFree(m_buffer);
        m_buffer = 0;
        return false;
    }
    return true;
}

void U2Device::AllocateFrameBuffer()
{
    std::lock_guard lock(m_frameLock);
    m_frame.assign(size_t(kWidth) * kHeight * 4, 0);
    m_frameReady = false;
}

int U2Device::Open(int& width, int& height, CAcqPropertyBase& current)
{
    if (!Bind())
        return 0;
    if (!ReapStranded(kStopBoundMs)) {
        MessageBox(U2String(kTextBoardStuck), U2String(kTextCaption), MB_OK);
        return 0;
    }
    if (m_library->sysGetDrvVer() == 0)
        return 0;
    width = kWidth;
    height = kHeight;
    if (!AllocateBoard(U2String(kTextCaption)))
        return 0;
    AllocateFrameBuffer();
    Program(current);
    m_library->digGrabContinuous(m_digitizer, m_buffer);
    StartGrab();
    return 1;
}

void U2Device::Close()
{
    if (!m_library)
        return;
    if (!StopGrab())
        return;  // the stranded thread keeps the board until it ends
    FreeBoard(m_digitizer, m_buffer);
    m_digitizer = m_buffer = 0;
}

void U2Device::FreeBoard(MvuHandle digitizer, MvuHandle buffer)
{
    if (!m_library)
        return;
    if (digitizer) {
        m_library->digHalt(digitizer);
        m_library->digFree(digitizer);
    }
    if (buffer)
        m_library->bufFree(buffer);
}

void U2Device::StartGrab()
{
    std::promise<void> ended;
    m_grab.ended = ended.get_future();
    m_grab.digitizer = m_digitizer;
    m_grab.buffer = m_buffer;
    // Set before the thread exists, so a stop that comes at once still finds a thread to end.
    m_running = 1;
    m_grab.thread = std::thread([this, digitizer = m_digitizer, buffer = m_buffer, ended = std::move(ended)]() mutable {
        GrabLoop(digitizer, buffer);
        ended.set_value();
    });
}

bool U2Device::StopGrab()
{
    if (!m_running.exchange(0) || !m_grab.thread.joinable())
        return true;
    // Halting ends the board's pending wait; only then can the thread see that it should stop.
    m_library->digHalt(m_grab.digitizer);
    if (m_grab.ended.wait_for(std::chrono::milliseconds(kStopBoundMs)) == std::future_status::ready) {
        m_grab.thread.join();
        m_grab = Grab{};
        return true;
    }
    m_stranded = std::move(m_grab);
    m_grab = Grab{};
    m_digitizer = m_buffer = 0;
    return false;
}

bool U2Device::ReapStranded(int boundMs)
{
    if (!m_stranded.thread.joinable())
        return true;
    if (boundMs >= 0
        && m_stranded.ended.wait_for(std::chrono::milliseconds(boundMs)) != std::future_status::ready)
        return false;
    m_stranded.thread.join();
    FreeBoard(m_stranded.digitizer, m_stranded.buffer);
    m_stranded = Grab{};
    return true;
}

void U2Device::GrabLoop(MvuHandle digitizer, MvuHandle buffer)
{
    const size_t rowBytes = size_t(RowBytes(kWidth, kDepth));
    const size_t copyBytes = std::min(rowBytes, size_t(kWidth) * 3);  // what one board row holds
    while (m_running) {
        const bool grabbed = m_library->digGrabWait(digitizer, 0) == 0;
        if (!m_running)
            break;
        uint8_t** rows = grabbed ? m_library->bufGetPtr2D(buffer) : nullptr;
        if (!rows) {
            // An unplugged board fails at once: wait a little rather than spin until the host stops the grab.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        {
            std::lock_guard lock(m_frameLock);
            if (m_frame.size() < rowBytes * kHeight)
                continue;
            for (int i = 0; i < kHeight; ++i)
                if (rows[i])
                    std::memcpy(m_frame.data() + size_t(i) * rowBytes, rows[i], copyBytes);
            m_frameReady = true;
        }
        m_frameEvent.notify_all();
    }
}

int U2Device::Acquire(datakeeper::CQvImage& image, int width, int height)
{
    if (image.GetWidth() != width || image.GetHeight() != height || image.GetBytesPerPixel() != 3)
        return 0;
    std::unique_lock lock(m_frameLock);
    if (m_frame.empty())
        return 0;
    if (!m_frameEvent.wait_for(lock, std::chrono::milliseconds(kFrameWaitMs), [&] { return m_frameReady; }))
        return 0;
    const size_t rowBytes = size_t(RowBytes(width, kDepth));
    if (m_frame.size() < rowBytes * size_t(height))
        return 0;
    // The image's rows may be padded; the frame buffer's are RowBytes apart.
    if (!Acq2CopyRows(m_frame.data(), int64_t(rowBytes), width, height, image))
        return 0;
    m_frameReady = false;
    return 1;
}

void U2Device::ApplyAdjustments(const CAcqPropertyBase& current, const CAcqPropertyBase& next)
{
    if (!m_library)
        return;
    if (next.Hue.Value != current.Hue.Value)
        m_library->digReference(m_digitizer, 3, next.Hue.Value);
    if (next.Saturation.Value != current.Saturation.Value)
        m_library->digReference(m_digitizer, 4, next.Saturation.Value);
    // A zero is sent every time: the board's neutral point is offset from the property's.
    if (next.Brightness.Value == 0 || next.Brightness.Value != current.Brightness.Value)
        m_library->digReference(m_digitizer, 1, next.Brightness.Value + 10);
    if (next.Contrast.Value == 0 || next.Contrast.Value != current.Contrast.Value)
        m_library->digReference(m_digitizer, 2, next.Contrast.Value - 15);
}

int U2Device::BoardInput(int channelNumber)
{
    switch (channelNumber) {
    case 2: return 3;
    case 3: return 0;
    case 4: return 1;
    default: return -1;
    }
}

void U2Device::SelectInput(int channelNumber)
{
    const int input = BoardInput(channelNumber);
    if (input >= 0 && m_library)
        m_library->digChannel(m_digitizer, input);
}

void U2Device::Program(const CAcqPropertyBase& property)
{
    const int input = property.Channel.HasCurrent()
        ? BoardInput(property.Channel.List[size_t(property.Channel.Current)].Channel) : -1;
    m_library->digChannel(m_digitizer, input >= 0 ? input : 0);
    m_library->digReference(m_digitizer, 3, property.Hue.Value);
    m_library->digReference(m_digitizer, 4, property.Saturation.Value);
    m_library->digReference(m_digitizer, 1, property.Brightness.Value + 10);
    m_library->digReference(m_digitizer, 2, property.Contrast.Value - 15);
}

bool U2Device::ChangeSignal(const CAcqPropertyBase& next, int& width, int& height,
                            const std::function<void()>& notify)
{
    if (!m_library)
        return false;
    if (!StopGrab() || !ReapStranded(0))
        return false;
    FreeBoard(m_digitizer, m_buffer);
    m_digitizer = m_buffer = 0;
    width = kWidth;
    height = kHeight;
    AllocateFrameBuffer();
    if (!AllocateBoard(std::string()))
        return false;
    Program(next);
    notify();
    m_library->digGrabContinuous(m_digitizer, m_buffer);
    StartGrab();
    return true;
}
