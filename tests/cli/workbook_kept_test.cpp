// An .xlsx input keeps everything of the user's workbook: a workbook made with openpyxl
// goes through -o (report on a new sheet) and --output-range into its data sheet; openpyxl
// then reads the same formulas, values, formats, merges, widths, names and sheet states on
// every original sheet, and the report is what a CSV input of the same cells gives.
// Skipped without openpyxl.
#include <gtest/gtest.h>

#include "run_hcluster.h"
#include "tests/support/real_clients.h"
#include "tests/support/needs.h"

namespace dez::cli {
namespace {

using dez::testing::Quote;
using dez::testing::Shell;
using testing::ReadAll;
using testing::RunHcluster;
using testing::TempDir;

constexpr const char* kMakeWorkbook = R"PY(
import csv, sys, openpyxl
from openpyxl.styles import Font, PatternFill
from openpyxl.comments import Comment
from openpyxl.worksheet.datavalidation import DataValidation
from openpyxl.formatting.rule import CellIsRule
from openpyxl.workbook.defined_name import DefinedName
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Stores"
ws["A1"] = "Store sales"
ws["A1"].font = Font(bold=True, size=14)
ws.merge_cells("A1:D1")
ws.append(["Store", "Sales", "Staff", "Area"])
for i in range(20):
    ws.append(["S%02d" % i, 1000 + 137 * i, 3 + i % 5, 50 + 7 * (i % 6)])
    ws.cell(row=3 + i, column=2).number_format = "#,##0"
ws["A23"] = "Total"
ws["B23"] = "=SUM(B3:B22)"
ws["B23"].number_format = "#,##0"
ws["B23"].fill = PatternFill("solid", fgColor="FFFF00")
ws.column_dimensions["A"].width = 18
ws.column_dimensions["B"].width = 12.5
ws.row_dimensions[2].height = 24
ws.freeze_panes = "A3"
ws["A2"].comment = Comment("One row per store", "me")
dv = DataValidation(type="whole", operator="between", formula1="1", formula2="20")
ws.add_data_validation(dv)
dv.add("C3:C22")
ws.conditional_formatting.add("D3:D22", CellIsRule(operator="greaterThan", formula=["70"],
                                                    fill=PatternFill("solid", fgColor="FFC7CE")))
wb.defined_names.append(DefinedName("SalesData", attr_text="Stores!$B$3:$B$22"))
notes = wb.create_sheet("Notes")
notes["A1"] = "Hidden notes"
notes["B1"] = "=Stores!B23*2"
notes.sheet_state = "hidden"
wb.save(sys.argv[1] + "/plain.xlsx")
import zipfile  # a calculation chain, as spreadsheet programs save one
src, dst = zipfile.ZipFile(sys.argv[1] + "/plain.xlsx"), zipfile.ZipFile(sys.argv[1] + "/stores.xlsx", "w")
for item in src.infolist():
    data = src.read(item.filename)
    if item.filename == "[Content_Types].xml":
        data = data.replace(b"</Types>", b'<Override PartName="/xl/calcChain.xml" ContentType="application/'
                            b'vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/></Types>')
    if item.filename == "xl/_rels/workbook.xml.rels":
        data = data.replace(b"</Relationships>", b'<Relationship Id="rId99" Type="http://schemas.openxmlformats.org/'
                            b'officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/></Relationships>')
    dst.writestr(item, data)
dst.writestr("xl/calcChain.xml", '<calcChain xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
             '<c r="B23" i="1"/><c r="B1" i="2"/></calcChain>')
dst.close()
with open(sys.argv[1] + "/Stores.csv", "w", newline="") as f:  # the same cells as CSV
    csv.writer(f).writerows([[c.value for c in row] for row in ws.iter_rows()])
)PY";

// Prints what openpyxl reads of workbook argv[1]: names, then per sheet its state, panes,
// merges, widths, heights, validations, conditional formats and every cell (formula or
// value, number format, font, fill). Only the sheets named in argv[3] (comma-separated),
// and only columns before argv[2] (1-based; 0 for all), and then only the rows that hold
// something there.
constexpr const char* kDump = R"PY(
import sys, openpyxl
from openpyxl.utils import column_index_from_string
wb = openpyxl.load_workbook(sys.argv[1])
before, sheets = int(sys.argv[2]), sys.argv[3].split(",")
print("names", sorted((n.name, n.attr_text) for n in wb.defined_names.definedName))
for ws in wb.worksheets:
    if ws.title not in sheets: continue
    print("sheet", ws.title, ws.sheet_state, ws.freeze_panes)
    print("merges", sorted(str(r) for r in ws.merged_cells.ranges))
    print("cols", sorted((k, d.width) for k, d in ws.column_dimensions.items()
                         if d.customWidth and (not before or column_index_from_string(k) < before)))
    # With a column bound, rows holding nothing before it are the report's alone.
    mine = {c.row for r in ws.iter_rows(max_col=before - 1) for c in r if c.value is not None or c.has_style} if before else None
    print("rows", sorted((k, d.height) for k, d in ws.row_dimensions.items() if d.height and (mine is None or k in mine)))
    print("validation", [str(d.sqref) for d in ws.data_validations.dataValidation])
    print("conditional", [str(r.sqref) for r in ws.conditional_formatting])
    for row in ws.iter_rows():
        for c in row:
            if (c.value is None and not c.has_style) or (before and c.column >= before): continue
            print(c.coordinate, repr(c.value), c.number_format, c.font.name, c.font.sz, c.font.b,
                  c.fill.fgColor.rgb if c.fill.fill_type else None)
)PY";

// The part names of package argv[1], and its content types and workbook relationships.
constexpr const char* kPartNames = R"PY(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
print(z.namelist(), z.read("[Content_Types].xml").decode(), z.read("xl/_rels/workbook.xml.rels").decode())
)PY";

class WorkbookKept : public ::testing::Test {
 protected:
  void SetUp() override {
    python_ = dez::testing::PythonWithOpenpyxl();
    DEZ_NEEDS(!python_.empty(), "python3 with openpyxl");
    for (const auto& [name, text] :
         {std::pair{"make.py", kMakeWorkbook}, std::pair{"dump.py", kDump}, std::pair{"parts.py", kPartNames}}) {
      dir_.Write(name, text);
    }
    ASSERT_EQ(Py("make.py", {dir_.path().string()}), "");
  }

  std::string Py(const std::string& script, const std::vector<std::string>& args) {
    std::string command = python_ + " " + Quote(dir_ / script);
    for (const std::string& arg : args) command += " " + Quote(arg);
    const std::string output = dir_ / "py.out";
    if (Shell(command + " > " + Quote(output) + " 2>&1") != 0) return "failed: " + ReadAll(output);
    return ReadAll(output);
  }

  std::string Dump(const std::string& file, int beforeColumn, const std::string& sheets) {
    return Py("dump.py", {dir_ / file, std::to_string(beforeColumn), sheets});
  }

  std::string python_;
  TempDir dir_;
};

TEST_F(WorkbookKept, OriginalSheetsSurviveAndTheReportLooksAsFromCsv) {
  const std::vector<std::string> analysis{"-r", "Stores!A3:D22", "-l", "--text-dendrogram"};
  const auto run = [&](std::vector<std::string> args) {
    args.insert(args.end(), analysis.begin(), analysis.end());
    return RunHcluster(args);
  };
  ASSERT_EQ(run({dir_ / "stores.xlsx", "-o", dir_ / "new-sheet.xlsx"}).status, 0);
  const auto placed = run({dir_ / "stores.xlsx", "--output-range", "Stores!$G$2", "--overwrite", "-o", dir_ / "placed.xlsx"});
  ASSERT_EQ(placed.status, 0) << placed.err;
  ASSERT_EQ(run({dir_ / "Stores.csv", "-o", dir_ / "from-csv.xlsx"}).status, 0);

  const std::string original = Dump("stores.xlsx", 0, "Stores,Notes");
  ASSERT_EQ(original.find("failed"), std::string::npos) << original;
  EXPECT_NE(original.find("'=SUM(B3:B22)' #,##0"), std::string::npos) << original;
  EXPECT_EQ(Dump("new-sheet.xlsx", 0, "Stores,Notes"), original);
  EXPECT_EQ(Dump("placed.xlsx", 7, "Stores,Notes"), Dump("stores.xlsx", 7, "Stores,Notes"));  // G onwards: report

  // Report cells may replace formulas: the calculation chain, a cache, is left out then.
  const std::string placedParts = Py("parts.py", {dir_ / "placed.xlsx"});
  EXPECT_NE(Py("parts.py", {dir_ / "new-sheet.xlsx"}).find("xl/calcChain.xml"), std::string::npos);
  EXPECT_EQ(placedParts.find("calcChain"), std::string::npos) << placedParts;

  // The report's sheet is that of a CSV input with the same cells.
  const std::string report = Dump("new-sheet.xlsx", 0, "Sheet1");
  EXPECT_NE(report.find("Hierarchical Clustering Results for:"), std::string::npos) << report;
  const auto fromSheet = [](const std::string& dump) { return dump.substr(std::min(dump.find("sheet "), dump.size())); };
  EXPECT_EQ(fromSheet(report), fromSheet(Dump("from-csv.xlsx", 0, "Sheet1")));
}

}  // namespace
}  // namespace dez::cli
