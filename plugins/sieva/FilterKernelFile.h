// Kernel files (".flt"), little-endian, no header: int32 column count, int32 row count, then rows x columns float32
// values, row 0 first, each row left to right; 8 + 4 x rows x columns bytes.
//
// Our limits, where a file from outside could be anything: both counts 1..11 (the kernels the page edits), the
// file exactly as long as its counts say, every value a finite number. Anything else is refused as a whole.
#pragma once

#include <string>
#include <vector>

class CFilterKernel
{
public:
    static constexpr int kMaxSide = 11;

    // Copies the values (columns x rows, row by row); false (kernel unchanged) for counts outside 1..11.
    bool Set(int columns, int rows, const float* values);
    int GetColumns() const { return m_columns; }
    int GetRows() const { return m_rows; }
    const std::vector<float>& GetValues() const { return m_values; }

    // Reads a kernel file: 1, or 0 when it cannot be opened or is refused (the kernel unchanged then).
    int Load(const std::string& path);
    // Reads a kernel file's bytes: false (kernel unchanged) when they break the rules above.
    bool Parse(const unsigned char* data, size_t size);
    // Writes the kernel in one piece through a temporary file: 1, or 0 when the file cannot be written (or the
    // kernel is empty).
    int Save(const std::string& path) const;
    // The file's bytes for this kernel.
    std::vector<unsigned char> Bytes() const;

private:
    int m_columns = 0;
    int m_rows = 0;
    std::vector<float> m_values;
};
