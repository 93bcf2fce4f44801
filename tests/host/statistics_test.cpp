// The embedded statistics class: conversions and the correlation rules. (TDist:
// worksheet_function_test.cpp.)
#include <gtest/gtest.h>

#include <cmath>

#include "host/embedded/statistics.h"
#include "tests/support/error_of.h"

namespace dez::embedded {
namespace {

DoubleMatrix Column(std::initializer_list<double> values) {
  DoubleMatrix m(static_cast<std::int32_t>(values.size()), 1);
  std::int32_t r = 1;
  for (double v : values) m(r++, 1) = v;
  return m;
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
  DoubleMatrix data(3, 3);
  const double rows[3][3] = {{1, 2, 3}, {2, 4, 6}, {3, 2, 1}};
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < 3; ++k) data(i + 1, k + 1) = rows[i][k];
  const DoubleMatrix r = s.CorrelationMatrix(s.PrepareCorrelation(data), false);
  EXPECT_EQ(r(1, 1), 1.0);
  EXPECT_DOUBLE_EQ(r(1, 2), 1.0);
  EXPECT_DOUBLE_EQ(r(1, 3), -1.0);
  EXPECT_EQ(r(3, 1), r(1, 3));
  DoubleMatrix flat(2, 2, 4.0);
  flat(2, 1) = 1.0;
  EXPECT_EQ(test::NumberOf([&] { (void)s.CorrelationMatrix(s.PrepareCorrelation(flat), false); }),
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
  EXPECT_EQ(d(1, 1), 1.5);
  EXPECT_EQ(d(1, 2), 0.0);
  EXPECT_EQ(d(1, 3), 2.0);
  EXPECT_EQ(d(1, 4), -1.0);
  EXPECT_EQ(s.ToStringArray(v)(1, 1), "1.5");
  EXPECT_EQ(s.ToStringArray(v)(1, 2), "");
  v(1, 2) = Variant("x");
  EXPECT_THROW((void)s.ToDoubleMatrix(v), Error);
  v(1, 2) = Variant(CellError{2042});
  EXPECT_THROW((void)s.ToStringArray(v), Error);
}

}  // namespace
}  // namespace dez::embedded
