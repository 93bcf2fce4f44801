// Inputs kept from fuzzing (fuzz/corpus/<target>/: the seeds and every finding, which is
// saved there once fixed), replayed through the fuzz targets themselves, compiled into this
// test: a CSV text read whole and in pieces gives the same cells or the same error, an
// XLSX file opens or fails with a FileError naming it and leaves nothing open, an address
// parses within the sheet or is refused, a pipeline input runs the whole analysis. A
// target's failed check aborts, which the replay reports with the input's name; a target
// without inputs fails: a moved folder must not pass unnoticed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_target_support.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/workbook_reader.h"
#include "io/xlsx_writer.h"
#include "temp_dir.h"
#include "tests/support/needs.h"

extern "C" int Fuzz_csv(const std::uint8_t* data, std::size_t size);
extern "C" int Fuzz_xlsx(const std::uint8_t* data, std::size_t size);
extern "C" int Fuzz_address(const std::uint8_t* data, std::size_t size);
extern "C" int Fuzz_pipeline(const std::uint8_t* data, std::size_t size);

namespace dez::io {
namespace {

namespace fs = std::filesystem;

/// Runs the fuzz target `run` on every input kept under fuzz/corpus/<target>, in a child
/// process that names each input on its standard error before running it.
void Replay(const std::string& target, int (*run)(const std::uint8_t*, std::size_t)) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(fs::path(DEZ_FUZZ_CORPUS) / target)) files.push_back(entry);
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty()) << "no saved inputs for " << target;
  EXPECT_EXIT(
      {
        for (const fs::path& file : files) {
          std::fprintf(stderr, "replaying %s\n", file.c_str());
          const std::string bytes = testing::ReadAll(file);
          run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        }
        fs::remove_all(fuzz::ScratchFolder());
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(FuzzRegression, SavedInputsOfEveryTarget) {
  Replay("csv", Fuzz_csv);
  Replay("xlsx", Fuzz_xlsx);
  Replay("address", Fuzz_address);
#ifdef DEZ_FUZZ_PIPELINE
  Replay("pipeline", Fuzz_pipeline);
#else
  DEZ_NEEDS(false, "FuzzedDataProvider.h (libclang-rt-dev) to replay the pipeline inputs");
#endif
}

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
