// The FlashBus MV Lite board behind the second-generation core: no thread of its own; each Acquire reads the
// board's current frame synchronously. Frames are 640 x 480 (signal format 0) or 760 x 570.
//
// The board is programmed from its probe when it opens; the current property's Signal is then set to what the
// board runs in, so that choosing the other format is always a change the driver applies.
#pragma once

#include "common/Acq2DriverCore.h"
#include "flashbus/FbusApi.h"

#include <string>

class FlashBusDevice : public Acq2Device
{
public:
    static constexpr char kLibraryName[] = "FBUS32.so";
    // The pause before each read, which caps the host's polling rate as the board's reads need.
    static constexpr int kAcquirePauseMs = 5;

    ~FlashBusDevice() override;

    int Open(int& width, int& height, CAcqPropertyBase& current) override;
    void Close() override;
    int Acquire(datakeeper::CQvImage& image, int width, int height) override;
    void ApplyAdjustments(const CAcqPropertyBase& current, const CAcqPropertyBase& next) override;
    void SelectInput(int channelNumber) override;
    bool ChangeSignal(int signal, int& width, int& height, const std::function<void()>& notify) override;

    // Channel number -> board input: 1 -> 0, 2 -> 1, 0 -> 2; -1 for a number the board does not know.
    static int BoardInput(int channelNumber);

private:
    struct Library;
    bool Bind();

    Library* m_library = nullptr;
    bool m_live = false;
    bool m_libraryMissingTold = false;
};

// The device defaults of this driver's property.
void FlashBusDefaults(CAcqPropertyBase& property);
