// The engine's agglomeration: worked examples, the tie-break, the update's expression
// order, Ward's levels, the 16-bit limits and errors, and a comparison with a slow
// reference written from the definitions of the methods. (Its equality with the literal
// algorithm, bit for bit, is tested in agglomeration_equality_test.cpp.)
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

TEST(Agglomeration, WardsLevelsAreTotalWithinSumsOfSquares) {
  // Points 0, 1, 5, 6 on a line; input: squared Euclidean distances.
  VariantMatrix data(4, 1);
  const double x[] = {0, 1, 5, 6};
  DoubleMatrix d(4, 4);
  for (std::int32_t i = 1; i <= 4; ++i) {
    data(i, 1) = x[i - 1];
    for (std::int32_t j = 1; j <= 4; ++j) d(i, j) = (x[i - 1] - x[j - 1]) * (x[i - 1] - x[j - 1]);
  }
  const Schedule s = Agglomerate(d, true, kWards, data);
  EXPECT_EQ(s[5], Entry(2, 1, {2, 1}, 0.5));
  EXPECT_EQ(s[6], Entry(4, 3, {4, 3}, 1.0));
  EXPECT_EQ(s[7], Entry(6, 5, {4, 3, 2, 1}, 26.0)) << "total sum of squares about the mean 3";
}

TEST(Agglomeration, WardsReadsEmptyCellsAsZeroAndRejectsText) {
  VariantMatrix data(3, 1);
  data(1, 1) = 1.0;  // (2, 1) empty
  data(3, 1) = "4";
  const Schedule s = Agglomerate(kThree, true, kWards, data);
  EXPECT_DOUBLE_EQ(s[4].level, 0.5);
  EXPECT_DOUBLE_EQ(s[5].level, 4.0 / 9 + 25.0 / 9 + 49.0 / 9);
  data(2, 1) = "x";
  Schedule partial;
  const Error e = CatchError([&] { Agglomerate(kThree, partial, true, kWards, data); });
  EXPECT_EQ(e.number, fault::kTypeMismatch);
  EXPECT_THAT(e.source, ::testing::MatchesRegex("Line [1-9][0-9]* in DEZEZuvazoz\\.clsHClusterBO\\.ReduceMatrix"));
  ASSERT_EQ(partial.UBound(), 5) << "replaced at the start";
  EXPECT_EQ(partial[4], Entry(2, 1, {2, 1}, 1.0)) << "the step was recorded before its level failed";
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

TEST(Agglomeration, FloatingOverflowInTheUpdateIsAnError) {
  const double big = 1.7e308;
  const Error e = CatchError([&] { (void)Agglomerate(FromUpper(3, {big, big, big}), true, kLW, {}); });
  EXPECT_EQ(e.number, fault::kOverflow);
  EXPECT_THAT(e.source, ::testing::MatchesRegex("Line [1-9][0-9]* in DEZEZuvazoz\\.clsHClusterBO\\.ReduceMatrix"));
  EXPECT_NO_THROW((void)Agglomerate(FromUpper(3, {big, big, big}), true, kGA, {}));
}

TEST(Agglomeration, InputIsNotChangedAndProgressReachesOne) {
  const DoubleMatrix d = RandomMatrix(30, 7, 0);
  const DoubleMatrix copy = d;
  std::vector<double> seen;
  Schedule s;
  Agglomerate(d, s, false, kGA, {}, [&](double f) { seen.push_back(f); });
  EXPECT_EQ(d, copy);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), 1.0);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

// ---- slow reference from the definitions of the methods ----

struct Cluster {
  std::int16_t number;
  std::vector<std::int32_t> items;
};

using Points = std::vector<std::vector<double>>;

std::vector<double> Centroid(const Cluster& c, const Points& x) {
  std::vector<double> mean(x[0].size(), 0.0);
  for (const auto i : c.items)
    for (std::size_t v = 0; v < mean.size(); ++v) mean[v] += x[static_cast<std::size_t>(i - 1)][v] / static_cast<double>(c.items.size());
  return mean;
}

double SquaredDistance(const std::vector<double>& a, const std::vector<double>& b) {
  double s = 0;
  for (std::size_t v = 0; v < a.size(); ++v) s += (a[v] - b[v]) * (a[v] - b[v]);
  return s;
}

// The value between two clusters: smallest, largest or mean original value over their
// pairs; squared distance of the centroids; Ward's 2·na·nb/(na+nb) times that.
double Linkage(std::int32_t method, const Cluster& a, const Cluster& b, const DoubleMatrix& d, const Points& x) {
  if (method == kCentroid || method == kWards) {
    const double c = SquaredDistance(Centroid(a, x), Centroid(b, x));
    if (method == kCentroid) return c;
    const double na = static_cast<double>(a.items.size()), nb = static_cast<double>(b.items.size());
    return 2 * na * nb / (na + nb) * c;
  }
  double lo = std::numeric_limits<double>::infinity(), hi = -lo, sum = 0;
  for (const auto i : a.items)
    for (const auto j : b.items) {
      lo = std::min(lo, d(i, j));
      hi = std::max(hi, d(i, j));
      sum += d(i, j);
    }
  if (method == kNN) return lo;
  if (method == kFN) return hi;
  return sum / static_cast<double>(a.items.size() * b.items.size());
}

double WithinSumOfSquares(const std::vector<Cluster>& clusters, const Points& x) {
  double t = 0;
  for (const auto& c : clusters) {
    const auto mean = Centroid(c, x);
    for (const auto i : c.items) t += SquaredDistance(x[static_cast<std::size_t>(i - 1)], mean);
  }
  return t;
}

Schedule NaiveAgglomeration(const DoubleMatrix& d, std::int32_t method, const Points& x) {
  const std::int32_t n = d.rows();
  Schedule s(2 * n - 1);
  std::vector<Cluster> active;  // ascending cluster numbers
  for (std::int16_t i = 1; i <= n; ++i) {
    s[i] = Entry(i, 0, {i}, 0.0);
    active.push_back({i, {i}});
  }
  for (std::int16_t k = static_cast<std::int16_t>(n + 1); k <= 2 * n - 1; ++k) {
    std::size_t r = 1, c = 0;
    double best = Linkage(method, active[1], active[0], d, x);
    for (std::size_t cc = 0; cc < active.size(); ++cc)
      for (std::size_t rr = cc + 1; rr < active.size(); ++rr) {
        const double v = Linkage(method, active[rr], active[cc], d, x);
        if (v < best) best = v, r = rr, c = cc;
      }
    Cluster joined{k, active[r].items};
    joined.items.insert(joined.items.end(), active[c].items.begin(), active[c].items.end());
    s[k] = Entry(active[r].number, active[c].number, joined.items, best);
    active.erase(active.begin() + static_cast<std::ptrdiff_t>(r));
    active.erase(active.begin() + static_cast<std::ptrdiff_t>(c));
    active.push_back(joined);
    if (method == kWards) s[k].level = WithinSumOfSquares(active, x);
  }
  return s;
}

void ExpectSameSchedule(const Schedule& got, const Schedule& want, bool exactLevels) {
  ASSERT_EQ(got.UBound(), want.UBound());
  for (std::int32_t e = 1; e <= got.UBound(); ++e) {
    SCOPED_TRACE(e);
    ASSERT_EQ(got[e].first, want[e].first);
    ASSERT_EQ(got[e].second, want[e].second);
    ASSERT_EQ(got[e].items, want[e].items);
    if (exactLevels) {
      EXPECT_EQ(got[e].level, want[e].level);
    } else {
      EXPECT_NEAR(got[e].level, want[e].level, 1e-12 * std::max(1.0, std::fabs(want[e].level)));
    }
  }
}

TEST(AgglomerationReference, NearestAndFurthestWithForcedTiesMatchExactly) {
  // Whole numbers 1..3 force many ties; the stated update is exact on them.
  for (std::uint32_t seed = 1; seed <= 25; ++seed) {
    const DoubleMatrix d = RandomMatrix(2 + static_cast<std::int32_t>(seed % 11), seed, 3);
    for (const std::int32_t method : {kNN, kFN}) {
      SCOPED_TRACE(::testing::Message() << "seed " << seed << " method " << method);
      ExpectSameSchedule(Agglomerate(d, true, method, {}), NaiveAgglomeration(d, method, {}), true);
    }
  }
}

TEST(AgglomerationReference, GroupAverageCentroidAndWardsMatchTheirDefinitions) {
  std::mt19937 gen(2024);
  std::uniform_real_distribution<double> u(-5.0, 5.0);
  for (int trial = 0; trial < 12; ++trial) {
    const std::int32_t n = 3 + trial;
    Points x(static_cast<std::size_t>(n), std::vector<double>(3));
    VariantMatrix data(n, 3);
    for (std::int32_t i = 1; i <= n; ++i)
      for (std::int32_t v = 1; v <= 3; ++v) data(i, v) = x[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(v - 1)] = u(gen);
    DoubleMatrix sq(n, n);
    for (std::int32_t i = 1; i <= n; ++i)
      for (std::int32_t j = 1; j <= n; ++j)
        sq(i, j) = SquaredDistance(x[static_cast<std::size_t>(i - 1)], x[static_cast<std::size_t>(j - 1)]);
    const DoubleMatrix real = RandomMatrix(n, static_cast<std::uint32_t>(100 + trial), 0);
    SCOPED_TRACE(n);
    ExpectSameSchedule(Agglomerate(real, true, kGA, {}), NaiveAgglomeration(real, kGA, x), false);
    ExpectSameSchedule(Agglomerate(sq, true, kCentroid, {}), NaiveAgglomeration(sq, kCentroid, x), false);
    const Schedule wards = Agglomerate(sq, true, kWards, data);
    ExpectSameSchedule(wards, NaiveAgglomeration(sq, kWards, x), false);
    for (std::int32_t e = n + 2; e <= 2 * n - 1; ++e) EXPECT_GE(wards[e].level, wards[e - 1].level);
    EXPECT_NEAR(wards[2 * n - 1].level, WithinSumOfSquares({{0, wards[2 * n - 1].items}}, x), 1e-9);
  }
}

}  // namespace
}  // namespace dez::enginetest
