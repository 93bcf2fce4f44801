// The report's cells merged into a user's worksheet part: the user's other bytes stay,
// whatever prefix or implicit positions the part uses; replacing the first cell of a
// shared formula, or adding a chart to a sheet with drawings, is refused.
#include "io/xlsx_sheet_merger.h"

#include <gtest/gtest.h>

#include "io/file_error.h"
#include "tests/support/error_of.h"

namespace dez::io {
namespace {

constexpr const char* kReport =
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)"
    R"(<row r="1"><c r="A1" s="3"><v>9</v></c><c r="B1" s="3"><v>8</v></c></row>)"
    R"(<row r="2"><c r="B2" s="3"><v>7</v></c><c r="C2"><v>6</v></c></row>)"
    R"(<row r="4" ht="9" customHeight="1"><c r="B4" s="4"><v>5</v></c></row></sheetData></worksheet>)";

std::string Merge(const std::string& user, std::string drawing = {}) {
  return MergeReportIntoSheet({user, kReport, embedded::CellBlock{2, 2, 4, 3}, std::move(drawing)}, "f.xlsx", "S",
                              "xl/worksheets/sheet1.xml", "WriteXlsx");
}

TEST(XlsxSheetMerger, ReportCellsJoinTheUsersInOrderAndNothingElseChanges) {
  struct Case {
    const char* user;
    const char* merged;
  };
  const Case cases[] = {
      {R"(<worksheet xmlns="m"><dimension ref="A1:B3"/><sheetData><row r="2" spans="1:4"><c r="A2"><f>1+1</f><v>2</v></c><c r="D2" s="1"/></row>)"
       R"(<row r="3"><c r="A3"><v>1</v></c></row></sheetData><mergeCells count="1"><mergeCell ref="A3:A9"/></mergeCells></worksheet>)",
       R"(<worksheet xmlns="m"><dimension ref="A1:C4"/><sheetData><row r="2"><c r="A2"><f>1+1</f><v>2</v></c><c r="B2" s="3"><v>7</v></c><c r="C2"><v>6</v></c><c r="D2" s="1"/></row>)"
       R"(<row r="3"><c r="A3"><v>1</v></c></row><row r="4" ht="9" customHeight="1"><c r="B4" s="4"><v>5</v></c></row></sheetData><mergeCells count="1"><mergeCell ref="A3:A9"/></mergeCells></worksheet>)"},
      // A prefixed part whose cells and rows carry no positions.
      {R"(<x:worksheet xmlns:x="m"><x:sheetData><x:row><x:c><x:v>1</x:v></x:c><x:c><x:v>2</x:v></x:c></x:row><x:row/><x:row/><x:row r="9"/></x:sheetData></x:worksheet>)",
       R"(<x:worksheet xmlns:x="m"><x:sheetData><x:row><x:c><x:v>1</x:v></x:c><x:c><x:v>2</x:v></x:c></x:row>)"
       R"(<x:row r="2"><c xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" r="B2" s="3"><v>7</v></c><c xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" r="C2"><v>6</v></c></x:row><x:row/>)"
       R"(<row xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" r="4" ht="9" customHeight="1"><c xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" r="B4" s="4"><v>5</v></c></row><x:row r="9"/></x:sheetData></x:worksheet>)"},
      {R"(<worksheet xmlns="m"><sheetData/></worksheet>)",
       R"(<worksheet xmlns="m"><sheetData><row r="2"><c r="B2" s="3"><v>7</v></c><c r="C2"><v>6</v></c></row><row r="4" ht="9" customHeight="1"><c r="B4" s="4"><v>5</v></c></row></sheetData></worksheet>)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Merge(c.user), c.merged) << c.user;
  EXPECT_EQ(Merge(R"(<worksheet xmlns="m"><sheetData/><legacyDrawing r:id="rId1" xmlns:r="r"/></worksheet>)", "rId2"),
            R"(<worksheet xmlns="m"><sheetData><row r="2"><c r="B2" s="3"><v>7</v></c><c r="C2"><v>6</v></c></row><row r="4" ht="9" customHeight="1"><c r="B4" s="4"><v>5</v></c></row></sheetData>)"
            R"(<drawing xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" r:id="rId2"/><legacyDrawing r:id="rId1" xmlns:r="r"/></worksheet>)");
}

TEST(XlsxSheetMerger, RefusesToBreakASharedFormulaOrToStackDrawings) {
  const FileError shared = test::ErrorOf<FileError>([] {
    Merge(R"(<worksheet xmlns="m"><sheetData><row r="2"><c r="B2"><f t="shared" ref="B2:B5" si="0">A2</f></c></row></sheetData></worksheet>)");
  });
  EXPECT_EQ(shared.kind, FileErrorKind::kWrite);
  EXPECT_NE(shared.description.find("first cell of a shared or array formula"), std::string::npos) << shared.description;
  const FileError drawing = test::ErrorOf<FileError>(
      [] { Merge(R"(<worksheet xmlns="m"><sheetData/><drawing r:id="rId1" xmlns:r="r"/></worksheet>)", "rId2"); });
  EXPECT_NE(drawing.description.find("already holds drawings"), std::string::npos) << drawing.description;
}

}  // namespace
}  // namespace dez::io
