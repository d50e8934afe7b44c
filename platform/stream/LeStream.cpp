#include "stream/LeStream.h"

#include <bit>
#include <cstring>

namespace {

uint32_t GetLe32(const unsigned char* in)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(in[i]) << (8 * i);
    return v;
}

}  // namespace

// A stream belongs to one reader or writer at a time (see the header), and records go field by field: the
// unlocked calls spare a lock per field.
void LeWriter::WriteToFile(const void* data, size_t size)
{
    if (!m_ok || size == 0 || m_buffer)
        return;
    if (fwrite_unlocked(data, 1, size, m_file) != size)
        m_ok = false;
}

void LeWriter::Zeros(size_t count)
{
    static const unsigned char zeros[64] = {};
    while (count > 0 && m_ok) {
        const size_t n = count < sizeof zeros ? count : sizeof zeros;
        Bytes(zeros, n);
        count -= n;
    }
}

void LeWriter::FixedText(const std::string& text, size_t length)
{
    const size_t n = text.size() < length ? text.size() : length;
    Bytes(text.data(), n);
    Zeros(length - n);
}

void LeWriter::LogFont(const LOGFONTA& font)
{
    Int32(font.lfHeight);
    Int32(font.lfWidth);
    Int32(font.lfEscapement);
    Int32(font.lfOrientation);
    Int32(font.lfWeight);
    const BYTE flags[8] = {font.lfItalic,        font.lfUnderline,     font.lfStrikeOut, font.lfCharSet,
                           font.lfOutPrecision, font.lfClipPrecision, font.lfQuality,   font.lfPitchAndFamily};
    Bytes(flags, sizeof flags);
    Bytes(font.lfFaceName, LF_FACESIZE);
}

bool LeReader::Bytes(void* data, size_t size)
{
    if (!m_ok) {
        std::memset(data, 0, size);
        return false;
    }
    if (size != 0 && fread_unlocked(data, 1, size, m_file) != size) {
        std::memset(data, 0, size);
        m_ok = false;
    }
    return m_ok;
}

bool LeReader::Skip(size_t count)
{
    unsigned char buffer[256];
    while (count > 0 && m_ok) {
        const size_t n = count < sizeof buffer ? count : sizeof buffer;
        Bytes(buffer, n);
        count -= n;
    }
    return m_ok;
}

uint32_t LeReader::UInt32()
{
    unsigned char bytes[4];
    Bytes(bytes, 4);
    return GetLe32(bytes);
}

int32_t LeReader::Int32()
{
    return static_cast<int32_t>(UInt32());
}

float LeReader::Float()
{
    return std::bit_cast<float>(UInt32());
}

double LeReader::Double()
{
    const uint64_t low = UInt32();
    const uint64_t high = UInt32();
    return std::bit_cast<double>(low | (high << 32));
}

std::string LeReader::FixedText(size_t length)
{
    std::string text(length, '\0');
    Bytes(text.data(), length);
    text.resize(std::strlen(text.c_str()));
    return text;
}

LOGFONTA LeReader::LogFont()
{
    LOGFONTA font{};
    font.lfHeight = Int32();
    font.lfWidth = Int32();
    font.lfEscapement = Int32();
    font.lfOrientation = Int32();
    font.lfWeight = Int32();
    BYTE flags[8];
    Bytes(flags, sizeof flags);
    font.lfItalic = flags[0];
    font.lfUnderline = flags[1];
    font.lfStrikeOut = flags[2];
    font.lfCharSet = flags[3];
    font.lfOutPrecision = flags[4];
    font.lfClipPrecision = flags[5];
    font.lfQuality = flags[6];
    font.lfPitchAndFamily = flags[7];
    Bytes(font.lfFaceName, LF_FACESIZE);
    font.lfFaceName[LF_FACESIZE - 1] = '\0';
    return font;
}
