#include "sieva/FilterKernelFile.h"
#include "inifile/FileBytes.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

void PutInt32(std::vector<unsigned char>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

uint32_t GetUint32(const unsigned char* at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

}  // namespace

bool CFilterKernel::Set(int columns, int rows, const float* values)
{
    if (columns < 1 || rows < 1 || columns > kMaxSide || rows > kMaxSide || !values)
        return false;
    m_columns = columns;
    m_rows = rows;
    m_values.assign(values, values + static_cast<size_t>(columns) * rows);
    return true;
}

bool CFilterKernel::Parse(const unsigned char* data, size_t size)
{
    if (!data || size < 8)
        return false;
    const int32_t columns = static_cast<int32_t>(GetUint32(data));
    const int32_t rows = static_cast<int32_t>(GetUint32(data + 4));
    if (columns < 1 || rows < 1 || columns > kMaxSide || rows > kMaxSide)
        return false;
    const size_t count = static_cast<size_t>(columns) * static_cast<size_t>(rows);
    if (size != 8 + 4 * count)
        return false;
    std::vector<float> values(count);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t bits = GetUint32(data + 8 + 4 * i);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value))
            return false;
        values[i] = value;
    }
    m_columns = columns;
    m_rows = rows;
    m_values = std::move(values);
    return true;
}

int CFilterKernel::Load(const std::string& path)
{
    // A regular file only (a FIFO would stop the program), and none longer than the largest kernel file.
    constexpr size_t kLargest = 8 + 4 * kMaxSide * kMaxSide;
    std::string bytes;
    if (!ReadFileBytes(path, bytes, kLargest))
        return 0;
    return Parse(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) ? 1 : 0;
}

std::vector<unsigned char> CFilterKernel::Bytes() const
{
    std::vector<unsigned char> out;
    PutInt32(out, static_cast<uint32_t>(m_columns));
    PutInt32(out, static_cast<uint32_t>(m_rows));
    for (float value : m_values) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        PutInt32(out, bits);
    }
    return out;
}

int CFilterKernel::Save(const std::string& path) const
{
    if (m_values.empty())
        return 0;
    const std::vector<unsigned char> bytes = Bytes();
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out || !out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
            return 0;
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return 0;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return 0;
    }
    return 1;
}
