#include "io/styled_text.h"

#include <gtest/gtest.h>

#include "io/glyph_font.h"
#include "host/embedded/cell_style.h"

namespace dez::io {
namespace {

TEST(GlyphFont, LettersMapToBoxDrawing) {
  EXPECT_EQ(MapGlyphLetters("AB CDEGHK ax\xC3\xA9"), "─│ ┘D┐├┤┼ ax\xC3\xA9");
  EXPECT_TRUE(IsGlyphFont("Korvel"));
  EXPECT_TRUE(IsGlyphFont("KORVEL"));
  EXPECT_FALSE(IsGlyphFont("Korvel2"));
  EXPECT_FALSE(IsGlyphFont("Courier New"));
}

TEST(StyledText, RunsSplitTextByFont) {
  embedded::CellStyle style;
  embedded::FontRun bold;
  bold.bold = true;
  style.ApplyCharacterFont(3, 2, bold);
  // Positions count characters, not bytes.
  EXPECT_EQ(
      SplitStyledText("\xC3\xA9\xC3\xA9xyz", style),
      (std::vector<TextFragment>{
          {"Calibri", 11.0, false, "\xC3\xA9\xC3\xA9"}, {"Calibri", 11.0, true, "xy"}, {"Calibri", 11.0, false, "z"}}));
  // An empty text.
  EXPECT_TRUE(SplitStyledText("", style).empty());
  // A glyph run inside a plain text.
  embedded::CellStyle glyphs;
  embedded::FontRun korvel;
  korvel.fontName = "Korvel";
  glyphs.ApplyCharacterFont(2, 3, korvel);
  EXPECT_EQ(SplitStyledText("xAKBy", glyphs),
            (std::vector<TextFragment>{
                {"Calibri", 11.0, false, "x"}, {"Courier New", 11.0, false, "─┼│"}, {"Calibri", 11.0, false, "y"}}));
}

}  // namespace
}  // namespace dez::io
