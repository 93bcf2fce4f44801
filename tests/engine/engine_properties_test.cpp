// The engine object: properties, Analyse for matrix input, results that carry over, the
// progress it reports, and the dendrogram layout: axis limits from the levels, item and
// merge positions, the single-precision same-level rule, leaf levels, and the lazy
// getters; the measure table; the cophenetic correlation. The error sources are in
// error_sources_test.cpp.
//
// The measure table against the engine that reads it and against the measures themselves.
//
// Each row is checked once: every known code has one row; the engine derives Difference
// and the axis limits from it; and its orientation agrees with what the measure computes:
// a distance gives a near pair a smaller value than a far pair, a similarity a larger
// one, and limits of −1..1 or 0..1 hold its values. A wrong orientation or limit in the
// table fails here, and an engine that ignores the table fails the same checks.
//
// The cophenetic correlation: worked examples, the rounding that decides the test, the
// degrees of freedom in every branch, and the coefficient against vectors made the plain
// way.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine/measure_table.h"
#include "engine/metric_matrix.h"
#include "engine_test_support.h"
#include "host/embedded/statistics.h"
#include "host/embedded/student_t.h"
#include "tests/engine/measures_reference.h"

namespace dez::enginetest {
namespace {

TEST(EngineProperties, PowerOutsideZeroToNineBecomesOneInTheCallersVariable) {
  TestEngine engine;
  const std::pair<int, int> kGivenAndStored[] = {{12, 1}, {-1, 1}, {0, 0}, {9, 9}, {5, 5}, {10, 1}};
  for (const auto& [given, stored] : kGivenAndStored) {
    auto power = static_cast<std::int16_t>(given);
    engine.Power(power);
    EXPECT_EQ(power, stored) << "given " << given;
  }
}

TEST(EngineAnalyse, UndefinedMatrixKeepsThePreviousResults) {
  TestEngine engine;
  AnalyseMatrix(engine, kThree, true, kNN);
  const Schedule steps = engine.StepMatrix();
  const double r = engine.CopheneticR(), p = engine.CopheneticP();
  const std::int32_t df = engine.CopheneticDF();

  engine.ClusterType(dezEZuvazozBinomial);  // a cell that is neither presence nor absence
  engine.Measure(dezEZuvazozSMBJaccard);
  engine.Data(reference::Block({{1, 1}, {1, "x"}, {1, 1}}));
  engine.Analyse();
  EXPECT_TRUE(engine.Undefined());
  EXPECT_EQ(engine.StepMatrix(), steps);
  EXPECT_EQ(engine.CopheneticR(), r);
  EXPECT_EQ(engine.CopheneticP(), p);
  EXPECT_EQ(engine.CopheneticDF(), df);

  AnalyseMatrix(engine, kThree, true, kFN);
  EXPECT_FALSE(engine.Undefined());
  EXPECT_EQ(engine.StepMatrix()[5].level, 3.0);
}

TEST(EngineAnalyse, ProgressIsReportedForTheAgglomeration) {
  TestEngine engine;
  double last = -1.0;
  int calls = 0;
  engine.SetProgress([&](const char* phase, double f) {
    if (std::string_view(phase) != "ReduceMatrix") return;  // the matrix and the correlation report too
    last = f;
    ++calls;
  });
  std::mt19937 gen(3);
  AnalyseMatrix(engine, DrawMatrix(Values::kReals, 250, gen), true, kGA);
  EXPECT_EQ(last, 1.0);
  EXPECT_GE(calls, 100);
  EXPECT_LE(calls, 250);
}

// ---- the dendrogram layout ----

TEST(GraphLayout, LimitsPositionsAndLeafLevels) {
  const struct {
    const char* what;
    DoubleMatrix matrix;
    bool difference;
    double minVal, maxVal;
    std::vector<double> positions;
  } kCases[] = {
      // Root list (2, 1, 3): item 1 is second, item 2 first, item 3 third.
      {"three items", kThree, true, 0.0, 2.2, {3, 1, 5, 2, 3.5}},
      {"one level", FromUpper(3, {0, 0, 0}), true, 0.0, 0.0, {3, 1, 5, 2, 3}},
      // A negative level widens the lower end by a tenth of the widened range.
      {"similarities (1, 2) at 2, then 3 at -1", FromUpper(3, {2, -1, -1}), false, -1.33, 2.3, {3, 1, 5, 2, 3.5}},
      // (2, 1), then (21, 3), then (213, 4), all at level 1 in single precision: one level,
      // the merges centred on their whole span.
      {"levels equal in single precision", FromUpper(4, {1, 1 + 1e-12, 1 + 2e-12, 2, 2, 2}), true, 0.0,
       (1 + 2e-12) * 1.1, {3, 1, 5, 7, 2, 3, 4}},
      {"levels that differ in single precision", FromUpper(4, {1, 1.001, 1.002, 2, 2, 2}), true, 0.0, 1.002 * 1.1,
       {3, 1, 5, 7, 2, 3.5, 5.25}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    TestEngine engine;
    AnalyseMatrix(engine, c.matrix, c.difference, kNN);
    EXPECT_DOUBLE_EQ(engine.MaxVal(), c.maxVal);
    EXPECT_DOUBLE_EQ(engine.MinVal(), c.minVal);
    const Schedule s = engine.StepMatrix();
    ASSERT_EQ(s.UBound(), static_cast<std::int32_t>(c.positions.size()));
    for (std::int32_t e = 1; e <= s.UBound(); ++e) EXPECT_EQ(s[e].position, c.positions[e - 1]) << "entry " << e;
    for (std::int32_t i = 1; i <= c.matrix.rows(); ++i) EXPECT_EQ(s[i].level, c.difference ? c.minVal : c.maxVal);
  }
}

TEST(GraphLayout, LaidOutAtTheFirstReadOfALimitAndKeptUntilTheNextAnalysis) {
  TestEngine engine;
  AnalyseMatrix(engine, kThree, true, kNN);
  EXPECT_EQ(engine.StepMatrix()[5].position, 0.0) << "not laid out until a limit is read";
  EXPECT_DOUBLE_EQ(engine.MaxVal(), 2.2);
  engine.ClusterType(dezEZuvazozBinomial);  // no new layout until the next analysis
  engine.Measure(dezEZuvazozSMBJaccard);
  EXPECT_DOUBLE_EQ(engine.MaxVal(), 2.2);
  AnalyseMatrix(engine, kThree, true, kNN);
  EXPECT_DOUBLE_EQ(engine.MaxVal(), 2.2);
  // Limits of 0 run the layout again at every read, with the same result.
  AnalyseMatrix(engine, FromUpper(3, {0, 0, 0}), true, kNN);
  EXPECT_EQ(engine.MaxVal(), 0.0);
  const Schedule first = engine.StepMatrix();
  EXPECT_EQ(engine.MinVal(), 0.0);
  EXPECT_EQ(engine.StepMatrix(), first);
}

// ---- the measure table ----

TEST(MeasureTable, EveryCodeOfEachTypeHasOneRow) {
  for (const auto& [type, last] : {std::pair{dezEZuvazozBinomial, 15}, std::pair{dezEZuvazozMetric, 7}}) {
    for (std::int32_t code = 0; code <= last + 1; ++code) {
      const auto rows = std::count_if(std::begin(kMeasures), std::end(kMeasures), [&](const MeasureFacts& m) {
        return m.clusterType == type && m.code == code;
      });
      EXPECT_EQ(rows, code >= 1 && code <= last ? 1 : 0) << type << "/" << code;
    }
  }
}

// Items 1 and 2 are near, 1 and 3 far: binary (1,1,1,0), (1,1,0,0), (0,0,1,1) give
// a = 2, b = 1, c = 0, d = 1 against a = 1, b = 2, c = 1, d = 0, which every binary
// measure tells apart; numbers (1,2,3), (1,2,4), (9,5,1) likewise for the metric ones.
const VariantMatrix kNearAndFarBinary =
    reference::Block({{"1", "1", "1", "0"}, {"1", "1", "0", "0"}, {"0", "0", "1", "1"}});
const VariantMatrix kNearAndFarNumbers = reference::Block({{1, 2, 3}, {1, 2, 4}, {9, 5, 1}});

TEST(MeasureTable, EngineFollowsEachRowAndEachRowFollowsItsMeasure) {
  for (const MeasureFacts& m : kMeasures) {
    SCOPED_TRACE(std::string(m.name));
    TestEngine engine;
    for (const bool before : {true, false}) {  // Difference follows the row from either state
      engine.ClusterType(dezEZuvazozBinomial);
      engine.Measure(before ? dezEZuvazozSMBEuclidean : dezEZuvazozSMBJaccard);
      ASSERT_EQ(engine.Difference(), before);
      engine.ClusterType(m.clusterType);
      engine.Measure(m.code);
      EXPECT_EQ(engine.Difference(), m.distance);
    }
    engine.Method(dezEZuvazozMethNearestNeigh);
    engine.Data(m.clusterType == dezEZuvazozBinomial ? kNearAndFarBinary : kNearAndFarNumbers);
    engine.Analyse();
    ASSERT_FALSE(engine.Undefined());
    const DoubleMatrix& d = engine.DistanceMatrixView();
    EXPECT_EQ(d(1, 2) < d(1, 3), m.distance) << "near " << d(1, 2) << ", far " << d(1, 3);
    const double levels = std::max(engine.StepMatrixView()[4].level, engine.StepMatrixView()[5].level);
    const std::pair<double, double> expected =
        m.limits == AxisLimits::kZeroToItemCount ? std::pair{0.0, 3.0}
        : m.limits == AxisLimits::kMinusOneToOne ? std::pair{-1.0, 1.0}
        : m.limits == AxisLimits::kZeroToOne     ? std::pair{0.0, 1.0}
                                                 : std::pair{0.0, levels + 0.1 * levels};
    EXPECT_DOUBLE_EQ(engine.MinVal(), expected.first);
    EXPECT_DOUBLE_EQ(engine.MaxVal(), expected.second);
    // −1..1 and 0..1 hold every value of their measures (0..n counts items, not the
    // variables a distance can reach).
    if (m.limits == AxisLimits::kMinusOneToOne || m.limits == AxisLimits::kZeroToOne) {
      for (const double v : {d(1, 2), d(1, 3), d(2, 3)}) {
        EXPECT_GE(v, expected.first);
        EXPECT_LE(v, expected.second);
      }
    }
  }
}

// Codes without a row, and the types without measure codes, leave Difference as it was;
// an unknown binary code leaves the limits at 0, other types take them from the levels.
TEST(MeasureTable, CodesWithoutARowChangeNothing) {
  for (const auto& [type, code] : {std::pair{dezEZuvazozBinomial, 0}, std::pair{dezEZuvazozBinomial, 16},
                                   std::pair{dezEZuvazozMetric, 8}, std::pair{dezEZuvazozMixed, 1},
                                   std::pair{dezEZuvazozDifference, 1}, std::pair{dezEZuvazozSimilarity, 6}}) {
    for (const bool before : {true, false}) {
      TestEngine engine;
      engine.Measure(before ? dezEZuvazozSMBEuclidean : dezEZuvazozSMBJaccard);
      engine.ClusterType(type);
      engine.Measure(code);
      EXPECT_EQ(engine.Difference(), before) << type << "/" << code;
    }
  }
  TestEngine engine;
  AnalyseMatrix(engine, kThree, true, kNN);
  engine.ClusterType(dezEZuvazozBinomial);
  engine.Measure(99);
  EXPECT_EQ(engine.MaxVal(), 0.0);
  engine.ClusterType(dezEZuvazozMetric);
  EXPECT_DOUBLE_EQ(engine.MaxVal(), 2.2);
  // Mixed data always give similarities, whatever the last measure said.
  engine.Measure(dezEZuvazozSMMEuclidean);
  ASSERT_TRUE(engine.Difference());
  engine.ClusterType(dezEZuvazozMixed);
  engine.MixedVarType(StringMatrix(1, 2, "QUANT"));
  engine.Data(reference::Block({{1, 1}, {2, 4}, {3, 9}}));
  engine.Analyse();
  EXPECT_FALSE(engine.Difference());
}

// ---- the cophenetic correlation ----

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
        for (const Values values : {Values::kThreeIntegers, Values::kSmallIntegers, Values::kReals}) {
          SCOPED_TRACE(::testing::Message() << "method " << method << " n " << n << " values "
                                            << static_cast<int>(values));
          const DoubleMatrix d = DrawMatrix(values, n, gen);
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
