// The pieces of the text dendrogram whose faults its drawings would not show: the scale
// rounding and the line canvas's bounds.
#include <gtest/gtest.h>

#include <limits>

#include "report/dendrogram_lines.h"
#include "report/scale_labels.h"
#include "runtime/error.h"
#include "runtime/variant.h"
#include "tests/support/error_of.h"

namespace dez::report_detail {
namespace {

using test::NumberOf;

struct RoundingCase {
  double value;
  double label;
  const char* text;
};

TEST(RoundScaleValue, TwoSignificantFiguresBelowTenWholeNumbersAbove) {
  const RoundingCase cases[] = {
      {0.8734, 0.87, "0.87"}, {123.4, 123.0, "123"},  {-0.05, -0.05, "-0.05"}, {0.0, 0.0, "0"},
      {10.5, 10.0, "10"},     {11.5, 12.0, "12"},     {2.2, 2.2, "2.2"},       {1.0, 1.0, "1"},
      {-1.33, -1.3, "-1.3"},  {2.3, 2.3, "2.3"},      {0.125, 0.12, "0.12"},   {-123456.5, -123456.0, "-123456"},
      {8.0, 8.0, "8"},        {1e-5, 1e-5, "1E-05"},  {0.00012345, 0.00012, "0.00012"},
      {1e15, 1e15, "1E+15"},
  };
  for (const RoundingCase& c : cases) {
    EXPECT_EQ(RoundScaleValue(c.value), c.label) << c.value;
    EXPECT_EQ(FormatGeneral(RoundScaleValue(c.value)), c.text) << c.value;
  }
}

TEST(RoundScaleValue, ScalingPastTheDoubleRangeIsOverflow) {
  EXPECT_EQ(NumberOf([] { RoundScaleValue(std::numeric_limits<double>::denorm_min()); }), fault::kOverflow);
  EXPECT_NO_THROW(RoundScaleValue(1e-300));
}

TEST(DendrogramLines, BlankLinesWithTheRuntimeStringRules) {
  DendrogramLines lines(3, 85);
  EXPECT_EQ(lines.Line(2), std::string(85, ' '));
  lines.Set(2, 85, glyph::kCross);
  EXPECT_EQ(lines.Get(2, 85), 'K');
  EXPECT_EQ(lines.Get(2, 86), DendrogramLines::kPastEnd);  // reading past the end: no blank
  test::ExpectRaises(fault::kInvalidCall,
                     {[&] { lines.Get(1, 0); }, [&] { lines.Set(1, 86, 'A'); }, [&] { lines.Set(1, 0, 'A'); }});
  test::ExpectRaises(fault::kSubscriptOutOfRange, {[&] { lines.Get(4, 1); }, [&] { lines.Set(0, 1, 'A'); },
                                                   [] { DendrogramLines none(-1, 85); }});
}

}  // namespace
}  // namespace dez::report_detail
