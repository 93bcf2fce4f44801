// The engine's shortcuts in floating-point arithmetic against the plain operations, bit
// for bit. pow(d, 2) and pow(s, 0.5) are taken as d·d and sqrt(s) where that is provably
// pow's result: compared with pow itself over millions of values of every magnitude, many
// of whose squares lie just inside the thresholds of the proof. A fixed sequence
// of terms is added to a running total at once where the rounding allows: compared with
// adding them one by one, for totals of every size, terms that round halfway, sums that
// cross into the next binade, zeros and infinities.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "engine/exact_power.h"
#include "engine/ordered_sum.h"

namespace dez::enginetest {
namespace {

std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

// ---- pow(d, 2) and pow(s, 0.5) ----

double Pow(double x, double y) { return std::pow(x, Opaque(y)); }

TEST(ExactPower, SquaresAndRootsOfEveryMagnitudeArePowsBits) {
  std::mt19937_64 gen(15);
  std::uniform_real_distribution<double> value(0.0, 1e6), mantissa(1.0, 2.0);
  std::uniform_int_distribution<int> exponent(-1074, 1023);
  int taken = 0, differing = 0;
  constexpr int kCount = 3'000'000;
  for (int i = 0; i < kCount; ++i) {
    const double s = value(gen);
    ASSERT_EQ(Bits(PowHalf(s)), Bits(Pow(s, 0.5))) << std::hexfloat << s;
    taken += RootIsPow(s, std::sqrt(s)) ? 1 : 0;
    // d·d is taken up to 15/32 ulp from d² for d in [2^-16, 2^16], up to 7/16 ulp beyond.
    ASSERT_EQ(Bits(PowTwo(s)), Bits(Pow(s, 2.0))) << std::hexfloat << s;
    differing += s * s != Pow(s, 2.0) ? 1 : 0;
    const double wide = std::ldexp(mantissa(gen), exponent(gen));
    ASSERT_EQ(Bits(PowHalf(wide)), Bits(Pow(wide, 0.5))) << std::hexfloat << wide;
    ASSERT_EQ(Bits(PowTwo(wide)), Bits(Pow(wide, 2.0))) << std::hexfloat << wide;
  }
  EXPECT_GT(taken, kCount * 8 / 10) << "most roots are taken from sqrt";
  EXPECT_GT(differing, 0) << "pow(d, 2) and d·d do differ now and then: the reason for all this";
  for (const double d : {0.0, 0x1p-1074, 0x1p-800, 0x1p-537, 0x1p-450, 0x1p-449, 1.0, 2.0, 3.0, 4.0, 0x1p449,
                         0x1p450, 0x1p511, 0x1.fffffffffffffp511, 0x1p512, 0x1p800, 1e300, 0x1.fffffffffffffp1023}) {
    EXPECT_EQ(Bits(PowTwo(d)), Bits(Pow(d, 2.0))) << std::hexfloat << d;
    EXPECT_EQ(Bits(PowHalf(d)), Bits(Pow(d, 0.5))) << std::hexfloat << d;
  }
}

// ---- a fixed sequence of terms added to a total ----

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
