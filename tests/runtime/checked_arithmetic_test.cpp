// Checked integers and floating point: every fault raises its runtime number.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/checked_float.h"
#include "runtime/checked_int.h"

namespace dez {
namespace {

int NumberOf(auto&& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.number;
  }
  return 0;
}

TEST(CheckedInt, ArithmeticWithinRange) {
  Int16 a = std::int16_t{30000};
  Int16 b = std::int16_t{2767};
  EXPECT_EQ((a + b).get(), 32767);
  EXPECT_EQ((Int16(std::int16_t{-3}) * Int16(std::int16_t{4})).get(), -12);
  Int32 big = CLng(2147483647);
  EXPECT_EQ(big.get(), 2147483647);
}

TEST(CheckedInt, OverflowRaisesSix) {
  const Int16 max = CInt(32767);
  const Int16 one = CInt(1);
  const Int16 min = CInt(-32768);
  EXPECT_EQ(NumberOf([&] { (void)(max + one); }), fault::kOverflow);
  EXPECT_EQ(NumberOf([&] { (void)(min - one); }), fault::kOverflow);
  EXPECT_EQ(NumberOf([&] { (void)(-min); }), fault::kOverflow);
  EXPECT_EQ(NumberOf([&] { (void)(CInt(182) * CInt(181)); }), fault::kOverflow);
  EXPECT_EQ(NumberOf([] { (void)CInt(32768); }), fault::kOverflow);
  EXPECT_EQ(NumberOf([] { (void)CLng(2147483648LL); }), fault::kOverflow);
  Int32 x = CLng(2147483647);
  EXPECT_EQ(NumberOf([&] { ++x; }), fault::kOverflow);
  EXPECT_EQ(x.get(), 2147483647) << "a failed operation leaves the variable unchanged";
}

TEST(CheckedInt, RoundingConversionIsHalfToEven) {
  EXPECT_EQ(RoundToChecked<std::int16_t>(2.5).get(), 2);
  EXPECT_EQ(RoundToChecked<std::int16_t>(3.5).get(), 4);
  EXPECT_EQ(RoundToChecked<std::int16_t>(-2.5).get(), -2);
  EXPECT_EQ(NumberOf([] { (void)RoundToChecked<std::int16_t>(32767.5); }), fault::kOverflow);
  EXPECT_EQ(NumberOf([] { (void)RoundToChecked<std::int32_t>(std::nan("")); }), fault::kOverflow);
}

TEST(CheckedFloat, Faults) {
  EXPECT_EQ(NumberOf([] { (void)Div(1.0, 0.0); }), fault::kDivisionByZero);
  EXPECT_EQ(NumberOf([] { (void)Div(0.0, 0.0); }), fault::kOverflow);
  EXPECT_EQ(NumberOf([] { (void)Div(1e308, 1e-308); }), fault::kOverflow);
  EXPECT_EQ(NumberOf([] { (void)Sqrt(-1e-300); }), fault::kInvalidCall);
  EXPECT_EQ(NumberOf([] { (void)Pow(-8.0, 1.0 / 3.0); }), fault::kInvalidCall);
  EXPECT_EQ(NumberOf([] { (void)Pow(0.0, -1.0); }), fault::kInvalidCall);
  EXPECT_EQ(NumberOf([] { (void)Fin(std::numeric_limits<double>::max() * 2.0); }), fault::kOverflow);
  EXPECT_EQ(NumberOf([] { (void)Fin(std::nan("")); }), fault::kOverflow);
}

TEST(CheckedFloat, ExactResults) {
  EXPECT_EQ(Sqrt(2.0), std::sqrt(2.0));
  EXPECT_EQ(Pow(91.0, 1.0 / 3.0), std::pow(91.0, 1.0 / 3.0));
  EXPECT_EQ(Pow(-2.0, 3.0), -8.0);
  EXPECT_EQ(Div(1.0, 3.0), 1.0 / 3.0);
  EXPECT_EQ(Int(-0.5), -1.0);
  EXPECT_EQ(Int(71.99999), 71.0);
}

}  // namespace
}  // namespace dez
