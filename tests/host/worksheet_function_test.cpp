// Worksheet functions (Count, CountA, CountIf, Var and TDist) with the host's rules, and
// the statistics class: conversions and the correlation rules.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "host/embedded/embedded_worksheet_function.h"
#include "host/embedded/statistics.h"
#include "host_test_support.h"

namespace dez::embedded::test {
namespace {

class WorksheetFunctionTest : public HostTest {
 protected:
  // Column A, rows 1..: the values below; row 9 is left empty, so A1:A10 has two blanks
  // (A9 and A10).
  WorksheetFunctionTest() {
    const std::vector<Variant> column = {Variant(1),      Variant(0),      Variant("1"),      Variant(true),
                                         Variant("abc"),  Variant(""),     Variant(CellError{2042}),
                                         Variant(2.5)};
    for (std::size_t i = 0; i < column.size(); ++i) data_->WriteCell(static_cast<std::int32_t>(i + 1), 1, column[i]);
  }
  EmbeddedWorksheetFunction f_;
};

TEST_F(WorksheetFunctionTest, CountCountsNumberCellsCountAEveryNonEmptyCell) {
  EXPECT_EQ(f_.Count(R("A1:A10")), 3.0);
  EXPECT_EQ(f_.Count(R("A1:A10,A1")), 4.0) << "overlapping areas count twice";
  EXPECT_EQ(f_.Count(R("B1:B10")), 0.0);
  EXPECT_EQ(f_.Count(R("A:A")), 3.0);
  EXPECT_EQ(f_.CountA(R("A1:A10")), 8.0) << "the empty text and the error value count";
  data_->Cells(20, 1)->NumberFormat("0");
  EXPECT_EQ(f_.CountA(R("A1:A20")), 8.0) << "a format alone does not";
}

TEST_F(WorksheetFunctionTest, CountIfCountsANumberAndItsTextAndRefusesWhatItCannotEvaluate) {
  // A1:A10 = 1, 0, "1", TRUE, "abc", "", #N/A, 2.5, empty, empty
  EXPECT_EQ(f_.CountIf(R("A1:A10"), Variant(1)), 2.0);
  EXPECT_EQ(f_.CountIf(R("A1:A10"), Variant(0)), 1.0) << "empty cells are not 0";
  EXPECT_EQ(f_.CountIf(R("A:A"), Variant(2.5)), 1.0);
  ExpectRaises(1004, {[&] { f_.CountIf(R("A1,A2"), Variant(1)); }, [&] { f_.CountIf(R("A1:A2"), Variant("1")); }});
  EXPECT_EQ(NumberOf([&] { f_.CountIf(nullptr, Variant(1)); }), 91);
}

TEST_F(WorksheetFunctionTest, VarIsTheSampleVarianceOfTheNumbers) {
  for (int r = 1; r <= 4; ++r) data_->WriteCell(r, 2, Variant(r));
  data_->WriteCell(5, 2, Variant("9"));  // a number text is skipped
  data_->WriteCell(6, 2, Variant(true));
  EXPECT_DOUBLE_EQ(f_.Var(R("B1:B10")), 5.0 / 3.0);
  for (int r = 1; r <= 5; ++r) data_->WriteCell(r, 3, Variant(0.1));
  EXPECT_EQ(f_.Var(R("C1:C5")), 0.0) << "equal values have no variance, exactly";
  int row = 1;
  for (const double x : {4, 7, 13, 16}) data_->WriteCell(row++, 4, Variant(1e9 + x));
  EXPECT_DOUBLE_EQ(f_.Var(R("D1:D4")), 30.0) << "a large offset does not spoil the result";
}

TEST_F(WorksheetFunctionTest, VarFailures) {
  data_->WriteCell(1, 2, Variant(5));
  const Error few = ErrorOf([&] { f_.Var(R("B1:B10")); });
  EXPECT_EQ(few.number, 1004);
  EXPECT_NE(few.description.find("#DIV/0!"), std::string::npos);
  const Error error = ErrorOf([&] { f_.Var(R("A1:A10")); });
  EXPECT_EQ(error.number, 1004);
  EXPECT_NE(error.description.find("#N/A"), std::string::npos);
  data_->WriteCell(2, 2, Variant(-1.5e308));
  data_->WriteCell(3, 2, Variant(1.5e308));
  EXPECT_NE(ErrorOf([&] { f_.Var(R("B1:B3")); }).description.find("#NUM!"), std::string::npos);
}

TEST_F(WorksheetFunctionTest, TDistOneAndTwoTails) {
  EXPECT_NEAR(f_.TDist(std::sqrt(3.0), 1, 2), 1.0 / 3.0, 1e-15);  // Cauchy: 1 - 2 atan(x) / pi
  EXPECT_NEAR(f_.TDist(0.0, 5, 2), 1.0, 1e-15);
  EXPECT_NEAR(f_.TDist(2.0, 10, 1), 0.036694017385370, 1e-12);
  EXPECT_NEAR(f_.TDist(2.0, 10, 2), 0.073388034770740, 1e-12);
  ExpectRaises(1004, {[&] { f_.TDist(-0.1, 10, 2); }, [&] { f_.TDist(1.0, 0, 2); }, [&] { f_.TDist(1.0, 5, 3); }});
}

/// A column of numbers.
DoubleMatrix Column(DoubleMatrix::Elements values) {
  const auto n = static_cast<std::int32_t>(values.size());
  return DoubleMatrix(n, 1, std::move(values));
}

TEST(Statistics, CorrelateWorkedExampleAndRules) {
  clsStatisticsEmbedded s;
  EXPECT_DOUBLE_EQ(s.Correlate(Column({1, 2, 3}), Column({1, 2, 2}))(1, 1), std::sqrt(3.0) / 2.0);
  EXPECT_EQ(s.Correlate(Column({1, 2, 3}), Column({3, 2, 1}))(1, 1), -1.0);
  EXPECT_EQ(s.Correlate(Column({5}), Column({7}))(1, 1), 1.0) << "a single pair";
  EXPECT_EQ(s.Correlate(Column({2, 2}), Column({3, 3}))(1, 1), 1.0) << "both constant";
  EXPECT_EQ(s.Correlate(Column({1, 2}), Column({3, 3}))(1, 1), 0.0) << "one constant";
  EXPECT_EQ(s.Correlate(DoubleMatrix(0, 1), DoubleMatrix(0, 1))(1, 1), 1.0);
  EXPECT_THROW((void)s.Correlate(Column({1, 2}), Column({1})), Error);
}

TEST(Statistics, CorrelationMatrixBetweenRows) {
  clsStatisticsEmbedded s;
  const DoubleMatrix data(3, 3, {1, 2, 3, 2, 4, 6, 3, 2, 1});
  const DoubleMatrix r = s.CorrelationMatrix(s.PrepareCorrelation(data), false);
  EXPECT_EQ(r(1, 1), 1.0);
  EXPECT_DOUBLE_EQ(r(1, 2), 1.0);
  EXPECT_DOUBLE_EQ(r(1, 3), -1.0);
  EXPECT_EQ(r(3, 1), r(1, 3));
  DoubleMatrix flat(2, 2, 4.0);
  flat(2, 1) = 1.0;
  EXPECT_EQ(NumberOf([&] { (void)s.CorrelationMatrix(s.PrepareCorrelation(flat), false); }),
            fault::kDivisionByZero) << "a row without variation";
}

TEST(Statistics, Conversions) {
  clsStatisticsEmbedded s;
  VariantMatrix v(1, 4);
  v(1, 1) = Variant(1.5);
  v(1, 2) = Variant();
  v(1, 3) = Variant("2");
  v(1, 4) = Variant(true);
  const DoubleMatrix d = s.ToDoubleMatrix(v);
  EXPECT_EQ((std::vector{d(1, 1), d(1, 2), d(1, 3), d(1, 4)}), (std::vector{1.5, 0.0, 2.0, -1.0}));
  const auto texts = s.ToStringArray(v);
  EXPECT_EQ((std::vector{texts(1, 1), texts(1, 2)}), (std::vector<std::string>{"1.5", ""}));
  v(1, 2) = Variant("x");
  EXPECT_THROW((void)s.ToDoubleMatrix(v), Error);
  v(1, 2) = Variant(CellError{2042});
  EXPECT_THROW((void)s.ToStringArray(v), Error);
}

}  // namespace
}  // namespace dez::embedded::test
