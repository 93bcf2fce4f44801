// The full text of every error the engine passes to its caller: number, description and
// source, "Line N in DEZEZuvazoz.<class>.<procedure>[.<caller>]". The statement number N
// is the failing statement's line counted from its procedure's trap, so a line added or
// moved inside a trapped procedure changes what users see; this table pins each one, and
// such a change must update it deliberately.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine_test_support.h"
#include "test_context.h"

namespace dez::enginetest {
namespace {

struct SourceCase {
  const char* name;
  std::function<void(TestContext&)> prepare;  // set up the context before the engine is made
  std::function<void(clsHClusterBO&)> fail;   // the call that raises
  std::int32_t number;
  const char* description;
  const char* source;
};

void PrintTo(const SourceCase& c, std::ostream* os) { *os << c.name; }

const DoubleMatrix kThree = FromUpper(3, {1, 2, 3});

const SourceCase kCases[] = {
    {"StatisticsCannotBeMade", [](TestContext& t) { t.context.newStatistics = [] () -> std::unique_ptr<host::clsStatistics> { Raise(fault::kOutOfMemory); }; },
     nullptr, fault::kOutOfMemory, "Out of memory", "Line 2 in DEZEZuvazoz.clsHClusterBO.class_Initialize"},
    {"TextInAMatrixCell", nullptr,
     [](clsHClusterBO& e) {
       VariantMatrix cells = AsCells(kThree);
       cells(1, 2) = "far";
       e.ClusterType(dezEZuvazozDifference);
       e.Data(cells);
       e.Analyse();
     },
     fault::kTypeMismatch, "Type mismatch", "Line 27 in DEZEZuvazoz.clsHClusterBO.Analyse"},
    {"MoreThan16384Items", nullptr,
     [](clsHClusterBO& e) {
       e.ClusterType(dezEZuvazozDifference);
       e.Method(dezEZuvazozMethGroupAvg);
       e.Data(VariantMatrix(16385, 1));
       e.Analyse();
     },
     fault::kOverflow, "Overflow", "Line 5 in DEZEZuvazoz.clsHClusterBO.ReduceMatrix.Analyse"},
    {"UpdateBeyondTheDoubleRange", nullptr,
     [](clsHClusterBO& e) { AnalyseMatrix(e, FromUpper(3, {1.7e308, 1.7e308, 1.7e308}), true, dezEZuvazozMethLanceWilliams); },
     fault::kOverflow, "Overflow", "Line 447 in DEZEZuvazoz.clsHClusterBO.ReduceMatrix.Analyse"},
    {"CorrelationOfMinusOne", [](TestContext& t) { t.coefficient = [] { return -1.0; }; },
     [](clsHClusterBO& e) { AnalyseMatrix(e, kThree, true, dezEZuvazozMethNearestNeigh); }, fault::kDivisionByZero,
     "Division by zero", "Line 71 in DEZEZuvazoz.clsHClusterBO.GetCopheneticR.Analyse"},
    {"LimitBeyondTheDoubleRange", nullptr,
     [](clsHClusterBO& e) {
       AnalyseMatrix(e, FromUpper(2, {1.7e308}), true, dezEZuvazozMethNearestNeigh);
       (void)e.MaxVal();
     },
     fault::kOverflow, "Overflow", "Line 35 in DEZEZuvazoz.clsHClusterBO.CalcGraphLimits.GetMaxVal"},
    {"LimitBeyondTheDoubleRangeByMinVal", nullptr,
     [](clsHClusterBO& e) {
       AnalyseMatrix(e, FromUpper(2, {1.7e308}), true, dezEZuvazozMethNearestNeigh);
       (void)e.MinVal();
     },
     fault::kOverflow, "Overflow", "Line 35 in DEZEZuvazoz.clsHClusterBO.CalcGraphLimits.GetMinVal"},
};

class ErrorSources : public ::testing::TestWithParam<SourceCase> {};

TEST_P(ErrorSources, NumberDescriptionAndSourceAreExactlyThese) {
  const SourceCase& c = GetParam();
  TestContext t;
  if (c.prepare) c.prepare(t);
  const Error e = CatchError([&] {
    clsHClusterBO engine(t.context);
    if (c.fail) c.fail(engine);
  });
  EXPECT_EQ(e.number, c.number);
  EXPECT_EQ(e.description, c.description);
  EXPECT_EQ(e.source, c.source);
}

INSTANTIATE_TEST_SUITE_P(Engine, ErrorSources, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SourceCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dez::enginetest
