// clsHCluster::GraphDendrogram: the dendrogram chart below the placed report.
//
// The tree lies on its side. The items are stacked from top to bottom in the order of the
// root's item list, the levels run along the horizontal axis from MinVal to MaxVal, and
// every merge is one series of four points: from the first cluster, at its own level,
// along its row to the merge level, across to the second cluster's row, and back along
// that row to the second cluster's level. One more series, the stem, runs from the root
// to the end of the level axis. Coordinates are single precision, as the chart stores them.
#include <cmath>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "controller/clsHCluster.h"
#include "engine/call_site.h"
#include "host/addin_library.h"
#include "host/application.h"
#include "host/chart.h"
#include "host/range.h"
#include "host/worksheet.h"
#include "runtime/checked_float.h"
#include "runtime/checked_int.h"
#include "runtime/error.h"
#include "runtime/error_trap.h"

namespace dez {

namespace {

constexpr const char* kClass = "clsHCluster";

/// Width of the chart in points; its height is 15 points per item plus 50.
constexpr double kChartWidth = 450.0;
/// Room left of the plot area for the leaf labels, in points.
constexpr double kPlotAreaLeft = 50.0;
/// Font size of the leaf labels and of the level axis' tick labels, in points.
constexpr double kLabelFontSize = 8.0;
/// Palette colour of the tree's lines: black.
constexpr std::int32_t kLineColorIndex = 1;

/// A value converted to single precision; a magnitude beyond its range is overflow (6).
double Sng(double value, std::source_location where = std::source_location::current()) {
  const float single = static_cast<float>(Fin(value, where));
  if (!std::isfinite(single)) Raise(fault::kOverflow, {}, {}, where);
  return single;
}

/// The characters of `text` from the 1-based position `start` to its end; "" when
/// `start` lies beyond the end.
std::string MidFrom(const std::string& text, std::size_t start) {
  return start - 1 < text.size() ? text.substr(start - 1) : std::string();
}

/// Digits after the decimal point that `v` (not 0) needs on the level axis. `v` becomes
/// its magnitude, multiplied by 10 until it is at least 10, with k the multiplications;
/// the count is k - 1 when v / 10 is then whole, else k.
std::int16_t DecimalPlaces(double& v, std::source_location where = std::source_location::current()) {
  v = std::fabs(v);
  Int16 k;
  while (v < 10.0) {
    v = Fin(v * 10.0, where);
    ++k;
  }
  const double tenth = Div(v, 10.0, where);
  return (tenth == std::nearbyint(tenth) ? k - Int16(std::int16_t{1}) : k).get();
}

/// The number format of the level axis' labels for `places` decimal places.
std::string LevelFormat(std::int16_t places) {
  return places <= 0 ? std::string("0") : "0." + std::string(static_cast<std::size_t>(places), '0');
}

}  // namespace

void clsHCluster::GraphDendrogram(const Schedule& steps, const StringArray& itemLabels, double& minVal,
                                  double& maxVal, std::int32_t numRows) {
  ErrorTrap trap{kClass, "GraphDendrogram"};
  trap.Run([&] {
    const std::unique_ptr<host::clsReportSettings> settings = AtCallSite([&] { return context_.newReportSettings(); });
    const Int32 nL = CLng(itemLabels.UBound());
    const Int32 nS = CLng(steps.UBound());
    const host::clsHostConstants& constants = *context_.hostConstants;
    if (!outputCell_) Raise(fault::kObjectNotSet);
    const host::WorksheetPtr sheet = outputCell_->Worksheet();
    if (!sheet) Raise(fault::kObjectNotSet);
    // Level and row coordinates of entry e: its level, and 2 nL less its position, so that
    // the first item of the root's list stands at the top.
    const auto level = [&](std::int32_t e, std::source_location where = std::source_location::current()) {
      return Sng(steps.At(e, where).level, where);
    };
    const auto row = [&](std::int32_t e, std::source_location where = std::source_location::current()) {
      return Sng(Fin((Int32(2) * nL).get() - steps.At(e, where).position, where), where);
    };

    // The chart, embedded in the output sheet as a scatter chart of straight lines.
    context_.hostAccess->HostApplication()->ChartsAdd();
    host::ChartPtr chart = context_.hostAccess->HostApplication()->ActiveChart();
    chart->ChartType(constants.ChartTypeXYLines());
    chart->SetSourceData(context_.hostAccess->HostApplication()->Sheets(sheet->Name())->Range("a1"));
    chart->Location(constants.LocationAsObject(), sheet->Name());
    // The active chart's name is the sheet's name, one separating character and the name
    // of the chart object, which is the name of its shape.
    const std::string chartName = context_.hostAccess->HostApplication()->ActiveChart()->Name();
    const host::ShapePtr shape = sheet->Shapes(MidFrom(chartName, sheet->Name().size() + 2));

    // One empty row below the report, or on its last row when that would leave the sheet.
    const host::RangePtr anchor = outputCell_->Cells(numRows, 1);
    const host::RangePtr lastCell = sheet->Cells(sheet->RowsCount(), 1);
    shape->Left(outputCell_->Cells(1, 1)->Left());
    if (Fin(anchor->Top() + 2.0 * anchor->Height()) < Fin(lastCell->Top() + lastCell->Height())) {
      shape->Top(Fin(anchor->Top() + 2.0 * anchor->Height()));
    } else {
      shape->Top(anchor->Top());
    }
    shape->Width(kChartWidth);
    shape->Height((Int32(15) * nL + Int32(50)).get());

    chart = context_.hostAccess->HostApplication()->ActiveChart();
    context_.hostAccess->HostApplication()->ScreenUpdating(false);
    chart->ChartType(constants.ChartTypeXYLines());
    chart->HasLegend(false);
    // A new chart may come with series of its own source data: delete them, ignoring
    // errors. Deleting from the last keeps the remaining indexes valid.
    try {
      const std::shared_ptr<host::SeriesCollection> existing = chart->SeriesCollection();
      for (std::int32_t s = existing->Count(); s >= 1; --s) {
        try {
          existing->Item(s)->Delete();
        } catch (const std::exception&) {  // ignored: the series stays
        }
      }
    } catch (const std::exception&) {  // ignored: no series to delete
    }

    // The series' line: black, no markers, the library's weight and style.
    const auto styleLine = [&](host::Series& series, std::source_location where = std::source_location::current()) {
      series.MarkerStyle(constants.MarkerStyleNone(), where);
      series.Border()->ColorIndex(kLineColorIndex, where);
      series.Border()->Weight(constants.LineWeightThin(), where);
      series.Border()->LineStyle(constants.LineStyleContinuous(), where);
    };
    // The label of the leaf at point `point`, whose row coordinate is `leafRow`: the item
    // at place nL + 1 - (row + 1) / 2 of the root's list.
    const auto labelLeaf = [&](host::Series& series, std::int32_t point, double leafRow,
                               std::source_location where = std::source_location::current()) {
      const host::PointPtr leaf = series.Points(point, where);
      leaf->ApplyDataLabels(constants.DataLabelsShowLabel(), where);
      const std::vector<std::int32_t>& rootItems = steps.At(nS.get(), where).items;
      const Int32 place =
          RoundToChecked<std::int32_t>(Fin(nL.get() + 1.0 - Div(leafRow + 1.0, 2.0, where), where), where);
      if (place < Int32(1) || place.get() > static_cast<std::int32_t>(rootItems.size())) {
        Raise(fault::kSubscriptOutOfRange, {}, {}, where);
      }
      const std::int32_t item = rootItems[static_cast<std::size_t>(place.get() - 1)];
      leaf->DataLabel(where)->Text(itemLabels.At(item, where), where);
      leaf->DataLabel(where)->AutoScaleFont(false, where);
      leaf->DataLabel(where)->Font()->Size(kLabelFontSize, where);
      leaf->DataLabel(where)->Position(constants.LabelPositionLeaf(), where);
    };

    // One bracket per merge, in the order made.
    for (Int32 i = nL + Int32(1); i <= nS; ++i) {
      const std::int32_t c1 = steps.At(i.get()).first;
      const std::int32_t c2 = steps.At(i.get()).second;
      const double y1 = level(c1);
      const double y2 = level(c2);
      const double y = level(i.get());
      const double r1 = row(c1);
      const double r2 = row(c2);
      const host::SeriesPtr link = chart->SeriesCollection()->NewSeries();
      link->XValues({y1, y, y, y2});
      link->Values({r1, r1, r2, r2});
      styleLine(*link);
      if (c1 <= nL.get()) labelLeaf(*link, 1, r1);
      if (c2 <= nL.get()) labelLeaf(*link, 4, r2);
    }

    chart->ChartArea()->AutoScaleFont(false);
    chart->PlotArea()->ClearFormats();
    chart->ChartArea()->Interior()->ColorIndex(AtCallSite([&] { return settings->BackColorIndex(); }));

    // The level axis: one major unit over the whole axis, so that only its ends are labelled.
    const host::AxisPtr levelAxis = context_.hostAccess->HostApplication()->ActiveChart()->Axes(
        constants.AxisLevel(), constants.AxisGroupPrimary());
    levelAxis->HasTitle(false);
    levelAxis->TickLabels()->AutoScaleFont(false);
    levelAxis->TickLabels()->Font()->Size(kLabelFontSize);
    levelAxis->HasMajorGridlines(false);
    levelAxis->HasMinorGridlines(false);
    levelAxis->MajorTickMark(constants.TickMarkOutside());
    levelAxis->MinorTickMark(constants.TickMarkOutside());
    levelAxis->MajorUnit(Fin(maxVal - minVal));
    levelAxis->MinorUnit(Div(Fin(maxVal - minVal), 4.0));
    levelAxis->TickLabels()->NumberFormat("0");

    const host::AxisPtr itemAxis = context_.hostAccess->HostApplication()->ActiveChart()->Axes(
        constants.AxisItem(), constants.AxisGroupPrimary());
    itemAxis->HasMajorGridlines(false);
    itemAxis->HasMinorGridlines(false);

    // The stem, from the root to the end of the axis. Similarity trees grow towards the
    // lower limit, so their axis is reversed to keep the leaves at the left.
    const double stemFrom = level(nS.get());
    double stemTo = 0.0;
    if (AtCallSite([&] { return engine_->Difference(); })) {
      stemTo = Sng(maxVal);
    } else {
      stemTo = Sng(minVal);
      chart->Axes(constants.AxisLevel())->ReversePlotOrder(true);
    }
    const double stemRow = row(nS.get());
    const host::SeriesPtr stem = chart->SeriesCollection()->NewSeries();
    stem->XValues({stemFrom, stemTo});
    stem->Values({stemRow, stemRow});
    styleLine(*stem);

    // Scales: the levels from MinVal to MaxVal, the rows from 0 to nS with the top item's
    // row on the upper edge; the item axis itself is not drawn.
    chart->Axes(constants.AxisLevel())->MaximumScale(maxVal);
    chart->Axes(constants.AxisLevel())->MinimumScale(minVal);
    chart->Axes(constants.AxisItem())->MajorUnitIsAuto(false);
    chart->Axes(constants.AxisItem())->MinorUnitIsAuto(false);
    chart->Axes(constants.AxisItem())->MaximumScale(nS.get());
    chart->Axes(constants.AxisItem())->MinimumScale(0.0);
    chart->Axes(constants.AxisItem())->Delete();

    // The level labels show as many decimals as the limits need; the limits' scaled
    // magnitudes stay in the caller's variables.
    std::int16_t places = 0;
    if (maxVal != 0.0) places = DecimalPlaces(maxVal);
    if (minVal != 0.0) {
      const std::int16_t minPlaces = DecimalPlaces(minVal);
      if (minPlaces > places) places = minPlaces;
    }
    chart->Axes(constants.AxisLevel())->TickLabels()->NumberFormat(LevelFormat(places));

    chart->PlotArea()->Width(Fin(chart->PlotArea()->Width() - kPlotAreaLeft));
    chart->PlotArea()->Left(kPlotAreaLeft);
    chart->PlotArea()->Height((Int32(50) * nL).get());
    context_.hostAccess->HostApplication()->ScreenUpdating(true);
  });
}

}  // namespace dez
