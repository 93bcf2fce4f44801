// An .xlsx input keeps everything of the user's workbook: a workbook made with openpyxl
// goes through -o (report on a new sheet) and --output-range into its data sheet; openpyxl
// then reads the same formulas, values, formats, merges, widths, names and sheet states on
// every original sheet, and the report is what a CSV input of the same cells gives. The
// openpyxl side is workbook_kept.py. Skipped without openpyxl.
#include <gtest/gtest.h>

#include "run_hcluster.h"
#include "tests/support/real_clients.h"
#include "tests/support/needs.h"

namespace dez::cli::testing {
namespace {

using dez::testing::Quote;
using dez::testing::Shell;

class WorkbookKept : public ::testing::Test {
 protected:
  void SetUp() override {
    python_ = dez::testing::PythonWithOpenpyxl();
    DEZ_NEEDS(!python_.empty(), "python3 with openpyxl");
    ASSERT_EQ(Py({"make", dir_.path().string()}), "");
  }

  /// What workbook_kept.py prints with `args`, or "failed: " and its messages.
  std::string Py(const std::vector<std::string>& args) {
    std::string command = python_ + " " + Quote(DEZ_EXAMPLES_DIR "/../tests/cli/workbook_kept.py");
    for (const std::string& arg : args) command += " " + Quote(arg);
    const std::string output = dir_ / "py.out";
    if (Shell(command + " > " + Quote(output) + " 2>&1") != 0) return "failed: " + ReadAll(output);
    return ReadAll(output);
  }

  std::string Dump(const std::string& file, int beforeColumn, const std::string& sheets) {
    return Py({"dump", dir_ / file, std::to_string(beforeColumn), sheets});
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
  const std::string placedParts = Py({"parts", dir_ / "placed.xlsx"});
  EXPECT_NE(Py({"parts", dir_ / "new-sheet.xlsx"}).find("xl/calcChain.xml"), std::string::npos);
  EXPECT_EQ(placedParts.find("calcChain"), std::string::npos) << placedParts;

  // The report's sheet is that of a CSV input with the same cells.
  const std::string report = Dump("new-sheet.xlsx", 0, "Sheet1");
  EXPECT_NE(report.find("Hierarchical Clustering Results for:"), std::string::npos) << report;
  const auto fromSheet = [](const std::string& dump) { return dump.substr(std::min(dump.find("sheet "), dump.size())); };
  EXPECT_EQ(fromSheet(report), fromSheet(Dump("from-csv.xlsx", 0, "Sheet1")));
}

}  // namespace
}  // namespace dez::cli::testing
