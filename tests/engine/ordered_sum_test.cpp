// Adding a fixed sequence of terms to a running total at once where the rounding allows:
// compared, bit for bit, with adding them one by one, for totals of every size, terms
// that round halfway, sums that cross into the next binade, zeros and infinities.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "engine/ordered_sum.h"

namespace dez::enginetest {
namespace {

std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

double OneByOne(double total, const std::vector<double>& terms) {
  for (const double t : terms) total = total + t;
  return total;
}

void ExpectSame(const std::vector<double>& terms, double total) {
  OrderedTerms ordered(terms);
  const double want = OneByOne(total, terms);
  ASSERT_EQ(Bits(ordered.AddTo(total)), Bits(want)) << std::hexfloat << "total " << total;
  ASSERT_EQ(Bits(ordered.AddTo(total)), Bits(want)) << "asked again: from what it remembered";
}

TEST(OrderedSum, RandomTermsAndTotalsOfEverySize) {
  std::mt19937_64 gen(21);
  std::uniform_real_distribution<double> mantissa(1.0, 2.0);
  std::uniform_int_distribution<int> termExponent(-60, 10);
  std::uniform_int_distribution<int> totalExponent(-80, 40);
  std::uniform_int_distribution<int> count(0, 40);
  for (int trial = 0; trial < 20000; ++trial) {
    std::vector<double> terms(static_cast<std::size_t>(count(gen)));
    for (double& t : terms) t = std::ldexp(mantissa(gen), termExponent(gen));
    OrderedTerms ordered(terms);
    for (int k = 0; k < 6; ++k) {
      const double total = k == 0 ? 0.0 : std::ldexp(mantissa(gen), totalExponent(gen));
      ASSERT_EQ(Bits(ordered.AddTo(total)), Bits(OneByOne(total, terms))) << trial;
    }
  }
}

TEST(OrderedSum, TermsOfSquaredDeviationsAsWardsMethodMakesThem) {
  std::mt19937_64 gen(22);
  std::uniform_int_distribution<int> value(-3, 3);
  for (int trial = 0; trial < 5000; ++trial) {
    const int size = 2 + trial % 9;
    std::vector<double> x(static_cast<std::size_t>(size));
    double sum = 0.0;
    for (double& v : x) sum += (v = value(gen) * 0.5);
    const double mu = sum / size;
    std::vector<double> terms;
    for (const double v : x) terms.push_back((v - mu) * (v - mu));
    for (const double total : {0.0, 0.25, 1.0, 3.0, 1e3, 4096.0 - 0.5, 1e6, 0x1p52, 0x1p53 - 1.0, 1e17}) ExpectSame(terms, total);
  }
}

TEST(OrderedSum, HalfwayTermsSumsThatLeaveTheBinadeZerosAndInfinities) {
  // At a total of 2^53 the spacing is 2: a term of 1 is halfway, and rounding to even
  // depends on the total's last bit.
  for (const double total : {0x1p53, 0x1p53 + 2.0, 0x1p53 + 4.0, 0x1p54 + 4.0}) {
    for (const auto& terms : {std::vector{1.0}, std::vector{1.0, 1.0, 1.0}, std::vector{3.0, 1.0, 0.5}}) {
      ExpectSame(terms, total);
    }
  }
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<std::vector<double>, double> kCases[] = {
      {{0x1p-53}, 1.0}, {{0x1p-53, 0x1p-53}, 1.0 + 0x1p-52},  // half the spacing at 1
      {{0.5, 0.5, 0.25}, 1.5},                      // 1.5 → 2 → 2.5 → 2.75
      {{0x1p-52, 0x1p-53, 0x1p-53}, 2.0 - 0x1p-52},  // reaches 2, then the spacing doubles
      {{1e300, 1e300}, 1.5e308},                     // overflows: +infinity
      {{}, 3.0}, {{0.0, 0.0}, 0.0}, {{0.0, 1.0}, 5e-324}, {{1e-310, 2e-310}, 1e-300},  // zeros, tiny totals
      {{inf}, 1.0}, {{1.0, inf, 2.0}, 0.0}, {{1.0}, inf}, {{0x1p-1074}, 0x1p-1000},   // infinities
  };
  for (const auto& [terms, total] : kCases) ExpectSame(terms, total);
  EXPECT_EQ(OrderedTerms({1e308, 1e308}).AddTo(1e308), inf);
}

}  // namespace
}  // namespace dez::enginetest
