#include "winmsg/PeerFrame.h"

#include "strings/StoredText.h"

#include <cstring>

namespace {

constexpr char kMagic[4] = {'Q', 'R', 'X', 'P'};
// magic, kind, flags, name length
constexpr size_t kHeadSize = 4 + 2 + 2 + 4;
// wParam, lParam, copy-data code, payload length
constexpr size_t kMiddleSize = 8 + 8 + 4 + 4;
constexpr size_t kResultSize = 8;

bool KnownKind(uint16_t kind)
{
    return kind >= static_cast<uint16_t>(PeerFrameKind::Post) && kind <= static_cast<uint16_t>(PeerFrameKind::Reply);
}

// A name the receiver can act on: messages are found by name, a reply answers the connection it arrives on.
bool AcceptableName(PeerFrameKind kind, const std::string& name)
{
    if (name.size() > kPeerFrameMaxName || !IsValidUtf8(name))
        return false;
    switch (kind) {
    case PeerFrameKind::Post:
    case PeerFrameKind::Send:
        return !name.empty();
    case PeerFrameKind::Reply:
        return name.empty();
    case PeerFrameKind::CopyData:
        return true;
    }
    return false;
}

void Put(std::vector<uint8_t>& out, uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint64_t Get(const uint8_t* at, int size)
{
    uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= static_cast<uint64_t>(at[i]) << (8 * i);
    return value;
}

}  // namespace

std::vector<uint8_t> EncodePeerFrame(const PeerFrame& frame)
{
    if (!KnownKind(static_cast<uint16_t>(frame.kind)) || !AcceptableName(frame.kind, frame.name) ||
        frame.payload.size() > kPeerFrameMaxPayload)
        return {};
    std::vector<uint8_t> out;
    out.reserve(kHeadSize + frame.name.size() + kMiddleSize + frame.payload.size() + kResultSize);
    out.insert(out.end(), kMagic, kMagic + 4);
    Put(out, static_cast<uint16_t>(frame.kind), 2);
    Put(out, frame.flags, 2);
    Put(out, frame.name.size(), 4);
    out.insert(out.end(), frame.name.begin(), frame.name.end());
    Put(out, static_cast<uint64_t>(frame.wParam), 8);
    Put(out, static_cast<uint64_t>(frame.lParam), 8);
    Put(out, frame.copyDataCode, 4);
    Put(out, frame.payload.size(), 4);
    out.insert(out.end(), frame.payload.begin(), frame.payload.end());
    if (frame.kind == PeerFrameKind::Reply)
        Put(out, static_cast<uint64_t>(frame.result), 8);
    return out;
}

PeerFrameStatus DecodePeerFrame(const uint8_t* data, size_t size, PeerFrame& frame, size_t& consumed)
{
    // Each field is judged as soon as its bytes are there, so that a stranger's bytes are refused before the
    // connection waits for, or buffers, what they announce.
    if (size == 0)
        return PeerFrameStatus::NeedMore;
    if (std::memcmp(data, kMagic, size < 4 ? size : 4) != 0)
        return PeerFrameStatus::Malformed;
    if (size < 6)
        return PeerFrameStatus::NeedMore;
    const uint16_t kind = static_cast<uint16_t>(Get(data + 4, 2));
    if (!KnownKind(kind))
        return PeerFrameStatus::Malformed;
    if (size < kHeadSize)
        return PeerFrameStatus::NeedMore;
    const uint64_t nameLength = Get(data + 8, 4);
    if (nameLength > kPeerFrameMaxName)
        return PeerFrameStatus::Malformed;
    size_t at = kHeadSize + nameLength;
    if (size < at)
        return PeerFrameStatus::NeedMore;
    const auto frameKind = static_cast<PeerFrameKind>(kind);
    std::string name(reinterpret_cast<const char*>(data + kHeadSize), nameLength);
    if (!AcceptableName(frameKind, name))
        return PeerFrameStatus::Malformed;
    if (size < at + kMiddleSize)
        return PeerFrameStatus::NeedMore;
    const uint64_t payloadLength = Get(data + at + 20, 4);
    if (payloadLength > kPeerFrameMaxPayload)
        return PeerFrameStatus::Malformed;
    const size_t total =
        at + kMiddleSize + payloadLength + (frameKind == PeerFrameKind::Reply ? kResultSize : 0);
    if (size < total)
        return PeerFrameStatus::NeedMore;

    PeerFrame decoded;
    decoded.kind = frameKind;
    decoded.flags = static_cast<uint16_t>(Get(data + 6, 2));
    decoded.name = std::move(name);
    decoded.wParam = static_cast<int64_t>(Get(data + at, 8));
    decoded.lParam = static_cast<int64_t>(Get(data + at + 8, 8));
    decoded.copyDataCode = static_cast<uint32_t>(Get(data + at + 16, 4));
    at += kMiddleSize;
    decoded.payload.assign(data + at, data + at + payloadLength);
    at += payloadLength;
    if (frameKind == PeerFrameKind::Reply)
        decoded.result = static_cast<int64_t>(Get(data + at, 8));
    frame = std::move(decoded);
    consumed = total;
    return PeerFrameStatus::Complete;
}
