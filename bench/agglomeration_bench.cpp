// The engine's agglomeration against the literal algorithm, every method, in one run.
//
// For each method and n = 500, 1000, 2000: n random points with p = 16 coordinates in
// (0, 10), their Euclidean distances (squared Euclidean for the centroid and Ward's
// methods, as the controller uses them). The engine's agglomeration runs three times
// (the best time counts), the literal algorithm once (it is slow: O(n³), and Ward's
// literal walk of the schedule per item and step is slower still). Counters:
//   fast_ms      the engine's agglomeration, best of three
//   literal_ms   the literal algorithm
//   ratio        literal_ms / fast_ms (the aim at n = 2000: at least 100)
//   same         1 when both schedules are identical (pairs, item lists, bits of levels)
//
// Set DEZ_LITERAL_MAX_N to skip the literal above that size (the counters then show
// literal_ms = 0 and ratio = 0).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "agglomeration_literal.h"
#include "dezezuvazoz/enums.h"
#include "engine/agglomeration.h"

namespace dez {
namespace {

constexpr std::int32_t kVariables = 16;

struct Input {
  DoubleMatrix distances;
  VariantMatrix data;
};

Input MakeInput(std::int32_t n, bool squared) {
  std::mt19937 rng(static_cast<std::uint32_t>(n));
  std::uniform_real_distribution<double> coordinate(0.0, 10.0);
  Input in{DoubleMatrix(n, n), VariantMatrix(n, kVariables)};
  std::vector<double> x(static_cast<std::size_t>(n) * kVariables);
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = coordinate(rng);
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t k = 1; k <= kVariables; ++k) in.data(i, k) = x[static_cast<std::size_t>(i - 1) * kVariables + static_cast<std::size_t>(k - 1)];
  }
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = i + 1; j <= n; ++j) {
      double sum = 0.0;
      for (std::int32_t k = 0; k < kVariables; ++k) {
        const double d = x[static_cast<std::size_t>(i - 1) * kVariables + static_cast<std::size_t>(k)] -
                         x[static_cast<std::size_t>(j - 1) * kVariables + static_cast<std::size_t>(k)];
        sum += d * d;
      }
      in.distances(i, j) = squared ? sum : std::sqrt(sum);
      in.distances(j, i) = in.distances(i, j);
    }
  }
  return in;
}

bool SameBits(const Schedule& a, const Schedule& b) {
  if (a.UBound() != b.UBound()) return false;
  for (std::int32_t e = 1; e <= a.UBound(); ++e) {
    if (a[e].first != b[e].first || a[e].second != b[e].second || a[e].items != b[e].items) return false;
    if (std::memcmp(&a[e].level, &b[e].level, sizeof(double)) != 0) return false;
  }
  return true;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_FastAgainstLiteral(benchmark::State& state) {
  const auto method = static_cast<std::int32_t>(state.range(0));
  const auto n = static_cast<std::int32_t>(state.range(1));
  const bool squared = method == dezEZuvazozMethCentroid || method == dezEZuvazozMethWards;
  const Input in = MakeInput(n, squared);
  const char* limit = std::getenv("DEZ_LITERAL_MAX_N");
  const bool runLiteral = limit == nullptr || n <= std::atoi(limit);
  for (auto _ : state) {
    Schedule fast;
    double best = 1e300;
    for (int rep = 0; rep < 3; ++rep) {
      const auto start = std::chrono::steady_clock::now();
      Agglomerate(in.distances, fast, true, method, in.data);
      best = std::min(best, Seconds(start));
    }
    double literalSeconds = 0.0;
    bool same = true;
    if (runLiteral) {
      Schedule literal;
      const auto start = std::chrono::steady_clock::now();
      AgglomerateLiteral(in.distances, literal, true, method, in.data);
      literalSeconds = Seconds(start);
      same = SameBits(fast, literal);
    }
    state.counters["fast_ms"] = best * 1e3;
    state.counters["literal_ms"] = literalSeconds * 1e3;
    state.counters["ratio"] = literalSeconds / best;
    state.counters["same"] = same ? 1.0 : 0.0;
    if (!same) state.SkipWithError("the schedules differ");
  }
}

void Arguments(benchmark::internal::Benchmark* b) {
  for (const int method : {dezEZuvazozMethNearestNeigh, dezEZuvazozMethFurthestNeigh, dezEZuvazozMethGroupAvg,
                           dezEZuvazozMethCentroid, dezEZuvazozMethWards, dezEZuvazozMethLanceWilliams}) {
    for (const int n : {500, 1000, 2000}) b->Args({method, n});
  }
  b->ArgNames({"method", "n"})->Iterations(1)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_FastAgainstLiteral)->Apply(Arguments);

}  // namespace
}  // namespace dez

BENCHMARK_MAIN();
