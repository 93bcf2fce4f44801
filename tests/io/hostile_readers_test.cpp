// Every input the readers refuse, opened as the command line opens its input: broken,
// mislabelled or hostile files, and inputs built to exhaust memory. Each must end in a
// FileError (1004) of the right kind and source whose description names the file and
// ends with the right message, in bounded memory, leaving no workbook open.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "io/file_error.h"
#include "io/workbook_reader.h"
#include "temp_dir.h"
#include "tests/support/error_of.h"
#include "xlsx_fixture.h"

namespace dez::io {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::XlsxFixture;

/// The bytes of a zip archive of `members`.
std::string Zip(const std::map<std::string, std::string>& members) {
  TempDir dir;
  testing::WriteZip(dir / "z.zip", members);
  return testing::ReadAll(dir / "z.zip");
}
/// A workbook of one sheet "M" with `sheetData` and a shared-string table of one item.
std::string Xlsx(const std::string& sheetData) {
  return Zip(XlsxFixture().SharedStrings({"<t>only</t>"}).Sheet("M", sheetData).Members());
}
/// The parts of a workbook of one empty sheet "S", with `part` replaced (removed when
/// `content` is empty).
std::string Changed(const std::string& part, const std::string& content) {
  auto members = XlsxFixture().SharedStrings({"<t>s</t>"}).Sheet("S", "").Members();
  members.erase(part);
  if (!content.empty()) members[part] = content;
  return Zip(members);
}
const std::string kRels = std::string("<Relationships><Relationship Id=\"rId1\" Type=\"") + XlsxFixture::kRel;
const std::string kNoWorkbook = ": not an XLSX workbook: the archive holds no workbook part";
const std::string kNotZip = ": not an XLSX workbook: not a zip archive, or a truncated one";
const std::string kCell = "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";

struct Refused {
  std::string file;  // its name; made with `bytes` unless `make` makes it
  std::string bytes;
  FileErrorKind kind;
  std::string message;  // the end of the description
  std::function<std::shared_ptr<void>(const fs::path&)> make = nullptr;  // returns what keeps it alive
  std::uint64_t XlsxReadLimits::*bound = nullptr;  // a reader's bound set to `value`
  std::uint64_t value = 0;
};

TEST(HostileReaders, FailWithTheirMessageInBoundedMemoryLeavingNothingOpen) {
  const std::string big(8 << 20, ' ');  // 8 MB of blanks deflate to a few KB: a small bomb
  const Refused cases[] = {
      // CSV files.
      {"bad.csv", "a,b\n\xFF\n", FileErrorKind::kEncoding,
       ": row 2, column 1: invalid UTF-8 (byte 0xFF at offset 0 of the field)"},
      {"empty.csv", "", FileErrorKind::kEmpty, ": the file is empty"},
      {"bom.csv", "\xEF\xBB\xBF", FileErrorKind::kEmpty, ": the file is empty"},
      {"absent.csv", "", FileErrorKind::kOpen, "absent.csv: cannot open: No such file or directory",
       [](const fs::path&) { return nullptr; }},
      {"folder.csv", "", FileErrorKind::kOpen, "folder.csv: is a directory",
       [](const fs::path& p) { return fs::create_directory(p), nullptr; }},
      {"zero.csv", "", FileErrorKind::kEncoding, ": row 1, column 1: NUL byte in a field; this is not a text file",
       [](const fs::path& p) { return fs::create_symlink("/dev/zero", p), nullptr; }},
      {"endless.csv", "", FileErrorKind::kLimit,
       ": row 1, column 1: a field longer than 32,767 characters (the cell limit)",
       [](const fs::path& p) {  // a pipe that never ends, whose writer ends when it is closed
         FILE* endless = ::popen("yes b | tr -d '\\n'", "r");
         fs::create_symlink("/dev/fd/" + std::to_string(fileno(endless)), p);
         return std::shared_ptr<void>(endless, ::pclose);
       }},
      {"notes.txt", "x", FileErrorKind::kUnsupported,
       ": unsupported file type \".txt\" (expected .csv, .tsv or .xlsx)"},
      // Files that are no workbook.
      {"csv.xlsx", "a,b\n1,2\n", FileErrorKind::kNotWorkbook, kNotZip},
      {"empty.xlsx", "", FileErrorKind::kEmpty, ": the file is empty"},
      {"absent.xlsx", "", FileErrorKind::kOpen, "absent.xlsx: cannot open: No such file or directory",
       [](const fs::path&) { return nullptr; }},
      {"plain.xlsx", Zip({{"readme.txt", "hello"}}), FileErrorKind::kNotWorkbook, kNoWorkbook},
      {"cut.xlsx", Xlsx(kCell).substr(0, 200), FileErrorKind::kNotWorkbook, kNotZip},
      // Missing or misplaced parts.
      {"m.xlsx", Changed("xl/workbook.xml", ""), FileErrorKind::kNotWorkbook, kNoWorkbook},
      {"m.xlsx", Changed("xl/_rels/workbook.xml.rels", ""), FileErrorKind::kMissingPart,
       ": the workbook's relationships are missing"},
      {"m.xlsx", Changed("xl/worksheets/sheet1.xml", ""), FileErrorKind::kMissingPart,
       "sheet \"S\": the sheet's part xl/worksheets/sheet1.xml is missing"},
      {"m.xlsx", Changed("xl/sharedStrings.xml", ""), FileErrorKind::kMissingPart,
       ": the shared strings part is missing"},
      {"m.xlsx",
       Changed("xl/workbook.xml", std::string("<workbook xmlns:r=\"") + XlsxFixture::kRel +
                                      "\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId9\"/></sheets></workbook>"),
       FileErrorKind::kMissingPart, "sheet \"S\": the sheet has no relationship to its part"},
      {"m.xlsx", Changed("xl/workbook.xml", "<workbook><sheets/></workbook>"), FileErrorKind::kMalformed,
       "lists no worksheet"},
      {"m.xlsx",
       Changed("xl/_rels/workbook.xml.rels", kRels + "/worksheet\" Target=\"../../../etc/passwd\"/></Relationships>"),
       FileErrorKind::kMalformed, "lies outside the package"},
      {"names.xlsx", Zip(XlsxFixture().Sheet("bad[name]", "").Members()), FileErrorKind::kMalformed,
       "sheet \"bad[name]\": the sheet cannot be opened: 'bad[name]' cannot name a sheet: a sheet name "
       "cannot hold : \\ / ? * [ or ]"},
      {"twice.xlsx", Zip(XlsxFixture().Sheet("Same", "").Sheet("same", "").Members()), FileErrorKind::kMalformed,
       "sheet \"same\": the sheet cannot be opened: 'same' cannot name a sheet: that name is already taken"},
      // Bad sheets name the sheet and, where they can, the cell.
      {"b.xlsx", Xlsx("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"), FileErrorKind::kLimit,
       "sheet \"M\": cell reference \"XFE1\" lies beyond the sheet's 1,048,576 rows x 16,384 columns"},
      {"b.xlsx", Xlsx("<row r=\"1048577\"><c><v>1</v></c></row>"), FileErrorKind::kLimit,
       "sheet \"M\": row number \"1048577\" lies beyond the sheet's 1,048,576 rows"},
      {"b.xlsx", Xlsx("<row r=\"1\"><c r=\"XFD1\"><v>1</v></c><c><v>2</v></c></row>"), FileErrorKind::kLimit,
       "sheet \"M\", cell XFD1: more than 16,384 cells in a row"},
      {"b.xlsx", Xlsx("<row r=\"1048576\"/><row><c><v>1</v></c></row>"), FileErrorKind::kLimit,
       "sheet \"M\", row 1048576: more than 1,048,576 rows"},
      {"b.xlsx", Xlsx("<row r=\"1\"><c r=\"1A\"><v>1</v></c></row>"), FileErrorKind::kMalformed,
       "sheet \"M\": cell reference \"1A\" is malformed"},
      {"b.xlsx", Xlsx("<row r=\"2\"><c r=\"B2\"><v>12abc</v></c></row>"), FileErrorKind::kMalformed,
       "sheet \"M\", cell B2: number \"12abc\" is malformed"},
      {"b.xlsx", Xlsx("<row r=\"3\"><c r=\"A3\" t=\"b\"><v>2</v></c></row>"), FileErrorKind::kMalformed,
       "sheet \"M\", cell A3: Boolean value \"2\" is malformed"},
      {"b.xlsx", Xlsx("<row r=\"3\"><c r=\"D3\" t=\"s\"><v>x</v></c></row>"), FileErrorKind::kMalformed,
       "sheet \"M\", cell D3: shared string index \"x\" is malformed"},
      {"b.xlsx", Xlsx("<row r=\"7\"><c r=\"B7\" t=\"s\"><v>1</v></c></row>"), FileErrorKind::kMalformed,
       "sheet \"M\", cell B7: shared string index 1 out of range (1 strings)"},
      {"b.xlsx", Zip(XlsxFixture().Sheet("S", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>").Members()),
       FileErrorKind::kMalformed, "sheet \"S\", cell A1: shared string index 0 out of range (0 strings)"},
      {"b.xlsx", Xlsx("<row r=\"3\"><c r=\"E3\" t=\"zz\"><v>1</v></c></row>"), FileErrorKind::kMalformed,
       "sheet \"M\", cell E3: unknown cell type \"zz\""},
      {"b.xlsx", Xlsx("<row r=\"x\"/>"), FileErrorKind::kMalformed, "sheet \"M\": row number \"x\" is not a number"},
      {"b.xlsx", Xlsx("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&nope;</t></is></c></row>"),
       FileErrorKind::kMalformed, "sheet \"M\": malformed XML at line 1, column 131: undefined entity"},
      {"b.xlsx", Xlsx("<row r=\"1\"><c r=\"A1\"><v>1</v></row>"), FileErrorKind::kMalformed, "mismatched tag"},
      {"b.xlsx", Xlsx("<row r=\"1\"><c r=\"A1\"><v>7</v><v>8</v></c></row>"), FileErrorKind::kMalformed,
       "sheet \"M\", cell A1: the cell holds more than one value"},
      // Hostile sheets and bounds.
      {"bomb.xlsx",  // refused before any entity is expanded
       Zip(XlsxFixture().RawSheet("X", "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"a\"><!ENTITY b \"&a;&a;\">]>"
                                       "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&b;</t></is></c></row>"
                                       "</sheetData></worksheet>").Members()),
       FileErrorKind::kHostile, "sheet \"X\": DOCTYPE declarations are refused (no workbook part has one)"},
      {"deep.xlsx", Xlsx([] {  // 255 elements nested in one another
         std::string deep;
         for (int i = 0; i < 255; ++i) deep = "<x>" + deep + "</x>";
         return kCell + deep;
       }()), FileErrorKind::kLimit,
       "sheet \"M\": elements nest more than 256 deep"},  // 257 with the worksheet and its sheetData
      {"big.xlsx", Xlsx(big + kCell), FileErrorKind::kLimit, "larger than the reader's bound of 1048576 bytes",
       nullptr, &XlsxReadLimits::maxPartBytes, 1 << 20},
      {"big.xlsx", Xlsx(big + kCell), FileErrorKind::kLimit,
       "part xl/worksheets/sheet1.xml: part is larger than the reader's bound of 4194207 bytes",
       nullptr, &XlsxReadLimits::maxTotalBytes, 4 << 20},
      {"cells.xlsx", Zip(XlsxFixture().Sheet("A", kCell).Sheet("B", kCell + kCell).Members()), FileErrorKind::kLimit,
       "sheet \"B\", cell A1: the workbook holds more cells than the reader's bound",
       nullptr, &XlsxReadLimits::maxCells, 2},
      // Empty shared strings cost 32 bytes of memory for every 5 bytes of XML: the
      // table's memory, not only its inflated bytes, is bounded.
      {"sst.xlsx", Zip(XlsxFixture().SharedStrings(std::vector<std::string>(40'000, "")).Sheet("S", "").Members()),
       FileErrorKind::kLimit,
       "part xl/sharedStrings.xml: the shared strings need more than the reader's bound of 1048576 bytes of memory",
       nullptr, &XlsxReadLimits::maxPartBytes, 1 << 20},
  };
  for (const Refused& c : cases) {
    SCOPED_TRACE(c.file + ": " + c.message);
    TempDir dir;
    const fs::path file = dir / c.file;
    std::shared_ptr<void> keep = c.make ? c.make(file) : (dir.Write(c.file, c.bytes), nullptr);
    auto app = embedded::EmbeddedApplication::Create();
    const std::size_t open = app->OpenWorkbooks().size();
    XlsxReadLimits limits;
    if (c.bound != nullptr) limits.*c.bound = c.value;
    const FileError e = test::ErrorOf<FileError>([&] { WorkbookReader::Read(*app, file, limits); });
    keep.reset();
    EXPECT_EQ(e.kind, c.kind) << e.description;
    EXPECT_EQ(e.number, kFileErrorNumber);
    EXPECT_EQ(e.source, c.file.ends_with(".xlsx") ? "ReadXlsx" : c.file.ends_with(".csv") ? "ReadCsv" : "ReadWorkbook");
    EXPECT_TRUE(e.description.starts_with(file.string())) << e.description;
    EXPECT_TRUE(e.description.ends_with(c.message)) << e.description;
    EXPECT_EQ(app->OpenWorkbooks().size(), open);
    EXPECT_EQ(app->ActiveBook(), nullptr);
  }
}

}  // namespace
}  // namespace dez::io
