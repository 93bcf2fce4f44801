// A cell's text split into pieces of one font each, as renderers show it.
#pragma once

#include <string>
#include <vector>

#include "host/embedded/cell_style.h"

namespace dez::io {

/// Characters of a cell's text that share one font.
struct TextFragment {
  std::string fontName;
  double fontSize = 11.0;
  bool bold = false;
  std::string text;  ///< UTF-8, never empty
  friend bool operator==(const TextFragment&, const TextFragment&) = default;
};

/// Splits `text` by the font of each character: the cell's font, overridden by the
/// character runs of `style` (positions count characters, that is code points, from 1).
/// Glyph-font fragments have their letters mapped to box-drawing characters and take the
/// monospace display font (glyph_font.h); neighbouring fragments that end up with the
/// same font are joined. An empty text gives no fragments.
std::vector<TextFragment> SplitStyledText(const std::string& text, const embedded::CellStyle& style);

/// The text as shown: glyph runs mapped, fonts dropped.
std::string DisplayedText(const std::string& text, const embedded::CellStyle& style);

}  // namespace dez::io
