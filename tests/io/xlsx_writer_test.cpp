#include "io/xlsx_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "io/file_error.h"
#include "io/styled_text.h"
#include "io/workbook_reader.h"
#include "golden.h"
#include "sample_workbook.h"
#include "temp_dir.h"
#include "tests/support/error_of.h"
#include "xlsx_fixture.h"

namespace dez::io {
namespace {

using test::ErrorOf;
using testing::FilesIn;
using testing::Part;
using testing::SampleWorkbook;
using testing::TempDir;

/// A number as libxlsxwriter stores it: 16 significant digits ("%.16G").
double SixteenDigits(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.16G", v);
  return std::strtod(buffer, nullptr);
}

TEST(XlsxWriter, RoundTripKeepsEveryValue) {
  TempDir dir;
  const SampleWorkbook sample = SampleWorkbook::Make();
  const auto file = dir / "out.xlsx";
  XlsxWriter::Write(*sample.book, file);

  auto app = embedded::EmbeddedApplication::Create();
  const auto back = WorkbookReader::Read(*app, file);
  ASSERT_EQ(back->Sheets().size(), sample.book->Sheets().size());
  std::size_t compared = 0;
  for (std::size_t s = 0; s < back->Sheets().size(); ++s) {
    const auto& original = *sample.book->Sheets()[s];
    const auto& read = *back->Sheets()[s];
    EXPECT_EQ(read.Name(), original.Name());
    // Every stored value comes back; glyph-font texts come back as the box-drawing
    // characters they were written as.
    original.Store().ForEach([&](std::int32_t row, const embedded::Cell& cell) {
      Variant expected = cell.value;
      if (expected.IsNumber()) expected = Variant(SixteenDigits(expected.number()));
      if (expected.IsText()) expected = Variant(DisplayedText(expected.text(), original.Styles().Get(cell.style)));
      EXPECT_EQ(read.ValueAt(row, cell.column), expected)
          << original.Name() << " row " << row << " column " << cell.column;
      ++compared;
    });
    std::size_t readCount = 0;
    read.Store().ForEach([&](std::int32_t, const embedded::Cell& cell) { readCount += cell.value.IsEmpty() ? 0 : 1; });
    std::size_t originalCount = 0;
    original.Store().ForEach(
        [&](std::int32_t, const embedded::Cell& cell) { originalCount += cell.value.IsEmpty() ? 0 : 1; });
    EXPECT_EQ(readCount, originalCount);
  }
  EXPECT_GE(compared, 35u);
}

TEST(XlsxWriter, NumbersKeepSixteenSignificantDigits) {
  // Every number that has a 16-digit decimal form comes back bit for bit, others as the
  // nearest such number; the largest doubles, which would round up past the range, as
  // the largest 16-digit value (the last one).
  TempDir dir;
  auto app = embedded::EmbeddedApplication::Create();
  auto book = app->AddWorkbook("N.xlsx", {"N"});
  const std::vector<double> values = {-0.0, 2.0 / 3.0, 1e-300,        -4.9e-324, 1.797693134862315e308,
                                      0.1,  123456789012345.6, 0.1 + 0.2, -1.7976931348623157e308};
  for (std::size_t i = 0; i < values.size(); ++i) book->Sheets()[0]->WriteCell(static_cast<std::int32_t>(i + 1), 1, Variant(values[i]));
  XlsxWriter::Write(*book, dir / "n.xlsx");
  auto reader = embedded::EmbeddedApplication::Create();
  const auto back = WorkbookReader::Read(*reader, dir / "n.xlsx");
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double expected = i + 1 < values.size() ? SixteenDigits(values[i]) : -1.797693134862315e308;
    EXPECT_EQ(back->Sheets()[0]->ValueAt(static_cast<std::int32_t>(i + 1), 1), Variant(expected)) << values[i];
  }
}

// The sample's sheets, styles and workbook parts as kept: dendrogram rows (8 points) 9
// points tall, glyph letters as box drawing beside their labels, rich strings, host-sized
// rows and columns, columns widened for texts whose right neighbours are filled (not for
// an overflowing title), the whole-sheet fill's columns, fonts without the glyph font,
// formats, fills, and the active sheet.
TEST(XlsxWriter, WrittenPartsMatchTheKeptOnes) {
  TempDir dir;
  const SampleWorkbook sample = SampleWorkbook::Make();
  auto& filled = *sample.book->AddSheet("Filled");
  filled.EditFormat(embedded::CellBlock::WholeSheet(), [](embedded::CellStyle& s) { s.interiorColorIndex = 2; });
  filled.WriteCell(2, 3, Variant(7.0));
  filled.SetColumnWidth(2, 30.0);
  XlsxWriter::Write(*sample.book, dir / "out.xlsx");
  testing::ExpectPartsAsKept(dir / "out.xlsx", "report_",
                             {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml",
                              "xl/styles.xml", "xl/workbook.xml"});
}

TEST(XlsxWriter, FailureLeavesNoOutputAndKeepsTheOldFile) {
  TempDir dir;
  const SampleWorkbook sample = SampleWorkbook::Make();
  const auto file = dir.Write("keep.xlsx", "old content");
  XlsxWriteOptions options;
  options.afterSheet = [](const XlsxSheetContext& context) {
    if (context.sheetIndex == 1) throw std::runtime_error("chart failed");
  };
  EXPECT_THROW(XlsxWriter::Write(*sample.book, file, options), std::runtime_error);
  EXPECT_EQ(testing::ReadAll(file), "old content");
  EXPECT_EQ(FilesIn(dir.path()), (std::vector<std::string>{"keep.xlsx"}));

  // A new file is not created either.
  EXPECT_THROW(XlsxWriter::Write(*sample.book, dir / "new.xlsx", options), std::runtime_error);
  EXPECT_EQ(FilesIn(dir.path()), (std::vector<std::string>{"keep.xlsx"}));
}

TEST(XlsxWriter, DestinationsWhereNoFileCanBeCreated) {
  // A place where nobody can create files (also the superuser), a missing folder, and a
  // folder as the destination.
  TempDir dir;
  const SampleWorkbook sample = SampleWorkbook::Make();
  for (const std::filesystem::path& bad :
       {std::filesystem::path("/proc/dez_io_report.xlsx"), dir / "missing" / "r.xlsx", dir.path()}) {
    const FileError e = ErrorOf<FileError>([&] { XlsxWriter::Write(*sample.book, bad); });
    EXPECT_EQ(e.kind, FileErrorKind::kWrite) << e.description;
    EXPECT_NE(e.description.find(bad.filename().string()), std::string::npos) << e.description;
  }
  EXPECT_FALSE(std::filesystem::exists("/proc/dez_io_report.xlsx"));
  EXPECT_TRUE(FilesIn(dir.path()).empty());
}

TEST(XlsxWriter, ReplacedFileKeepsItsPermissions) {
  TempDir dir;
  const SampleWorkbook sample = SampleWorkbook::Make();
  const auto file = dir.Write("mode.xlsx", "x");
  ::chmod(file.c_str(), 0640);
  XlsxWriter::Write(*sample.book, file);
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(testing::ReadAll(file).substr(0, 2), "PK");
}

}  // namespace
}  // namespace dez::io
