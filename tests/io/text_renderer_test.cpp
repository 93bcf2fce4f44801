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
using embedded::CellStyle;

struct Fixture {
  std::shared_ptr<embedded::EmbeddedApplication> app = embedded::EmbeddedApplication::Create();
  std::shared_ptr<embedded::EmbeddedWorkbook> book = app->AddWorkbook("T.xlsx", {"S"});
  embedded::EmbeddedWorksheet& sheet = *book->Sheets()[0];
};

TEST(TextRenderer, MatrixWithOverflowingTitle) {
  Fixture f;
  CellStyle bold;
  bold.SetBold(true);
  f.sheet.WriteCell(1, 1, Variant("Title that overflows across"), bold);
  CellStyle heading;
  heading.horizontalAlignment = embedded::kAlignCenter;
  f.sheet.WriteCell(3, 2, Variant("A"), heading);
  f.sheet.WriteCell(3, 3, Variant("B"), heading);
  CellStyle value;
  value.numberFormat = "0.000";
  f.sheet.WriteCell(4, 1, Variant("A"));
  f.sheet.WriteCell(4, 2, Variant(0.0), value);
  f.sheet.WriteCell(4, 3, Variant(2.0 / 3.0), value);
  f.sheet.WriteCell(5, 1, Variant("B"));
  f.sheet.WriteCell(5, 2, Variant(2.0 / 3.0), value);
  f.sheet.WriteCell(5, 3, Variant(0.0), value);
  EXPECT_EQ(TextRenderer::RenderUsedRange(f.sheet),
            "Title that overflows across\n"
            "\n"
            "     A      B\n"
            "A  0.000  0.667\n"
            "B  0.667  0.000\n");
  // A block renders only its own cells, from its top row.
  EXPECT_EQ(TextRenderer::Render(f.sheet, CellBlock{4, 2, 5, 3}), "0.000  0.667\n0.667  0.000\n");
  // Headers: column letters and row numbers.
  TextRenderOptions headers;
  headers.headers = true;
  EXPECT_EQ(TextRenderer::Render(f.sheet, CellBlock{3, 1, 4, 3}, headers),
            "   A  B      C\n"
            "3       A      B\n"
            "4  A  0.000  0.667\n");
}

TEST(TextRenderer, OverflowStopsAtTheNextFilledCell) {
  Fixture f;
  f.sheet.WriteCell(1, 1, Variant("a long text here"));
  f.sheet.WriteCell(1, 3, Variant(5.0));
  f.sheet.WriteCell(2, 1, Variant("short"));
  f.sheet.WriteCell(2, 2, Variant("x"));
  // "short" has a filled neighbour, so it counts (5); the cut text gets 8 columns of
  // room (A widens to 6, B is empty and 0 wide, plus one gap).
  EXPECT_EQ(TextRenderer::RenderUsedRange(f.sheet),
            "a long…   5\n"
            "short   x\n");
  TextRenderOptions narrow;
  narrow.maxColumnWidth = 3;
  f.sheet.WriteCell(3, 1, Variant("abcdef"));
  f.sheet.WriteCell(3, 2, Variant(1.0));
  EXPECT_EQ(TextRenderer::Render(f.sheet, CellBlock{3, 1, 3, 2}, narrow), "ab…  1\n");
}

TEST(TextRenderer, ValuesAlignmentAndGlyphs) {
  Fixture f;
  f.sheet.WriteCell(1, 1, Variant(true));
  f.sheet.WriteCell(1, 2, Variant(CellError{2007}));
  f.sheet.WriteCell(1, 3, Variant(0.1 + 0.2));
  f.sheet.WriteCell(2, 1, Variant(false));
  f.sheet.WriteCell(2, 2, Variant("x"));
  f.sheet.WriteCell(2, 3, Variant(2.0 / 3.0));
  CellStyle right;
  right.horizontalAlignment = embedded::kAlignRight;
  f.sheet.WriteCell(3, 2, Variant("r"), right);
  f.sheet.WriteCell(3, 3, Variant("line\nbreak"));
  EXPECT_EQ(TextRenderer::RenderUsedRange(f.sheet),
            "TRUE   #DIV/0!           0.3\n"
            "FALSE  x        0.6666666667\n"
            "             r  line break\n");

  // A dendrogram line: Courier New label field, glyph letters after it.
  Fixture g;
  g.sheet.WriteCell(1, 1, Variant("A  AAAE"), testing::DendrogramStyle(3));
  g.sheet.WriteCell(2, 1, Variant("     GAA"), testing::DendrogramStyle(3));
  g.sheet.WriteCell(3, 1, Variant("B  AAAC"), testing::DendrogramStyle(3));
  EXPECT_EQ(TextRenderer::RenderUsedRange(Fixture().sheet), "");  // an empty sheet
  EXPECT_EQ(TextRenderer::RenderUsedRange(g.sheet),
            "A  \xE2\x94\x80\xE2\x94\x80\xE2\x94\x80\xE2\x94\x90\n"
            "     \xE2\x94\x9C\xE2\x94\x80\xE2\x94\x80\n"
            "B  \xE2\x94\x80\xE2\x94\x80\xE2\x94\x80\xE2\x94\x98\n");
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
