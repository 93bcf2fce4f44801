// The measure table against the engine that reads it and against the measures themselves.
//
// Each row is checked once: every known code has one row; the engine derives Difference
// and the axis limits from it; and its orientation agrees with what the measure computes:
// a distance gives a near pair a smaller value than a far pair, a similarity a larger
// one, and limits of −1..1 or 0..1 hold its values. A wrong orientation or limit in the
// table fails here, and an engine that ignores the table fails the same checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine/measure_table.h"
#include "engine_test_support.h"
#include "tests/engine/measures_reference.h"

namespace dez::enginetest {
namespace {

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

}  // namespace
}  // namespace dez::enginetest
