// The engine object: creation, properties, Analyse for matrix input, results that carry
// over, and the error sources that reach the caller.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string_view>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine_test_support.h"
#include "test_context.h"

namespace dez::enginetest {
namespace {


const DoubleMatrix kThree = FromUpper(3, {1, 2, 3});

TEST(EngineCreation, FailureOfTheLibraryIsLabelledClassInitialize) {
  TestContext t;
  t.context.newStatistics = []() -> std::unique_ptr<host::clsStatistics> {
    Raise(fault::kObjectNotSet, "Line 3 in DEZEZuvazoz.Lib.New");
  };
  Error e = CatchError([&] { clsHClusterBO engine(t.context); });
  EXPECT_EQ(e.number, fault::kObjectNotSet);
  EXPECT_EQ(e.source, "Line 3 in DEZEZuvazoz.Lib.New:class_Initialize");

  t.context.newStatistics = nullptr;
  e = CatchError([&] { clsHClusterBO engine(t.context); });
  EXPECT_EQ(e.number, fault::kObjectNotSet);
}

TEST(EngineProperties, PowerOutsideZeroToNineBecomesOneInTheCallersVariable) {
  struct Row {
    std::int16_t given, stored;
  };
  TestContext t;
  clsHClusterBO engine(t.context);
  for (const Row r : {Row{12, 1}, Row{-1, 1}, Row{0, 0}, Row{9, 9}, Row{5, 5}, Row{10, 1}}) {
    std::int16_t power = r.given;
    engine.Power(power);
    EXPECT_EQ(power, r.stored) << "given " << r.given;
  }
}

TEST(EngineAnalyse, UndefinedMatrixKeepsThePreviousResults) {
  TestContext t;
  clsHClusterBO engine(t.context);
  AnalyseMatrix(engine, kThree, true, dezEZuvazozMethNearestNeigh);
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

  AnalyseMatrix(engine, kThree, true, dezEZuvazozMethFurthestNeigh);
  EXPECT_FALSE(engine.Undefined());
  EXPECT_EQ(engine.StepMatrix()[5].level, 3.0);
}

TEST(EngineAnalyse, MixedDataAfterMetricDistancesIsStillSimilarity) {
  TestContext t;
  clsHClusterBO engine(t.context);
  engine.ClusterType(dezEZuvazozMetric);
  engine.Measure(dezEZuvazozSMMEuclidean);
  ASSERT_TRUE(engine.Difference());
  engine.ClusterType(dezEZuvazozMixed);
  StringMatrix types(1, 2, "QUANT");
  engine.MixedVarType(types);
  VariantMatrix data(3, 2);
  for (std::int32_t i = 1; i <= 3; ++i) {
    data(i, 1) = static_cast<double>(i);
    data(i, 2) = static_cast<double>(i * i);
  }
  engine.Data(data);
  engine.Analyse();
  EXPECT_FALSE(engine.Difference());
}

TEST(EngineAnalyse, AnalyseResetsTheLimitsButNotTheCopheneticFields) {
  TestContext t;
  clsHClusterBO engine(t.context);
  AnalyseMatrix(engine, kThree, true, dezEZuvazozMethNearestNeigh);
  EXPECT_EQ(engine.MaxVal(), 2.2);
  const double p = engine.CopheneticP();
  t.coefficient = [] { return 1.0; };  // next tree reproduces its input: no test
  AnalyseMatrix(engine, kThree, true, dezEZuvazozMethNearestNeigh);
  EXPECT_EQ(engine.CopheneticP(), p);
  EXPECT_EQ(engine.StepMatrix()[5].position, 0.0) << "not laid out until a limit is read";
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
  AnalyseMatrix(engine, RandomMatrix(250, 3, 0), true, dezEZuvazozMethGroupAvg);
  EXPECT_EQ(last, 1.0);
  EXPECT_GE(calls, 100);
  EXPECT_LE(calls, 250);
}

}  // namespace
}  // namespace dez::enginetest
