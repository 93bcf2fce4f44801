// Real programs read what the writer writes: the Python module openpyxl reads back the
// values, fonts and number formats as kept in tests/io/golden/; LibreOffice converts the report and a charted
// workbook. Skipped when the program is absent.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "io/xlsx_chart_writer.h"
#include "io/xlsx_writer.h"
#include "io/zip_archive.h"
#include "charted_workbook.h"
#include "sample_workbook.h"
#include "temp_dir.h"
#include "tests/support/needs.h"
#include "tests/support/real_clients.h"

namespace dez::io {
namespace {

using testing::TempDir;

using dez::testing::PythonWithOpenpyxl;
using dez::testing::Quote;
using dez::testing::Shell;

constexpr const char* kDumpScript = R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1], data_only=True)
for sheet in book.worksheets:
    for row in sheet.iter_rows():
        for cell in row:
            v = cell.value
            if v is None:
                continue
            if isinstance(v, bool):
                kind, text = "bool", str(v)
            elif isinstance(v, (int, float)):
                kind, text = "float", "%.17g" % float(v)
            else:
                kind, text = "str", json.dumps(str(v), ensure_ascii=False)
            print("%s!%s\t%s\t%s\t%s\t%g\t%s\t%s" % (sheet.title, cell.coordinate, kind, text,
                  cell.font.name, cell.font.sz, bool(cell.font.b), cell.number_format))
)";

// One line per non-empty cell as openpyxl reads it, compared with the kept lines: glyph
// texts in the display font, one-piece rich texts in their piece's font, numbers in
// 16 digits, errors as their texts.
TEST(RealClients, OpenpyxlReadsValuesFontsAndFormats) {
  const std::string python = PythonWithOpenpyxl();
  DEZ_NEEDS(!python.empty(), "python3 with openpyxl");
  TempDir dir;
  const auto sample = testing::SampleWorkbook::Make();
  XlsxWriter::Write(*sample.book, dir / "report.xlsx");
  dir.Write("dump.py", kDumpScript);
  const auto dump = dir / "dump.txt";
  ASSERT_EQ(Shell(python + " " + Quote((dir / "dump.py").string()) + " " + Quote((dir / "report.xlsx").string()) +
                  " > " + Quote(dump.string())),
            0);
  const auto kept = std::filesystem::path(DEZ_IO_GOLDEN) / "report_openpyxl.txt";
  if (std::getenv("DEZ_WRITE_GOLDEN") != nullptr) std::filesystem::copy_file(dump, kept, std::filesystem::copy_options::overwrite_existing);
  EXPECT_EQ(testing::ReadAll(dump), testing::ReadAll(kept));
}

// The report, and a workbook with a native chart: both convert to PDF (the chart's texts
// on the page), the report's sheets to CSV with the values as LibreOffice computed them,
// errors included, and the charted workbook saved again keeps a chart part of its own.
TEST(RealClients, LibreOfficeConvertsTheReportAndTheChart) {
  DEZ_NEEDS(dez::testing::HasLibreOffice(), "LibreOffice (soffice)");
  TempDir dir;
  const auto sample = testing::SampleWorkbook::Make();
  XlsxWriter::Write(*sample.book, dir / "report.xlsx");
  testing::ChartedWorkbook charted;
  WriteXlsxWithCharts(*charted.book, dir / "chart.xlsx");
  const std::string soffice = dez::testing::SofficeConvert(dir.path().string());
  const auto to = [&](const std::string& format, const std::string& folder, const std::string& files) {
    ASSERT_EQ(Shell(soffice + Quote(format) + " --outdir " + Quote((dir / folder).string()) + files + " >/dev/null 2>&1"), 0)
        << format;
  };
  const std::string report = " " + Quote((dir / "report.xlsx").string());
  const std::string chart = " " + Quote((dir / "chart.xlsx").string());
  to("pdf", ".", report + chart);
  for (const char* pdf : {"report.pdf", "chart.pdf"}) EXPECT_EQ(testing::ReadAll(dir / pdf).substr(0, 5), "%PDF-") << pdf;
  if (Shell("command -v pdftotext >/dev/null 2>&1") == 0) {
    ASSERT_EQ(Shell("pdftotext -layout " + Quote((dir / "chart.pdf").string())), 0);
    const std::string text = testing::ReadAll(dir / "chart.txt");
    for (const char* shown : {"0.0", "2.2", "A", "B", "=C"}) EXPECT_NE(text.find(shown), std::string::npos) << shown << " in\n" << text;
  }
  to("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1", ".", report);
  const std::string data = testing::ReadAll(dir / "report-Data.csv");
  for (const char* shown : {"alpha,1.5,TRUE,", "0.3,#DIV/0!,", ",123456789012345,#N/A,", "#NULL!", "#VALUE!", "#REF!",
                            "#NAME?", "#NUM!"}) {
    EXPECT_NE(data.find(shown), std::string::npos) << shown << " in\n" << data;
  }
  EXPECT_NE(testing::ReadAll(dir / "report-Report.csv").find("A  \xE2\x94\x80\xE2\x94\x80\xE2\x94\x80"), std::string::npos);
  to("xlsx", "again", chart);
  EXPECT_TRUE(ZipArchive(dir / "again" / "chart.xlsx", "test").Contains("xl/charts/chart1.xml"));
}

}  // namespace
}  // namespace dez::io
