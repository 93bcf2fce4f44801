#include "io/xlsx_sheet_writer.h"

#include <algorithm>
#include <cmath>

#include "io/file_error.h"
#include "io/glyph_font.h"
#include "io/sheet_metrics.h"
#include "io/styled_text.h"
#include "io/utf8.h"

namespace dez::io {

namespace {

constexpr const char* kSource = "WriteXlsx";
/// The largest number whose 16-digit form still reads back as a finite double.
constexpr double kLargestWritable = 1.797693134862315e308;

using embedded::Cell;
using embedded::CellRow;
using embedded::CellStyle;
using embedded::StyleId;

/// Character units of the number `value` as a column shows it: the digits of its whole
/// part and the decimals of its number format, or up to 11 characters in the general
/// format (what a spreadsheet shows at most before it rounds). Cheap: no formatting.
double NumberWidthChars(double value, const std::string& numberFormat) {
  const double magnitude = std::fabs(value);
  double digits = 1;
  for (double limit = 10; magnitude >= limit && digits < 16; limit *= 10) ++digits;
  if (value < 0) ++digits;
  if (numberFormat == CellStyle::kGeneralFormat) {
    if (value != std::floor(value) || magnitude >= 1e11) return 11;
    return digits;
  }
  const std::size_t point = numberFormat.find('.');
  if (point != std::string::npos) {
    std::size_t decimals = 0;
    for (std::size_t i = point + 1; i < numberFormat.size() && (numberFormat[i] == '0' || numberFormat[i] == '#');
         ++i) {
      ++decimals;
    }
    digits += 1 + static_cast<double>(decimals);
  }
  if (numberFormat.find(',') != std::string::npos) digits += std::floor((digits - 1) / 3);
  if (numberFormat.find('%') != std::string::npos) digits += 3;
  if (numberFormat.find('E') != std::string::npos || numberFormat.find('e') != std::string::npos) digits = 10;
  return digits;
}

}  // namespace

XlsxSheetWriter::XlsxSheetWriter(const std::string& fileName, const embedded::EmbeddedWorksheet& sheet,
                                 lxw_worksheet* worksheet, XlsxFormatCache& formats)
    : fileName_(fileName),
      sheet_(sheet),
      worksheet_(worksheet),
      formats_(formats),
      styles_(sheet.Styles()),
      columnFormats_(sheet.Store().DefaultStyle() != embedded::kDefaultStyleId) {}

void XlsxSheetWriter::Write() {
  const auto& sizedRows = sheet_.Geometry().SizedRows();
  auto sized = sizedRows.begin();
  for (const CellRow& row : sheet_.Store().Rows()) {
    // Rows the host sized but that hold no cell come first, in order.
    for (; sized != sizedRows.end() && sized->first < row.row; ++sized) SetRow(sized->first, sized->second);
    if (sized != sizedRows.end() && sized->first == row.row) {
      SetRow(row.row, sized->second);
      ++sized;
    } else {
      const double font = LargestFont(row);
      if (font != kDefaultFontSize) SetRow(row.row, RowHeightForFont(font));
    }
    WriteRow(row);
  }
  for (; sized != sizedRows.end(); ++sized) SetRow(sized->first, sized->second);
  WriteColumns();
}

void XlsxSheetWriter::Fail(std::int32_t row, std::int32_t column, lxw_error error) const {
  throw FileError(FileErrorKind::kWrite, fileName_, FileLocation{sheet_.Name(), row, column, {}},
                  std::string("cannot write the cell: ") + lxw_strerror(error), kSource);
}

lxw_format* XlsxSheetWriter::Format(StyleId id) { return formats_.ForStyle(id, columnFormats_); }

void XlsxSheetWriter::SetRow(std::int32_t row, double height) {
  lxw_row_col_options hidden{};
  hidden.hidden = 1;
  const lxw_error error = height <= 0 ? worksheet_set_row_opt(worksheet_, static_cast<lxw_row_t>(row - 1),
                                                              LXW_DEF_ROW_HEIGHT, nullptr, &hidden)
                                      : worksheet_set_row(worksheet_, static_cast<lxw_row_t>(row - 1), height, nullptr);
  if (error != LXW_NO_ERROR) Fail(row, 0, error);
}

double XlsxSheetWriter::LargestFont(const CellRow& row) {
  double largest = 0;
  for (const Cell& cell : row.cells) largest = std::max(largest, LargestFontOf(cell.style));
  return largest == 0 ? kDefaultFontSize : largest;
}

double XlsxSheetWriter::LargestFontOf(StyleId id) {
  if (id >= largestFont_.size()) largestFont_.resize(styles_.size(), -1.0);
  double& slot = largestFont_[id];
  if (slot < 0) {
    const CellStyle& style = styles_.Get(id);
    slot = style.fontSize;
    for (const auto& run : style.runs) slot = std::max(slot, run.fontSize.value_or(0.0));
  }
  return slot;
}

void XlsxSheetWriter::NoteWidth(std::int32_t column, double chars) {
  double& width = widths_[column];
  width = std::max(width, chars);
}

void XlsxSheetWriter::WriteRow(const CellRow& row) {
  const lxw_row_t r = static_cast<lxw_row_t>(row.row - 1);
  for (std::size_t i = 0; i < row.cells.size(); ++i) {
    const Cell& cell = row.cells[i];
    const lxw_col_t c = static_cast<lxw_col_t>(cell.column - 1);
    const CellStyle& style = styles_.Get(cell.style);
    lxw_error error = LXW_NO_ERROR;
    switch (cell.value.kind()) {
      case Variant::Kind::Empty: error = worksheet_write_blank(worksheet_, r, c, Format(cell.style)); break;
      case Variant::Kind::Number: {
        double v = cell.value.number();
        // libxlsxwriter writes 16 significant digits, which round the largest doubles up
        // past the range of a double: write the largest 16-digit value instead.
        if (std::fabs(v) > kLargestWritable) v = std::copysign(kLargestWritable, v);
        if (std::isfinite(v)) {
          error = worksheet_write_number(worksheet_, r, c, v, Format(cell.style));
        } else {  // cannot happen with checked arithmetic; never write an invalid file
          error = worksheet_write_formula_str(worksheet_, r, c, "=#NUM!", Format(cell.style), "#NUM!");
        }
        NoteWidth(cell.column, NumberWidthChars(v, style.numberFormat) * style.fontSize / kDefaultFontSize + 1);
        break;
      }
      case Variant::Kind::Boolean:
        error = worksheet_write_boolean(worksheet_, r, c, cell.value.boolean() ? 1 : 0, Format(cell.style));
        NoteWidth(cell.column, TextWidthChars(5, style.fontSize, style.bold, false));
        break;
      case Variant::Kind::Error: {
        const std::string text(CellErrorText(cell.value.error()));
        if (text == "#ERR") {
          error = worksheet_write_string(worksheet_, r, c, text.c_str(), Format(cell.style));
        } else {
          error = worksheet_write_formula_str(worksheet_, r, c, ("=" + text).c_str(), Format(cell.style), text.c_str());
        }
        NoteWidth(cell.column, TextWidthChars(text.size(), style.fontSize, style.bold, false));
        break;
      }
      case Variant::Kind::Text: {
        error = WriteText(r, c, cell, style);
        // A text widens its column only when it cannot overflow into its right neighbour.
        const bool neighbourFilled =
            i + 1 < row.cells.size() && row.cells[i + 1].column == cell.column + 1 && !row.cells[i + 1].value.IsEmpty();
        if (neighbourFilled) {
          NoteWidth(cell.column, TextWidthChars(CountCodePoints(cell.value.text()), style.fontSize, style.bold,
                                                IsGlyphFont(style.fontName)));
        }
        break;
      }
    }
    if (error != LXW_NO_ERROR) Fail(row.row, cell.column, error);
  }
}

lxw_error XlsxSheetWriter::WriteText(lxw_row_t r, lxw_col_t c, const Cell& cell, const CellStyle& style) {
  const std::string& text = cell.value.text();
  if (style.runs.empty()) {
    if (!IsGlyphFont(style.fontName)) return worksheet_write_string(worksheet_, r, c, text.c_str(), Format(cell.style));
    return worksheet_write_string(worksheet_, r, c, MapGlyphLetters(text).c_str(), Format(cell.style));
  }
  const std::vector<TextFragment> fragments = SplitStyledText(text, style);
  if (fragments.empty()) return worksheet_write_blank(worksheet_, r, c, Format(cell.style));
  if (fragments.size() == 1) {
    // libxlsxwriter's rich strings need two non-empty pieces: one piece is a plain
    // string in that piece's font.
    return worksheet_write_string(worksheet_, r, c, fragments[0].text.c_str(),
                                  formats_.ForStyleWithFont(cell.style, fragments[0], columnFormats_));
  }
  std::vector<lxw_rich_string_tuple> tuples(fragments.size());
  std::vector<lxw_rich_string_tuple*> pointers;
  pointers.reserve(fragments.size() + 1);
  for (std::size_t k = 0; k < fragments.size(); ++k) {
    tuples[k].format = formats_.ForFont(fragments[k]);
    tuples[k].string = const_cast<char*>(fragments[k].text.c_str());  // libxlsxwriter only reads it
    pointers.push_back(&tuples[k]);
  }
  pointers.push_back(nullptr);
  return worksheet_write_rich_string(worksheet_, r, c, pointers.data(), Format(cell.style));
}

void XlsxSheetWriter::WriteColumns() {
  const auto& sized = sheet_.Geometry().SizedColumns();
  const StyleId defaultStyle = sheet_.Store().DefaultStyle();
  lxw_format* columnFormat = columnFormats_ ? formats_.ForStyle(defaultStyle, false) : nullptr;

  // Each column with a width of its own; gaps get the default width (and the sheet-wide
  // format, when there is one). Ranges never overlap.
  std::map<std::int32_t, double> pixels;  // column -> width in pixels; <= 0 hidden
  for (const auto& [column, points] : sized) pixels[column] = points <= 0 ? 0 : PointsToPixels(points);
  for (const auto& [column, chars] : widths_) {
    if (sized.count(column) != 0 || chars <= kDefaultColumnChars) continue;
    pixels[column] = std::floor(std::min(chars, kMaxAutoColumnChars) * 7.0 + 5.0 + 0.5);
  }
  std::int32_t next = 1;
  const auto fillGap = [&](std::int32_t upTo) {
    if (columnFormat != nullptr && next <= upTo) {
      const lxw_error error = worksheet_set_column(worksheet_, static_cast<lxw_col_t>(next - 1),
                                                   static_cast<lxw_col_t>(upTo - 1), LXW_DEF_COL_WIDTH, columnFormat);
      if (error != LXW_NO_ERROR) Fail(0, next, error);
    }
  };
  for (const auto& [column, px] : pixels) {
    fillGap(column - 1);
    lxw_row_col_options hidden{};
    hidden.hidden = 1;
    const lxw_col_t c = static_cast<lxw_col_t>(column - 1);
    const lxw_error error =
        px <= 0 ? worksheet_set_column_opt(worksheet_, c, c, LXW_DEF_COL_WIDTH, columnFormat, &hidden)
                : worksheet_set_column_pixels(worksheet_, c, c, static_cast<std::uint32_t>(px), columnFormat);
    if (error != LXW_NO_ERROR) Fail(0, column, error);
    next = column + 1;
  }
  fillGap(embedded::kMaxColumns);
}
}  // namespace dez::io
