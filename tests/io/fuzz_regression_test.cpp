// Inputs kept from fuzzing (fuzz/corpus/<target>/: the seeds and every finding, which is
// saved there once fixed) and the hostile files found while hardening the readers. Each
// saved input goes through the same path as its fuzz target: a CSV text read whole and in
// pieces must give the same cells or the same error, an XLSX file must open or fail with
// a FileError naming it, an address must parse or be refused without throwing, a pipeline
// input runs the fuzz target itself. Nothing may crash, hang or run out of memory, and a
// target without inputs fails: a moved folder must not pass unnoticed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "collecting_sink.h"
#include "host/embedded/address_parser.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/csv_reader.h"
#include "io/file_error.h"
#include "io/workbook_reader.h"
#include "io/xlsx_writer.h"
#include "temp_dir.h"
#include "tests/support/needs.h"
#include "xlsx_fixture.h"

namespace dez::io {
namespace {

namespace fs = std::filesystem;

/// The inputs kept for `target` under fuzz/corpus/<target>; fails the test when there
/// are none.
std::vector<fs::path> SavedInputs(const std::string& target) {
  const fs::path folder = fs::path(DEZ_FUZZ_CORPUS) / target;
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  EXPECT_FALSE(files.empty()) << "no saved inputs in " << folder;
  return files;
}

std::string Bytes(const fs::path& file) { return testing::ReadAll(file); }

/// The cells of a CSV text read in pieces of `piece` bytes, or the error's text.
std::string ReadCsv(std::string_view text, char delimiter, std::size_t piece) {
  testing::CollectingSink sink;
  sink.BeginSheet("s");
  try {
    CsvReader reader("fuzz.csv", delimiter, sink);
    while (text.size() > piece) {
      reader.Feed(text.substr(0, piece));
      text.remove_prefix(piece);
    }
    reader.Feed(text);
    reader.Finish();
  } catch (const FileError& e) {
    return "error: " + e.description;
  }
  std::string cells;
  for (const auto& [at, value] : sink.sheets.front().cells) {
    cells += std::to_string(at.first) + "," + std::to_string(at.second) + "=" +
             (value.IsText() ? value.text() : value.IsNumber() ? std::to_string(value.number()) : "?") + ";";
  }
  return cells;
}

TEST(FuzzRegression, SavedCsvInputs) {
  for (const fs::path& file : SavedInputs("csv")) {
    SCOPED_TRACE(file.filename().string());
    const std::string bytes = Bytes(file);
    if (bytes.empty()) continue;
    // As in the fuzz target: the first byte picks the delimiter and the piece size.
    const char delimiter = (bytes[0] & 1) != 0 ? '\t' : ',';
    const std::size_t piece = 1 + (static_cast<unsigned char>(bytes[0]) >> 1) % 8;
    const std::string_view text = std::string_view(bytes).substr(1);
    EXPECT_EQ(ReadCsv(text, delimiter, text.size() + 1), ReadCsv(text, delimiter, piece));
  }
}

/// The parts of an XLSX input written as text, as the fuzz target reads it: each part
/// starts with a line "#part NAME" (a trailing "!" on the name asks for deflating, which
/// libzip does anyway).
std::map<std::string, std::string> PartsOf(const std::string& text) {
  std::map<std::string, std::string> parts;
  const std::string marker = "#part ";
  for (std::size_t at = text.find(marker); at != std::string::npos;) {
    const std::size_t eol = text.find('\n', at);
    if (eol == std::string::npos) break;
    std::string name = text.substr(at + marker.size(), eol - at - marker.size());
    if (!name.empty() && name.back() == '!') name.pop_back();
    const std::size_t next = text.find("\n" + marker, eol);
    const std::size_t end = next == std::string::npos ? text.size() : next;
    parts[name] = text.substr(eol + 1, end - eol - 1);
    at = next == std::string::npos ? std::string::npos : next + 1;
  }
  return parts;
}

TEST(FuzzRegression, SavedXlsxInputs) {
  testing::TempDir dir;
  for (const fs::path& file : SavedInputs("xlsx")) {
    SCOPED_TRACE(file.filename().string());
    const fs::path copy = dir / "input.xlsx";
    const std::string bytes = Bytes(file);
    if (bytes.rfind("PK", 0) == 0) {
      fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
    } else {
      testing::WriteZip(copy, PartsOf(bytes));
    }
    auto app = embedded::EmbeddedApplication::Create();
    try {
      const auto book = WorkbookReader::Read(*app, copy);
      EXPECT_FALSE(book->Sheets().empty());
    } catch (const FileError& e) {
      EXPECT_EQ(e.description.find(copy.string()), 0u) << e.description;
      EXPECT_EQ(app->OpenWorkbooks().size(), 1u);  // nothing left open but the add-in
    }
  }
}

TEST(FuzzRegression, SavedAddresses) {
  for (const fs::path& file : SavedInputs("address")) {
    SCOPED_TRACE(file.filename().string());
    const embedded::ParsedAddress parsed = embedded::ParseAddress(Bytes(file));
    EXPECT_EQ(parsed.ok(), !parsed.areas.empty());
  }
}

#ifdef DEZ_FUZZ_PIPELINE
}  // namespace
}  // namespace dez::io
// The pipeline fuzz target, compiled into this test.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
namespace dez::io {
namespace {

TEST(FuzzRegression, SavedPipelineInputs) {
  for (const fs::path& file : SavedInputs("pipeline")) {
    SCOPED_TRACE(file.filename().string());
    const std::string bytes = Bytes(file);
    EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0);
  }
}
#else
TEST(FuzzRegression, SavedPipelineInputs) {
  DEZ_NEEDS(false, "FuzzedDataProvider.h (libclang-rt-dev) to replay the pipeline inputs");
}
#endif

/// The number of open file descriptors of this process.
std::ptrdiff_t OpenFiles() {
  return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}

// Found by the pipeline fuzz target, which ran out of file descriptors after some 120,000
// runs: every empty sheet of a written workbook kept a temporary file open.
TEST(FuzzRegression, WritingAnEmptySheetKeepsNoFileOpen) {
  testing::TempDir dir;
  auto app = embedded::EmbeddedApplication::Create();
  auto book = app->AddWorkbook("Book.xlsx", {"Data", "Empty", "Also empty"});
  book->Sheets().front()->WriteCell(1, 1, Variant(1.0));
  XlsxWriter::Write(*book, dir / "first.xlsx");  // libraries open what they keep open
  const int before = OpenFiles();
  for (int i = 0; i < 20; ++i) XlsxWriter::Write(*book, dir / "book.xlsx");
  EXPECT_EQ(OpenFiles(), before);
  // The empty sheets are still written and read back.
  auto again = embedded::EmbeddedApplication::Create();
  const auto read = WorkbookReader::Read(*again, dir / "book.xlsx");
  EXPECT_EQ(read->Sheets().size(), 3u);
}

}  // namespace
}  // namespace dez::io
