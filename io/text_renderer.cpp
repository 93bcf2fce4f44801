#include "io/text_renderer.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/object_model_constants.h"
#include "io/cell_reference.h"
#include "io/number_display.h"
#include "io/styled_text.h"
#include "io/terminal_text.h"
#include "io/utf8.h"

namespace dez::io {

namespace {

enum class Align : std::uint8_t { kLeft, kRight, kCenter };

/// One non-empty cell as shown.
struct ShownCell {
  std::int32_t row;
  std::int32_t column;  // relative to the block's left edge, 0-based
  std::string text;
  std::size_t width;  // terminal columns of `text`
  Align align;
  bool isText;  // may overflow into empty neighbours
};

ShownCell Show(std::int32_t row, std::int32_t column, const Variant& value, const embedded::CellStyle& style,
               const TextRenderOptions& options) {
  ShownCell shown{row, column, {}, 0, Align::kLeft, false};
  Align general = Align::kLeft;
  switch (value.kind()) {
    case Variant::Kind::Empty: break;
    case Variant::Kind::Number:
      shown.text = DisplayNumber(value.number(), style.numberFormat, options.significantDigits);
      general = Align::kRight;
      break;
    case Variant::Kind::Boolean:
      shown.text = value.boolean() ? "TRUE" : "FALSE";
      general = Align::kCenter;
      break;
    case Variant::Kind::Error:
      shown.text = std::string(CellErrorText(value.error()));
      general = Align::kCenter;
      break;
    case Variant::Kind::Text:
      shown.text = TerminalText(DisplayedText(value.text(), style));
      shown.isText = true;
      break;
  }
  switch (style.horizontalAlignment) {
    case embedded::kAlignLeft: shown.align = Align::kLeft; break;
    case embedded::kAlignRight: shown.align = Align::kRight; break;
    case embedded::kAlignCenter:
    case embedded::kAlignCenterAcrossSelection: shown.align = Align::kCenter; break;
    default: shown.align = general; break;
  }
  shown.width = DisplayWidth(shown.text);
  return shown;
}

/// `text` cut to `width` terminal columns, ending in "…" when cut.
std::string Fit(const std::string& text, std::size_t textWidth, std::size_t width) {
  if (textWidth <= width) return text;
  if (width == 0) return {};
  std::string cut(PrefixByWidth(text, width - 1));
  while (!cut.empty() && cut.back() == ' ') cut.pop_back();
  return cut + "\xE2\x80\xA6";
}

/// The non-empty cells of a block as shown, row by row, left to right, with the last row
/// and (block-relative) column that hold one.
struct ShownBlock {
  std::vector<ShownCell> cells;
  std::int32_t lastRow = 0;
  std::int32_t lastColumn = -1;
};

ShownBlock ShowCells(const embedded::EmbeddedWorksheet& sheet, const embedded::CellBlock& block,
                     const TextRenderOptions& options) {
  ShownBlock shown;
  const embedded::StyleTable& styles = sheet.Styles();
  sheet.Store().ForEachIn(block, [&](std::int32_t row, const embedded::Cell& cell) {
    if (cell.value.IsEmpty()) return;
    shown.cells.push_back(Show(row, cell.column - block.left, cell.value, styles.Get(cell.style), options));
    shown.lastRow = std::max(shown.lastRow, row);
    shown.lastColumn = std::max(shown.lastColumn, cell.column - block.left);
  });
  return shown;
}

/// Column widths: what stays inside its cell (numbers, Booleans, errors, and texts whose
/// right neighbour is filled), capped; then room for texts that overflow towards a filled
/// cell further right.
std::vector<std::size_t> ColumnWidths(const ShownBlock& shown, const TextRenderOptions& options) {
  const std::vector<ShownCell>& cells = shown.cells;
  std::vector<std::size_t> widths(static_cast<std::size_t>(shown.lastColumn) + 1, 0);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const ShownCell& c = cells[i];
    const bool neighbourFilled =
        i + 1 < cells.size() && cells[i + 1].row == c.row && cells[i + 1].column == c.column + 1;
    if (c.isText && !neighbourFilled && c.align == Align::kLeft) continue;
    std::size_t& w = widths[static_cast<std::size_t>(c.column)];
    w = std::max(w, std::min(c.width, options.maxColumnWidth));
  }
  // A text that overflows towards a filled cell further right gets at least
  // kOverflowRoom columns (or its own width) before it is cut: its column widens.
  constexpr std::size_t kOverflowRoom = 8;
  for (std::size_t i = 0; i + 1 < cells.size(); ++i) {
    const ShownCell& c = cells[i];
    const ShownCell& next = cells[i + 1];
    if (!c.isText || c.align != Align::kLeft || next.row != c.row || next.column == c.column + 1) continue;
    std::size_t room = 0;
    for (std::int32_t j = c.column; j < next.column; ++j)
      room += widths[static_cast<std::size_t>(j)] + options.columnGap;
    room -= options.columnGap;
    const std::size_t needed = std::min(c.width, std::min(kOverflowRoom, options.maxColumnWidth));
    if (room < needed) widths[static_cast<std::size_t>(c.column)] += needed - room;
  }
  return widths;
}

/// The terminal column where each column starts, after `rowLabelWidth` columns of labels.
std::vector<std::size_t> ColumnStarts(const std::vector<std::size_t>& widths, std::size_t rowLabelWidth,
                                      std::size_t gap) {
  std::vector<std::size_t> starts(widths.size(), 0);
  for (std::size_t j = 0; j < widths.size(); ++j) {
    starts[j] = j == 0 ? rowLabelWidth : starts[j - 1] + widths[j - 1] + gap;
  }
  return starts;
}

/// One output line, built by placing texts at terminal columns.
class Line {
 public:
  explicit Line(std::ostream& out) : out_(out) {}
  void Place(std::size_t at, const std::string& text) {
    if (at > width_) {
      text_.append(at - width_, ' ');
      width_ = at;
    }
    text_ += text;
    width_ += DisplayWidth(text);
  }
  /// Writes the line without trailing blanks, and starts the next.
  void End() {
    while (!text_.empty() && text_.back() == ' ') text_.pop_back();
    out_ << text_ << '\n';
    text_.clear();
    width_ = 0;
  }

 private:
  std::ostream& out_;
  std::string text_;
  std::size_t width_ = 0;  // terminal columns of `text_`
};

/// Places the cells [first, end) of one row: each aligned in its column, a left-aligned
/// text overflowing up to the next filled cell of the row (or without limit).
void PlaceRow(const std::vector<ShownCell>& cells, std::size_t first, std::size_t end,
              const std::vector<std::size_t>& widths, const std::vector<std::size_t>& starts, std::size_t gap,
              Line& line) {
  std::size_t cursor = 0;  // first terminal column not yet written
  for (std::size_t k = first; k < end; ++k) {
    const ShownCell& c = cells[k];
    const std::size_t j = static_cast<std::size_t>(c.column);
    const std::size_t start = starts[j];
    if (start < cursor) continue;  // hidden under an overflowing neighbour (cannot happen)
    std::size_t room = widths[j];
    if (c.isText && c.align == Align::kLeft && c.width > room) {
      room = k + 1 < end ? starts[static_cast<std::size_t>(cells[k + 1].column)] - gap - start : c.width;
    }
    const std::string text = Fit(c.text, c.width, room);
    const std::size_t w = DisplayWidth(text);
    std::size_t at = start;
    if (c.align == Align::kRight) at = start + widths[j] - std::min(w, widths[j]);
    if (c.align == Align::kCenter) at = start + (widths[j] - std::min(w, widths[j])) / 2;
    line.Place(at, text);
    cursor = at + w;
  }
}

}  // namespace

void TextRenderer::Render(const embedded::EmbeddedWorksheet& sheet, const embedded::CellBlock& block, std::ostream& out,
                          const TextRenderOptions& options) {
  const ShownBlock shown = ShowCells(sheet, block, options);
  if (shown.cells.empty()) return;
  const std::vector<std::size_t> widths = ColumnWidths(shown, options);
  const std::size_t rowLabelWidth = options.headers ? std::to_string(shown.lastRow).size() + options.columnGap : 0;
  const std::vector<std::size_t> starts = ColumnStarts(widths, rowLabelWidth, options.columnGap);

  Line line(out);
  if (options.headers) {
    for (std::size_t j = 0; j < widths.size(); ++j) {
      line.Place(starts[j], ColumnLetters(block.left + static_cast<std::int32_t>(j)));
    }
    line.End();
  }
  std::size_t first = 0;
  for (std::int32_t row = block.top; row <= shown.lastRow; ++row) {
    if (options.headers) {
      const std::string number = std::to_string(row);
      line.Place(rowLabelWidth - options.columnGap - number.size(), number);
    }
    std::size_t end = first;
    while (end < shown.cells.size() && shown.cells[end].row == row) ++end;
    PlaceRow(shown.cells, first, end, widths, starts, options.columnGap, line);
    line.End();
    first = end;
  }
}

std::string TextRenderer::Render(const embedded::EmbeddedWorksheet& sheet, const embedded::CellBlock& block,
                                 const TextRenderOptions& options) {
  std::ostringstream out;
  Render(sheet, block, out, options);
  return out.str();
}

std::string TextRenderer::RenderUsedRange(const embedded::EmbeddedWorksheet& sheet, const TextRenderOptions& options) {
  const auto used = sheet.UsedRange();
  if (!used) return {};
  return Render(sheet, *used, options);
}

}  // namespace dez::io
