// The three matrix builders (binary, metric, mixed data) against their literal versions
// (measures_reference.h) on random data, bit for bit, for every measure code, known or
// not, with the rows shared among several builder threads; a few hand-computed anchors
// where the literal version could share a misreading; and the faults that leave the
// matrix undefined, at and just below the 16-bit and double-precision limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/binomial_matrix.h"
#include "engine/metric_matrix.h"
#include "engine/mixed_matrix.h"
#include "engine/parallel_rows.h"
#include "host/embedded/statistics.h"
#include "tests/engine/measures_reference.h"

namespace dez {
namespace {

using reference::Block;
using reference::Codes;
using reference::SameBits;

struct RestoreThreads {
  ~RestoreThreads() { SetBuilderThreads(0); }
};

DoubleMatrix Binary(const VariantMatrix& data, std::int32_t measure, bool& undefined) {
  return BuildBinomialMatrix(data, "1", "0", measure, undefined);
}

DoubleMatrix Metric(const VariantMatrix& data, std::int32_t measure, bool& undefined, std::int16_t power = 1) {
  embedded::clsStatisticsEmbedded statistics;
  std::int16_t exponent = 0;
  return BuildMetricMatrix(data, measure, exponent, power, statistics, undefined);
}

/// Two binary items whose counts are a, b, c and d, in that order of variables.
VariantMatrix Pair(int a, int b, int c, int d) {
  VariantMatrix m(2, a + b + c + d);
  for (std::int32_t k = 1; k <= m.cols(); ++k) {
    m.At(1, k) = k <= a + b ? 1.0 : 0.0;
    m.At(2, k) = k <= a || (k > a + b && k <= a + b + c) ? 1.0 : 0.0;
  }
  return m;
}

// ---- anchors ----

TEST(Measures, HandComputedAnchors) {
  // Binary items (1, 1, 0, 0) and (1, 0, 1, 0): a = b = c = d = 1, p = 4.
  const std::pair<std::int32_t, double> kOneOfEach[] = {
      {dezEZuvazozSMBEuclidean, std::sqrt(2.0)}, {dezEZuvazozSMBHamann, 0.0},       {dezEZuvazozSMBJaccard, 1.0 / 3.0},
      {dezEZuvazozSMBKulczynski1, 0.5},          {dezEZuvazozSMBKulczynski2, 0.5},   {dezEZuvazozSMBOchiai, 0.5},
      {dezEZuvazozSMBPattern, 1.0 / 16.0},       {dezEZuvazozSMBPhi, 0.0},           {dezEZuvazozSMBRogersTanimoto, 1.0 / 3.0},
      {dezEZuvazozSMBRusselRao, 0.25},           {dezEZuvazozSMBSokalMitchener, 0.5}, {dezEZuvazozSMBSorensenDice, 0.5},
      {dezEZuvazozSMBSqrdEuclidean, 2.0},        {dezEZuvazozSMBVariance, 0.125},    {dezEZuvazozSMBYuleQ, 0.0},
  };
  for (const auto& [measure, value] : kOneOfEach) {
    bool undefined = false;
    const DoubleMatrix m = Binary(Block({{1, "1", 0, "0"}, {1, 0, 1, 0}}), measure, undefined);
    ASSERT_EQ(m.rows(), 2) << measure;
    EXPECT_EQ(m(1, 2), value) << measure;
  }
  // Binary cells are compared as text: 1 + 2^-52 reads "1" at 15 significant digits.
  bool undefined = false;
  EXPECT_EQ(Binary(Block({{1.0 + std::ldexp(1.0, -52), 0}, {"1", 0.0}}), dezEZuvazozSMBJaccard, undefined)(1, 2), 1.0);

  const VariantMatrix corner = Block({{0, 0}, {3, 4}});
  EXPECT_EQ(Metric(corner, dezEZuvazozSMMSqrdEuclidean, undefined)(1, 2), 25.0);
  EXPECT_EQ(Metric(corner, dezEZuvazozSMMEuclidean, undefined)(1, 2), 5.0);
  EXPECT_EQ(Metric(corner, dezEZuvazozSMMCityBlock, undefined)(1, 2), 7.0);
  EXPECT_NEAR(Metric(corner, dezEZuvazozSMMMinkowski, undefined, 3)(1, 2), std::cbrt(91.0), 1e-14);
  EXPECT_EQ(Metric(Block({{1, 2}, {3, 2}}), dezEZuvazozSMMCanberra, undefined)(1, 2), 0.5) << "2/4 + 0/4";
  EXPECT_EQ(Metric(Block({{1, 2}, {3, 2}}), dezEZuvazozSMMBrayCurtis, undefined)(1, 2), 0.25) << "2 / (5 + 3)";
  EXPECT_EQ(Metric(Block({{1, 2, 3}, {2, 4, 7}, {3, 2, 1}}), dezEZuvazozSMMCorrelation, undefined)(1, 3), -1.0);
  EXPECT_FALSE(undefined);

  // Mixed: BIN 1 and 1, QUAL in different categories, QUANT 2 and 4 on a range of 0..10.
  const std::optional<DoubleMatrix> mixed = BuildMixedMatrix(
      Block({{1, "a", 2}, {1, "b", 4}, {0, "c", 0}, {0, "d", 10}}), Codes({"BIN", "qual", "QUANT"}), "1", "0");
  ASSERT_TRUE(mixed);
  EXPECT_NEAR((*mixed)(1, 2), 0.6, 1e-15);
  EXPECT_EQ((*mixed)(1, 1), 0.0) << "the diagonal is 0, not 1";
}

// ---- faults ----

TEST(Measures, FaultsLeaveAnUndefinedEmptyMatrix) {
  const VariantMatrix manyItems(32768, 1, Variant(1.0)), manyVariables(1, 32768, Variant(1.0));
  const struct {
    const char* what;
    bool metric;
    VariantMatrix data;
    std::vector<std::int32_t> measures;
  } kCases[] = {
      // Products of two counts past 16 bits, which the random comparison does not reach.
      {"YuleQ, a.d = 182^2", false, Pair(182, 0, 0, 182), {dezEZuvazozSMBYuleQ}},
      {"Pattern, b.c = 182^2", false, Pair(0, 182, 182, 0), {dezEZuvazozSMBPattern}},
      {"SorensenDice, 2a = 32768", false, Pair(16384, 0, 0, 0), {dezEZuvazozSMBSorensenDice}},
      {"RogersTanimoto, 2b = 32768", false, Pair(0, 16384, 0, 0), {dezEZuvazozSMBRogersTanimoto}},
      {"Variance, 4p = 32768", false, VariantMatrix(2, 8192, Variant(1.0)), {dezEZuvazozSMBVariance}},
      {"32768 items", false, manyItems, {dezEZuvazozSMBEuclidean}},
      {"32768 variables", false, manyVariables, {dezEZuvazozSMBEuclidean}},
      {"an empty data block", false, VariantMatrix(), {dezEZuvazozSMBEuclidean}},
      {"32768 items", true, manyItems, {3, 6}},
      {"32768 variables", true, manyVariables, {3, 6}},
      {"an empty data block", true, VariantMatrix(), {0, 3, 6}},
  };
  for (const auto& c : kCases) {
    for (std::int32_t measure : c.measures) {
      SCOPED_TRACE(::testing::Message() << c.what << ", measure " << measure);
      bool undefined = false;
      const DoubleMatrix m = c.metric ? Metric(c.data, measure, undefined) : Binary(c.data, measure, undefined);
      EXPECT_TRUE(m.empty());
      EXPECT_TRUE(undefined);
    }
  }
  // Just below the overflows.
  bool undefined = false;
  EXPECT_FALSE(Binary(Pair(7, 7, 7, 5), dezEZuvazozSMBPhi, undefined).empty()) << "14.14.12.12 = 28224";
  EXPECT_EQ(Binary(Pair(181, 0, 0, 0), dezEZuvazozSMBOchiai, undefined)(1, 2), 1.0) << "181^2 = 32761";
  EXPECT_FALSE(Binary(VariantMatrix(2, 8191, Variant(1.0)), dezEZuvazozSMBVariance, undefined).empty());
  EXPECT_FALSE(undefined);
}

// The mixed faults the random comparison below does not reach: a QUANT range that
// overflows, 32768 items, 32768 variables.
TEST(Measures, MixedFaultsLeaveNoMatrix) {
  EXPECT_FALSE(BuildMixedMatrix(Block({{1, 1e308}, {1, -1e308}}), Codes({"BIN", "QUANT"}), "1", "0"));
  EXPECT_FALSE(BuildMixedMatrix(VariantMatrix(32768, 1, Variant(1.0)), Codes({"BIN"}), "1", "0"));
  EXPECT_FALSE(BuildMixedMatrix(VariantMatrix(1, 32768, Variant(1.0)), Codes({"BIN"}), "1", "0"));
}

// ---- against the literal versions ----

constexpr std::int32_t kThreads[] = {1, 2, 3, 8};

TEST(Measures, BinaryMatchesTheLiteralAlgorithmBitForBit) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<std::int32_t> items(1, 9), variables(0, 45);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  static const Variant kBad[] = {2.0, "1.0", Variant(), CellError{2007}};
  RestoreThreads restore;
  int undefinedRuns = 0, faultRuns = 0;
  for (int run = 0; run < 200; ++run) {
    SetBuilderThreads(kThreads[run % 4]);
    const bool many = run % 50 == 25;  // more partners than one streaming block
    const std::int32_t n = many ? 80 : items(rng);
    const std::int32_t p = run % 50 == 0 ? 200 + run : many ? 70 : variables(rng);  // several words, large counts
    // 0/1 as numbers and texts; in every tenth run (not the wide ones) now and then a cell
    // that is neither: a number, a text that reads as 1, an empty cell or an error value.
    const double onesShare = u(rng), badShare = run % 10 == 3 ? 0.01 : 0.0;
    VariantMatrix data(n, p);
    for (std::int32_t i = 1; i <= n; ++i) {
      for (std::int32_t k = 1; k <= p; ++k) {
        const bool one = u(rng) < onesShare;
        data.At(i, k) = u(rng) < 0.3 ? Variant(one ? "1" : "0") : Variant(one ? 1.0 : 0.0);
        if (u(rng) < badShare) data.At(i, k) = kBad[static_cast<std::size_t>(u(rng) * 4)];
      }
    }
    for (std::int32_t measure = 0; measure <= 16; ++measure) {
      SCOPED_TRACE(::testing::Message() << "run " << run << ", measure " << measure);
      bool fast = false, literal = false;
      const DoubleMatrix m = Binary(data, measure, fast);
      ASSERT_TRUE(SameBits(m, reference::Binomial(data, "1", "0", measure, literal)));
      ASSERT_EQ(fast, literal);
      undefinedRuns += fast;
      faultRuns += fast && m.empty();
    }
  }
  EXPECT_GT(undefinedRuns, 100);
  EXPECT_GT(faultRuns, 30);
}

TEST(Measures, MetricMatchesTheLiteralAlgorithmBitForBit) {
  std::mt19937 rng(424242);
  std::uniform_int_distribution<std::int32_t> items(1, 9), variables(0, 12);
  std::uniform_int_distribution<int> powers(-1, 10);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  embedded::clsStatisticsEmbedded statistics;
  static const Variant kBad[] = {"n/a", CellError{2015}, std::numeric_limits<double>::infinity()};
  int defined = 0, undefined = 0;
  RestoreThreads restore;
  for (int run = 0; run < 300; ++run) {
    SetBuilderThreads(kThreads[run % 4]);
    const bool wide = run >= 10 && run <= 13;  // more partners than one streaming block
    const std::int32_t n = wide ? 600 : items(rng);
    const std::int32_t p = wide ? 3 : variables(rng);
    // Mostly decimals, with zeros, empty cells, numeric texts and Booleans; by flavour
    // huge values (2), negative values only (1), or a cell that is no finite number (3).
    const int flavour = run % 5;
    std::uniform_real_distribution<double> value(flavour == 1 ? 0.0 : -10.0, 10.0);
    VariantMatrix data(n, p);
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
        if (flavour == 3 && u(rng) < 0.02) cell = kBad[static_cast<std::size_t>(u(rng) * 3)];
        data.At(i, k) = cell;
      }
    }
    for (std::int32_t measure = 0; measure <= 8; ++measure) {
      const auto power = static_cast<std::int16_t>(powers(rng));
      SCOPED_TRACE(::testing::Message() << "run " << run << ", measure " << measure << ", power " << power);
      std::int16_t fastExponent = std::array<std::int16_t, 4>{-1, 0, 2, 3}[run % 4];
      std::int16_t literalExponent = fastExponent;
      bool fast = false, literal = false;
      const DoubleMatrix m = BuildMetricMatrix(data, measure, fastExponent, power, statistics, fast);
      ASSERT_TRUE(SameBits(m, reference::Metric(data, measure, literalExponent, power, statistics, literal)));
      ASSERT_EQ(fast, literal);
      ASSERT_EQ(fastExponent, literalExponent) << "the exponent used is handed back";
      (fast ? undefined : defined) += 1;
    }
  }
  EXPECT_GT(defined, 1000);
  EXPECT_GT(undefined, 200);
}

/// sometimes not; now and then an error value or a short type row.
TEST(Measures, MixedMatchesTheLiteralAlgorithmBitForBit) {
  static const char* const kCodes[] = {"BIN", "bin", "QUAL", "Qual", "QUANT", "quant", "X", ""};
  static const Variant kCategories[] = {"a", "A", "b", 1, 0, -1, Variant(), "", true, false, "1"};
  std::mt19937 rng(1789);
  std::uniform_int_distribution<std::int32_t> items(1, 9), variables(0, 8);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  std::uniform_int_distribution<int> code(0, 7), category(0, 10), level(0, 6);
  int defined = 0, undefined = 0;
  for (int run = 0; run < 600; ++run) {
    const bool wide = run == 11;  // more partners than one streaming block
    const std::int32_t n = wide ? 600 : items(rng);
    const std::int32_t p = wide ? 4 : variables(rng);
    const bool faults = run % 3 == 0;
    VariantMatrix data(n, p);
    StringMatrix types(1, faults && u(rng) < 0.1 ? std::max(p - 1, 0) : p);
    for (std::int32_t k = 1; k <= types.cols(); ++k) types.At(1, k) = kCodes[code(rng)];
    for (std::int32_t k = 1; k <= p; ++k) {
      const std::string kind = k <= types.cols() ? reference::Upper(types.At(1, k)) : "BIN";
      for (std::int32_t i = 1; i <= n; ++i) {
        const double pick = u(rng);
        Variant cell;
        if (kind == "QUANT") {
          cell = pick < 0.1 ? Variant() : pick < 0.2 ? Variant(std::to_string(level(rng))) : Variant(level(rng) * 0.7);
        } else if (kind == "QUAL") {
          cell = kCategories[category(rng)];
        } else {
          cell = pick < 0.45 ? Variant(1.0) : pick < 0.9 ? Variant(0.0) : pick < 0.95 ? Variant("1") : Variant(2.0);
        }
        if (faults && u(rng) < 0.01) cell = u(rng) < 0.5 ? Variant(CellError{2042}) : Variant("abc");
        data.At(i, k) = cell;
      }
    }
    const std::optional<DoubleMatrix> m = BuildMixedMatrix(data, types, "1", "0");
    const std::optional<DoubleMatrix> r = reference::Mixed(data, types, "1", "0");
    ASSERT_EQ(m.has_value(), r.has_value()) << "run " << run;
    ASSERT_TRUE(!m || SameBits(*m, *r)) << "run " << run;
    (m ? defined : undefined) += 1;
  }
  EXPECT_GT(defined, 200);
  EXPECT_GT(undefined, 100);
}

}  // namespace
}  // namespace dez
