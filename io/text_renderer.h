// Shows a block of a worksheet as an aligned plain-text grid for a terminal.
//
// Each row of the block is one line; each column gets the width its contents need, and
// columns are separated by a gap. Cells show as a spreadsheet shows them:
// - numbers in their number format (DisplayNumber: the general form rounded to 10
//   significant digits, or the decimals of a fixed format), Booleans as TRUE / FALSE,
//   error values by their text;
// - text as it is, with characters in the glyph font mapped to box-drawing characters
//   (glyph_font.h); line breaks and tabs show as blanks, other control characters
//   escaped (ESC as \x1b, DEL as \x7f, the C1 controls as \u0080..\u009f), so no label
//   reaches the terminal as a command;
// - alignment from the cell format; in the general alignment numbers right, text left,
//   Booleans and errors centred.
// A left-aligned text wider than its column overflows into the columns to its right as
// long as their cells are empty (up to the block's right edge, or without limit in the
// last column), so a long line (a dendrogram line, a heading) does not widen its column;
// only texts whose right neighbour is filled count towards a column's width. A text that
// overflows towards a filled cell further right gets at least 8 columns of room before it
// is cut (its column widens as needed). Widths are capped (maxColumnWidth); a text that
// must fit a narrower room is cut and ends in "…".
// Rows and columns past the last stored cell of the block are left out; lines carry no
// trailing blanks and end with "\n".
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "host/embedded/cell_block.h"

namespace dez::embedded {
class EmbeddedWorksheet;
}

namespace dez::io {

struct TextRenderOptions {
  std::size_t columnGap = 2;        ///< blanks between columns
  std::size_t maxColumnWidth = 40;  ///< widest a column grows for its contents
  int significantDigits = 10;       ///< digits of numbers in the general format (1..15)
  bool headers = false;             ///< column letters above, row numbers on the left
};

class TextRenderer {
 public:
  /// Writes the block to `out`.
  static void Render(const embedded::EmbeddedWorksheet& sheet, const embedded::CellBlock& block, std::ostream& out,
                     const TextRenderOptions& options = {});
  /// The block as one string.
  static std::string Render(const embedded::EmbeddedWorksheet& sheet, const embedded::CellBlock& block,
                            const TextRenderOptions& options = {});
  /// The sheet's used range (nothing for an empty sheet).
  static std::string RenderUsedRange(const embedded::EmbeddedWorksheet& sheet, const TextRenderOptions& options = {});
};

}  // namespace dez::io
