// Charts: the host's own rules for the calls the dendrogram chart makes (the whole
// sequence is pinned by the controller's worked example), names and shapes, and every
// refusal.
#include <gtest/gtest.h>

#include <cmath>

#include "host/embedded/embedded_chart.h"
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
};

TEST_F(ChartTest, AxesPlotAreaAndLabelsFollowTheHostsRules) {
  const auto chart = NewEmbeddedChart();
  data_->Shapes("Chart 1")->Width(450);
  const auto level = chart->Axes(kAxisCategory, kAxisGroupPrimary);
  level->MajorUnit(2.2);
  chart->PlotArea()->Width(chart->PlotArea()->Width() - 50);
  const auto series = chart->SeriesCollection()->NewSeries();
  series->XValues({0, 1});
  series->Points(2)->ApplyDataLabels(kDataLabelsShowLabel);
  series->Points(2)->DataLabel()->Position(kLabelPositionLeft);
  const ChartModel& m = chart->Model();
  ASSERT_EQ(m.axes.size(), 1U);
  EXPECT_EQ(m.axes[0].majorUnitIsAuto, false) << "a major unit ends the automatic one";
  EXPECT_EQ(m.plotArea.width, 450.0 - 2 * PlotAreaSettings::kDefaultMargin - 50) << "the width starts at the frame's";
  EXPECT_EQ(m.series[0].dataLabels.at(2).position, kLabelPositionLeft);
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

TEST_F(ChartTest, DeletedSeriesAndFontsRefuseEveryCall) {
  const auto chart = NewEmbeddedChart();
  const auto collection = chart->SeriesCollection();
  const auto a = collection->NewSeries();
  const auto b = collection->NewSeries();
  a->Values({1});
  a->Points(1)->ApplyDataLabels(kDataLabelsShowLabel);
  const auto font = a->Points(1)->DataLabel()->Font();
  font->Name("Arial");
  EXPECT_EQ(chart->Model().series[0].dataLabels.at(1).font.name, "Arial");
  EXPECT_EQ(collection->Count(), 2);
  // Deleting every series with errors ignored, as the chart's step 7 does.
  for (std::int32_t i = collection->Count(); i >= 1; --i) collection->Item(i)->Delete();
  EXPECT_EQ(collection->Count(), 0);
  ExpectRaises(1004, {[&] { a->Values({1}); }, [&] { b->Border()->Weight(kLineWeightThin); },
                      [&] { collection->Item(1); }, [&] { font->Size(9); }});
}

TEST_F(ChartTest, Refusals) {
  const auto chart = NewEmbeddedChart();
  const auto series = chart->SeriesCollection()->NewSeries();
  EXPECT_EQ(NumberOf([&] { series->Points(1); }), 1004) << "no points yet";
  series->XValues({1, 2});
  const auto axis = chart->Axes(kAxisCategory);
  ExpectRaises(1004, {
                         [&] { series->Points(3); },
                         [&] { series->Points(2)->DataLabel(); },  // no label applied
                         [&] { series->Values({1, std::nan("")}); },
                         [&] { series->Border()->Weight(3); },
                         [&] { series->Border()->LineStyle(99); },
                         [&] { series->Border()->ColorIndex(57); },
                         [&] { chart->Axes(4); },
                         [&] { chart->Axes(1, 3); },
                         [&] { axis->MajorUnit(0); },
                         [&] { axis->MinorUnit(-1); },
                         [&] { axis->MaximumScale(INFINITY); },
                         [&] { axis->MajorTickMark(7); },
                         [&] { chart->Location(7, "Data"); },
                         [&] { chart->Location(kLocationAsObject, "Missing"); },
                         [&] { chart->PlotArea()->Width(-1); },
                         [&] { chart->ChartArea()->Interior()->ColorIndex(60); },
                         [&] { data_->Shapes("Chart 1")->Height(-5); },
                     });
  axis->Delete();
  ExpectRaises(1004, {[&] { chart->Axes(kAxisCategory); }, [&] { axis->HasTitle(false); }});
  EXPECT_EQ(NumberOf([&] { chart->SetSourceData(nullptr); }), 91);
}

}  // namespace
}  // namespace dez::embedded::test
