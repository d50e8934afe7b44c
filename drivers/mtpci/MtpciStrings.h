// The texts the MTPCI-TL driver shows, in its string table (English and Korean).
#pragma once

#include <cstdint>
#include <string>

enum MtpciText : uint32_t
{
    kTextBoardNotRecognised = 1,  // %d: channel
    kTextBoardNotOpen = 2,        // %d: channel
    kTextLibraryError = 3,        // %d: channel, %d: the channel's last status
    kTextDmaError = 4,            // %d: channel
    kTextViewInitFailed = 5,      // %d: channel
    kTextWorkBufferFailed = 6,    // %d: channel
    kTextStopThreadQuestion = 7,  // %d: channel
    kTextCameraSetMissing = 8,    // followed by the path
    kTextSetupFailed = 9,
    kTextLibraryMissing = 10,     // %s: the library's file name
    kTextCameraSetFilter = 11,
};

std::string MtpciString(MtpciText id);
// The text with its numbers filled in.
std::string MtpciFormat(MtpciText id, int channel, int status = 0);
