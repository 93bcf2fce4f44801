// First the literal agglomeration, the oracle of the engine's, against the definitions of the
// methods, computed the slow way from the original values: the smallest, largest or mean
// value over the clusters' pairs, the squared distance of the centroids (Ward's: times
// 2·na·nb/(na+nb), levels the total within sum of squares), and the flexible method's
// own recurrence. A wrong rule in the oracle fails here; a wrong coefficient in the
// engine then fails the bit-for-bit equality with the oracle.
//
// Then the engine's agglomeration against the literal algorithm, bit for bit, and on a few
// worked examples: similarities, the update's expression order and the 16-bit limit.
//
// Each row of the table is a family of random inputs: a method, distances or
// similarities, a way of drawing the values and a shape of matrix. Every family is run at
// the sizes of kSizes (2 to 300 items), several draws each. For every input both
// algorithms run and must agree exactly: the same number of entries; in every entry the
// same clusters, the same item list and the same bits of the level and the position; and
// when one raises an error, the other raises the same error number at the same step
// (the same partial schedule), with a source of the same form.
//
// Every input runs with the working matrix shared among 1, 2, 3 or 7 builder threads in
// turn. Values drawn from a handful of numbers make ties everywhere, so the tie-break (lowest
// lower cluster, then lowest higher cluster) is exercised at almost every step; 0 and −0
// among them check that the recorded level is the bits of the chosen cell. The centroid
// method is not monotone (a new value can undercut its parts'), which the nearest-
// neighbour cache must survive. Asymmetric matrices with a non-zero diagonal check that
// the first step reads the joined items' rows as the literal does.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "agglomeration_literal.h"
#include "dezezuvazoz/enums.h"
#include "engine/agglomeration.h"
#include "engine/parallel_rows.h"
#include "engine_test_support.h"

namespace dez::enginetest {
namespace {

// ---- the oracle against the definitions of the methods ----

struct Cluster {
  std::int16_t number;
  std::vector<std::int32_t> items;
};

/// The mean of the items' rows of `x` (item i's coordinates in row i).
std::vector<double> Centroid(const Cluster& c, const DoubleMatrix& x) {
  std::vector<double> mean(static_cast<std::size_t>(x.cols()), 0.0);
  for (const auto i : c.items) {
    for (std::int32_t v = 1; v <= x.cols(); ++v) mean[static_cast<std::size_t>(v - 1)] += x(i, v) / c.items.size();
  }
  return mean;
}

double SquaredDistance(const std::vector<double>& a, const std::vector<double>& b) {
  double s = 0;
  for (std::size_t v = 0; v < a.size(); ++v) s += (a[v] - b[v]) * (a[v] - b[v]);
  return s;
}

/// Item i's coordinates.
std::vector<double> Point(const DoubleMatrix& x, std::int32_t i) { return Centroid({0, {i}}, x); }

// The value between two clusters: smallest, largest or mean original value over their
// pairs; squared distance of the centroids; Ward's 2·na·nb/(na+nb) times that.
double Linkage(std::int32_t method, const Cluster& a, const Cluster& b, const DoubleMatrix& d, const DoubleMatrix& x) {
  if (method == kCentroid || method == kWards) {
    const double c = SquaredDistance(Centroid(a, x), Centroid(b, x));
    const double na = static_cast<double>(a.items.size()), nb = static_cast<double>(b.items.size());
    return method == kCentroid ? c : 2 * na * nb / (na + nb) * c;
  }
  double lo = std::numeric_limits<double>::infinity(), hi = -lo, sum = 0;
  for (const auto i : a.items) {
    for (const auto j : b.items) {
      lo = std::min(lo, d(i, j));
      hi = std::max(hi, d(i, j));
      sum += d(i, j);
    }
  }
  return method == kNN ? lo : method == kFN ? hi : sum / static_cast<double>(a.items.size() * b.items.size());
}

double WithinSumOfSquares(const std::vector<Cluster>& clusters, const DoubleMatrix& x) {
  double t = 0;
  for (const auto& c : clusters) {
    const auto mean = Centroid(c, x);
    for (const auto i : c.items) t += SquaredDistance(Point(x, i), mean);
  }
  return t;
}

// The flexible method has no closed form: its value is defined step by step, β = −1/4 on
// the joined pair and (1 − β)/2 on each of its two values, kept per pair of clusters.
using FlexibleValues = std::map<std::pair<std::int16_t, std::int16_t>, double>;

double Flexible(FlexibleValues& v, std::int16_t a, std::int16_t b) { return v[{std::max(a, b), std::min(a, b)}]; }

Schedule NaiveAgglomeration(const DoubleMatrix& d, std::int32_t method, const DoubleMatrix& x) {
  const std::int32_t n = d.rows();
  FlexibleValues flexible;
  const auto value = [&](const Cluster& a, const Cluster& b) {
    if (method != kLW) return Linkage(method, a, b, d, x);
    return a.number <= n && b.number <= n ? d(a.number, b.number) : Flexible(flexible, a.number, b.number);
  };
  Schedule s(2 * n - 1);
  std::vector<Cluster> active;  // ascending cluster numbers
  for (std::int16_t i = 1; i <= n; ++i) {
    s[i] = Entry(i, 0, {i}, 0.0);
    active.push_back({i, {i}});
  }
  for (std::int16_t k = static_cast<std::int16_t>(n + 1); k <= 2 * n - 1; ++k) {
    std::size_t r = 1, c = 0;
    double best = value(active[1], active[0]);
    for (std::size_t cc = 0; cc < active.size(); ++cc) {
      for (std::size_t rr = cc + 1; rr < active.size(); ++rr) {
        const double v = value(active[rr], active[cc]);
        if (v < best) best = v, r = rr, c = cc;
      }
    }
    Cluster joined{k, active[r].items};
    joined.items.insert(joined.items.end(), active[c].items.begin(), active[c].items.end());
    s[k] = Entry(active[r].number, active[c].number, joined.items, best);
    for (const Cluster& q : active) {  // β = −1/4, (1 − β)/2 = 5/8
      flexible[{k, q.number}] = 0.625 * (value(active[r], q) + value(active[c], q)) - 0.25 * best;
    }
    active.erase(active.begin() + static_cast<std::ptrdiff_t>(r));
    active.erase(active.begin() + static_cast<std::ptrdiff_t>(c));
    active.push_back(joined);
    if (method == kWards) s[k].level = WithinSumOfSquares(active, x);
  }
  return s;
}

/// The same joins in the same order, the levels within `tolerance` relative (0: equal).
void ExpectSameSchedule(const Schedule& got, const Schedule& want, double tolerance) {
  ASSERT_EQ(got.UBound(), want.UBound());
  for (std::int32_t e = 1; e <= got.UBound(); ++e) {
    SCOPED_TRACE(e);
    ASSERT_EQ(std::tie(got[e].first, got[e].second, got[e].items),
              std::tie(want[e].first, want[e].second, want[e].items));
    EXPECT_NEAR(got[e].level, want[e].level, tolerance * std::max(1.0, std::fabs(want[e].level)));
  }
}

TEST(LiteralAgglomeration, NearestFurthestAndFlexibleWithForcedTiesMatchExactly) {
  // Whole numbers 1..3 force many ties; every value of these three methods is then a
  // sum of small powers of two times whole numbers, exact in double precision.
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    std::mt19937 gen(seed);
    const DoubleMatrix d = DrawMatrix(Values::kThreeIntegers, 2 + static_cast<std::int32_t>(seed % 13), gen);
    for (const std::int32_t method : {kNN, kFN, kLW}) {
      SCOPED_TRACE(::testing::Message() << "seed " << seed << " method " << method);
      ExpectSameSchedule(AgglomerateLiteral(d, true, method, {}), NaiveAgglomeration(d, method, DoubleMatrix()), 0.0);
    }
  }
}

TEST(LiteralAgglomeration, GroupAverageCentroidAndWardsMatchTheirDefinitions) {
  std::mt19937 gen(2024);
  std::uniform_real_distribution<double> u(-5.0, 5.0);
  for (int trial = 0; trial < 12; ++trial) {
    const std::int32_t n = 3 + trial;
    DoubleMatrix x(n, 3);
    VariantMatrix data(n, 3);
    for (std::int32_t i = 1; i <= n; ++i) {
      for (std::int32_t v = 1; v <= 3; ++v) data(i, v) = x(i, v) = u(gen);
    }
    DoubleMatrix sq(n, n);
    for (std::int32_t i = 1; i <= n; ++i) {
      for (std::int32_t j = 1; j <= n; ++j) sq(i, j) = SquaredDistance(Point(x, i), Point(x, j));
    }
    const DoubleMatrix real = DrawMatrix(Values::kReals, n, gen);
    SCOPED_TRACE(n);
    ExpectSameSchedule(AgglomerateLiteral(real, true, kGA, {}), NaiveAgglomeration(real, kGA, x), 1e-12);
    ExpectSameSchedule(AgglomerateLiteral(sq, true, kCentroid, {}), NaiveAgglomeration(sq, kCentroid, x), 1e-12);
    const Schedule wards = AgglomerateLiteral(sq, true, kWards, data);
    ExpectSameSchedule(wards, NaiveAgglomeration(sq, kWards, x), 1e-12);
    for (std::int32_t e = n + 2; e <= 2 * n - 1; ++e) EXPECT_GE(wards[e].level, wards[e - 1].level);
  }
}


// ---- drawing the inputs ----

enum class WardsData {
  kNone,         // an empty Data block (read only by Ward's method)
  kIntegers,     // n x p small integers, some empty cells and numeric texts; matrix random
  kFromData,     // as kIntegers, and the matrix is their squared Euclidean distances
  kHugeValues,   // values ±1e308: sums overflow when such items meet
  kBadCell,      // one cell that is no number, somewhere
  kFewRows,      // fewer rows than items
};

struct Family {
  std::string name;
  std::int32_t method;
  bool difference;
  Values values;
  Shape shape;
  WardsData data;
  std::int32_t largest;  // the largest size of kSizes to run
};

void PrintTo(const Family& f, std::ostream* os) { *os << f.name; }

constexpr std::int32_t kSizes[] = {2, 3, 4, 5, 7, 10, 16, 25, 40, 64, 100, 150, 300};  // two draws each
constexpr std::int32_t kThreadCounts[] = {1, 2, 3, 7};

/// Data for Ward's method; for kFromData also replaces `matrix` by the squared Euclidean
/// distances between the rows (as numbers).
VariantMatrix DrawData(const Family& f, std::int32_t n, std::mt19937& gen, DoubleMatrix& matrix) {
  if (f.data == WardsData::kNone) return {};
  const std::int32_t p = std::uniform_int_distribution<std::int32_t>(1, 4)(gen);
  const std::int32_t rows = f.data == WardsData::kFewRows ? std::max(1, n - 1) : n;
  VariantMatrix data(rows, p);
  DoubleMatrix x(n, p);  // the numbers the cells stand for
  std::uniform_int_distribution<int> value(-3, 3), form(0, 9);
  for (std::int32_t i = 1; i <= rows; ++i) {
    for (std::int32_t v = 1; v <= p; ++v) {
      double number = value(gen);
      if (f.data == WardsData::kHugeValues && form(gen) < 3) number = form(gen) < 5 ? 1e308 : -1e308;
      const int how = form(gen);
      // An empty cell reads as 0, a numeric text as its number.
      data(i, v) = how == 0 && number == 0.0 ? Variant() : how == 1 ? Variant(FormatGeneral(number)) : Variant(number);
      x(i, v) = number;
    }
  }
  if (f.data == WardsData::kBadCell) {
    std::uniform_int_distribution<std::int32_t> row(1, rows), column(1, p);
    data(row(gen), column(gen)) = "not a number";
  }
  for (std::int32_t i = 1; f.data == WardsData::kFromData && i <= n; ++i) {
    for (std::int32_t j = 1; j <= n; ++j) matrix(i, j) = SquaredDistance(Point(x, i), Point(x, j));
  }
  return data;
}

// ---- running and comparing ----

struct Outcome {
  Schedule steps;
  std::optional<Error> error;
  std::vector<double> progress;
};

Outcome RunOne(bool literal, const DoubleMatrix& d, bool difference, std::int32_t method, const VariantMatrix& data,
               double stopAt) {
  Outcome o;
  // A schedule of the right size with stale entries: both replace it whole at the start,
  // so after an error only the entries made so far are left.
  o.steps = Schedule(2 * d.rows() - 1);
  for (std::int32_t e = 1; e <= o.steps.UBound(); ++e) o.steps[e] = ScheduleEntry{1, 1, {1}, 9.0, 9.0};
  // A progress report from `stopAt` on fails: the agglomeration stops after that step.
  const StepProgress progress = [&o, stopAt](double f) {
    o.progress.push_back(f);
    if (f >= stopAt) throw Error(fault::kApplicationDefined, "Progress", "stopped");
  };
  try {
    literal ? AgglomerateLiteral(d, o.steps, difference, method, data, progress)
            : Agglomerate(d, o.steps, difference, method, data, progress);
  } catch (const Error& e) {
    o.error = e;
  }
  return o;
}

/// An entry with the bits of its level and position, so that −0 differs from 0.
auto BitsOf(const ScheduleEntry& e) {
  return std::tuple(e.first, e.second, e.items, std::bit_cast<std::uint64_t>(e.level),
                    std::bit_cast<std::uint64_t>(e.position));
}

void ExpectIdentical(const Outcome& fast, const Outcome& literal) {
  ASSERT_EQ(fast.error.has_value(), literal.error.has_value())
      << (fast.error ? "only the engine raised " + std::to_string(fast.error->number)
                     : "only the literal raised " + std::to_string(literal.error->number));
  if (literal.error) {
    EXPECT_EQ(fast.error->number, literal.error->number);
    EXPECT_EQ(fast.error->description, literal.error->description);
    EXPECT_THAT(fast.error->source, ::testing::MatchesRegex("Line [0-9]+ in DEZEZuvazoz\\.clsHClusterBO\\.ReduceMatrix"));
  }
  ASSERT_EQ(fast.steps.UBound(), literal.steps.UBound());
  for (std::int32_t e = 1; e <= literal.steps.UBound(); ++e) {
    ASSERT_EQ(BitsOf(fast.steps[e]), BitsOf(literal.steps[e])) << "entry " << e;
  }
  EXPECT_EQ(fast.progress, literal.progress);
}

// ---- the table ----

std::vector<Family> Families() {
  static const std::pair<std::int32_t, const char*> kMethods[] = {
      {kNN, "NearestNeigh"}, {kFN, "FurthestNeigh"}, {kGA, "GroupAvg"},         {kCentroid, "Centroid"},
      {kWards, "Wards"},     {kLW, "LanceWilliams"}, {0, "UnknownCode0"},       {7, "UnknownCode7"}};
  static const std::pair<Values, const char*> kValues[] = {{Values::kThreeIntegers, "_ThreeIntegers"},
                                                           {Values::kSmallIntegers, "_SmallIntegers"},
                                                           {Values::kSignedZeros, "_SignedZeros"},
                                                           {Values::kReals, "_Reals"}};
  std::vector<Family> families;
  for (const auto& [method, name] : kMethods) {
    const WardsData data = method == kWards ? WardsData::kIntegers : WardsData::kNone;
    for (const bool difference : {true, false}) {
      const std::string prefix = name + std::string(difference ? "_Distances" : "_Similarities");
      for (const auto& [values, valuesName] : kValues) {
        families.push_back({prefix + valuesName, method, difference, values, Shape::kSymmetric, data,
                            method == kWards ? 150 : 300});
      }
      families.push_back(
          {prefix + "_Asymmetric", method, difference, Values::kThreeIntegers, Shape::kAsymmetric, data, 100});
      families.push_back({prefix + "_HugeValues", method, difference, Values::kHuge, Shape::kSymmetric, data, 64});
    }
    families.push_back(
        {name + std::string("_WideMatrix"), method, true, Values::kSmallIntegers, Shape::kWide, data, 64});
    families.push_back(
        {name + std::string("_NonFiniteCell"), method, true, Values::kNonFinite, Shape::kAsymmetric, data, 25});
  }
  const std::tuple<const char*, bool, Values, WardsData, std::int32_t> kWardsData[] = {
      {"Wards_SquaredEuclideanOfData", true, Values::kSmallIntegers, WardsData::kFromData, 300},
      {"Wards_SquaredEuclideanOfData_Similarities", false, Values::kSmallIntegers, WardsData::kFromData, 100},
      {"Wards_HugeData", true, Values::kSmallIntegers, WardsData::kHugeValues, 100},
      {"Wards_CellThatIsNoNumber", true, Values::kThreeIntegers, WardsData::kBadCell, 64},
      {"Wards_FewerRowsThanItems", true, Values::kThreeIntegers, WardsData::kFewRows, 64},
      {"Wards_NoData", true, Values::kThreeIntegers, WardsData::kNone, 16}};
  for (const auto& [name, difference, values, data, largest] : kWardsData) {
    families.push_back({name, kWards, difference, values, Shape::kSymmetric, data, largest});
  }
  families.push_back({"Centroid_Reals_Similarities_Asymmetric", kCentroid, false, Values::kReals, Shape::kAsymmetric,
                      WardsData::kNone, 300});
  return families;
}

struct RestoreThreads {
  ~RestoreThreads() { SetBuilderThreads(0); }
};

class AgglomerationEquality : public ::testing::TestWithParam<Family> {};

TEST_P(AgglomerationEquality, SameScheduleAsTheLiteralAlgorithm) {
  const Family& f = GetParam();
  std::uint32_t seed = 0;
  for (const char c : f.name) seed = seed * 31u + static_cast<unsigned char>(c);
  std::mt19937 gen(seed);
  RestoreThreads restore;
  int compared = 0;
  for (const std::int32_t n : kSizes) {
    if (n > f.largest) break;
    for (int draw = 0; draw < 2; ++draw) {
      DoubleMatrix d = DrawMatrix(f.values, n, gen, f.shape);
      const VariantMatrix data = DrawData(f, n, gen, d);
      // The working matrix is shared among the builder threads by chunks of rows, each
      // keeping its own best per column: the thread count cycles with the draws.
      const std::int32_t threads = kThreadCounts[static_cast<std::size_t>(compared) % std::size(kThreadCounts)];
      SetBuilderThreads(threads);
      SCOPED_TRACE(::testing::Message() << "n = " << n << ", draw " << draw << ", " << threads << " threads");
      // A failing progress report at the first report, halfway and at the last one.
      const double stopAt = n == 40 ? 0.5 * draw : n == 64 && draw == 1 ? 1.0 : 2.0;
      ExpectIdentical(RunOne(false, d, f.difference, f.method, data, stopAt),
                      RunOne(true, d, f.difference, f.method, data, stopAt));
      ++compared;
      if (HasFatalFailure()) return;
    }
  }
  EXPECT_GT(compared, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, AgglomerationEquality, ::testing::ValuesIn(Families()),
                         [](const ::testing::TestParamInfo<Family>& info) { return info.param.name; });

// ---- worked examples ----

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
  Schedule steps = Agglomerate(kThree, true, kNN, {});
  const Schedule before = steps;
  const Error e = test::ErrorOf([&] { Agglomerate(DoubleMatrix(16385, 1), steps, true, kNN, {}); });
  EXPECT_EQ(e.number, fault::kOverflow);
  EXPECT_EQ(steps, before) << "the schedule's size failed, so nothing was replaced";
  // 16384 items pass the size; this matrix then fails where the copy would read column 2.
  const Error narrow = test::ErrorOf([&] { Agglomerate(DoubleMatrix(16384, 1), steps, true, kNN, {}); });
  EXPECT_EQ(narrow.number, fault::kSubscriptOutOfRange);
  EXPECT_EQ(steps.UBound(), 32767);
  EXPECT_GT(std::stol(narrow.source.substr(5)), std::stol(e.source.substr(5))) << "Line N in ...";
}

}  // namespace
}  // namespace dez::enginetest
