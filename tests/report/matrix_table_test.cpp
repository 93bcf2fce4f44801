// OutputMatrix: slices, labels, values, the blank diagonal, formats and the report width.
#include "report_test_support.h"

namespace dez::report_test {
namespace {

using ::testing::ElementsAreArray;

/// A matrix whose every value tells its row and column: r + c / 100.
DoubleMatrix Numbered(std::int32_t rows, std::int32_t cols) {
  DoubleMatrix m(rows, cols);
  for (std::int32_t r = 1; r <= rows; ++r) {
    for (std::int32_t c = 1; c <= cols; ++c) m(r, c) = r + c / 100.0;
  }
  return m;
}

using MatrixTableTest = ReportTest;

// Slices of one column: a title, the heading and a row per item each, one empty row
// between them; the diagonal stays blank.
TEST_F(MatrixTableTest, ThreeByThreeWithMaxColsOneIsThreeSlices) {
  clsHClusterOutput out(context_);
  out.OutputMatrix(Labels(3), Labels(3), Numbered(3, 3), "Similarity Matrix", {}, 1);
  EXPECT_EQ(Text(), "Similarity Matrix\n"
                    "    L1\n"
                    "L1\n"
                    "L2  2.01\n"
                    "L3  3.01\n"
                    "\n"
                    "Similarity Matrix: Part 2\n"
                    "    L2\n"
                    "L1  1.02\n"
                    "L2\n"
                    "L3  3.02\n"
                    "\n"
                    "Similarity Matrix: Part 3\n"
                    "    L3\n"
                    "L1  1.03\n"
                    "L2  2.03\n"
                    "L3\n");
  std::vector<FormatCall> expected;
  for (const std::int32_t t : {1, 7, 13}) {  // the title rows
    const std::string h = std::to_string(t + 1);
    const std::string last = std::to_string(t + 4);
    expected.insert(expected.end(), {{"TextLine", "$A$" + std::to_string(t), false},
                                     {"HeadingBand", "$A$" + h + ":$B$" + h, false},
                                     {"HeadingBand", "$A$" + h + ":$A$" + last, true},
                                     {"ValueBlock", "$B$" + std::to_string(t + 2) + ":$B$" + last, false}});
  }
  EXPECT_THAT(TakeFormats(), ElementsAreArray(expected));
  EXPECT_EQ(At(3, 2), Variant(""));
  EXPECT_EQ(out.CurrentRow(), 18);
  EXPECT_EQ(out.UsedColumns(), 2);
}

// Slices of MaxCols columns (255 when omitted or out of range), at least 10 for a
// matrix wider than 10; a title row, a heading row and the rows per slice, one empty
// row between slices.
TEST(MatrixSlices, WidthAndTableRows) {
  const struct {
    std::int16_t maxCols;
    std::int32_t n, width;
    std::int64_t rows;
  } cases[] = {{4, 8, 4, 21}, {4, 10, 4, 38}, {4, 11, 10, 27}, {0, 300, 255, 605}, {-3, 8, 255, 10},
               {256, 8, 255, 10}, {1, 3, 1, 17}, {10, 0, 10, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(clsHClusterOutput::MatrixSliceWidth(c.maxCols, c.n), c.width) << c.maxCols << ", " << c.n;
    EXPECT_EQ(clsHClusterOutput::MatrixTableRows(c.n, c.n, c.width), c.rows) << c.maxCols << ", " << c.n;
  }
}

TEST_F(MatrixTableTest, WidthIsCappedAtOneSliceEvenBelowAnEarlierWidth) {
  clsHClusterOutput out(context_);
  out.OutputMatrix(Labels(30), Labels(30), Numbered(30, 30), "Wide", {}, 255);
  EXPECT_EQ(out.UsedColumns(), 31);
  out.OutputMatrix(Labels(12), Labels(12), Numbered(12, 12), "Narrow", {}, 4);
  EXPECT_EQ(out.UsedColumns(), 11);
}

TEST_F(MatrixTableTest, NonSquareMatrixUsesBothBounds) {
  clsHClusterOutput out(context_);
  out.OutputMatrix(Labels(3, "C"), Labels(2, "R"), Numbered(2, 3), "T");
  // The diagonal cell of column 3 stands alone in row 5.
  EXPECT_EQ(Text(), "T\n    C1    C2    C3\nR1        1.02  1.03\nR2  2.01        2.03\n\n");
  EXPECT_EQ(At(5, 4), Variant(""));
  EXPECT_EQ(out.CurrentRow(), 5);
  EXPECT_EQ(out.UsedColumns(), 4);
}

TEST_F(MatrixTableTest, ShortLabelArraysAreSubscriptOutOfRange) {
  // Four column labels for five columns, then three row labels for five rows.
  for (const auto& [columns, rows, row, column, last] :
       {std::tuple{4, 5, 2, 5, "L4"}, std::tuple{5, 3, 5, 1, "L3"}}) {
    clsHClusterOutput out(context_);
    const Error e = ErrorOf([&] { out.OutputMatrix(Labels(columns), Labels(rows), Numbered(5, 5), "T"); });
    EXPECT_EQ(e.number, fault::kSubscriptOutOfRange);
    EXPECT_EQ(e.description, "Subscript out of range");
    EXPECT_THAT(e.source, SourceOf("OutputMatrix"));
    EXPECT_EQ(At(row, column), Variant(last));  // what was written stays
    EXPECT_EQ(At(row + 1, 1), Variant());
  }
}

TEST_F(MatrixTableTest, EmptyMatrixWritesNothing) {
  clsHClusterOutput out(context_);
  out.OutputMatrix({}, {}, DoubleMatrix(), "T");
  EXPECT_FALSE(Sheet().UsedRange().has_value());
  EXPECT_EQ(out.CurrentRow(), 1);
  EXPECT_EQ(out.UsedColumns(), 1);
}

TEST_F(MatrixTableTest, TableRunningPastTheSheetFailsBeforeWritingAnything) {
  // From row 1048569 a 6 x 6 table takes the last 8 rows, 7 x 7 would need 9.
  const auto at1048569 = [&] {
    auto out = std::make_unique<clsHClusterOutput>(context_);
    for (int i = 0; i < 32; ++i) out->InsertBlankLines(32767);
    out->InsertBlankLines(24);
    return out;
  };
  EXPECT_NO_THROW(at1048569()->OutputMatrix(Labels(6), Labels(6), DoubleMatrix(6, 6, 1.0), "fits"));
  const Error e = ErrorOf([&] { at1048569()->OutputMatrix(Labels(7), Labels(7), DoubleMatrix(7, 7, 1.0), "T"); });
  EXPECT_EQ(e.number, fault::kApplicationDefined);
  EXPECT_TRUE(e.source.ends_with(" in DEZEZuvazoz.clsHClusterOutput.OutputMatrix")) << e.source;
  EXPECT_EQ(At(1048569, 1), Variant()) << "nothing written";
}

}  // namespace
}  // namespace dez::report_test
