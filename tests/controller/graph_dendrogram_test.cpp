// The dendrogram chart as the embedded host records it: every series, label, axis and
// placement setting of GraphDendrogram, the label-format rule, the error path, and the
// chart that Results draws (or leaves out for more than 250 items).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "controller_fixture.h"
#include "dezezuvazoz/enums.h"
#include "host/embedded/chart_model.h"
#include "host/embedded/embedded_chart.h"
#include "host/embedded/host_constants.h"
#include "host/embedded/object_model_constants.h"
#include "host/embedded/sheet_limits.h"

namespace dez::testing {
namespace {

using embedded::AxisSettings;
using embedded::ChartModel;
using embedded::SeriesSettings;

constexpr double kRow = embedded::kDefaultRowHeight;

/// Report settings that fail on BackColorIndex when told to.
struct FailingSettings final : host::clsReportSettings {
  explicit FailingSettings(bool f) : fail(f) {}
  std::int16_t BackColorIndex() const override {
    if (fail) Raise(fault::kInvalidCall, "Line 2 in Korvel.clsReportSettings.BackColorIndex", "no colour");
    return embedded::kColorIndexWhite;
  }
  bool fail;
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
  /// The primary axis of `type`; the level axis carries the XValues: the horizontal axis
  /// of the scatter chart.
  const AxisSettings& Axis(bool level) const {
    const std::int32_t type = level ? context.hostConstants->AxisLevel() : context.hostConstants->AxisItem();
    return *std::ranges::find_if(Chart().axes, [&](const AxisSettings& a) {
      return a.type == type && a.group == embedded::kAxisGroupPrimary;
    });
  }
  const AxisSettings& LevelAxis() const { return Axis(true); }

  /// Draws the chart of `s` (labels A, B, C) over a report of `rows` rows; minVal and
  /// maxVal hold the limits as the call leaves them.
  void Draw(const Schedule& s, double min = 0.0, double max = 2.2, std::int32_t rows = 10) {
    minVal = min;
    maxVal = max;
    hc->GraphDendrogram(s, kABC, minVal, maxVal, rows);
  }

  double minVal = 0.0;
  double maxVal = 0.0;
  bool failSettings = false;
  std::unique_ptr<clsHCluster> hc;
};

const auto kGraphSource = ::testing::MatchesRegex("Line [1-9][0-9]* in DEZEZuvazoz\\.clsHCluster\\.GraphDendrogram");

/// The texts of a series' data labels by point; every label shows its text in 8 points
/// at the leaf's position.
std::map<std::int32_t, std::string> LabelTexts(const SeriesSettings& series) {
  std::map<std::int32_t, std::string> texts;
  for (const auto& [point, label] : series.dataLabels) {
    EXPECT_EQ(label.type, embedded::kDataLabelsShowLabel);
    EXPECT_EQ(label.font.size, 8.0);
    EXPECT_EQ(label.position, embedded::clsHostConstantsEmbedded().LabelPositionLeaf());
    texts[point] = label.text.value_or("(no text)");
  }
  return texts;
}

TEST_F(GraphDendrogramTest, WorkedExampleOfThreeItemsSeriesBySeries) {
  AnalyseMatrix(dezEZuvazozDifference);
  Draw(ThreeItems());
  ASSERT_EQ(out->Charts().size(), 1u);
  const ChartModel& chart = Chart();
  // Two brackets (the pair's point 1 of the second one has no label), then the stem to
  // MaxVal in single precision.
  const struct {
    std::vector<double> x, y;
    std::map<std::int32_t, std::string> labels;
  } expected[] = {{{0, 1, 1, 0}, {5, 5, 3, 3}, {{1, "A"}, {4, "B"}}},
                  {{1, 2, 2, 0}, {4, 4, 1, 1}, {{4, "C"}}},
                  {{2, static_cast<double>(2.2f)}, {2.5, 2.5}, {}}};
  ASSERT_EQ(chart.series.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const SeriesSettings& series = chart.series[i];
    EXPECT_EQ(series.xValues, expected[i].x) << i;
    EXPECT_EQ(series.values, expected[i].y) << i;
    EXPECT_EQ(LabelTexts(series), expected[i].labels) << i;
    // Thin black lines without markers.
    EXPECT_EQ(series.markerStyle, embedded::kMarkerStyleNone);
    EXPECT_EQ(series.border.colorIndex, 1);
    EXPECT_EQ(series.border.weight, embedded::kLineWeightThin);
    EXPECT_EQ(series.border.lineStyle, embedded::kLineStyleContinuous);
  }

  EXPECT_FALSE(LevelAxis().reversePlotOrder.has_value());
  EXPECT_EQ(Axis(false).maximumScale, 5.0);
  EXPECT_EQ(chart.plotArea.height, 150.0);

  // One empty row below the ten rows of the report, at the report's left edge.
  EXPECT_EQ(chart.shape.left, 0.0);
  EXPECT_EQ(chart.shape.top, 11 * kRow);
  EXPECT_EQ(chart.shape.width, 450.0);
  EXPECT_EQ(chart.shape.height, 95.0);

  EXPECT_TRUE(app->IsScreenUpdating());
}

TEST_F(GraphDendrogramTest, SimilaritiesReverseTheLevelAxisAndTheStemEndsAtMinVal) {
  AnalyseMatrix(dezEZuvazozSimilarity);
  Draw(ThreeItems(1.0, 0.9, 0.2), 0.0, 1.0);
  const ChartModel& chart = Chart();
  ASSERT_EQ(chart.series.size(), 3u);
  const double f09 = static_cast<float>(0.9);
  EXPECT_EQ(chart.series[0].xValues, (std::vector{1.0, f09, f09, 1.0}));  // leaves at MaxVal
  EXPECT_EQ(chart.series[2].xValues, (std::vector{static_cast<double>(0.2f), 0.0}));
  EXPECT_EQ(LevelAxis().reversePlotOrder, true);
}

// The level labels get as many decimal places as the limits need; the limits come back
// scaled to their magnitude (0 is left alone), the axis scales are set before.
TEST_F(GraphDendrogramTest, LabelFormatFromTheLimits) {
  const struct {
    double minVal, maxVal;
    const char* format;
    double scaledMin, scaledMax;
  } cases[] = {{0.0, 2.2, "0.0", 0.0, 22.0},    {0.0, 1.0, "0", 0.0, 10.0},      {0.0, 0.25, "0.00", 0.0, 25.0},
               {-1.33, 2.3, "0.0", 13.3, 23.0}, {0.0, 150.0, "0", 0.0, 150.0}, {-0.05, 0.5, "0.00", 50.0, 50.0}};
  hc->OutputRange("Out!$A$1");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.maxVal);
    Draw(ThreeItems(c.minVal, 1.0, 2.0), c.minVal, c.maxVal);
    EXPECT_EQ(LevelAxis().tickLabels.numberFormat, c.format);
    EXPECT_EQ(LevelAxis().minimumScale, c.minVal);
    EXPECT_EQ(LevelAxis().maximumScale, c.maxVal);
    EXPECT_DOUBLE_EQ(minVal, c.scaledMin);
    EXPECT_DOUBLE_EQ(maxVal, c.scaledMax);
  }
}

TEST_F(GraphDendrogramTest, NearTheSheetsEndTheChartStandsOnTheReportsLastRow) {
  AnalyseMatrix(dezEZuvazozDifference);
  const std::int32_t first = embedded::kMaxRows - 5;  // report rows first .. first + numRows - 1
  hc->OutputRange("Out!$A$" + std::to_string(first));
  // Four rows: the row below the report is the sheet's last row, and the chart starts there.
  Draw(ThreeItems(), 0.0, 2.2, 4);
  EXPECT_EQ(Chart().shape.top, (embedded::kMaxRows - 1) * kRow);
  // Five rows: one row below would be past the sheet, so the chart starts on the last row
  // of the report.
  Draw(ThreeItems(), 0.0, 2.2, 5);
  EXPECT_EQ(Chart().shape.top, (first + 4 - 1) * kRow);
  EXPECT_EQ(out->Charts().size(), 2u);
  EXPECT_EQ(Chart().objectName, "Chart 2");
}

TEST_F(GraphDendrogramTest, AnErrorWithALineSourceIsChainedAndScreenUpdatingStaysOff) {
  AnalyseMatrix(dezEZuvazozDifference);
  failSettings = true;
  const Error e = ErrorOf([&] { Draw(ThreeItems()); });
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
  const auto expectFault = [&](std::int32_t number, const Schedule& s) {
    const Error e = ErrorOf([&] { Draw(s); });
    EXPECT_EQ(e.number, number) << e.source;
    EXPECT_THAT(e.source, kGraphSource);
    EXPECT_EQ(maxVal, 2.2) << "the limits stay";
  };
  expectFault(fault::kObjectNotSet, ThreeItems());
  AnalyseMatrix(dezEZuvazozDifference);
  Schedule unlabelled = ThreeItems();
  unlabelled[5].items = {1, 2, 7};
  expectFault(fault::kSubscriptOutOfRange, unlabelled);
  expectFault(fault::kOverflow, ThreeItems(0.0, 1e39, 2.0));
  app->AddWorkbook("Book2.xlsx", {"Other"});
  expectFault(fault::kSubscriptOutOfRange, ThreeItems());
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
