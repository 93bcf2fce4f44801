#include "io/xlsx_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "golden.h"
#include "io/file_error.h"
#include "io/styled_text.h"
#include "io/workbook_reader.h"
#include "io/xlsx_chart_writer.h"
#include "sample_workbook.h"
#include "temp_dir.h"
#include "tests/support/error_of.h"
#include "collecting_sink.h"
#include "xlsx_fixture.h"

namespace dez::io {
namespace {

using test::ErrorOf;
using testing::FilesIn;
using testing::SampleWorkbook;
using testing::TempDir;
using testing::Cells;

/// A number as a file keeps it: 16 significant digits ("%.16G"); the largest doubles,
/// which would round up past the range, as the largest 16-digit value.
double SixteenDigits(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.16G", v);
  const double kept = std::strtod(buffer, nullptr);
  return std::isinf(kept) ? std::copysign(1.797693134862315e308, v) : kept;
}

/// The values of `sheet` as written: numbers in 16 digits, texts as displayed (glyph
/// letters as the box-drawing characters they are written as).
Cells Written(const embedded::EmbeddedWorksheet& sheet) {
  Cells cells;
  sheet.Store().ForEach([&](std::int32_t row, const embedded::Cell& cell) {
    Variant v = cell.value;
    if (v.IsNumber()) v = Variant(SixteenDigits(v.number()));
    if (v.IsText()) v = Variant(DisplayedText(v.text(), sheet.Styles().Get(cell.style)));
    if (!v.IsEmpty()) cells[{row, cell.column}] = v;
  });
  return cells;
}

TEST(XlsxWriter, RoundTripKeepsEveryValue) {
  TempDir dir;
  const SampleWorkbook sample = SampleWorkbook::Make();
  XlsxWriter::Write(*sample.book, dir / "out.xlsx");
  auto app = embedded::EmbeddedApplication::Create();
  const auto back = WorkbookReader::Read(*app, dir / "out.xlsx");
  ASSERT_EQ(back->Sheets().size(), 2u);
  for (std::size_t s = 0; s < 2; ++s) {
    EXPECT_EQ(back->Sheets()[s]->Name(), sample.book->Sheets()[s]->Name());
    EXPECT_EQ(Written(*back->Sheets()[s]), Written(*sample.book->Sheets()[s]));
  }
}

// The sample's sheets, styles and workbook parts as kept: dendrogram rows (8 points) 9
// points tall, glyph letters as box drawing beside their labels, rich strings, host-sized
// rows and columns, columns widened for texts whose right neighbours are filled (not for
// an overflowing title), the whole-sheet fill's columns, fonts without the glyph font,
// formats, fills, the active sheet, and no chart data sheet in a workbook without charts.
TEST(XlsxWriter, WrittenPartsMatchTheKeptOnes) {
  TempDir dir;
  const SampleWorkbook sample = SampleWorkbook::Make();
  auto& filled = *sample.book->AddSheet("Filled");
  filled.EditFormat(embedded::CellBlock::WholeSheet(), [](embedded::CellStyle& s) { s.interiorColorIndex = 2; });
  filled.WriteCell(2, 3, Variant(7.0));
  filled.SetColumnWidth(2, 30.0);
  WriteXlsxWithCharts(*sample.book, dir / "out.xlsx");
  testing::ExpectPartsAsKept(dir / "out.xlsx", "report_",
                             {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml",
                              "xl/styles.xml", "xl/workbook.xml"});
}

// A package damaged after it was written (as by a full disk), and destinations where no
// file can be created, fail the write: the old file keeps its bytes, a new one is not
// created, no helper file is left; a file replaced by a good write keeps its permissions.
TEST(XlsxWriter, FailedWritesKeepTheOldFileAndLeaveNothing) {
  TempDir dir;
  const SampleWorkbook sample = SampleWorkbook::Make();
  const auto file = dir.Write("keep.xlsx", "old content");
  XlsxWriteOptions options;
  options.afterClose = [](const std::filesystem::path& written) {
    auto parts = std::map<std::string, std::string>{{"xl/workbook.xml", testing::Part(written, "xl/workbook.xml")}};
    parts["xl/workbook.xml"].resize(100);
    testing::WriteZip(written, parts);
  };
  for (const auto& target : {file, dir / "new.xlsx"}) {
    const FileError e = ErrorOf<FileError>([&] { XlsxWriter::Write(*sample.book, target, options); });
    EXPECT_EQ(e.kind, FileErrorKind::kWrite);
    EXPECT_EQ(e.description, target.string() + ": part xl/workbook.xml: the written workbook is damaged (a temporary "
                                               "file of the writer could not be written in full: is its disk full?)");
    EXPECT_EQ(testing::ReadAll(file), "old content");
  }
  // A place where nobody can create files (also the superuser), a missing folder, and a
  // folder as the destination.
  for (const std::filesystem::path& bad :
       {std::filesystem::path("/proc/dez_io_report.xlsx"), dir / "missing" / "r.xlsx", dir.path()}) {
    const FileError e = ErrorOf<FileError>([&] { XlsxWriter::Write(*sample.book, bad); });
    EXPECT_EQ(e.kind, FileErrorKind::kWrite) << e.description;
    EXPECT_NE(e.description.find(bad.filename().string()), std::string::npos) << e.description;
  }
  EXPECT_FALSE(std::filesystem::exists("/proc/dez_io_report.xlsx"));
  EXPECT_EQ(FilesIn(dir.path()), (std::vector<std::string>{"keep.xlsx"}));
  ::chmod(file.c_str(), 0640);
  XlsxWriter::Write(*sample.book, file);
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(testing::ReadAll(file).substr(0, 2), "PK");
}

}  // namespace
}  // namespace dez::io
