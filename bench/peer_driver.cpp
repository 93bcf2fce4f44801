// The engine on a data file, for comparison with other tools (bench/peers.sh).
//
//   peer_driver [--levels FILE] DATA.bin METHOD...
//                                      METHOD: single complete average centroid ward flexible
//
// DATA.bin: two little-endian 64-bit integers n and p, then n x p doubles, row by row
// (item by item). For each method the driver runs one whole Analyse (the matrix, the
// schedule, the cophenetic correlation) on a new engine, with the Euclidean distance, or
// the squared Euclidean for the centroid and Ward's methods, and prints one line:
//
//   method seconds cophenetic_r peak_mb matrix_s schedule_s cophenetic_s
//
// peak_mb is the process's peak resident memory during that Analyse; the phase times are
// split at the agglomeration's first and last progress reports. The values are read
// into the cells as numbers before the clock starts. With --levels, the n − 1 levels of
// the last method's steps, in step order, go to FILE as little-endian doubles (written
// after the clock stops), for the comparison with the peers' results.
#include <malloc.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "host/addin_context.h"

namespace {

void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

double PeakMemoryMb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0.0;
}

struct Method {
  const char* name;
  std::int32_t code;
};

constexpr Method kMethods[] = {{"single", dez::dezEZuvazozMethNearestNeigh}, {"complete", dez::dezEZuvazozMethFurthestNeigh},
                               {"average", dez::dezEZuvazozMethGroupAvg},    {"centroid", dez::dezEZuvazozMethCentroid},
                               {"ward", dez::dezEZuvazozMethWards},          {"flexible", dez::dezEZuvazozMethLanceWilliams}};

}  // namespace

int main(int argc, char** argv) {
  const char* levelsPath = nullptr;
  if (argc >= 3 && std::strcmp(argv[1], "--levels") == 0) {
    levelsPath = argv[2];
    argv += 2;
    argc -= 2;
  }
  if (argc < 3) {
    std::cerr << "usage: peer_driver [--levels FILE] DATA.bin METHOD...\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::int64_t shape[2] = {0, 0};
  in.read(reinterpret_cast<char*>(shape), sizeof shape);
  const std::int64_t n = shape[0];
  const std::int64_t p = shape[1];
  if (!in || n < 1 || p < 1 || n > 32767 || p > 32767) {
    std::cerr << "peer_driver: " << argv[1] << ": not a data file\n";
    return 2;
  }
  std::vector<double> values(static_cast<std::size_t>(n * p));
  in.read(reinterpret_cast<char*>(values.data()), static_cast<std::streamsize>(values.size() * sizeof(double)));
  if (!in) {
    std::cerr << "peer_driver: " << argv[1] << ": too short\n";
    return 2;
  }
  dez::VariantMatrix cells(static_cast<std::int32_t>(n), static_cast<std::int32_t>(p));
  for (std::int64_t i = 0; i < n; ++i) {
    for (std::int64_t k = 0; k < p; ++k) {
      cells(static_cast<std::int32_t>(i + 1), static_cast<std::int32_t>(k + 1)) = values[static_cast<std::size_t>(i * p + k)];
    }
  }
  values = {};
  for (int a = 2; a < argc; ++a) {
    const Method* method = nullptr;
    for (const Method& m : kMethods) {
      if (std::strcmp(m.name, argv[a]) == 0) method = &m;
    }
    if (method == nullptr) {
      std::cerr << "peer_driver: unknown method " << argv[a] << "\n";
      return 2;
    }
    const bool squared = method->code == dez::dezEZuvazozMethCentroid || method->code == dez::dezEZuvazozMethWards;
    double seconds = 0.0, firstReport = -1.0, lastReport = -1.0, r = 0.0, peak = 0.0;
    {
      dez::clsHClusterBO engine(dez::host::DefaultAddinContext());
      engine.ClusterType(dez::dezEZuvazozMetric);
      engine.Method(method->code);
      engine.Measure(squared ? dez::dezEZuvazozSMMSqrdEuclidean : dez::dezEZuvazozSMMEuclidean);
      engine.Data(cells);
      std::chrono::steady_clock::time_point start;
      const auto since = [&start] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
      engine.SetProgress([&](const char* phase, double fraction) {
        if (std::strcmp(phase, "ReduceMatrix") != 0) return;  // the agglomeration's reports split the phases
        if (firstReport < 0.0) firstReport = since();
        if (fraction == 1.0) lastReport = since();
      });
      malloc_trim(0);  // what earlier methods freed goes back before the peak is reset
      ResetPeakMemory();
      start = std::chrono::steady_clock::now();
      engine.Analyse();
      seconds = since();
      peak = PeakMemoryMb();
      if (engine.Undefined()) {
        std::cerr << "peer_driver: the matrix is undefined\n";
        return 1;
      }
      r = engine.CopheneticR();
      if (levelsPath != nullptr) {
        const dez::Schedule& steps = engine.StepMatrixView();
        std::vector<double> levels;
        for (std::int64_t e = n + 1; e <= 2 * n - 1; ++e) levels.push_back(steps[static_cast<std::int32_t>(e)].level);
        std::ofstream(levelsPath, std::ios::binary)
            .write(reinterpret_cast<const char*>(levels.data()), static_cast<std::streamsize>(levels.size() * sizeof(double)));
      }
    }
    std::printf("%s %.3f %.15g %.0f %.3f %.3f %.3f\n", method->name, seconds, r, peak, firstReport,
                lastReport - firstReport, seconds - lastReport);
    std::fflush(stdout);
  }
  return 0;
}
