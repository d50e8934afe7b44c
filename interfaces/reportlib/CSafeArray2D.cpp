#include "reportlib/CSafeArray2D.h"

void CSafeArray2D::Create(int rows, int columns)
{
    if (rows <= 0 || columns <= 0)
        rows = columns = 0;
    m_rows = rows;
    m_columns = columns;
    m_cells.assign(static_cast<size_t>(rows) * static_cast<size_t>(columns), std::string());
}

bool CSafeArray2D::PutElement(int row, int column, const std::string& text)
{
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns)
        return false;
    m_cells[static_cast<size_t>(row) * static_cast<size_t>(m_columns) + static_cast<size_t>(column)] = text;
    return true;
}

std::string CSafeArray2D::GetElement(int row, int column) const
{
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns)
        return std::string();
    return m_cells[static_cast<size_t>(row) * static_cast<size_t>(m_columns) + static_cast<size_t>(column)];
}
