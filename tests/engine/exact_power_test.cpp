// pow(d, 2) and pow(s, 0.5) taken as d·d and sqrt(s) where that is provably pow's result:
// compared with pow itself, bit for bit, over millions of values of every magnitude and
// over values whose square or root lies just inside the threshold of the proof.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

#include "engine/exact_power.h"

namespace dez::enginetest {
namespace {

std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

double Pow(double x, double y) { return std::pow(x, Opaque(y)); }

/// How far d² lies from d·d, in units in the last place of d·d (exact by fma).
double SquareErrorInUlps(double d) {
  const double square = d * d;
  const double error = std::fma(d, d, -square);
  return std::fabs(error) / (std::nextafter(square, INFINITY) - square);
}

TEST(ExactPower, SquaresOfEveryMagnitudeArePowsBits) {
  std::mt19937_64 gen(12);
  std::uniform_real_distribution<double> mantissa(1.0, 2.0);
  std::uniform_int_distribution<int> exponent(-1074, 1023);
  for (int i = 0; i < 1'000'000; ++i) {
    const double d = std::ldexp(mantissa(gen), exponent(gen));
    ASSERT_EQ(Bits(PowTwo(d)), Bits(Pow(d, 2.0))) << std::hexfloat << d;
  }
  for (const double d : {0.0, 0x1p-1074, 0x1p-537, 0x1p-450, 0x1p-449, 1.0, 2.0, 3.0, 0x1p449, 0x1p450, 0x1p511,
                         0x1.fffffffffffffp511, 0x1p512, 1e300, 0x1.fffffffffffffp1023}) {
    EXPECT_EQ(Bits(PowTwo(d)), Bits(Pow(d, 2.0))) << std::hexfloat << d;
  }
}

TEST(ExactPower, SquaresInsideTheThresholdArePowsBitsAndTheOthersLeftToPow) {
  // The proof takes d·d where its error is at most 7/16 ulp; pow may differ only near
  // 1/2. Values between 0.40 and 0.4375 ulp are where a looser pow would show first.
  std::mt19937_64 gen(13);
  std::uniform_real_distribution<double> value(0.0, 1e6);
  int near = 0, differing = 0;
  for (int i = 0; i < 4'000'000; ++i) {
    const double d = value(gen);
    const double ulps = SquareErrorInUlps(d);
    if (ulps >= 0.40 && ulps <= 0.4375) {
      ++near;
      ASSERT_EQ(Bits(PowTwo(d)), Bits(Pow(d, 2.0))) << std::hexfloat << d << " at " << ulps << " ulp";
    }
    if (d * d != Pow(d, 2.0)) {
      ++differing;
      ASSERT_FALSE(SquareIsPow(d, d * d)) << std::hexfloat << d;
      ASSERT_GT(ulps, 0.4375) << std::hexfloat << d;
    }
  }
  EXPECT_GT(near, 200'000);
  EXPECT_GT(differing, 0) << "pow(d, 2) and d·d do differ now and then: the reason for all this";
}

TEST(ExactPower, RootsArePowsBits) {
  std::mt19937_64 gen(15);
  std::uniform_real_distribution<double> value(0.0, 3000.0);
  std::uniform_real_distribution<double> mantissa(1.0, 2.0);
  std::uniform_int_distribution<int> exponent(-1074, 1023);
  int taken = 0;
  constexpr int kCount = 2'000'000;
  for (int i = 0; i < kCount; ++i) {
    const double s = value(gen);
    ASSERT_EQ(Bits(PowHalf(s)), Bits(Pow(s, 0.5))) << std::hexfloat << s;
    taken += RootIsPow(s, std::sqrt(s)) ? 1 : 0;
    const double wide = std::ldexp(mantissa(gen), exponent(gen));
    ASSERT_EQ(Bits(PowHalf(wide)), Bits(Pow(wide, 0.5))) << std::hexfloat << wide;
  }
  EXPECT_GT(taken, kCount * 8 / 10);
  for (const double s : {0.0, 0x1p-1074, 0x1p-800, 1.0, 2.0, 4.0, 0x1p800, 0x1.fffffffffffffp1023}) {
    EXPECT_EQ(Bits(PowHalf(s)), Bits(Pow(s, 0.5))) << std::hexfloat << s;
  }
}

}  // namespace
}  // namespace dez::enginetest
