#include "io/styled_text.h"

#include "io/glyph_font.h"
#include "io/utf8.h"

namespace dez::io {

namespace {

/// Appends `piece` (in `font`) to `out`, joining it to the last fragment when the fonts
/// agree.
void Append(std::vector<TextFragment>& out, TextFragment piece) {
  if (piece.text.empty()) return;
  if (IsGlyphFont(piece.fontName)) {
    piece.text = MapGlyphLetters(piece.text);
    piece.fontName = std::string(kGlyphDisplayFont);
  }
  if (!out.empty() && out.back().fontName == piece.fontName && out.back().fontSize == piece.fontSize &&
      out.back().bold == piece.bold) {
    out.back().text += piece.text;
  } else {
    out.push_back(std::move(piece));
  }
}

/// Byte offset of code point `index` (0-based) from byte `from`, which is code point
/// `fromIndex`; the end of the text when it has fewer code points.
std::size_t OffsetOf(const std::string& text, std::size_t from, std::size_t fromIndex, std::size_t index) {
  std::size_t pos = from;
  for (std::size_t i = fromIndex; i < index && pos < text.size(); ++i) {
    ++pos;
    while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) ++pos;
  }
  return pos;
}

}  // namespace

std::vector<TextFragment> SplitStyledText(const std::string& text, const embedded::CellStyle& style) {
  std::vector<TextFragment> out;
  const TextFragment base{style.fontName, style.fontSize, style.bold, {}};
  std::size_t bytePos = 0;  // where the next unwritten character starts
  std::size_t charPos = 0;  // its 0-based index
  for (const embedded::FontRun& run : style.runs) {
    if (run.length <= 0 || run.start < 1) continue;
    const std::size_t runStart = static_cast<std::size_t>(run.start - 1);
    const std::size_t runEnd = runStart + static_cast<std::size_t>(run.length);
    if (runEnd <= charPos) continue;
    // Characters before the run keep the cell's font.
    const std::size_t startByte = OffsetOf(text, bytePos, charPos, std::max(runStart, charPos));
    TextFragment before = base;
    before.text = text.substr(bytePos, startByte - bytePos);
    Append(out, std::move(before));
    const std::size_t from = std::max(runStart, charPos);
    const std::size_t endByte = OffsetOf(text, startByte, from, runEnd);
    TextFragment inRun{run.fontName.value_or(style.fontName), run.fontSize.value_or(style.fontSize),
                       run.bold.value_or(style.bold), text.substr(startByte, endByte - startByte)};
    Append(out, std::move(inRun));
    bytePos = endByte;
    charPos = runEnd;
    if (bytePos >= text.size()) break;
  }
  if (bytePos < text.size()) {
    TextFragment rest = base;
    rest.text = text.substr(bytePos);
    Append(out, std::move(rest));
  }
  return out;
}

std::string DisplayedText(const std::string& text, const embedded::CellStyle& style) {
  if (style.runs.empty()) return IsGlyphFont(style.fontName) ? MapGlyphLetters(text) : text;
  std::string out;
  for (const TextFragment& f : SplitStyledText(text, style)) out += f.text;
  return out;
}

}  // namespace dez::io
