// The whole analysis, as the controller runs it: Analyse builds the matrix, the schedule
// and the cophenetic correlation, every method, at n = 1000, 4000 and 16384 items with
// p = 16 variables (uniform in (0, 10)), the Euclidean distance (squared Euclidean for
// the centroid and Ward's methods, as the controller substitutes it).
//
// Counters:
//   analyse_s     the whole Analyse call
//   matrix_s      from the start to the agglomeration's first progress report (the
//                 matrix, plus the first 1% of the steps)
//   schedule_s    from there to the last progress report (the other 99% of the steps)
//   cophenetic_s  from there to the end (the cophenetic correlation)
//   peak_mb       the peak resident memory of the process during Analyse (the peak is
//                 reset before each case; the data block, 2 x n x p cells, is included)
//   peak_per_8n2  peak_mb over the size of the n x n matrix itself, 8n² bytes (aim: 1.6)
//
// The 16384 cases take from seconds to a minute each; run them alone with
// --benchmark_filter=n:16384.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "host/addin_context.h"

namespace dez {
namespace {

constexpr std::int32_t kVariables = 16;

/// Resets the process's peak resident memory to its current size (Linux: clear_refs 5).
void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

/// The peak resident memory since the last reset, in bytes (VmHWM), or 0 when unknown.
double PeakMemoryBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) * 1024.0;
  }
  return 0.0;
}

VariantMatrix Points(std::int32_t n) {
  std::mt19937 rng(static_cast<std::uint32_t>(n));
  std::uniform_real_distribution<double> coordinate(0.0, 10.0);
  VariantMatrix cells(n, kVariables);
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t k = 1; k <= kVariables; ++k) cells(i, k) = coordinate(rng);
  }
  return cells;
}

double Since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

void BM_Analyse(benchmark::State& state) {
  const auto method = static_cast<std::int32_t>(state.range(0));
  const auto n = static_cast<std::int32_t>(state.range(1));
  const bool squared = method == dezEZuvazozMethCentroid || method == dezEZuvazozMethWards;
  for (auto _ : state) {
    state.PauseTiming();
    double firstReport = -1.0;
    double lastReport = -1.0;
    std::chrono::steady_clock::time_point start;
    double seconds = 0.0;
    double peak = 0.0;
    {
      const VariantMatrix cells = Points(n);
      clsHClusterBO engine(host::DefaultAddinContext());
      engine.ClusterType(dezEZuvazozMetric);
      engine.Method(method);
      engine.Measure(squared ? dezEZuvazozSMMSqrdEuclidean : dezEZuvazozSMMEuclidean);
      std::int16_t power = 2;
      engine.Power(power);
      engine.Data(cells);
      engine.SetProgress([&](const char* phase, double fraction) {
        if (std::string_view(phase) != "ReduceMatrix") return;  // the agglomeration's reports split the phases
        if (firstReport < 0.0) firstReport = Since(start);
        if (fraction == 1.0) lastReport = Since(start);
      });
      malloc_trim(0);  // what earlier cases freed goes back before the peak is reset
      ResetPeakMemory();
      state.ResumeTiming();
      start = std::chrono::steady_clock::now();
      engine.Analyse();
      seconds = Since(start);
      state.PauseTiming();
      peak = PeakMemoryBytes();
      if (engine.Undefined()) state.SkipWithError("the matrix is undefined");
      benchmark::DoNotOptimize(engine.CopheneticR());
    }
    state.ResumeTiming();
    const double matrixBytes = 8.0 * n * static_cast<double>(n);
    state.counters["analyse_s"] = seconds;
    state.counters["matrix_s"] = firstReport;
    state.counters["schedule_s"] = lastReport - firstReport;
    state.counters["cophenetic_s"] = seconds - lastReport;
    state.counters["peak_mb"] = peak / 1e6;
    state.counters["peak_per_8n2"] = peak / matrixBytes;
  }
}

void Arguments(benchmark::internal::Benchmark* b) {
  for (const int n : {1000, 4000, 16384}) {
    for (const int method : {dezEZuvazozMethNearestNeigh, dezEZuvazozMethFurthestNeigh, dezEZuvazozMethGroupAvg,
                             dezEZuvazozMethCentroid, dezEZuvazozMethWards, dezEZuvazozMethLanceWilliams}) {
      b->Args({method, n});
    }
  }
  b->ArgNames({"method", "n"})->Iterations(1)->Unit(benchmark::kSecond);
}

BENCHMARK(BM_Analyse)->Apply(Arguments);

}  // namespace
}  // namespace dez

BENCHMARK_MAIN();
