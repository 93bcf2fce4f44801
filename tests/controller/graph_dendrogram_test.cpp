// The dendrogram chart as the embedded host records it: every series, label, axis and
// placement setting of GraphDendrogram, the label-format rule, the error path, and the
// chart that Results draws (or leaves out for more than 250 items).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controller_fixture.h"
#include "dezezuvazoz/enums.h"
#include "host/embedded/chart_model.h"
#include "host/embedded/embedded_chart.h"
#include "host/embedded/host_constants.h"
#include "host/embedded/object_model_constants.h"
#include "host/embedded/report_settings.h"
#include "host/embedded/sheet_limits.h"

namespace dez::testing {
namespace {

using embedded::AxisSettings;
using embedded::ChartModel;
using embedded::DataLabelSettings;
using embedded::SeriesSettings;
using ::testing::ElementsAre;
using ::testing::MatchesRegex;

constexpr double kRow = embedded::kDefaultRowHeight;

/// Report settings that fail on BackColorIndex when told to.
class FailingSettings final : public host::clsReportSettings {
 public:
  explicit FailingSettings(bool fail) : fail_(fail) {}
  std::int16_t BackColorIndex() const override {
    if (fail_) Raise(fault::kInvalidCall, "Line 2 in Korvel.clsReportSettings.BackColorIndex", "no colour");
    return embedded::kColorIndexWhite;
  }

 private:
  bool fail_;
};

/// The schedule of three items A, B, C in root order: A and B joined at level 1, then C
/// at level 2, laid out with the leaves at `leafLevel`.
Schedule ThreeItems(double leafLevel = 0.0, double firstLevel = 1.0, double secondLevel = 2.0) {
  Schedule s(5);
  for (std::int16_t e = 1; e <= 3; ++e) s[e] = {e, 0, {e}, leafLevel, 2.0 * e - 1};
  s[4] = {1, 2, {1, 2}, firstLevel, 2.0};
  s[5] = {4, 3, {1, 2, 3}, secondLevel, 3.5};
  return s;
}

const StringArray kABC{{"A", "B", "C"}};

class GraphDendrogramTest : public ControllerFixture {
 protected:
  GraphDendrogramTest() {
    context.newReportSettings = [this] { return std::make_unique<FailingSettings>(failSettings); };
    hc = std::make_unique<clsHCluster>(context);
  }

  /// Analyses a labelled 3 x 3 matrix of `clusterType` (distances or similarities), so that
  /// the engine's Difference flag is set, and places its report at Out!A1 without a chart.
  void AnalyseMatrix(std::int32_t clusterType) {
    const double far = clusterType == dezEZuvazozDifference ? 2.0 : 0.2;
    const double near = clusterType == dezEZuvazozDifference ? 1.0 : 0.9;
    const double self = clusterType == dezEZuvazozDifference ? 0.0 : 1.0;
    Put(1, 1, {{"A", self, near, far}, {"B", near, self, far}, {"C", far, far, self}});
    Options(*hc, clusterType, dezEZuvazozMethGroupAvg, "Data!$A$1:$D$3", -1, true);
    hc->OutputRange("Out!$A$1");
    hc->Results();
    ASSERT_TRUE(out->Charts().empty());
  }

  const ChartModel& Chart() const { return out->Charts().back()->Model(); }
  const AxisSettings* FindAxis(std::int32_t type) const {
    for (const AxisSettings& a : Chart().axes) {
      if (a.type == type && a.group == embedded::kAxisGroupPrimary) return &a;
    }
    return nullptr;
  }
  /// The level axis carries the XValues: the horizontal axis of the scatter chart.
  const AxisSettings& LevelAxis() const { return *FindAxis(context.hostConstants->AxisLevel()); }
  const AxisSettings& ItemAxis() const { return *FindAxis(context.hostConstants->AxisItem()); }

  /// Draws the chart of `s` with the limits 0 and 2.2 over a report of ten rows and
  /// returns the error it raises; `maxValOut` receives the limit as the call left it.
  Error DrawFailing(const Schedule& s, double* maxValOut = nullptr) {
    double minVal = 0.0;
    double maxVal = 2.2;
    const Error e = ErrorOf([&] { hc->GraphDendrogram(s, kABC, minVal, maxVal, 10); });
    if (maxValOut != nullptr) *maxValOut = maxVal;
    return e;
  }

  bool failSettings = false;
  std::unique_ptr<clsHCluster> hc;
};

const auto kGraphSource = ::testing::MatchesRegex("Line [1-9][0-9]* in DEZEZuvazoz\\.clsHCluster\\.GraphDendrogram");

void ExpectLabel(const SeriesSettings& series, std::int32_t point, const std::string& text) {
  ASSERT_TRUE(series.dataLabels.contains(point)) << point;
  const DataLabelSettings& label = series.dataLabels.at(point);
  EXPECT_EQ(label.text, text);
  EXPECT_EQ(label.type, embedded::kDataLabelsShowLabel);
  EXPECT_EQ(label.font.size, 8.0);
  EXPECT_EQ(label.position, embedded::clsHostConstantsEmbedded().LabelPositionLeaf());
}

TEST_F(GraphDendrogramTest, WorkedExampleOfThreeItemsSeriesBySeries) {
  AnalyseMatrix(dezEZuvazozDifference);
  double minVal = 0.0;
  double maxVal = 2.2;
  hc->GraphDendrogram(ThreeItems(), kABC, minVal, maxVal, 10);

  ASSERT_EQ(out->Charts().size(), 1u);
  const ChartModel& chart = Chart();
  ASSERT_EQ(chart.series.size(), 3u);

  const SeriesSettings& link1 = chart.series[0];
  EXPECT_THAT(link1.xValues, ElementsAre(0.0, 1.0, 1.0, 0.0));
  EXPECT_THAT(link1.values, ElementsAre(5.0, 5.0, 3.0, 3.0));
  EXPECT_EQ(link1.dataLabels.size(), 2u);
  ExpectLabel(link1, 1, "A");
  ExpectLabel(link1, 4, "B");

  const SeriesSettings& link2 = chart.series[1];
  EXPECT_THAT(link2.xValues, ElementsAre(1.0, 2.0, 2.0, 0.0));
  EXPECT_THAT(link2.values, ElementsAre(4.0, 4.0, 1.0, 1.0));
  EXPECT_EQ(link2.dataLabels.size(), 1u);  // point 1 is the pair: no label
  ExpectLabel(link2, 4, "C");

  const SeriesSettings& stem = chart.series[2];
  EXPECT_THAT(stem.xValues, ElementsAre(2.0, static_cast<double>(2.2f)));  // single precision
  EXPECT_THAT(stem.values, ElementsAre(2.5, 2.5));
  EXPECT_TRUE(stem.dataLabels.empty());
  for (const SeriesSettings& series : chart.series) {  // thin black lines without markers
    EXPECT_EQ(series.markerStyle, embedded::kMarkerStyleNone);
    EXPECT_EQ(series.border.colorIndex, 1);
    EXPECT_EQ(series.border.weight, embedded::kLineWeightThin);
    EXPECT_EQ(series.border.lineStyle, embedded::kLineStyleContinuous);
  }

  EXPECT_EQ(LevelAxis().tickLabels.numberFormat, "0.0");
  EXPECT_EQ(LevelAxis().maximumScale, 2.2);
  EXPECT_FALSE(LevelAxis().reversePlotOrder.has_value());
  EXPECT_EQ(ItemAxis().maximumScale, 5.0);
  EXPECT_EQ(chart.plotArea.height, 150.0);

  // One empty row below the ten rows of the report, at the report's left edge.
  EXPECT_EQ(chart.shape.left, 0.0);
  EXPECT_EQ(chart.shape.top, 11 * kRow);
  EXPECT_EQ(chart.shape.width, 450.0);
  EXPECT_EQ(chart.shape.height, 95.0);

  EXPECT_TRUE(app->IsScreenUpdating());
  EXPECT_EQ(maxVal, 22.0);  // the scaled magnitude of the label-format rule
  EXPECT_EQ(minVal, 0.0);   // 0 is left alone
}

TEST_F(GraphDendrogramTest, SimilaritiesReverseTheLevelAxisAndTheStemEndsAtMinVal) {
  AnalyseMatrix(dezEZuvazozSimilarity);
  double minVal = 0.0;
  double maxVal = 1.0;
  hc->GraphDendrogram(ThreeItems(1.0, 0.9, 0.2), kABC, minVal, maxVal, 10);

  const ChartModel& chart = Chart();
  ASSERT_EQ(chart.series.size(), 3u);
  EXPECT_THAT(chart.series[0].xValues,
              ElementsAre(1.0, static_cast<double>(0.9f), static_cast<double>(0.9f), 1.0));  // leaves at MaxVal
  EXPECT_THAT(chart.series[2].xValues, ElementsAre(static_cast<double>(0.2f), 0.0));
  EXPECT_EQ(LevelAxis().reversePlotOrder, true);
  EXPECT_EQ(LevelAxis().tickLabels.numberFormat, "0");
  EXPECT_EQ(LevelAxis().minimumScale, 0.0);
  EXPECT_EQ(LevelAxis().maximumScale, 1.0);
}

struct FormatCase {
  double minVal;
  double maxVal;
  const char* format;
  double scaledMin;
  double scaledMax;
};

class LabelFormatTest : public GraphDendrogramTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(LabelFormatTest, DecimalPlacesFromTheLimits) {
  const FormatCase& c = GetParam();
  hc->OutputRange("Out!$A$1");
  double minVal = c.minVal;
  double maxVal = c.maxVal;
  hc->GraphDendrogram(ThreeItems(minVal, 1.0, 2.0), kABC, minVal, maxVal, 10);
  EXPECT_EQ(LevelAxis().tickLabels.numberFormat, c.format);
  EXPECT_EQ(LevelAxis().minimumScale, c.minVal);  // the scales are set before the scaling
  EXPECT_EQ(LevelAxis().maximumScale, c.maxVal);
  EXPECT_DOUBLE_EQ(minVal, c.scaledMin);
  EXPECT_DOUBLE_EQ(maxVal, c.scaledMax);
}

INSTANTIATE_TEST_SUITE_P(Limits, LabelFormatTest,
                         ::testing::Values(FormatCase{0.0, 1.0, "0", 0.0, 10.0},
                                           FormatCase{0.0, 0.25, "0.00", 0.0, 25.0},
                                           FormatCase{-1.33, 2.3, "0.0", 13.3, 23.0},
                                           FormatCase{0.0, 150.0, "0", 0.0, 150.0},
                                           FormatCase{-0.05, 0.5, "0.00", 50.0, 50.0}));

TEST_F(GraphDendrogramTest, NearTheSheetsEndTheChartStandsOnTheReportsLastRow) {
  AnalyseMatrix(dezEZuvazozDifference);
  const std::int32_t first = embedded::kMaxRows - 5;  // report rows first .. first + numRows - 1
  hc->OutputRange("Out!$A$" + std::to_string(first));
  double minVal = 0.0;
  double maxVal = 2.2;
  // Four rows: the row below the report is the sheet's last row, and the chart starts there.
  hc->GraphDendrogram(ThreeItems(), kABC, minVal, maxVal, 4);
  EXPECT_EQ(Chart().shape.top, (embedded::kMaxRows - 1) * kRow);
  // Five rows: one row below would be past the sheet, so the chart starts on the last row
  // of the report.
  minVal = 0.0;
  maxVal = 2.2;
  hc->GraphDendrogram(ThreeItems(), kABC, minVal, maxVal, 5);
  EXPECT_EQ(Chart().shape.top, (first + 4 - 1) * kRow);
  EXPECT_EQ(out->Charts().size(), 2u);
  EXPECT_EQ(Chart().objectName, "Chart 2");
}

TEST_F(GraphDendrogramTest, AnErrorWithALineSourceIsChainedAndScreenUpdatingStaysOff) {
  AnalyseMatrix(dezEZuvazozDifference);
  failSettings = true;
  const Error e = DrawFailing(ThreeItems());
  EXPECT_EQ(e.number, fault::kInvalidCall);
  EXPECT_EQ(e.description, "no colour");
  EXPECT_EQ(e.source, "Line 2 in Korvel.clsReportSettings.BackColorIndex.GraphDendrogram");
  EXPECT_FALSE(app->IsScreenUpdating());  // the error path does not switch it back on
  ASSERT_EQ(out->Charts().size(), 1u);      // the half-drawn chart stays
  EXPECT_EQ(Chart().series.size(), 2u);
}

// Without an output location, with a root item that has no label, with a level beyond
// single precision and with the output sheet out of reach (Sheets looks in the active
// workbook): each fault is raised from GraphDendrogram and the limits stay.
TEST_F(GraphDendrogramTest, FaultsCarryTheProceduresSource) {
  std::vector<std::pair<std::int32_t, Error>> raised;
  raised.emplace_back(fault::kObjectNotSet, DrawFailing(ThreeItems()));
  AnalyseMatrix(dezEZuvazozDifference);
  Schedule unlabelled = ThreeItems();
  unlabelled[5].items = {1, 2, 7};
  raised.emplace_back(fault::kSubscriptOutOfRange, DrawFailing(unlabelled));
  raised.emplace_back(fault::kOverflow, DrawFailing(ThreeItems(0.0, 1e39, 2.0)));
  app->AddWorkbook("Book2.xlsx", {"Other"});
  double maxVal = 0.0;
  raised.emplace_back(fault::kSubscriptOutOfRange, DrawFailing(ThreeItems(), &maxVal));
  EXPECT_EQ(maxVal, 2.2);
  for (const auto& [number, e] : raised) {
    EXPECT_EQ(e.number, number) << e.source;
    EXPECT_THAT(e.source, kGraphSource);
  }
}

TEST_F(GraphDendrogramTest, ResultsDrawsTheChartBelowThePlacedReport) {
  AnalyseMatrix(dezEZuvazozDifference);
  const auto reportRows = out->UsedRange()->bottom;
  hc->GraphDend(true);
  hc->Results(true);  // over the first report
  ASSERT_EQ(out->Charts().size(), 1u);
  EXPECT_EQ(Chart().series.size(), 3u);
  EXPECT_GE(Chart().shape.top, (reportRows + 1) * kRow);
  EXPECT_EQ(LevelAxis().maximumScale, 2.2) << "the engine's limits over levels 1 and 2";
}

TEST_F(GraphDendrogramTest, ResultsDrawsNoChartForMoreThan250Items) {
  const std::int32_t n = 251;
  for (std::int32_t r = 1; r <= n; ++r) {
    data->WriteCell(r, 1, Variant("item " + std::to_string(r)));
    data->WriteCell(r, 2, Variant(static_cast<double>(r)));
    data->WriteCell(r, 3, Variant(static_cast<double>((r * 7) % 13)));
  }
  hc->GraphDend(true);
  Options(*hc, dezEZuvazozMetric, dezEZuvazozMethGroupAvg, "Data!$A$1:$C$" + std::to_string(n), dezEZuvazozSMMEuclidean,
          true);
  hc->OutputRange("Out!$A$1");
  hc->Results();
  EXPECT_TRUE(out->Charts().empty());
  EXPECT_TRUE(app->AllCharts().empty());
}

}  // namespace
}  // namespace dez::testing
