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

std::string A1(std::int32_t row, std::int32_t column) {
  return "$" + embedded::ColumnLetters(column) + "$" + std::to_string(row);
}

class MatrixTableTest : public ReportTest {
 protected:
  /// Expects the slice of matrix columns f..l whose title stands in row r0, cell by cell
  /// over columns 1..m + 2, and returns the formatter calls it should have made.
  std::vector<FormatCall> ExpectSlice(std::int32_t r0, const std::string& title, std::int32_t f, std::int32_t l,
                                      const DoubleMatrix& m) {
    const std::int32_t width = l - f + 1;
    const std::int32_t h = r0 + 1;
    ExpectRow(r0, {title}, width + 2);
    std::vector<Variant> heading{Variant()};
    for (std::int32_t c = f; c <= l; ++c) heading.emplace_back("L" + std::to_string(c));
    ExpectRow(h, heading, width + 2);
    for (std::int32_t r = 1; r <= m.rows(); ++r) {
      std::vector<Variant> row{"L" + std::to_string(r)};
      for (std::int32_t c = f; c <= l; ++c) row.emplace_back(r == c ? Variant("") : Variant(m(r, c)));
      ExpectRow(h + r, row, width + 2);
    }
    return {{"TextLine", A1(r0, 1), false},
            {"HeadingBand", A1(h, 1) + ":" + A1(h, width + 1), false},
            {"HeadingBand", A1(h, 1) + ":" + A1(h + m.rows(), 1), true},
            {"ValueBlock", A1(h + 1, 2) + ":" + A1(h + m.rows(), width + 1), false}};
  }
};

TEST_F(MatrixTableTest, TwentyFiveByTwentyFiveWithMaxColsTenIsThreeSlices) {
  clsHClusterOutput out(context_);
  const DoubleMatrix m = Numbered(25, 25);
  out.OutputMatrix(Labels(25), Labels(25), m, "Similarity Matrix", {}, 10);
  std::vector<FormatCall> expected = ExpectSlice(1, "Similarity Matrix", 1, 10, m);
  ExpectRow(28, {}, 12);  // one empty row before each later slice
  for (const auto& c : ExpectSlice(29, "Similarity Matrix: Part 2", 11, 20, m)) expected.push_back(c);
  ExpectRow(56, {}, 12);
  for (const auto& c : ExpectSlice(57, "Similarity Matrix: Part 3", 21, 25, m)) expected.push_back(c);
  EXPECT_THAT(TakeFormats(), ElementsAreArray(expected));
  EXPECT_EQ(At(2, 2), Variant("L1"));  // pinned by hand: the heading, a value, the blank diagonal
  EXPECT_EQ(At(3, 3), Variant(1.02));
  EXPECT_EQ(At(3, 2), Variant(""));
  EXPECT_EQ(Sheet().UsedRange()->bottom, 83);
  EXPECT_EQ(Sheet().UsedRange()->right, 11);
  EXPECT_EQ(out.CurrentRow(), 84);
  EXPECT_EQ(out.UsedColumns(), 11);
  EXPECT_EQ(out.Results()->Address(), "$A$1:$K$84");
}

struct SliceCase {
  std::int16_t maxCols;
  std::int32_t n;
  std::vector<std::int32_t> sliceWidths;
  std::int16_t width;  // report width afterwards
};

TEST_F(MatrixTableTest, SliceWidthRules) {
  const SliceCase cases[] = {
      {4, 8, {4, 4}, 5},        // narrow location, narrow matrix: slices of 4
      {4, 12, {10, 2}, 11},     // a matrix wider than 10 gets slices of 10
      {0, 300, {255, 45}, 256}, // omitted: 255
      {-3, 8, {8}, 9},          // out of range: 255
      {1, 3, {1, 1, 1}, 2},
  };
  for (const SliceCase& c : cases) {
    SCOPED_TRACE("MaxCols " + std::to_string(c.maxCols) + ", n " + std::to_string(c.n));
    clsHClusterOutput out(context_);
    out.OutputMatrix(Labels(c.n), Labels(c.n), Numbered(c.n, c.n), "T", {}, c.maxCols);
    const auto formats = TakeFormats();
    ASSERT_EQ(formats.size(), 4 * c.sliceWidths.size());
    std::int32_t r0 = 1;
    for (std::size_t k = 0; k < c.sliceWidths.size(); ++k) {
      const std::int32_t w = c.sliceWidths[k];
      EXPECT_EQ(formats[4 * k].address, A1(r0, 1));
      EXPECT_EQ(formats[4 * k + 1].address, A1(r0 + 1, 1) + ":" + A1(r0 + 1, w + 1));
      EXPECT_EQ(At(r0, 1), Variant(k == 0 ? std::string("T") : "T: Part " + std::to_string(k + 1)));
      r0 += c.n + 3;  // title, heading, n rows, one empty row
    }
    EXPECT_EQ(out.UsedColumns(), c.width);
    EXPECT_EQ(out.CurrentRow(), r0 - 1);
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
  ExpectRow(2, {Variant(), "C1", "C2", "C3"}, 5);
  ExpectRow(3, {"R1", "", 1.02, 1.03}, 5);
  ExpectRow(4, {"R2", 2.01, "", 2.03}, 5);
  ExpectRow(5, {Variant(), Variant(), Variant(), ""}, 5);  // diagonal cell of column 3
  EXPECT_EQ(out.CurrentRow(), 5);
  EXPECT_EQ(out.UsedColumns(), 4);
}

TEST_F(MatrixTableTest, ShortLabelArraysAreSubscriptOutOfRange) {
  {
    clsHClusterOutput out(context_);
    const Error e = ErrorOf([&] { out.OutputMatrix(Labels(4), Labels(5), Numbered(5, 5), "T"); });
    EXPECT_EQ(e.number, fault::kSubscriptOutOfRange);
    EXPECT_EQ(e.description, "Subscript out of range");
    EXPECT_THAT(e.source, SourceOf("OutputMatrix"));
    EXPECT_EQ(At(2, 5), Variant("L4"));  // what was written stays
    EXPECT_EQ(At(3, 1), Variant());
  }
  clsHClusterOutput out(context_);
  const Error e = ErrorOf([&] { out.OutputMatrix(Labels(5), Labels(3), Numbered(5, 5), "T"); });
  EXPECT_EQ(e.number, fault::kSubscriptOutOfRange);
  EXPECT_THAT(e.source, SourceOf("OutputMatrix"));
  EXPECT_EQ(At(5, 1), Variant("L3"));
}

TEST_F(MatrixTableTest, EmptyMatrixWritesNothing) {
  clsHClusterOutput out(context_);
  out.OutputMatrix({}, {}, DoubleMatrix(), "T");
  EXPECT_FALSE(Sheet().UsedRange().has_value());
  EXPECT_EQ(out.CurrentRow(), 1);
  EXPECT_EQ(out.UsedColumns(), 1);
}

}  // namespace
}  // namespace dez::report_test

namespace dez::report_test {
namespace {

// Moves the cursor of `out` from row 1 to `row`.
void MoveTo(clsHClusterOutput& out, std::int32_t row) {
  for (std::int32_t at = 1; at < row;) {
    const std::int32_t step = std::min(row - at, 32767);
    out.InsertBlankLines(static_cast<std::int16_t>(step));
    at += step;
  }
}

TEST_F(ReportTest, TableRunningPastTheSheetFailsBeforeWritingAnything) {
  clsHClusterOutput out(context_);
  MoveTo(out, 1048569);  // a 5 x 5 table takes the last 7 rows, 6 x 6 would need 8
  const DoubleMatrix fits(5, 5, 1.0);
  EXPECT_NO_THROW(out.OutputMatrix(Labels(5), Labels(5), fits, "fits", {}, 255));
  clsHClusterOutput again(context_);
  MoveTo(again, 1048569);
  const Error e = ErrorOf([&] { again.OutputMatrix(Labels(7), Labels(7), DoubleMatrix(7, 7, 1.0), "too tall", {}, 255); });
  EXPECT_EQ(e.number, fault::kApplicationDefined);
  EXPECT_TRUE(e.source.ends_with(" in DEZEZuvazoz.clsHClusterOutput.OutputMatrix")) << e.source;
  EXPECT_EQ(At(1048569, 1), Variant()) << "nothing written";
}

}  // namespace
}  // namespace dez::report_test
