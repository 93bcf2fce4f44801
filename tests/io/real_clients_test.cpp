// Real programs read what the writer writes: the Python module openpyxl reads back the
// values, fonts and number formats; LibreOffice converts the report and a charted
// workbook. Skipped when the program is absent.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "host/embedded/cell_block.h"
#include "io/glyph_font.h"
#include "io/styled_text.h"
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

/// A JSON string as Python's json.dumps(ensure_ascii=False) writes it.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char ch : text) {
    switch (ch) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(ch) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned char>(ch));
          out += buffer;
        } else {
          out += ch;
        }
    }
  }
  return out + "\"";
}

std::string FontName(const std::string& name) { return IsGlyphFont(name) ? std::string(kGlyphDisplayFont) : name; }

/// One line per non-empty cell, as the Python script below prints it:
/// sheet, coordinate, kind, value, font name, size, bold, number format (tab-separated).
std::map<std::string, std::string> Expected(const embedded::EmbeddedWorkbook& book) {
  std::map<std::string, std::string> lines;
  for (const auto& sheet : book.Sheets()) {
    sheet->Store().ForEach([&](std::int32_t row, const embedded::Cell& cell) {
      if (cell.value.IsEmpty()) return;
      const embedded::CellStyle& style = sheet->Styles().Get(cell.style);
      std::string font = FontName(style.fontName);
      double size = style.fontSize;
      bool bold = style.bold;
      std::string kind;
      std::string value;
      switch (cell.value.kind()) {
        case Variant::Kind::Number: {
          kind = "float";
          char buffer[64];
          std::snprintf(buffer, sizeof buffer, "%.16G", cell.value.number());
          std::snprintf(buffer, sizeof buffer, "%.17g", std::strtod(buffer, nullptr));
          value = buffer;
          break;
        }
        case Variant::Kind::Boolean:
          kind = "bool";
          value = cell.value.boolean() ? "True" : "False";
          break;
        case Variant::Kind::Error:
          kind = "str";
          value = JsonString(std::string(CellErrorText(cell.value.error())));
          break;
        case Variant::Kind::Text: {
          kind = "str";
          const auto fragments = SplitStyledText(cell.value.text(), style);
          std::string shown;
          for (const auto& f : fragments) shown += f.text;
          value = JsonString(shown);
          if (fragments.size() == 1) {  // written as a plain string in that font
            font = fragments[0].fontName;
            size = fragments[0].fontSize;
            bold = fragments[0].bold;
          }
          break;
        }
        case Variant::Kind::Empty: break;
      }
      char sizeText[32];
      std::snprintf(sizeText, sizeof sizeText, "%g", size);
      const std::string key = sheet->Name() + "!" + embedded::ColumnLetters(cell.column) + std::to_string(row);
      lines[key] = kind + "\t" + value + "\t" + font + "\t" + sizeText + "\t" + (bold ? "True" : "False") + "\t" +
                   style.numberFormat;
    });
  }
  return lines;
}

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

TEST(RealClients, OpenpyxlReadsValuesFontsAndFormats) {
  const std::string python = PythonWithOpenpyxl();
  DEZ_NEEDS(!python.empty(), "python3 with openpyxl");
  TempDir dir;
  const auto sample = testing::SampleWorkbook::Make();
  XlsxWriter::Write(*sample.book, dir / "report.xlsx");
  dir.Write("dump.py", kDumpScript);
  ASSERT_EQ(Shell(python + " " + Quote((dir / "dump.py").string()) + " " + Quote((dir / "report.xlsx").string()) +
                  " > " + Quote((dir / "dump.txt").string())),
            0);
  std::map<std::string, std::string> read;
  std::istringstream in(testing::ReadAll(dir / "dump.txt"));
  for (std::string line; std::getline(in, line);) {
    const std::size_t tab = line.find('\t');
    read[line.substr(0, tab)] = line.substr(tab + 1);
  }
  const auto expected = Expected(*sample.book);
  EXPECT_EQ(read.size(), expected.size());
  for (const auto& [key, line] : expected) EXPECT_EQ(read[key], line) << key;
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
