// One message between programs on the local bus, as it travels over a connection. Plain code with no event loop,
// so a reader of outside bytes that fuzzing can reach directly.
//
// Layout, little-endian, no padding:
//   "QRXP"  u16 kind  u16 flags  u32 name length  name (UTF-8)  i64 wParam  i64 lParam  u32 copy-data code
//   u32 payload length  payload  [i64 result, replies only]
// Posts and sends name their message; a copy-data frame names its sender's identity (empty when the sender is not
// findable); a reply has no name. Flags are carried as they are; no bit has a meaning yet.
#pragma once

#include "types/VistrelExport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class PeerFrameKind : uint16_t
{
    Post = 1,      // fire and forget
    Send = 2,      // the receiver answers with a Reply
    CopyData = 3,  // a numbered block of bytes; answered with a Reply
    Reply = 4,     // the answer to a Send or CopyData
};

struct PeerFrame
{
    PeerFrameKind kind = PeerFrameKind::Post;
    uint16_t flags = 0;
    std::string name;
    int64_t wParam = 0;
    int64_t lParam = 0;
    uint32_t copyDataCode = 0;
    std::vector<uint8_t> payload;
    int64_t result = 0;  // replies only

    bool operator==(const PeerFrame&) const = default;
};

// Limits every reader enforces before it waits for or allocates the bytes a frame announces.
inline constexpr uint32_t kPeerFrameMaxName = 4096;
inline constexpr uint32_t kPeerFrameMaxPayload = 64u << 20;

// The bytes of a frame. The frame must be one a reader accepts (see DecodePeerFrame), else the result is empty.
VISTREL_EXPORT std::vector<uint8_t> EncodePeerFrame(const PeerFrame& frame);

enum class PeerFrameStatus
{
    Complete,    // one frame decoded; `consumed` bytes belong to it
    NeedMore,    // a valid beginning; wait for more bytes
    Malformed,   // wrong magic, unknown kind, a length over its limit, a name that is not UTF-8, or a post or send
                 // without a name, or a reply with one: the connection is to be closed
};

// Decodes the first frame at `data`. A wrong magic or an oversize length is reported as soon as its bytes are
// there, before the rest of the frame arrives. `frame` and `consumed` are set only for Complete.
VISTREL_EXPORT PeerFrameStatus DecodePeerFrame(const uint8_t* data, size_t size, PeerFrame& frame, size_t& consumed);
