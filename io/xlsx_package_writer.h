// Writes the workbook of an .xlsx input as the user's own package with the analysis's
// changes, the way a spreadsheet program saves a workbook after an add-in ran:
//
//   WriteWorkbookFile(book, outputs.Add("out.xlsx", "WriteXlsx"), "stores.xlsx", std::nullopt);
//
// - Every part of the input the analysis did not change is copied as it stands, its
//   compressed bytes included: sheets, shared strings, formulas with their stored results,
//   defined names, merges, widths, views, validation, conditional formats, comments,
//   drawings, hidden sheets, properties, and parts this program does not understand.
// - The new sheets (the report's sheet, the chart's hidden data sheet) are written by
//   libxlsxwriter into a scratch package beside the destination and grafted in as new
//   parts, with the chart's drawing and chart parts; the workbook part, its relationships
//   and the content types list them. Their formats are appended to the user's style table
//   (MergeStyles), their texts are inline strings: no existing index changes meaning.
//   The user's active sheet stays active. The scratch package lives in the output's
//   helper folder and goes with it.
// - When the report went onto an existing sheet (`reportOnSheet`), that sheet's part is
//   rewritten with the report's cells merged in (MergeReportIntoSheet), and the
//   calculation chain (a cache that may now name replaced formulas) is left out.
// Refused with FileError kUnsupported (source "WriteXlsx"), before anything is written: an
// encrypted package, a strict-conformance workbook, a macro-enabled workbook written to
// ".xlsx". The output is written into an AtomicOutputFile's temporary file: until its
// Commit the destination is untouched.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "host/embedded/cell_block.h"

namespace dez::embedded {
class EmbeddedWorkbook;
}

namespace dez::io {

class AtomicOutputFile;

/// Where the report went when it was placed on a sheet the input already had.
struct ReportOnSheet {
  std::string sheetName;
  embedded::CellBlock block;
};

class XlsxPackageWriter {
 public:
  /// Writes into the temporary file of `output`, which the caller commits. `book` was
  /// read from `input` (its first sheets are the input's worksheets, in order).
  static void Write(const embedded::EmbeddedWorkbook& book, const std::filesystem::path& input,
                    AtomicOutputFile& output, const std::optional<ReportOnSheet>& reportOnSheet);
};

/// The workbook with its report and charts, into the temporary file of `output`: an .xlsx
/// `input` through XlsxPackageWriter, any other input as a new workbook
/// (WriteXlsxWithCharts).
void WriteWorkbookFile(const embedded::EmbeddedWorkbook& book, AtomicOutputFile& output,
                       const std::filesystem::path& input, const std::optional<ReportOnSheet>& reportOnSheet);

}  // namespace dez::io
