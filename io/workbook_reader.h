// Opens a data file as a workbook of the embedded application: the entry point of the
// command line's input.
//
//   auto app = embedded::EmbeddedApplication::Create();
//   auto book = io::WorkbookReader::Read(*app, "data.csv");   // now the active workbook
//
// The format follows the extension, letter case ignored: .csv (comma), .tsv (tab) and
// .xlsx. The workbook is named after the file name ("data.csv"); a CSV or TSV file gives
// one sheet named after the file's stem (characters a sheet name cannot hold replaced by
// "_", cut to 31 characters), an XLSX file its worksheets with their names and in their
// order. The new workbook becomes the active workbook, its first sheet the active sheet.
//
// Every failure is a FileError (number 1004) naming the file, and the sheet, row and
// column where one applies (see CsvReader and XlsxReader for the cases); besides those:
// kUnsupported for another extension, kOpen when a workbook of that name is already open,
// kLimit for a text longer than a cell can hold. On failure no workbook is left open.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "io/csv_dialect.h"
#include "io/xlsx_read_limits.h"

namespace dez::embedded {
class EmbeddedApplication;
class EmbeddedWorkbook;
}  // namespace dez::embedded

namespace dez::io {

class WorkbookReader {
 public:
  static std::shared_ptr<embedded::EmbeddedWorkbook> Read(embedded::EmbeddedApplication& app,
                                                          const std::filesystem::path& path,
                                                          const XlsxReadLimits& limits = {});
  /// The same, reading a .csv or .tsv file in `dialect` (ignored for .xlsx).
  static std::shared_ptr<embedded::EmbeddedWorkbook> Read(embedded::EmbeddedApplication& app,
                                                          const std::filesystem::path& path,
                                                          const XlsxReadLimits& limits,
                                                          const CsvDialect& dialect);

  /// The sheet name a CSV or TSV file gets: its stem, with : \ / ? * [ ] replaced by "_",
  /// leading and trailing apostrophes dropped, cut to 31 characters; "Sheet1" when
  /// nothing is left.
  static std::string SheetNameForFile(const std::filesystem::path& path);
};

}  // namespace dez::io
