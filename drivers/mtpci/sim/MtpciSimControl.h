// Test controls of the simulated MTPCI-TL board library (mtpcidma.so built from sim/): the driver never calls them;
// a test resolves them with dlsym from the same loaded library. Built for tests, installed nowhere.
//
// The simulated board has 1 to 4 channels, set up from a camera-set file of this form (a [ChannelN] section
// overrides [Camera] for channel N):
//   [Camera]
//   Name=...          Width=640   Height=480   BytesPerPixel=1 (1, 2 or 3)   PlaneType=1 (1 or 3)   Interlaced=0
// A frame is identified by its seed and channel: byte `column` of row `row` of the display frame (after the
// conversion of 2-byte pixels) is MtsimByte(channel, seed, row, column). A manual board finishes the frames a test
// pushes; a free-running board finishes frame 1, 2, 3 ... on each capturing channel on its own clock, frame k at
// k frame periods after the capture started, whether the driver polls in time or not. The ring of buffers holds
// the newest frames: when the driver falls more than a ring behind, the oldest were overwritten and it never sees
// them (their seeds are skipped).
//
// The frame period is `frameMs` when set, else the board's full rate: a board of this kind is a bus master on a
// 32-bit, 33 MHz PCI bus, which moves at most 4 bytes per clock, kMtsimBusBytesPerSecond; a frame takes its bytes
// at that rate, so the board never finishes frames faster (a 2592 x 1944 grey frame every 37.8 ms, 26 fps; a 640 x
// 480 one every 2.3 ms). A set `frameMs` shorter than that drives the driver harder than a board can.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int64_t kMtsimBusBytesPerSecond = 133'333'333;

inline uint8_t MtsimByte(int channel, int seed, int row, int column)
{
    return uint8_t(seed * 7 + channel * 31 + row * 3 + column);
}

extern "C" {
// Forgets every setting, counter, queued frame and injection: 4 channels, manual, present.
using MTSIM_ResetFunction = void (*)();
using MTSIM_SetChannelsFunction = void (*)(int count);
using MTSIM_SetManualFunction = void (*)(int manual);
// 0: the board's full rate.
using MTSIM_SetFrameIntervalFunction = void (*)(int frameMs);
// Finishes one frame of `seed` on the channel's next ring buffer.
using MTSIM_PushFunction = void (*)(int channel, int seed);
// Injected faults, each on the channel's next poll: 1 DMA error (through the error bits), 2 DMA error (through
// the transfer state), 3 library error; 4 status 704 at the next channel query.
using MTSIM_InjectFunction = void (*)(int channel, int fault);
// The fault injected on the channel that no poll or query has met yet (0 once the driver met it).
using MTSIM_PendingFaultFunction = int (*)(int channel);
// The next call of the named entry point ("MTPCI_AllocBuffers", ...) fails with status 31.
using MTSIM_FailNextFunction = void (*)(const char* entry);
// Polls of the channel answer "running" until switched off (a stalled transfer).
using MTSIM_StallFunction = void (*)(int channel, int stalled);
// Unplugged: every call fails with status 999 and polls answer a library error.
using MTSIM_UnplugFunction = void (*)(int unplugged);
// MTPCI_LoadCameraSet takes this long (a slow set-up).
using MTSIM_SetLoadDelayFunction = void (*)(int milliseconds);
using MTSIM_CallsFunction = int (*)(const char* entry);
// Frames read out of the channel's buffers (MTPCI_ReadImage of a frame's last part).
using MTSIM_FramesReadFunction = int (*)(int channel);
// Frames the board finished on the channel but overwrote in its ring before the driver read them.
using MTSIM_OverwrittenFunction = int (*)(int channel);
// Channels capturing now, and channels open now.
using MTSIM_CapturingFunction = int (*)();
using MTSIM_OpenChannelsFunction = int (*)();
}
