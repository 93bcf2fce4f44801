// Charts: the dendrogram chart's sequence of calls is recorded in the chart model, names
// and shapes follow the host's rules, and every refusal raises.
#include <gtest/gtest.h>

#include <cmath>

#include "host/embedded/embedded_chart.h"
#include "host/embedded/host_constants.h"
#include "host/embedded/object_model_constants.h"
#include "host_test_support.h"

namespace dez::embedded::test {
namespace {

class ChartTest : public HostTest {
 protected:
  std::shared_ptr<EmbeddedChart> NewEmbeddedChart() {
    const auto chart = std::dynamic_pointer_cast<EmbeddedChart>(app_->ChartsAdd());
    chart->Location(kLocationAsObject, "Data");
    return chart;
  }
  clsHostConstantsEmbedded k_;
};

TEST_F(ChartTest, TheDendrogramSequenceIsRecorded) {
  // Steps 2 to 5 of the chart: add, type, source, location, find the shape by name.
  app_->ChartsAdd();
  auto chart = app_->ActiveChart();
  chart->ChartType(k_.ChartTypeXYLines());
  chart->SetSourceData(app_->Sheets("Data")->Range("a1"));
  chart->Location(k_.LocationAsObject(), "Data");
  const std::string name = app_->ActiveChart()->Name();
  EXPECT_EQ(name, "Data Chart 1");
  const auto shape = data_->Shapes(name.substr(std::string("Data").size() + 1));
  shape->Left(data_->Cells(1, 1)->Left());
  shape->Top(30);
  shape->Width(450);
  shape->Height(95);
  // Steps 7 and 8: one link with labels on points 1 and 4.
  chart = app_->ActiveChart();
  app_->ScreenUpdating(false);
  chart->HasLegend(false);
  const auto series = chart->SeriesCollection()->NewSeries();
  series->XValues({0, 1, 1, 0});
  series->Values({5, 5, 3, 3});
  series->MarkerStyle(k_.MarkerStyleNone());
  series->Border()->ColorIndex(1);
  series->Border()->Weight(k_.LineWeightThin());
  series->Border()->LineStyle(k_.LineStyleContinuous());
  series->Points(1)->ApplyDataLabels(k_.DataLabelsShowLabel());
  const auto label = series->Points(1)->DataLabel();
  label->Text("A");
  label->AutoScaleFont(false);
  label->Font()->Size(8);
  label->Position(k_.LabelPositionLeaf());
  // Steps 9 to 14: areas and axes.
  chart->ChartArea()->AutoScaleFont(false);
  chart->PlotArea()->ClearFormats();
  chart->ChartArea()->Interior()->ColorIndex(2);
  const auto level = app_->ActiveChart()->Axes(k_.AxisLevel(), k_.AxisGroupPrimary());
  level->HasTitle(false);
  level->TickLabels()->AutoScaleFont(false);
  level->TickLabels()->Font()->Size(8);
  level->MajorTickMark(k_.TickMarkOutside());
  level->MajorUnit(2.2);
  level->MinorUnit(0.55);
  level->MaximumScale(2.2);
  level->MinimumScale(0);
  level->TickLabels()->NumberFormat("0.0");
  const auto items = chart->Axes(k_.AxisItem());
  items->MajorUnitIsAuto(false);
  items->MaximumScale(5);
  items->Delete();
  chart->PlotArea()->Width(chart->PlotArea()->Width() - 50);
  chart->PlotArea()->Left(50);
  chart->PlotArea()->Height(150);
  app_->ScreenUpdating(true);

  const auto* embedded = dynamic_cast<EmbeddedChart*>(chart.get());
  ASSERT_NE(embedded, nullptr);
  const ChartModel& m = embedded->Model();
  EXPECT_EQ(m.chartType, kChartTypeXYScatterLinesNoMarkers);
  EXPECT_EQ(m.sourceSheet, "Data");
  EXPECT_EQ(m.sourceAddress, "$A$1");
  EXPECT_TRUE(m.embedded);
  EXPECT_EQ(m.objectName, "Chart 1");
  EXPECT_EQ(m.shape.left, 0.0);
  EXPECT_EQ(m.shape.top, 30.0);
  EXPECT_EQ(m.shape.width, 450.0);
  EXPECT_EQ(m.shape.height, 95.0);
  EXPECT_EQ(m.hasLegend, false);
  ASSERT_EQ(m.series.size(), 1U);
  EXPECT_EQ(m.series[0].xValues, (std::vector<double>{0, 1, 1, 0}));
  EXPECT_EQ(m.series[0].values, (std::vector<double>{5, 5, 3, 3}));
  EXPECT_EQ(m.series[0].markerStyle, kMarkerStyleNone);
  EXPECT_EQ(m.series[0].border.colorIndex, 1);
  EXPECT_EQ(m.series[0].border.weight, kLineWeightThin);
  EXPECT_EQ(m.series[0].border.lineStyle, kLineStyleContinuous);
  const DataLabelSettings& l = m.series[0].dataLabels.at(1);
  EXPECT_EQ(l.type, kDataLabelsShowLabel);
  EXPECT_EQ(l.text, "A");
  EXPECT_EQ(l.autoScaleFont, false);
  EXPECT_EQ(l.font.size, 8.0);
  EXPECT_EQ(l.position, kLabelPositionLeft);
  EXPECT_EQ(m.chartArea.autoScaleFont, false);
  EXPECT_EQ(m.chartArea.interiorColorIndex, 2);
  EXPECT_TRUE(m.plotArea.formatsCleared);
  EXPECT_EQ(m.plotArea.width, 450.0 - 2 * PlotAreaSettings::kDefaultMargin - 50);
  EXPECT_EQ(m.plotArea.left, 50.0);
  EXPECT_EQ(m.plotArea.height, 150.0);
  ASSERT_EQ(m.axes.size(), 2U);
  const AxisSettings& x = m.axes[0];
  EXPECT_EQ(x.type, kAxisCategory) << "the level axis carries the XValues: the horizontal axis";
  EXPECT_EQ(x.hasTitle, false);
  EXPECT_EQ(x.tickLabels.font.size, 8.0);
  EXPECT_EQ(x.tickLabels.numberFormat, "0.0");
  EXPECT_EQ(x.majorTickMark, kTickMarkOutside);
  EXPECT_EQ(x.majorUnit, 2.2);
  EXPECT_EQ(x.majorUnitIsAuto, false);
  EXPECT_EQ(x.minimumScale, 0.0);
  EXPECT_EQ(x.maximumScale, 2.2);
  const AxisSettings& y = m.axes[1];
  EXPECT_EQ(y.type, kAxisValue);
  EXPECT_TRUE(y.deleted);
  EXPECT_EQ(y.maximumScale, 5.0);
  EXPECT_TRUE(app_->IsScreenUpdating());
}

TEST_F(ChartTest, NamesCountChartsPerSheet) {
  const auto first = NewEmbeddedChart();
  const auto second = NewEmbeddedChart();
  EXPECT_EQ(first->Name(), "Data Chart 1");
  EXPECT_EQ(second->Name(), "Data Chart 2");
  EXPECT_EQ(data_->Charts().size(), 2U);
  data_->Name("Renamed");
  EXPECT_EQ(second->Name(), "Renamed Chart 2");
  second->Location(kLocationAsObject, "Other");
  EXPECT_EQ(second->Name(), "Other Chart 1");
  EXPECT_EQ(data_->Charts().size(), 1U);
  second->Location(kLocationAsNewSheet, "Dendrogram");
  EXPECT_EQ(second->Name(), "Dendrogram");
  EXPECT_TRUE(other_->Charts().empty());
}

TEST_F(ChartTest, SeriesCollectionAndDeletion) {
  const auto chart = NewEmbeddedChart();
  const auto collection = chart->SeriesCollection();
  const auto a = collection->NewSeries();
  const auto b = collection->NewSeries();
  EXPECT_EQ(collection->Count(), 2);
  // Deleting every series with errors ignored, as the chart's step 7 does.
  for (std::int32_t i = collection->Count(); i >= 1; --i) collection->Item(i)->Delete();
  EXPECT_EQ(collection->Count(), 0);
  EXPECT_EQ(Caught([&] { a->Values({1}); }).number, 1004);
  EXPECT_EQ(Caught([&] { b->Border()->Weight(kLineWeightThin); }).number, 1004);
  EXPECT_EQ(Caught([&] { collection->Item(1); }).number, 1004);
}

TEST_F(ChartTest, Refusals) {
  const auto chart = NewEmbeddedChart();
  const auto series = chart->SeriesCollection()->NewSeries();
  EXPECT_EQ(Caught([&] { series->Points(1); }).number, 1004) << "no points yet";
  series->XValues({1, 2});
  EXPECT_EQ(Caught([&] { series->Points(3); }).number, 1004);
  EXPECT_EQ(Caught([&] { series->Points(2)->DataLabel(); }).number, 1004) << "no label applied";
  EXPECT_EQ(Caught([&] { series->Values({1, std::nan("")}); }).number, 1004);
  EXPECT_EQ(Caught([&] { series->Border()->Weight(3); }).number, 1004);
  EXPECT_EQ(Caught([&] { series->Border()->LineStyle(99); }).number, 1004);
  EXPECT_EQ(Caught([&] { series->Border()->ColorIndex(57); }).number, 1004);
  EXPECT_EQ(Caught([&] { chart->Axes(4); }).number, 1004);
  EXPECT_EQ(Caught([&] { chart->Axes(1, 3); }).number, 1004);
  const auto axis = chart->Axes(kAxisCategory);
  EXPECT_EQ(Caught([&] { axis->MajorUnit(0); }).number, 1004);
  EXPECT_EQ(Caught([&] { axis->MinorUnit(-1); }).number, 1004);
  EXPECT_EQ(Caught([&] { axis->MaximumScale(INFINITY); }).number, 1004);
  EXPECT_EQ(Caught([&] { axis->MajorTickMark(7); }).number, 1004);
  axis->Delete();
  EXPECT_EQ(Caught([&] { chart->Axes(kAxisCategory); }).number, 1004);
  EXPECT_EQ(Caught([&] { axis->HasTitle(false); }).number, 1004);
  EXPECT_EQ(Caught([&] { chart->Location(7, "Data"); }).number, 1004);
  EXPECT_EQ(Caught([&] { chart->Location(kLocationAsObject, "Missing"); }).number, 1004);
  EXPECT_EQ(Caught([&] { chart->SetSourceData(nullptr); }).number, 91);
  EXPECT_EQ(Caught([&] { chart->PlotArea()->Width(-1); }).number, 1004);
  EXPECT_EQ(Caught([&] { chart->ChartArea()->Interior()->ColorIndex(60); }).number, 1004);
  EXPECT_EQ(Caught([&] { data_->Shapes("Chart 1")->Height(-5); }).number, 1004);
}

TEST_F(ChartTest, FontsOutliveTheirHandles) {
  const auto chart = NewEmbeddedChart();
  const auto series = chart->SeriesCollection()->NewSeries();
  series->Values({1});
  series->Points(1)->ApplyDataLabels(kDataLabelsShowLabel);
  const auto font = series->Points(1)->DataLabel()->Font();
  font->Name("Arial");
  font->Bold(true);
  EXPECT_EQ(chart->Model().series[0].dataLabels.at(1).font.name, "Arial");
  series->Delete();
  EXPECT_EQ(Caught([&] { font->Size(9); }).number, 1004);
}

}  // namespace
}  // namespace dez::embedded::test
