// Saves a workbook of the embedded host as an XLSX file, through libxlsxwriter.
//
// What is written, sheet by sheet in tab order (the active sheet stays active):
// - every stored cell: numbers, texts, Booleans, and error values. Numbers keep 16
//   significant digits, libxlsxwriter's fixed precision ("%.16G"): a number with a
//   16-digit decimal form (every number read from a CSV or typed by a person) comes back
//   bit for bit, a computed one as the nearest such number; magnitudes beyond
//   1.797693134862315E+308 are written as that value. libxlsxwriter cannot
//   store a bare error value, so an error is written as a formula that is just the error
//   constant ("=#DIV/0!") with the error's text as its stored result: spreadsheet programs
//   show the error, and the reader turns such a formula back into the error value. An
//   error code without a name is written as its text "#ERR".
// - each cell's format: font name, size, bold; number format; horizontal alignment; fill
//   (palette colour index -> RGB of the standard 56-colour palette). A text whose
//   characters carry fonts of their own (character runs) is written as a rich string when
//   it has two or more pieces, else as a plain string in its one font.
// - the glyph font: characters in the font "Korvel" are written as the box-drawing
//   characters they stand for, in the monospace font "Courier New" (glyph_font.h).
// - the sheet-wide default format (a background fill set on the whole sheet, say) as the
//   format of every column.
// - row heights: as the host sized them (0 hides the row); otherwise a row whose largest
//   font differs from the default 11 pt gets the height of that font (RowHeightForFont),
//   so lines of 8-point text are 9 pt tall and the dendrogram's vertical strokes join.
// - column widths: as the host sized them (0 hides); otherwise wide enough for the
//   numbers, Booleans and errors of the column, and for texts whose right neighbour is
//   filled (a text with an empty neighbour overflows into it, as spreadsheets show it, so
//   a long line does not widen its column); never narrower than the default, at most
//   100 characters.
// Memory: libxlsxwriter's constant-memory mode writes each row to disk as the next one
// starts, and rows are written in ascending order, so memory stays flat for big reports.
//
// The file is written under a temporary name in the destination's folder and renamed into
// place only when complete (AtomicOutputFile): on failure the destination is untouched
// and the temporary file removed. libxlsxwriter's own temporary files (one per sheet and
// per part, removed as soon as they are opened) go in the same folder, so a full /tmp
// cannot cut the workbook short. Every return code of the library is checked, and a
// failed close is a failed write. Failures raise FileError kWrite (source "WriteXlsx")
// naming the file, and the sheet and cell where one applies; running out of memory is a
// FileError kWrite "out of memory while writing the workbook".
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

struct lxw_workbook;
struct lxw_worksheet;

namespace dez::embedded {
class EmbeddedWorkbook;
class EmbeddedWorksheet;
}  // namespace dez::embedded

namespace dez::io {

/// What a sheet hook receives: libxlsxwriter's workbook and the worksheet just written,
/// and the host's sheet (its recorded charts are `sheet.Charts()`).
struct XlsxSheetContext {
  lxw_workbook* workbook;
  lxw_worksheet* worksheet;
  const embedded::EmbeddedWorksheet& sheet;
  std::int32_t sheetIndex;  ///< 0-based position in the workbook
};

/// Extension points, e.g. for native charts. Both run inside Write; an exception from a
/// hook aborts the write like any other failure (no output is left behind).
struct XlsxWriteOptions {
  /// Called for every sheet right after its cells, rows and columns are written and
  /// before the next sheet is added (insert charts into the worksheet here).
  std::function<void(const XlsxSheetContext&)> afterSheet;
  /// Called once after every sheet is written, before the workbook is closed (add a
  /// hidden sheet with chart data here: it then comes after the user's sheets).
  std::function<void(lxw_workbook*)> beforeClose;
  /// Called once after the workbook is closed, with the complete file under its temporary
  /// name, before it is renamed into place (rewrite parts of the package here).
  std::function<void(const std::filesystem::path& written)> afterClose;
};

class AtomicOutputFile;

class XlsxWriter {
 public:
  /// Writes `book` to `path` as described above.
  static void Write(const embedded::EmbeddedWorkbook& book, const std::filesystem::path& path,
                    const XlsxWriteOptions& options = {});
  /// Writes `book` to the temporary file of `output`, which the caller commits (alone or
  /// with the other outputs of a run, through OutputSet).
  static void Write(const embedded::EmbeddedWorkbook& book, AtomicOutputFile& output,
                    const XlsxWriteOptions& options = {});

 private:
  static void WriteWorkbook(const embedded::EmbeddedWorkbook& book, AtomicOutputFile& output,
                            const XlsxWriteOptions& options);
};

}  // namespace dez::io
