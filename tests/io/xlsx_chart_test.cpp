// Native charts in saved workbooks: the chart, drawing, data-sheet and workbook parts of a
// dendrogram chart are compared whole with the kept copies (a scatter chart of straight
// lines with the recorded settings, the series data on a hidden sheet, the plot area's
// manual layout, the frame's anchor); variants change only their own setting.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "charted_workbook.h"
#include "golden.h"
#include "io/file_error.h"
#include "io/xlsx_chart_writer.h"
#include "io/zip_archive.h"
#include "temp_dir.h"
#include "tests/support/error_of.h"
#include "xlsx_fixture.h"

namespace dez::io {
namespace {

using testing::ChartedWorkbook;
using testing::Part;
using testing::TempDir;

TEST(XlsxChart, WrittenPartsMatchTheKeptOnes) {
  TempDir dir;
  ChartedWorkbook w;
  // A second sheet with a taller chart further down: 40 points is row 3 and 10 points,
  // 100 points is column C and 4 points; its plot area starts 20 points in.
  const auto second = w.book->AddSheet("Second");
  w.app->ChartsAdd();
  const host::ChartPtr c = w.app->ActiveChart();
  c->ChartType(testing::kChartTypeXYScatterLinesNoMarkers);
  c->Location(testing::kLocationAsObject, "Second");
  second->Shapes("Chart 1")->Top(40);
  second->Shapes("Chart 1")->Left(100);
  second->Shapes("Chart 1")->Height(200);
  ChartedWorkbook::AddLink(*c, {0, 1}, {1, 1}, "x", "");
  c->PlotArea()->Left(20);
  WriteXlsxWithCharts(*w.book, dir / "report.xlsx");
  testing::ExpectPartsAsKept(dir / "report.xlsx", "chart_",
                             {"xl/charts/chart1.xml", "xl/charts/chart2.xml", "xl/drawings/drawing1.xml",
                              "xl/drawings/drawing2.xml", "xl/worksheets/sheet3.xml", "xl/workbook.xml"});
}

TEST(XlsxChart, VariantsChangeOnlyTheirSetting) {
  const struct {
    bool similarity;
    const char* sheet;
    std::int32_t labelPosition;
    const char* part;
    const char* piece;
  } cases[] = {
      {true, "Report", testing::kLabelPositionRight, "xl/charts/chart1.xml", "<c:orientation val=\"maxMin\"/>"},
      {false, "Report", testing::kLabelPositionLeft, "xl/charts/chart1.xml", "<c:dLblPos val=\"l\"/>"},
      {false, "chartdata", testing::kLabelPositionRight, "xl/charts/chart1.xml", "ChartData2!$A$1:$D$1"},
      {false, "chartdata", testing::kLabelPositionRight, "xl/workbook.xml", "name=\"ChartData2\" sheetId=\"2\" state=\"hidden\""},
  };
  for (const auto& c : cases) {
    TempDir dir;
    ChartedWorkbook w(c.similarity, c.sheet, c.labelPosition);
    WriteXlsxWithCharts(*w.book, dir / "v.xlsx");
    EXPECT_NE(Part(dir / "v.xlsx", c.part).find(c.piece), std::string::npos) << c.piece;
  }
  EXPECT_THROW(WithPlotAreaLayout("<c:chart/>", {}, "f.xlsx"), FileError);  // no plot area to lay out
}

TEST(XlsxChart, AWorkbookWithoutChartsHasNoDataSheet) {
  TempDir dir;
  auto app = testing::EmbeddedApplication::Create();
  auto book = app->AddWorkbook("Plain.xlsx", {"Only"});
  WriteXlsxWithCharts(*book, dir / "plain.xlsx");
  EXPECT_FALSE(ZipArchive(dir / "plain.xlsx", "test").Contains("xl/charts/chart1.xml"));
  EXPECT_EQ(Part(dir / "plain.xlsx", "xl/workbook.xml").find("ChartData"), std::string::npos);
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
