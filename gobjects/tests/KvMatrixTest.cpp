#include "gobjects/geometry/CKvMatrix.h"

#include "ByteFixture.h"

#include "stream/LeStream.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

CKvMatrix Make(int rows, int columns, std::vector<double> rowMajor)
{
    CKvMatrix m(rows, columns);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            m.SetElement(r, c, rowMajor[static_cast<size_t>(r * columns + c)]);
    return m;
}

std::string ErrorOf(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const MatrixError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(KvMatrix, ConstructionDefaultsAndIdentity)
{
    const CKvMatrix one;
    EXPECT_EQ(one.GetNumRows(), 1);
    EXPECT_EQ(one.GetNumColumns(), 1);
    EXPECT_EQ(one.GetElement(0, 0), 0.0);
    const CKvMatrix identity(3, true);
    EXPECT_EQ(identity.GetElement(1, 1), 1.0);
    EXPECT_EQ(identity.GetElement(1, 2), 0.0);
    EXPECT_EQ(CKvMatrix(3, false).GetElement(2, 2), 0.0);
}

// Every writing operation, applied to one of two copies, leaves the other as it was.
TEST(KvMatrix, EveryInPlaceOperationDetachesSharedStorage)
{
    const CKvMatrix original = Make(2, 2, {1, 2, 3, 4});
    const std::vector<std::pair<const char*, std::function<void(CKvMatrix&)>>> writes = {
        {"SetElement", [](CKvMatrix& m) { m.SetElement(0, 0, 9); }},
        {"proxy", [](CKvMatrix& m) { m[1][0] = 9; }},
        {"+=", [](CKvMatrix& m) { m += m; }},
        {"-=", [](CKvMatrix& m) { m -= CKvMatrix(2, true); }},
        {"*= matrix", [](CKvMatrix& m) { m *= m; }},
        {"*= scalar", [](CKvMatrix& m) { m *= 3.0; }},
        {"transpose", [](CKvMatrix& m) { m.Transpose(); }},
        {"invert", [](CKvMatrix& m) { m.Invert(); }},
        {"rescale", [](CKvMatrix& m) { m.Rescale(-1, 1); }},
        {"place", [](CKvMatrix& m) { m.SetSubMatrix(1, 1, CKvMatrix(1, 1)); }},
        {"append rows", [](CKvMatrix& m) { m.AppendRows(m); }},
        {"add column", [](CKvMatrix& m) { m.AddColumn(std::vector<double>{5, 6}); }},
        {"square", [](CKvMatrix& m) { m.AddRow(std::vector<double>{7, 8}); m.MakeSquare(); }},
    };
    for (const auto& [name, write] : writes) {
        CKvMatrix copy = original;
        CKvMatrix shared = original;
        ASSERT_TRUE(shared.SharesStorageWith(original));
        write(shared);
        EXPECT_EQ(copy, Make(2, 2, {1, 2, 3, 4})) << name;
        EXPECT_EQ(original.GetElement(0, 1), 2.0) << name;
    }
}

TEST(KvMatrix, ProductTransposeAndArithmetic)
{
    const CKvMatrix a = Make(2, 3, {1, 2, 3, 4, 5, 6});
    const CKvMatrix b = Make(3, 2, {7, 8, 9, 10, 11, 12});
    EXPECT_EQ(a * b, Make(2, 2, {58, 64, 139, 154}));
    EXPECT_EQ(a.GetTransposed(), Make(3, 2, {1, 4, 2, 5, 3, 6}));
    EXPECT_EQ(a.TimesOwnTranspose(), Make(2, 2, {14, 32, 32, 77}));
    EXPECT_EQ(a + a, a * 2.0);
    EXPECT_EQ(0.5 * (a - a), CKvMatrix(2, 3));
    EXPECT_EQ((CKvMatrix(2, 3) * CKvMatrix(3, 4)).GetNumColumns(), 4);
}

TEST(KvMatrix, SizeErrorsCarryTheirTextsAndChangeNothing)
{
    CKvMatrix a = Make(2, 3, {1, 2, 3, 4, 5, 6});
    const CKvMatrix before = a;
    const struct
    {
        std::function<void()> operation;
        const char* text;
    } cases[] = {
        {[&] { (void)(a * a); }, CKvMatrix::kNoCommonSize},
        {[&] { a *= a; }, CKvMatrix::kNoCommonSize},
        {[&] { a += CKvMatrix(3, 2); }, CKvMatrix::kInvalidOperation},
        {[&] { (void)(a - CKvMatrix(2, 2)); }, CKvMatrix::kInvalidOperation},
        {[&] { a.AppendRows(CKvMatrix(1, 2)); }, CKvMatrix::kCannotConcatenate},
        {[&] { a.AppendColumns(CKvMatrix(3, 1)); }, CKvMatrix::kCannotConcatenate},
        {[&] { (void)a.GetSubMatrix(1, 1, 2, 2); }, CKvMatrix::kSubMatrixOutside},
        {[&] { (void)a.GetDiagonal(); }, CKvMatrix::kDiagonalNotSquare},
        {[&] { a.Invert(); }, CKvMatrix::kMustBeSquare},
        // Placing a block that does not fit would write past the buffer.
        {[&] { a.SetSubMatrix(1, 2, CKvMatrix(2, 2)); }, CKvMatrix::kSubMatrixOutside},
        {[&] { a.SetSubMatrix(-1, 0, CKvMatrix(1, 1)); }, CKvMatrix::kSubMatrixOutside},
        {[&] { (void)a.GetElement(2, 0); }, CKvMatrix::kSubMatrixOutside},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorOf(c.operation), c.text);
        EXPECT_EQ(a, before) << c.text;
    }
}

TEST(KvMatrix, InversionWithoutPivoting)
{
    // No row exchange: a zero first pivot fails although the matrix is invertible.
    EXPECT_EQ(ErrorOf([] { (void)Make(2, 2, {0, 1, 1, 0}).GetInverted(); }), CKvMatrix::kInversionError);
    const CKvMatrix source = Make(3, 3, {4, 1, 2, 1, 5, 3, 2, 3, 6});
    const CKvMatrix inverse = source.GetInverted();
    const CKvMatrix product = source * inverse;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(product.GetElement(r, c), r == c ? 1.0 : 0.0, 1e-12);
    EXPECT_EQ(source, Make(3, 3, {4, 1, 2, 1, 5, 3, 2, 3, 6}));
}

TEST(KvMatrix, ExtractionAssemblyAndStatistics)
{
    CKvMatrix m = Make(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(m.GetSubMatrix(1, 1, 2, 2), Make(2, 2, {5, 6, 8, 9}));
    EXPECT_EQ(m.GetDiagonal(), Make(3, 1, {1, 5, 9}));
    EXPECT_EQ(m.GetAppendedColumns(CKvMatrix(3, 1)).GetNumColumns(), 4);
    double lo = 0, hi = 0;
    m.GetMinMax(lo, hi);
    EXPECT_EQ(lo, 1.0);
    EXPECT_EQ(hi, 9.0);
    EXPECT_EQ(m.GetRowSum(1), 15.0);
    EXPECT_EQ(m.GetColumnSumSquared(0), 144.0);
    m.GetColumnMinMax(2, lo, hi);
    EXPECT_EQ(lo, 3.0);
    EXPECT_EQ(hi, 9.0);
    // A short array fills the rest of the new row with 0 rather than reading beyond it.
    m.AddRow(std::vector<double>{10});
    EXPECT_EQ(m.GetSubMatrix(3, 0, 1, 3), Make(1, 3, {10, 0, 0}));
    EXPECT_EQ(Make(2, 4, {1, 2, 3, 4, 5, 6, 7, 8}).GetSquare(), Make(2, 2, {1, 3, 5, 7}));
}

TEST(KvMatrix, RescaleMapsTheRangeAndLeavesAConstantMatrixFinite)
{
    EXPECT_EQ(Make(1, 3, {2, 4, 6}).GetRescaled(0, 1), Make(1, 3, {0, 0.5, 1}));
    // max == min: no division by zero, every element takes the lower end.
    EXPECT_EQ(Make(2, 2, {5, 5, 5, 5}).GetRescaled(-1, 1), Make(2, 2, {-1, -1, -1, -1}));
}

TEST(KvMatrix, ArchiveRecordIsByteExactAndRoundTrips)
{
    const CKvMatrix m = Make(2, 2, {1.5, -2, 3, 4});
    TempStream stream;
    {
        LeWriter out(stream.file());
        m.Store(out);
    }
    Bytes expected;
    for (uint32_t word : {0x434D6174u, 0x72697843u, 1u, 2u, 2u})
        expected.Add32(word);
    for (double v : {1.5, -2.0, 3.0, 4.0}) // row by row
        expected.PutDouble(expected.data.size(), v);
    const std::vector<uint8_t> bytes = stream.Contents();
    EXPECT_EQ(bytes, expected.data);
    ASSERT_GE(bytes.size(), 12u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 12),
              (std::vector<uint8_t>{0x74, 0x61, 0x4D, 0x43, 0x43, 0x78, 0x69, 0x72, 0x01, 0x00, 0x00, 0x00}));

    CKvMatrix loaded;
    LeReader in(stream.file());
    loaded.Load(in, static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(loaded, m);
}

TEST(KvMatrix, HostileArchiveRecordsThrowAndLeaveTheMatrix)
{
    Bytes good;
    for (uint32_t word : {0x434D6174u, 0x72697843u, 1u, 1u, 1u})
        good.Add32(word);
    good.PutDouble(20, 7.0);
    const struct
    {
        size_t offset;
        uint32_t value;
        int cause;
    } cases[] = {
        {0, 0x434D6175u, MatrixArchiveError::kBadClass},
        {4, 0, MatrixArchiveError::kBadClass},
        {12, 0x7FFFFFFFu, MatrixArchiveError::kBadIndex},  // more than the file holds
        {16, 0, MatrixArchiveError::kBadIndex},
        {16, 0xFFFFFFFFu, MatrixArchiveError::kBadIndex},
    };
    for (const auto& c : cases) {
        Bytes bad = good;
        bad.Put32(c.offset, c.value);
        TempStream stream(bad.data);
        LeReader in(stream.file());
        CKvMatrix m = Make(1, 2, {1, 2});
        try {
            m.Load(in, static_cast<int64_t>(bad.data.size()));
            ADD_FAILURE() << c.offset;
        } catch (const MatrixArchiveError& e) {
            EXPECT_EQ(e.cause, c.cause) << c.offset;
        }
        EXPECT_EQ(m, Make(1, 2, {1, 2}));
    }
    // Cut short: end of file.
    Bytes cut = good;
    cut.data.resize(24);
    TempStream stream(cut.data);
    LeReader in(stream.file());
    CKvMatrix m;
    EXPECT_THROW(m.Load(in, 1000), MatrixArchiveError);
}

TEST(KvMatrix, TextFormColumnPerLine)
{
    const CKvMatrix m = Make(2, 2, {1, 2, 3, 4});
    EXPECT_EQ(m.ColumnText(0), "1.000000e+00,3.000000e+00");
    EXPECT_EQ(m.AllColumnsText(), "1.000000e+00,3.000000e+00\r\n2.000000e+00,4.000000e+00\r\n");
    const std::string path = (std::filesystem::temp_directory_path() / "kvmatrix_text_test.txt").string();
    ASSERT_TRUE(m.WriteTextFile(path));
    EXPECT_EQ(CKvMatrix::ReadTextFile(path), m);
    std::remove(path.c_str());
    EXPECT_EQ(CKvMatrix::ReadTextFile(path), CKvMatrix());
    EXPECT_FALSE(m.WriteTextFile("/nonexistent-folder/x.txt"));
}

TEST(KvMatrix, RaggedTextNeverReadsPastALine)
{
    // Lines end at CR, LF, CR LF or LF CR; leading commas are skipped; short lines are padded, long ones cut.
    const CKvMatrix m = CKvMatrix::FromText(",,1,2,3\n4\r\n5,6,7,8,9\n\r\n");
    ASSERT_EQ(m.GetNumRows(), 3);
    ASSERT_EQ(m.GetNumColumns(), 4);
    EXPECT_EQ(m, Make(3, 4, {1, 4, 5, 0, 2, 0, 6, 0, 3, 0, 7, 0}));
    EXPECT_EQ(CKvMatrix::FromText(""), CKvMatrix());
    EXPECT_EQ(CKvMatrix::FromText("\n\n,,,\n"), CKvMatrix());
}

TEST(KvMatrix, ClipboardGetsTheTextForm)
{
    ASSERT_TRUE(Make(1, 2, {1, 2}).CopyToClipboard());
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "1.000000e+00\r\n2.000000e+00\r\n");
}
