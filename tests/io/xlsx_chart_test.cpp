// Native charts in saved workbooks: the chart part is a scatter chart of straight lines
// with the recorded settings, the series data stand on a hidden sheet, the plot area has
// its manual layout, and LibreOffice converts the workbook with its chart.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <regex>
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
#include "io/file_error.h"
#include "io/xlsx_chart_writer.h"
#include "io/xlsx_writer.h"
#include "io/zip_archive.h"
#include "temp_dir.h"
#include "tests/support/error_of.h"
#include "xlsx_fixture.h"
#include "tests/support/needs.h"

namespace dez::io {
namespace {

using namespace dez::embedded;  // NOLINT: the object model's constants
using testing::FilesIn;
using testing::Part;
using testing::TempDir;

/// A workbook with the dendrogram of three items A, B, C (A and B joined at 1, then C at
/// 2, limits 0 and 2.2) drawn below a three-row report on sheet "Report", through the
/// chart calls of the object model.
struct ChartedWorkbook {
  std::shared_ptr<EmbeddedApplication> app = EmbeddedApplication::Create();
  std::shared_ptr<EmbeddedWorkbook> book;
  std::shared_ptr<EmbeddedChart> chart;

  explicit ChartedWorkbook(bool similarity = false, const std::string& sheetName = "Report",
                           std::int32_t labelPosition = kLabelPositionRight) {
    book = app->AddWorkbook("Book1.xlsx", {sheetName});
    const auto sheet = book->FindSheet(sheetName);
    sheet->WriteCell(1, 1, Variant("Hierarchical cluster analysis"));
    sheet->WriteCell(2, 1, Variant("Items"));
    sheet->WriteCell(3, 1, Variant(3.0));

    app->ChartsAdd();
    host::ChartPtr c = app->ActiveChart();
    c->ChartType(kChartTypeXYScatterLinesNoMarkers);
    c->SetSourceData(app->Sheets(sheetName)->Range("a1"));
    c->Location(kLocationAsObject, sheetName);
    const host::ShapePtr shape = sheet->Shapes("Chart 1");
    shape->Left(0);
    shape->Top(5 * 15.0);
    shape->Width(450);
    shape->Height(95);
    c->HasLegend(false);
    const double leaf = similarity ? 2.2 : 0.0;
    const double stemEnd = similarity ? 0.0 : static_cast<double>(2.2f);
    AddLink(*c, {leaf, 1, 1, leaf}, {5, 5, 3, 3}, "A", "B", labelPosition);
    AddLink(*c, {1, 2, 2, leaf}, {4, 4, 1, 1}, "", "C", labelPosition);
    AddLink(*c, {2, stemEnd}, {2.5, 2.5}, "", "", labelPosition);
    c->ChartArea()->AutoScaleFont(false);
    c->PlotArea()->ClearFormats();
    c->ChartArea()->Interior()->ColorIndex(kColorIndexWhite);
    const host::AxisPtr level = c->Axes(kAxisCategory, kAxisGroupPrimary);
    level->HasTitle(false);
    level->TickLabels()->Font()->Size(8);
    level->HasMajorGridlines(false);
    level->HasMinorGridlines(false);
    level->MajorTickMark(kTickMarkOutside);
    level->MinorTickMark(kTickMarkOutside);
    level->MajorUnit(2.2);
    level->MinorUnit(0.55);
    if (similarity) level->ReversePlotOrder(true);
    level->MaximumScale(2.2);
    level->MinimumScale(0);
    level->TickLabels()->NumberFormat("0.0");
    const host::AxisPtr items = c->Axes(kAxisValue, kAxisGroupPrimary);
    items->HasMajorGridlines(false);
    items->HasMinorGridlines(false);
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

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

TEST(XlsxChart, PlotLayoutIsTheRecordedBoxClampedToTheFrame) {
  ChartedWorkbook w;
  const PlotAreaLayout layout = PlotLayoutOf(w.chart->Model());
  EXPECT_DOUBLE_EQ(layout.x, 50.0 / 450);
  EXPECT_DOUBLE_EQ(layout.y, 7.0 / 95);
  EXPECT_DOUBLE_EQ(layout.w, 386.0 / 450);
  EXPECT_DOUBLE_EQ(layout.h, (95.0 - 7 - 7) / 95);  // 150 points do not fit: clamped
}

TEST(XlsxChart, LayoutReplacesThePlotAreasEmptyLayout) {
  const std::string xml = "<c:chart><c:plotArea><c:layout/><c:scatterChart/></c:plotArea></c:chart>";
  const std::string out = WithPlotAreaLayout(xml, {0.25, 0.5, 0.5, 0.375}, "f.xlsx");
  EXPECT_EQ(out,
            "<c:chart><c:plotArea><c:layout><c:manualLayout><c:xMode val=\"edge\"/><c:yMode val=\"edge\"/>"
            "<c:x val=\"0.25\"/><c:y val=\"0.5\"/><c:w val=\"0.5\"/><c:h val=\"0.375\"/></c:manualLayout>"
            "</c:layout><c:scatterChart/></c:plotArea></c:chart>");
  EXPECT_THROW(WithPlotAreaLayout("<c:chart/>", {}, "f.xlsx"), FileError);
}

TEST(XlsxChart, WrittenFileHoldsAScatterChartWithTheRecordedSettings) {
  TempDir dir;
  ChartedWorkbook w;
  const auto file = dir / "report.xlsx";
  WriteXlsxWithCharts(*w.book, file);

  const std::string chart = Part(file, "xl/charts/chart1.xml");
  EXPECT_EQ(Count(chart, "<c:ser>"), 3);
  EXPECT_EQ(Count(chart, "<c:marker><c:symbol val=\"none\"/></c:marker>"), 3);
  // Black lines of 0.75 pt (9525 EMU), no smoothing.
  EXPECT_EQ(Count(chart, "<a:ln w=\"9525\"><a:solidFill><a:srgbClr val=\"000000\"/>"), 3) << chart;
  EXPECT_EQ(Count(chart, "<c:delete val=\"1\"/></c:dLbl>"), 2 + 3) << "the unlabelled points\n" << chart;
  EXPECT_EQ(Count(chart, "<c:delete val=\"1\"/><c:axPos"), 1) << "the item axis is deleted\n" << chart;
  for (const char* piece : {
           "<c:scatterStyle val=\"lineMarker\"/>",
           "<c:xVal><c:numRef><c:f>ChartData!$A$1:$D$1</c:f>",  // series data by reference to the hidden
           "<c:yVal><c:numRef><c:f>ChartData!$A$2:$D$2</c:f>",  // sheet, one row per vector
           "<c:yVal><c:numRef><c:f>ChartData!$A$6:$B$6</c:f>",
           "<a:t>A</a:t>", "<a:t>B</a:t>", "<a:t>C</a:t>", "sz=\"800\"",  // the leaf labels
           "<c:max val=\"2.2\"/><c:min val=\"0\"/>",               // levels 0 to 2.2 along the bottom,
           "<c:majorUnit val=\"2.2\"/>", "<c:minorUnit val=\"0.55\"/>",  // one major unit, format 0.0
           "<c:numFmt formatCode=\"0.0\" sourceLinked=\"0\"/>",
           "<c:max val=\"5\"/><c:min val=\"0\"/>",                 // the item axis
           "<c:autoTitleDeleted val=\"1\"/>",
           "<c:plotArea><c:layout><c:manualLayout><c:xMode val=\"edge\"/><c:yMode val=\"edge\"/>"
           "<c:x val=\"0.1111111111111111\"/>",  // the plot area's manual layout
       }) {
    EXPECT_NE(chart.find(piece), std::string::npos) << piece << "\n" << chart;
  }
  // Labels right of the point (the default), no smoothing, gridlines, legend or reversal.
  for (const char* piece : {"<c:dLblPos", "<c:smooth val=\"1\"/>", "<c:majorGridlines", "<c:legend>",
                            "<c:orientation val=\"maxMin\"/>"}) {
    EXPECT_EQ(chart.find(piece), std::string::npos) << piece;
  }

  // The data sheet is hidden and comes after the report.
  const std::string workbook = Part(file, "xl/workbook.xml");
  EXPECT_TRUE(std::regex_search(workbook, std::regex("<sheet name=\"Report\" sheetId=\"1\" r:id=\"rId1\"/>"
                                                     "<sheet name=\"ChartData\" sheetId=\"2\" state=\"hidden\"")))
      << workbook;
  const std::string data = Part(file, "xl/worksheets/sheet2.xml");
  EXPECT_NE(data.find("<c r=\"B1\"><v>1</v></c>"), std::string::npos) << data;
  // 2.2 in single precision, in the 16 digits libxlsxwriter writes.
  EXPECT_NE(data.find("<c r=\"B5\"><v>2.200000047683716</v></c>"), std::string::npos) << data;

  // The frame: at A6, 600 x 127 pixels (450 x 95 points): 9 columns of 64 pixels and 24
  // more, 6 rows of 20 pixels and 7 more.
  const std::string drawing = Part(file, "xl/drawings/drawing1.xml");
  EXPECT_NE(drawing.find("<xdr:twoCellAnchor editAs=\"oneCell\"><xdr:from><xdr:col>0</xdr:col><xdr:colOff>0"
                         "</xdr:colOff><xdr:row>5</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:from><xdr:to><xdr:col>9"
                         "</xdr:col><xdr:colOff>228600</xdr:colOff><xdr:row>11</xdr:row><xdr:rowOff>66675</xdr:rowOff>"
                         "</xdr:to>"),
            std::string::npos)
      << drawing;
}

TEST(XlsxChart, SimilarityChartHasAReversedLevelAxis) {
  TempDir dir;
  ChartedWorkbook w(true);
  WriteXlsxWithCharts(*w.book, dir / "s.xlsx");
  const std::string chart = Part(dir / "s.xlsx", "xl/charts/chart1.xml");
  EXPECT_EQ(Count(chart, "<c:orientation val=\"maxMin\"/>"), 1) << chart;
}

TEST(XlsxChart, LabelsLeftOfTheirPoints) {
  TempDir dir;
  ChartedWorkbook w(false, "Report", kLabelPositionLeft);
  WriteXlsxWithCharts(*w.book, dir / "l.xlsx");
  const std::string chart = Part(dir / "l.xlsx", "xl/charts/chart1.xml");
  EXPECT_NE(chart.find("<c:dLblPos val=\"l\"/>"), std::string::npos) << chart;
}

TEST(XlsxChart, DataSheetNameAvoidsTheWorkbooksSheets) {
  TempDir dir;
  ChartedWorkbook w(false, "chartdata");
  WriteXlsxWithCharts(*w.book, dir / "d.xlsx");
  const std::string workbook = Part(dir / "d.xlsx", "xl/workbook.xml");
  EXPECT_NE(workbook.find("<sheet name=\"ChartData2\" sheetId=\"2\" state=\"hidden\""), std::string::npos)
      << workbook;
  EXPECT_NE(Part(dir / "d.xlsx", "xl/charts/chart1.xml").find("ChartData2!$A$1:$D$1"), std::string::npos);
}

TEST(XlsxChart, ChartsOfSeveralSheetsEachGetTheirLayout) {
  TempDir dir;
  ChartedWorkbook w;
  // A second sheet with a taller chart further down.
  const auto second = w.book->AddSheet("Second");
  w.app->ChartsAdd();
  const host::ChartPtr c = w.app->ActiveChart();
  c->ChartType(kChartTypeXYScatterLinesNoMarkers);
  c->Location(kLocationAsObject, "Second");
  second->Shapes("Chart 1")->Top(40);
  second->Shapes("Chart 1")->Left(100);
  second->Shapes("Chart 1")->Height(200);
  ChartedWorkbook::AddLink(*c, {0, 1}, {1, 1}, "x", "");
  c->PlotArea()->Left(20);
  const auto file = dir / "two.xlsx";
  WriteXlsxWithCharts(*w.book, file);
  const std::string chart2 = Part(file, "xl/charts/chart2.xml");
  EXPECT_NE(chart2.find("<c:x val=\"0.05555555555555555\"/>"), std::string::npos) << chart2;  // 20 of 360 points
  EXPECT_NE(chart2.find("ChartData!$A$8:$B$8"), std::string::npos) << chart2;
  // 40 points down is row 3 (rows are 15 points) with 10 points (13 pixels) left over;
  // 100 points across is column C with 4 points (5 pixels).
  const std::string drawing = Part(file, "xl/drawings/drawing2.xml");
  EXPECT_NE(drawing.find("<xdr:from><xdr:col>2</xdr:col><xdr:colOff>47625</xdr:colOff><xdr:row>2</xdr:row>"
                         "<xdr:rowOff>123825</xdr:rowOff></xdr:from>"),
            std::string::npos)
      << drawing;
}

TEST(XlsxChart, AWorkbookWithoutChartsHasNoDataSheet) {
  TempDir dir;
  auto app = EmbeddedApplication::Create();
  auto book = app->AddWorkbook("Plain.xlsx", {"Only"});
  book->FindSheet("Only")->WriteCell(1, 1, Variant(1.0));
  WriteXlsxWithCharts(*book, dir / "plain.xlsx");
  EXPECT_FALSE(ZipArchive(dir / "plain.xlsx", "test").Contains("xl/charts/chart1.xml"));
  EXPECT_EQ(Part(dir / "plain.xlsx", "xl/workbook.xml").find("ChartData"), std::string::npos);
}

TEST(XlsxChart, AChartTypeThatCannotBeSavedFailsTheWriteAndLeavesNoFile) {
  TempDir dir;
  ChartedWorkbook w;
  w.chart->ChartType(51);  // a column chart
  const auto file = dir / "bad.xlsx";
  const FileError e = test::ErrorOf<FileError>([&] { WriteXlsxWithCharts(*w.book, file); });
  EXPECT_EQ(e.kind, FileErrorKind::kWrite);
  EXPECT_NE(e.description.find("chart type 51 cannot be saved"), std::string::npos) << e.description;
  EXPECT_NE(e.description.find("sheet \"Report\""), std::string::npos) << e.description;
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(XlsxChart, LabelTextsThatLookLikeFormulasStandInTheDataSheet) {
  TempDir dir;
  ChartedWorkbook w;
  const host::PointPtr p = w.chart->SeriesCollection()->Item(2)->Points(1);
  p->ApplyDataLabels(kDataLabelsShowLabel);
  p->DataLabel()->Text("=1+1");
  WriteXlsxWithCharts(*w.book, dir / "f.xlsx");
  const std::string chart = Part(dir / "f.xlsx", "xl/charts/chart1.xml");
  EXPECT_NE(chart.find("<c:strRef><c:f>ChartData!$A$5</c:f>"), std::string::npos) << chart;
  const std::string data = Part(dir / "f.xlsx", "xl/worksheets/sheet2.xml");
  EXPECT_NE(data.find("<c r=\"A5\" t=\"inlineStr\"><is><t>=1+1</t></is></c>"), std::string::npos) << data;
}

// LibreOffice opens the saved report with its chart: it converts it to PDF, with the
// chart's texts on the page, and saves it again with a chart part of its own.
TEST(XlsxChart, LibreOfficeConvertsTheReportWithItsChart) {
  DEZ_NEEDS(std::system("command -v soffice >/dev/null 2>&1") == 0, "LibreOffice (soffice)");
  TempDir dir;
  ChartedWorkbook w;
  WriteXlsxWithCharts(*w.book, dir / "report.xlsx");
  const std::string soffice = "cd '" + dir.path().string() + "' && timeout 300 soffice --headless " +
                              "-env:UserInstallation=file://" + (dir / "profile").string() + " ";
  ASSERT_EQ(std::system((soffice + "--convert-to pdf report.xlsx >/dev/null 2>&1").c_str()), 0);
  const std::string pdf = testing::ReadAll(dir / "report.pdf");
  ASSERT_GT(pdf.size(), 1000u);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  if (std::system("command -v pdftotext >/dev/null 2>&1") == 0) {
    ASSERT_EQ(std::system(("cd '" + dir.path().string() + "' && pdftotext -layout report.pdf report.txt").c_str()), 0);
    const std::string text = testing::ReadAll(dir / "report.txt");
    for (const char* shown : {"0.0", "2.2", "A", "B", "C"}) {
      EXPECT_NE(text.find(shown), std::string::npos) << shown << " in\n" << text;
    }
  }
  std::filesystem::create_directories(dir / "again");
  ASSERT_EQ(std::system((soffice + "--convert-to xlsx --outdir again report.xlsx >/dev/null 2>&1").c_str()), 0);
  EXPECT_TRUE(ZipArchive(dir / "again" / "report.xlsx", "test").Contains("xl/charts/chart1.xml"));
}

}  // namespace
}  // namespace dez::io
