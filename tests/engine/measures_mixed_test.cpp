// The mixed-data similarity: the worked example, the score table, the all-zero rule,
// faults, and the builder against the literal algorithm on random data.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine/mixed_matrix.h"
#include "tests/engine/measures_reference.h"
#include "tests/engine/test_context.h"

namespace dez {
namespace {

using reference::Block;
using reference::Codes;
using reference::SameBits;

std::optional<DoubleMatrix> Build(const VariantMatrix& data, const StringMatrix& types) {
  return BuildMixedMatrix(data, types, "1", "0");
}

TEST(MixedMatrix, WorkedExample) {
  // Items 1 and 2: BIN 1 and 1, QUAL in different categories, QUANT 2 and 4 on a range
  // of 0..10: S = 1 + 0 + 0.8, W = 3.
  const VariantMatrix data = Block({{1, "a", 2}, {1, "b", 4}, {0, "c", 0}, {0, "d", 10}});
  const std::optional<DoubleMatrix> m = Build(data, Codes({"BIN", "QUAL", "QUANT"}));
  ASSERT_TRUE(m);
  const double s = 0.0 + 1.0 + 0.0 + (1.0 - 2.0 / 10.0);
  EXPECT_EQ((*m)(1, 2), s / 3.0);
  EXPECT_NEAR((*m)(1, 2), 0.6, 1e-15);
  EXPECT_EQ((*m)(2, 1), (*m)(1, 2));
  for (std::int32_t i = 1; i <= 4; ++i) EXPECT_EQ((*m)(i, i), 0.0) << "the diagonal is 0, not 1";
}

struct ScoreCase {
  const char* what;
  const char* code;
  Variant x;
  Variant y;
  double similarity;
};

// One variable of the given code plus a BIN variable on which the pair shares a presence
// (s = 1, w = 1), so that every pair counts: the cell is (1 + s) / (1 + w).
const ScoreCase kScores[] = {
    {"BIN both present", "BIN", 1, "1", 1.0},
    {"BIN both absent", "bin", 0, "0", 1.0},
    {"BIN present and absent", "Bin", 1, 0, 0.5},
    {"BIN neither text", "BIN", 2, 2, 0.5},
    {"BIN Booleans", "BIN", true, true, 0.5},
    {"BIN empty cells", "BIN", Variant(), Variant(), 0.5},
    {"QUAL same text", "QUAL", "a", "a", 1.0},
    {"QUAL letter case", "qual", "a", "A", 0.5},
    {"QUAL number and text", "QUAL", 1, "1", 0.5},
    {"QUAL numbers by value", "Qual", 2, 2.0, 1.0},
    {"QUAL empty and 0", "QUAL", Variant(), 0, 1.0},
    {"QUAL empty and empty text", "QUAL", Variant(), "", 1.0},
    {"QUAL 0 and empty text", "QUAL", 0, "", 0.5},
    {"QUAL False and 0", "QUAL", false, 0, 1.0},
    {"QUAL True and -1", "QUAL", true, -1, 1.0},
    {"other code", "QUANTITY", 1, "x", 1.0},
    {"empty code", "", CellError{2007}, 5, 1.0},
};

TEST(MixedMatrix, ScoreTable) {
  for (const ScoreCase& c : kScores) {
    const std::optional<DoubleMatrix> m = Build(Block({{1, c.x}, {1, c.y}}), Codes({"BIN", c.code}));
    ASSERT_TRUE(m) << c.what;
    EXPECT_EQ((*m)(1, 2), c.similarity) << c.what;
    EXPECT_EQ((*m)(2, 1), c.similarity) << c.what;
  }
}

TEST(MixedMatrix, QuantitativeScoresUseTheRange) {
  const std::optional<DoubleMatrix> m =
      Build(Block({{"4", 1}, {Variant(), 1}, {8, 1}, {true, 1}}), Codes({"quant", "BIN"}));
  ASSERT_TRUE(m);
  // Range: max 8, min -1 (True), so R = 9.
  EXPECT_EQ((*m)(1, 2), (0.0 + (1.0 - 4.0 / 9.0) + 1.0) / 2.0) << "a numeric text and an empty cell";
  EXPECT_EQ((*m)(3, 4), (0.0 + (1.0 - 9.0 / 9.0) + 1.0) / 2.0);
}

TEST(MixedMatrix, PairsWithoutWeightStayZeroAndDoNotCount) {
  const std::optional<DoubleMatrix> m = Build(Block({{0, 0}, {0, 0}, {1, 1}, {1, 0}}), Codes({"BIN", "BIN"}));
  ASSERT_TRUE(m);
  EXPECT_EQ((*m)(1, 2), 0.0);
  EXPECT_EQ((*m)(3, 4), 0.5);
  EXPECT_FALSE(Build(Block({{0, 0}, {0, 0}}), Codes({"BIN", "bin"}))) << "every pair without weight";
}

struct UndefinedCase {
  const char* what;
  VariantMatrix data;
  StringMatrix types;
};

std::vector<UndefinedCase> UndefinedCases() {
  const double huge = 1e308;
  return {
      {"no two items share a presence", Block({{1, 0}, {0, 1}, {0, 0}}), Codes({"BIN", "BIN"})},
      {"only ignored variables", Block({{1, 2}, {3, 4}}), Codes({"X", ""})},
      {"no variables", VariantMatrix(3, 0), StringMatrix()},
      {"a single item", Block({{1, "a", 3}}), Codes({"BIN", "QUAL", "QUANT"})},
      {"a constant QUANT variable", Block({{1, 5}, {1, 5}}), Codes({"BIN", "QUANT"})},
      {"fewer codes than variables", Block({{1, 1}, {1, 1}}), Codes({"BIN"})},
      {"no codes", Block({{1}, {1}}), StringMatrix()},
      {"a QUANT text", Block({{1, 5}, {1, "abc"}}), Codes({"BIN", "QUANT"})},
      {"a QUANT error value", Block({{1, 5}, {1, CellError{2042}}}), Codes({"BIN", "QUANT"})},
      {"a QUANT infinity", Block({{1, 5}, {1, std::numeric_limits<double>::infinity()}}), Codes({"BIN", "QUANT"})},
      {"a QUANT range that overflows", Block({{1, huge}, {1, -huge}}), Codes({"BIN", "QUANT"})},
      {"a BIN error value", Block({{1, 1}, {1, CellError{2007}}}), Codes({"BIN", "BIN"})},
      {"a QUAL error value", Block({{1, "a"}, {1, CellError{2007}}}), Codes({"BIN", "QUAL"})},
      {"32768 items", VariantMatrix(32768, 1, Variant(1.0)), Codes({"BIN"})},
      {"32768 variables", VariantMatrix(1, 32768, Variant(1.0)), Codes({"BIN"})},
      {"an empty data block", VariantMatrix(), Codes({"BIN"})},
  };
}

TEST(MixedMatrix, UndefinedMatrices) {
  for (const UndefinedCase& c : UndefinedCases()) {
    EXPECT_FALSE(Build(c.data, c.types)) << c.what;
    if (c.data.rows() <= 3) {
      EXPECT_FALSE(reference::Mixed(c.data, c.types, "1", "0")) << c.what;
    }
  }
}

TEST(MixedMatrix, CellsOfIgnoredVariablesAreNeverRead) {
  const std::optional<DoubleMatrix> m =
      Build(Block({{1, CellError{2007}, "abc"}, {1, "x", CellError{2015}}}), Codes({"BIN", "other", ""}));
  ASSERT_TRUE(m);
  EXPECT_EQ((*m)(1, 2), 1.0);
}

TEST(MixedMatrix, TheEngineBuildsFromItsTypeRow) {
  enginetest::TestContext t;
  clsHClusterBO engine(t.context);
  engine.ClusterType(dezEZuvazozMixed);
  engine.Method(dezEZuvazozMethGroupAvg);
  const VariantMatrix data = Block({{1, "a", 2}, {1, "b", 4}, {0, "c", 0}, {0, "d", 10}});
  const StringMatrix types = Codes({"bin", "Qual", "QUANT"});
  engine.Data(data);
  engine.MixedVarType(types);
  engine.Analyse();
  EXPECT_FALSE(engine.Undefined());
  EXPECT_FALSE(engine.Difference());
  EXPECT_TRUE(SameBits(engine.DistanceMatrixView(), *Build(data, types)));

  engine.Data(Block({{1, 0}, {0, 1}}));
  engine.MixedVarType(Codes({"BIN", "BIN"}));
  engine.Analyse();
  EXPECT_TRUE(engine.Undefined()) << "every similarity is 0";
  EXPECT_TRUE(engine.DistanceMatrixView().empty());
}

/// Random mixed data: each variable of a random code, its cells mostly of its kind,
/// sometimes not; now and then an error value or a short type row.
struct MixedData {
  VariantMatrix data;
  StringMatrix types;
};

MixedData RandomMixed(std::mt19937& rng, std::int32_t n, std::int32_t p, bool faults) {
  static const char* const kCodes[] = {"BIN", "bin", "QUAL", "Qual", "QUANT", "quant", "X", ""};
  static const Variant kCategories[] = {"a", "A", "b", 1, 0, -1, Variant(), "", true, false, "1"};
  std::uniform_real_distribution<double> u(0.0, 1.0);
  std::uniform_int_distribution<int> code(0, 7);
  std::uniform_int_distribution<int> category(0, 10);
  std::uniform_int_distribution<int> level(0, 6);
  MixedData d{VariantMatrix(n, p), StringMatrix(1, faults && u(rng) < 0.1 ? std::max(p - 1, 0) : p)};
  for (std::int32_t k = 1; k <= d.types.cols(); ++k) d.types.At(1, k) = kCodes[code(rng)];
  for (std::int32_t k = 1; k <= p; ++k) {
    const std::string kind = k <= d.types.cols() ? reference::Upper(d.types.At(1, k)) : "BIN";
    for (std::int32_t i = 1; i <= n; ++i) {
      Variant cell;
      if (kind == "QUANT") {
        const double pick = u(rng);
        cell = pick < 0.1 ? Variant() : pick < 0.2 ? Variant(std::to_string(level(rng))) : Variant(level(rng) * 0.7);
      } else if (kind == "QUAL") {
        cell = kCategories[category(rng)];
      } else {
        const double pick = u(rng);
        cell = pick < 0.45 ? Variant(1.0) : pick < 0.9 ? Variant(0.0) : pick < 0.95 ? Variant("1") : Variant(2.0);
      }
      if (faults && u(rng) < 0.01) cell = u(rng) < 0.5 ? Variant(CellError{2042}) : Variant("abc");
      d.data.At(i, k) = cell;
    }
  }
  return d;
}

TEST(MixedMatrix, MatchesTheLiteralAlgorithmBitForBit) {
  std::mt19937 rng(1789);
  std::uniform_int_distribution<std::int32_t> items(1, 9);
  std::uniform_int_distribution<std::int32_t> variables(0, 8);
  int defined = 0;
  int undefined = 0;
  for (int run = 0; run < 600; ++run) {
    const bool wide = run == 11;  // more partners than one streaming block
    const std::int32_t n = wide ? 600 : items(rng);
    const std::int32_t p = wide ? 4 : variables(rng);
    const MixedData d = RandomMixed(rng, n, p, run % 3 == 0);
    const std::optional<DoubleMatrix> m = Build(d.data, d.types);
    const std::optional<DoubleMatrix> r = reference::Mixed(d.data, d.types, "1", "0");
    ASSERT_EQ(m.has_value(), r.has_value()) << "run " << run;
    if (m) {
      ASSERT_TRUE(SameBits(*m, *r)) << "run " << run;
    }
    (m ? defined : undefined) += 1;
  }
  EXPECT_GT(defined, 200);
  EXPECT_GT(undefined, 100);
}

}  // namespace
}  // namespace dez
