// The records of a companion_mailbox input, shared by the target and its seeds. Each record is a kind byte, a
// 16-bit little-endian length and that many payload bytes:
//   kMessage  name index (kMessageNames), wParam and lParam (8 bytes each, little-endian), attachment
//   kCopy     code index (kCopyCodes; past its end: the next 4 bytes are the code), block
//   kMapping  which mapping (0: units per pixel, 1: image path), contents
//   kFile     which hand-over file (kFileNames), contents
// Paths never leave the target's folder: in a path list, a path block or the path mapping the target puts its
// folder in front of every path and turns '/' into '_'; the bytes after it are the input's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mailbox_input {

enum Kind : uint8_t { kMessage = 0, kCopy = 1, kMapping = 2, kFile = 3 };

inline const char* const kMessageNames[] = {
    "TLV COM - NEW", "QRX New Doc", "Video Recorder Finished", "External Capture", "PVTtoVQ_MSG",
    "MQtoVQ_MSG",    "JVtoVQ_MSG",  "VQ_ALIVE_REQUEST_MSG",    "an unknown message",
};
inline constexpr uint32_t kCopyCodes[] = {9001, 9006, 9009, 9007};
// Index 0 is the companion exchange folder's new-document bitmap; the rest lie in the target's folder.
inline const char* const kFileNames[] = {"newdoc.bmp", "a.bmp", "a.png", "a.qrx", "a.tif", "a.jpg"};

inline void Record(std::vector<uint8_t>& input, Kind kind, const std::vector<uint8_t>& payload)
{
    input.push_back(kind);
    input.push_back(static_cast<uint8_t>(payload.size()));
    input.push_back(static_cast<uint8_t>(payload.size() >> 8));
    input.insert(input.end(), payload.begin(), payload.end());
}

inline void PutLe64(std::vector<uint8_t>& bytes, int64_t value)
{
    for (int i = 0; i < 8; ++i)
        bytes.push_back(static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i)));
}

inline std::vector<uint8_t> Message(uint8_t name, int64_t wParam, int64_t lParam, const std::string& attachment = {})
{
    std::vector<uint8_t> payload{name};
    PutLe64(payload, wParam);
    PutLe64(payload, lParam);
    payload.insert(payload.end(), attachment.begin(), attachment.end());
    return payload;
}

}  // namespace mailbox_input
