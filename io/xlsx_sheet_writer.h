// Writes one worksheet of the embedded host into one libxlsxwriter worksheet: the rows
// in ascending order (libxlsxwriter's constant-memory mode), each row's height, then the
// column widths. What is written and how is described in xlsx_writer.h.
#pragma once

#include <xlsxwriter.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/embedded/cell_store.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/xlsx_format_cache.h"

namespace dez::io {

class XlsxSheetWriter {
 public:
  /// `fileName` names the output in error messages; `formats` is the workbook's cache.
  XlsxSheetWriter(const std::string& fileName, const embedded::EmbeddedWorksheet& sheet, lxw_worksheet* worksheet,
                  XlsxFormatCache& formats);

  /// Writes every row and column. Raises FileError kWrite (naming the sheet and cell)
  /// when libxlsxwriter refuses a cell, row or column.
  void Write();

 private:
  [[noreturn]] void Fail(std::int32_t row, std::int32_t column, lxw_error error) const;
  /// The format of a cell of style `id` (see XlsxFormatCache::ForStyle).
  lxw_format* Format(embedded::StyleId id);
  /// Sets a row's height in points; 0 or less hides it.
  void SetRow(std::int32_t row, double height);
  /// The largest font size of any character of the row's cells.
  double LargestFont(const embedded::CellRow& row);
  double LargestFontOf(embedded::StyleId id);
  /// Records that `column` needs `chars` character units.
  void NoteWidth(std::int32_t column, double chars);
  void WriteRow(const embedded::CellRow& row);
  lxw_error WriteText(lxw_row_t r, lxw_col_t c, const embedded::Cell& cell, const embedded::CellStyle& style);
  void WriteColumns();

  const std::string& fileName_;
  const embedded::EmbeddedWorksheet& sheet_;
  lxw_worksheet* worksheet_;
  XlsxFormatCache& formats_;
  const embedded::StyleTable& styles_;
  const bool columnFormats_;               // the sheet has a default format of its own
  std::vector<double> largestFont_;        // by StyleId; < 0 until computed
  std::map<std::int32_t, double> widths_;  // column -> character units its content needs
};

}  // namespace dez::io
