// The engine's agglomeration against the literal algorithm, bit for bit.
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

#include <bit>
#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "agglomeration_literal.h"
#include "dezezuvazoz/enums.h"
#include "engine/agglomeration.h"
#include "engine/parallel_rows.h"
#include "engine_test_support.h"

namespace dez::enginetest {
namespace {

// ---- drawing the inputs ----

enum class Values {
  kThreeIntegers,   // 1, 2, 3: ties at every step
  kSmallIntegers,   // 1..12
  kSignedZeros,     // −2, −1, −0, 0, 1, 2
  kReals,           // uniform in (0, 10): no ties in practice
  kHuge,            // ±1e308 and 1.5e308: the update overflows
  kNonFinite,       // reals with one infinite or NaN cell somewhere (diagonal included)
};

enum class Shape {
  kSymmetric,   // zero diagonal, (j, i) = (i, j)
  kAsymmetric,  // every cell drawn on its own, diagonal included
  kWide,        // symmetric, with extra columns of noise after column n
};

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

constexpr std::int32_t kSizes[] = {2, 3, 4, 5, 7, 10, 16, 25, 40, 64, 100, 150, 300};
constexpr int kDrawsPerSize = 2;
constexpr std::int32_t kThreadCounts[] = {1, 2, 3, 7};

double Draw(Values values, std::mt19937& gen) {
  switch (values) {
    case Values::kThreeIntegers: return std::uniform_int_distribution<int>(1, 3)(gen);
    case Values::kSmallIntegers: return std::uniform_int_distribution<int>(1, 12)(gen);
    case Values::kSignedZeros: {
      static constexpr double kChoices[] = {-2.0, -1.0, -0.0, 0.0, 1.0, 2.0};
      return kChoices[std::uniform_int_distribution<int>(0, 5)(gen)];
    }
    case Values::kReals:
    case Values::kNonFinite: return std::uniform_real_distribution<double>(0.0, 10.0)(gen);
    case Values::kHuge: {
      static constexpr double kChoices[] = {1e308, -1e308, 1.5e308, 1.0, 0.5};
      return kChoices[std::uniform_int_distribution<int>(0, 4)(gen)];
    }
  }
  return 0.0;
}

DoubleMatrix DrawMatrix(const Family& f, std::int32_t n, std::mt19937& gen) {
  const std::int32_t extra = f.shape == Shape::kWide ? 3 : 0;
  DoubleMatrix m(n, n + extra);
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = 1; j <= n + extra; ++j) {
      if (j > n || f.shape == Shape::kAsymmetric) {
        m(i, j) = Draw(f.values, gen);
      } else if (i < j) {
        m(i, j) = Draw(f.values, gen);
        m(j, i) = m(i, j);
      }
    }
  }
  if (f.values == Values::kNonFinite) {
    const std::int32_t i = std::uniform_int_distribution<std::int32_t>(1, n)(gen);
    const std::int32_t j = std::uniform_int_distribution<std::int32_t>(1, n)(gen);
    m(i, j) = std::bernoulli_distribution(0.5)(gen) ? std::numeric_limits<double>::infinity()
                                                    : std::numeric_limits<double>::quiet_NaN();
  }
  return m;
}

/// Data for Ward's method; for kFromData also replaces `matrix` by the squared Euclidean
/// distances between the rows (as numbers).
VariantMatrix DrawData(const Family& f, std::int32_t n, std::mt19937& gen, DoubleMatrix& matrix) {
  if (f.data == WardsData::kNone) return {};
  const std::int32_t p = std::uniform_int_distribution<std::int32_t>(1, 4)(gen);
  const std::int32_t rows = f.data == WardsData::kFewRows ? std::max(1, n - 1) : n;
  VariantMatrix data(rows, p);
  std::vector<double> x(static_cast<std::size_t>(n) * static_cast<std::size_t>(p), 0.0);
  std::uniform_int_distribution<int> value(-3, 3);
  std::uniform_int_distribution<int> form(0, 9);
  for (std::int32_t i = 1; i <= rows; ++i) {
    for (std::int32_t v = 1; v <= p; ++v) {
      double number = value(gen);
      if (f.data == WardsData::kHugeValues && form(gen) < 3) number = form(gen) < 5 ? 1e308 : -1e308;
      Variant cell = number;
      const int how = form(gen);
      if (how == 0 && number == 0.0) {
        cell = Variant();  // empty reads as 0
      } else if (how == 1) {
        cell = FormatGeneral(number);  // a numeric text reads as the number
      }
      data(i, v) = cell;
      x[static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(p) + static_cast<std::size_t>(v - 1)] = number;
    }
  }
  if (f.data == WardsData::kBadCell) {
    data(std::uniform_int_distribution<std::int32_t>(1, rows)(gen), std::uniform_int_distribution<std::int32_t>(1, p)(gen)) =
        "not a number";
  }
  if (f.data == WardsData::kFromData) {
    for (std::int32_t i = 1; i <= n; ++i) {
      for (std::int32_t j = 1; j <= n; ++j) {
        double d = 0.0;
        for (std::int32_t v = 0; v < p; ++v) {
          const double diff = x[static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(p) + static_cast<std::size_t>(v)] -
                              x[static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(p) + static_cast<std::size_t>(v)];
          d += diff * diff;
        }
        if (j <= matrix.cols()) matrix(i, j) = d;
      }
    }
  }
  return data;
}

// ---- running and comparing ----

struct Outcome {
  Schedule steps;
  std::optional<Error> error;
  std::vector<double> progress;
};

template <class Agglomerator>
Outcome RunOne(Agglomerator agglomerate, const DoubleMatrix& d, bool difference, std::int32_t method,
            const VariantMatrix& data) {
  Outcome o;
  try {
    agglomerate(d, o.steps, difference, method, data, [&o](double f) { o.progress.push_back(f); });
  } catch (const Error& e) {
    o.error = e;
  }
  return o;
}

std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

void ExpectIdentical(const Outcome& fast, const Outcome& literal) {
  ASSERT_EQ(fast.error.has_value(), literal.error.has_value())
      << (fast.error ? "only the engine raised " + std::to_string(fast.error->number)
                     : "only the literal raised " + std::to_string(literal.error->number));
  if (literal.error) {
    EXPECT_EQ(fast.error->number, literal.error->number);
    EXPECT_EQ(fast.error->description, literal.error->description);
    EXPECT_THAT(fast.error->source, ::testing::MatchesRegex("Line [1-9][0-9]* in DEZEZuvazoz\\.clsHClusterBO\\.ReduceMatrix"));
  }
  ASSERT_EQ(fast.steps.UBound(), literal.steps.UBound());
  for (std::int32_t e = 1; e <= literal.steps.UBound(); ++e) {
    const ScheduleEntry& a = fast.steps[e];
    const ScheduleEntry& b = literal.steps[e];
    ASSERT_EQ(a.first, b.first) << "entry " << e;
    ASSERT_EQ(a.second, b.second) << "entry " << e;
    ASSERT_EQ(a.items, b.items) << "entry " << e;
    ASSERT_EQ(Bits(a.level), Bits(b.level)) << "entry " << e << ": " << a.level << " against " << b.level;
    ASSERT_EQ(Bits(a.position), Bits(b.position)) << "entry " << e;
  }
  EXPECT_EQ(fast.progress, literal.progress);
}

// ---- the table ----

std::vector<Family> Families() {
  struct MethodName {
    std::int32_t method;
    const char* name;
  };
  static const MethodName kMethods[] = {{kNN, "NearestNeigh"}, {kFN, "FurthestNeigh"}, {kGA, "GroupAvg"},
                                        {kCentroid, "Centroid"}, {kWards, "Wards"},     {kLW, "LanceWilliams"},
                                        {0, "UnknownCode0"},     {7, "UnknownCode7"}};
  struct ValuesName {
    Values values;
    const char* name;
  };
  static const ValuesName kValues[] = {{Values::kThreeIntegers, "ThreeIntegers"},
                                       {Values::kSmallIntegers, "SmallIntegers"},
                                       {Values::kSignedZeros, "SignedZeros"},
                                       {Values::kReals, "Reals"}};
  std::vector<Family> families;
  const auto add = [&](std::string name, std::int32_t method, bool difference, Values values, Shape shape,
                       WardsData data, std::int32_t largest) {
    families.push_back({std::move(name), method, difference, values, shape, data, largest});
  };
  for (const MethodName& m : kMethods) {
    const WardsData data = m.method == kWards ? WardsData::kIntegers : WardsData::kNone;
    const std::int32_t largest = m.method == kWards ? 150 : 300;
    for (const bool difference : {true, false}) {
      for (const ValuesName& v : kValues) {
        add(std::string(m.name) + (difference ? "_Distances_" : "_Similarities_") + v.name, m.method, difference,
            v.values, Shape::kSymmetric, data, largest);
      }
      add(std::string(m.name) + (difference ? "_Distances" : "_Similarities") + "_Asymmetric", m.method, difference,
          Values::kThreeIntegers, Shape::kAsymmetric, data, 100);
      add(std::string(m.name) + (difference ? "_Distances" : "_Similarities") + "_HugeValues", m.method, difference,
          Values::kHuge, Shape::kSymmetric, data, 64);
    }
    add(std::string(m.name) + "_WideMatrix", m.method, true, Values::kSmallIntegers, Shape::kWide, data, 64);
    add(std::string(m.name) + "_NonFiniteCell", m.method, true, Values::kNonFinite, Shape::kAsymmetric, data, 25);
  }
  add("Wards_SquaredEuclideanOfData", kWards, true, Values::kSmallIntegers, Shape::kSymmetric, WardsData::kFromData, 300);
  add("Wards_SquaredEuclideanOfData_Similarities", kWards, false, Values::kSmallIntegers, Shape::kSymmetric,
      WardsData::kFromData, 100);
  add("Wards_HugeData", kWards, true, Values::kSmallIntegers, Shape::kSymmetric, WardsData::kHugeValues, 100);
  add("Wards_CellThatIsNoNumber", kWards, true, Values::kThreeIntegers, Shape::kSymmetric, WardsData::kBadCell, 64);
  add("Wards_FewerRowsThanItems", kWards, true, Values::kThreeIntegers, Shape::kSymmetric, WardsData::kFewRows, 64);
  add("Wards_NoData", kWards, true, Values::kThreeIntegers, Shape::kSymmetric, WardsData::kNone, 16);
  add("Centroid_Reals_Similarities_Asymmetric", kCentroid, false, Values::kReals, Shape::kAsymmetric, WardsData::kNone,
      300);
  return families;
}

class AgglomerationEquality : public ::testing::TestWithParam<Family> {};

TEST_P(AgglomerationEquality, SameScheduleAsTheLiteralAlgorithm) {
  const Family& f = GetParam();
  std::uint32_t seed = 0;
  for (const char c : f.name) seed = seed * 31u + static_cast<unsigned char>(c);
  std::mt19937 gen(seed);
  const auto fast = [](const DoubleMatrix& d, Schedule& s, bool diff, std::int32_t method, const VariantMatrix& data,
                       const StepProgress& progress) { Agglomerate(d, s, diff, method, data, progress); };
  const auto literal = [](const DoubleMatrix& d, Schedule& s, bool diff, std::int32_t method, const VariantMatrix& data,
                          const StepProgress& progress) { AgglomerateLiteral(d, s, diff, method, data, progress); };
  struct Restore {
    ~Restore() { SetBuilderThreads(0); }
  } restore;
  int compared = 0;
  for (const std::int32_t n : kSizes) {
    if (n > f.largest) break;
    for (int draw = 0; draw < kDrawsPerSize; ++draw) {
      DoubleMatrix d = DrawMatrix(f, n, gen);
      const VariantMatrix data = DrawData(f, n, gen, d);
      // The working matrix is shared among the builder threads by chunks of rows, each
      // keeping its own best per column: the thread count cycles with the draws.
      const std::int32_t threads = kThreadCounts[static_cast<std::size_t>(compared) % std::size(kThreadCounts)];
      SetBuilderThreads(threads);
      SCOPED_TRACE(::testing::Message() << "n = " << n << ", draw " << draw << ", " << threads << " threads");
      ExpectIdentical(RunOne(fast, d, f.difference, f.method, data), RunOne(literal, d, f.difference, f.method, data));
      ++compared;
      if (HasFatalFailure()) return;
    }
  }
  EXPECT_GT(compared, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, AgglomerationEquality, ::testing::ValuesIn(Families()),
                         [](const ::testing::TestParamInfo<Family>& info) { return info.param.name; });

// The schedule a step replaced keeps its old entries only until the start: both replace
// it whole, and after an error hold the same entries made so far.
TEST(AgglomerationEqualityEdges, ScheduleIsReplacedAtTheStartAndHoldsTheStepsMadeBeforeAnError) {
  // (2, 1) join at 1; (5, 3) at 3.5; then 0.625 × (1.79e308 + 1.12e308) overflows.
  const DoubleMatrix d = FromUpper(4, {1, 2, 1.79e308, 4, 5, 1.79e308});
  Schedule fast = Agglomerate(FromUpper(3, {1, 2, 3}), true, kNN, {});
  Schedule literal = fast;
  const Error a = CatchError([&] { Agglomerate(d, fast, true, kLW, {}); });
  const Error b = CatchError([&] { AgglomerateLiteral(d, literal, true, kLW, {}); });
  EXPECT_EQ(a.number, fault::kOverflow);
  EXPECT_EQ(a.number, b.number);
  EXPECT_EQ(fast, literal);
  ASSERT_EQ(fast.UBound(), 7);
  EXPECT_EQ(fast[6].items, (std::vector<std::int32_t>{2, 1, 3})) << "the failing step was recorded";
  EXPECT_EQ(fast[7], ScheduleEntry{}) << "no later step";
}

// A progress report that fails stops the agglomeration after that step: the same error
// and the same entries as the literal's.
TEST(AgglomerationEqualityEdges, FailingProgressReportStopsAfterItsStep) {
  struct Restore {
    ~Restore() { SetBuilderThreads(0); }
  } restore;
  for (const std::int32_t threads : {1, 2}) {
    SetBuilderThreads(threads);
    for (const std::int32_t method : {kGA, kWards}) {
      for (const double stopAt : {0.0, 0.3, 1.0}) {
        SCOPED_TRACE(::testing::Message() << threads << " threads, method " << method << ", stop at " << stopAt);
        const DoubleMatrix d = RandomMatrix(120, 5, 3);
        const VariantMatrix data = AsCells(d);
        const auto failing = [stopAt](double fraction) {
          if (fraction >= stopAt) throw Error(fault::kApplicationDefined, "Progress", "stopped");
        };
        Schedule fast;
        Schedule literal;
        const Error a = CatchError([&] { Agglomerate(d, fast, true, method, data, failing); });
        const Error b = CatchError([&] { AgglomerateLiteral(d, literal, true, method, data, failing); });
        EXPECT_EQ(a.number, b.number);
        EXPECT_EQ(a.description, "stopped");
        ExpectIdentical(Outcome{fast, std::nullopt, {}}, Outcome{literal, std::nullopt, {}});
      }
    }
  }
}

}  // namespace
}  // namespace dez::enginetest
