// The component driven through its public class against the embedded host: the measure
// notice, the cached report, labels, the short report, slicing at a narrow output location,
// error sources from deep inside, the analysis without a report and the report without
// its matrix table.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "controller_fixture.h"
#include "dezezuvazoz/enums.h"
#include "dezezuvazoz/errors.h"
#include "host/embedded/embedded_range.h"

namespace dez::testing {
namespace {

const std::vector<Row> kMetric = {{"a", 1.0, 2.0}, {"b", 1.5, 2.5}, {"c", 5.0, 1.0}, {"d", 6.0, 0.5}, {"e", 3.0, 9.0}};
const std::vector<Row> kDistances = {{0, 1, 2, 6}, {1, 0, 3, 5}, {2, 3, 0, 4}, {6, 5, 4, 0}};

using ControllerTest = ControllerFixture;

// Centroid and Ward's runs on metric (or binomial) data use the squared Euclidean
// distance: a notice says so when another measure was chosen.
TEST_F(ControllerTest, SubstitutionNoticeOnlyWhenTheMeasureChanges) {
  Put(1, 1, kMetric);
  const struct {
    std::int32_t method, measure;
    std::string notice;  // empty: none
  } cases[] = {{dezEZuvazozMethWards, dezEZuvazozSMMCityBlock,
                "The Squared Euclidean Distance will be used for Wards Method."},
               {dezEZuvazozMethCentroid, dezEZuvazozSMMEuclidean,
                "The Squared Euclidean Distance will be used for the Centroid Method."},
               {dezEZuvazozMethCentroid, dezEZuvazozSMMSqrdEuclidean, ""},
               {dezEZuvazozMethGroupAvg, dezEZuvazozSMMCityBlock, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.notice);
    const std::size_t shown = box->Calls().size();
    clsHCluster hc(context);
    Options(hc, dezEZuvazozMetric, c.method, "Data!A1:C5", c.measure, true);
    hc.Results();
    if (c.notice.empty()) {
      EXPECT_EQ(box->Calls().size(), shown);
      continue;
    }
    ASSERT_EQ(box->Calls().size(), shown + 1);
    EXPECT_EQ(box->Calls().back().prompt, c.notice);
    EXPECT_EQ(box->Calls().back().title, "Distance Measure");
    EXPECT_EQ(box->Calls().back().style, host::kMsgBoxExclamation);
    EXPECT_EQ(hc.EngineResults().DistanceMatrixView()(1, 2), 0.5) << "squared Euclidean of (1,2) and (1.5,2.5)";
    hc.TextDend(true);  // a new report, same measure: no second notice
    hc.Results(true);
    EXPECT_EQ(box->Calls().size(), shown + 1);
  }
}

TEST_F(ControllerTest, RefusedPlacementKeepsTheReportUntilAnOptionReallyChanges) {
  Put(1, 1, kDistances);
  data->WriteCell(5, 8, Variant("in the way"));  // inside the report's area at G1
  clsHCluster hc(context);
  Options(hc, dezEZuvazozDifference, dezEZuvazozMethNearestNeigh, "Data!A1:D4");
  hc.OutputRange("Data!G1");
  const Error e = ErrorOf([&] { hc.Results(); });
  EXPECT_EQ(e.number, AddinErrorNumber(addin_error::kOutputAreaRefused));
  EXPECT_TRUE(e.source.ends_with(".Results")) << e.source;
  // The cells change, but the cached report is placed as it was made.
  data->WriteCell(1, 2, Variant(9.0));
  data->WriteCell(2, 1, Variant(9.0));
  data->WriteCell(5, 8, Variant());
  hc.Method(dezEZuvazozMethNearestNeigh);  // unchanged: the cache stays
  hc.GraphDend(true);                      // never discards
  hc.VarRange("Data!A1:D4");               // same text: not even resolved again
  hc.Results();
  EXPECT_EQ(data->ValueAt(1, 7).ToText(), "Hierarchical Clustering Results for:");
  EXPECT_EQ(data->ValueAt(7, 9), Variant(1.0)) << "the old d(1, 2) in the pasted matrix";
  EXPECT_THROW(hc.Results(), Error) << "the placed report is in the way";
  hc.Method(2);  // a real change: the engine runs again
  hc.OutputRange("Data!G30");
  hc.Results();
  EXPECT_EQ(data->ValueAt(36, 9), Variant(9.0)) << "report made anew from the changed cells";
}

TEST_F(ControllerTest, RowLabelsFollowTheWorksheetRows) {
  Put(4, 2, {{1, 2}, {2, 3}, {4, 1}, {0, 0}, {5, 5}, {3, 3}});
  clsHCluster hc(context);
  Options(hc, dezEZuvazozMetric, 3, "Data!B4:C9", 4);
  hc.Results();
  EXPECT_EQ(hc.ItemLabels().At(1), "Row 4");
  EXPECT_EQ(hc.ItemLabels().At(6), "Row 9");
}

// A formatter that fails on the first line of the undefined-matrix notice.
class FailingFormatter final : public host::clsCellFormatter {
 public:
  void FormatHeadingBand(const host::RangePtr&, bool, host::Loc) override {}
  void FormatValueBlock(const host::RangePtr&, bool, host::Loc) override {}
  void FormatTextLine(const host::RangePtr& range, bool, host::Loc where) override {
    if (range->CellValue() == Variant("There are undefined numbers in the")) throw Error(fault::kInvalidCall, "", "", where);
  }
};

TEST_F(ControllerTest, UndefinedMatrixGivesTheShortReportAndErrorsFromDeepInsideNameTheWholeChain) {
  Put(1, 1, {{0, 0}, {0, 0}, {1, 1}});
  clsHCluster hc(context);
  hc.MeasureText("Bray-Curtis");
  hc.GraphDend(true);
  Options(hc, dezEZuvazozMetric, 3, "Data!A1:B3", dezEZuvazozSMMBrayCurtis);
  hc.Results();
  EXPECT_EQ(ColumnA(*OutputSheet()),
            (std::vector<std::string>{"Hierarchical Clustering Results for:", "Quantitative Data Set = Data!$A$1:$B$3",
                                      "Distance/Similarity Measure = Bray-Curtis", "Cluster Method = ", "",
                                      "There are undefined numbers in the", "distance/similarity matrix.",
                                      "Execution was halted."}));
  EXPECT_TRUE(hc.EngineResults().Undefined());
  EXPECT_EQ(OutputSheet()->Name(), "Sheet1") << "a new sheet at the end of the workbook";
  context.newCellFormatter = [] { return std::make_unique<FailingFormatter>(); };
  clsHCluster failing(context);
  Options(failing, dezEZuvazozMetric, 3, "Data!A1:B3", dezEZuvazozSMMBrayCurtis);
  const Error e = ErrorOf([&] { failing.Results(); });
  EXPECT_EQ(e.number, fault::kInvalidCall);
  EXPECT_THAT(e.source, ::testing::MatchesRegex(
                            "Line [1-9][0-9]* in DEZEZuvazoz\\.clsHClusterOutput\\.OutputComment\\.FormatSimpleResults\\."
                            "GetResults\\.Results"));
}

TEST_F(ControllerTest, NarrowOutputLocationSlicesTheMatrix) {
  Put(1, 1, kMetric);
  clsHCluster hc(context);
  hc.MeasureText("Euclidean");
  Options(hc, dezEZuvazozMetric, 3, "Data!A1:C5", 4, true);
  hc.OutputRange("Data!IR1");  // column 252: slices of the four columns left of column 256
  hc.Results();
  EXPECT_EQ(data->ValueAt(14, 252), Variant("Distance Matrix (Euclidean): Part 2"));
}

TEST_F(ControllerTest, PowerOutsideZeroToNineBecomesOneInTheCallersVariable) {
  clsHCluster hc(context);
  for (auto [given, stored] : {std::pair<std::int16_t, std::int16_t>{10, 1}, {-1, 1}, {0, 0}, {9, 9}}) {
    std::int16_t power = given;
    hc.Power(power);
    EXPECT_EQ(power, stored);
  }
}

TEST_F(ControllerTest, ChecksNoticeAndEngineWithoutAnySheetWork) {
  Put(1, 1, kMetric);
  clsHCluster hc(context);
  Options(hc, dezEZuvazozMetric, dezEZuvazozMethWards, "Data!A1:C5", dezEZuvazozSMMCityBlock, true);
  const std::size_t sheets = book->Sheets().size();
  hc.AnalyseOnly();
  ASSERT_EQ(box->Calls().size(), 1u) << "the measure notice, as Results shows it";
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

TEST_F(ControllerTest, NoMatrixLeavesOnlyTheMatrixTableOut) {
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
