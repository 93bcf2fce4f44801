// The XLSX reader's accepted inputs; the refused ones are in hostile_readers_test.cpp.
#include "io/xlsx_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "collecting_sink.h"
#include "io/xlsx_package.h"
#include "temp_dir.h"
#include "xlsx_fixture.h"

namespace dez::io {
namespace {

using testing::Cells;
using testing::CollectingSink;
using testing::XlsxFixture;

CollectingSink Read(const std::map<std::string, std::string>& members, const XlsxReadLimits& limits = {}) {
  testing::TempDir dir;
  testing::WriteZip(dir / "book.xlsx", members);
  CollectingSink sink;
  XlsxReader::ReadFile(dir / "book.xlsx", sink, limits);
  return sink;
}

// Values the writer never writes (a round trip through it covers shared and rich
// strings, numbers, Booleans and errors as formulas): every other way a cell can hold a
// value, with implicit and prefixed positions, a cell before any row (in row 1), the last
// cell of a sheet whose claimed dimension is the whole sheet, and elements as deep as the
// reader's bound allows.
TEST(XlsxReader, ValuesTheWriterDoesNotWrite) {
  XlsxFixture f;
  f.SharedStrings({"<t>base</t><rPh sb=\"0\" eb=\"1\"><t>phonetic</t></rPh>", "<t xml:space=\"preserve\">  sp  </t>",
                   "<t>a&amp;b &lt;c&gt; &#x2502;</t>", "<t>line_x000D__x000A_break _x005F_x0041_ a_x0000_b</t>",
                   "<r><t>rich </t></r><r><rPr><b/></rPr><t>text</t></r>"});
  std::string deep;  // elements nested 256 deep with the worksheet and its sheetData
  for (int i = 0; i < 254; ++i) deep = "<x:n>" + deep + "</x:n>";
  f.RawSheet("Data", std::string("<x:worksheet xmlns:x=\"") + XlsxFixture::kMain +
                         "\"><x:dimension ref=\"A1:XFD1048576\"/><x:sheetData><x:c><x:v>5</x:v></x:c><x:row>"
                         "<x:c r=\"B1\" t=\"n\"><x:v>-2E-3</x:v></x:c>"
                         "<x:c t=\"s\"><x:v>0</x:v></x:c>"
                         "<x:c t=\"s\"><x:v>1</x:v></x:c>"
                         "<x:c t=\"s\"><x:v>2</x:v></x:c>"
                         "<x:c t=\"s\"><x:v>3</x:v></x:c>"
                         "<x:c t=\"s\"><x:v>4</x:v></x:c>"
                         "</x:row><x:row>"
                         "<x:c t=\"inlineStr\"><x:is><x:r><x:t>in</x:t></x:r><x:r><x:t>line runs</x:t></x:r></x:is></x:c>"
                         "<x:c t=\"e\"><x:v>#N/A</x:v></x:c>"
                         "<x:c t=\"e\"><x:v>#SPILL!</x:v></x:c>"
                         "<x:c t=\"str\"><x:f>A1&amp;\"x\"</x:f><x:v>1.5x</x:v></x:c>"
                         "<x:c><x:f> =#NUM! </x:f><x:v>0</x:v></x:c>"
                         "</x:row><x:row r=\"4\">"
                         "<x:c r=\"C4\" s=\"1\"/><x:c><x:v></x:v></x:c><x:c><x:f>NOW()</x:f></x:c>"
                         "<x:c t=\"d\"><x:v>2024-01-31T00:00:00</x:v></x:c>"
                         "<x:c t=\"b\"><x:v>true</x:v></x:c>"
                         "</x:row><x:row r=\"1048576\" spans=\"1:16384\"><x:c r=\"XFD1048576\"><x:v>7</x:v></x:c>"
                         "</x:row>" + deep + "</x:sheetData></x:worksheet>");
  const CollectingSink sink = Read(f.Members());
  ASSERT_EQ(sink.sheets.size(), 1u);
  EXPECT_TRUE(sink.sheets[0].complete);
  const Cells expected = {
      {{1, 1}, 5.0},
      {{1, 2}, -0.002},
      {{1, 3}, "base"},
      {{1, 4}, "  sp  "},
      {{1, 5}, "a&b <c> \xE2\x94\x82"},
      {{1, 6}, "line\r\nbreak _x0041_ a\xEF\xBF\xBD" "b"},  // no text holds NUL
      {{1, 7}, "rich text"},
      {{2, 1}, "inline runs"},
      {{2, 2}, CellError{2042}},
      {{2, 3}, "#SPILL!"},  // an error this host does not know stays text
      {{2, 4}, "1.5x"},
      {{2, 5}, CellError{2036}},
      {{4, 6}, "2024-01-31T00:00:00"},  // formatted, empty and unevaluated cells are none
      {{4, 7}, true},
      {{1'048'576, 16'384}, 7.0},
  };
  EXPECT_EQ(sink.sheets[0].cells, expected);
}

TEST(XlsxReader, ChartSheetsSkippedAbsoluteTargetsResolvedCellsUpToTheBound) {
  const std::string cell = "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";
  auto members = XlsxFixture().Sheet("Data", cell).Sheet("Two", cell).Members();
  members["xl/workbook.xml"] = std::string("<workbook xmlns:r=\"") + XlsxFixture::kRel +
                               "\"><sheets><sheet name=\"Chart1\" sheetId=\"3\" r:id=\"rId3\"/><sheet name=\"Data\" "
                               "sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"Two\" sheetId=\"2\" r:id=\"rId2\"/>"
                               "</sheets></workbook>";
  members["xl/_rels/workbook.xml.rels"] =
      std::string("<Relationships><Relationship Id=\"rId1\" Type=\"") + XlsxFixture::kRel +
      "/worksheet\" Target=\"/xl/worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" + XlsxFixture::kRel +
      "/worksheet\" Target=\"worksheets/sheet2.xml\"/><Relationship Id=\"rId3\" Type=\"" + XlsxFixture::kRel +
      "/chartsheet\" Target=\"chartsheets/sheet1.xml\"/></Relationships>";
  members.erase("_rels/.rels");  // without package relationships the usual workbook name is used
  XlsxReadLimits limits;
  limits.maxCells = 2;  // one more is refused
  const CollectingSink sink = Read(members, limits);
  ASSERT_EQ(sink.sheets.size(), 2u);
  EXPECT_EQ(sink.sheets[0].name, "Data");
  EXPECT_EQ(sink.sheets[1].cells, (Cells{{{1, 1}, 1.0}}));
}

TEST(XlsxPackage, ResolveTarget) {
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"xl/workbook.xml", "./worksheets/../worksheets/s.xml", "xl/worksheets/s.xml"},
      {"xl/workbook.xml", "../other/book.xml", "other/book.xml"},
      {"xl/workbook.xml", "../../x.xml", ""},
      {"", "..", ""},
      {"", "", ""},
  };
  for (const auto& [source, target, expected] : cases) {
    std::string out;
    const bool resolved = XlsxPackage::ResolveTarget(source, target, out);
    EXPECT_EQ(resolved ? out : "", expected) << target;
  }
}

}  // namespace
}  // namespace dez::io
