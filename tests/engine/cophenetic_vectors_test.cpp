// The two vectors the cophenetic correlation hands to the library, against the vectors
// made the literal way (the input values row by row from the matrix, the levels written
// step by step), bit for bit: every method, ties, similarities, trees of every shape.
// (The large analysis that folds the matrix is folded_matrix_test.cpp's.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine_test_support.h"
#include "host/embedded/statistics.h"
#include "test_context.h"

namespace dez::enginetest {
namespace {

/// The embedded statistics, keeping copies of what Correlate was given.
class CapturingStatistics final : public host::clsStatistics {
 public:
  explicit CapturingStatistics(DoubleMatrix* x, DoubleMatrix* y) : x_(x), y_(y) {}
  DoubleMatrix ToDoubleMatrix(const VariantMatrix& v, host::Loc where) override { return real_.ToDoubleMatrix(v, where); }
  StringMatrix ToStringArray(const VariantMatrix& v, host::Loc where) override { return real_.ToStringArray(v, where); }
  DoubleMatrix PrepareCorrelation(const DoubleMatrix& d, host::Loc where) override {
    return real_.PrepareCorrelation(d, where);
  }
  DoubleMatrix CorrelationMatrix(const DoubleMatrix& p, bool flag, host::Loc where) override {
    return real_.CorrelationMatrix(p, flag, where);
  }
  DoubleMatrix Correlate(const DoubleMatrix& x, const DoubleMatrix& y, host::Loc where) override {
    *x_ = x;
    *y_ = y;
    return real_.Correlate(x, y, where);
  }

 private:
  DoubleMatrix* x_;
  DoubleMatrix* y_;
  embedded::clsStatisticsEmbedded real_;
};

struct Captured {
  DoubleMatrix input;
  DoubleMatrix levels;
};

bool SameBits(const DoubleMatrix& a, const DoubleMatrix& b) {
  return a.rows() == b.rows() && a.cols() == b.cols() &&
         std::memcmp(a.data(), b.data(), sizeof(double) * static_cast<std::size_t>(a.rows()) * static_cast<std::size_t>(a.cols())) == 0;
}

/// The literal vectors of the engine's matrix and schedule.
Captured Literal(const DoubleMatrix& d, const Schedule& steps) {
  const std::int32_t n = d.rows();
  const std::int32_t m = n * (n - 1) / 2;
  Captured c{DoubleMatrix(m, 1), DoubleMatrix(m, 1)};
  const auto row = [&](std::int32_t a, std::int32_t b) {
    const std::int32_t i = std::min(a, b), j = std::max(a, b);
    return (i - 1) * (2 * n - i) / 2 + (j - i);
  };
  std::int32_t k = 0;
  for (std::int32_t i = 1; i < n; ++i) {
    for (std::int32_t j = i + 1; j <= n; ++j) c.input(++k, 1) = d(i, j);
  }
  for (std::int32_t s = n + 1; s <= steps.UBound(); ++s) {
    for (const std::int32_t a : steps[steps[s].first].items) {
      for (const std::int32_t b : steps[steps[s].second].items) {
        if (a != b) c.levels(row(a, b), 1) = steps[s].level;
      }
    }
  }
  return c;
}

class CopheneticVectors : public ::testing::Test {
 protected:
  CopheneticVectors() {
    context_.hostAccess = std::make_shared<FakeHostAccess>();
    context_.newStatistics = [this]() -> std::unique_ptr<host::clsStatistics> {
      return std::make_unique<CapturingStatistics>(&captured_.input, &captured_.levels);
    };
  }
  host::AddinContext context_;
  Captured captured_;
};

TEST_F(CopheneticVectors, EveryMethodAndShapeGivesTheLiteralVectors) {
  std::mt19937 gen(3);
  int compared = 0;
  for (const std::int32_t method : {1, 2, 3, 4, 5, 6}) {
    for (const bool difference : {true, false}) {
      for (const std::int32_t n : {2, 3, 5, 9, 30, 77, 160}) {
        for (const int levels : {2, 5, 0}) {  // few values (ties, chains), more, reals
          SCOPED_TRACE(::testing::Message() << "method " << method << " n " << n << " levels " << levels);
          const DoubleMatrix d = RandomMatrix(n, gen(), levels);
          clsHClusterBO engine(context_);
          captured_ = {};
          try {
            AnalyseMatrix(engine, d, difference, method);
          } catch (const Error& e) {
            // After the correlation the test may fail: the square root of df = −1 with two
            // items, the division by 1 − R² = 0 when the tree reproduces the matrix in reverse.
            ASSERT_EQ(captured_.input.rows(), n * (n - 1) / 2) << e.source;
          }
          const Captured want = Literal(engine.DistanceMatrixView(), engine.StepMatrixView());
          ASSERT_TRUE(SameBits(captured_.input, want.input));
          ASSERT_TRUE(SameBits(captured_.levels, want.levels));
          ++compared;
        }
      }
    }
  }
  EXPECT_EQ(compared, 6 * 2 * 7 * 3);
}

}  // namespace
}  // namespace dez::enginetest
