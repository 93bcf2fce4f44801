// The engine object: properties, Analyse for matrix input, results that carry over, and
// the progress it reports. Its error sources are in error_sources_test.cpp.
#include <gtest/gtest.h>

#include <string_view>
#include <utility>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine_test_support.h"

namespace dez::enginetest {
namespace {

const DoubleMatrix kThree = FromUpper(3, {1, 2, 3});

TEST(EngineProperties, PowerOutsideZeroToNineBecomesOneInTheCallersVariable) {
  TestContext t;
  clsHClusterBO engine(t.context);
  const std::pair<int, int> kGivenAndStored[] = {{12, 1}, {-1, 1}, {0, 0}, {9, 9}, {5, 5}, {10, 1}};
  for (const auto& [given, stored] : kGivenAndStored) {
    auto power = static_cast<std::int16_t>(given);
    engine.Power(power);
    EXPECT_EQ(power, stored) << "given " << given;
  }
}

TEST(EngineAnalyse, UndefinedMatrixKeepsThePreviousResults) {
  TestContext t;
  clsHClusterBO engine(t.context);
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
  TestContext t;
  clsHClusterBO engine(t.context);
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

}  // namespace
}  // namespace dez::enginetest
