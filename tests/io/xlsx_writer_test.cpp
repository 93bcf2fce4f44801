#include "io/xlsx_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "io/file_error.h"
#include "io/styled_text.h"
#include "io/workbook_reader.h"
#include "io/zip_archive.h"
#include "sample_workbook.h"
#include "temp_dir.h"
#include "tests/support/error_of.h"
#include "xlsx_fixture.h"
#include "tests/support/needs.h"

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
  // Every number that has a 16-digit decimal form comes back bit for bit; others come
  // back as the nearest such number.
  TempDir dir;
  auto app = embedded::EmbeddedApplication::Create();
  auto book = app->AddWorkbook("N.xlsx", {"N"});
  auto& sheet = *book->Sheets()[0];
  const std::vector<double> values = {
      0.0,    -0.0,     1.0, -1.5, 2.0 / 3.0, 1e-300, -4.9e-324, 1e300, 1.797693134862315e308, 0.1, 123456789012345.6,
      3.0e-5, 0.1 + 0.2};
  for (std::size_t i = 0; i < values.size(); ++i)
    sheet.WriteCell(static_cast<std::int32_t>(i + 1), 1, Variant(values[i]));
  XlsxWriter::Write(*book, dir / "n.xlsx");
  auto app2 = embedded::EmbeddedApplication::Create();
  const auto back = WorkbookReader::Read(*app2, dir / "n.xlsx");
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(back->Sheets()[0]->ValueAt(static_cast<std::int32_t>(i + 1), 1), Variant(SixteenDigits(values[i])))
        << values[i];
  }
  EXPECT_EQ(SixteenDigits(2.0 / 3.0), 2.0 / 3.0);
  // The largest doubles would round up past the range: they are written as the largest
  // 16-digit value.
  sheet.WriteCell(1, 2, Variant(-1.7976931348623157e308));
  XlsxWriter::Write(*book, dir / "m.xlsx");
  auto app3 = embedded::EmbeddedApplication::Create();
  EXPECT_EQ(WorkbookReader::Read(*app3, dir / "m.xlsx")->Sheets()[0]->ValueAt(1, 2), Variant(-1.797693134862315e308));
  EXPECT_EQ(SixteenDigits(0.1), 0.1);
}

TEST(XlsxWriter, FormatsRowsAndColumnsInTheFile) {
  TempDir dir;
  const SampleWorkbook sample = SampleWorkbook::Make();
  const auto file = dir / "out.xlsx";
  XlsxWriter::Write(*sample.book, file);

  const std::string report = Part(file, "xl/worksheets/sheet2.xml");
  for (const char* piece : {
           "<row r=\"8\" ht=\"9\" customHeight=\"1\">",   // dendrogram rows (8 points) are 9 points tall
           "<row r=\"11\" ht=\"9\" customHeight=\"1\">",  //
           "<row r=\"14\" ht=\"30\" customHeight=\"1\"",  // the host-sized row keeps its height
           "A  \xE2\x94\x80\xE2\x94\x80",                 // glyph letters became box drawing; labels stay
           "\xE2\x94\x9C\xE2\x94\x80", "\xE2\x94\xBC",       // ├─ and ┼
           "<r><rPr><b/>",                                // a text in two fonts is a rich string
           "<col min=\"5\" max=\"5\"",                    // the host-sized column 5
       }) {
    EXPECT_NE(report.find(piece), std::string::npos) << piece << "\n" << report;
  }
  EXPECT_EQ(report.find("AAAA"), std::string::npos);
  // The long title overflows: column A is not widened for it, but is for the labels
  // whose neighbours are filled (no explicit width needed for one-letter labels).
  EXPECT_EQ(report.find("<col min=\"1\" max=\"1\""), std::string::npos);

  const std::string data = Part(file, "xl/worksheets/sheet1.xml");
  // Column A holds texts whose right neighbours are filled: widened.
  for (const char* piece : {"<f>#DIV/0!</f><v>#DIV/0!</v>", "t=\"b\"><v>1</v>", "<col min=\"1\" max=\"1\""}) {
    EXPECT_NE(data.find(piece), std::string::npos) << piece << "\n" << data;
  }
  const std::string styles = Part(file, "xl/styles.xml");
  for (const char* piece : {"Courier New", "formatCode=\"0.000\"", "rgb=\"FFC0C0C0\"" /* colour index 15 */,
                            "horizontal=\"center\"", "<b/>"}) {
    EXPECT_NE(styles.find(piece), std::string::npos) << piece;
  }
  EXPECT_EQ(styles.find("Korvel"), std::string::npos);
  EXPECT_NE(Part(file, "xl/workbook.xml").find("activeTab=\"1\""), std::string::npos);
}

TEST(XlsxWriter, SheetDefaultFormatCoversEveryColumn) {
  TempDir dir;
  auto app = embedded::EmbeddedApplication::Create();
  auto book = app->AddWorkbook("Filled.xlsx", {"Out"});
  auto& sheet = *book->Sheets()[0];
  sheet.EditFormat(embedded::CellBlock::WholeSheet(), [](embedded::CellStyle& s) { s.interiorColorIndex = 2; });
  sheet.WriteCell(2, 3, Variant(7.0));
  sheet.SetColumnWidth(2, 30.0);
  XlsxWriter::Write(*book, dir / "f.xlsx");
  const std::string xml = Part(dir / "f.xlsx", "xl/worksheets/sheet1.xml");
  for (const char* piece : {"<col min=\"1\" max=\"1\"", "<col min=\"2\" max=\"2\"", "<col min=\"3\" max=\"16384\""}) {
    EXPECT_NE(xml.find(piece), std::string::npos) << piece << "\n" << xml;
  }
  const std::string styles = Part(dir / "f.xlsx", "xl/styles.xml");
  EXPECT_NE(styles.find("rgb=\"FFFFFFFF\""), std::string::npos);  // colour index 2, white
}

TEST(XlsxWriter, HooksSeeEverySheetAndTheWorkbook) {
  TempDir dir;
  const SampleWorkbook sample = SampleWorkbook::Make();
  std::vector<std::string> seen;
  int closes = 0;
  XlsxWriteOptions options;
  options.afterSheet = [&](const XlsxSheetContext& context) {
    EXPECT_NE(context.workbook, nullptr);
    EXPECT_NE(context.worksheet, nullptr);
    EXPECT_EQ(static_cast<std::size_t>(context.sheetIndex), seen.size());
    seen.push_back(context.sheet.Name());
    if (context.sheet.Name() == "Report") {
      // What the chart writer does: a native scatter chart whose series data lies on a
      // hidden sheet added at the end.
      lxw_chart* chart = workbook_add_chart(context.workbook, LXW_CHART_SCATTER_STRAIGHT);
      chart_add_series(chart, "=ChartData!$A$1:$A$2", "=ChartData!$B$1:$B$2");
      EXPECT_EQ(worksheet_insert_chart(context.worksheet, 2, 6, chart), LXW_NO_ERROR);
    }
  };
  options.beforeClose = [&](lxw_workbook* workbook) {
    ++closes;
    lxw_worksheet* hidden = workbook_add_worksheet(workbook, "ChartData");
    for (lxw_row_t r = 0; r < 2; ++r) {
      worksheet_write_number(hidden, r, 0, r, nullptr);
      worksheet_write_number(hidden, r, 1, 2.0 * r, nullptr);
    }
    worksheet_hide(hidden);
  };
  XlsxWriter::Write(*sample.book, dir / "h.xlsx", options);
  EXPECT_EQ(seen, (std::vector<std::string>{"Data", "Report"}));
  EXPECT_EQ(closes, 1);
  EXPECT_NE(Part(dir / "h.xlsx", "xl/workbook.xml").find("name=\"ChartData\" sheetId=\"3\" state=\"hidden\""),
            std::string::npos);
  EXPECT_NE(Part(dir / "h.xlsx", "xl/charts/chart1.xml").find("<c:scatterChart>"), std::string::npos);
  // The reader still sees the user's sheets and the data sheet, values intact.
  auto app = embedded::EmbeddedApplication::Create();
  const auto back = WorkbookReader::Read(*app, dir / "h.xlsx");
  ASSERT_EQ(back->Sheets().size(), 3u);
  EXPECT_EQ(back->Sheets()[2]->ValueAt(2, 2), Variant(2.0));
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

/// Writes to `destination` and checks the failure: 0 when it is a clean kWrite error.
int ExpectWriteRefused(const embedded::EmbeddedWorkbook& book, const std::filesystem::path& destination) {
  try {
    XlsxWriter::Write(book, destination);
  } catch (const FileError& e) {
    const bool clean = e.kind == FileErrorKind::kWrite && e.source == "WriteXlsx" &&
                       e.description.find("report.xlsx") != std::string::npos;
    return clean ? 0 : 2;
  }
  return 1;
}

TEST(XlsxWriter, ReadOnlyFolderFailsCleanly) {
  TempDir dir;
  const SampleWorkbook sample = SampleWorkbook::Make();
  const auto locked = dir / "locked";
  std::filesystem::create_directory(locked);
  { std::ofstream(locked / "report.xlsx") << "previous report"; }
  ::chmod(locked.c_str(), 0555);
  if (::access(locked.c_str(), W_OK) != 0) {
    EXPECT_EQ(ExpectWriteRefused(*sample.book, locked / "report.xlsx"), 0);
  } else if (::geteuid() == 0) {
    // The superuser writes into read-only folders: try as an unprivileged user, in a
    // child process.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
      ::_exit(ExpectWriteRefused(*sample.book, locked / "report.xlsx"));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3) {
      ::chmod(locked.c_str(), 0755);
      DEZ_NEEDS(false, "switching to an unprivileged user");
    }
    EXPECT_EQ(WEXITSTATUS(status), 0);
  } else {
    ::chmod(locked.c_str(), 0755);
    DEZ_NEEDS(false, "a user who may not write into read-only folders");
  }
  EXPECT_EQ(testing::ReadAll(locked / "report.xlsx"), "previous report");
  EXPECT_EQ(FilesIn(locked), (std::vector<std::string>{"report.xlsx"}));
  ::chmod(locked.c_str(), 0755);
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

TEST(XlsxWriter, RichTextWithOnePieceAndEmptyTexts) {
  TempDir dir;
  auto app = embedded::EmbeddedApplication::Create();
  auto book = app->AddWorkbook("R.xlsx", {"S"});
  auto& sheet = *book->Sheets()[0];
  // A run covering the whole text: one piece, written as a plain string in that font.
  embedded::CellStyle whole;
  embedded::FontRun arial;
  arial.fontName = "Arial";
  whole.ApplyCharacterFont(1, 5, arial);
  sheet.WriteCell(1, 1, Variant("abcde"), whole);
  // Runs past the end of a short text.
  embedded::CellStyle past;
  past.ApplyCharacterFont(3, 10, arial);
  sheet.WriteCell(2, 1, Variant("ab"), past);
  // Glyph font over the whole cell, no runs: all mapped.
  embedded::CellStyle glyphs;
  glyphs.SetFontName("Korvel");
  sheet.WriteCell(3, 1, Variant("ABCEGHK xyz"), glyphs);
  sheet.WriteCell(4, 1, Variant(std::string()));
  XlsxWriter::Write(*book, dir / "r.xlsx");
  const std::string xml = Part(dir / "r.xlsx", "xl/worksheets/sheet1.xml");
  EXPECT_EQ(xml.find("<r>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("\xE2\x94\x80\xE2\x94\x82\xE2\x94\x98\xE2\x94\x90\xE2\x94\x9C\xE2\x94\xA4\xE2\x94\xBC xyz"),
            std::string::npos);
  auto app2 = embedded::EmbeddedApplication::Create();
  const auto back = WorkbookReader::Read(*app2, dir / "r.xlsx");
  EXPECT_EQ(back->Sheets()[0]->ValueAt(1, 1), Variant("abcde"));
  EXPECT_EQ(back->Sheets()[0]->ValueAt(2, 1), Variant("ab"));
}

}  // namespace
}  // namespace dez::io
