// Cell values: conversions to number and text, and the comparison of cell values.
#include <gtest/gtest.h>

#include "runtime/array2d.h"
#include "runtime/variant.h"

namespace dez {
namespace {

TEST(Variant, TextForms) {
  struct Case {
    Variant value;
    const char* text;
  };
  const Case cases[] = {
      {Variant(), ""},           {Variant(1.0), "1"},
      {Variant(0.5), "0.5"},     {Variant(-0.0), "0"},
      {Variant(1.0 / 3.0), "0.333333333333333"},
      {Variant(1e15), "1E+15"},  {Variant(123456789012345.0), "123456789012345"},
      {Variant(1e-5), "1E-05"},  {Variant(0.0001), "0.0001"},
      {Variant(true), "True"},   {Variant("abc"), "abc"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value.ToText(), c.text);
  EXPECT_EQ(CellErrorText(CellError{2007}), "#DIV/0!");  // error values have texts of their own
  EXPECT_FALSE(CellErrorFromText("N/A").has_value());
}

TEST(Variant, NumberConversions) {
  EXPECT_EQ(Variant().ToDouble(), 0.0);
  EXPECT_EQ(Variant(" 1e-3 ").ToDouble(), 1e-3);
  EXPECT_EQ(Variant(true).ToDouble(), -1.0);
  EXPECT_EQ(Variant("-.5").ToDouble(), -0.5);
  for (const char* bad : {"abc", "1,5", "", "1e", "--1", "NaN", "inf", "1e999"}) {
    EXPECT_FALSE(Variant(bad).IsNumeric()) << bad;
    EXPECT_THROW((void)Variant(bad).ToDouble(), Error) << bad;
  }
  EXPECT_THROW((void)Variant(CellError{2007}).ToDouble(), Error);
  EXPECT_THROW((void)Variant(CellError{2007}).ToText(), Error);
}

TEST(Variant, CellComparison) {
  EXPECT_TRUE(CellEquals(Variant(), Variant()));
  EXPECT_TRUE(CellEquals(Variant(), Variant(0.0)));
  EXPECT_TRUE(CellEquals(Variant(), Variant("")));
  EXPECT_FALSE(CellEquals(Variant(), Variant("a")));
  EXPECT_TRUE(CellEquals(Variant(2.0), Variant(2.0)));
  EXPECT_FALSE(CellEquals(Variant(2.0), Variant("2")));
  EXPECT_FALSE(CellEquals(Variant("Red"), Variant("red")));
  EXPECT_TRUE(CellEquals(Variant(true), Variant(-1.0)));
  EXPECT_THROW((void)CellEquals(Variant(CellError{2042}), Variant(1.0)), Error);
}

TEST(Array2D, OneBasedAndChecked) {
  DoubleMatrix m(2, 3, 0.0);
  m(2, 3) = 7.0;
  EXPECT_EQ(m.Row(2)[2], 7.0);
  EXPECT_EQ(m.At(2, 3), 7.0);
  EXPECT_THROW((void)m.At(3, 1), Error);
  EXPECT_THROW((void)m.At(0, 1), Error);
  EXPECT_TRUE(DoubleMatrix().empty());
}

}  // namespace
}  // namespace dez
