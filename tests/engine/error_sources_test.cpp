// The full text of every error the engine passes to its caller: number, description and
// source, "Line N in DEZEZuvazoz.<class>.<procedure>[.<caller>]". The statement number N
// is the failing statement's line counted from its procedure's trap, so a line added or
// moved inside a trapped procedure changes what users see; this table pins each one, and
// such a change must update it deliberately.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <string>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine_test_support.h"
#include "tests/engine/measures_reference.h"

namespace dez::enginetest {
namespace {

using reference::Block;

struct SourceCase {
  const char* name;
  std::function<void(TestContext&)> prepare;  // set up the context before the engine is made
  std::function<void(clsHClusterBO&)> fail;   // the call that raises
  std::int32_t number;
  const char* description;
  const char* source;
  std::function<void(clsHClusterBO&, TestContext&)> after = nullptr;  // what the failure left
};

void PrintTo(const SourceCase& c, std::ostream* os) { *os << c.name; }

const VariantMatrix kHuge = AsCells(FromUpper(2, {1.7e308}));  // its level axis overflows

/// Makes the context's statistics factory raise `number` with `source`.
std::function<void(TestContext&)> StatisticsFail(std::int32_t number, std::string source = {}) {
  return [=](TestContext& t) {
    t.context.newStatistics = [=]() -> std::unique_ptr<host::clsStatistics> { Raise(number, source); };
  };
}

const SourceCase kCases[] = {
    {"StatisticsCannotBeMade", StatisticsFail(fault::kOutOfMemory), nullptr, fault::kOutOfMemory, "Out of memory",
     "Line 2 in DEZEZuvazoz.clsHClusterBO.class_Initialize"},
    {"StatisticsFailWithASourceOfTheirOwn", StatisticsFail(fault::kObjectNotSet, "Line 3 in DEZEZuvazoz.Lib.New"),
     nullptr, fault::kObjectNotSet, "Object variable or With block variable not set",
     "Line 3 in DEZEZuvazoz.Lib.New:class_Initialize"},
    {"NoStatisticsFactory", [](TestContext& t) { t.context.newStatistics = nullptr; }, nullptr, fault::kObjectNotSet,
     "Object variable or With block variable not set", "Line 2 in DEZEZuvazoz.clsHClusterBO.class_Initialize"},
    {"TextInAMatrixCell", nullptr, [](clsHClusterBO& e) { AnalyseCells(e, Block({{0, "far"}, {1, 0}})); },
     fault::kTypeMismatch, "Type mismatch", "Line 27 in DEZEZuvazoz.clsHClusterBO.Analyse"},
    {"MoreThan16384Items", nullptr, [](clsHClusterBO& e) { AnalyseCells(e, VariantMatrix(16385, 1)); },
     fault::kOverflow, "Overflow", "Line 5 in DEZEZuvazoz.clsHClusterBO.ReduceMatrix.Analyse"},
    {"UpdateBeyondTheDoubleRange", nullptr,
     [](clsHClusterBO& e) { AnalyseMatrix(e, FromUpper(3, {1.7e308, 1.7e308, 1.7e308}), true, kLW); },
     fault::kOverflow, "Overflow", "Line 447 in DEZEZuvazoz.clsHClusterBO.ReduceMatrix.Analyse"},
    // R is written before the test divides by 1 − R² = 0; the statistics are released.
    {"CorrelationOfMinusOne", [](TestContext& t) { t.coefficient = -1.0; },
     [](clsHClusterBO& e) { AnalyseMatrix(e, kThree, true, kNN); }, fault::kDivisionByZero, "Division by zero",
     "Line 71 in DEZEZuvazoz.clsHClusterBO.GetCopheneticR.Analyse",
     [](clsHClusterBO& e, TestContext& t) {
       EXPECT_EQ(e.CopheneticR(), -1.0);
       EXPECT_EQ(e.CopheneticP(), 0.0);
       EXPECT_EQ(e.CopheneticDF(), 0) << "not reached";
       EXPECT_EQ(t.statisticsAlive, 1);
     }},
    // Two items: were the single pair's coefficient below 1, the root of df = −1 fails.
    {"TwoItemsWithACoefficientBelowOne", [](TestContext& t) { t.coefficient = 0.5; },
     [](clsHClusterBO& e) { AnalyseMatrix(e, FromUpper(2, {3.0}), true, kGA); }, fault::kInvalidCall,
     "Invalid procedure call or argument", "Line 71 in DEZEZuvazoz.clsHClusterBO.GetCopheneticR.Analyse",
     [](clsHClusterBO& e, TestContext& t) {
       EXPECT_EQ(e.CopheneticR(), 0.5);
       EXPECT_EQ(t.statisticsAlive, 1) << "released on the error path too";
     }},
    {"HostCannotComputeTDist", [](TestContext& t) { t.fakeHost->failWith = fault::kApplicationDefined; },
     [](clsHClusterBO& e) { AnalyseMatrix(e, kThree, true, kNN); }, fault::kApplicationDefined,
     "Application-defined or object-defined error", "Line 77 in DEZEZuvazoz.clsHClusterBO.GetCopheneticR.Analyse",
     [](clsHClusterBO& e, TestContext&) { EXPECT_NEAR(e.CopheneticP(), std::sqrt(3.0), 1e-14) << "the t value"; }},
    {"LimitBeyondTheDoubleRange", nullptr, [](clsHClusterBO& e) { (void)AnalyseCells(e, kHuge).MaxVal(); },
     fault::kOverflow, "Overflow", "Line 35 in DEZEZuvazoz.clsHClusterBO.CalcGraphLimits.GetMaxVal"},
    {"LimitBeyondTheDoubleRangeByMinVal", nullptr, [](clsHClusterBO& e) { (void)AnalyseCells(e, kHuge).MinVal(); },
     fault::kOverflow, "Overflow", "Line 35 in DEZEZuvazoz.clsHClusterBO.CalcGraphLimits.GetMinVal"},
};

class ErrorSources : public ::testing::TestWithParam<SourceCase> {};

TEST_P(ErrorSources, NumberDescriptionAndSourceAreExactlyThese) {
  const SourceCase& c = GetParam();
  TestContext t;
  if (c.prepare) c.prepare(t);
  std::optional<clsHClusterBO> engine;
  const Error e = test::ErrorOf([&] {
    engine.emplace(t.context);
    if (c.fail) c.fail(*engine);
  });
  EXPECT_EQ(e.number, c.number);
  EXPECT_EQ(e.description, c.description);
  EXPECT_EQ(e.source, c.source);
  if (c.after) c.after(*engine, t);
}

INSTANTIATE_TEST_SUITE_P(Engine, ErrorSources, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SourceCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dez::enginetest
