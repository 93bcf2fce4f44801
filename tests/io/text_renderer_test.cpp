#include "io/text_renderer.h"

#include <gtest/gtest.h>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/object_model_constants.h"
#include "io/number_display.h"
#include "sample_workbook.h"

namespace dez::io {
namespace {

using embedded::CellBlock;
using testing::WriteRow;

// The sample's report: a title that overflows, a matrix in its number format, a
// right-aligned number; a block renders only its own cells, from its top row; headers
// add column letters and row numbers.
TEST(TextRenderer, MatrixWithOverflowingTitle) {
  const auto sample = testing::SampleWorkbook::Make();
  const auto& report = *sample.book->Sheets()[1];
  EXPECT_EQ(TextRenderer::Render(report, CellBlock{1, 1, 6, 3}),
            "Hierarchical cluster analysis of a long title that overflows\n"
            "\n"
            "     A      B\n"
            "A  0.000  0.667\n"
            "B  0.667  0.000\n"
            "      42\n");
  EXPECT_EQ(TextRenderer::Render(report, CellBlock{4, 2, 5, 3}), "0.000  0.667\n0.667  0.000\n");
  TextRenderOptions headers;
  headers.headers = true;
  EXPECT_EQ(TextRenderer::Render(report, CellBlock{3, 1, 4, 3}, headers),
            "   A  B      C\n"
            "3       A      B\n"
            "4  A  0.000  0.667\n");
}

TEST(TextRenderer, OverflowStopsAtTheNextFilledCell) {
  const auto sample = testing::SampleWorkbook::Make();
  auto& sheet = *sample.book->AddSheet("S");
  WriteRow(sheet, 1, {"a long text here", {}, 5.0});
  WriteRow(sheet, 2, {"short", "x"});
  // "short" has a filled neighbour, so it counts (5); the cut text gets 8 columns of
  // room (A widens to 6, B is empty and 0 wide, plus one gap).
  EXPECT_EQ(TextRenderer::RenderUsedRange(sheet),
            "a long…   5\n"
            "short   x\n");
  TextRenderOptions narrow;
  narrow.maxColumnWidth = 3;
  WriteRow(sheet, 3, {"abcdef", 1.0});
  EXPECT_EQ(TextRenderer::Render(sheet, CellBlock{3, 1, 3, 2}, narrow), "ab…  1\n");
  EXPECT_EQ(TextRenderer::RenderUsedRange(*sample.book->AddSheet("Empty")), "");
}

// The sample's data: Booleans and errors centred, numbers in the general form, tabs and
// line breaks shown as blanks; dendrogram lines: Courier New label field, glyph letters
// after it; a text aligned right.
TEST(TextRenderer, ValuesAlignmentAndGlyphs) {
  const auto sample = testing::SampleWorkbook::Make();
  EXPECT_EQ(TextRenderer::Render(*sample.book->Sheets()[0], CellBlock{2, 1, 5, 3}),
            "alpha                            1.5   TRUE\n"
            "beta \xE2\x80\x94 \xC3\xA9                   -2.25E-07   FALSE\n"
            "tab here, line break             0.3  #DIV/0!\n"
            "                      1.23456789E+14   #N/A\n");
  auto& sheet = *sample.book->AddSheet("S");
  sheet.WriteCell(1, 1, "A  AAAE", testing::DendrogramStyle(3));
  sheet.WriteCell(2, 1, "     GAA", testing::DendrogramStyle(3));
  sheet.WriteCell(3, 1, "B  AAAC", testing::DendrogramStyle(3));
  WriteRow(sheet, 4, {"r", 1.0}, testing::Styled([](auto& s) { s.horizontalAlignment = embedded::kAlignRight; }));
  WriteRow(sheet, 5, {"abc", 2.0});
  EXPECT_EQ(TextRenderer::RenderUsedRange(sheet),
            "A  \xE2\x94\x80\xE2\x94\x80\xE2\x94\x80\xE2\x94\x90\n"
            "     \xE2\x94\x9C\xE2\x94\x80\xE2\x94\x80\n"
            "B  \xE2\x94\x80\xE2\x94\x80\xE2\x94\x80\xE2\x94\x98\n"
            "  r  1\n"
            "abc  2\n");
}

TEST(NumberDisplay, TableOfFormats) {
  const std::vector<std::tuple<double, const char*, const char*>> cases = {
      {0.0, "General", "0"},
      {0.1 + 0.2, "General", "0.3"},
      {2.0 / 3.0, "General", "0.6666666667"},
      {123456789.0, "General", "123456789"},
      {12345678901.0, "General", "1.23456789E+10"},
      {1e-5, "General", "1E-05"},
      {2.5, "0", "3"},
      {1.005, "0.00", "1.01"},
      {-0.0001, "0.00", "0.00"},
      {999.9996, "0.000", "1000.000"},
      {1234567.891, "#,##0.00", "1,234,567.89"},
      {0.256, "0.0%", "25.6%"},
      {1e20, "0", "100000000000000000000"},
      {3.14159, "0.00E+00", "3.14159"},  // not a fixed format: the general form
      {42.0, "@", "42"},
  };
  for (const auto& [value, format, expected] : cases) {
    EXPECT_EQ(DisplayNumber(value, format), expected) << value << " " << format;
  }
  EXPECT_EQ(DisplayNumber(0.1 + 0.2, "General", 15), "0.3");
  EXPECT_EQ(DisplayNumber(2.0 / 3.0, "General", 15), "0.666666666666667");
}

}  // namespace
}  // namespace dez::io
