// Checked integers and floating point: exact results, and every fault raises its number.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "runtime/checked_float.h"
#include "runtime/checked_int.h"
#include "tests/support/error_of.h"

namespace dez {
namespace {

using test::NumberOf;

TEST(Checked, ExactResults) {
  EXPECT_EQ((Int16(std::int16_t{30000}) + Int16(std::int16_t{2767})).get(), 32767);
  EXPECT_EQ((Int16(std::int16_t{-3}) * Int16(std::int16_t{4})).get(), -12);
  // Rounding conversions go half to even.
  EXPECT_EQ(RoundToChecked<std::int16_t>(2.5).get(), 2);
  EXPECT_EQ(RoundToChecked<std::int16_t>(3.5).get(), 4);
  EXPECT_EQ(RoundToChecked<std::int16_t>(-2.5).get(), -2);
  EXPECT_EQ(Pow(-2.0, 3.0), -8.0);
  EXPECT_EQ(Int(-0.5), -1.0);
  EXPECT_EQ(Int(71.99999), 71.0);
}

TEST(Checked, FaultsRaiseTheirNumbers) {
  const Int16 max = CInt(32767);
  const Int16 min = CInt(-32768);
  const struct {
    std::function<void()> call;
    std::int32_t number;
  } cases[] = {
      {[&] { (void)(max + CInt(1)); }, fault::kOverflow},
      {[&] { (void)(min - CInt(1)); }, fault::kOverflow},
      {[&] { (void)(-min); }, fault::kOverflow},
      {[] { (void)(CInt(182) * CInt(181)); }, fault::kOverflow},
      {[] { (void)CInt(32768); }, fault::kOverflow},
      {[] { (void)CLng(2147483648LL); }, fault::kOverflow},
      {[] { (void)RoundToChecked<std::int16_t>(32767.5); }, fault::kOverflow},
      {[] { (void)RoundToChecked<std::int32_t>(std::nan("")); }, fault::kOverflow},
      {[] { (void)Div(1.0, 0.0); }, fault::kDivisionByZero},
      {[] { (void)Div(0.0, 0.0); }, fault::kOverflow},
      {[] { (void)Div(1e308, 1e-308); }, fault::kOverflow},
      {[] { (void)Sqrt(-1e-300); }, fault::kInvalidCall},
      {[] { (void)Pow(-8.0, 1.0 / 3.0); }, fault::kInvalidCall},
      {[] { (void)Pow(0.0, -1.0); }, fault::kInvalidCall},
      {[] { (void)Fin(std::numeric_limits<double>::max() * 2.0); }, fault::kOverflow},
      {[] { (void)Fin(std::nan("")); }, fault::kOverflow},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(NumberOf(cases[i].call), cases[i].number) << "case " << i;
  Int32 x = CLng(2147483647);
  EXPECT_EQ(NumberOf([&] { ++x; }), fault::kOverflow);
  EXPECT_EQ(x.get(), 2147483647) << "a failed operation leaves the variable unchanged";
}

}  // namespace
}  // namespace dez
