// The engine's agglomeration on worked examples: the levels of every method on three
// items, the tie-break, similarities, the update's expression order and the 16-bit limit.
// Everything else is its equality with the literal algorithm (agglomeration_equality_
// test.cpp), which is itself checked against the methods' definitions
// (agglomeration_literal_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/agglomeration.h"
#include "engine_test_support.h"

namespace dez::enginetest {
namespace {

constexpr std::int32_t kNN = dezEZuvazozMethNearestNeigh;
constexpr std::int32_t kFN = dezEZuvazozMethFurthestNeigh;
constexpr std::int32_t kGA = dezEZuvazozMethGroupAvg;
constexpr std::int32_t kCentroid = dezEZuvazozMethCentroid;
constexpr std::int32_t kWards = dezEZuvazozMethWards;
constexpr std::int32_t kLW = dezEZuvazozMethLanceWilliams;

ScheduleEntry Entry(std::int16_t first, std::int16_t second, std::vector<std::int32_t> items, double level) {
  return ScheduleEntry{first, second, std::move(items), level, 0.0};
}

// d(1,2) = 1, d(1,3) = 2, d(2,3) = 3.
const DoubleMatrix kThree = FromUpper(3, {1, 2, 3});

struct ThreeItemCase {
  const char* name;
  std::int32_t method;
  double firstLevel;
  double secondLevel;
};

class ThreeItems : public ::testing::TestWithParam<ThreeItemCase> {};

TEST_P(ThreeItems, JoinsTheClosestPairThenTheThirdItem) {
  const ThreeItemCase& c = GetParam();
  // The data block is the matrix itself; only Ward's method reads it.
  const Schedule s = Agglomerate(kThree, true, c.method, AsCells(kThree));
  ASSERT_EQ(s.UBound(), 5);
  for (std::int16_t i = 1; i <= 3; ++i) EXPECT_EQ(s[i], Entry(i, 0, {i}, 0.0));
  const double tolerance = c.method == kWards ? 1e-12 : 0.0;  // other levels are exact
  EXPECT_EQ(s[4], Entry(2, 1, {2, 1}, s[4].level));
  EXPECT_NEAR(s[4].level, c.firstLevel, tolerance);
  EXPECT_EQ(s[5], Entry(4, 3, {2, 1, 3}, s[5].level));
  EXPECT_NEAR(s[5].level, c.secondLevel, tolerance);
}

// Ward's levels: within sums of squares of the rows (0,1,2), (1,0,3), (2,3,0) as data:
// rows 1 and 2 give 6 × 0.25; all three give 2 + 42/9 + 42/9.
INSTANTIATE_TEST_SUITE_P(
    EveryMethod, ThreeItems,
    ::testing::Values(ThreeItemCase{"NearestNeigh", kNN, 1.0, 2.0},
                      ThreeItemCase{"FurthestNeigh", kFN, 1.0, 3.0},
                      ThreeItemCase{"GroupAvg", kGA, 1.0, 2.5},
                      ThreeItemCase{"Centroid", kCentroid, 1.0, 2.25},  // 0.5×2 + 0.5×3 − 0.25×1
                      ThreeItemCase{"Wards", kWards, 1.5, 2.0 + 42.0 / 9.0 + 42.0 / 9.0},
                      ThreeItemCase{"LanceWilliams", kLW, 1.0, 2.875}),  // 0.625×2 + 0.625×3 − 0.25×1
    [](const auto& info) { return std::string(info.param.name); });

TEST(Agglomeration, OneItemHasOnlyItsOwnEntry) {
  const Schedule s = Agglomerate(Square({{0}}), true, kGA, {});
  ASSERT_EQ(s.UBound(), 1);
  EXPECT_EQ(s[1], Entry(1, 0, {1}, 0.0));
}

TEST(Agglomeration, TwoItemsOneStep) {
  const Schedule s = Agglomerate(FromUpper(2, {0.7}), true, kFN, {});
  ASSERT_EQ(s.UBound(), 3);
  EXPECT_EQ(s[3], Entry(2, 1, {2, 1}, 0.7));
}

TEST(Agglomeration, AllEqualDistancesJoinInScanOrder) {
  // The first cell of the column-by-column scan wins every tie: positions 2 and 1.
  for (const std::int32_t method : {kNN, kFN, kGA, kLW}) {
    const DoubleMatrix d = FromUpper(4, {1, 1, 1, 1, 1, 1});
    const Schedule s = Agglomerate(d, true, method, {});
    SCOPED_TRACE(method);
    EXPECT_EQ(s[5], Entry(2, 1, {2, 1}, 1.0));
    EXPECT_EQ(s[6], Entry(4, 3, {4, 3}, 1.0));
    EXPECT_EQ(s[7], Entry(6, 5, {4, 3, 2, 1}, 1.0));
  }
}

TEST(Agglomeration, SimilaritiesJoinTheMostSimilarPairAndKeepTheirSign) {
  // s(1,2) = 0.75, s(1,3) = 0.25, s(2,3) = 0.5.
  const DoubleMatrix s = FromUpper(3, {0.75, 0.25, 0.5});
  const Schedule nn = Agglomerate(s, false, kNN, {});
  EXPECT_EQ(nn[4], Entry(2, 1, {2, 1}, 0.75));
  EXPECT_EQ(nn[5], Entry(4, 3, {2, 1, 3}, 0.5)) << "nearest neighbour keeps the larger similarity";
  const Schedule fn = Agglomerate(s, false, kFN, {});
  EXPECT_EQ(fn[5].level, 0.25) << "furthest neighbour keeps the smaller similarity";
}

TEST(Agglomeration, UpdateUsesTheStatedExpressionNotMin) {
  // Items A..D = 1..4: C and D join first; A's nearest-neighbour value to (C, D) is
  // 0.5×1 + 0.5×√2 − 0.5×|√2 − 1| = 0.9999999999999999, not 1, so (CD, A) beats (B, A) = 1.
  const double r2 = std::sqrt(2.0);
  const DoubleMatrix d = FromUpper(4, {1, 1, r2, 5, 5, 0.5});
  const Schedule s = Agglomerate(d, true, kNN, {});
  EXPECT_EQ(s[5], Entry(4, 3, {4, 3}, 0.5));
  const double stated = -0.5 * std::fabs(r2 - 1.0) + (0.5 * 1.0 + 0.5 * r2);
  ASSERT_EQ(stated, std::nextafter(1.0, 0.0));
  EXPECT_EQ(s[6], Entry(5, 1, {4, 3, 1}, stated));
  EXPECT_EQ(s[7], Entry(6, 2, {4, 3, 1, 2}, 1.0));
}

TEST(Agglomeration, MoreThan16384ItemsOverflowBeforeAnyStep) {
  // Only the row count matters before the first step, so one column is enough.
  Schedule steps = Agglomerate(kThree, true, kNN, {});
  const Schedule before = steps;
  const Error e = CatchError([&] { Agglomerate(DoubleMatrix(16385, 1), steps, true, kNN, {}); });
  EXPECT_EQ(e.number, fault::kOverflow);
  EXPECT_THAT(e.source, ::testing::MatchesRegex("Line [1-9][0-9]* in DEZEZuvazoz\\.clsHClusterBO\\.ReduceMatrix"));
  EXPECT_EQ(steps, before) << "the schedule's size failed, so nothing was replaced";
  // 16384 items pass the size; this matrix then fails where the copy would read column 2.
  const Error narrow = CatchError([&] { Agglomerate(DoubleMatrix(16384, 1), steps, true, kNN, {}); });
  EXPECT_EQ(narrow.number, fault::kSubscriptOutOfRange);
  EXPECT_EQ(steps.UBound(), 32767);
  EXPECT_GT(StatementOf(narrow.source), StatementOf(e.source));
}

}  // namespace
}  // namespace dez::enginetest
