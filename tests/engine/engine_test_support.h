// Small builders and checks shared by the engine tests, and a minimal add-in context.
//
// The engine reaches the host only for the statistics class and for TDist. In the test
// context the statistics come from the embedded library's class, and the host application
// offers only WorksheetFunction().TDist, computed by the embedded Student t; every other
// member raises, so a test notices when the engine reaches for something it should not.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "host/addin_context.h"
#include "host/application.h"
#include "host/embedded/statistics.h"
#include "host/embedded/student_t.h"
#include "host/worksheet_function.h"
#include "runtime/array2d.h"
#include "runtime/error.h"
#include "tests/support/error_of.h"

namespace dez {

/// Schedule entries print as (first, second, (items), level, position) in test failures.
inline void PrintTo(const ScheduleEntry& e, std::ostream* os) {
  *os << "(" << e.first << ", " << e.second << ", (";
  for (std::size_t i = 0; i < e.items.size(); ++i) *os << (i ? ", " : "") << e.items[i];
  *os << "), " << ::testing::PrintToString(e.level) << ", " << e.position << ")";
}

}  // namespace dez

namespace dez::enginetest {

/// The methods by their short names.
constexpr std::int32_t kNN = dezEZuvazozMethNearestNeigh;
constexpr std::int32_t kFN = dezEZuvazozMethFurthestNeigh;
constexpr std::int32_t kGA = dezEZuvazozMethGroupAvg;
constexpr std::int32_t kCentroid = dezEZuvazozMethCentroid;
constexpr std::int32_t kWards = dezEZuvazozMethWards;
constexpr std::int32_t kLW = dezEZuvazozMethLanceWilliams;

/// A schedule entry with its position left at 0.
inline ScheduleEntry Entry(std::int16_t first, std::int16_t second, std::vector<std::int32_t> items, double level) {
  return ScheduleEntry{first, second, std::move(items), level, 0.0};
}

/// A square matrix from the cells above its diagonal, row by row.
inline DoubleMatrix FromUpper(std::int32_t n, const std::vector<double>& upper) {
  DoubleMatrix m(n, n);
  std::size_t k = 0;
  for (std::int32_t i = 1; i < n; ++i) {
    for (std::int32_t j = i + 1; j <= n; ++j) {
      m(i, j) = upper.at(k++);
      m(j, i) = m(i, j);
    }
  }
  return m;
}

/// Three items: (1, 2) at 1, 3 at 2 and 3.
inline const DoubleMatrix kThree = FromUpper(3, {1, 2, 3});

/// The cells of a matrix as the host would hand them over.
inline VariantMatrix AsCells(const DoubleMatrix& m) {
  VariantMatrix cells(m.rows(), m.cols());
  for (std::int32_t i = 1; i <= m.rows(); ++i) {
    for (std::int32_t j = 1; j <= m.cols(); ++j) cells(i, j) = m(i, j);
  }
  return cells;
}

// ---- random matrices ----

/// How the values of a random matrix are drawn.
enum class Values {
  kThreeIntegers,   // 1, 2, 3: ties at every step
  kSmallIntegers,   // 1..12
  kSignedZeros,     // −2, −1, −0, 0, 1, 2
  kReals,           // uniform in (0, 10): no ties in practice
  kHuge,            // ±1e308 and 1.5e308: the update overflows
  kNonFinite,       // reals with one infinite or NaN cell somewhere (diagonal included)
};

/// The shape of a random matrix.
enum class Shape {
  kSymmetric,   // zero diagonal, (j, i) = (i, j)
  kAsymmetric,  // every cell drawn on its own, diagonal included
  kWide,        // symmetric, with extra columns of noise after column n
};

inline double Draw(Values values, std::mt19937& gen) {
  static constexpr double kSignedZeros[] = {-2.0, -1.0, -0.0, 0.0, 1.0, 2.0};
  static constexpr double kHuge[] = {1e308, -1e308, 1.5e308, 1.0, 0.5};
  switch (values) {
    case Values::kThreeIntegers: return std::uniform_int_distribution<int>(1, 3)(gen);
    case Values::kSmallIntegers: return std::uniform_int_distribution<int>(1, 12)(gen);
    case Values::kSignedZeros: return kSignedZeros[std::uniform_int_distribution<int>(0, 5)(gen)];
    case Values::kHuge: return kHuge[std::uniform_int_distribution<int>(0, 4)(gen)];
    default: return std::uniform_real_distribution<double>(0.0, 10.0)(gen);  // reals
  }
}

/// A random matrix of n items with values and shape as told.
inline DoubleMatrix DrawMatrix(Values values, std::int32_t n, std::mt19937& gen, Shape shape = Shape::kSymmetric) {
  const std::int32_t extra = shape == Shape::kWide ? 3 : 0;
  DoubleMatrix m(n, n + extra);
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = 1; j <= n + extra; ++j) {
      if (j > n || shape == Shape::kAsymmetric) {
        m(i, j) = Draw(values, gen);
      } else if (i < j) {
        m(i, j) = Draw(values, gen);
        m(j, i) = m(i, j);
      }
    }
  }
  if (values == Values::kNonFinite) {
    std::uniform_int_distribution<std::int32_t> item(1, n);
    const std::int32_t i = item(gen), j = item(gen);
    m(i, j) = std::bernoulli_distribution(0.5)(gen) ? INFINITY : NAN;
  }
  return m;
}

/// Runs an analysis of the cells of a matrix given as input (the types Difference or
/// Similarity), by group average unless told otherwise.
inline clsHClusterBO& AnalyseCells(clsHClusterBO& engine, const VariantMatrix& cells, bool difference = true,
                                   std::int32_t method = kGA) {
  engine.ClusterType(difference ? dezEZuvazozDifference : dezEZuvazozSimilarity);
  engine.Method(method);
  engine.Data(cells);
  engine.Analyse();
  return engine;
}

inline void AnalyseMatrix(clsHClusterBO& engine, const DoubleMatrix& matrix, bool difference, std::int32_t method) {
  AnalyseCells(engine, AsCells(matrix), difference, method);
}

// ---- the add-in context ----

[[noreturn]] inline void NotInEngineTests(host::Loc where) {
  throw Error(fault::kApplicationDefined, "TestHost", "not available to the engine tests", where);
}

/// The host as the engine sees it: the host access, its application and the application's
/// worksheet functions in one object. TDist is the embedded Student t, or raises
/// `failWith` when that is set; every other member raises.
class FakeHost final : public host::clsHostAccess,
                       public host::Application,
                       public host::WorksheetFunction,
                       public std::enable_shared_from_this<FakeHost> {
 public:
  std::int32_t failWith = 0;

  host::ApplicationPtr HostApplication(host::Loc) override { return {shared_from_this(), this}; }
  host::WorksheetFunctionPtr WorksheetFunction() override { return {shared_from_this(), this}; }
  double TDist(double x, std::int32_t df, std::int16_t tails, host::Loc where) override {
    if (failWith != 0) throw Error(failWith, "WorksheetFunction", {}, where);
    return embedded::StudentTDist(x, df, tails, where);
  }
  double CountIf(const host::RangePtr&, const Variant&, host::Loc where) override { NotInEngineTests(where); }
  double Count(const host::RangePtr&, host::Loc where) override { NotInEngineTests(where); }
  double CountA(const host::RangePtr&, host::Loc where) override { NotInEngineTests(where); }
  double Var(const host::RangePtr&, host::Loc where) override { NotInEngineTests(where); }
  host::RangePtr Range(const std::string&, host::Loc where) override { NotInEngineTests(where); }
  host::RangePtr Range(const host::RangePtr&, const host::RangePtr&, host::Loc where) override {
    NotInEngineTests(where);
  }
  host::WorkbookPtr Workbooks(const std::string&, host::Loc where) override { NotInEngineTests(where); }
  host::WorkbookPtr ActiveWorkbook(host::Loc where) override { NotInEngineTests(where); }
  host::WorksheetPtr WorksheetsAdd(host::Loc where) override { NotInEngineTests(where); }
  host::WorksheetPtr Sheets(const std::string&, host::Loc where) override { NotInEngineTests(where); }
  host::ChartPtr ChartsAdd(host::Loc where) override { NotInEngineTests(where); }
  host::ChartPtr ActiveChart(host::Loc where) override { NotInEngineTests(where); }
  void ScreenUpdating(bool) override { NotInEngineTests(host::Loc::current()); }
};

/// Statistics whose Correlate can be replaced by a fixed coefficient; everything else is
/// the embedded library's. `alive` counts the live instances.
class ScriptedStatistics final : public host::clsStatistics {
 public:
  ScriptedStatistics(std::optional<double> coefficient, int& alive) : coefficient_(coefficient), alive_(++alive) {}
  ~ScriptedStatistics() override { --alive_; }
  DoubleMatrix ToDoubleMatrix(const VariantMatrix& v, host::Loc where) override { return real_.ToDoubleMatrix(v, where); }
  StringMatrix ToStringArray(const VariantMatrix& v, host::Loc where) override { return real_.ToStringArray(v, where); }
  DoubleMatrix PrepareCorrelation(const DoubleMatrix& d, host::Loc where) override {
    return real_.PrepareCorrelation(d, where);
  }
  DoubleMatrix CorrelationMatrix(const DoubleMatrix& p, bool flag, host::Loc where) override {
    return real_.CorrelationMatrix(p, flag, where);
  }
  DoubleMatrix Correlate(const DoubleMatrix& x, const DoubleMatrix& y, host::Loc where) override {
    return coefficient_ ? DoubleMatrix(1, 1, *coefficient_) : real_.Correlate(x, y, where);
  }

 private:
  std::optional<double> coefficient_;
  int& alive_;
  embedded::clsStatisticsEmbedded real_;
};

/// The context: embedded statistics, the fake host. Set `coefficient` to make Correlate
/// return it; `statisticsAlive` counts the live statistics instances.
struct TestContext {
  std::shared_ptr<FakeHost> fakeHost = std::make_shared<FakeHost>();
  std::optional<double> coefficient;
  int statisticsAlive = 0;
  host::AddinContext context;

  TestContext() {
    context.hostAccess = fakeHost;
    context.newStatistics = [this]() -> std::unique_ptr<host::clsStatistics> {
      return std::make_unique<ScriptedStatistics>(coefficient, statisticsAlive);
    };
  }
  TestContext(const TestContext&) = delete;
  TestContext& operator=(const TestContext&) = delete;
};

/// An engine on a test context of its own.
struct TestEngine : TestContext, clsHClusterBO {
  TestEngine() : clsHClusterBO(context) {}
};

}  // namespace dez::enginetest
