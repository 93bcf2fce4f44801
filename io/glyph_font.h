// The glyph font of the text dendrogram and how renderers show it.
//
// The report keeps the dendrogram as ordinary letters in the font "Korvel", which draws
// them as line pieces. Where that font does not exist (every renderer here), the letters
// of a "Korvel" run are replaced by the box-drawing characters they stand for and the run
// is shown in a monospace font, so that the pieces line up:
//
//   A ─ U+2500   B │ U+2502   C ┘ U+2518   E ┐ U+2510   G ├ U+251C   H ┤ U+2524   K ┼ U+253C
//
// Any other character of such a run (the blanks) stays as it is.
#pragma once

#include <string>
#include <string_view>

namespace dez::io {

/// The name of the glyph font (compared without regard to letter case).
inline constexpr std::string_view kGlyphFontName = "Korvel";
/// The monospace font that shows mapped glyph runs.
inline constexpr std::string_view kGlyphDisplayFont = "Courier New";

/// True when `fontName` names the glyph font.
bool IsGlyphFont(std::string_view fontName);

/// The box-drawing character a glyph letter stands for, or the character itself.
char32_t GlyphFor(char32_t ch);

/// `text` with every glyph letter replaced by its box-drawing character.
std::string MapGlyphLetters(std::string_view text);

}  // namespace dez::io
