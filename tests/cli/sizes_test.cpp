// The sizes hcluster promises: every output above the 5,610 items where a report once
// stopped, the refusal of more than 16,384 items, and of a report too large for a sheet.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_hcluster.h"

namespace dez::cli::testing {
namespace {

/// `items` rows of `variables` distinct numbers each, as CSV.
std::string Rows(int items, int variables) {
  std::string csv;
  for (int i = 1; i <= items; ++i) {
    for (int k = 0; k < variables; ++k) {
      if (k > 0) csv += ',';
      csv += std::to_string((i * (k + 7)) % 9973) + "." + std::to_string(i % 10);
    }
    csv += '\n';
  }
  return csv;
}

TEST(Sizes, OutputsAboveTheOldSheetLimit) {
  // 5,700 items: the report without its matrix table and the JSON, which never needs a
  // sheet; neither output may stop at the sheet's row or cell limits.
  TempDir dir;
  const std::string input = dir.Write("big.csv", Rows(5'700, 2));
  const RunResult report = RunHcluster({input, "-o", dir / "report.xlsx", "--no-matrix", "--text-dendrogram"});
  ASSERT_EQ(report.status, 0) << report.err;
  EXPECT_TRUE(fs::file_size(dir / "report.xlsx") > 0);
  const RunResult json = RunHcluster({input, "--json", dir / "out.json", "--no-matrix"});
  ASSERT_EQ(json.status, 0) << json.err;
  const std::string text = ReadAll(dir / "out.json");
  EXPECT_NE(text.find("\"Row 5700\""), std::string::npos);
  EXPECT_NE(text.find("\"entry\": 11399"), std::string::npos) << "the schedule's last entry, 2n - 1";
}

TEST(Sizes, RefusedBeforeTheEngineRuns) {
  // Each refusal comes from the command line at once (the engine would first build a
  // matrix of gigabytes), with exit status 2 and no output file.
  TempDir dir;
  const std::string tooMany = dir.Write("too_many.csv", Rows(16'385, 2));
  const std::string tooTall = dir.Write("too_tall.csv", Rows(16'300, 1));
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{tooMany, "--json", dir / "out.json"}, "hcluster: the range holds 16385 items; hcluster clusters at most 16,384 items"},
      {{tooTall, "-o", dir / "out.xlsx", "-M", "ward"}, "hcluster: the report of 16300 items would need about ... rows, more than a sheet's 1048576 ... --no-matrix, or ... --json alone"},
  };
  for (const Case& c : cases) {
    // After the analysis the engine's overflow or the sheet's limit would give status 1.
    const RunResult r = RunHcluster(c.args);
    EXPECT_EQ(r.status, 2) << c.args[1];
    EXPECT_TRUE(HasLine(r.err, c.message)) << r.err;
    EXPECT_FALSE(fs::exists(dir / "out.json") || fs::exists(dir / "out.xlsx"));
  }
}

}  // namespace
}  // namespace dez::cli::testing
