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
  // The extension, in any case, picks the delimiter.
  const auto csv = WorkbookReader::Read(*app, dir.Write("Survey Data.Tsv", "name\tx\r\nA\t1,5\r\nB\t-2.5e1\r\n"));
  EXPECT_EQ(csv->Name(), "Survey Data.Tsv");
  ASSERT_EQ(csv->Sheets().size(), 1u);
  EXPECT_EQ(csv->ActiveSheet()->Name(), "Survey Data");
  EXPECT_EQ(csv->Sheets()[0]->UsedRange(), (embedded::CellBlock{1, 1, 3, 2}));
  EXPECT_EQ(csv->Sheets()[0]->ValueAt(2, 2), Variant("1,5"));
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
  // The same file again is refused and leaves the open workbook alone.
  const FileError e = test::ErrorOf<FileError>([&] { WorkbookReader::Read(*app, dir / "Book.XLSX"); });
  EXPECT_EQ(e.kind, FileErrorKind::kOpen);
  EXPECT_TRUE(e.description.ends_with(": a workbook named \"Book.XLSX\" is already open")) << e.description;
  EXPECT_EQ(app->ActiveBook(), book);
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
