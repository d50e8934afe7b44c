#include "reportlib/CSafeArray2D.h"

CSafeArray2D::CSafeArray2D(int rows, int columns)
{
    Create(rows, columns);
}

void CSafeArray2D::Create(int rows, int columns)
{
    if (rows <= 0 || columns <= 0)
        rows = columns = 0;
    m_rows = rows;
    m_columns = columns;
    m_cells.assign(static_cast<size_t>(rows) * static_cast<size_t>(columns), std::string());
}

const std::string& CSafeArray2D::GetAt(int row, int column) const
{
    static const std::string kEmpty;
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns)
        return kEmpty;
    return m_cells[static_cast<size_t>(row) * static_cast<size_t>(m_columns) + static_cast<size_t>(column)];
}

bool CSafeArray2D::SetAt(int row, int column, std::string text)
{
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns)
        return false;
    m_cells[static_cast<size_t>(row) * static_cast<size_t>(m_columns) + static_cast<size_t>(column)] = std::move(text);
    return true;
}
