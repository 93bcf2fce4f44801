// DrawDendrogram: glyph lines cell by cell, labels, fonts, axis, scale and errors.
#include <limits>

#include "report/dendrogram_lines.h"
#include "report/scale_labels.h"
#include "report_test_support.h"

namespace dez::report_test {
namespace {

/// Columns from..to of a drawing line hold `letter`.
struct Run {
  std::int32_t from;
  std::int32_t to;
  char letter;
};

/// A drawing line of 85 characters (80 columns and 5 spare blanks) with the given runs,
/// behind a label field of `labelWidth` characters that starts with `label`.
std::string TreeLine(const std::string& label, std::size_t labelWidth, std::initializer_list<Run> runs) {
  std::string line(85, ' ');
  for (const Run& r : runs) {
    for (std::int32_t x = r.from; x <= r.to; ++x) line[static_cast<std::size_t>(x - 1)] = r.letter;
  }
  return label + std::string(labelWidth - label.size(), ' ') + line;
}

const std::string kAxis = "G" + std::string(18, 'A') + "K" + std::string(19, 'A') + "K" + std::string(19, 'A') + "K" +
                          std::string(19, 'A') + "H";

class TextDendrogramTest : public ReportTest {
 protected:
  /// Expects the font of a tree or axis line: glyph font, size 8, the label field in
  /// the text font.
  void ExpectLineFonts(std::int32_t row, std::int32_t labelWidth,
                       std::vector<embedded::FontRun> more = {}) {
    std::vector<embedded::FontRun> runs{{1, labelWidth, "Courier New", {}, {}}};
    runs.insert(runs.end(), more.begin(), more.end());
    EXPECT_EQ(StyleAt(row, 1).fontName, "Korvel") << "row " << row;
    EXPECT_EQ(StyleAt(row, 1).fontSize, 8.0) << "row " << row;
    EXPECT_EQ(StyleAt(row, 1).runs, runs) << "row " << row;
  }
};

struct DrawingCase {
  const char* name;
  std::int16_t n;  // items "A", "B", ...
  double leafLevel;
  std::vector<ScheduleEntry> merges;
  double maxVal;  // the lower limit is 0
  bool difference;
  std::vector<std::string> tree;  // label field of 3 characters
  std::string left, right;        // the scale's ends
};

TEST_F(TextDendrogramTest, DrawingsLineByLineWithAxisScaleAndFonts) {
  const DrawingCase cases[] = {
      // x(1) = Int(1 / 2.2 * 79) + 1 = 36, x(2) = 72; the second merge stands at 3.5, line 4.
      {"three items", 3, 0.0, {{1, 2, {1, 2}, 1.0, 2.0}, {4, 3, {1, 2, 3}, 2.0, 3.5}}, 2.2, true,
       {TreeLine("A", 3, {{1, 35, 'A'}, {36, 36, 'E'}}),
        TreeLine("", 3, {{36, 36, 'G'}, {37, 71, 'A'}, {72, 72, 'E'}}),
        TreeLine("B", 3, {{1, 35, 'A'}, {36, 36, 'C'}, {72, 72, 'B'}}),
        TreeLine("", 3, {{72, 72, 'G'}, {73, 80, 'A'}}), TreeLine("C", 3, {{1, 71, 'A'}, {72, 72, 'C'}})},
       "0", "2.2"},
      {"two merges at one level share one bracket", 3, 0.0,
       {{1, 2, {1, 2}, 1.0, 2.0}, {4, 3, {1, 2, 3}, 1.0, 3.0}}, 2.0, true,
       {TreeLine("A", 3, {{1, 39, 'A'}, {40, 40, 'E'}}), TreeLine("", 3, {{40, 40, 'B'}}),
        TreeLine("B", 3, {{1, 39, 'A'}, {40, 40, 'K'}, {41, 80, 'A'}}), TreeLine("", 3, {{40, 40, 'B'}}),
        TreeLine("C", 3, {{1, 39, 'A'}, {40, 40, 'C'}})},
       "0", "2"},
      // Similarity 1 lands in column 1, 0.5 in column 40, 0 in column 80.
      {"similarities from one at the left", 4, 1.0,
       {{1, 2, {1, 2}, 1.0, 2.0}, {5, 3, {1, 2, 3}, 0.5, 3.5}, {6, 4, {1, 2, 3, 4}, 0.0, 5.25}}, 1.0, false,
       {TreeLine("A", 3, {{1, 1, 'E'}}), TreeLine("", 3, {{1, 1, 'G'}, {2, 39, 'A'}, {40, 40, 'E'}}),
        TreeLine("B", 3, {{1, 1, 'C'}, {40, 40, 'B'}}),
        TreeLine("", 3, {{40, 40, 'G'}, {41, 79, 'A'}, {80, 80, 'E'}}),
        TreeLine("C", 3, {{1, 39, 'A'}, {40, 40, 'C'}, {80, 80, 'G'}}), TreeLine("", 3, {{80, 80, 'B'}}),
        TreeLine("D", 3, {{1, 79, 'A'}, {80, 80, 'C'}})},
       "1", "0"},
      // A reversal: the first merge at 1.5 (column 60), the second below it at 1 (column
      // 40) draws no horizontal line for the higher member.
      {"reversal", 3, 0.0, {{1, 2, {1, 2}, 1.5, 2.0}, {4, 3, {1, 2, 3}, 1.0, 3.5}}, 2.0, true,
       {TreeLine("A", 3, {{1, 59, 'A'}, {60, 60, 'E'}}), TreeLine("", 3, {{40, 40, 'E'}, {60, 60, 'G'}}),
        TreeLine("B", 3, {{1, 39, 'A'}, {40, 40, 'B'}, {41, 59, 'A'}, {60, 60, 'C'}}),
        TreeLine("", 3, {{40, 40, 'G'}, {41, 80, 'A'}}), TreeLine("C", 3, {{1, 39, 'A'}, {40, 40, 'C'}})},
       "0", "2"},
  };
  for (const DrawingCase& c : cases) {
    SCOPED_TRACE(c.name);
    clsHClusterOutput out(context_);
    std::vector<std::string> labels;
    for (char ch = 'A'; ch < 'A' + c.n; ++ch) labels.emplace_back(1, ch);
    out.DrawDendrogram(Tree(c.n, c.leafLevel, c.merges), StringArray(labels), 0.0, c.maxVal, c.difference);
    std::int32_t row = 1;
    for (const std::string& line : c.tree) {
      EXPECT_EQ(At(row, 1), Variant(line));
      ExpectLineFonts(row++, 3);
    }
    EXPECT_EQ(At(row, 1), Variant("   " + kAxis));
    ExpectLineFonts(row++, 3);
    EXPECT_EQ(At(row, 1), Variant("   " + c.left + std::string(80 - c.left.size() - c.right.size(), ' ') + c.right));
    // The scale's two limits in the text font: the left one with the label field.
    const auto right = static_cast<std::int32_t>(c.right.size());
    ExpectLineFonts(row, 3 + static_cast<std::int32_t>(c.left.size()), {{84 - right, right, "Courier New", {}, {}}});
    EXPECT_EQ(Sheet().UsedRange()->bottom, row);
    EXPECT_EQ(Sheet().UsedRange()->right, 1);
    EXPECT_EQ(out.CurrentRow(), row + 1);
  }
}

TEST_F(TextDendrogramTest, LabelsFollowTheLeafOrderPaddedToTheLongestPlusTwo) {
  clsHClusterOutput out(context_);
  out.OutputMatrix(Labels(30), Labels(30), DoubleMatrix(30, 30), "T");  // an earlier, wider section
  const std::int32_t first = out.CurrentRow();
  // Leaf order 2, 1: item 2 stands at position 1, item 1 at 3.
  Schedule steps = Tree(2, 0.0, {{2, 1, {2, 1}, 1.0, 2.0}});
  steps[1].position = 3.0;
  steps[2].position = 1.0;
  out.DrawDendrogram(steps, StringArray({"Alpha", "Bravo Char"}), 0.0, 2.0, true);
  EXPECT_EQ(At(first, 1), Variant(TreeLine("Bravo Char", 12, {{1, 39, 'A'}, {40, 40, 'E'}})));
  EXPECT_EQ(At(first + 2, 1), Variant(TreeLine("Alpha", 12, {{1, 39, 'A'}, {40, 40, 'C'}})));
  ExpectLineFonts(first, 12);
  EXPECT_EQ(out.UsedColumns(), 31);  // a width of at least 10 keeps a larger one
  // The label field counts characters, not bytes.
  clsHClusterOutput zurich(context_);
  zurich.DrawDendrogram(Tree(2, 0.0, {{1, 2, {1, 2}, 1.0, 2.0}}), StringArray({"Zürich", "B"}), 0.0, 2.0, true);
  EXPECT_EQ(At(1, 1), Variant(std::string("Zürich  ") + TreeLine("", 0, {{1, 39, 'A'}, {40, 40, 'E'}})));
  ExpectLineFonts(1, 8);
  EXPECT_EQ(zurich.UsedColumns(), 10);
}

TEST_F(TextDendrogramTest, ScaleShowsRoundedLimits) {
  clsHClusterOutput out(context_);
  out.DrawDendrogram(Tree(2, 0.8734, {{1, 2, {1, 2}, 0.5, 2.0}}), StringArray({"A", "B"}), -0.05, 0.8734, false);
  EXPECT_EQ(At(5, 1), Variant(std::string(3, ' ') + "0.87" + std::string(71, ' ') + "-0.05"));
}

// Equal limits (division by zero), a level off the drawing and a root list shorter than
// the labels fail before anything is written; the cursor and the width stay.
TEST_F(TextDendrogramTest, FaultsRaiseTheirNumberBeforeAnythingIsWritten) {
  const struct {
    double minVal, maxVal, level;
    std::size_t rootItems;
    std::int32_t number;
  } kCases[] = {
      {0.0, 0.0, 0.0, 2, fault::kDivisionByZero}, {1.0, 1.0, 1.0, 2, fault::kDivisionByZero},
      {0.0, 2.0, 3.0, 2, fault::kInvalidCall},    {0.0, 2.0, -0.5, 2, fault::kInvalidCall},
      {0.0, 2.0, 1.0, 1, fault::kSubscriptOutOfRange},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::Message() << c.minVal << ".." << c.maxVal << ", level " << c.level);
    clsHClusterOutput out(context_);
    out.InsertBlankLines(2);
    Schedule steps = Tree(2, c.minVal, {{1, 2, {1, 2}, c.level, 2.0}});
    // Shortened in place, the list's storage still holds item 2 past its end: only the
    // list's own bound can refuse the missing leaf.
    steps[3].items.resize(c.rootItems);
    const Error e = ErrorOf([&] { out.DrawDendrogram(steps, StringArray({"A", "B"}), c.minVal, c.maxVal, true); });
    EXPECT_EQ(e.number, c.number);
    EXPECT_THAT(e.source, SourceOf("DrawDendrogram"));
    EXPECT_FALSE(Sheet().UsedRange().has_value());
    EXPECT_EQ(out.CurrentRow(), 3);
    EXPECT_EQ(out.UsedColumns(), 1);
  }
}

// The pieces whose faults the drawings would not show: the scale rounding and the line
// canvas's bounds.
using report_detail::DendrogramLines;
using report_detail::RoundScaleValue;
namespace glyph = report_detail::glyph;
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
}  // namespace dez::report_test
