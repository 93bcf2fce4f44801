// The builders share their rows among threads; the matrix must not depend on how many.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>
#include <cstring>
#include <random>

#include "dezezuvazoz/enums.h"
#include "engine/metric_matrix.h"
#include "engine/parallel_rows.h"
#include "host/embedded/statistics.h"

namespace dez::enginetest {
namespace {

/// Restores the machine's number of threads when a test ends.
struct ThreadsGuard {
  ~ThreadsGuard() { SetBuilderThreads(0); }
};

VariantMatrix RandomCells(std::int32_t n, std::int32_t p, std::uint32_t seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> value(0.5, 9.5);
  VariantMatrix cells(n, p);
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t k = 1; k <= p; ++k) cells(i, k) = value(gen);
  }
  return cells;
}

TEST(BuilderThreads, MetricMatrixIsTheSameForAnyNumberOfThreads) {
  ThreadsGuard guard;
  const VariantMatrix cells = RandomCells(333, 7, 5);
  embedded::clsStatisticsEmbedded statistics;
  for (const std::int32_t measure : {dezEZuvazozSMMBrayCurtis, dezEZuvazozSMMCanberra, dezEZuvazozSMMCityBlock,
                                     dezEZuvazozSMMEuclidean, dezEZuvazozSMMMinkowski, dezEZuvazozSMMSqrdEuclidean}) {
    SCOPED_TRACE(measure);
    DoubleMatrix alone;
    for (const std::int32_t threads : {1, 2, 3, 8}) {
      SetBuilderThreads(threads);
      std::int16_t exponent = 0;
      bool undefined = false;
      const DoubleMatrix m = BuildMetricMatrix(cells, measure, exponent, 3, statistics, undefined);
      ASSERT_FALSE(undefined);
      if (threads == 1) {
        alone = m;
        continue;
      }
      ASSERT_EQ(m.rows(), alone.rows());
      EXPECT_EQ(std::memcmp(m.data(), alone.data(), sizeof(double) * static_cast<std::size_t>(m.rows()) * static_cast<std::size_t>(m.cols())), 0)
          << threads << " threads";
    }
  }
}

TEST(BuilderThreads, EveryRowChunkIsVisitedOnce) {
  ThreadsGuard guard;
  for (const std::int32_t threads : {1, 2, 5}) {
    SetBuilderThreads(threads);
    std::vector<int> seen(1000, 0);
    const bool all = ForEachRowChunk(1000, 1e9, [&](std::int32_t first, std::int32_t last) {
      for (std::int32_t i = first; i < last; ++i) ++seen[static_cast<std::size_t>(i)];  // chunks are disjoint
      return !(first <= 500 && 500 < last);
    });
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 1000);
    EXPECT_FALSE(all) << "a chunk that fails makes the whole fail";
  }
  SetBuilderThreads(0);
  EXPECT_GE(BuilderThreads(), 1);
}

}  // namespace
}  // namespace dez::enginetest
