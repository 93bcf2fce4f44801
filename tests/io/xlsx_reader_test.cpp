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

TEST(XlsxReader, ValuesOfEveryType) {
  XlsxFixture f;
  f.SharedStrings({"<t>plain</t>", "<r><t>rich </t></r><r><rPr><b/></rPr><t>text</t></r>",
                   "<t>base</t><rPh sb=\"0\" eb=\"1\"><t>phonetic</t></rPh>", "<t xml:space=\"preserve\">  sp  </t>",
                   "<t>a&amp;b &lt;c&gt; &#x2502;</t>", "<t>line_x000D__x000A_break _x005F_x0041_</t>"});
  f.Sheet("Data",
          "<row r=\"1\">"
          "<c r=\"A1\"><v>1.5</v></c>"
          "<c r=\"B1\" t=\"n\"><v>-2E-3</v></c>"
          "<c r=\"C1\" t=\"s\"><v>0</v></c>"
          "<c r=\"D1\" t=\"s\"><v>1</v></c>"
          "<c r=\"E1\" t=\"s\"><v>2</v></c>"
          "<c r=\"F1\" t=\"s\"><v>3</v></c>"
          "<c r=\"G1\" t=\"s\"><v>4</v></c>"
          "<c r=\"H1\" t=\"s\"><v>5</v></c>"
          "</row><row r=\"2\">"
          "<c r=\"A2\" t=\"inlineStr\"><is><t>inline</t></is></c>"
          "<c r=\"B2\" t=\"inlineStr\"><is><r><t>in</t></r><r><t>line runs</t></r></is></c>"
          "<c r=\"C2\" t=\"b\"><v>1</v></c>"
          "<c r=\"D2\" t=\"b\"><v>0</v></c>"
          "<c r=\"E2\" t=\"e\"><v>#DIV/0!</v></c>"
          "<c r=\"F2\" t=\"e\"><v>#N/A</v></c>"
          "<c r=\"G2\" t=\"e\"><v>#SPILL!</v></c>"
          "<c r=\"H2\" t=\"str\"><f>A1&amp;\"x\"</f><v>1.5x</v></c>"
          "</row><row r=\"3\">"
          "<c r=\"A3\"><f>A1*2</f><v>3</v></c>"
          "<c r=\"B3\" t=\"str\"><f>#REF!</f><v>#REF!</v></c>"
          "<c r=\"C3\"><f> =#NUM! </f><v>0</v></c>"
          "<c r=\"D3\" s=\"1\"/>"
          "<c r=\"E3\"><v></v></c>"
          "<c r=\"F3\"><f>NOW()</f></c>"
          "<c r=\"G3\" t=\"d\"><v>2024-01-31T00:00:00</v></c>"
          "<c r=\"H3\" t=\"b\"><v>true</v></c>"
          "</row>");
  const CollectingSink sink = Read(f);
  ASSERT_EQ(sink.sheets.size(), 1u);
  const auto& s = sink.sheets[0];
  EXPECT_EQ(s.name, "Data");
  EXPECT_TRUE(s.complete);
  EXPECT_EQ(s.At(1, 1), Variant(1.5));
  EXPECT_EQ(s.At(1, 2), Variant(-0.002));
  EXPECT_EQ(s.At(1, 3), Variant("plain"));
  EXPECT_EQ(s.At(1, 4), Variant("rich text"));
  EXPECT_EQ(s.At(1, 5), Variant("base"));
  EXPECT_EQ(s.At(1, 6), Variant("  sp  "));
  EXPECT_EQ(s.At(1, 7), Variant("a&b <c> \xE2\x94\x82"));
  EXPECT_EQ(s.At(1, 8), Variant("line\r\nbreak _x0041_"));
  EXPECT_EQ(s.At(2, 1), Variant("inline"));
  EXPECT_EQ(s.At(2, 2), Variant("inline runs"));
  EXPECT_EQ(s.At(2, 3), Variant(true));
  EXPECT_EQ(s.At(2, 4), Variant(false));
  EXPECT_EQ(s.At(2, 5), Variant(CellError{2007}));
  EXPECT_EQ(s.At(2, 6), Variant(CellError{2042}));
  EXPECT_EQ(s.At(2, 7), Variant("#SPILL!"));  // an error this host does not know stays text
  EXPECT_EQ(s.At(2, 8), Variant("1.5x"));
  EXPECT_EQ(s.At(3, 1), Variant(3.0));
  EXPECT_EQ(s.At(3, 2), Variant(CellError{2023}));
  EXPECT_EQ(s.At(3, 3), Variant(CellError{2036}));
  EXPECT_EQ(s.cells.count({3, 4}), 0u);  // formatted but empty
  EXPECT_EQ(s.cells.count({3, 5}), 0u);
  EXPECT_EQ(s.cells.count({3, 6}), 0u);  // formula without a stored result
  EXPECT_EQ(s.At(3, 7), Variant("2024-01-31T00:00:00"));
  EXPECT_EQ(s.At(3, 8), Variant(true));
  EXPECT_EQ(s.cells.size(), 21u);
}

TEST(XlsxReader, SheetsInWorkbookOrderWithTheirNames) {
  XlsxFixture f;
  f.Sheet("Zeta", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
  f.Sheet("Alpha &amp; Co", "<row r=\"2\"><c r=\"B2\"><v>2</v></c></row>");
  f.Sheet("Empty", "");
  const CollectingSink sink = Read(f);
  ASSERT_EQ(sink.sheets.size(), 3u);
  EXPECT_EQ(sink.sheets[0].name, "Zeta");
  EXPECT_EQ(sink.sheets[1].name, "Alpha & Co");
  EXPECT_EQ(sink.sheets[2].name, "Empty");
  EXPECT_EQ(sink.sheets[1].At(2, 2), Variant(2.0));
  EXPECT_TRUE(sink.sheets[2].cells.empty());
}

TEST(XlsxReader, MissingReferencesFollowThePreviousCellAndRow) {
  XlsxFixture f;
  f.Sheet("S",
          "<row><c><v>1</v></c><c><v>2</v></c></row>"                   // row 1: A1, B1
          "<row r=\"4\"><c r=\"C4\"><v>3</v></c><c><v>4</v></c></row>"  // C4, D4
          "<row><c><v>5</v></c></row>");                                // row 5: A5
  const CollectingSink sink = Read(f);
  const auto& s = sink.sheets[0];
  EXPECT_EQ(s.At(1, 1), Variant(1.0));
  EXPECT_EQ(s.At(1, 2), Variant(2.0));
  EXPECT_EQ(s.At(4, 3), Variant(3.0));
  EXPECT_EQ(s.At(4, 4), Variant(4.0));
  EXPECT_EQ(s.At(5, 1), Variant(5.0));
  EXPECT_EQ(s.cells.size(), 5u);
}

TEST(XlsxReader, NamespacePrefixesAreIgnored) {
  XlsxFixture f;
  f.RawSheet("P", std::string("<x:worksheet xmlns:x=\"") + XlsxFixture::kMain +
                      "\"><x:sheetData><x:row r=\"1\"><x:c r=\"B1\" t=\"inlineStr\"><x:is><x:t>p</x:t></x:is></x:c>"
                      "</x:row></x:sheetData></x:worksheet>");
  EXPECT_EQ(Read(f).sheets[0].At(1, 2), Variant("p"));
}

TEST(XlsxReader, HugeClaimedDimensionCostsNothing) {
  XlsxFixture f;
  f.RawSheet("Big", std::string("<worksheet xmlns=\"") + XlsxFixture::kMain +
                        "\"><dimension ref=\"A1:XFD1048576\"/><sheetData><row r=\"1048576\" spans=\"1:16384\">"
                        "<c r=\"XFD1048576\"><v>7</v></c></row></sheetData></worksheet>");
  const CollectingSink sink = Read(f);
  EXPECT_EQ(sink.sheets[0].At(1'048'576, 16'384), Variant(7.0));
  EXPECT_EQ(sink.sheets[0].cells.size(), 1u);
}

TEST(XlsxReader, ReferencesBeyondTheSheetAreRefused) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>", "\"XFE1\" lies beyond"},
      {"<row r=\"1\"><c r=\"A1048577\"><v>1</v></c></row>", "\"A1048577\" lies beyond"},
      {"<row r=\"1\"><c r=\"A99999999999999999999\"><v>1</v></c></row>", "lies beyond"},
      {"<row r=\"1048577\"><c><v>1</v></c></row>", "row number \"1048577\" lies beyond"},
      {"<row r=\"1\"><c r=\"A0\"><v>1</v></c></row>", "\"A0\" lies beyond"},
  };
  for (const auto& [data, fragment] : cases) {
    SCOPED_TRACE(data);
    XlsxFixture f;
    f.Sheet("Lim", data);
    const FileError e = ReadFailing(f, FileErrorKind::kLimit, fragment);
    EXPECT_NE(e.description.find("sheet \"Lim\""), std::string::npos) << e.description;
  }
  // Without references, positions past the last column or row are refused as well.
  std::string wide = "<row r=\"1\"><c r=\"XFD1\"><v>1</v></c><c><v>2</v></c></row>";
  XlsxFixture f;
  f.Sheet("Wide", wide);
  ReadFailing(f, FileErrorKind::kLimit, "more than 16,384 cells in a row");
  XlsxFixture g;
  g.Sheet("Tall", "<row r=\"1048576\"/><row><c><v>1</v></c></row>");
  ReadFailing(g, FileErrorKind::kLimit, "more than 1,048,576 rows");
}

TEST(XlsxReader, MalformedValuesNameTheCell) {
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"<row r=\"1\"><c r=\"1A\"><v>1</v></c></row>", "cell reference \"1A\" is malformed", "sheet \"M\""},
      {"<row r=\"2\"><c r=\"B2\"><v>12abc</v></c></row>", "number \"12abc\" is malformed", "cell B2"},
      {"<row r=\"2\"><c r=\"C2\"><v>inf</v></c></row>", "number \"inf\" is malformed", "cell C2"},
      {"<row r=\"3\"><c r=\"A3\" t=\"b\"><v>2</v></c></row>", "Boolean value \"2\" is malformed", "cell A3"},
      {"<row r=\"3\"><c r=\"D3\" t=\"s\"><v>x</v></c></row>", "shared string index \"x\" is malformed", "cell D3"},
      {"<row r=\"3\"><c r=\"E3\" t=\"zz\"><v>1</v></c></row>", "unknown cell type \"zz\"", "cell E3"},
      {"<row r=\"x\"/>", "row number \"x\" is not a number", "sheet \"M\""},
  };
  for (const auto& [data, fragment, where] : cases) {
    SCOPED_TRACE(data);
    XlsxFixture f;
    f.Sheet("M", data);
    const FileError e = ReadFailing(f, FileErrorKind::kMalformed, fragment);
    EXPECT_NE(e.description.find(where), std::string::npos) << e.description;
  }
}

TEST(XlsxReader, SharedStringIndexOutOfRange) {
  XlsxFixture f;
  f.SharedStrings({"<t>only</t>"});
  f.Sheet("S", "<row r=\"7\"><c r=\"B7\" t=\"s\"><v>9</v></c></row>");
  const FileError e = ReadFailing(f, FileErrorKind::kMalformed, "shared string index 9 out of range (1 strings)");
  const std::string expected = "book.xlsx: sheet \"S\", cell B7: shared string index 9 out of range (1 strings)";
  ASSERT_GE(e.description.size(), expected.size());
  EXPECT_EQ(e.description.substr(e.description.size() - expected.size()), expected);
}

TEST(XlsxReader, SharedStringWithoutATable) {
  XlsxFixture f;
  f.Sheet("S", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>");
  ReadFailing(f, FileErrorKind::kMalformed, "out of range (0 strings)");
  XlsxFixture g;
  g.Sheet("S", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>99999999999999999999999</v></c></row>");
  ReadFailing(g, FileErrorKind::kMalformed, "out of range");
}

TEST(XlsxReader, DoctypeAndEntityBombsAreRefused) {
  const std::string bomb =
      "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">"
      "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">"
      "<!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">]>";
  {
    XlsxFixture f;
    f.RawSheet("Bomb", bomb +
                           "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&lol3;</t></is></c></row>"
                           "</sheetData></worksheet>");
    const FileError e = ReadFailing(f, FileErrorKind::kHostile, "DOCTYPE");
    EXPECT_NE(e.description.find("sheet \"Bomb\""), std::string::npos);
  }
  {
    XlsxFixture f;
    f.SharedStrings({"<t>x</t>"});
    auto members = f.Sheet("S", "").Members();
    members["xl/sharedStrings.xml"] = bomb + "<sst><si><t>&lol3;</t></si></sst>";
    ReadFailing(members, FileErrorKind::kHostile, "part xl/sharedStrings.xml");
  }
  {
    // An external entity never gets the chance to be fetched.
    XlsxFixture f;
    auto members = f.Sheet("S", "").Members();
    members["xl/workbook.xml"] =
        "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><workbook/>";
    TempDir dir;
    testing::WriteZip(dir / "book.xlsx", members);
    CollectingSink sink;
    EXPECT_THROW(XlsxReader::ReadFile(dir / "book.xlsx", sink), FileError);
  }
}

TEST(XlsxReader, UndefinedEntityAndBrokenXmlAreMalformed) {
  XlsxFixture f;
  f.Sheet("S", "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&nope;</t></is></c></row>");
  ReadFailing(f, FileErrorKind::kMalformed, "malformed XML");
  XlsxFixture g;
  g.Sheet("T", "<row r=\"1\"><c r=\"A1\"><v>1</v></row>");
  const FileError e = ReadFailing(g, FileErrorKind::kMalformed, "mismatched tag");
  EXPECT_NE(e.description.find("sheet \"T\""), std::string::npos);
  XlsxFixture h;
  h.RawSheet("U", "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c>");  // cut short
  ReadFailing(h, FileErrorKind::kMalformed, "malformed XML");
}

TEST(XlsxReader, MissingParts) {
  const auto expect = [](const std::map<std::string, std::string>& members, FileErrorKind kind,
                         const std::string& fragment) { ReadFailing(members, kind, fragment); };
  XlsxFixture f;
  f.SharedStrings({"<t>s</t>"}).Sheet("S", "");
  auto members = f.Members();

  auto noWorkbook = members;
  noWorkbook.erase("xl/workbook.xml");
  expect(noWorkbook, FileErrorKind::kNotWorkbook, "holds no workbook part");

  auto noRels = members;
  noRels.erase("xl/_rels/workbook.xml.rels");
  expect(noRels, FileErrorKind::kMissingPart, "relationships are missing");

  auto noSheet = members;
  noSheet.erase("xl/worksheets/sheet1.xml");
  expect(noSheet, FileErrorKind::kMissingPart, "sheet \"S\": the sheet's part xl/worksheets/sheet1.xml is missing");

  auto noStrings = members;
  noStrings.erase("xl/sharedStrings.xml");
  expect(noStrings, FileErrorKind::kMissingPart, "shared strings part is missing");

  auto badRel = members;
  badRel["xl/workbook.xml"] = std::string("<workbook xmlns:r=\"") + XlsxFixture::kRel +
                              "\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId9\"/></sheets></workbook>";
  expect(badRel, FileErrorKind::kMissingPart, "no relationship");

  auto noSheets = members;
  noSheets["xl/workbook.xml"] = "<workbook><sheets/></workbook>";
  expect(noSheets, FileErrorKind::kMalformed, "lists no worksheet");

  auto escape = members;
  escape["xl/_rels/workbook.xml.rels"] = std::string("<Relationships><Relationship Id=\"rId1\" Type=\"") +
                                         XlsxFixture::kRel +
                                         "/worksheet\" Target=\"../../../etc/passwd\"/></Relationships>";
  expect(escape, FileErrorKind::kMalformed, "lies outside the package");

  // Without package relationships the usual workbook name is used.
  auto noPackageRels = members;
  noPackageRels.erase("_rels/.rels");
  TempDir dir;
  testing::WriteZip(dir / "book.xlsx", noPackageRels);
  CollectingSink sink;
  XlsxReader::ReadFile(dir / "book.xlsx", sink);
  EXPECT_EQ(sink.sheets.size(), 1u);
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
  TempDir dir;
  testing::WriteZip(dir / "book.xlsx", members);
  CollectingSink sink;
  XlsxReader::ReadFile(dir / "book.xlsx", sink);
  ASSERT_EQ(sink.sheets.size(), 1u);
  EXPECT_EQ(sink.sheets[0].name, "Data");
}

TEST(XlsxReader, NotAZipTruncatedCorruptEmpty) {
  TempDir dir;
  const auto expect = [](const std::filesystem::path& file, FileErrorKind kind, const std::string& fragment) {
    ExpectReadFails(file, kind, fragment);
  };
  expect(dir.Write("csv.xlsx", "a,b\n1,2\n"), FileErrorKind::kNotWorkbook, "not a zip archive");
  expect(dir.Write("empty.xlsx", ""), FileErrorKind::kEmpty, "empty");
  expect(dir / "absent.xlsx", FileErrorKind::kOpen, "cannot open");

  // A plain zip that is no workbook.
  testing::WriteZip(dir / "plain.xlsx", {{"readme.txt", "hello"}});
  expect(dir / "plain.xlsx", FileErrorKind::kNotWorkbook, "no workbook part");

  // A real workbook cut short, and one with a damaged sheet stream.
  XlsxFixture f;
  std::string rows;
  for (int r = 1; r <= 3000; ++r) {
    rows += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) + "\"><v>" +
            std::to_string(r * 7919 % 10007) + "</v></c></row>";
  }
  f.Sheet("S", rows);
  f.Write(dir / "whole.xlsx");
  const std::string bytes = testing::ReadAll(dir / "whole.xlsx");
  for (const std::size_t keep : {bytes.size() / 2, bytes.size() - 10, std::size_t{30}}) {
    expect(dir.Write("cut.xlsx", bytes.substr(0, keep)), FileErrorKind::kNotWorkbook, "");
  }
  // The sheet is the largest member, written last but for the workbook parts; damage the
  // middle of the file, which lies in its compressed stream.
  std::string damaged = bytes;
  for (std::size_t i = damaged.size() / 3; i < damaged.size() / 3 + 64; ++i)
    damaged[i] = static_cast<char>(~damaged[i]);
  CollectingSink sink;
  const FileError e =
      test::ErrorOf<FileError>([&] { XlsxReader::ReadFile(dir.Write("damaged.xlsx", damaged), sink); });
  EXPECT_TRUE(e.kind == FileErrorKind::kNotWorkbook || e.kind == FileErrorKind::kMalformed) << e.description;
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
  const FileError e = ReadFailing(g, FileErrorKind::kLimit, "more cells than the reader's bound", cells);
  EXPECT_NE(e.description.find("sheet \"B\", cell B1"), std::string::npos) << e.description;
  cells.maxCells = 4;
  EXPECT_EQ(Read(g, cells).sheets.size(), 2u);
}

TEST(XlsxPackage, ResolveTarget) {
  const std::vector<std::tuple<std::string, std::string, std::string>> ok = {
      {"xl/workbook.xml", "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
      {"xl/workbook.xml", "/xl/worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
      {"xl/workbook.xml", "./worksheets/../worksheets/s.xml", "xl/worksheets/s.xml"},
      {"xl/workbook.xml", "../other/book.xml", "other/book.xml"},
      {"", "xl/workbook.xml", "xl/workbook.xml"},
  };
  for (const auto& [source, target, expected] : ok) {
    std::string out;
    EXPECT_TRUE(XlsxPackage::ResolveTarget(source, target, out)) << target;
    EXPECT_EQ(out, expected);
  }
  std::string out;
  EXPECT_FALSE(XlsxPackage::ResolveTarget("xl/workbook.xml", "../../x.xml", out));
  EXPECT_FALSE(XlsxPackage::ResolveTarget("", "..", out));
  EXPECT_FALSE(XlsxPackage::ResolveTarget("", "", out));
}

}  // namespace
}  // namespace dez::io
