// Native charts in saved workbooks: the chart, drawing, data-sheet and workbook parts of
// dendrogram charts are compared whole with the kept copies (a scatter chart of straight
// lines with the recorded settings, the series data on a hidden sheet, the plot area's
// manual layout, the frame's anchor).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "charted_workbook.h"
#include "golden.h"
#include "io/file_error.h"
#include "io/xlsx_chart_writer.h"
#include "temp_dir.h"
#include "tests/support/error_of.h"
#include "xlsx_fixture.h"

namespace dez::io {
namespace {

using testing::ChartedWorkbook;
using testing::TempDir;

TEST(XlsxChart, WrittenPartsMatchTheKeptOnes) {
  TempDir dir;
  ChartedWorkbook w;
  // A second sheet with a taller chart further down: 40 points is row 3 and 10 points,
  // 100 points is column C and 4 points; its plot area starts 20 points in, its levels
  // run right to left, its labels stand on the left. The sheet's name takes the data
  // sheet's, which becomes "ChartData2".
  const auto second = w.book->AddSheet("chartdata");
  w.app->ChartsAdd();
  const host::ChartPtr c = w.app->ActiveChart();
  c->ChartType(testing::kChartTypeXYScatterLinesNoMarkers);
  c->Location(testing::kLocationAsObject, "chartdata");
  second->Shapes("Chart 1")->Top(40);
  second->Shapes("Chart 1")->Left(100);
  second->Shapes("Chart 1")->Height(200);
  ChartedWorkbook::AddLink(*c, {0, 1}, {1, 1}, "x", "", testing::kLabelPositionLeft);
  c->Axes(testing::kAxisCategory, testing::kAxisGroupPrimary)->ReversePlotOrder(true);
  c->PlotArea()->Left(20);
  WriteXlsxWithCharts(*w.book, dir / "report.xlsx");
  testing::ExpectPartsAsKept(dir / "report.xlsx", "chart_",
                             {"xl/charts/chart1.xml", "xl/charts/chart2.xml", "xl/drawings/drawing1.xml",
                              "xl/drawings/drawing2.xml", "xl/worksheets/sheet3.xml", "xl/workbook.xml"});
  EXPECT_THROW(WithPlotAreaLayout("<c:chart/>", {}, "f.xlsx"), FileError);  // no plot area to lay out
}

TEST(XlsxChart, AChartTypeThatCannotBeSavedFailsTheWriteAndLeavesNoFile) {
  TempDir dir;
  ChartedWorkbook w;
  w.chart->ChartType(51);  // a column chart
  const FileError e = test::ErrorOf<FileError>([&] { WriteXlsxWithCharts(*w.book, dir / "bad.xlsx"); });
  EXPECT_EQ(e.kind, FileErrorKind::kWrite);
  EXPECT_NE(e.description.find("sheet \"Report\": Chart 1: chart type 51 cannot be saved"), std::string::npos) << e.description;
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace dez::io
