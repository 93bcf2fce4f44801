// The matrix builders against the floor of their formulas.
//
// Each benchmark builds the matrix of one measure for n = 4000 items and p = 16
// variables from cell values, and in the same iteration runs the floor: a plain loop
// over the same pairs (i < j, both cells written) on data already held as doubles,
// computing the same formula with the same operations, without conversion, checks or
// anything else. Counters:
//   ratio        builder time / floor time, summed over the iterations (the aim: <= 1.3)
//   builder_ms   builder time per build;  floor_ms  floor time per build
//   same_bits    1 when the floor's matrix has the builder's bits (it computes the same)
//   vs_multiply  (power measures) builder time / a loop that squares by multiplying and
//                takes sqrt: what the exact power operator costs, not a floor
//
// The power measures call std::pow per term because pow(d, 2) differs from d * d in the
// last bit for about one value in a thousand; the floor makes the same calls.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/binomial_matrix.h"
#include "engine/metric_matrix.h"
#include "engine/mixed_matrix.h"
#include "host/embedded/statistics.h"

namespace dez {
namespace {

constexpr std::int32_t kItems = 4000;
constexpr std::int32_t kVariables = 16;

// ---- data ----

/// The cells and the same values as row-major doubles, item i's variable k at [i * p + k].
struct Data {
  VariantMatrix cells;
  std::vector<double> values;
};

Data BinaryData() {
  std::mt19937 rng(1);
  std::bernoulli_distribution present(0.5);
  Data d{VariantMatrix(kItems, kVariables), std::vector<double>(static_cast<std::size_t>(kItems) * kVariables)};
  for (std::int32_t i = 0; i < kItems; ++i) {
    for (std::int32_t k = 0; k < kVariables; ++k) {
      const double v = present(rng) ? 1.0 : 0.0;
      d.cells(i + 1, k + 1) = v;
      d.values[static_cast<std::size_t>(i) * kVariables + static_cast<std::size_t>(k)] = v;
    }
  }
  return d;
}

Data MetricData() {
  std::mt19937 rng(2);
  std::uniform_real_distribution<double> value(1.0, 10.0);  // positive: every measure is defined
  Data d{VariantMatrix(kItems, kVariables), std::vector<double>(static_cast<std::size_t>(kItems) * kVariables)};
  for (std::int32_t i = 0; i < kItems; ++i) {
    for (std::int32_t k = 0; k < kVariables; ++k) {
      const double v = value(rng);
      d.cells(i + 1, k + 1) = v;
      d.values[static_cast<std::size_t>(i) * kVariables + static_cast<std::size_t>(k)] = v;
    }
  }
  return d;
}

enum class Kind { kBinary, kQualitative, kQuantitative };

/// Mixed data: six BIN, five QUAL and five QUANT variables, in turn. The doubles hold the
/// presence (BIN), the category number (QUAL) or the value (QUANT).
struct MixedData {
  Data data;
  StringMatrix types;
  std::vector<Kind> kinds;
  std::vector<double> ranges;
};

MixedData MakeMixedData() {
  static const char* const kColours[] = {"red", "green", "blue", "grey"};
  std::mt19937 rng(3);
  std::bernoulli_distribution present(0.5);
  std::uniform_int_distribution<int> colour(0, 3);
  std::uniform_real_distribution<double> value(0.0, 100.0);
  MixedData m{{VariantMatrix(kItems, kVariables), std::vector<double>(static_cast<std::size_t>(kItems) * kVariables)},
              StringMatrix(1, kVariables),
              std::vector<Kind>(kVariables),
              std::vector<double>(kVariables, 0.0)};
  for (std::int32_t k = 0; k < kVariables; ++k) {
    m.kinds[static_cast<std::size_t>(k)] = k % 3 == 0 ? Kind::kBinary : k % 3 == 1 ? Kind::kQualitative : Kind::kQuantitative;
    m.types(1, k + 1) = k % 3 == 0 ? "BIN" : k % 3 == 1 ? "QUAL" : "QUANT";
  }
  for (std::int32_t i = 0; i < kItems; ++i) {
    for (std::int32_t k = 0; k < kVariables; ++k) {
      double v = 0.0;
      Variant cell;
      switch (m.kinds[static_cast<std::size_t>(k)]) {
        case Kind::kBinary: v = present(rng) ? 1.0 : 0.0; cell = v; break;
        case Kind::kQualitative: v = colour(rng); cell = kColours[static_cast<int>(v)]; break;
        case Kind::kQuantitative: v = value(rng); cell = v; break;
      }
      m.data.cells(i + 1, k + 1) = cell;
      m.data.values[static_cast<std::size_t>(i) * kVariables + static_cast<std::size_t>(k)] = v;
    }
  }
  for (std::int32_t k = 0; k < kVariables; ++k) {
    if (m.kinds[static_cast<std::size_t>(k)] != Kind::kQuantitative) continue;
    double max = m.data.values[static_cast<std::size_t>(k)];
    double min = max;
    for (std::int32_t i = 1; i < kItems; ++i) {
      const double v = m.data.values[static_cast<std::size_t>(i) * kVariables + static_cast<std::size_t>(k)];
      if (v > max) max = v;
      if (v < min) min = v;
    }
    m.ranges[static_cast<std::size_t>(k)] = max - min;
  }
  return m;
}

const Data& Binary() {
  static const Data d = BinaryData();
  return d;
}
const Data& Metric() {
  static const Data d = MetricData();
  return d;
}
const MixedData& Mixed() {
  static const MixedData d = MakeMixedData();
  return d;
}

// ---- the floors ----

/// The plain pair loop: cell(i, j) for every i < j, written to (i, j) and (j, i).
template <class Cell>
DoubleMatrix PlainPairLoop(Cell cell) {
  DoubleMatrix out(kItems, kItems);
  double* m = out.data();
  const auto n = static_cast<std::size_t>(kItems);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      const double v = cell(i, j);
      m[i * n + j] = v;
      m[j * n + i] = v;
    }
  }
  return out;
}

const double* Row(const std::vector<double>& values, std::size_t i) { return values.data() + i * kVariables; }

// Exponents read at run time, so that the compiler calls pow as the builders do instead
// of turning pow(x, 2.0) into x * x.
volatile double gTwo = 2.0;
volatile double gThree = 3.0;

/// A binary measure from counts held as doubles; 0 where the denominator is 0.
double BinaryFormula(std::int32_t measure, double a, double b, double c, double d, double p, double pSquared) {
  switch (measure) {
    case dezEZuvazozSMBEuclidean: return std::sqrt(b + c);
    case dezEZuvazozSMBHamann: return (a + d - c - b) / (a + b + c + d);
    case dezEZuvazozSMBJaccard: return a + b + c == 0.0 ? 0.0 : a / (a + b + c);
    case dezEZuvazozSMBKulczynski1: return b + c == 0.0 ? 0.0 : a / (b + c);
    case dezEZuvazozSMBKulczynski2:
      return a + b == 0.0 || a + c == 0.0 ? 0.0 : (a / (a + b) + a / (a + c)) / 2.0;
    case dezEZuvazozSMBOchiai: {
      const double root = std::sqrt((a + b) * (a + c));
      return root == 0.0 ? 0.0 : a / root;
    }
    case dezEZuvazozSMBPattern: return b * c / pSquared;
    case dezEZuvazozSMBPhi: {
      const double root = std::sqrt((a + b) * (a + c) * (c + d) * (b + d));
      return root == 0.0 ? 0.0 : (a * d - b * c) / root;
    }
    case dezEZuvazozSMBRogersTanimoto: return (a + d) / (a + d + 2.0 * b + 2.0 * c);
    case dezEZuvazozSMBRusselRao: return a / (a + b + c + d);
    case dezEZuvazozSMBSokalMitchener: return (a + d) / (a + b + c + d);
    case dezEZuvazozSMBSorensenDice: return 2.0 * a + b + c == 0.0 ? 0.0 : 2.0 * a / (2.0 * a + b + c);
    case dezEZuvazozSMBSqrdEuclidean: return b + c;
    case dezEZuvazozSMBVariance: return (b + c) / (4.0 * p);
    case dezEZuvazozSMBYuleQ: return a * d + b * c == 0.0 ? 0.0 : (a * d - b * c) / (a * d + b * c);
    default: return 0.0;
  }
}

DoubleMatrix BinaryFloor(std::int32_t measure) {
  const std::vector<double>& values = Binary().values;
  const double p = kVariables;
  const double pSquared = std::pow(p, gTwo);
  return PlainPairLoop([&](std::size_t i, std::size_t j) {
    const double* x = Row(values, i);
    const double* y = Row(values, j);
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    for (std::size_t k = 0; k < kVariables; ++k) {
      a += x[k] * y[k];
      b += x[k] * (1.0 - y[k]);
      c += (1.0 - x[k]) * y[k];
    }
    return BinaryFormula(measure, a, b, c, p - a - b - c, p, pSquared);
  });
}

DoubleMatrix MetricFloor(std::int32_t measure) {
  const std::vector<double>& values = Metric().values;
  const double two = gTwo;
  const double three = gThree;
  const auto pairs = [&](auto term, auto finish) {
    return PlainPairLoop([&](std::size_t i, std::size_t j) {
      const double* x = Row(values, i);
      const double* y = Row(values, j);
      double s = 0.0;
      for (std::size_t k = 0; k < kVariables; ++k) s += term(x[k], y[k]);
      return finish(s);
    });
  };
  const auto keep = [](double s) { return s; };
  switch (measure) {
    case dezEZuvazozSMMBrayCurtis:
      return PlainPairLoop([&](std::size_t i, std::size_t j) {
        const double* x = Row(values, i);
        const double* y = Row(values, j);
        double s = 0.0;
        double sumX = 0.0;
        double sumY = 0.0;
        for (std::size_t k = 0; k < kVariables; ++k) {
          s += std::fabs(x[k] - y[k]);
          sumX += x[k];
          sumY += y[k];
        }
        return s / (sumY + sumX);
      });
    case dezEZuvazozSMMCanberra:
      return pairs([](double x, double y) { return std::fabs(x - y) / (x + y); }, keep);
    case dezEZuvazozSMMCityBlock: return pairs([](double x, double y) { return std::fabs(x - y); }, keep);
    case dezEZuvazozSMMEuclidean:
      return pairs([two](double x, double y) { return std::pow(std::fabs(x - y), two); },
                   [two](double s) { return std::pow(s, 1.0 / two); });
    case dezEZuvazozSMMMinkowski:
      return pairs([three](double x, double y) { return std::pow(std::fabs(x - y), three); },
                   [three](double s) { return std::pow(s, 1.0 / three); });
    case dezEZuvazozSMMSqrdEuclidean:
      return pairs([two](double x, double y) { return std::pow(std::fabs(x - y), two); }, keep);
    default: return {};
  }
}

/// Not a floor: squares by multiplying, roots by sqrt (other bits than the power operator).
DoubleMatrix MultiplyingLoop(std::int32_t measure) {
  const std::vector<double>& values = Metric().values;
  return PlainPairLoop([&](std::size_t i, std::size_t j) {
    const double* x = Row(values, i);
    const double* y = Row(values, j);
    double s = 0.0;
    for (std::size_t k = 0; k < kVariables; ++k) {
      const double d = std::fabs(x[k] - y[k]);
      s += measure == dezEZuvazozSMMMinkowski ? d * d * d : d * d;
    }
    return measure == dezEZuvazozSMMEuclidean ? std::sqrt(s) : measure == dezEZuvazozSMMMinkowski ? std::cbrt(s) : s;
  });
}

DoubleMatrix MixedFloor() {
  const MixedData& m = Mixed();
  return PlainPairLoop([&](std::size_t i, std::size_t j) {
    const double* x = Row(m.data.values, i);
    const double* y = Row(m.data.values, j);
    double s = 0.0;
    double w = 0.0;
    for (std::size_t k = 0; k < kVariables; ++k) {
      switch (m.kinds[k]) {
        case Kind::kBinary:
          if (x[k] == 1.0 && y[k] == 1.0) {
            s += 1.0;
            w += 1.0;
          } else if (!(x[k] == 0.0 && y[k] == 0.0)) {
            w += 1.0;
          }
          break;
        case Kind::kQualitative:
          s += x[k] == y[k] ? 1.0 : 0.0;
          w += 1.0;
          break;
        case Kind::kQuantitative:
          s += 1.0 - std::fabs(x[k] - y[k]) / m.ranges[k];
          w += 1.0;
          break;
      }
    }
    return w == 0.0 ? 0.0 : s / w;
  });
}

// ---- timing ----

bool SameBits(const DoubleMatrix& a, const DoubleMatrix& b) {
  return a.rows() == b.rows() && a.cols() == b.cols() && !a.empty() &&
         std::memcmp(a.data(), b.data(), sizeof(double) * static_cast<std::size_t>(a.rows()) *
                                             static_cast<std::size_t>(a.cols())) == 0;
}

double Seconds(const std::function<DoubleMatrix()>& run, DoubleMatrix& out) {
  const auto start = std::chrono::steady_clock::now();
  out = run();
  benchmark::DoNotOptimize(out.data());
  benchmark::ClobberMemory();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

/// Times builder and floor in turn, alternating which goes first; the builder's time is
/// the benchmark's time.
void Compare(benchmark::State& state, const std::function<DoubleMatrix()>& builder,
             const std::function<DoubleMatrix()>& floor, const std::function<DoubleMatrix()>& multiplying = {}) {
  double builderTotal = 0.0;
  double floorTotal = 0.0;
  double multiplyingTotal = 0.0;
  bool same = true;
  int iteration = 0;
  for (auto _ : state) {
    DoubleMatrix built;
    DoubleMatrix floored;
    double b = 0.0;
    if (iteration++ % 2 == 0) {
      b = Seconds(builder, built);
      floorTotal += Seconds(floor, floored);
    } else {
      floorTotal += Seconds(floor, floored);
      b = Seconds(builder, built);
    }
    builderTotal += b;
    state.SetIterationTime(b);
    same = same && SameBits(built, floored);
    if (multiplying) {
      DoubleMatrix plain;
      multiplyingTotal += Seconds(multiplying, plain);
    }
  }
  state.counters["ratio"] = builderTotal / floorTotal;
  state.counters["builder_ms"] = 1e3 * builderTotal / iteration;
  state.counters["floor_ms"] = 1e3 * floorTotal / iteration;
  state.counters["same_bits"] = same ? 1.0 : 0.0;
  if (multiplying) state.counters["vs_multiply"] = builderTotal / multiplyingTotal;
}

void RegisterAll() {
  // The data are made before any timing starts.
  (void)Binary();
  (void)Metric();
  (void)Mixed();
  static const std::pair<std::int32_t, const char*> kBinary[] = {
      {1, "Euclidean"},       {2, "Hamann"},      {3, "Jaccard"},      {4, "Kulczynski1"},
      {5, "Kulczynski2"},     {6, "Ochiai"},      {7, "Pattern"},      {8, "Phi"},
      {9, "RogersTanimoto"},  {10, "RusselRao"},  {11, "SokalMitchener"}, {12, "SorensenDice"},
      {13, "SqrdEuclidean"},  {14, "Variance"},   {15, "YuleQ"}};
  for (const auto& [measure, name] : kBinary) {
    benchmark::RegisterBenchmark((std::string("Binomial/") + name).c_str(), [measure = measure](benchmark::State& s) {
      Compare(
          s,
          [measure] {
            bool undefined = false;
            return BuildBinomialMatrix(Binary().cells, "1", "0", measure, undefined);
          },
          [measure] { return BinaryFloor(measure); });
    })->UseManualTime()->Iterations(6)->Unit(benchmark::kMillisecond);
  }

  static const std::pair<std::int32_t, const char*> kMetric[] = {
      {1, "BrayCurtis"}, {2, "Canberra"}, {3, "CityBlock"}, {4, "Euclidean"}, {5, "Minkowski3"}, {7, "SqrdEuclidean"}};
  for (const auto& [measure, name] : kMetric) {
    const bool power = measure == 4 || measure == 5 || measure == 7;
    benchmark::RegisterBenchmark((std::string("Metric/") + name).c_str(), [measure = measure, power](benchmark::State& s) {
      Compare(
          s,
          [measure] {
            embedded::clsStatisticsEmbedded statistics;
            std::int16_t exponent = 0;
            bool undefined = false;
            return BuildMetricMatrix(Metric().cells, measure, exponent, 3, statistics, undefined);
          },
          [measure] { return MetricFloor(measure); },
          power ? std::function<DoubleMatrix()>([measure] { return MultiplyingLoop(measure); })
                : std::function<DoubleMatrix()>());
    })->UseManualTime()->Iterations(power ? 2 : 6)->Unit(benchmark::kMillisecond);
  }

  benchmark::RegisterBenchmark("Metric/Correlation", [](benchmark::State& s) {
    Compare(
        s,
        [] {
          embedded::clsStatisticsEmbedded statistics;
          std::int16_t exponent = 0;
          bool undefined = false;
          return BuildMetricMatrix(Metric().cells, dezEZuvazozSMMCorrelation, exponent, 1, statistics, undefined);
        },
        [] {
          // The library's own three calls, which the builder makes.
          embedded::clsStatisticsEmbedded statistics;
          return statistics.CorrelationMatrix(statistics.PrepareCorrelation(statistics.ToDoubleMatrix(Metric().cells)),
                                              false);
        });
  })->UseManualTime()->Iterations(4)->Unit(benchmark::kMillisecond);

  benchmark::RegisterBenchmark("Mixed", [](benchmark::State& s) {
    Compare(
        s,
        [] { return BuildMixedMatrix(Mixed().data.cells, Mixed().types, "1", "0").value_or(DoubleMatrix()); },
        [] { return MixedFloor(); });
  })->UseManualTime()->Iterations(6)->Unit(benchmark::kMillisecond);
}

}  // namespace
}  // namespace dez

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  dez::RegisterAll();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
