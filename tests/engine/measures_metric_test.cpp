// The metric measures: worked values, the exponent rules, the correlation's library
// calls, faults, and the builder against the literal algorithm on random data.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine/metric_matrix.h"
#include "engine/parallel_rows.h"
#include "host/embedded/statistics.h"
#include "tests/engine/measures_reference.h"
#include "tests/engine/test_context.h"

namespace dez {
namespace {

using reference::Block;
using reference::SameBits;

/// The builder with the engine's exponent 0 and the given Power.
DoubleMatrix Build(const VariantMatrix& data, std::int32_t measure, bool& undefined, std::int16_t power = 1) {
  embedded::clsStatisticsEmbedded statistics;
  std::int16_t exponent = 0;
  return BuildMetricMatrix(data, measure, exponent, power, statistics, undefined);
}

/// The value of cell (1, 2), or NaN when the matrix is undefined.
double PairValue(const VariantMatrix& data, std::int32_t measure, std::int16_t power = 1) {
  bool undefined = false;
  const DoubleMatrix m = Build(data, measure, undefined, power);
  if (undefined || m.rows() < 2) return std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(m(2, 1), m(1, 2));
  EXPECT_EQ(m(1, 1), 0.0);
  return m(1, 2);
}

TEST(MetricMatrix, WorkedValues) {
  const VariantMatrix corner = Block({{0, 0}, {3, 4}});
  EXPECT_EQ(PairValue(corner, dezEZuvazozSMMSqrdEuclidean), 25.0);
  EXPECT_EQ(PairValue(corner, dezEZuvazozSMMEuclidean), 5.0);
  EXPECT_EQ(PairValue(corner, dezEZuvazozSMMCityBlock), 7.0);
  // Minkowski, Power 3: the sum of cubes, then the power 1/3, as the algorithm forms them
  // (volatile: evaluated by the C library at run time, as the builder does, not folded).
  volatile double three = 3.0;
  const double cubes = 0.0 + std::pow(3.0, three) + std::pow(4.0, three);
  EXPECT_EQ(cubes, 91.0);
  EXPECT_EQ(PairValue(corner, dezEZuvazozSMMMinkowski, 3), std::pow(cubes, 1.0 / three));
  EXPECT_NEAR(PairValue(corner, dezEZuvazozSMMMinkowski, 3), std::cbrt(91.0), 1e-14);

  const VariantMatrix plain = Block({{1, 2}, {3, 2}});
  EXPECT_EQ(PairValue(plain, dezEZuvazozSMMCanberra), 0.5) << "2/4 + 0/4";
  EXPECT_EQ(PairValue(plain, dezEZuvazozSMMBrayCurtis), 0.25) << "2 / (5 + 3)";
}

TEST(MetricMatrix, MinkowskiOneAndTwoAreCityBlockAndEuclidean) {
  const VariantMatrix data = Block({{0.1, 2.7, -3.3}, {1.9, 0.2, 4.4}, {-5.5, 6.25, 0.0}});
  bool undefined = false;
  EXPECT_TRUE(SameBits(Build(data, dezEZuvazozSMMMinkowski, undefined, 1),
                       Build(data, dezEZuvazozSMMCityBlock, undefined)));
  EXPECT_TRUE(SameBits(Build(data, dezEZuvazozSMMMinkowski, undefined, 2),
                       Build(data, dezEZuvazozSMMEuclidean, undefined)));
  EXPECT_FALSE(undefined);
}

TEST(MetricMatrix, IdenticalItemsAreAtDistanceZero) {
  const VariantMatrix data = Block({{1.5, -2, 7}, {1.5, -2, 7}});
  for (std::int32_t measure : {1, 2, 3, 4, 5, 7}) EXPECT_EQ(PairValue(data, measure, 4), 0.0) << measure;
}

struct ExponentCase {
  std::int32_t measure;
  std::int16_t in;
  std::int16_t power;
  std::int16_t out;
};

const ExponentCase kExponents[] = {
    {dezEZuvazozSMMCityBlock, 0, 1, 1},      {dezEZuvazozSMMCityBlock, 5, 1, 1},
    {dezEZuvazozSMMEuclidean, 0, 1, 2},      {dezEZuvazozSMMEuclidean, 3, 1, 2},
    {dezEZuvazozSMMSqrdEuclidean, 3, 1, 2},  {dezEZuvazozSMMMinkowski, 0, 3, 3},
    {dezEZuvazozSMMMinkowski, 4, 3, 3},      {dezEZuvazozSMMMinkowski, 0, 0, 0},
    {dezEZuvazozSMMBrayCurtis, 0, 1, 2},     {dezEZuvazozSMMBrayCurtis, 3, 1, 3},
    {dezEZuvazozSMMCanberra, 3, 1, 3},       {dezEZuvazozSMMCorrelation, 3, 1, 3},
    {0, 0, 1, 2},                            {0, 3, 1, 3},
};

TEST(MetricMatrix, ExponentVariableReceivesTheExponentUsed) {
  embedded::clsStatisticsEmbedded statistics;
  for (const ExponentCase& c : kExponents) {
    std::int16_t exponent = c.in;
    bool undefined = false;
    (void)BuildMetricMatrix(Block({{1, 2}, {3, 5}}), c.measure, exponent, c.power, statistics, undefined);
    EXPECT_EQ(exponent, c.out) << "measure " << c.measure << ", in " << c.in;
  }
}

TEST(MetricMatrix, CorrelationWithTheEmbeddedLibrary) {
  const VariantMatrix data = Block({{1, 2, 3}, {2, 4, 7}, {3, 2, 1}});
  bool undefined = false;
  const DoubleMatrix m = Build(data, dezEZuvazozSMMCorrelation, undefined);
  ASSERT_FALSE(undefined);
  EXPECT_EQ(m(1, 1), 1.0) << "the library's diagonal";
  EXPECT_EQ(m(1, 3), -1.0);
  bool constant = false;
  EXPECT_TRUE(Build(Block({{1, 2, 3}, {5, 5, 5}}), dezEZuvazozSMMCorrelation, constant).empty());
  EXPECT_TRUE(constant) << "a row without variation";
}

struct FaultCase {
  const char* what;
  VariantMatrix data;
  std::vector<std::int32_t> measures;
  std::int16_t power = 1;
};

const std::vector<std::int32_t> kDistances = {1, 2, 3, 4, 5, 7};
constexpr double kHuge = 1e308;

std::vector<FaultCase> FaultCases() {
  const auto withCell = [](const Variant& v) {
    VariantMatrix m = Block({{1, 2, 3}, {4, 5, 6}});
    m.At(2, 2) = v;
    return m;
  };
  const double inf = std::numeric_limits<double>::infinity();
  return {
      {"a text that is no number", withCell("abc"), kDistances},
      {"an error value", withCell(CellError{2042}), kDistances},
      {"an infinite number", withCell(inf), kDistances},
      {"a NaN", withCell(std::numeric_limits<double>::quiet_NaN()), kDistances},
      {"two all-zero items", Block({{0, 0}, {0, 0}}), {dezEZuvazozSMMBrayCurtis, dezEZuvazozSMMCanberra}},
      {"Canberra, x_k = -y_k", Block({{1, 2}, {-1, 3}}), {dezEZuvazozSMMCanberra}},
      {"Bray-Curtis, sums cancel", Block({{1, 2}, {-1, -2}}), {dezEZuvazozSMMBrayCurtis}},
      {"Minkowski, Power 0", Block({{1, 2}, {3, 5}}), {dezEZuvazozSMMMinkowski}, 0},
      {"no variables", VariantMatrix(2, 0), {dezEZuvazozSMMBrayCurtis, dezEZuvazozSMMCorrelation}},
      {"a difference that overflows", Block({{kHuge, 0}, {-kHuge, 0}}), kDistances},
      {"a power that overflows", Block({{1e40, 0}, {0, 0}}), {dezEZuvazozSMMMinkowski}, 9},
      {"Bray-Curtis, a sum that overflows", Block({{kHuge, kHuge}, {kHuge, kHuge}}), {dezEZuvazozSMMBrayCurtis}},
      {"Canberra, x_k + y_k overflows", Block({{kHuge, 1}, {kHuge, 2}}), {dezEZuvazozSMMCanberra}},
      {"a row without variation", Block({{2, 2}, {1, 3}}), {dezEZuvazozSMMCorrelation}},
      {"32768 items", VariantMatrix(32768, 1, Variant(1.0)), {3, 6}},
      {"32768 variables", VariantMatrix(1, 32768, Variant(1.0)), {3, 6}},
      {"an empty data block", VariantMatrix(), {0, 3, 6}},
  };
}

TEST(MetricMatrix, FaultsLeaveAnUndefinedEmptyMatrix) {
  embedded::clsStatisticsEmbedded statistics;
  for (const FaultCase& c : FaultCases()) {
    for (std::int32_t measure : c.measures) {
      bool undefined = false;
      EXPECT_TRUE(Build(c.data, measure, undefined, c.power).empty()) << c.what << ", measure " << measure;
      EXPECT_TRUE(undefined) << c.what << ", measure " << measure;
      if (c.data.rows() <= 2) {
        bool literal = false;
        std::int16_t exponent = 0;
        EXPECT_TRUE(reference::Metric(c.data, measure, exponent, c.power, statistics, literal).empty()) << c.what;
        EXPECT_TRUE(literal) << c.what << ", measure " << measure;
      }
    }
  }
}

TEST(MetricMatrix, HugeValuesThatDoNotOverflowAreFine) {
  const VariantMatrix data = Block({{kHuge, kHuge}, {kHuge, kHuge}});
  EXPECT_EQ(PairValue(data, dezEZuvazozSMMCityBlock), 0.0);
  EXPECT_EQ(PairValue(data, dezEZuvazozSMMEuclidean), 0.0);
}

TEST(MetricMatrix, CellsAsNumbers) {
  EXPECT_EQ(PairValue(Block({{Variant(), 0}, {3, 4}}), dezEZuvazozSMMEuclidean), 5.0) << "empty is 0";
  EXPECT_EQ(PairValue(Block({{"3", " 4 "}, {0, 0}}), dezEZuvazozSMMCityBlock), 7.0) << "numeric texts";
  EXPECT_EQ(PairValue(Block({{true, false}, {2, 0}}), dezEZuvazozSMMCityBlock), 3.0) << "True is -1";
}

TEST(MetricMatrix, CellsThatNoPairReadsDoNotMatter) {
  for (std::int32_t measure : kDistances) {
    bool undefined = false;
    EXPECT_TRUE(SameBits(Build(Block({{"abc", CellError{2007}}}), measure, undefined, 0), DoubleMatrix(1, 1)));
    EXPECT_FALSE(undefined) << "a single item, measure " << measure;
  }
  for (std::int32_t measure : {0, 8, -3}) {
    bool undefined = false;
    EXPECT_TRUE(SameBits(Build(Block({{"abc", 1}, {2, 3}}), measure, undefined), DoubleMatrix(2, 2)));
    EXPECT_FALSE(undefined) << "unknown code " << measure;
  }
}

TEST(MetricMatrix, TheEngineBuildsWithItsPowerAndStatistics) {
  enginetest::TestContext t;
  clsHClusterBO engine(t.context);
  engine.ClusterType(dezEZuvazozMetric);
  engine.Method(dezEZuvazozMethGroupAvg);
  engine.Measure(dezEZuvazozSMMMinkowski);
  std::int16_t power = 3;
  engine.Power(power);
  const VariantMatrix data = Block({{0, 0}, {3, 4}, {1, 1}});
  engine.Data(data);
  engine.Analyse();
  EXPECT_FALSE(engine.Undefined());
  bool undefined = false;
  EXPECT_TRUE(SameBits(engine.DistanceMatrixView(), Build(data, dezEZuvazozSMMMinkowski, undefined, 3)));

  engine.Measure(dezEZuvazozSMMCorrelation);
  engine.Data(Block({{1, 2, 3}, {5, 5, 5}, {1, 0, 2}}));
  engine.Analyse();
  EXPECT_TRUE(engine.Undefined()) << "the library fails on a row without variation";
  EXPECT_TRUE(engine.DistanceMatrixView().empty());
}

/// Random cells: mostly decimals, with zeros, empty cells, numeric texts and Booleans;
/// in some runs huge values, negative values only, or a cell that is no number.
VariantMatrix RandomNumbers(std::mt19937& rng, std::int32_t n, std::int32_t p, int flavour) {
  std::uniform_real_distribution<double> u(0.0, 1.0);
  std::uniform_real_distribution<double> value(flavour == 1 ? 0.0 : -10.0, 10.0);
  VariantMatrix m(n, p);
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t k = 1; k <= p; ++k) {
      const double pick = u(rng);
      Variant cell = value(rng);
      if (pick < 0.05) cell = 0.0;
      else if (pick < 0.08) cell = Variant();
      else if (pick < 0.11) cell = FormatGeneral(std::round(value(rng) * 100.0) / 100.0);
      else if (pick < 0.13) cell = u(rng) < 0.5;
      else if (pick < 0.2) cell = std::round(value(rng));
      if (flavour == 2 && u(rng) < 0.3) cell = (u(rng) < 0.5 ? -1.0 : 1.0) * std::ldexp(1.0, 1015 + static_cast<int>(u(rng) * 8));
      if (flavour == 3 && u(rng) < 0.02) cell = u(rng) < 0.5 ? Variant("n/a") : Variant(CellError{2015});
      m.At(i, k) = cell;
    }
  }
  return m;
}

TEST(MetricMatrix, MatchesTheLiteralAlgorithmBitForBit) {
  std::mt19937 rng(424242);
  std::uniform_int_distribution<std::int32_t> items(1, 9);
  std::uniform_int_distribution<std::int32_t> variables(0, 12);
  std::uniform_int_distribution<int> powers(-1, 10);
  const std::int16_t exponents[] = {-1, 0, 2, 3};
  embedded::clsStatisticsEmbedded statistics;
  int defined = 0;
  int undefined = 0;
  struct Restore {
    ~Restore() { SetBuilderThreads(0); }
  } restore;
  for (int run = 0; run < 300; ++run) {
    // The rows are shared among 1, 2, 3 or 8 builder threads in turn.
    SetBuilderThreads(std::array{1, 2, 3, 8}[static_cast<std::size_t>(run) % 4]);
    const bool wide = run == 10 || run == 11 || run == 12 || run == 13;  // more partners than one streaming block
    const std::int32_t n = wide ? 600 : items(rng);
    const std::int32_t p = wide ? 3 : variables(rng);
    const VariantMatrix data = RandomNumbers(rng, n, p, run % 5);
    for (std::int32_t measure = 0; measure <= 8; ++measure) {
      const auto power = static_cast<std::int16_t>(powers(rng));
      const std::int16_t in = exponents[run % 4];
      std::int16_t fastExponent = in;
      std::int16_t literalExponent = in;
      bool fast = false;
      bool literal = false;
      const DoubleMatrix m = BuildMetricMatrix(data, measure, fastExponent, power, statistics, fast);
      const DoubleMatrix r = reference::Metric(data, measure, literalExponent, power, statistics, literal);
      ASSERT_EQ(fast, literal) << "run " << run << ", measure " << measure << ", power " << power;
      ASSERT_TRUE(SameBits(m, r)) << "run " << run << ", measure " << measure << ", power " << power;
      ASSERT_EQ(fastExponent, literalExponent);
      (fast ? undefined : defined) += 1;
    }
  }
  EXPECT_GT(defined, 1000);
  EXPECT_GT(undefined, 200);
}

}  // namespace
}  // namespace dez
