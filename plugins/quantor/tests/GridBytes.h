// Builds little-endian files field by field for the grid file tests and seeds.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace quantor_test {

struct Bytes {
    std::vector<uint8_t> data;

    Bytes& I32(int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
        return *this;
    }
    Bytes& I16(int16_t v)
    {
        data.push_back(static_cast<uint8_t>(v));
        data.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
        return *this;
    }
    Bytes& F32(float v)
    {
        int32_t bits;
        std::memcpy(&bits, &v, 4);
        return I32(bits);
    }
    Bytes& F64(double v)
    {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        for (int i = 0; i < 8; ++i)
            data.push_back(static_cast<uint8_t>(bits >> (8 * i)));
        return *this;
    }
    Bytes& Text(const std::string& text, size_t width)
    {
        std::string field = text;
        field.resize(width, '\0');
        data.insert(data.end(), field.begin(), field.end());
        return *this;
    }
};

// A multi-grid file: m grids of nx x ny nodes at x = 10 i, y = 100 j; entry k of node (i, j) is i + j + k.
inline std::vector<uint8_t> MultiGridFile(char letter, int m, int nx, int ny)
{
    Bytes b;
    b.I32(m);
    for (int k = 0; k < m; ++k)
        b.Text("grid" + std::to_string(k) + "\r\njunk", 32);
    b.I32(nx).I32(ny);
    const int extra = letter == 'D' ? 1 : 0;
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            b.F32(10.0f * i).F32(100.0f * j);
            for (int k = 0; k < m + extra; ++k)
                b.F32(static_cast<float>(i + j + k));
        }
    return b.data;
}

// A volume file: node (x, y, z) at (x, 2 y, 5 z); value k is x + y + z + k.
inline std::vector<uint8_t> VolumeFile(char letter, int m, int nx, int ny, int nz)
{
    Bytes b;
    b.I32(m);
    for (int k = 0; k < m; ++k)
        b.Text("vol" + std::to_string(k), 32);
    b.I32(nx).I32(ny).I32(nz);
    const int values = letter == 'F' ? m - 1 : m;
    for (int z = 0; z < nz; ++z)
        for (int y = 0; y < ny; ++y)
            for (int x = 0; x < nx; ++x) {
                b.F32(static_cast<float>(x)).F32(2.0f * y).F32(5.0f * z);
                for (int k = 0; k < values; ++k)
                    b.F32(static_cast<float>(x + y + z + k));
            }
    return b.data;
}

inline std::vector<uint8_t> SurferBinaryFile(int16_t nx, int16_t ny)
{
    Bytes b;
    b.Text("DSBB", 4).I16(nx).I16(ny);
    for (double v : {0.0, 9.0, 0.0, 9.0, 10.0, 20.0})
        b.F64(v);
    for (int i = 0; i < nx * ny; ++i)
        b.F32(10.0f + static_cast<float>(i));
    return b.data;
}

}  // namespace quantor_test
