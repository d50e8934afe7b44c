// Little-endian field I/O over a C stream, for every stored format of the system. Records are written field by
// field, never as a memory image. Both classes keep a sticky failure flag: after the first short read or failed
// write every later call does nothing (reads give 0), so a reader can take a whole record and check ok() once.
// A writer may also append to a byte buffer instead of a stream: a file of many small records is then assembled
// in memory and written with one call, which spares a library call per field (most of the cost of writing).
// Not thread-safe; the FILE* and the buffer are not owned.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinRecords.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

class VISTREL_EXPORT LeWriter
{
public:
    explicit LeWriter(FILE* file) : m_file(file) {}
    // Appends to the end of `buffer`, which holds exactly the bytes written once the writer is gone (meanwhile it
    // may hold room beyond them). Such a writer fails only when the buffer cannot grow.
    explicit LeWriter(std::vector<unsigned char>& buffer) : m_buffer(&buffer), m_written(buffer.size()) {}
    ~LeWriter();
    LeWriter(const LeWriter&) = delete;
    LeWriter& operator=(const LeWriter&) = delete;

    void Int32(int32_t v) { UInt32(static_cast<uint32_t>(v)); }
    void UInt32(uint32_t v)
    {
        unsigned char bytes[4];
        PutLe(bytes, v, 4);
        Bytes(bytes, 4);
    }
    void Float(float v) { UInt32(std::bit_cast<uint32_t>(v)); }
    void Double(double v)
    {
        unsigned char bytes[8];
        PutLe(bytes, std::bit_cast<uint64_t>(v), 8);
        Bytes(bytes, 8);
    }
    // `count` ints, as Int32 would write them one by one.
    void Int32s(const int32_t* values, size_t count);
    void Bytes(const void* data, size_t size)
    {
        // The buffer is grown ahead and filled here, so that a field costs a copy of its bytes.
        if (size != 0 && static_cast<size_t>(m_limit - m_cursor) >= size) {
            std::memcpy(m_cursor, data, size);
            m_cursor += size;
            return;
        }
        SlowBytes(data, size);
    }
    void Zeros(size_t count);
    // Exactly `length` bytes: the text, cut or padded with NULs.
    void FixedText(const std::string& text, size_t length);
    // 60 bytes in the Windows layout.
    void LogFont(const LOGFONTA& font);

    bool ok() const { return m_ok; }

private:
    static void PutLe(unsigned char* out, uint64_t v, int size)
    {
        // On a little-endian host the low bytes of v are the stored bytes: one store instead of a loop per byte
        // (a record of many small fields spends most of its time here otherwise).
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(out, &v, static_cast<size_t>(size));
        } else {
            for (int i = 0; i < size; ++i)
                out[i] = static_cast<unsigned char>(v >> (8 * i));
        }
    }
    // To the file, or to the buffer after growing it.
    void SlowBytes(const void* data, size_t size);

    FILE* m_file = nullptr;
    std::vector<unsigned char>* m_buffer = nullptr;
    size_t m_written = 0;  // bytes of the buffer written before the room in use was made
    // The room in the buffer not written yet; both null without a buffer or room.
    unsigned char* m_cursor = nullptr;
    unsigned char* m_limit = nullptr;
    bool m_ok = true;
};

class VISTREL_EXPORT LeReader
{
public:
    // Takes from the file exactly what is asked for: the file stays at the reader's position.
    explicit LeReader(FILE* file) : m_file(file) {}
    // Reads ahead in blocks, so that a field costs a copy of its bytes (a file of many small records then reads
    // several times faster). The bytes read ahead and not taken go back when the reader is destroyed: the file is
    // left at the reader's position. A file that cannot be repositioned (a pipe) is read as by the constructor
    // above. Nothing else may read the file while such a reader lives.
    struct ReadAhead
    {
    };
    LeReader(FILE* file, ReadAhead);
    ~LeReader();
    LeReader(const LeReader&) = delete;
    LeReader& operator=(const LeReader&) = delete;

    int32_t Int32() { return static_cast<int32_t>(UInt32()); }
    uint32_t UInt32()
    {
        unsigned char bytes[4];
        Bytes(bytes, 4);
        return static_cast<uint32_t>(GetLe(bytes, 4));
    }
    float Float() { return std::bit_cast<float>(UInt32()); }
    double Double()
    {
        unsigned char bytes[8];
        Bytes(bytes, 8);
        return std::bit_cast<double>(GetLe(bytes, 8));
    }
    // `count` ints, as Int32 would read them one by one (zeros after a short read).
    void Int32s(int32_t* values, size_t count);
    bool Bytes(void* data, size_t size)
    {
        if (m_ok && static_cast<size_t>(m_end - m_next) >= size) {
            if (size != 0)
                std::memcpy(data, m_next, size);
            m_next += size;
            return true;
        }
        return SlowBytes(data, size);
    }
    bool Skip(size_t count);
    // Reads `length` bytes and returns the text up to the first NUL.
    std::string FixedText(size_t length);
    LOGFONTA LogFont();

    // Bytes between the reader's position and the end of the file; INT64_MAX when the file cannot tell (a pipe).
    int64_t RemainingBytes() const;

    // Marks the stream as bad, for a reader that found a value it cannot accept (an absurd count, say).
    void Fail() { m_ok = false; }
    bool ok() const { return m_ok; }

private:
    static uint64_t GetLe(const unsigned char* bytes, int size)
    {
        uint64_t v = 0;
        // As in LeWriter::PutLe: the stored bytes are the value's own on a little-endian host.
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&v, bytes, static_cast<size_t>(size));
        } else {
            for (int i = 0; i < size; ++i)
                v |= static_cast<uint64_t>(bytes[i]) << (8 * i);
        }
        return v;
    }
    // From the file, or into the block first.
    bool SlowBytes(void* data, size_t size);

    FILE* m_file;
    std::unique_ptr<unsigned char[]> m_block;  // read ahead; null when the reader does not read ahead
    const unsigned char* m_next = nullptr;
    const unsigned char* m_end = nullptr;
    bool m_ok = true;
};
