#include "io/xlsx_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "collecting_sink.h"
#include "io/file_error.h"
#include "io/xlsx_package.h"
#include "temp_dir.h"
#include "tests/support/error_of.h"
#include "xlsx_fixture.h"

namespace dez::io {
namespace {

using testing::CollectingSink;
using testing::TempDir;
using testing::XlsxFixture;

CollectingSink Read(const XlsxFixture& fixture, const XlsxReadLimits& limits = {}) {
  TempDir dir;
  const auto file = dir / "book.xlsx";
  fixture.Write(file);
  CollectingSink sink;
  XlsxReader::ReadFile(file, sink, limits);
  return sink;
}

/// Reads `file` and expects a FileError of `kind` whose description names the file and
/// contains `fragment`.
FileError ExpectReadFails(const std::filesystem::path& file, FileErrorKind kind, const std::string& fragment,
                          const XlsxReadLimits& limits = {}) {
  CollectingSink sink;
  const FileError e = test::ErrorOf<FileError>([&] { XlsxReader::ReadFile(file, sink, limits); });
  EXPECT_EQ(e.kind, kind) << e.description;
  EXPECT_NE(e.description.find(fragment), std::string::npos) << e.description;
  EXPECT_NE(e.description.find(file.filename().string()), std::string::npos) << e.description;
  EXPECT_EQ(e.number, kFileErrorNumber);
  EXPECT_EQ(e.source, "ReadXlsx");
  return e;
}

/// Writes `members` as book.xlsx and expects the read to fail as ExpectReadFails does.
FileError ReadFailing(const std::map<std::string, std::string>& members, FileErrorKind kind,
                      const std::string& fragment, const XlsxReadLimits& limits = {}) {
  TempDir dir;
  testing::WriteZip(dir / "book.xlsx", members);
  return ExpectReadFails(dir / "book.xlsx", kind, fragment, limits);
}
FileError ReadFailing(const XlsxFixture& fixture, FileErrorKind kind, const std::string& fragment,
                      const XlsxReadLimits& limits = {}) {
  return ReadFailing(fixture.Members(), kind, fragment, limits);
}


// Values the writer never writes (a round trip through it covers inline and rich
// strings, numbers, Booleans and errors as formulas): every other way a cell can hold a
// value, with implicit and prefixed positions.
TEST(XlsxReader, ValuesTheWriterDoesNotWrite) {
  XlsxFixture f;
  f.SharedStrings({"<t>base</t><rPh sb=\"0\" eb=\"1\"><t>phonetic</t></rPh>", "<t xml:space=\"preserve\">  sp  </t>",
                   "<t>a&amp;b &lt;c&gt; &#x2502;</t>", "<t>line_x000D__x000A_break _x005F_x0041_ a_x0000_b</t>",
                   "<r><t>rich </t></r><r><rPr><b/></rPr><t>text</t></r>"});
  f.RawSheet("Data", std::string("<x:worksheet xmlns:x=\"") + XlsxFixture::kMain +
                         "\"><x:sheetData><x:row r=\"1\">"
                         "<x:c r=\"A1\" t=\"n\"><x:v>-2E-3</x:v></x:c>"
                         "<x:c r=\"B1\" t=\"s\"><x:v>0</x:v></x:c>"
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
                         "</x:row></x:sheetData></x:worksheet>");
  const CollectingSink sink = Read(f);
  ASSERT_EQ(sink.sheets.size(), 1u);
  const auto& s = sink.sheets[0];
  EXPECT_TRUE(s.complete);
  const std::map<std::pair<std::int32_t, std::int32_t>, Variant> expected = {
      {{1, 1}, Variant(-0.002)},
      {{1, 2}, Variant("base")},
      {{1, 3}, Variant("  sp  ")},
      {{1, 4}, Variant("a&b <c> \xE2\x94\x82")},
      {{1, 5}, Variant("line\r\nbreak _x0041_ a\xEF\xBF\xBD" "b")},  // no text holds NUL
      {{1, 6}, Variant("rich text")},
      {{2, 1}, Variant("inline runs")},
      {{2, 2}, Variant(CellError{2042})},
      {{2, 3}, Variant("#SPILL!")},  // an error this host does not know stays text
      {{2, 4}, Variant("1.5x")},
      {{2, 5}, Variant(CellError{2036})},
      {{4, 6}, Variant("2024-01-31T00:00:00")},  // formatted, empty and unevaluated cells are none
      {{4, 7}, Variant(true)},
  };
  EXPECT_EQ(s.cells, expected);
}

TEST(XlsxReader, HugeClaimedDimensionCostsNothing) {
  XlsxFixture f;
  f.RawSheet("Big", std::string("<worksheet xmlns=\"") + XlsxFixture::kMain +
                        "\"><dimension ref=\"A1:XFD1048576\"/><sheetData><row r=\"1048576\" spans=\"1:16384\">"
                        "<c r=\"XFD1048576\"><v>7</v></c></row></sheetData></worksheet>");
  EXPECT_EQ(Read(f).sheets[0].cells.size(), 1u);
}

// Each bad sheet names the sheet and, where it can, the cell.
TEST(XlsxReader, BadSheetsNameTheSheetAndCell) {
  const std::vector<std::tuple<std::string, FileErrorKind, std::string>> cases = {
      {"<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>", FileErrorKind::kLimit, "cell reference \"XFE1\" lies beyond"},
      {"<row r=\"1048577\"><c><v>1</v></c></row>", FileErrorKind::kLimit, "row number \"1048577\" lies beyond"},
      {"<row r=\"1\"><c r=\"XFD1\"><v>1</v></c><c><v>2</v></c></row>", FileErrorKind::kLimit,
       "more than 16,384 cells in a row"},
      {"<row r=\"1048576\"/><row><c><v>1</v></c></row>", FileErrorKind::kLimit, "more than 1,048,576 rows"},
      {"<row r=\"1\"><c r=\"1A\"><v>1</v></c></row>", FileErrorKind::kMalformed, "cell reference \"1A\" is malformed"},
      {"<row r=\"2\"><c r=\"B2\"><v>12abc</v></c></row>", FileErrorKind::kMalformed, "cell B2: number \"12abc\" is malformed"},
      {"<row r=\"3\"><c r=\"A3\" t=\"b\"><v>2</v></c></row>", FileErrorKind::kMalformed,
       "cell A3: Boolean value \"2\" is malformed"},
      {"<row r=\"3\"><c r=\"D3\" t=\"s\"><v>x</v></c></row>", FileErrorKind::kMalformed,
       "cell D3: shared string index \"x\" is malformed"},
      {"<row r=\"7\"><c r=\"B7\" t=\"s\"><v>9</v></c></row>", FileErrorKind::kMalformed,
       "cell B7: shared string index 9 out of range (1 strings)"},
      {"<row r=\"3\"><c r=\"E3\" t=\"zz\"><v>1</v></c></row>", FileErrorKind::kMalformed, "cell E3: unknown cell type \"zz\""},
      {"<row r=\"x\"/>", FileErrorKind::kMalformed, "row number \"x\" is not a number"},
      {"<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&nope;</t></is></c></row>", FileErrorKind::kMalformed,
       "malformed XML"},
      {"<row r=\"1\"><c r=\"A1\"><v>1</v></row>", FileErrorKind::kMalformed, "mismatched tag"},
  };
  for (const auto& [data, kind, fragment] : cases) {
    SCOPED_TRACE(data);
    XlsxFixture f;
    f.SharedStrings({"<t>only</t>"}).Sheet("M", data);
    const FileError e = ReadFailing(f, kind, fragment);
    EXPECT_NE(e.description.find("sheet \"M\""), std::string::npos) << e.description;
  }
  XlsxFixture g;  // without a shared-string table
  g.Sheet("S", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>");
  ReadFailing(g, FileErrorKind::kMalformed, "out of range (0 strings)");
}

TEST(XlsxReader, DoctypesAreRefusedBeforeAnyEntityIsExpanded) {
  XlsxFixture f;
  f.RawSheet("Bomb",
             "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">"
             "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">]>"
             "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&lol2;</t></is></c></row></sheetData></worksheet>");
  const FileError e = ReadFailing(f, FileErrorKind::kHostile, "DOCTYPE");
  EXPECT_NE(e.description.find("sheet \"Bomb\""), std::string::npos);
}

TEST(XlsxReader, MissingParts) {
  XlsxFixture f;
  f.SharedStrings({"<t>s</t>"}).Sheet("S", "");
  const auto members = f.Members();
  const auto with = [&](const std::string& name, const std::string& content) {
    auto changed = members;
    if (content.empty()) {
      changed.erase(name);
    } else {
      changed[name] = content;
    }
    return changed;
  };
  const std::string rels = std::string("<Relationships><Relationship Id=\"rId1\" Type=\"") + XlsxFixture::kRel;
  ReadFailing(with("xl/workbook.xml", ""), FileErrorKind::kNotWorkbook, "holds no workbook part");
  ReadFailing(with("xl/_rels/workbook.xml.rels", ""), FileErrorKind::kMissingPart, "relationships are missing");
  ReadFailing(with("xl/worksheets/sheet1.xml", ""), FileErrorKind::kMissingPart,
              "sheet \"S\": the sheet's part xl/worksheets/sheet1.xml is missing");
  ReadFailing(with("xl/sharedStrings.xml", ""), FileErrorKind::kMissingPart, "shared strings part is missing");
  ReadFailing(with("xl/workbook.xml", std::string("<workbook xmlns:r=\"") + XlsxFixture::kRel +
                                          "\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId9\"/></sheets></workbook>"),
              FileErrorKind::kMissingPart, "no relationship");
  ReadFailing(with("xl/workbook.xml", "<workbook><sheets/></workbook>"), FileErrorKind::kMalformed, "lists no worksheet");
  ReadFailing(with("xl/_rels/workbook.xml.rels", rels + "/worksheet\" Target=\"../../../etc/passwd\"/></Relationships>"),
              FileErrorKind::kMalformed, "lies outside the package");
}

TEST(XlsxReader, ChartSheetsAreSkippedAndAbsoluteTargetsResolved) {
  XlsxFixture f;
  auto members = f.Sheet("Data", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>").Members();
  members["xl/workbook.xml"] = std::string("<workbook xmlns:r=\"") + XlsxFixture::kRel +
                               "\"><sheets><sheet name=\"Chart1\" sheetId=\"2\" r:id=\"rId2\"/>"
                               "<sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
  members["xl/_rels/workbook.xml.rels"] =
      std::string("<Relationships><Relationship Id=\"rId1\" Type=\"") + XlsxFixture::kRel +
      "/worksheet\" Target=\"/xl/worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" + XlsxFixture::kRel +
      "/chartsheet\" Target=\"chartsheets/sheet1.xml\"/></Relationships>";
  members.erase("_rels/.rels");  // without package relationships the usual workbook name is used
  TempDir dir;
  testing::WriteZip(dir / "book.xlsx", members);
  CollectingSink sink;
  XlsxReader::ReadFile(dir / "book.xlsx", sink);
  ASSERT_EQ(sink.sheets.size(), 1u);
  EXPECT_EQ(sink.sheets[0].name, "Data");
}

TEST(XlsxReader, NotAZipTruncatedEmptyOrAbsent) {
  TempDir dir;
  ExpectReadFails(dir.Write("csv.xlsx", "a,b\n1,2\n"), FileErrorKind::kNotWorkbook, "not a zip archive");
  ExpectReadFails(dir.Write("empty.xlsx", ""), FileErrorKind::kEmpty, "empty");
  ExpectReadFails(dir / "absent.xlsx", FileErrorKind::kOpen, "cannot open");
  testing::WriteZip(dir / "plain.xlsx", {{"readme.txt", "hello"}});
  ExpectReadFails(dir / "plain.xlsx", FileErrorKind::kNotWorkbook, "no workbook part");
  XlsxFixture().Sheet("S", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>").Write(dir / "whole.xlsx");
  const std::string bytes = testing::ReadAll(dir / "whole.xlsx");
  ExpectReadFails(dir.Write("cut.xlsx", bytes.substr(0, bytes.size() - 10)), FileErrorKind::kNotWorkbook, "");
}

TEST(XlsxReader, BoundsOnInflatedBytesAndCells) {
  // A sheet of 8 MB of blanks deflates to a few KB: a small bomb.
  XlsxFixture f;
  f.Sheet("S", std::string(8 << 20, ' ') + "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
  XlsxReadLimits tight;
  tight.maxPartBytes = 1 << 20;
  ReadFailing(f, FileErrorKind::kLimit, "larger than the reader's bound of 1048576 bytes", tight);
  XlsxReadLimits total;
  total.maxTotalBytes = 4 << 20;
  ReadFailing(f, FileErrorKind::kLimit, "larger than the reader's bound", total);

  XlsxFixture g;
  g.Sheet("A", "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>2</v></c></row>");
  g.Sheet("B", "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>2</v></c></row>");
  XlsxReadLimits cells;
  cells.maxCells = 3;
  ReadFailing(g, FileErrorKind::kLimit, "sheet \"B\", cell B1: the workbook holds more cells than the reader's bound", cells);
  cells.maxCells = 4;
  EXPECT_EQ(Read(g, cells).sheets.size(), 2u);
  // Empty shared strings cost 32 bytes of memory for every 5 bytes of XML: the table's
  // memory, not only its inflated bytes, is bounded.
  XlsxFixture h;
  h.SharedStrings(std::vector<std::string>(40'000, "")).Sheet("S", "");  // 360 KB of XML, 1.28 MB of strings
  ReadFailing(h, FileErrorKind::kLimit,
              "part xl/sharedStrings.xml: the shared strings need more than the reader's bound of 1048576 bytes of memory",
              tight);
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
    EXPECT_EQ(XlsxPackage::ResolveTarget(source, target, out), !expected.empty()) << target;
    if (!expected.empty()) {
      EXPECT_EQ(out, expected);
    }
  }
}

}  // namespace
}  // namespace dez::io
