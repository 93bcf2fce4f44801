#include "io/glyph_font.h"

#include "io/utf8.h"

namespace dez::io {

bool IsGlyphFont(std::string_view fontName) {
  if (fontName.size() != kGlyphFontName.size()) return false;
  for (std::size_t i = 0; i < fontName.size(); ++i) {
    char a = fontName[i];
    char b = kGlyphFontName[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

char32_t GlyphFor(char32_t ch) {
  switch (ch) {
    case U'A': return U'\x2500';  // horizontal line
    case U'B': return U'\x2502';  // vertical line
    case U'C': return U'\x2518';  // corner joining left and up
    case U'E': return U'\x2510';  // corner joining left and down
    case U'G': return U'\x251C';  // vertical line, branch to the right
    case U'H': return U'\x2524';  // vertical line, branch to the left
    case U'K': return U'\x253C';  // cross
    default: return ch;
  }
}

std::string MapGlyphLetters(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (const char ch : text) {
    const char32_t mapped = GlyphFor(static_cast<unsigned char>(ch));
    if (mapped == static_cast<unsigned char>(ch)) {
      out.push_back(ch);  // any byte, including parts of multi-byte characters, unchanged
    } else {
      AppendUtf8(out, mapped);
    }
  }
  return out;
}

}  // namespace dez::io
