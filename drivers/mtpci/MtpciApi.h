// The MTPCI-TL board library. On Windows it is mtpcidma.dll, whose entry points have no names and are imported by
// ordinal; a Linux shared object has no ordinals, so the library here ("mtpcidma.so", loaded from the driver's
// folder or the library path) exports each role under a name, and the driver binds them through a table that keeps
// the ordinal of each role:
//
//   ordinal  symbol                  role
//   1        MTPCI_OpenBoard         open the library; the number of channels through an out-argument
//   5        MTPCI_QueryChannel      a channel's information record (704: reset the channel and ask again)
//   2        MTPCI_ResetChannel      reset a channel
//   72       MTPCI_LoadCameraSet     load a camera-set file for a channel
//   22       MTPCI_FreeBuffers       free a channel's frame buffers
//   56       MTPCI_AllocBuffers      allocate a channel's frame buffers (count >= 1, flag)
//   21       MTPCI_PrepareTransfer   prepare the transfer into those buffers
//   71       MTPCI_QueryPrepared     the channel's status word once its buffers are prepared
//   15       MTPCI_StartRing         start continuous capture over the ring of buffers
//   45       MTPCI_StartSingle       start continuous capture into a single buffer (bound, not used)
//   57       MTPCI_PollRing          transfer state of the next ring buffer
//   58       MTPCI_PollSingle        transfer state of the single buffer (bound, not used)
//   69       MTPCI_BufferAddress     the address of a finished buffer
//   81       MTPCI_ReadImage         one field or plane of a finished buffer, into a packed top-down frame
//   200      MTPCI_ConvertWide       a frame of 2 bytes per pixel into 1 byte per pixel
//   17       MTPCI_StopCapture       stop capture
//   3        MTPCI_CloseChannel      close a channel
//   20       MTPCI_ErrorBits         a channel's error bits (kMtpciDmaErrorMask ends a wait as a DMA error)
//
// Results: 0 for success, else a status code the driver shows. Channels are numbered 1 to 4.
#pragma once

#include <cstdint>

constexpr int kMtpciMaxChannels = 4;
constexpr int kMtpciStatusNeedsReset = 704;
constexpr uint32_t kMtpciDmaErrorMask = 0x202;

// MTPCI_PollRing / MTPCI_PollSingle answers.
constexpr int kMtpciTransferDone = 0;
constexpr int kMtpciTransferRunning = 1;
constexpr int kMtpciTransferQueued = 2;
constexpr int kMtpciTransferDmaError = 4;
constexpr int kMtpciTransferIdle = 5;  // no capture runs: nothing to wait for

// A channel's information record as the library fills it.
struct MtpciChannelInfo
{
    int32_t width;          // pixels
    int32_t height;         // lines of one frame (of one plane for three-plane colour)
    int32_t bytesPerPixel;  // 1, 2 or 3
    int32_t planeType;      // 1, or 3 for a three-plane colour camera (the planes lie one below the other)
    int32_t interlaced;     // 1: the frame comes as two fields
    int32_t joinFields;     // 1: the library joins fields or planes in one read
};

constexpr int kMtpciCameraNameSize = 64;

extern "C" {
using MTPCI_OpenBoardFunction = int (*)(int* channelCount);
using MTPCI_QueryChannelFunction = int (*)(int channel, MtpciChannelInfo* info);
using MTPCI_ResetChannelFunction = int (*)(int channel);
// `cameraName` receives kMtpciCameraNameSize bytes at most; `records` the channels' records (kMtpciMaxChannels).
using MTPCI_LoadCameraSetFunction = int (*)(int channel, const char* path, char* cameraName,
                                            MtpciChannelInfo* records);
using MTPCI_FreeBuffersFunction = int (*)(int channel);
using MTPCI_AllocBuffersFunction = int (*)(int channel, int count, int flag);
using MTPCI_PrepareTransferFunction = int (*)(int channel);
using MTPCI_QueryPreparedFunction = int (*)(int channel, uint32_t* status);
using MTPCI_StartRingFunction = int (*)(int channel);
using MTPCI_StartSingleFunction = int (*)(int channel);
// The transfer state of buffer `buffer` (kMtpciTransfer...).
using MTPCI_PollRingFunction = int (*)(int channel, int buffer);
using MTPCI_PollSingleFunction = int (*)(int channel);
using MTPCI_BufferAddressFunction = int (*)(int channel, int buffer, const uint8_t** address);
// Part `part` of `parts` (fields or planes; 1 part = the whole frame) of a finished buffer into `frame`, a packed
// top-down frame of the whole image (bytesPerPixel x width x height x planeType bytes; `bytes` bounds the write).
using MTPCI_ReadImageFunction = int (*)(int channel, int buffer, int part, int parts, uint8_t* frame,
                                        uint32_t bytes);
using MTPCI_ConvertWideFunction = int (*)(const uint8_t* wide, uint8_t* narrow, uint32_t pixels);
using MTPCI_StopCaptureFunction = int (*)(int channel);
using MTPCI_CloseChannelFunction = int (*)(int channel);
using MTPCI_ErrorBitsFunction = int (*)(int channel, uint32_t* bits);
}
