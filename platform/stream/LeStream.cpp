#include "stream/LeStream.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr size_t kFirstBufferRoom = 4096;
constexpr size_t kReservedRoomStep = 64 * 1024;
constexpr size_t kReadAheadBlock = 64 * 1024;

// The last read-ahead block of the thread, kept for its next reader: a block freed and taken again costs more than
// a small file's parsing, because a request this large first makes the allocator merge every small chunk freed
// since (closing a document before opening the next frees thousands).
thread_local std::unique_ptr<unsigned char[]> t_spareBlock;

}  // namespace

LeWriter::~LeWriter()
{
    if (m_buffer)
        m_buffer->resize(m_cursor ? static_cast<size_t>(m_cursor - m_buffer->data()) : m_written);
}

// A stream belongs to one reader or writer at a time (see the header), and records go field by field: the
// unlocked calls spare a lock per field.
void LeWriter::SlowBytes(const void* data, size_t size)
{
    if (!m_ok || size == 0)
        return;
    if (m_buffer) {
        if (m_cursor)
            m_written = static_cast<size_t>(m_cursor - m_buffer->data());
        // Doubling keeps the cost of growing in proportion to what is written. Room reserved ahead is opened a
        // step at a time: a resize clears the bytes it adds, and cleared a step ahead they are still in cache when
        // the fields are copied over them (a stream of megabytes cleared at once is not).
        const size_t needed = m_written + size;
        const size_t room = needed <= m_buffer->capacity()
                                ? std::min(m_buffer->capacity(), std::max(needed, m_written + kReservedRoomStep))
                                : std::max({needed, 2 * m_written, kFirstBufferRoom});
        try {
            m_buffer->resize(room);
        } catch (const std::bad_alloc&) {
            m_ok = false;
            m_cursor = m_limit = nullptr;
            return;
        }
        m_cursor = m_buffer->data() + m_written;
        m_limit = m_buffer->data() + m_buffer->size();
        std::memcpy(m_cursor, data, size);
        m_cursor += size;
        return;
    }
    if (fwrite_unlocked(data, 1, size, m_file) != size)
        m_ok = false;
}

void LeWriter::Int32s(const int32_t* values, size_t count)
{
    if constexpr (std::endian::native == std::endian::little) {
        // The ints' own bytes are their stored bytes: one copy for the whole block.
        Bytes(values, count * sizeof(int32_t));
        return;
    }
    unsigned char bytes[64];
    while (count > 0) {
        const size_t n = count < sizeof bytes / 4 ? count : sizeof bytes / 4;
        for (size_t i = 0; i < n; ++i)
            PutLe(bytes + 4 * i, static_cast<uint32_t>(values[i]), 4);
        Bytes(bytes, 4 * n);
        values += n;
        count -= n;
    }
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
    unsigned char bytes[60];
    const int32_t sizes[5] = {font.lfHeight, font.lfWidth, font.lfEscapement, font.lfOrientation, font.lfWeight};
    for (int i = 0; i < 5; ++i)
        PutLe(bytes + 4 * i, static_cast<uint32_t>(sizes[i]), 4);
    const BYTE flags[8] = {font.lfItalic,        font.lfUnderline,     font.lfStrikeOut, font.lfCharSet,
                           font.lfOutPrecision, font.lfClipPrecision, font.lfQuality,   font.lfPitchAndFamily};
    std::memcpy(bytes + 20, flags, sizeof flags);
    std::memcpy(bytes + 28, font.lfFaceName, LF_FACESIZE);
    Bytes(bytes, sizeof bytes);
}

void LeReader::Int32s(int32_t* values, size_t count)
{
    if constexpr (std::endian::native == std::endian::little) {
        Bytes(values, count * sizeof(int32_t));
        return;
    }
    for (size_t i = 0; i < count; ++i)
        values[i] = Int32();
}

LeReader::LeReader(FILE* file, ReadAhead) : m_file(file)
{
    if (file && ftello(file) >= 0)
        m_block = t_spareBlock ? std::move(t_spareBlock)
                               : std::unique_ptr<unsigned char[]>(new unsigned char[kReadAheadBlock]);
}

LeReader::~LeReader()
{
    const auto unread = static_cast<off_t>(m_end - m_next);
    if (unread > 0)
        fseeko(m_file, -unread, SEEK_CUR);
    if (m_block && !t_spareBlock)
        t_spareBlock = std::move(m_block);
}

bool LeReader::SlowBytes(void* data, size_t size)
{
    if (!m_ok) {
        std::memset(data, 0, size);
        return false;
    }
    auto* out = static_cast<unsigned char*>(data);
    size_t left = size;
    const size_t buffered = static_cast<size_t>(m_end - m_next);
    if (buffered > 0) {
        std::memcpy(out, m_next, buffered);
        m_next = m_end;
        out += buffered;
        left -= buffered;
    }
    if (!m_block || left >= kReadAheadBlock) {
        if (fread_unlocked(out, 1, left, m_file) != left)
            m_ok = false;
    } else {
        const size_t got = fread_unlocked(m_block.get(), 1, kReadAheadBlock, m_file);
        m_next = m_block.get();
        m_end = m_next + got;
        if (got < left) {
            m_ok = false;
        } else {
            std::memcpy(out, m_next, left);
            m_next += left;
        }
    }
    if (!m_ok)
        std::memset(data, 0, size);
    return m_ok;
}

bool LeReader::Skip(size_t count)
{
    // Padding inside records: taken from the bytes read ahead without a copy.
    if (m_ok && static_cast<size_t>(m_end - m_next) >= count) {
        m_next += count;
        return true;
    }
    unsigned char buffer[256];
    while (count > 0 && m_ok) {
        const size_t n = count < sizeof buffer ? count : sizeof buffer;
        Bytes(buffer, n);
        count -= n;
    }
    return m_ok;
}

int64_t LeReader::RemainingBytes() const
{
    const int64_t here = ftello(m_file);
    if (here < 0 || fseeko(m_file, 0, SEEK_END) != 0)
        return std::numeric_limits<int64_t>::max();
    const int64_t end = ftello(m_file);
    fseeko(m_file, here, SEEK_SET);
    return (end < here ? 0 : end - here) + (m_end - m_next);
}

std::string LeReader::FixedText(size_t length)
{
    // Taken straight from the bytes read ahead when they hold it: no cleared copy to scan again.
    if (m_ok && static_cast<size_t>(m_end - m_next) >= length) {
        const char* bytes = reinterpret_cast<const char*>(m_next);
        m_next += length;
        return std::string(bytes, strnlen(bytes, length));
    }
    std::string text(length, '\0');
    Bytes(text.data(), length);
    text.resize(std::strlen(text.c_str()));
    return text;
}

LOGFONTA LeReader::LogFont()
{
    LOGFONTA font{};
    // Every overlay record holds a font: on a little-endian host its stored bytes are the record itself, taken in
    // one copy rather than field by field.
    if constexpr (std::endian::native == std::endian::little && sizeof(LOGFONTA) == 28 + LF_FACESIZE &&
                  offsetof(LOGFONTA, lfItalic) == 20 && offsetof(LOGFONTA, lfFaceName) == 28) {
        Bytes(&font, sizeof font);
        font.lfFaceName[LF_FACESIZE - 1] = '\0';
        return font;
    }
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
