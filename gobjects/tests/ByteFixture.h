// Byte fixtures for stored formats: little-endian values placed at offsets or appended, and a temporary C stream
// to write records into and read them back from.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

struct Bytes
{
    std::vector<uint8_t> data;

    explicit Bytes(size_t size = 0) : data(size, 0) {}

    void Put32(size_t offset, uint32_t v)
    {
        if (data.size() < offset + 4)
            data.resize(offset + 4);
        for (int i = 0; i < 4; ++i)
            data[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    void PutFloat(size_t offset, float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        Put32(offset, bits);
    }
    void PutDouble(size_t offset, double v)
    {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        Put32(offset, static_cast<uint32_t>(bits));
        Put32(offset + 4, static_cast<uint32_t>(bits >> 32));
    }
    void PutText(size_t offset, const std::string& text)
    {
        if (data.size() < offset + text.size())
            data.resize(offset + text.size());
        std::memcpy(data.data() + offset, text.data(), text.size());
    }

    void Add32(uint32_t v) { Put32(data.size(), v); }
    void AddFloat(float v) { PutFloat(data.size(), v); }
    void AddText(const std::string& text) { PutText(data.size(), text); }
    void Add(const std::vector<uint8_t>& bytes) { data.insert(data.end(), bytes.begin(), bytes.end()); }
};

class TempStream
{
public:
    TempStream() : m_file(std::tmpfile()) {}
    explicit TempStream(const std::vector<uint8_t>& contents) : TempStream()
    {
        if (!contents.empty())
            std::fwrite(contents.data(), 1, contents.size(), m_file);
        std::rewind(m_file);
    }
    ~TempStream() { std::fclose(m_file); }
    TempStream(const TempStream&) = delete;
    TempStream& operator=(const TempStream&) = delete;

    FILE* file() const { return m_file; }
    long Position() const { return std::ftell(m_file); }
    bool AtEnd() const { return std::fgetc(m_file) == EOF; }

    // Everything written so far; the stream is rewound for reading.
    std::vector<uint8_t> Contents() const
    {
        std::vector<uint8_t> bytes;
        std::rewind(m_file);
        for (int c; (c = std::fgetc(m_file)) != EOF;)
            bytes.push_back(static_cast<uint8_t>(c));
        std::rewind(m_file);
        return bytes;
    }

private:
    FILE* m_file;
};
