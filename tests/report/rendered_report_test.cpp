// A report as the text renderer shows it: the dendrogram's glyph letters become
// box-drawing characters, its labels and scale stay as written.
#include <sstream>

#include "io/text_renderer.h"
#include "report_test_support.h"

namespace dez::report_test {
namespace {

class RenderedReportTest : public ReportTest {};

TEST_F(RenderedReportTest, DendrogramRendersWithBoxDrawingCharacters) {
  Schedule steps(5);
  for (std::int16_t e = 1; e <= 3; ++e) steps[e] = {e, 0, {e}, 0.0, 2.0 * e - 1};
  steps[4] = {1, 2, {1, 2}, 1.0, 2.0};
  steps[5] = {4, 3, {1, 2, 3}, 2.0, 3.5};
  clsHClusterOutput out(context_);
  out.OutputComment("Dendrogram");
  out.DrawDendrogram(steps, StringArray({"A", "B", "C"}), 0.0, 2.2, true);
  const host::RangePtr block = out.Results();
  ASSERT_EQ(block->Address(), "$A$1:$J$9");
  std::istringstream text(io::TextRenderer::Render(Sheet(), embedded::CellBlock{1, 1, 9, 10}));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  auto repeat = [](const std::string& piece, int times) {
    std::string s;
    for (int i = 0; i < times; ++i) s += piece;
    return s;
  };
  ASSERT_EQ(lines.size(), 8U);  // the empty row at the cursor is left out
  EXPECT_EQ(lines[0], "Dendrogram");
  EXPECT_EQ(lines[1], "A  " + repeat("─", 35) + "┐");
  EXPECT_EQ(lines[2], "   " + repeat(" ", 35) + "├" + repeat("─", 35) + "┐");
  EXPECT_EQ(lines[3], "B  " + repeat("─", 35) + "┘" + repeat(" ", 35) + "│");
  EXPECT_EQ(lines[4], "   " + repeat(" ", 71) + "├" + repeat("─", 8));
  EXPECT_EQ(lines[5], "C  " + repeat("─", 71) + "┘");
  EXPECT_EQ(lines[6], "   ├" + repeat("─", 18) + "┼" + repeat("─", 19) + "┼" + repeat("─", 19) + "┼" +
                          repeat("─", 19) + "┤");
  EXPECT_EQ(lines[7], "   0" + repeat(" ", 76) + "2.2");
}

}  // namespace
}  // namespace dez::report_test
