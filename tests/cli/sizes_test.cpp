// The sizes hcluster promises: every output above the 5,610 items where a report once
// stopped. (The refusals of more than 16,384 items and of a report too large for a sheet
// are rows of bad_input_test.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "run_hcluster.h"

namespace dez::cli::testing {
namespace {

TEST(Sizes, OutputsAboveTheOldSheetLimit) {
  // 5,700 items: the report without its matrix table and the JSON, which never needs a
  // sheet; neither output may stop at the sheet's row or cell limits.
  TempDir dir;
  const std::string input = dir.Write("big.csv", MetricRows(5'700));
  const RunResult report = RunHcluster({input, "-o", dir / "report.xlsx", "--no-matrix", "--text-dendrogram"});
  ASSERT_EQ(report.status, 0) << report.err;
  EXPECT_TRUE(fs::file_size(dir / "report.xlsx") > 0);
  const RunResult json = RunHcluster({input, "--json", dir / "out.json", "--no-matrix"});
  ASSERT_EQ(json.status, 0) << json.err;
  const std::string text = ReadAll(dir / "out.json");
  EXPECT_NE(text.find("\"Row 5700\""), std::string::npos);
  EXPECT_NE(text.find("\"entry\": 11399"), std::string::npos) << "the schedule's last entry, 2n - 1";
}

}  // namespace
}  // namespace dez::cli::testing
