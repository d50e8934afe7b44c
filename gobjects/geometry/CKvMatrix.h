// A dense matrix of doubles with value semantics: copies share one buffer until one of them is written (every
// writing operation detaches first, so a copy never changes behind its holder's back). Element (r, c) is stored
// column-major at r + c * rows. Size and shape violations throw MatrixError carrying the class's own message text
// before anything changes; only the in-place inversion, meeting an exactly zero pivot, throws after its earlier
// steps changed the matrix (GetInverted works on a copy). Not thread-safe: one thread at a time per buffer.
#pragma once

#include "types/VistrelExport.h"

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

class LeReader;
class LeWriter;

// The exception every size, shape and inversion error of CKvMatrix throws; what() is the message text.
struct VISTREL_EXPORT MatrixError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// A stored matrix record that cannot be read; cause as the archive causes (kBadClass for a wrong magic).
struct VISTREL_EXPORT MatrixArchiveError : std::runtime_error
{
    static constexpr int kEndOfFile = 3;
    static constexpr int kBadIndex = 5;
    static constexpr int kBadClass = 6;
    MatrixArchiveError(int cause, const char* text) : std::runtime_error(text), cause(cause) {}
    int cause;
};

class VISTREL_EXPORT CKvMatrix
{
public:
    // The message texts, as the class reports them.
    static constexpr const char* kInvalidOperation = "Invalid operation";
    static constexpr const char* kNoCommonSize = "Matrices do not have common size";
    static constexpr const char* kMustBeSquare = "Matrix must be square.";
    static constexpr const char* kInversionError = "Matrix inversion error";
    static constexpr const char* kSubMatrixOutside = "Sub matrix is not contained in source";
    static constexpr const char* kDiagonalNotSquare = "Can only extract diagonal from square matrix";
    static constexpr const char* kCannotConcatenate = "Cannot concatenate matrices, not same size";
    static constexpr const char* kBadSize = "Invalid matrix size";

    // The archive record's two magic words and version.
    static constexpr uint32_t kMagic1 = 0x434D6174;
    static constexpr uint32_t kMagic2 = 0x72697843;
    static constexpr uint32_t kVersion = 1;

    // 1 x 1 holding 0.
    CKvMatrix();
    // rows x columns zero-filled; a count below 1 throws kBadSize.
    CKvMatrix(int rows, int columns);
    // n x n zero-filled, with 1.0 on the diagonal when identity is set.
    CKvMatrix(int n, bool identity);
    CKvMatrix(const CKvMatrix&) = default;
    CKvMatrix& operator=(const CKvMatrix&) = default;

    int GetNumRows() const { return m_rows; }
    int GetNumColumns() const { return m_columns; }
    // Elements outside the matrix throw kSubMatrixOutside.
    double GetElement(int row, int column) const;
    bool SetElement(int row, int column, double value);
    // Whether two matrices share one buffer (copies not written since).
    bool SharesStorageWith(const CKvMatrix& other) const { return m_data == other.m_data; }

    // One row or column as a proxy giving element access by the other index; writes detach like SetElement.
    class RowProxy
    {
    public:
        RowProxy(CKvMatrix& m, int row) : m_matrix(m), m_row(row) {}
        double operator[](int column) const { return m_matrix.GetElement(m_row, column); }
        double& operator[](int column) { return m_matrix.WritableElement(m_row, column); }

    private:
        CKvMatrix& m_matrix;
        int m_row;
    };
    RowProxy operator[](int row) { return RowProxy(*this, row); }
    double operator()(int row, int column) const { return GetElement(row, column); }

    // Arithmetic.
    CKvMatrix operator+(const CKvMatrix& other) const;
    CKvMatrix operator-(const CKvMatrix& other) const;
    CKvMatrix& operator+=(const CKvMatrix& other);
    CKvMatrix& operator-=(const CKvMatrix& other);
    CKvMatrix operator*(const CKvMatrix& other) const;
    CKvMatrix& operator*=(const CKvMatrix& other);
    CKvMatrix operator*(double x) const;
    friend CKvMatrix operator*(double x, const CKvMatrix& m) { return m * x; }
    CKvMatrix& operator*=(double x);
    CKvMatrix GetTransposed() const;
    void Transpose();
    // this * transpose(this).
    CKvMatrix TimesOwnTranspose() const;
    CKvMatrix GetInverted() const;
    // Gauss-Jordan without row exchanges; see the class comment for what a zero pivot leaves.
    void Invert();

    // Extraction and assembly.
    CKvMatrix GetSubMatrix(int firstRow, int firstColumn, int rows, int columns) const;
    // Copies `other` into this matrix from (row, column); a block that does not fit throws kSubMatrixOutside.
    void SetSubMatrix(int row, int column, const CKvMatrix& other);
    CKvMatrix GetDiagonal() const;
    void AppendRows(const CKvMatrix& other);
    CKvMatrix GetAppendedRows(const CKvMatrix& other) const;
    void AppendColumns(const CKvMatrix& other);
    CKvMatrix GetAppendedColumns(const CKvMatrix& other) const;
    // One more row / column from `values`: missing values are 0, surplus ones ignored.
    void AddRow(std::span<const double> values);
    void AddColumn(std::span<const double> values);
    // n = min(rows, columns); element (i, j) of the result = element (i * (rows / n), j * (columns / n)).
    void MakeSquare();
    CKvMatrix GetSquare() const;

    // Statistics.
    void GetMinMax(double& min, double& max) const;
    double GetRowSum(int row) const;
    double GetColumnSum(int column) const;
    double GetRowSumSquared(int row) const;  // the square of the sum
    double GetColumnSumSquared(int column) const;
    void GetRowMinMax(int row, double& min, double& max) const;
    void GetColumnMinMax(int column, double& min, double& max) const;
    bool operator==(const CKvMatrix& other) const;
    bool operator!=(const CKvMatrix& other) const { return !(*this == other); }
    // Every element e becomes a + (e - min) / (max - min) * (b - a); a constant matrix becomes all a.
    void Rescale(double a, double b);
    CKvMatrix GetRescaled(double a, double b) const;

    // Text: one column's elements from row 0 down, "%e" each, joined by ",".
    std::string ColumnText(int column) const;
    // Every column's text followed by "\r\n".
    std::string AllColumnsText() const;
    // Puts AllColumnsText on the clipboard as plain text; false without a clipboard (no application).
    bool CopyToClipboard() const;
    // Writes AllColumnsText to a new file; false when it cannot be written (nothing is thrown).
    bool WriteTextFile(const std::string& path) const;
    // Reads the text form: the first line's value count is the row count, every line a column (short lines are
    // padded with 0, long ones cut). A file that cannot be read, or that holds no value, gives the 1 x 1 zero
    // matrix.
    static CKvMatrix ReadTextFile(const std::string& path);
    static CKvMatrix FromText(const std::string& text);

    // The archive record: magic, magic, version, rows, columns, then the elements row by row.
    void Store(LeWriter& out) const;
    // Throws MatrixArchiveError; the matrix is unchanged then. `remaining`: the bytes from the record's start to
    // the end of its file, which bound the size a record may claim before anything is allocated.
    void Load(LeReader& in, int64_t remaining);

private:
    size_t Index(int row, int column) const
    {
        return static_cast<size_t>(row) + static_cast<size_t>(column) * static_cast<size_t>(m_rows);
    }
    double& WritableElement(int row, int column);
    void CheckElement(int row, int column) const;
    // Makes the buffer this matrix's own before a write.
    void Detach();
    void Assign(int rows, int columns, std::vector<double> data);

    int m_rows = 1;
    int m_columns = 1;
    std::shared_ptr<std::vector<double>> m_data;
};
