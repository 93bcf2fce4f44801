// The dendrogram layout: axis limits by data type and measure, item and merge positions,
// the single-precision same-level rule, leaf levels, and the lazy getters.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine_test_support.h"
#include "test_context.h"

namespace dez::enginetest {
namespace {

constexpr std::int32_t kNN = dezEZuvazozMethNearestNeigh;

std::vector<double> Positions(const Schedule& s) {
  std::vector<double> p;
  for (std::int32_t e = 1; e <= s.UBound(); ++e) p.push_back(s[e].position);
  return p;
}

TEST(GraphLimits, EmptyScheduleGivesZeroAndChangesNothing) {
  TestContext t;
  clsHClusterBO engine(t.context);
  engine.ClusterType(dezEZuvazozBinomial);
  engine.Measure(dezEZuvazozSMBJaccard);
  EXPECT_EQ(engine.MaxVal(), 0.0);
  EXPECT_EQ(engine.MinVal(), 0.0);
  EXPECT_TRUE(engine.StepMatrix().empty());
}

TEST(GraphLimits, DataDrivenLimitsWidenTheUpperEndByATenth) {
  TestContext t;
  clsHClusterBO engine(t.context);
  // Nearest-neighbour levels 0.5, 1, 2.
  AnalyseMatrix(engine, FromUpper(4, {0.5, 1, 2, 3, 3, 4}), true, kNN);
  ASSERT_EQ(engine.StepMatrixView()[5].level, 0.5);
  ASSERT_EQ(engine.StepMatrixView()[6].level, 1.0);
  ASSERT_EQ(engine.StepMatrixView()[7].level, 2.0);
  EXPECT_EQ(engine.MinVal(), 0.0);
  EXPECT_DOUBLE_EQ(engine.MaxVal(), 2.2);
  for (std::int32_t i = 1; i <= 4; ++i) EXPECT_EQ(engine.StepMatrixView()[i].level, 0.0) << "leaves at MinVal";
}

TEST(GraphLimits, NegativeLevelsWidenTheLowerEndByATenthOfTheWidenedRange) {
  TestContext t;
  clsHClusterBO engine(t.context);
  // Similarities: (1, 2) at 2, then item 3 at −1.
  AnalyseMatrix(engine, FromUpper(3, {2, -1, -1}), false, kNN);
  EXPECT_DOUBLE_EQ(engine.MaxVal(), 2.3);
  EXPECT_DOUBLE_EQ(engine.MinVal(), -1.33);
  for (std::int32_t i = 1; i <= 3; ++i) EXPECT_EQ(engine.StepMatrixView()[i].level, engine.MaxVal()) << "leaves at MaxVal";
}

struct LimitsRow {
  std::int32_t clusterType;
  std::int32_t measure;
  double min, max;
};

class LimitsByMeasure : public ::testing::TestWithParam<LimitsRow> {};

TEST_P(LimitsByMeasure, FollowTheTable) {
  const LimitsRow& row = GetParam();
  TestContext t;
  clsHClusterBO engine(t.context);
  // A schedule of 8 items with levels 1..7; the type and measure are then set as if the
  // analysis had been of that kind (the limits read only the type, measure and schedule).
  std::vector<double> upper;
  for (std::int32_t i = 1; i < 8; ++i)
    for (std::int32_t j = i + 1; j <= 8; ++j) upper.push_back(j - 1.0);
  AnalyseMatrix(engine, FromUpper(8, upper), true, kNN);
  engine.ClusterType(row.clusterType);
  engine.Measure(row.measure);
  EXPECT_DOUBLE_EQ(engine.MinVal(), row.min);
  EXPECT_DOUBLE_EQ(engine.MaxVal(), row.max);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LimitsByMeasure,
    ::testing::Values(
        // Binomial: 0..n for 1, 13, 4 (n = 8 items); −1..1 for 2, 8, 15; 0..1 for the rest.
        LimitsRow{0, 1, 0, 8}, LimitsRow{0, 13, 0, 8}, LimitsRow{0, 4, 0, 8}, LimitsRow{0, 2, -1, 1},
        LimitsRow{0, 8, -1, 1}, LimitsRow{0, 15, -1, 1}, LimitsRow{0, 3, 0, 1}, LimitsRow{0, 5, 0, 1},
        LimitsRow{0, 6, 0, 1}, LimitsRow{0, 7, 0, 1}, LimitsRow{0, 9, 0, 1}, LimitsRow{0, 10, 0, 1},
        LimitsRow{0, 11, 0, 1}, LimitsRow{0, 12, 0, 1}, LimitsRow{0, 14, 0, 1},
        LimitsRow{0, 99, 0, 0},  // unknown measure: left at 0 and 0
        // Metric correlation −1..1; every other metric measure and the other types: data.
        LimitsRow{1, 6, -1, 1}, LimitsRow{1, 4, 0, 7.7}, LimitsRow{2, 0, 0, 7.7}, LimitsRow{3, 0, 0, 7.7},
        LimitsRow{4, 0, 0, 7.7}));

TEST(GraphLayout, ThreeItemsStandAtOddPositionsWithMergesBetween) {
  TestContext t;
  clsHClusterBO engine(t.context);
  AnalyseMatrix(engine, FromUpper(3, {1, 2, 3}), true, kNN);  // root list (2, 1, 3)
  (void)engine.MinVal();
  // Entries 1..5: item 1 is second in the root's list, item 2 first, item 3 third.
  EXPECT_EQ(Positions(engine.StepMatrix()), (std::vector<double>{3, 1, 5, 2, 3.5}));
}

TEST(GraphLayout, MergesAtOneLevelAreCentredOnTheirWholeSpan) {
  TestContext t;
  clsHClusterBO engine(t.context);
  // (2, 1), then (21, 3), then (213, 4), all at level 1: root order 2, 1, 3, 4.
  AnalyseMatrix(engine, FromUpper(4, {1, 1, 1, 2, 2, 2}), true, kNN);
  const Schedule& s = engine.StepMatrixView();
  ASSERT_EQ(s[7].items, (std::vector<std::int32_t>{2, 1, 3, 4}));
  (void)engine.MaxVal();
  EXPECT_EQ(Positions(engine.StepMatrix()), (std::vector<double>{3, 1, 5, 7, 2, 3, 4}));
}

TEST(GraphLayout, LevelsEqualInSinglePrecisionCountAsOneLevel) {
  TestContext t;
  clsHClusterBO engine(t.context);
  AnalyseMatrix(engine, FromUpper(4, {1, 1 + 1e-12, 1 + 2e-12, 2, 2, 2}), true, kNN);
  (void)engine.MaxVal();
  EXPECT_EQ(Positions(engine.StepMatrix()), (std::vector<double>{3, 1, 5, 7, 2, 3, 4}));
  // Levels that differ in single precision: each merge centred on its own two clusters.
  AnalyseMatrix(engine, FromUpper(4, {1, 1.001, 1.002, 2, 2, 2}), true, kNN);
  (void)engine.MaxVal();
  EXPECT_EQ(Positions(engine.StepMatrix()), (std::vector<double>{3, 1, 5, 7, 2, 3.5, 5.25}));
}

TEST(GraphLayout, LimitsOfZeroRunTheLayoutAgainAtEveryReadWithTheSameResult) {
  TestContext t;
  clsHClusterBO engine(t.context);
  AnalyseMatrix(engine, FromUpper(3, {0, 0, 0}), true, kNN);
  EXPECT_EQ(engine.MaxVal(), 0.0);
  const Schedule first = engine.StepMatrix();
  EXPECT_EQ(engine.MinVal(), 0.0);
  EXPECT_EQ(engine.StepMatrix(), first);
  EXPECT_EQ(Positions(first), (std::vector<double>{3, 1, 5, 2, 3}));  // root (2, 1, 3), one level
}

TEST(GraphLayout, LimitsStayUntilTheNextAnalysis) {
  TestContext t;
  clsHClusterBO engine(t.context);
  AnalyseMatrix(engine, FromUpper(3, {1, 2, 3}), true, kNN);
  EXPECT_DOUBLE_EQ(engine.MaxVal(), 2.2);
  engine.ClusterType(dezEZuvazozBinomial);  // no new layout until the next analysis
  engine.Measure(dezEZuvazozSMBJaccard);
  EXPECT_DOUBLE_EQ(engine.MaxVal(), 2.2);
  AnalyseMatrix(engine, FromUpper(3, {1, 2, 3}), true, kNN);
  EXPECT_DOUBLE_EQ(engine.MaxVal(), 2.2);
}

}  // namespace
}  // namespace dez::enginetest
