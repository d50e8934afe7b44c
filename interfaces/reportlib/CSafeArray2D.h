// A two-dimensional table of texts, the shape in which a report page is handed to the exports: rows by columns,
// every element a UTF-8 string (empty until set). Row 0 holds the column titles by convention of the caller.
// Bounds are zero-based; an element outside them reads as empty and is not written. Not thread-safe.
#pragma once

#include "types/VistrelExport.h"

#include <string>
#include <vector>

class VISTREL_EXPORT CSafeArray2D
{
public:
    CSafeArray2D() = default;

    // Makes a rows x columns table of empty texts (negative counts make an empty table).
    void Create(int rows, int columns);
    void Destroy() { Create(0, 0); }
    bool IsEmpty() const { return m_rows == 0 || m_columns == 0; }
    // Element counts of dimension 1 (rows) and 2 (columns); GetUBound is the count minus one.
    int GetRowCount() const { return m_rows; }
    int GetColumnCount() const { return m_columns; }
    int GetUBound(int dimension) const { return (dimension == 1 ? m_rows : m_columns) - 1; }

    bool PutElement(int row, int column, const std::string& text);
    std::string GetElement(int row, int column) const;

private:
    int m_rows = 0;
    int m_columns = 0;
    std::vector<std::string> m_cells;
};
