// A report sheet with a native dendrogram chart drawn through the chart calls of the
// object model, for the chart writer's tests and the real clients' checks.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/application.h"
#include "host/chart.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_chart.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/object_model_constants.h"
#include "host/range.h"
#include "host/worksheet.h"

namespace dez::io::testing {

using namespace dez::embedded;  // NOLINT: the object model's constants

/// A workbook with the dendrogram of three items A, B and "=C" (a label that looks like a
/// formula): A and B joined at 1, then "=C" at 2, limits 0 and 2.2, drawn below a
/// three-row report on the sheet "Report", its labels on the right.
struct ChartedWorkbook {
  std::shared_ptr<EmbeddedApplication> app = EmbeddedApplication::Create();
  std::shared_ptr<EmbeddedWorkbook> book;
  std::shared_ptr<EmbeddedChart> chart;

  ChartedWorkbook() {
    book = app->AddWorkbook("Book1.xlsx", {"Report"});
    const auto sheet = book->FindSheet("Report");
    sheet->WriteCell(1, 1, "Hierarchical cluster analysis");
    sheet->WriteCell(2, 1, "Items");
    sheet->WriteCell(3, 1, 3.0);

    app->ChartsAdd();
    host::ChartPtr c = app->ActiveChart();
    c->ChartType(kChartTypeXYScatterLinesNoMarkers);
    c->SetSourceData(app->Sheets("Report")->Range("a1"));
    c->Location(kLocationAsObject, "Report");
    const host::ShapePtr shape = sheet->Shapes("Chart 1");
    shape->Top(5 * 15.0);
    shape->Width(450);
    shape->Height(95);
    c->HasLegend(false);
    AddLink(*c, {0, 1, 1, 0}, {5, 5, 3, 3}, "A", "B");
    AddLink(*c, {1, 2, 2, 0}, {4, 4, 1, 1}, "", "=C");  // stands in the data sheet
    AddLink(*c, {2, static_cast<double>(2.2f)}, {2.5, 2.5}, "", "");
    c->PlotArea()->ClearFormats();
    c->ChartArea()->Interior()->ColorIndex(kColorIndexWhite);
    const host::AxisPtr level = c->Axes(kAxisCategory, kAxisGroupPrimary);
    level->TickLabels()->Font()->Size(8);
    level->MajorTickMark(kTickMarkOutside);
    level->MinorTickMark(kTickMarkOutside);
    level->MajorUnit(2.2);
    level->MinorUnit(0.55);
    level->MaximumScale(2.2);
    level->MinimumScale(0);
    level->TickLabels()->NumberFormat("0.0");
    const host::AxisPtr items = c->Axes(kAxisValue, kAxisGroupPrimary);
    items->HasMajorGridlines(false);
    items->MaximumScale(5);
    items->MinimumScale(0);
    items->Delete();
    c->PlotArea()->Width(c->PlotArea()->Width() - 50);
    c->PlotArea()->Left(50);
    c->PlotArea()->Height(150);
    chart = sheet->Charts().front();
  }

  static void AddLink(host::Chart& c, const std::vector<double>& x, const std::vector<double>& y,
                      const std::string& first, const std::string& last,
                      std::int32_t labelPosition = kLabelPositionRight) {
    const host::SeriesPtr s = c.SeriesCollection()->NewSeries();
    s->XValues(x);
    s->Values(y);
    s->MarkerStyle(kMarkerStyleNone);
    s->Border()->ColorIndex(1);
    s->Border()->Weight(kLineWeightThin);
    s->Border()->LineStyle(kLineStyleContinuous);
    const auto label = [&](std::int32_t point, const std::string& text) {
      const host::PointPtr p = s->Points(point);
      p->ApplyDataLabels(kDataLabelsShowLabel);
      p->DataLabel()->Text(text);
      p->DataLabel()->AutoScaleFont(false);
      p->DataLabel()->Font()->Size(8);
      p->DataLabel()->Position(labelPosition);
    };
    if (!first.empty()) label(1, first);
    if (!last.empty()) label(static_cast<std::int32_t>(x.size()), last);
  }
};

}  // namespace dez::io::testing
