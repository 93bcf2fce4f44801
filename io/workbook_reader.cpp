#include "io/workbook_reader.h"

#include <new>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "io/csv_reader.h"
#include "io/file_error.h"
#include "io/host_workbook_sink.h"
#include "io/utf8.h"
#include "io/xlsx_reader.h"

namespace dez::io {

namespace {
std::string LowerExtension(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  for (char& ch : ext) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  return ext;
}
}  // namespace

std::string WorkbookReader::SheetNameForFile(const std::filesystem::path& path) {
  std::string stem = path.stem().string();
  for (char& ch : stem) {
    if (ch == ':' || ch == '\\' || ch == '/' || ch == '?' || ch == '*' || ch == '[' || ch == ']') ch = '_';
  }
  while (!stem.empty() && stem.front() == '\'') stem.erase(stem.begin());
  while (!stem.empty() && stem.back() == '\'') stem.pop_back();
  if (FindInvalidUtf8(stem) != std::string::npos) stem = "Sheet1";
  // Cut to 31 characters (code points), never inside one.
  std::size_t pos = 0;
  for (std::size_t count = 0; pos < stem.size() && count < 31; ++count) DecodeUtf8(stem, pos);
  stem.resize(pos);
  while (!stem.empty() && stem.back() == '\'') stem.pop_back();
  return stem.empty() ? "Sheet1" : stem;
}

std::shared_ptr<embedded::EmbeddedWorkbook> WorkbookReader::Read(embedded::EmbeddedApplication& app,
                                                                 const std::filesystem::path& path,
                                                                 const XlsxReadLimits& limits) {
  return Read(app, path, limits, CsvDialect{CsvReader::DelimiterFor(path), false});
}

std::shared_ptr<embedded::EmbeddedWorkbook> WorkbookReader::Read(embedded::EmbeddedApplication& app,
                                                                 const std::filesystem::path& path,
                                                                 const XlsxReadLimits& limits,
                                                                 const CsvDialect& dialect) {
  const std::string fileName = path.string();
  const std::string ext = LowerExtension(path);
  const bool csv = ext == ".csv" || ext == ".tsv";
  if (!csv && ext != ".xlsx") {
    throw FileError(FileErrorKind::kUnsupported, fileName, {},
                    "unsupported file type \"" + ext + "\" (expected .csv, .tsv or .xlsx)", "ReadWorkbook");
  }
  HostWorkbookSink sink(app, path.filename().string(), fileName, csv ? "ReadCsv" : "ReadXlsx");
  try {
    if (csv) {
      CsvReader::ReadFile(path, SheetNameForFile(path), sink, dialect);
    } else {
      XlsxReader::ReadFile(path, sink, limits);
    }
  } catch (const std::bad_alloc&) {
    // Memory follows what the file holds; a file that holds more than the machine has
    // is a failed read like any other, named as such.
    if (sink.Workbook()) app.CloseWorkbook(sink.Workbook()->Name());
    throw FileError(FileErrorKind::kLimit, fileName, {}, "out of memory while reading the file",
                    csv ? "ReadCsv" : "ReadXlsx");
  } catch (...) {
    if (sink.Workbook()) app.CloseWorkbook(sink.Workbook()->Name());
    throw;
  }
  const auto& book = sink.Workbook();
  book->SetActiveSheet(book->Sheets().front());
  return book;
}

}  // namespace dez::io
