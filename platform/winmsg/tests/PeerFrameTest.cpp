#include "winmsg/PeerFrame.h"

#include <gtest/gtest.h>

namespace {

PeerFrame Frame(PeerFrameKind kind, std::string name, int64_t w = 0, int64_t l = 0)
{
    PeerFrame frame;
    frame.kind = kind;
    frame.name = std::move(name);
    frame.wParam = w;
    frame.lParam = l;
    return frame;
}

PeerFrameStatus Decode(const std::vector<uint8_t>& bytes, PeerFrame* frame = nullptr, size_t* consumed = nullptr)
{
    PeerFrame scratch;
    size_t used = 0;
    const PeerFrameStatus status = DecodePeerFrame(bytes.data(), bytes.size(), frame ? *frame : scratch, used);
    if (consumed)
        *consumed = used;
    return status;
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

// Another program reads these bytes: the layout is fixed field by field.
TEST(PeerFrame, CopyDataFrameHasTheExactLayout)
{
    PeerFrame frame = Frame(PeerFrameKind::CopyData, "ab", -2, 0x0102030405060708);
    frame.flags = 0x8001;
    frame.copyDataCode = 9006;
    frame.payload = {0xFF, 0x00};
    const std::vector<uint8_t> expected = {
        'Q',  'R',  'X',  'P',  3,    0,    0x01, 0x80, 2,    0,    0,    0,    'a',  'b',    // head, name
        0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,                                      // wParam -2
        0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,                                      // lParam
        0x2E, 0x23, 0,    0,    2,    0,    0,    0,    0xFF, 0x00,                          // code, payload
    };
    EXPECT_EQ(EncodePeerFrame(frame), expected);

    PeerFrame reply = Frame(PeerFrameKind::Reply, "");
    reply.result = -1;
    const std::vector<uint8_t> replyBytes = EncodePeerFrame(reply);
    ASSERT_EQ(replyBytes.size(), 12u + 24u + 8u);
    EXPECT_EQ(std::vector<uint8_t>(replyBytes.end() - 8, replyBytes.end()), std::vector<uint8_t>(8, 0xFF));
}

TEST(PeerFrame, EveryKindRoundTrips)
{
    PeerFrame withPayload = Frame(PeerFrameKind::Send, "TLV COM - NEW", 0, INT64_MIN);
    withPayload.payload = {0, 1, 2, 3};
    PeerFrame copy = Frame(PeerFrameKind::CopyData, "", 0, 0);
    copy.copyDataCode = UINT32_MAX;
    PeerFrame reply = Frame(PeerFrameKind::Reply, "");
    reply.result = INT64_MAX;
    const PeerFrame cases[] = {
        Frame(PeerFrameKind::Post, "VQ_ALIVE_REQUEST_MSG", 1, -1),
        Frame(PeerFrameKind::Post, "\xec\x83\x88 \xec\x9d\xb4\xeb\xaf\xb8\xec\xa7\x80", INT64_MAX, INT64_MIN),
        withPayload,
        copy,
        reply,
    };
    for (const PeerFrame& frame : cases) {
        SCOPED_TRACE(frame.name);
        const std::vector<uint8_t> bytes = EncodePeerFrame(frame);
        ASSERT_FALSE(bytes.empty());
        PeerFrame decoded;
        size_t consumed = 0;
        ASSERT_EQ(Decode(bytes, &decoded, &consumed), PeerFrameStatus::Complete);
        EXPECT_EQ(consumed, bytes.size());
        EXPECT_EQ(decoded, frame);
    }
}

TEST(PeerFrame, EveryTruncationWaitsAndTwoFramesSplitWhereTheyMeet)
{
    PeerFrame frame = Frame(PeerFrameKind::Send, "External Capture", 7, 8);
    frame.payload = {9, 9, 9};
    const std::vector<uint8_t> bytes = EncodePeerFrame(frame);
    for (size_t length = 0; length < bytes.size(); ++length)
        EXPECT_EQ(Decode(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(length))),
                  PeerFrameStatus::NeedMore)
            << length;

    std::vector<uint8_t> two = bytes;
    const std::vector<uint8_t> second = EncodePeerFrame(Frame(PeerFrameKind::Post, "x"));
    two.insert(two.end(), second.begin(), second.end());
    PeerFrame decoded;
    size_t consumed = 0;
    ASSERT_EQ(Decode(two, &decoded, &consumed), PeerFrameStatus::Complete);
    EXPECT_EQ(consumed, bytes.size());
    EXPECT_EQ(decoded, frame);
}

// A stranger's bytes are refused as soon as they show it, without waiting for (or buffering) what they announce.
TEST(PeerFrame, BadFramesAreRefusedEarly)
{
    const std::vector<uint8_t> good = EncodePeerFrame(Frame(PeerFrameKind::Post, "name"));
    const size_t nameLength = 8;
    const size_t payloadLength = 12 + 4 + 20;
    struct Case
    {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"wrong first byte", {'G'}});
    cases.push_back({"wrong magic", {'Q', 'R', 'X', 'Q', 1, 0}});
    cases.push_back({"unknown kind", {'Q', 'R', 'X', 'P', 5, 0}});
    cases.push_back({"kind zero", {'Q', 'R', 'X', 'P', 0, 0}});
    std::vector<uint8_t> longName(good.begin(), good.begin() + 12);
    PutU32(longName, nameLength, kPeerFrameMaxName + 1);
    cases.push_back({"name over its limit", longName});
    std::vector<uint8_t> bigPayload(good.begin(), good.begin() + static_cast<ptrdiff_t>(payloadLength + 4));
    PutU32(bigPayload, payloadLength, kPeerFrameMaxPayload + 1);
    cases.push_back({"payload over its limit", bigPayload});
    std::vector<uint8_t> huge = bigPayload;
    PutU32(huge, payloadLength, UINT32_MAX);
    cases.push_back({"payload of 4 GiB", huge});
    std::vector<uint8_t> badText = good;
    badText[12] = 0xC3;
    badText[13] = 0x28;
    cases.push_back({"name not UTF-8", badText});
    cases.push_back({"post without a name", EncodePeerFrame(Frame(PeerFrameKind::Post, "x"))});
    cases.back().bytes[8] = 0;
    cases.back().bytes.erase(cases.back().bytes.begin() + 12);
    std::vector<uint8_t> namedReply = good;
    namedReply[4] = 4;
    namedReply.insert(namedReply.end(), 8, 0);
    cases.push_back({"reply with a name", namedReply});

    for (const Case& c : cases)
        EXPECT_EQ(Decode(c.bytes), PeerFrameStatus::Malformed) << c.what;
}

TEST(PeerFrame, EncoderRefusesWhatNoReaderAccepts)
{
    EXPECT_TRUE(EncodePeerFrame(Frame(PeerFrameKind::Post, "")).empty());
    EXPECT_TRUE(EncodePeerFrame(Frame(PeerFrameKind::Reply, "named")).empty());
    EXPECT_TRUE(EncodePeerFrame(Frame(PeerFrameKind::Send, std::string(kPeerFrameMaxName + 1, 'n'))).empty());
    EXPECT_TRUE(EncodePeerFrame(Frame(static_cast<PeerFrameKind>(9), "x")).empty());
    PeerFrame big = Frame(PeerFrameKind::Post, "x");
    big.payload.resize(kPeerFrameMaxPayload + 1);
    EXPECT_TRUE(EncodePeerFrame(big).empty());
    big.payload.resize(kPeerFrameMaxPayload);
    EXPECT_FALSE(EncodePeerFrame(big).empty());
}
