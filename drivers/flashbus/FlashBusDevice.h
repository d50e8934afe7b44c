// The FlashBus MV Lite board behind the second-generation core: no thread of its own; each Acquire reads the
// board's current frame synchronously. Frames are 640 x 480 (signal format 0) or 760 x 570.
//
// The board is programmed from its probe when it opens; the current property's Signal is then set to what the
// board runs in, so that choosing the other format is always a change the driver applies.
//
// Threads: the host polls Acquire on its live thread while Release and SetProperty come from another. Every call
// into the board, and the live flag, are under one lock, so a release waits for a read in progress rather than
// close the board under it, and a read after the release finds the board closed.
#pragma once

#include "common/Acq2DriverCore.h"
#include "flashbus/FbusApi.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

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
    bool ChangeSignal(const CAcqPropertyBase& next, int& width, int& height,
                      const std::function<void()>& notify) override;

    // Channel number -> board input: 1 -> 0, 2 -> 1, 0 -> 2; -1 for a number the board does not know.
    static int BoardInput(int channelNumber);

private:
    struct Library;
    bool Bind();

    Library* m_library = nullptr;
    std::mutex m_boardLock;
    bool m_live = false;             // under m_boardLock
    std::vector<uint8_t> m_dib;      // the board's packed DIB of the last read, under m_boardLock
    bool m_libraryMissingTold = false;
};

// The device defaults of this driver's property.
void FlashBusDefaults(CAcqPropertyBase& property);
