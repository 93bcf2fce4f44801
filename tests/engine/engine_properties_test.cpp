// The engine object: properties, Analyse for matrix input, results that carry over, the
// progress it reports, and the dendrogram layout: axis limits from the levels, item and
// merge positions, the single-precision same-level rule, leaf levels, and the lazy
// getters. Its error sources are in error_sources_test.cpp, the limits of each measure in
// measure_table_test.cpp.
#include <gtest/gtest.h>

#include <string_view>
#include <utility>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine_test_support.h"

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
  VariantMatrix data(3, 2, 1.0);
  data(2, 2) = "x";
  engine.Data(data);
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
  AnalyseMatrix(engine, RandomMatrix(250, 3, 0), true, kGA);
  EXPECT_EQ(last, 1.0);
  EXPECT_GE(calls, 100);
  EXPECT_LE(calls, 250);
}

// ---- the dendrogram layout ----

std::vector<double> Positions(const Schedule& s) {
  std::vector<double> p;
  for (std::int32_t e = 1; e <= s.UBound(); ++e) p.push_back(s[e].position);
  return p;
}

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
    EXPECT_EQ(Positions(s), c.positions);
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

}  // namespace
}  // namespace dez::enginetest
