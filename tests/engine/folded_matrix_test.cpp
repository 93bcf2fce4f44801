// The cophenetic correlation of a large analysis, which folds the engine's matrix into
// the vector of its upper triangle and back, equals the one computed from vectors made
// the plain way, and the matrix comes back bit for bit, diagonal included.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <random>
#include <stdexcept>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/folded_matrix.h"
#include "engine/metric_matrix.h"
#include "engine_test_support.h"
#include "host/embedded/statistics.h"
#include "test_context.h"

namespace dez::enginetest {
namespace {

bool SameBits(const DoubleMatrix& a, const DoubleMatrix& b) {
  return a.rows() == b.rows() && a.cols() == b.cols() &&
         std::memcmp(a.data(), b.data(), sizeof(double) * static_cast<std::size_t>(a.rows()) * static_cast<std::size_t>(a.cols())) == 0;
}

// 3000 items pass the size from which the engine folds its matrix for the correlation.
TEST(FoldedMatrix, LargeAnalysisGivesThePlainCorrelationAndKeepsItsMatrix) {
  constexpr std::int32_t n = 3000;
  std::mt19937 gen(77);
  std::uniform_real_distribution<double> value(0.0, 10.0);
  VariantMatrix cells(n, 2);
  for (std::int32_t i = 1; i <= n; ++i) {
    cells(i, 1) = value(gen);
    cells(i, 2) = value(gen);
  }
  TestContext t;
  clsHClusterBO engine(t.context);
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
  EXPECT_TRUE(SameBits(engine.DistanceMatrixView(), built)) << "the matrix came back whole";

  // The vectors the plain way: pairs row by row; levels step by step.
  const Schedule& steps = engine.StepMatrixView();
  const auto row = [&](std::int32_t a, std::int32_t b) {
    const std::int32_t i = std::min(a, b), j = std::max(a, b);
    return (i - 1) * (2 * n - i) / 2 + (j - i);
  };
  DoubleMatrix input(n * (n - 1) / 2, 1);
  DoubleMatrix cophenetic(n * (n - 1) / 2, 1);
  for (std::int32_t i = 1; i < n; ++i) {
    for (std::int32_t j = i + 1; j <= n; ++j) input(row(i, j), 1) = built(i, j);
  }
  for (std::int32_t s = n + 1; s <= steps.UBound(); ++s) {
    for (const std::int32_t a : steps[steps[s].first].items) {
      for (const std::int32_t b : steps[steps[s].second].items) cophenetic(row(a, b), 1) = steps[s].level;
    }
  }
  const double r = statistics.Correlate(input, cophenetic)(1, 1);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(engine.CopheneticR()), std::bit_cast<std::uint64_t>(r));
  EXPECT_EQ(engine.CopheneticDF(), n * (n - 1) / 2 - 2);
}

}  // namespace
}  // namespace dez::enginetest
