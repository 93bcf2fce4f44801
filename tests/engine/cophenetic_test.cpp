// The cophenetic correlation: worked examples, the rounding that decides the test, the
// degrees of freedom in every branch, and the coefficient against vectors made the plain
// way.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <random>
#include <utility>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine/metric_matrix.h"
#include "engine_test_support.h"
#include "host/embedded/statistics.h"
#include "host/embedded/student_t.h"

namespace dez::enginetest {
namespace {

// The failures of the test (R = −1, df = −1, the host's TDist) are in error_sources_test.
TEST(Cophenetic, PerfectTreeMakesNoTestAndKeepsTheProbability) {
  TestEngine engine;
  AnalyseMatrix(engine, kThree, true, kNN);
  const double p = engine.CopheneticP();
  ASSERT_GT(p, 0.0) << "tested";
  // Already nested: (1, 2) at 1, (3, 4) at 2, everything else at 5.
  AnalyseMatrix(engine, FromUpper(4, {1, 5, 5, 5, 5, 2}), true, kFN);
  EXPECT_EQ(engine.CopheneticR(), 1.0);
  EXPECT_EQ(engine.CopheneticP(), p) << "the previous analysis's probability stays";
  EXPECT_EQ(engine.CopheneticDF(), 4) << "six pairs less two, in this branch too";
  AnalyseMatrix(engine, FromUpper(2, {3.0}), true, kGA);
  EXPECT_EQ(engine.CopheneticR(), 1.0) << "a single pair is reproduced exactly";
  EXPECT_EQ(engine.CopheneticDF(), -1);
  EXPECT_EQ(engine.CopheneticP(), p) << "no test: the probability stays";
}

TEST(Cophenetic, RoundingToFifteenSignificantDigitsDecidesTheTest) {
  const std::pair<double, bool> kRows[] = {
      {1.0, false}, {0.9999999999999999, false} /* 1 − 2⁻⁵³ */, {0.999999999999999, true} /* 15 nines */,
      {0.5, true},  {-0.5, true},                                {0.0, true}};
  for (const auto& [coefficient, tested] : kRows) {
    SCOPED_TRACE(coefficient);
    TestEngine engine;
    engine.coefficient = coefficient;
    AnalyseMatrix(engine, kThree, true, kNN);
    EXPECT_EQ(engine.CopheneticP() != 0.0, tested) << "P is 0 until a test is made";
    EXPECT_EQ(engine.CopheneticR(), coefficient) << "stored unrounded";
    EXPECT_EQ(engine.CopheneticDF(), 1);
  }
}

// ---- against vectors made the plain way ----

// The two vectors the library correlates, made the plain way: the input pairs row by row,
// and the level of each step written, step by step, into the pairs it joins.
std::pair<DoubleMatrix, DoubleMatrix> PlainVectors(const DoubleMatrix& d, const Schedule& steps) {
  const std::int32_t n = d.rows();
  DoubleMatrix input(n * (n - 1) / 2, 1), levels(n * (n - 1) / 2, 1);
  const auto row = [&](std::int32_t a, std::int32_t b) {
    const std::int32_t i = std::min(a, b), j = std::max(a, b);
    return (i - 1) * (2 * n - i) / 2 + (j - i);
  };
  for (std::int32_t i = 1; i < n; ++i) {
    for (std::int32_t j = i + 1; j <= n; ++j) input(row(i, j), 1) = d(i, j);
  }
  for (std::int32_t s = n + 1; s <= steps.UBound(); ++s) {
    for (const std::int32_t a : steps[steps[s].first].items) {
      for (const std::int32_t b : steps[steps[s].second].items) levels(row(a, b), 1) = steps[s].level;
    }
  }
  return {input, levels};
}

// Every method, distances and similarities, ties (few values) and trees of every shape:
// R has the bits of the library's correlation of the plain vectors (the library's own
// coefficient is checked in the host's tests); df and P follow from it.
TEST(CopheneticReference, EveryMethodAndShapeGivesThePlainCorrelation) {
  std::mt19937 gen(3);
  embedded::clsStatisticsEmbedded statistics;
  for (std::int32_t method = 1; method <= 6; ++method) {
    for (const bool difference : {true, false}) {
      for (const std::int32_t n : {2, 3, 5, 9, 30, 77, 160}) {
        for (const int levels : {2, 5, 0}) {  // few values (ties, chains), more, reals
          SCOPED_TRACE(::testing::Message() << "method " << method << " n " << n << " levels " << levels);
          const DoubleMatrix d = RandomMatrix(n, gen(), levels);
          TestEngine engine;
          // The test after the correlation may fail: the division by 1 − R² = 0 when the
          // tree reproduces the matrix in reverse.
          bool failed = false;
          try {
            AnalyseMatrix(engine, d, difference, method);
          } catch (const Error&) {
            failed = true;
          }
          const auto [input, cophenetic] = PlainVectors(d, engine.StepMatrixView());
          const double r = statistics.Correlate(input, cophenetic)(1, 1);
          ASSERT_EQ(std::bit_cast<std::uint64_t>(engine.CopheneticR()), std::bit_cast<std::uint64_t>(r)) << r;
          EXPECT_TRUE(!failed || r == -1.0) << "only R = -1 fails the test (1 - R² = 0)";
          if (failed || n < 3) continue;
          const std::int32_t df = n * (n - 1) / 2 - 2;
          EXPECT_EQ(engine.CopheneticDF(), df);
          if (std::fabs(r) > 0.999999) continue;
          const double tValue = std::fabs(std::sqrt(df) * r / std::sqrt(1 - r * r));
          EXPECT_NEAR(engine.CopheneticP(), embedded::StudentTDist(tValue, df, 2), 1e-9);
        }
      }
    }
  }
}

// 3000 items pass the size from which the engine folds its matrix into the input vector
// for the correlation: the same R, and the matrix comes back bit for bit.
TEST(CopheneticReference, LargeAnalysisFoldsItsMatrixAndGivesThePlainCorrelation) {
  constexpr std::int32_t n = 3000;
  std::mt19937 gen(77);
  std::uniform_real_distribution<double> value(0.0, 10.0);
  VariantMatrix cells(n, 2);
  for (std::int32_t i = 1; i <= n; ++i) cells(i, 1) = value(gen), cells(i, 2) = value(gen);
  TestEngine engine;
  engine.ClusterType(dezEZuvazozMetric);
  engine.Method(dezEZuvazozMethGroupAvg);
  engine.Measure(dezEZuvazozSMMEuclidean);
  engine.Data(cells);
  engine.Analyse();
  ASSERT_FALSE(engine.Undefined());
  embedded::clsStatisticsEmbedded statistics;
  std::int16_t exponent = 0;
  bool undefined = false;
  const DoubleMatrix built = BuildMetricMatrix(cells, dezEZuvazozSMMEuclidean, exponent, 1, statistics, undefined);
  const DoubleMatrix& kept = engine.DistanceMatrixView();
  ASSERT_EQ(kept.rows(), n);
  EXPECT_EQ(std::memcmp(kept.data(), built.data(), sizeof(double) * n * n), 0) << "the matrix came back whole";
  const auto [input, cophenetic] = PlainVectors(built, engine.StepMatrixView());
  EXPECT_EQ(engine.CopheneticR(), statistics.Correlate(input, cophenetic)(1, 1));
  EXPECT_EQ(engine.CopheneticDF(), n * (n - 1) / 2 - 2);
}

}  // namespace
}  // namespace dez::enginetest
