// Native charts in saved workbooks: every chart the host embedded in a worksheet becomes a
// scatter chart of the XLSX file, through libxlsxwriter, as the sheet hooks of XlsxWriter.
//
//   WriteXlsxWithCharts(book, "report.xlsx");       // cells, formats and charts
//
// or, to combine the chart hooks with hooks of one's own:
//
//   XlsxChartExporter charts(book, path);
//   XlsxWriter::Write(book, path, charts.Options());
//
// What each recorded chart setting becomes (chart_model.h):
// - chart type: the scatter kinds (markers only, straight or smooth lines, with or without
//   markers); any other type cannot be saved and fails the write.
// - series: XValues and Values are written to a hidden worksheet ("ChartData", or
//   "ChartData2"... when the workbook has a sheet of that name), one row per vector,
//   and the series refer to those rows. libxlsxwriter cannot write literal value arrays
//   correctly, and a reference is what spreadsheet programs write themselves. Series
//   without Values are left out, and a chart with no series left is not written.
// - series line: palette colour (black written as black, not as "automatic"), weight
//   (hairline 0.25 pt, thin 0.75 pt, medium 1.5 pt, thick 2.25 pt), style (continuous,
//   dash, dot, none); markers none or automatic.
// - data labels: a series with labels gets one label per point; the labelled points
//   show their text (Characters.Text) in their font, every other point's label is
//   deleted. The position (centre, left, right, above, below) is the series' first
//   label's. A label text that begins with "=" is written to the data sheet and referred
//   to, so that it is not read as a formula.
// - axes: the axis of the XValues (category, type 1) is the scatter chart's horizontal
//   axis, the axis of the Values (value, type 2) its vertical one. Minimum, maximum,
//   major and minor unit, tick marks, gridlines, tick-label number format and font,
//   reversed order; a deleted axis is written as deleted (not drawn, its scale kept).
// - legend: none when HasLegend was set False; the chart has no title.
// - chart area: its fill from the palette; the plot area without fill or border once its
//   formats were cleared.
// - frame: the shape's size in points (at 96 pixels per inch), anchored at the cell
//   under the shape's top-left corner with the remaining offset, moving with its cells
//   but keeping its size.
// - plot area position and size: libxlsxwriter cannot write them, so after the workbook
//   is closed the chart parts are rewritten (libzip) with a manual layout of the plot
//   area's outer box, as fractions of the chart; values past the chart's frame are
//   clamped to it, less the default margin at the right and bottom edges.
// AutoScaleFont has no counterpart in the file format and is not written. Charts that
// are still chart sheets (never embedded) are not written.
//
// Every failure is a FileError kWrite (source "WriteXlsx") naming the file and the sheet.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "io/xlsx_writer.h"

struct lxw_chart;
struct lxw_chart_series;

namespace dez::embedded {
class EmbeddedWorkbook;
struct ChartModel;
struct SeriesSettings;
}  // namespace dez::embedded

namespace dez::io {

/// Writes `book` to `path` with XlsxWriter, and its embedded charts as native charts.
void WriteXlsxWithCharts(const embedded::EmbeddedWorkbook& book, const std::filesystem::path& path);
/// The same, into the temporary file of `output`, which the caller commits.
void WriteXlsxWithCharts(const embedded::EmbeddedWorkbook& book, AtomicOutputFile& output);

/// The plot area's outer box as fractions of its chart (the manual layout written).
struct PlotAreaLayout {
  double x = 0.0;
  double y = 0.0;
  double w = 1.0;
  double h = 1.0;
};

/// The manual layout of the plot area that `chart` records, clamped to its frame.
PlotAreaLayout PlotLayoutOf(const embedded::ChartModel& chart);

/// The chart part `xml` (DrawingML chart XML as libxlsxwriter writes it) with `layout` as
/// the manual layout of its plot area. Raises FileError kWrite (for `fileName`) when the
/// part has no plot area.
std::string WithPlotAreaLayout(const std::string& xml, const PlotAreaLayout& layout, const std::string& fileName);

/// The charts of one XlsxWriter::Write. Build it for the workbook being written and
/// pass Options() to the write; the object must outlive the write.
class XlsxChartExporter {
 public:
  /// The charts of `book`, written to `destination` (named in error messages).
  XlsxChartExporter(const embedded::EmbeddedWorkbook& book, const std::filesystem::path& destination);
  ~XlsxChartExporter();
  XlsxChartExporter(const XlsxChartExporter&) = delete;
  XlsxChartExporter& operator=(const XlsxChartExporter&) = delete;

  /// Hooks bound to this object: charts after each sheet, the data sheet before the
  /// workbook is closed, the plot-area layouts after.
  XlsxWriteOptions Options();

  /// Name of the hidden sheet that holds the series data.
  const std::string& DataSheetName() const { return dataSheet_; }

 private:
  /// One row of the data sheet: numbers, or one text.
  struct DataRow {
    std::vector<double> numbers;
    std::string text;
  };
  /// A chart written, known in the package by the reference of its first series' Values.
  struct WrittenChart {
    std::string firstValues;
    PlotAreaLayout layout;
  };

  void AfterSheet(const XlsxSheetContext& context);
  void BeforeClose(lxw_workbook* workbook);
  void AfterClose(const std::filesystem::path& written);
  using ChartFail = std::function<void(const std::string&)>;
  void WriteChart(const XlsxSheetContext& context, const embedded::ChartModel& chart);
  /// One series: its data rows, line, markers and labels; `firstValues` gets the
  /// reference of the chart's first Values.
  void AddSeries(lxw_chart* chart, const embedded::SeriesSettings& s, const ChartFail& fail, std::string& firstValues);
  void SetDataLabels(lxw_chart_series* series, const embedded::SeriesSettings& s, std::int32_t points,
                     const ChartFail& fail);
  void SetAxes(lxw_chart* chart, const embedded::ChartModel& model, const ChartFail& fail);
  void InsertFrame(const XlsxSheetContext& context, lxw_chart* chart, const embedded::ChartModel& model,
                   const ChartFail& fail);
  /// Adds a row to the data sheet and returns its 0-based number.
  std::uint32_t AddDataRow(DataRow row);
  /// Keeps a text alive until the write ends and returns it for libxlsxwriter.
  char* Keep(std::string text);
  [[noreturn]] void Fail(const std::string& sheet, const std::string& what) const;

  const embedded::EmbeddedWorkbook& book_;
  std::string fileName_;
  std::string dataSheet_;
  std::vector<DataRow> dataRows_;
  std::vector<WrittenChart> layouts_;    // in the order written
  std::list<std::string> texts_;         // stable addresses
};

}  // namespace dez::io
