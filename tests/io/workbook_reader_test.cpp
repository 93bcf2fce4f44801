#include "io/workbook_reader.h"

#include <gtest/gtest.h>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/range.h"
#include "io/file_error.h"
#include "temp_dir.h"
#include "tests/support/error_of.h"
#include "xlsx_fixture.h"

namespace dez::io {
namespace {

using testing::TempDir;

TEST(WorkbookReader, CsvAndXlsxBecomeTheActiveWorkbook) {
  TempDir dir;
  auto app = embedded::EmbeddedApplication::Create();
  const auto csv = WorkbookReader::Read(*app, dir.Write("Survey Data.CSV", "name,x\r\nA,1\r\nB,-2.5e1\r\n"));
  EXPECT_EQ(csv->Name(), "Survey Data.CSV");
  ASSERT_EQ(csv->Sheets().size(), 1u);
  EXPECT_EQ(csv->ActiveSheet()->Name(), "Survey Data");
  EXPECT_EQ(csv->Sheets()[0]->UsedRange(), (embedded::CellBlock{1, 1, 3, 2}));
  EXPECT_EQ(app->Range("'Survey Data'!B3")->CellValue(), Variant(-25.0));  // the object model sees it too
  testing::XlsxFixture f;
  f.Sheet("First", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
  f.Sheet("Second", "<row r=\"2\"><c r=\"B2\" t=\"inlineStr\"><is><t>two</t></is></c></row>");
  f.Write(dir / "Book.XLSX");
  const auto book = WorkbookReader::Read(*app, dir / "Book.XLSX");
  EXPECT_EQ(app->ActiveBook(), book);
  ASSERT_EQ(book->Sheets().size(), 2u);
  EXPECT_EQ(book->ActiveSheet()->Name(), "First");
  EXPECT_EQ(book->Sheets()[1]->Name(), "Second");
  EXPECT_EQ(book->Sheets()[1]->ValueAt(2, 2), Variant("two"));
}

TEST(WorkbookReader, FailuresLeaveNoWorkbookOpen) {
  TempDir dir;
  auto app = embedded::EmbeddedApplication::Create();
  const std::size_t open = app->OpenWorkbooks().size();
  const auto expect = [&](const std::filesystem::path& file, FileErrorKind kind, const std::string& fragment) {
    const FileError e = test::ErrorOf<FileError>([&] { WorkbookReader::Read(*app, file); });
    EXPECT_EQ(e.kind, kind) << e.description;
    EXPECT_NE(e.description.find(fragment), std::string::npos) << e.description;
    EXPECT_EQ(e.number, 1004);
    EXPECT_EQ(app->OpenWorkbooks().size(), open);
    EXPECT_EQ(app->ActiveBook(), nullptr);
  };
  expect(dir.Write("bad.csv", "a,b\n\xFF\n"), FileErrorKind::kEncoding, "row 2, column 1");
  expect(dir.Write("empty.csv", ""), FileErrorKind::kEmpty, "empty");
  expect(dir.Write("notes.txt", "x"), FileErrorKind::kUnsupported, "unsupported file type \".txt\"");
  // A sheet name the host refuses.
  testing::XlsxFixture f;
  f.Sheet("bad[name]", "");
  f.Write(dir / "names.xlsx");
  expect(dir / "names.xlsx", FileErrorKind::kMalformed, "sheet \"bad[name]\"");
  // A second sheet of the same name.
  testing::XlsxFixture g;
  g.Sheet("Same", "").Sheet("same", "");
  g.Write(dir / "twice.xlsx");
  expect(dir / "twice.xlsx", FileErrorKind::kMalformed, "sheet \"same\"");
}

TEST(WorkbookReader, SameFileTwiceIsRefused) {
  TempDir dir;
  auto app = embedded::EmbeddedApplication::Create();
  const auto file = dir.Write("d.csv", "1\n");
  const auto first = WorkbookReader::Read(*app, file);
  const FileError e = test::ErrorOf<FileError>([&] { WorkbookReader::Read(*app, file); });
  EXPECT_EQ(e.kind, FileErrorKind::kOpen);
  EXPECT_NE(e.description.find("already open"), std::string::npos);
  EXPECT_EQ(app->ActiveBook(), first);  // the open workbook is left alone
}

TEST(WorkbookReader, SheetNamesForFiles) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"/a/b/My Data.tsv", "My Data"},
      {"we[ir]d:na*me?.csv", "we_ir_d_na_me_"},
      {"'quoted'.csv", "quoted"},
      {"\xC3\xA9t\xC3\xA9" + std::string(40, 'x') + ".csv", "\xC3\xA9t\xC3\xA9" + std::string(28, 'x')},
      {"''.csv", "Sheet1"},
  };
  for (const auto& [path, name] : cases) EXPECT_EQ(WorkbookReader::SheetNameForFile(path), name) << path;
}

}  // namespace
}  // namespace dez::io
