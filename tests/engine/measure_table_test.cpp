// The measure table against the engine that reads it and against the measures themselves.
//
// Each row is checked once: its codes are those of the enumerations, every known code has
// one row; the engine derives Difference and the axis limits from it; and its orientation
// agrees with what the measure computes: a distance gives a near pair a smaller value
// than a far pair, a similarity a larger one and limits of −1..1 or 0..1 hold its values. A wrong orientation or limit in the table
// fails here, and an engine that ignores the table fails the same checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine/measure_table.h"
#include "engine_test_support.h"
#include "test_context.h"

namespace dez::enginetest {
namespace {

TEST(MeasureTable, EveryCodeOfEachTypeHasOneRowAndEveryMethodOne) {
  for (const auto& [type, last] : {std::pair{dezEZuvazozBinomial, 15}, std::pair{dezEZuvazozMetric, 7}}) {
    std::multiset<std::int32_t> codes;
    for (const MeasureFacts& m : kMeasures) {
      if (m.clusterType == type) codes.insert(m.code);
    }
    EXPECT_EQ(codes.size(), static_cast<std::size_t>(last));
    for (std::int32_t code = 1; code <= last; ++code) EXPECT_EQ(codes.count(code), 1u) << type << "/" << code;
  }
  for (std::int32_t code = dezEZuvazozMethNearestNeigh; code <= dezEZuvazozMethLanceWilliams; ++code) {
    EXPECT_NE(FindMethod(code), nullptr) << code;
  }
  EXPECT_EQ(std::size(kMethods), 6u);
}

// Items 1 and 2 are near, 1 and 3 far: binary (1,1,1,0), (1,1,0,0), (0,0,1,1) give
// a = 2, b = 1, c = 0, d = 1 against a = 1, b = 2, c = 1, d = 0, which every binary
// measure tells apart; numbers (1,2,3), (1,2,4), (9,5,1) likewise for the metric ones.
VariantMatrix NearAndFar(std::int32_t type) {
  VariantMatrix data(3, type == dezEZuvazozBinomial ? 4 : 3);
  const double binary[3][4] = {{1, 1, 1, 0}, {1, 1, 0, 0}, {0, 0, 1, 1}};
  const double numbers[3][3] = {{1, 2, 3}, {1, 2, 4}, {9, 5, 1}};
  for (std::int32_t i = 1; i <= 3; ++i) {
    for (std::int32_t v = 1; v <= data.cols(); ++v) {
      const double x = type == dezEZuvazozBinomial ? binary[i - 1][v - 1] : numbers[i - 1][v - 1];
      data(i, v) = type == dezEZuvazozBinomial ? Variant(std::string(x == 1.0 ? "1" : "0")) : Variant(x);
    }
  }
  return data;
}

TEST(MeasureTable, EngineFollowsEachRowAndEachRowFollowsItsMeasure) {
  for (const MeasureFacts& m : kMeasures) {
    SCOPED_TRACE(std::string(m.name));
    TestContext t;
    clsHClusterBO engine(t.context);
    engine.ClusterType(m.clusterType);
    for (const bool before : {true, false}) {  // Difference follows the row from either state
      engine.ClusterType(dezEZuvazozBinomial);
      engine.Measure(before ? dezEZuvazozSMBEuclidean : dezEZuvazozSMBJaccard);
      ASSERT_EQ(engine.Difference(), before);
      engine.ClusterType(m.clusterType);
      engine.Measure(m.code);
      EXPECT_EQ(engine.Difference(), m.distance);
    }
    engine.Method(dezEZuvazozMethNearestNeigh);
    engine.Data(NearAndFar(m.clusterType));
    engine.Analyse();
    ASSERT_FALSE(engine.Undefined());
    const DoubleMatrix& d = engine.DistanceMatrixView();
    if (m.distance) {
      EXPECT_LT(d(1, 2), d(1, 3));
    } else {
      EXPECT_GT(d(1, 2), d(1, 3));
    }
    const double top = engine.StepMatrixView()[5].level;  // the last join's level
    const double levels = std::max(top, engine.StepMatrixView()[4].level);
    const std::pair<double, double> expected =
        m.limits == AxisLimits::kZeroToItemCount ? std::pair{0.0, 3.0}
        : m.limits == AxisLimits::kMinusOneToOne ? std::pair{-1.0, 1.0}
        : m.limits == AxisLimits::kZeroToOne     ? std::pair{0.0, 1.0}
                                                 : std::pair{0.0, levels + 0.1 * levels};
    EXPECT_DOUBLE_EQ(engine.MinVal(), expected.first);
    EXPECT_DOUBLE_EQ(engine.MaxVal(), expected.second);
    // −1..1 and 0..1 hold every value of their measures (0..n counts items, not the
    // variables a distance can reach).
    const bool bounded = m.limits == AxisLimits::kMinusOneToOne || m.limits == AxisLimits::kZeroToOne;
    for (std::int32_t i = 1; i <= 3 && bounded; ++i) {
      for (std::int32_t j = 1; j <= 3; ++j) {
        if (i == j) continue;
        EXPECT_GE(d(i, j), expected.first);
        EXPECT_LE(d(i, j), expected.second);
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
      TestContext t;
      clsHClusterBO engine(t.context);
      engine.Measure(before ? dezEZuvazozSMBEuclidean : dezEZuvazozSMBJaccard);
      engine.ClusterType(type);
      engine.Measure(code);
      EXPECT_EQ(engine.Difference(), before) << type << "/" << code;
    }
  }
  TestContext t;
  clsHClusterBO engine(t.context);
  AnalyseMatrix(engine, FromUpper(3, {1, 2, 3}), true, dezEZuvazozMethNearestNeigh);
  engine.ClusterType(dezEZuvazozBinomial);
  engine.Measure(99);
  EXPECT_EQ(engine.MaxVal(), 0.0);
  engine.ClusterType(dezEZuvazozMetric);
  EXPECT_DOUBLE_EQ(engine.MaxVal(), 2.2);
}

}  // namespace
}  // namespace dez::enginetest
