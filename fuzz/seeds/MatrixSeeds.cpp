// Seeds of the matrix archive record, written by the matrix itself: a single element, a column, a row and a
// square holding values whose bytes differ in every position.
#include "FuzzSeeds.h"

#include "gobjects/geometry/CKvMatrix.h"
#include "stream/LeStream.h"

namespace {

std::vector<uint8_t> Record(const CKvMatrix& matrix)
{
    std::vector<unsigned char> bytes;
    {
        LeWriter out(bytes);
        matrix.Store(out);
    }
    return bytes;
}

}  // namespace

VISTREL_FUZZ_SEEDS(matrix_record)
{
    CKvMatrix square(3, 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            square.SetElement(r, c, (r - 1) * 1.5e3 + c * 0.125 - 1.0 / 3.0);
    CKvMatrix column(4, 1);
    CKvMatrix row(1, 5);
    for (int i = 0; i < 4; ++i)
        column.SetElement(i, 0, -i * 2.5);
    for (int i = 0; i < 5; ++i)
        row.SetElement(0, i, i * 1e-7);
    return {Record(CKvMatrix()), Record(column), Record(row), Record(square), Record(CKvMatrix(2, true))};
}
