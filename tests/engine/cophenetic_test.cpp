// The cophenetic correlation: worked examples, the rounding that decides the test, the
// degrees of freedom in every branch, the error sources, and a slow reference.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine_test_support.h"
#include "host/embedded/student_t.h"
#include "test_context.h"

namespace dez::enginetest {
namespace {

using ::testing::MatchesRegex;

const DoubleMatrix kThree = FromUpper(3, {1, 2, 3});
// Already nested: (1, 2) at 1, (3, 4) at 2, everything else at 5.
const DoubleMatrix kUltrametric = FromUpper(4, {1, 5, 5, 5, 5, 2});

constexpr const char* kChained = "Line [1-9][0-9]* in DEZEZuvazoz\\.clsHClusterBO\\.GetCopheneticR\\.Analyse";

TEST(Cophenetic, PerfectTreeMakesNoTestAndKeepsTheProbability) {
  TestContext t;
  clsHClusterBO engine(t.context);
  AnalyseMatrix(engine, kUltrametric, true, dezEZuvazozMethNearestNeigh);
  EXPECT_EQ(engine.CopheneticR(), 1.0);
  EXPECT_EQ(engine.CopheneticP(), 0.0) << "a new engine's value";
  EXPECT_EQ(engine.CopheneticDF(), 4) << "six pairs less two, in this branch too";
  EXPECT_EQ(t.functions().tdistCalls, 0);

  AnalyseMatrix(engine, kThree, true, dezEZuvazozMethNearestNeigh);
  const double p = engine.CopheneticP();
  AnalyseMatrix(engine, kUltrametric, true, dezEZuvazozMethFurthestNeigh);
  EXPECT_EQ(engine.CopheneticP(), p) << "the previous analysis's probability stays";
  EXPECT_EQ(engine.CopheneticDF(), 4);
}

TEST(Cophenetic, TwoItemsGiveMinusOneDegreesOfFreedom) {
  TestContext t;
  clsHClusterBO engine(t.context);
  AnalyseMatrix(engine, FromUpper(2, {3.0}), true, dezEZuvazozMethGroupAvg);
  EXPECT_EQ(engine.CopheneticR(), 1.0) << "a single pair is reproduced exactly";
  EXPECT_EQ(engine.CopheneticDF(), -1);
  EXPECT_EQ(t.functions().tdistCalls, 0);

  // Were the single pair's coefficient below 1, the square root of df = −1 would fail.
  t.coefficient = [] { return 0.5; };
  const Error e = CatchError([&] { AnalyseMatrix(engine, FromUpper(2, {3.0}), true, dezEZuvazozMethGroupAvg); });
  EXPECT_EQ(e.number, fault::kInvalidCall);
  EXPECT_THAT(e.source, MatchesRegex(kChained));
  EXPECT_EQ(engine.CopheneticR(), 0.5);
  EXPECT_EQ(t.statisticsAlive, 1) << "released on the error path too";
}

struct RoundingRow {
  double coefficient;
  bool tested;
};

class RoundingDecidesTheTest : public ::testing::TestWithParam<RoundingRow> {};

TEST_P(RoundingDecidesTheTest, AtFifteenSignificantDigits) {
  TestContext t;
  t.coefficient = [c = GetParam().coefficient] { return c; };
  clsHClusterBO engine(t.context);
  AnalyseMatrix(engine, kThree, true, dezEZuvazozMethNearestNeigh);
  EXPECT_EQ(t.functions().tdistCalls, GetParam().tested ? 1 : 0);
  EXPECT_EQ(engine.CopheneticR(), GetParam().coefficient) << "stored unrounded";
  EXPECT_EQ(engine.CopheneticDF(), 1);
}

INSTANTIATE_TEST_SUITE_P(Table, RoundingDecidesTheTest,
                         ::testing::Values(RoundingRow{1.0, false},
                                           RoundingRow{0.9999999999999999, false},  // 1 − 2⁻⁵³
                                           RoundingRow{0.999999999999999, true},    // 15 nines
                                           RoundingRow{0.5, true}, RoundingRow{-0.5, true},
                                           RoundingRow{0.0, true}));

TEST(Cophenetic, CoefficientOfMinusOneFailsTheDivision) {
  TestContext t;
  t.coefficient = [] { return -1.0; };
  clsHClusterBO engine(t.context);
  const Error e = CatchError([&] { AnalyseMatrix(engine, kThree, true, dezEZuvazozMethNearestNeigh); });
  EXPECT_EQ(e.number, fault::kDivisionByZero);
  EXPECT_THAT(e.source, MatchesRegex(kChained));
  EXPECT_EQ(engine.CopheneticR(), -1.0) << "written before the failure";
  EXPECT_EQ(engine.CopheneticP(), 0.0);
  EXPECT_EQ(engine.CopheneticDF(), 0) << "not reached";
  EXPECT_EQ(t.statisticsAlive, 1);
}

TEST(Cophenetic, HostFailureLeavesTheTValueInP) {
  TestContext t;
  t.functions().failWith = fault::kApplicationDefined;
  clsHClusterBO engine(t.context);
  const Error e = CatchError([&] { AnalyseMatrix(engine, kThree, true, dezEZuvazozMethNearestNeigh); });
  EXPECT_EQ(e.number, fault::kApplicationDefined);
  EXPECT_THAT(e.source, MatchesRegex(kChained));
  EXPECT_NEAR(engine.CopheneticP(), std::sqrt(3.0), 1e-14);
}

// ---- slow reference ----

// The cophenetic value of a pair: the level of the first step whose item list holds both.
double NaiveCophenetic(const Schedule& s, std::int32_t n, std::int32_t i, std::int32_t j) {
  for (std::int32_t e = n + 1; e <= s.UBound(); ++e) {
    const auto& items = s[e].items;
    if (std::find(items.begin(), items.end(), i) != items.end() && std::find(items.begin(), items.end(), j) != items.end()) {
      return s[e].level;
    }
  }
  ADD_FAILURE() << "pair never joined";
  return 0.0;
}

double NaivePearson(const std::vector<double>& x, const std::vector<double>& y) {
  const double n = static_cast<double>(x.size());
  double mx = 0, my = 0;
  for (std::size_t k = 0; k < x.size(); ++k) mx += x[k] / n, my += y[k] / n;
  double sxy = 0, sxx = 0, syy = 0;
  for (std::size_t k = 0; k < x.size(); ++k) {
    sxy += (x[k] - mx) * (y[k] - my);
    sxx += (x[k] - mx) * (x[k] - mx);
    syy += (y[k] - my) * (y[k] - my);
  }
  return sxy / std::sqrt(sxx * syy);
}

TEST(CopheneticReference, EveryMethodMatchesANaiveComputation) {
  for (std::int32_t method = 1; method <= 6; ++method) {
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
      const std::int32_t n = 4 + static_cast<std::int32_t>(seed);
      const bool difference = seed % 2 == 1;
      const DoubleMatrix d = RandomMatrix(n, seed * 31 + static_cast<std::uint32_t>(method), seed % 3 == 0 ? 4 : 0);
      TestContext t;
      clsHClusterBO engine(t.context);
      AnalyseMatrix(engine, d, difference, method);
      const Schedule s = engine.StepMatrix();
      std::vector<double> input, cophenetic;
      for (std::int32_t i = 1; i < n; ++i) {
        for (std::int32_t j = i + 1; j <= n; ++j) {
          input.push_back(d(i, j));
          cophenetic.push_back(NaiveCophenetic(s, n, i, j));
        }
      }
      const double r = NaivePearson(input, cophenetic);
      SCOPED_TRACE(::testing::Message() << "method " << method << " seed " << seed);
      EXPECT_NEAR(engine.CopheneticR(), r, 1e-12);
      const double df = static_cast<double>(input.size()) - 2;
      EXPECT_EQ(engine.CopheneticDF(), static_cast<std::int32_t>(df));
      const double tValue = std::fabs(std::sqrt(df) * r / std::sqrt(1 - r * r));
      EXPECT_NEAR(engine.CopheneticP(), embedded::StudentTDist(tValue, static_cast<std::int32_t>(df), 2), 1e-9);
    }
  }
}

}  // namespace
}  // namespace dez::enginetest
