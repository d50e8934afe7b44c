// The report tables handed between the report pages and the exports: a rows x columns table of texts (UTF-8).
// The pages put the column titles in row 0. Reading outside the bounds gives an empty text; writing outside them
// is refused. A plain value: copy and move freely. Not thread-safe.
#pragma once

#include "types/VistrelExport.h"

#include <string>
#include <vector>

class VISTREL_EXPORT CSafeArray2D
{
public:
    CSafeArray2D() = default;
    // Every cell empty; negative sizes make an empty table.
    CSafeArray2D(int rows, int columns);

    // Drops the cells and makes a rows x columns table of empty texts.
    void Create(int rows, int columns);
    int GetRows() const { return m_rows; }
    int GetColumns() const { return m_columns; }
    bool IsEmpty() const { return m_rows == 0 || m_columns == 0; }

    const std::string& GetAt(int row, int column) const;
    // False (nothing stored) outside the bounds.
    bool SetAt(int row, int column, std::string text);

    bool operator==(const CSafeArray2D&) const = default;

private:
    int m_rows = 0;
    int m_columns = 0;
    std::vector<std::string> m_cells;  // row-major
};
