// The binary measures: worked values, zero denominators, faults, and the builder against
// the literal algorithm on random data.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/binomial_matrix.h"
#include "engine/clsHClusterBO.h"
#include "tests/engine/measures_reference.h"
#include "tests/engine/test_context.h"

namespace dez {
namespace {

using reference::Block;
using reference::SameBits;

DoubleMatrix Build(const VariantMatrix& data, std::int32_t measure, bool& undefined) {
  return BuildBinomialMatrix(data, "1", "0", measure, undefined);
}

/// n x p cells of one value.
VariantMatrix Filled(std::int32_t n, std::int32_t p, const Variant& value) { return VariantMatrix(n, p, value); }

/// Two items whose counts are a, b, c and d, in that order of variables.
VariantMatrix Pair(int a, int b, int c, int d) {
  VariantMatrix m(2, a + b + c + d);
  std::int32_t k = 1;
  const auto put = [&](int count, double x, double y) {
    for (int t = 0; t < count; ++t, ++k) {
      m.At(1, k) = x;
      m.At(2, k) = y;
    }
  };
  put(a, 1, 1);
  put(b, 1, 0);
  put(c, 0, 1);
  put(d, 0, 0);
  return m;
}

struct WorkedValue {
  std::int32_t measure;
  double value;
};

// Items (1, 1, 0, 0) and (1, 0, 1, 0): a = b = c = d = 1, p = 4.
const WorkedValue kOneOfEach[] = {
    {dezEZuvazozSMBEuclidean, std::sqrt(2.0)},   {dezEZuvazozSMBHamann, 0.0},
    {dezEZuvazozSMBJaccard, 1.0 / 3.0},          {dezEZuvazozSMBKulczynski1, 0.5},
    {dezEZuvazozSMBKulczynski2, 0.5},            {dezEZuvazozSMBOchiai, 0.5},
    {dezEZuvazozSMBPattern, 1.0 / 16.0},         {dezEZuvazozSMBPhi, 0.0},
    {dezEZuvazozSMBRogersTanimoto, 1.0 / 3.0},   {dezEZuvazozSMBRusselRao, 0.25},
    {dezEZuvazozSMBSokalMitchener, 0.5},         {dezEZuvazozSMBSorensenDice, 0.5},
    {dezEZuvazozSMBSqrdEuclidean, 2.0},          {dezEZuvazozSMBVariance, 0.125},
    {dezEZuvazozSMBYuleQ, 0.0},
};

TEST(BinomialMatrix, WorkedValuesWithOneOfEachCount) {
  const VariantMatrix numbers = Block({{1, 1, 0, 0}, {1, 0, 1, 0}});
  const VariantMatrix texts = Block({{"1", "1", "0", "0"}, {"1", "0", "1", "0"}});
  for (const WorkedValue& w : kOneOfEach) {
    for (const VariantMatrix* data : {&numbers, &texts}) {
      bool undefined = false;
      const DoubleMatrix m = Build(*data, w.measure, undefined);
      ASSERT_EQ(m.rows(), 2) << w.measure;
      EXPECT_FALSE(undefined) << w.measure;
      EXPECT_EQ(m(1, 2), w.value) << w.measure;
      EXPECT_EQ(m(2, 1), w.value) << w.measure;
      EXPECT_EQ(m(1, 1), 0.0) << w.measure;
      EXPECT_EQ(m(2, 2), 0.0) << w.measure;
    }
  }
}

// Two items that are all absences, and two identical items: which measures have a zero
// denominator, and the value of the others.
struct PairCase {
  std::int32_t measure;
  bool zeroWhenAllAbsent;
  double allAbsent;        // when defined
  bool zeroWhenIdentical;  // items (1, 1, 0, 0) twice
  double identical;        // when defined
};

const PairCase kPairCases[] = {
    {dezEZuvazozSMBEuclidean, false, 0.0, false, 0.0},
    {dezEZuvazozSMBHamann, false, 1.0, false, 1.0},
    {dezEZuvazozSMBJaccard, true, 0.0, false, 1.0},
    {dezEZuvazozSMBKulczynski1, true, 0.0, true, 0.0},
    {dezEZuvazozSMBKulczynski2, true, 0.0, false, 1.0},
    {dezEZuvazozSMBOchiai, true, 0.0, false, 1.0},
    {dezEZuvazozSMBPattern, false, 0.0, false, 0.0},
    {dezEZuvazozSMBPhi, true, 0.0, false, 1.0},
    {dezEZuvazozSMBRogersTanimoto, false, 1.0, false, 1.0},
    {dezEZuvazozSMBRusselRao, false, 0.0, false, 0.5},
    {dezEZuvazozSMBSokalMitchener, false, 1.0, false, 1.0},
    {dezEZuvazozSMBSorensenDice, true, 0.0, false, 1.0},
    {dezEZuvazozSMBSqrdEuclidean, false, 0.0, false, 0.0},
    {dezEZuvazozSMBVariance, false, 0.0, false, 0.0},
    {dezEZuvazozSMBYuleQ, true, 0.0, false, 1.0},
};

TEST(BinomialMatrix, ZeroDenominatorsLeaveTheCellZero) {
  for (const PairCase& c : kPairCases) {
    const VariantMatrix data = Block({{0, 0, 0, 0}, {0, 0, 0, 0}});
    bool undefined = false;
    const DoubleMatrix m = Build(data, c.measure, undefined);
    ASSERT_EQ(m.rows(), 2) << c.measure;
    EXPECT_EQ(undefined, c.zeroWhenAllAbsent) << c.measure;
    EXPECT_EQ(m(1, 2), c.allAbsent) << c.measure;
    EXPECT_EQ(m(2, 1), m(1, 2)) << c.measure;

    bool same = false;
    const DoubleMatrix twin = Build(Block({{1, 1, 0, 0}, {1, 1, 0, 0}}), c.measure, same);
    ASSERT_EQ(twin.rows(), 2) << c.measure;
    EXPECT_EQ(same, c.zeroWhenIdentical) << c.measure;
    EXPECT_EQ(twin(1, 2), c.identical) << c.measure;
  }
}

TEST(BinomialMatrix, PairsAfterAZeroDenominatorAreStillComputed) {
  // Jaccard: the first pair, (1, 2), is all absent; the last, (3, 4), has a = 1, c = 1.
  bool undefined = false;
  const DoubleMatrix m = Build(Block({{0, 0}, {0, 0}, {1, 0}, {1, 1}}), dezEZuvazozSMBJaccard, undefined);
  EXPECT_TRUE(undefined);
  ASSERT_EQ(m.rows(), 4);
  EXPECT_EQ(m(1, 2), 0.0);
  EXPECT_EQ(m(3, 4), 0.5);
  EXPECT_EQ(m(4, 3), 0.5);
}

// Every fault: the matrix is undefined and empty.
struct FaultCase {
  const char* what;
  VariantMatrix data;
  std::int32_t measure;
};

std::vector<FaultCase> FaultCases() {
  std::vector<FaultCase> cases;
  const auto withCell = [](const Variant& v) {
    VariantMatrix m = Block({{1, 0, 1}, {0, 1, 1}});
    m.At(2, 3) = v;
    return m;
  };
  cases.push_back({"the number 2", withCell(2), dezEZuvazozSMBJaccard});
  cases.push_back({"the number 0.5", withCell(0.5), dezEZuvazozSMBJaccard});
  cases.push_back({"a text", withCell("yes"), dezEZuvazozSMBJaccard});
  cases.push_back({"the text 1.0", withCell("1.0"), dezEZuvazozSMBJaccard});
  cases.push_back({"an empty cell", withCell(Variant()), dezEZuvazozSMBJaccard});
  cases.push_back({"a Boolean", withCell(true), dezEZuvazozSMBJaccard});
  cases.push_back({"an error value", withCell(CellError{2007}), dezEZuvazozSMBJaccard});
  cases.push_back({"a bad cell under an unknown code", withCell("x"), 99});
  cases.push_back({"a bad cell of a single item", Block({{1, 0, "x"}}), dezEZuvazozSMBJaccard});
  cases.push_back({"Phi, 28 variables split evenly", Pair(7, 7, 7, 7), dezEZuvazozSMBPhi});
  cases.push_back({"Ochiai, (a + b)(a + c) = 182^2", Pair(182, 0, 0, 0), dezEZuvazozSMBOchiai});
  cases.push_back({"YuleQ, a.d = 182^2", Pair(182, 0, 0, 182), dezEZuvazozSMBYuleQ});
  cases.push_back({"Pattern, b.c = 182^2", Pair(0, 182, 182, 0), dezEZuvazozSMBPattern});
  cases.push_back({"Phi, a.d - b.c of 182^2", Pair(182, 0, 0, 182), dezEZuvazozSMBPhi});
  cases.push_back({"SorensenDice, 2a = 32768", Pair(16384, 0, 0, 0), dezEZuvazozSMBSorensenDice});
  cases.push_back({"RogersTanimoto, 2b = 32768", Pair(0, 16384, 0, 0), dezEZuvazozSMBRogersTanimoto});
  cases.push_back({"Variance, 4p = 32768", Filled(2, 8192, 1), dezEZuvazozSMBVariance});
  cases.push_back({"32768 items", Filled(32768, 1, 1), dezEZuvazozSMBEuclidean});
  cases.push_back({"32768 variables", Filled(1, 32768, 1), dezEZuvazozSMBEuclidean});
  cases.push_back({"an empty data block", VariantMatrix(), dezEZuvazozSMBEuclidean});
  // No variables: 0 / 0 wherever the denominator is p or built from it.
  for (std::int32_t measure : {dezEZuvazozSMBHamann, dezEZuvazozSMBPattern, dezEZuvazozSMBRogersTanimoto,
                               dezEZuvazozSMBRusselRao, dezEZuvazozSMBSokalMitchener, dezEZuvazozSMBVariance}) {
    cases.push_back({"no variables", VariantMatrix(2, 0), measure});
  }
  return cases;
}

TEST(BinomialMatrix, FaultsLeaveAnUndefinedEmptyMatrix) {
  for (const FaultCase& c : FaultCases()) {
    bool undefined = false;
    const DoubleMatrix m = Build(c.data, c.measure, undefined);
    EXPECT_TRUE(undefined) << c.what << ", measure " << c.measure;
    EXPECT_TRUE(m.empty()) << c.what << ", measure " << c.measure;
    if (c.data.rows() <= 2) {
      bool reference = false;
      EXPECT_TRUE(reference::Binomial(c.data, "1", "0", c.measure, reference).empty()) << c.what;
      EXPECT_TRUE(reference) << c.what;
    }
  }
}

TEST(BinomialMatrix, JustBelowTheOverflows) {
  bool phi = false;
  EXPECT_FALSE(Build(Pair(7, 7, 7, 5), dezEZuvazozSMBPhi, phi).empty()) << "14.14.12.12 = 28224";
  bool ochiai = false;
  const DoubleMatrix o = Build(Pair(181, 0, 0, 0), dezEZuvazozSMBOchiai, ochiai);
  ASSERT_FALSE(o.empty()) << "181^2 = 32761";
  EXPECT_EQ(o(1, 2), 1.0);
  bool variance = false;
  EXPECT_FALSE(Build(Filled(2, 8191, 1), dezEZuvazozSMBVariance, variance).empty());
  EXPECT_FALSE(phi || ochiai || variance);
}

TEST(BinomialMatrix, NoVariablesWithoutADivisionByP) {
  for (std::int32_t measure : {dezEZuvazozSMBEuclidean, dezEZuvazozSMBSqrdEuclidean}) {
    bool undefined = false;
    const DoubleMatrix m = Build(VariantMatrix(2, 0), measure, undefined);
    EXPECT_FALSE(undefined);
    EXPECT_TRUE(SameBits(m, DoubleMatrix(2, 2)));
  }
  bool undefined = false;
  EXPECT_EQ(Build(VariantMatrix(2, 0), dezEZuvazozSMBJaccard, undefined).rows(), 2) << "a zero denominator";
  EXPECT_TRUE(undefined);
}

TEST(BinomialMatrix, UnknownCodesAndSingleItemsGiveZeros) {
  for (std::int32_t measure : {0, 16, -1}) {
    bool undefined = false;
    const DoubleMatrix m = Build(Block({{1, 0}, {0, 1}, {1, 1}}), measure, undefined);
    EXPECT_FALSE(undefined);
    EXPECT_TRUE(SameBits(m, DoubleMatrix(3, 3))) << measure;
  }
  bool undefined = false;
  EXPECT_TRUE(SameBits(Build(Block({{1, 0, 1}}), dezEZuvazozSMBPhi, undefined), DoubleMatrix(1, 1)));
  EXPECT_FALSE(undefined);
}

TEST(BinomialMatrix, CellsAreComparedAsText) {
  bool undefined = false;
  // 1 + 2^-52 reads "1" with 15 significant digits.
  const DoubleMatrix m = Build(Block({{1.0 + std::ldexp(1.0, -52), 0}, {"1", 0.0}}), dezEZuvazozSMBJaccard, undefined);
  ASSERT_FALSE(undefined);
  EXPECT_EQ(m(1, 2), 1.0);
  // Other texts: absence as the empty text, presence as "P".
  bool other = false;
  const DoubleMatrix t = BuildBinomialMatrix(Block({{"P", Variant()}, {"P", ""}}), "P", "", dezEZuvazozSMBHamann, other);
  ASSERT_FALSE(other);
  EXPECT_EQ(t(1, 2), 1.0);
  // The same text for both: every cell is a presence, a = p.
  bool same = false;
  const DoubleMatrix s = BuildBinomialMatrix(Block({{"x", "x"}, {"x", "x"}}), "x", "x", dezEZuvazozSMBRusselRao, same);
  ASSERT_FALSE(same);
  EXPECT_EQ(s(1, 2), 1.0);
}

TEST(BinomialMatrix, TheEngineKeepsTheMatrixOfAZeroDenominator) {
  enginetest::TestContext t;
  clsHClusterBO engine(t.context);
  engine.ClusterType(dezEZuvazozBinomial);
  engine.Method(dezEZuvazozMethGroupAvg);
  engine.Measure(dezEZuvazozSMBJaccard);
  const VariantMatrix data = Block({{0, 0}, {0, 0}, {1, 0}, {1, 1}});
  engine.Data(data);
  engine.Analyse();
  EXPECT_TRUE(engine.Undefined());
  bool undefined = false;
  EXPECT_TRUE(SameBits(engine.DistanceMatrixView(), Build(data, dezEZuvazozSMBJaccard, undefined)));

  engine.Measure(dezEZuvazozSMBSokalMitchener);
  engine.Analyse();
  EXPECT_FALSE(engine.Undefined());
  EXPECT_EQ(engine.DistanceMatrixView()(3, 4), 0.5);
}

/// Random 0/1 data as numbers and texts, now and then a cell that is neither.
VariantMatrix RandomBinary(std::mt19937& rng, std::int32_t n, std::int32_t p, double onesShare, double badShare) {
  std::uniform_real_distribution<double> u(0.0, 1.0);
  VariantMatrix m(n, p);
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t k = 1; k <= p; ++k) {
      const bool one = u(rng) < onesShare;
      const bool text = u(rng) < 0.3;
      m.At(i, k) = text ? Variant(one ? "1" : "0") : Variant(one ? 1.0 : 0.0);
      if (u(rng) < badShare) m.At(i, k) = Variant("2");
    }
  }
  return m;
}

TEST(BinomialMatrix, MatchesTheLiteralAlgorithmBitForBit) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<std::int32_t> items(1, 9);
  std::uniform_int_distribution<std::int32_t> variables(0, 45);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  int undefinedRuns = 0;
  int faultRuns = 0;
  for (int run = 0; run < 200; ++run) {
    const std::int32_t n = items(rng);
    const std::int32_t p = run % 50 == 0 ? 200 + run : variables(rng);  // several words, large counts
    const VariantMatrix data = RandomBinary(rng, n, p, u(rng), run % 10 == 0 ? 0.01 : 0.0);
    for (std::int32_t measure = 0; measure <= 16; ++measure) {
      bool fast = false;
      bool literal = false;
      const DoubleMatrix m = Build(data, measure, fast);
      const DoubleMatrix r = reference::Binomial(data, "1", "0", measure, literal);
      ASSERT_EQ(fast, literal) << "run " << run << ", measure " << measure;
      ASSERT_TRUE(SameBits(m, r)) << "run " << run << ", measure " << measure;
      undefinedRuns += fast;
      faultRuns += fast && m.empty();
    }
  }
  EXPECT_GT(undefinedRuns, 100);
  EXPECT_GT(faultRuns, 30);
}

TEST(BinomialMatrix, ManyItemsMatchTheLiteralAlgorithm) {
  std::mt19937 rng(7);
  const VariantMatrix data = RandomBinary(rng, 80, 70, 0.4, 0.0);
  for (std::int32_t measure : {dezEZuvazozSMBJaccard, dezEZuvazozSMBPhi, dezEZuvazozSMBVariance}) {
    bool fast = false;
    bool literal = false;
    const DoubleMatrix m = Build(data, measure, fast);
    EXPECT_TRUE(SameBits(m, reference::Binomial(data, "1", "0", measure, literal))) << measure;
    EXPECT_EQ(fast, literal) << measure;
  }
}

}  // namespace
}  // namespace dez
