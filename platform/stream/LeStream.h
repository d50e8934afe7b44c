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
#include <new>
#include <string>
#include <vector>

class VISTREL_EXPORT LeWriter
{
public:
    explicit LeWriter(FILE* file) : m_file(file) {}
    // Appends to the end of `buffer`; such a writer fails only when the buffer cannot grow.
    explicit LeWriter(std::vector<unsigned char>& buffer) : m_buffer(&buffer) {}

    void Int32(int32_t v) { UInt32(static_cast<uint32_t>(v)); }
    void UInt32(uint32_t v)
    {
        unsigned char bytes[4];
        for (int i = 0; i < 4; ++i)
            bytes[i] = static_cast<unsigned char>(v >> (8 * i));
        Bytes(bytes, 4);
    }
    void Float(float v) { UInt32(std::bit_cast<uint32_t>(v)); }
    void Double(double v)
    {
        const uint64_t bits = std::bit_cast<uint64_t>(v);
        unsigned char bytes[8];
        for (int i = 0; i < 8; ++i)
            bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
        Bytes(bytes, 8);
    }
    void Bytes(const void* data, size_t size)
    {
        if (m_buffer && m_ok) {
            const auto* bytes = static_cast<const unsigned char*>(data);
            try {
                m_buffer->insert(m_buffer->end(), bytes, bytes + size);
            } catch (const std::bad_alloc&) {
                m_ok = false;
            }
            return;
        }
        WriteToFile(data, size);
    }
    void Zeros(size_t count);
    // Exactly `length` bytes: the text, cut or padded with NULs.
    void FixedText(const std::string& text, size_t length);
    // 60 bytes in the Windows layout.
    void LogFont(const LOGFONTA& font);

    bool ok() const { return m_ok; }

private:
    void WriteToFile(const void* data, size_t size);

    FILE* m_file = nullptr;
    std::vector<unsigned char>* m_buffer = nullptr;
    bool m_ok = true;
};

class VISTREL_EXPORT LeReader
{
public:
    explicit LeReader(FILE* file) : m_file(file) {}

    int32_t Int32();
    uint32_t UInt32();
    float Float();
    double Double();
    bool Bytes(void* data, size_t size);
    bool Skip(size_t count);
    // Reads `length` bytes and returns the text up to the first NUL.
    std::string FixedText(size_t length);
    LOGFONTA LogFont();

    // Marks the stream as bad, for a reader that found a value it cannot accept (an absurd count, say).
    void Fail() { m_ok = false; }
    bool ok() const { return m_ok; }

private:
    FILE* m_file;
    bool m_ok = true;
};
