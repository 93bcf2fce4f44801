// The engine's agglomeration on worked examples: similarities, the update's expression
// order and the 16-bit limit.
// Everything else is its equality with the literal algorithm (agglomeration_equality_
// test.cpp), which is itself checked against the methods' definitions
// (agglomeration_literal_test.cpp).
#include <gtest/gtest.h>

#include <cmath>

#include "dezezuvazoz/enums.h"
#include "engine/agglomeration.h"
#include "engine_test_support.h"

namespace dez::enginetest {
namespace {

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
  // Only the row count matters before the first step, so one column is enough. The
  // error's full text is in error_sources_test.cpp.
  Schedule steps = Agglomerate(FromUpper(3, {1, 2, 3}), true, kNN, {});
  const Schedule before = steps;
  const Error e = CatchError([&] { Agglomerate(DoubleMatrix(16385, 1), steps, true, kNN, {}); });
  EXPECT_EQ(e.number, fault::kOverflow);
  EXPECT_EQ(steps, before) << "the schedule's size failed, so nothing was replaced";
  // 16384 items pass the size; this matrix then fails where the copy would read column 2.
  const Error narrow = CatchError([&] { Agglomerate(DoubleMatrix(16384, 1), steps, true, kNN, {}); });
  EXPECT_EQ(narrow.number, fault::kSubscriptOutOfRange);
  EXPECT_EQ(steps.UBound(), 32767);
  EXPECT_GT(StatementOf(narrow.source), StatementOf(e.source));
}

}  // namespace
}  // namespace dez::enginetest
