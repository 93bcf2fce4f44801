// The C++-only members front ends use: the analysis without a report, and the report
// without its matrix table.
#include <gtest/gtest.h>

#include <algorithm>

#include "controller_fixture.h"
#include "dezezuvazoz/enums.h"
#include "dezezuvazoz/errors.h"
#include "host/embedded/embedded_range.h"

namespace dez::testing {
namespace {

const std::vector<Row> kMetric = {{"a", 1.0, 2.0}, {"b", 1.5, 2.5}, {"c", 5.0, 1.0}, {"d", 6.0, 0.5}, {"e", 3.0, 9.0}};

using AnalyseOnlyTest = ControllerFixture;

TEST_F(AnalyseOnlyTest, ChecksNoticeAndEngineWithoutAnySheetWork) {
  Put(1, 1, kMetric);
  clsHCluster hc(context);
  Options(hc, dezEZuvazozMetric, dezEZuvazozMethWards, "Data!A1:C5", dezEZuvazozSMMCityBlock, true);
  const std::size_t sheets = book->Sheets().size();
  hc.AnalyseOnly();
  ASSERT_EQ(box->Calls().size(), 1u) << "the measure notice, as Results shows it";
  EXPECT_EQ(hc.EngineResults().DistanceMatrixView()(1, 2), 0.5) << "squared Euclidean of (1,2) and (1.5,2.5)";
  EXPECT_EQ(hc.EngineResults().StepMatrixView().UBound(), 9);
  EXPECT_EQ(hc.ItemLabels().UBound(), 5);
  EXPECT_EQ(hc.ItemLabels().At(5), "e");
  EXPECT_EQ(book->Sheets().size(), sheets) << "no output sheet";
  EXPECT_FALSE(app->AddinWorkbook()->FindSheet(embedded::kScratchSheetName)->UsedRange()) << "no report";
  EXPECT_EQ(hc.OutputCell(), nullptr);

  // The checks are those of Results, with its error sources.
  data->WriteCell(3, 2, Variant("x"));
  const Error e = ErrorOf([&] { hc.AnalyseOnly(); });
  EXPECT_EQ(e.number, dezEZuvazozInvalidMixedQuantData);
  EXPECT_TRUE(e.source.ends_with(" in DEZEZuvazoz.clsHCluster.Results")) << e.source;
}

TEST_F(AnalyseOnlyTest, NoMatrixLeavesOnlyTheMatrixTableOut) {
  Put(1, 1, kMetric);
  const auto report = [&](bool noMatrix) {
    clsHCluster hc(context);
    Options(hc, dezEZuvazozMetric, dezEZuvazozMethGroupAvg, "Data!A1:C5", dezEZuvazozSMMEuclidean, true);
    hc.MeasureText("Euclidean");
    hc.NoMatrix(noMatrix);
    hc.Results();
    return ColumnA(*OutputSheet());
  };
  std::vector<std::string> full = report(false);
  const std::vector<std::string> lean = report(true);
  // The full report is the lean one with the table (title, heading, five rows) and its
  // blank line inserted after the header.
  const auto title = std::find(full.begin(), full.end(), "Distance Matrix (Euclidean)");
  ASSERT_NE(title, full.end());
  full.erase(title, title + 8);
  EXPECT_EQ(full, lean);
}

}  // namespace
}  // namespace dez::testing
