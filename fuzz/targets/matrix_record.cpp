// The matrix archive record: a record that reads writes back to the same bytes and reads again to an equal matrix;
// a bad one throws the archive error and nothing else.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "gobjects/geometry/CKvMatrix.h"
#include "stream/LeStream.h"

#include <algorithm>

VISTREL_FUZZ_TARGET(matrix_record)
{
    CKvMatrix matrix;
    FuzzInput in(data, size);
    try {
        LeReader reader(in.file());
        matrix.Load(reader, static_cast<int64_t>(size));
    } catch (const MatrixArchiveError&) {
        FuzzCheck(matrix.GetNumRows() == 1 && matrix.GetNumColumns() == 1 && matrix(0, 0) == 0.0,
                  "a record that fails leaves the matrix unchanged");
        return 0;
    }
    std::vector<unsigned char> bytes;
    {
        LeWriter writer(bytes);
        matrix.Store(writer);
    }
    FuzzCheck(bytes.size() == 20 + 8 * static_cast<size_t>(matrix.GetNumRows()) * matrix.GetNumColumns(),
              "the record holds its header and every element");
    FuzzCheck(bytes.size() <= size && std::equal(bytes.begin() + 12, bytes.end(), data + 12),
              "a matrix that was read writes back its own elements");
    CKvMatrix again;
    FuzzInput back(bytes.data(), bytes.size());
    LeReader reader(back.file());
    again.Load(reader, static_cast<int64_t>(bytes.size()));
    FuzzCheck(again.GetNumRows() == matrix.GetNumRows() && again.GetNumColumns() == matrix.GetNumColumns(),
              "what the matrix wrote reads back at its size");
    return 0;
}
