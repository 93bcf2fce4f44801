// clsHClusterOutput::DrawDendrogram: the clustering tree as lines of glyph letters.
//
// The tree is drawn into 2n - 1 lines of 85 blanks: line 2k - 1 belongs to the k-th leaf
// of the root's item list, the even lines lie between leaves, and character x (1..80) is
// drawing column x (the 5 further blanks are spare). Every merge draws, at the column of
// its level x3: the horizontal lines of its two members from their own columns, the
// vertical connector between their lines, the two corners and its junction on its own
// line. Letters already placed by earlier merges are combined with the new piece (a
// corner met by a connector becomes a left branch, a junction met by a corner a vertical
// line, ...), so a run of merges in one column becomes one bracket.
#include <algorithm>
#include <string>

#include "host/range.h"
#include "report/clsHClusterOutput.h"
#include "report/dendrogram_lines.h"
#include "report/row_arithmetic.h"
#include "report/scale_labels.h"
#include "report/text_chars.h"
#include "runtime/checked_float.h"
#include "runtime/error_trap.h"

namespace dez {

namespace {
namespace glyph = report_detail::glyph;
using report_detail::CharCount;
using report_detail::DendrogramLines;
using report_detail::LeftChars;
using report_detail::Minus;
using report_detail::Plus;
using report_detail::RoundScaleValue;
using report_detail::ScaleLine;

constexpr std::int32_t kDrawingWidth = 80;   ///< W: columns of the drawing
constexpr std::int32_t kLineLength = 85;     ///< blanks per line: the drawing and 5 spare
constexpr double kFontSize = 8.0;
constexpr std::int16_t kMinimumWidth = 10;  ///< report width, in columns, once a dendrogram is drawn
constexpr const char* kGlyphFont = "Korvel";
constexpr const char* kTextFont = "Courier New";
}  // namespace

void clsHClusterOutput::DrawDendrogram(const Schedule& steps, const StringArray& itemLabels, double minVal,
                                       double maxVal, bool difference) {
  ErrorTrap trap{"clsHClusterOutput", "DrawDendrogram"};
  trap.Run([&] {
    using Loc = std::source_location;
    const Int32 n = itemLabels.UBound();
    const Int32 sLast = steps.UBound();
    const double span = Fin(maxVal - minVal);
    // Column of a level: the lower distance limit, or the upper similarity limit, is
    // column 1, the other limit column 80. A scale without width is division by zero.
    const auto column = [&](double h, Loc where = Loc::current()) {
      if (span == 0.0) Raise(fault::kDivisionByZero, {}, {}, where);
      const double offset = difference ? Fin(h - minVal, where) : Fin(maxVal - h, where);
      const double x = Int(Fin(Div(offset, span, where) * (kDrawingWidth - 1), where), where);
      return Plus(RoundToChecked<std::int32_t>(x, where), 1, where);
    };
    // Line of an entry: its position rounded half up.
    const auto lineOf = [&](const ScheduleEntry& entry, Loc where = Loc::current()) {
      return RoundToChecked<std::int32_t>(Int(Fin(entry.position + 0.5, where), where), where);
    };
    const auto level = [&](std::int32_t e, Loc where = Loc::current()) { return steps.At(e, where).level; };

    DendrogramLines lines(Minus(Plus(n, n), 1).get(), kLineLength);
    Int32 rootColumn = 0;  // x3 of the last merge; 0 when there is none
    for (std::int32_t i = n.get() + 1; i <= sLast.get(); ++i) {
      const ScheduleEntry& merge = steps.At(i);
      const std::int32_t m1 = merge.first;
      const std::int32_t m2 = merge.second;
      Int32 x1 = column(level(m1));
      Int32 x2 = column(level(m2));
      const Int32 x3 = column(merge.level);
      if (m1 <= n.get()) x1 = 1;
      if (m2 <= n.get()) x2 = 1;
      const std::int32_t y1 = lineOf(steps.At(m1)).get();
      const std::int32_t y2 = lineOf(steps.At(m2)).get();
      const std::int32_t c3 = x3.get();
      // Horizontal lines of the two members; a reversal (x > x3) draws none. Past the end
      // of a line nothing is blank, so the scan stops there.
      for (std::int32_t x = x1.get(); x <= std::min(c3, kLineLength + 1); ++x) {
        if (lines.Get(y1, x) == glyph::kBlank) lines.Set(y1, x, glyph::kHorizontal);
      }
      for (std::int32_t x = x2.get(); x <= std::min(c3, kLineLength + 1); ++x) {
        if (lines.Get(y2, x) == glyph::kBlank) lines.Set(y2, x, glyph::kHorizontal);
      }
      for (std::int64_t y = std::int64_t{y1} + 1; y <= std::int64_t{y2} - 1; ++y) {  // connector
        const auto line = static_cast<std::int32_t>(y);
        lines.Set(line, c3, lines.Get(line, c3) == glyph::kCornerUp ? glyph::kBranchLeft : glyph::kVertical);
      }
      // A member's junction in this column turns into the continuing vertical line.
      const auto corner = [](char was, char piece) {
        if (was == glyph::kBranchRight) return glyph::kVertical;
        if (was == glyph::kCross) return glyph::kBranchLeft;
        return piece;
      };
      lines.Set(y1, c3, corner(lines.Get(y1, c3), glyph::kCornerDown));
      lines.Set(y2, c3, corner(lines.Get(y2, c3), glyph::kCornerUp));
      const std::int32_t y3 = lineOf(merge).get();
      lines.Set(y3, c3, lines.Get(y3, c3) == glyph::kBranchLeft ? glyph::kCross : glyph::kBranchRight);
      rootColumn = x3;
    }
    // The root's line runs to the right edge.
    const std::int32_t rootLine = lineOf(steps.At(sLast.get())).get();
    for (std::int32_t x = Plus(rootColumn, 1).get(); x <= kDrawingWidth; ++x) {
      lines.Set(rootLine, x, glyph::kHorizontal);
    }

    // Label field: the longest label and two blanks.
    std::int32_t longest = 0;
    for (std::int32_t k = 1; k <= n.get(); ++k) longest = std::max(longest, CharCount(itemLabels.At(k)));
    const Int32 labelWidth = Plus(longest, 2);
    const std::string pad(static_cast<std::size_t>(labelWidth.get()), ' ');
    const std::vector<std::int32_t>& leaves = steps.At(sLast.get()).items;
    const auto leaf = [&](std::int32_t k, Loc where = Loc::current()) {
      if (k < 1 || k > static_cast<std::int32_t>(leaves.size())) Raise(fault::kSubscriptOutOfRange, {}, {}, where);
      return leaves[static_cast<std::size_t>(k - 1)];
    };
    std::vector<std::string> text(static_cast<std::size_t>(lines.count()));
    for (std::int32_t k = 1; k <= n.get(); ++k) {
      const std::string& label = itemLabels.At(leaf(k));
      text[static_cast<std::size_t>(2 * k - 2)] = LeftChars(label + pad, labelWidth.get()) + lines.Line(2 * k - 1);
      if (k < n.get()) text[static_cast<std::size_t>(2 * k - 1)] = pad + lines.Line(2 * k);
    }

    // One cell per line: glyph font for the drawing, text font for the label field.
    const auto writeLine = [&](const std::string& line, Loc where = Loc::current()) {
      const host::RangePtr cell = Cell(currentRow_, 1, where);
      cell->SetValue(line, where);
      cell->Font()->Name(kGlyphFont, where);
      return cell;
    };
    for (const std::string& line : text) {
      const host::RangePtr cell = writeLine(line);
      cell->Characters(1, labelWidth.get())->Font()->Name(kTextFont);
      cell->Font()->Size(kFontSize);
      currentRow_ = Plus(currentRow_, 1);
    }

    // Axis line with ticks at a quarter, a half and three quarters of the width.
    std::string axis(static_cast<std::size_t>(kDrawingWidth), glyph::kHorizontal);
    axis[0] = glyph::kBranchRight;
    for (const double quarter : {0.25, 0.5, 0.75}) {
      axis[static_cast<std::size_t>(static_cast<int>(kDrawingWidth * quarter) - 1)] = glyph::kCross;
    }
    axis[kDrawingWidth - 1] = glyph::kBranchLeft;
    const host::RangePtr axisCell = writeLine(pad + axis);
    axisCell->Characters(1, labelWidth.get())->Font()->Name(kTextFont);
    axisCell->Font()->Size(kFontSize);
    currentRow_ = Plus(currentRow_, 1);

    // Scale line: the limits, rounded for show, at the two ends of the drawing.
    const double maxLabel = RoundScaleValue(maxVal);
    const double minLabel = RoundScaleValue(minVal);
    const std::string left = FormatGeneral(difference ? minLabel : maxLabel);
    const std::string right = FormatGeneral(difference ? maxLabel : minLabel);
    const Int32 leftLength = CharCount(left);
    const Int32 rightLength = CharCount(right);
    const host::RangePtr scaleCell = writeLine(pad + ScaleLine(left, right, kDrawingWidth));
    scaleCell->Characters(1, Plus(labelWidth, leftLength).get())->Font()->Name(kTextFont);
    scaleCell->Characters(Plus(labelWidth, kDrawingWidth - rightLength.get(), 1).get(), rightLength.get())
        ->Font()
        ->Name(kTextFont);
    scaleCell->Font()->Size(kFontSize);
    currentRow_ = Plus(currentRow_, 1);

    if (usedColumns_.get() < kMinimumWidth) usedColumns_ = kMinimumWidth;
  });
}

}  // namespace dez
