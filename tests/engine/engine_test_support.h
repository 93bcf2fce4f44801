// Small builders and checks shared by the engine tests.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
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

/// A square matrix from its rows.
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

/// The cells of a matrix as the host would hand them over.
inline VariantMatrix AsCells(const DoubleMatrix& m) {
  VariantMatrix cells(m.rows(), m.cols());
  for (std::int32_t i = 1; i <= m.rows(); ++i) {
    for (std::int32_t j = 1; j <= m.cols(); ++j) cells(i, j) = m(i, j);
  }
  return cells;
}

/// A random symmetric matrix: small whole numbers 1..levels when `levels` > 0 (many ties),
/// otherwise uniform reals in (0, 1) (no ties in practice).
inline DoubleMatrix RandomMatrix(std::int32_t n, std::uint32_t seed, int levels) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> whole(1, levels > 0 ? levels : 1);
  std::uniform_real_distribution<double> real(0.0, 1.0);
  DoubleMatrix m(n, n);
  for (std::int32_t i = 1; i < n; ++i) {
    for (std::int32_t j = i + 1; j <= n; ++j) {
      m(i, j) = levels > 0 ? whole(gen) : real(gen);
      m(j, i) = m(i, j);
    }
  }
  return m;
}

/// Runs an analysis of a matrix given as input (the types Difference or Similarity).
inline void AnalyseMatrix(clsHClusterBO& engine, const DoubleMatrix& matrix, bool difference,
                          std::int32_t method) {
  engine.ClusterType(difference ? 3 : 4);
  engine.Method(method);
  engine.Data(AsCells(matrix));
  engine.Analyse();
}

/// The error `f` raises; a test failure when it raises none.
template <class F>
Error CatchError(F&& f) { return test::ErrorOf(std::forward<F>(f)); }

/// The statement number of a source "Line N in ...", or -1.
inline long StatementOf(const std::string& source) {
  if (source.rfind("Line ", 0) != 0) return -1;
  return std::stol(source.substr(5));
}

}  // namespace dez::enginetest
