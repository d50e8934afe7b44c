#include "flashbus/FlashBusDevice.h"

#include "common/Acq2FrameCopy.h"
#include "common/AcqDriverFiles.h"
#include "datakeeper/DkImage.h"
#include "flashbus/FlashBusStrings.h"
#include "ui/MessageBox.h"

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

struct FlashBusDevice::Library
{
    void* handle = nullptr;
    FBUS_OpenFunction open = nullptr;
    FBUS_CloseFunction close = nullptr;
    FBUS_ProbeFunction probe = nullptr;
    FBUS_SelectSourceFunction selectSource = nullptr;
    FBUS_GetParameterFunction getInput = nullptr;
    FBUS_GetParameterFunction getSignalFormat = nullptr;
    FBUS_GetParameterFunction getThird = nullptr;
    FBUS_SetCaptureFormatFunction setCaptureFormat = nullptr;
    FBUS_CaptureFunction capture = nullptr;
    FBUS_AdjustFunction adjust = nullptr;
    FBUS_GetCaptureAreaFunction getCaptureArea = nullptr;
    FBUS_ReadDibFunction readDib = nullptr;
};

namespace {

void ModuleAnchor() {}

void FrameSize(int signal, int& width, int& height)
{
    width = signal ? 760 : 640;
    height = signal ? 570 : 480;
}

}  // namespace

void FlashBusDefaults(CAcqPropertyBase& p)
{
    p.Device = "FlashBus MV";
    p.HWType = 1;
    p.MaxFPS = 30;
    p.Signal = 0;
    p.Hue = {63, 0, 0, 1};
    p.Saturation = {63, 0, 32, 1};
    p.Brightness = {63, 0, 34, 1};
    p.Contrast = {63, 0, 35, 1};
    p.Channel.List = {{1, "Composit"}, {0, "RGB"}, {2, "S-Video"}};
    // One past the list: no entry selected until the user picks one.
    p.Channel.Current = 3;
}

FlashBusDevice::~FlashBusDevice()
{
    if (m_library) {
        dlclose(m_library->handle);
        delete m_library;
    }
}

bool FlashBusDevice::Bind()
{
    if (m_library)
        return true;
    std::string error;
    void* handle = AcqLoadVendorLibrary(reinterpret_cast<const void*>(&ModuleAnchor), kLibraryName, error);
    if (!handle) {
        const std::string text = AcqVendorLibraryMissingOnce(m_libraryMissingTold,
            FlashBusString(kTextLibraryMissing), kLibraryName);
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
    bind(library->open, "FBUS_Open");
    bind(library->close, "FBUS_Close");
    bind(library->probe, "FBUS_Probe");
    bind(library->selectSource, "FBUS_SelectSource");
    bind(library->getInput, "FBUS_GetInput");
    bind(library->getSignalFormat, "FBUS_GetSignalFormat");
    bind(library->getThird, "FBUS_GetThirdParameter");
    bind(library->setCaptureFormat, "FBUS_SetCaptureFormat");
    bind(library->capture, "FBUS_Capture");
    bind(library->adjust, "FBUS_Adjust");
    bind(library->getCaptureArea, "FBUS_GetCaptureArea");
    bind(library->readDib, "FBUS_ReadDib");
    if (!all) {
        dlclose(handle);
        delete library;
        return false;
    }
    m_library = library;
    return true;
}

int FlashBusDevice::Open(int& width, int& height, CAcqPropertyBase& current)
{
    if (!Bind())
        return 0;
    Library& fbus = *m_library;
    std::unique_lock board(m_boardLock);
    if (fbus.open() != 0)
        return 0;
    uint32_t probe = 0;
    if ((fbus.probe(1, &probe) & 0xFFFF) == kFbusNoSignal || (probe & 0xFFFF) == kFbusNoSignal) {
        fbus.close();
        board.unlock();  // the message waits for the user; nothing else need wait for it
        AfxMessageBox(FlashBusString(kTextNoSignal), MB_OK);
        return 0;
    }
    const int signal = ((probe >> 8) & 0xFF) != 0 ? 1 : 0;
    FrameSize(signal, width, height);
    fbus.selectSource(int(probe & 0xFF), int((probe >> 8) & 0xFF), int((probe >> 16) & 0xFF), int(probe >> 24));
    fbus.setCaptureFormat(width, height, 24, 1);
    fbus.capture(1, 2);
    current.Signal = signal;
    m_live = true;
    return 1;
}

void FlashBusDevice::Close()
{
    std::lock_guard board(m_boardLock);
    if (!m_live || !m_library)
        return;
    m_library->capture(0, 2);
    m_library->close();
    m_live = false;
}

int FlashBusDevice::Acquire(datakeeper::CQvImage& image, int width, int height)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(kAcquirePauseMs));
    std::lock_guard board(m_boardLock);
    if (!m_live || !m_library)
        return 0;
    // An image of another size (the host has not reshaped it after a format change) is refused, never overrun.
    if (image.GetWidth() != width || image.GetHeight() != height || image.GetBytesPerPixel() != 3)
        return 0;
    int a = 0, b = 0, areaWidth = 0, areaHeight = 0;
    m_library->getCaptureArea(2, &a, &b, &areaWidth, &areaHeight);
    // The buffer holds the frame; a larger area the board reports is read only as far as the frame reaches.
    areaWidth = std::clamp(areaWidth, 0, width);
    areaHeight = std::clamp(areaHeight, 0, height);
    if (areaWidth < 1 || areaHeight < 1)
        return 0;
    const int64_t stride = (int64_t(areaWidth) * 3 + 3) / 4 * 4;
    m_dib.resize(static_cast<size_t>(40 + stride * areaHeight));
    const uint8_t* dib = m_dib.data();
    m_library->readDib(0, 0, areaWidth, areaHeight, -32768, m_dib.data());
    // Stored rows are bottom-up: image row i is the DIB's row (height - 1 - i).
    return Acq2CopyRows(dib + 40 + int64_t(areaHeight - 1) * stride, -stride, areaWidth, areaHeight, image) ? 1 : 0;
}

void FlashBusDevice::ApplyAdjustments(const CAcqPropertyBase& current, const CAcqPropertyBase& next)
{
    if (!m_library)
        return;
    std::lock_guard board(m_boardLock);
    const tagACQ_RANGE CAcqPropertyBase::*const ranges[4] = {&CAcqPropertyBase::Hue, &CAcqPropertyBase::Saturation,
                                                              &CAcqPropertyBase::Brightness,
                                                              &CAcqPropertyBase::Contrast};
    for (int number = 0; number < 4; ++number)
        if ((next.*ranges[number]).Value != (current.*ranges[number]).Value)
            m_library->adjust(number, (next.*ranges[number]).Value);
}

int FlashBusDevice::BoardInput(int channelNumber)
{
    switch (channelNumber) {
    case 1: return 0;
    case 2: return 1;
    case 0: return 2;
    default: return -1;
    }
}

void FlashBusDevice::SelectInput(int channelNumber)
{
    const int input = BoardInput(channelNumber);
    if (input < 0 || !m_library)
        return;
    std::lock_guard board(m_boardLock);
    const int third = m_library->getThird();
    const int format = m_library->getSignalFormat();
    m_library->selectSource(input, format, third, 0);
}

bool FlashBusDevice::ChangeSignal(const CAcqPropertyBase& next, int& width, int& height,
                                  const std::function<void()>& notify)
{
    const int signal = next.Signal;
    FrameSize(signal, width, height);
    notify();
    if (m_library) {
        std::lock_guard board(m_boardLock);
        const int input = m_library->getInput();
        const int third = m_library->getThird();
        m_library->selectSource(input, signal, third, 0);
        // The capture format follows the frame size, so the board's reads match the buffer.
        m_library->setCaptureFormat(width, height, 24, 1);
    }
    return true;
}
