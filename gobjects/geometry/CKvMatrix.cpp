#include "gobjects/geometry/CKvMatrix.h"

#include "stream/LeStream.h"
#include "inifile/FileBytes.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

namespace {

// More elements than any matrix of this class is meant to hold; sizes from files are checked against it.
constexpr int64_t kMaxElements = int64_t{1} << 26;

void CheckSize(int rows, int columns)
{
    if (rows < 1 || columns < 1 || int64_t{rows} * columns > kMaxElements)
        throw MatrixError(CKvMatrix::kBadSize);
}

}  // namespace

CKvMatrix::CKvMatrix() : m_data(std::make_shared<std::vector<double>>(1, 0.0)) {}

CKvMatrix::CKvMatrix(int rows, int columns)
{
    CheckSize(rows, columns);
    m_rows = rows;
    m_columns = columns;
    m_data = std::make_shared<std::vector<double>>(static_cast<size_t>(rows) * static_cast<size_t>(columns), 0.0);
}

CKvMatrix::CKvMatrix(int n, bool identity) : CKvMatrix(n, n)
{
    if (identity)
        for (int i = 0; i < n; ++i)
            (*m_data)[Index(i, i)] = 1.0;
}

void CKvMatrix::CheckElement(int row, int column) const
{
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns)
        throw MatrixError(kSubMatrixOutside);
}

double CKvMatrix::GetElement(int row, int column) const
{
    CheckElement(row, column);
    return (*m_data)[Index(row, column)];
}

bool CKvMatrix::SetElement(int row, int column, double value)
{
    WritableElement(row, column) = value;
    return true;
}

double& CKvMatrix::WritableElement(int row, int column)
{
    CheckElement(row, column);
    Detach();
    return (*m_data)[Index(row, column)];
}

void CKvMatrix::Detach()
{
    if (m_data.use_count() > 1)
        m_data = std::make_shared<std::vector<double>>(*m_data);
}

void CKvMatrix::Assign(int rows, int columns, std::vector<double> data)
{
    m_rows = rows;
    m_columns = columns;
    // A fresh buffer: whoever shared the old one keeps it unchanged.
    m_data = std::make_shared<std::vector<double>>(std::move(data));
}

// ---- arithmetic

CKvMatrix CKvMatrix::operator+(const CKvMatrix& other) const
{
    CKvMatrix result = *this;
    result += other;
    return result;
}

CKvMatrix CKvMatrix::operator-(const CKvMatrix& other) const
{
    CKvMatrix result = *this;
    result -= other;
    return result;
}

CKvMatrix& CKvMatrix::operator+=(const CKvMatrix& other)
{
    if (m_rows != other.m_rows || m_columns != other.m_columns)
        throw MatrixError(kInvalidOperation);
    const std::vector<double> right = *other.m_data;  // other may share this buffer
    Detach();
    for (size_t i = 0; i < right.size(); ++i)
        (*m_data)[i] += right[i];
    return *this;
}

CKvMatrix& CKvMatrix::operator-=(const CKvMatrix& other)
{
    if (m_rows != other.m_rows || m_columns != other.m_columns)
        throw MatrixError(kInvalidOperation);
    const std::vector<double> right = *other.m_data;
    Detach();
    for (size_t i = 0; i < right.size(); ++i)
        (*m_data)[i] -= right[i];
    return *this;
}

CKvMatrix CKvMatrix::operator*(const CKvMatrix& other) const
{
    if (m_columns != other.m_rows)
        throw MatrixError(kNoCommonSize);
    CKvMatrix result(m_rows, other.m_columns);
    std::vector<double>& out = *result.m_data;
    for (int c = 0; c < other.m_columns; ++c)
        for (int k = 0; k < m_columns; ++k) {
            const double right = (*other.m_data)[other.Index(k, c)];
            for (int r = 0; r < m_rows; ++r)
                out[result.Index(r, c)] += (*m_data)[Index(r, k)] * right;
        }
    return result;
}

CKvMatrix& CKvMatrix::operator*=(const CKvMatrix& other)
{
    CKvMatrix product = *this * other;
    Assign(product.m_rows, product.m_columns, std::move(*product.m_data));
    return *this;
}

CKvMatrix CKvMatrix::operator*(double x) const
{
    CKvMatrix result = *this;
    result *= x;
    return result;
}

CKvMatrix& CKvMatrix::operator*=(double x)
{
    Detach();
    for (double& e : *m_data)
        e *= x;
    return *this;
}

CKvMatrix CKvMatrix::GetTransposed() const
{
    CKvMatrix result(m_columns, m_rows);
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c)
            (*result.m_data)[result.Index(c, r)] = (*m_data)[Index(r, c)];
    return result;
}

void CKvMatrix::Transpose()
{
    CKvMatrix t = GetTransposed();
    Assign(t.m_rows, t.m_columns, std::move(*t.m_data));
}

CKvMatrix CKvMatrix::TimesOwnTranspose() const
{
    return *this * GetTransposed();
}

CKvMatrix CKvMatrix::GetInverted() const
{
    CKvMatrix result = *this;
    result.Invert();
    return result;
}

void CKvMatrix::Invert()
{
    if (m_rows != m_columns)
        throw MatrixError(kMustBeSquare);
    Detach();
    const int n = m_rows;
    std::vector<double>& e = *m_data;
    for (int i = 0; i < n; ++i) {
        const double p = e[Index(i, i)];
        e[Index(i, i)] = 1.0;
        if (p == 0.0)
            throw MatrixError(kInversionError);
        for (int k = 0; k < n; ++k)
            e[Index(i, k)] *= 1.0 / p;
        for (int j = 0; j < n; ++j) {
            if (j == i)
                continue;
            const double f = e[Index(j, i)];
            e[Index(j, i)] = 0.0;
            for (int k = 0; k < n; ++k)
                e[Index(j, k)] -= f * e[Index(i, k)];
        }
    }
}

// ---- extraction and assembly

CKvMatrix CKvMatrix::GetSubMatrix(int firstRow, int firstColumn, int rows, int columns) const
{
    if (firstRow < 0 || firstColumn < 0 || rows < 1 || columns < 1 || int64_t{firstRow} + rows > m_rows ||
        int64_t{firstColumn} + columns > m_columns)
        throw MatrixError(kSubMatrixOutside);
    CKvMatrix result(rows, columns);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            (*result.m_data)[result.Index(r, c)] = (*m_data)[Index(firstRow + r, firstColumn + c)];
    return result;
}

void CKvMatrix::SetSubMatrix(int row, int column, const CKvMatrix& other)
{
    if (row < 0 || column < 0 || int64_t{row} + other.m_rows > m_rows || int64_t{column} + other.m_columns > m_columns)
        throw MatrixError(kSubMatrixOutside);
    const CKvMatrix source = other;  // keeps other's elements when it shares this buffer
    Detach();
    for (int c = 0; c < source.m_columns; ++c)
        for (int r = 0; r < source.m_rows; ++r)
            (*m_data)[Index(row + r, column + c)] = (*source.m_data)[source.Index(r, c)];
}

CKvMatrix CKvMatrix::GetDiagonal() const
{
    if (m_rows != m_columns)
        throw MatrixError(kDiagonalNotSquare);
    CKvMatrix result(m_rows, 1);
    for (int i = 0; i < m_rows; ++i)
        (*result.m_data)[static_cast<size_t>(i)] = (*m_data)[Index(i, i)];
    return result;
}

CKvMatrix CKvMatrix::GetAppendedRows(const CKvMatrix& other) const
{
    if (m_columns != other.m_columns)
        throw MatrixError(kCannotConcatenate);
    CKvMatrix result(m_rows + other.m_rows, m_columns);
    result.SetSubMatrix(0, 0, *this);
    result.SetSubMatrix(m_rows, 0, other);
    return result;
}

void CKvMatrix::AppendRows(const CKvMatrix& other)
{
    CKvMatrix joined = GetAppendedRows(other);
    Assign(joined.m_rows, joined.m_columns, std::move(*joined.m_data));
}

CKvMatrix CKvMatrix::GetAppendedColumns(const CKvMatrix& other) const
{
    if (m_rows != other.m_rows)
        throw MatrixError(kCannotConcatenate);
    CKvMatrix result(m_rows, m_columns + other.m_columns);
    result.SetSubMatrix(0, 0, *this);
    result.SetSubMatrix(0, m_columns, other);
    return result;
}

void CKvMatrix::AppendColumns(const CKvMatrix& other)
{
    CKvMatrix joined = GetAppendedColumns(other);
    Assign(joined.m_rows, joined.m_columns, std::move(*joined.m_data));
}

void CKvMatrix::AddRow(std::span<const double> values)
{
    CKvMatrix row(1, m_columns);
    for (int c = 0; c < m_columns && static_cast<size_t>(c) < values.size(); ++c)
        (*row.m_data)[static_cast<size_t>(c)] = values[static_cast<size_t>(c)];
    AppendRows(row);
}

void CKvMatrix::AddColumn(std::span<const double> values)
{
    CKvMatrix column(m_rows, 1);
    for (int r = 0; r < m_rows && static_cast<size_t>(r) < values.size(); ++r)
        (*column.m_data)[static_cast<size_t>(r)] = values[static_cast<size_t>(r)];
    AppendColumns(column);
}

CKvMatrix CKvMatrix::GetSquare() const
{
    const int n = std::min(m_rows, m_columns);
    const int rowStep = m_rows / n;
    const int columnStep = m_columns / n;
    CKvMatrix result(n, n);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            (*result.m_data)[result.Index(i, j)] = (*m_data)[Index(i * rowStep, j * columnStep)];
    return result;
}

void CKvMatrix::MakeSquare()
{
    CKvMatrix square = GetSquare();
    Assign(square.m_rows, square.m_columns, std::move(*square.m_data));
}

// ---- statistics

void CKvMatrix::GetMinMax(double& min, double& max) const
{
    const auto [lo, hi] = std::minmax_element(m_data->begin(), m_data->end());
    min = *lo;
    max = *hi;
}

double CKvMatrix::GetRowSum(int row) const
{
    CheckElement(row, 0);
    double sum = 0.0;
    for (int c = 0; c < m_columns; ++c)
        sum += (*m_data)[Index(row, c)];
    return sum;
}

double CKvMatrix::GetColumnSum(int column) const
{
    CheckElement(0, column);
    double sum = 0.0;
    for (int r = 0; r < m_rows; ++r)
        sum += (*m_data)[Index(r, column)];
    return sum;
}

double CKvMatrix::GetRowSumSquared(int row) const
{
    const double sum = GetRowSum(row);
    return sum * sum;
}

double CKvMatrix::GetColumnSumSquared(int column) const
{
    const double sum = GetColumnSum(column);
    return sum * sum;
}

void CKvMatrix::GetRowMinMax(int row, double& min, double& max) const
{
    CheckElement(row, 0);
    min = max = (*m_data)[Index(row, 0)];
    for (int c = 1; c < m_columns; ++c) {
        min = std::min(min, (*m_data)[Index(row, c)]);
        max = std::max(max, (*m_data)[Index(row, c)]);
    }
}

void CKvMatrix::GetColumnMinMax(int column, double& min, double& max) const
{
    CheckElement(0, column);
    min = max = (*m_data)[Index(0, column)];
    for (int r = 1; r < m_rows; ++r) {
        min = std::min(min, (*m_data)[Index(r, column)]);
        max = std::max(max, (*m_data)[Index(r, column)]);
    }
}

bool CKvMatrix::operator==(const CKvMatrix& other) const
{
    if (this == &other || m_data == other.m_data)
        return true;
    return m_rows == other.m_rows && m_columns == other.m_columns &&
           std::memcmp(m_data->data(), other.m_data->data(), m_data->size() * sizeof(double)) == 0;
}

CKvMatrix CKvMatrix::GetRescaled(double a, double b) const
{
    CKvMatrix result = *this;
    result.Rescale(a, b);
    return result;
}

void CKvMatrix::Rescale(double a, double b)
{
    double min = 0.0;
    double max = 0.0;
    GetMinMax(min, max);
    Detach();
    // A constant matrix has no range to map: every element takes the lower end rather than 0 / 0.
    const double range = max - min;
    for (double& e : *m_data)
        e = range == 0.0 ? a : a + (e - min) / range * (b - a);
}

// ---- text

std::string CKvMatrix::ColumnText(int column) const
{
    CheckElement(0, column);
    std::string text;
    char value[64];
    for (int r = 0; r < m_rows; ++r) {
        std::snprintf(value, sizeof value, "%e", (*m_data)[Index(r, column)]);
        if (r)
            text += ',';
        text += value;
    }
    return text;
}

std::string CKvMatrix::AllColumnsText() const
{
    std::string text;
    for (int c = 0; c < m_columns; ++c)
        text += ColumnText(c) + "\r\n";
    return text;
}

bool CKvMatrix::CopyToClipboard() const
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(QString::fromLatin1(AllColumnsText().c_str()));
    return true;
}

bool CKvMatrix::WriteTextFile(const std::string& path) const
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    const std::string text = AllColumnsText();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out);
}

CKvMatrix CKvMatrix::ReadTextFile(const std::string& path)
{
    std::string text;
    if (!ReadFileBytes(path, text))
        return CKvMatrix();
    return FromText(text);
}

CKvMatrix CKvMatrix::FromText(const std::string& text)
{
    std::vector<std::vector<double>> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(pos, end - pos);
        // A line ends at CR or LF; the other character of a CR LF or LF CR pair goes with it.
        pos = end + 1;
        if (end < text.size() && pos < text.size() && (text[pos] == '\r' || text[pos] == '\n') &&
            text[pos] != text[end])
            ++pos;
        std::vector<double> values;
        size_t field = line.find_first_not_of(',');
        while (field != std::string::npos && field < line.size()) {
            size_t comma = line.find(',', field);
            if (comma == std::string::npos)
                comma = line.size();
            values.push_back(std::atof(line.substr(field, comma - field).c_str()));
            field = comma + 1;
        }
        if (lines.empty() && values.empty())
            continue;
        lines.push_back(std::move(values));
    }
    if (lines.empty() || lines.front().empty())
        return CKvMatrix();
    const int rows = static_cast<int>(std::min<size_t>(lines.front().size(), kMaxElements));
    const int64_t columns = std::min<int64_t>(static_cast<int64_t>(lines.size()), kMaxElements / rows);
    CKvMatrix result(rows, static_cast<int>(columns));
    for (int c = 0; c < columns; ++c) {
        const std::vector<double>& values = lines[static_cast<size_t>(c)];
        // Lines of other lengths than the first are padded with 0 or cut, never read beyond.
        for (int r = 0; r < rows && static_cast<size_t>(r) < values.size(); ++r)
            (*result.m_data)[result.Index(r, c)] = values[static_cast<size_t>(r)];
    }
    return result;
}

// ---- archive

void CKvMatrix::Store(LeWriter& out) const
{
    out.UInt32(kMagic1);
    out.UInt32(kMagic2);
    out.UInt32(kVersion);
    out.Int32(m_rows);
    out.Int32(m_columns);
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c)
            out.Double((*m_data)[Index(r, c)]);
}

void CKvMatrix::Load(LeReader& in, int64_t remaining)
{
    const uint32_t magic1 = in.UInt32();
    const uint32_t magic2 = in.UInt32();
    if (!in.ok())
        throw MatrixArchiveError(MatrixArchiveError::kEndOfFile, "Unexpected end of matrix record");
    if (magic1 != kMagic1 || magic2 != kMagic2)
        throw MatrixArchiveError(MatrixArchiveError::kBadClass, "Not a matrix record");
    in.UInt32();  // the version is not used
    const int32_t rows = in.Int32();
    const int32_t columns = in.Int32();
    if (!in.ok())
        throw MatrixArchiveError(MatrixArchiveError::kEndOfFile, "Unexpected end of matrix record");
    const int64_t elementBytes = int64_t{8} * rows * columns;
    if (rows < 1 || columns < 1 || int64_t{rows} * columns > kMaxElements || elementBytes > remaining - 20)
        throw MatrixArchiveError(MatrixArchiveError::kBadIndex, "Bad matrix size");
    CKvMatrix loaded(rows, columns);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            (*loaded.m_data)[loaded.Index(r, c)] = in.Double();
    if (!in.ok())
        throw MatrixArchiveError(MatrixArchiveError::kEndOfFile, "Unexpected end of matrix record");
    *this = loaded;
}
