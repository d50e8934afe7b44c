// Little-endian field I/O over a C stream, for every stored format of the system. Records are written field by
// field, never as a memory image. Both classes keep a sticky failure flag: after the first short read or failed
// write every later call does nothing (reads give 0), so a reader can take a whole record and check ok() once.
// Not thread-safe; the FILE* is not owned.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinRecords.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class VISTREL_EXPORT LeWriter
{
public:
    explicit LeWriter(FILE* file) : m_file(file) {}

    void Int32(int32_t v);
    void UInt32(uint32_t v);
    void Float(float v);
    void Double(double v);
    void Bytes(const void* data, size_t size);
    void Zeros(size_t count);
    // Exactly `length` bytes: the text, cut or padded with NULs.
    void FixedText(const std::string& text, size_t length);
    // 60 bytes in the Windows layout.
    void LogFont(const LOGFONTA& font);

    bool ok() const { return m_ok; }

private:
    FILE* m_file;
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
