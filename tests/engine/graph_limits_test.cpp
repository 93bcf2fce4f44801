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

std::vector<double> Positions(const Schedule& s) {
  std::vector<double> p;
  for (std::int32_t e = 1; e <= s.UBound(); ++e) p.push_back(s[e].position);
  return p;
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

TEST(GraphLayout, ThreeItemsStandAtOddPositionsWithMergesBetween) {
  TestContext t;
  clsHClusterBO engine(t.context);
  AnalyseMatrix(engine, FromUpper(3, {1, 2, 3}), true, kNN);  // root list (2, 1, 3)
  (void)engine.MinVal();
  // Entries 1..5: item 1 is second in the root's list, item 2 first, item 3 third.
  EXPECT_EQ(Positions(engine.StepMatrix()), (std::vector<double>{3, 1, 5, 2, 3.5}));
}

TEST(GraphLayout, LevelsEqualInSinglePrecisionCountAsOneLevel) {
  TestContext t;
  clsHClusterBO engine(t.context);
  // (2, 1), then (21, 3), then (213, 4), all at level 1 in single precision: root order
  // 2, 1, 3, 4, and the merges centred on their whole span.
  AnalyseMatrix(engine, FromUpper(4, {1, 1 + 1e-12, 1 + 2e-12, 2, 2, 2}), true, kNN);
  ASSERT_EQ(engine.StepMatrixView()[7].items, (std::vector<std::int32_t>{2, 1, 3, 4}));
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
