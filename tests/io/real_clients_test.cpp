// Real programs read what the writer writes: the Python module openpyxl reads back the
// values, fonts and number formats as kept in tests/io/golden/; LibreOffice converts the
// report and a charted workbook. Skipped when the program is absent.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "charted_workbook.h"
#include "io/xlsx_chart_writer.h"
#include "io/xlsx_writer.h"
#include "io/zip_archive.h"
#include "sample_workbook.h"
#include "temp_dir.h"
#include "tests/support/needs.h"
#include "tests/support/real_clients.h"

namespace dez::io {
namespace {

using dez::testing::Quote;
using dez::testing::Shell;
using testing::ReadAll;

// One line per non-empty cell: its place, kind, value, font name, size and boldness, and
// number format.
constexpr const char* kDumpScript = R"(
import json, sys, openpyxl
for sheet in openpyxl.load_workbook(sys.argv[1], data_only=True).worksheets:
    for cell in (cell for row in sheet.iter_rows() for cell in row if cell.value is not None):
        v = cell.value
        kind = "bool" if isinstance(v, bool) else "float" if isinstance(v, (int, float)) else "str"
        text = {"bool": str, "float": lambda v: "%.17g" % v}.get(kind, lambda v: json.dumps(v, ensure_ascii=False))(v)
        print("%s!%s\t%s\t%s\t%s\t%g\t%s\t%s" % (sheet.title, cell.coordinate, kind, text, cell.font.name,
                                              cell.font.sz, bool(cell.font.b), cell.number_format))
)";

// The lines compared with the kept ones: glyph texts in the display font, one-piece rich
// texts in their piece's font, numbers in 16 digits, errors as their texts.
TEST(RealClients, OpenpyxlReadsValuesFontsAndFormats) {
  const std::string python = dez::testing::PythonWithOpenpyxl();
  DEZ_NEEDS(!python.empty(), "python3 with openpyxl");
  testing::TempDir dir;
  XlsxWriter::Write(*testing::SampleWorkbook::Make().book, dir / "report.xlsx");
  const auto dump = dir / "dump.txt";
  ASSERT_EQ(Shell(python + " -c " + Quote(kDumpScript) + " " + Quote(dir / "report.xlsx") + " > " + Quote(dump)), 0);
  const auto kept = std::filesystem::path(DEZ_IO_GOLDEN) / "report_openpyxl.txt";
  if (std::getenv("DEZ_WRITE_GOLDEN") != nullptr) std::filesystem::copy_file(dump, kept, std::filesystem::copy_options::overwrite_existing);
  EXPECT_EQ(ReadAll(dump), ReadAll(kept));
}

// The report, and a workbook with a native chart: both convert to PDF (the chart's texts
// on the page), the report's sheets to CSV with the values as LibreOffice computed them,
// errors included, and the charted workbook saved again keeps a chart part of its own.
TEST(RealClients, LibreOfficeConvertsTheReportAndTheChart) {
  DEZ_NEEDS(dez::testing::HasLibreOffice(), "LibreOffice (soffice)");
  testing::TempDir dir;
  XlsxWriter::Write(*testing::SampleWorkbook::Make().book, dir / "report.xlsx");
  WriteXlsxWithCharts(*testing::ChartedWorkbook().book, dir / "chart.xlsx");
  const auto to = [&](const std::string& format, const std::string& folder, const std::string& files) {
    const std::string soffice = dez::testing::SofficeConvert(dir.path());
    ASSERT_EQ(Shell(soffice + Quote(format) + " --outdir " + Quote(dir / folder) + files + " >/dev/null 2>&1"), 0);
  };
  const std::string report = " " + Quote(dir / "report.xlsx");
  const std::string chart = " " + Quote(dir / "chart.xlsx");
  to("pdf", ".", report + chart);
  for (const char* pdf : {"report.pdf", "chart.pdf"}) EXPECT_EQ(ReadAll(dir / pdf).substr(0, 5), "%PDF-") << pdf;
  if (Shell("command -v pdftotext >/dev/null 2>&1") == 0) {
    ASSERT_EQ(Shell("pdftotext -layout " + Quote(dir / "chart.pdf")), 0);
    const std::string text = ReadAll(dir / "chart.txt");
    for (const char* shown : {"0.0", "2.2", "A", "B", "=C"}) {
      EXPECT_NE(text.find(shown), std::string::npos) << shown << " in\n" << text;
    }
  }
  to("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1", ".", report);
  const std::string data = ReadAll(dir / "report-Data.csv");
  for (const char* shown : {"alpha,1.5,TRUE,", "0.3,#DIV/0!,", ",123456789012345,#N/A,", "#NULL!", "#VALUE!", "#REF!",
                            "#NAME?", "#NUM!"}) {
    EXPECT_NE(data.find(shown), std::string::npos) << shown << " in\n" << data;
  }
  EXPECT_NE(ReadAll(dir / "report-Report.csv").find("A  \xE2\x94\x80\xE2\x94\x80\xE2\x94\x80"), std::string::npos);
  to("xlsx", "again", chart);
  EXPECT_TRUE(ZipArchive(dir / "again" / "chart.xlsx", "test").Contains("xl/charts/chart1.xml"));
}

}  // namespace
}  // namespace dez::io
