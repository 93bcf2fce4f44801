#include "io/xlsx_chart_writer.h"

#include <xlsxwriter.h>
#include <zip.h>

#include <algorithm>
#include <charconv>
#include <functional>
#include <cmath>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "host/embedded/chart_model.h"
#include "host/embedded/embedded_chart.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/object_model_constants.h"
#include "host/embedded/sheet_geometry.h"
#include "host/embedded/sheet_limits.h"
#include "io/atomic_output_file.h"
#include "io/color_palette.h"
#include "io/file_error.h"
#include "io/sheet_metrics.h"

namespace dez::io {

namespace {

using embedded::AxisSettings;
using embedded::ChartBorderSettings;
using embedded::ChartFontSettings;
using embedded::ChartModel;
using embedded::DataLabelSettings;
using embedded::SeriesSettings;

constexpr const char* kSource = "WriteXlsx";
constexpr const char* kDataSheetBase = "ChartData";
/// libxlsxwriter's default chart frame, in pixels; the insert options scale it.
constexpr double kDefaultChartWidthPx = 480.0;
constexpr double kDefaultChartHeightPx = 288.0;
/// A chart part larger than this is not a chart libxlsxwriter wrote for us.
constexpr zip_uint64_t kMaxChartPartBytes = 64u << 20;

// ---- Private: the host's settings in libxlsxwriter's terms --------------------------------

/// The libxlsxwriter colour of palette index `index`, or nothing (automatic, none).
/// libxlsxwriter reads 0 as "unset", so black is its own constant.
std::optional<lxw_color_t> ColorOf(std::optional<std::int32_t> index) {
  if (!index) return std::nullopt;
  const std::optional<std::uint32_t> rgb = PaletteColor(*index);
  if (!rgb) return std::nullopt;
  return *rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : static_cast<lxw_color_t>(*rgb);
}

std::optional<std::uint8_t> ChartTypeOf(std::int32_t type) {
  switch (type) {
    case embedded::kChartTypeXYScatter: return LXW_CHART_SCATTER;
    case embedded::kChartTypeXYScatterLines: return LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS;
    case embedded::kChartTypeXYScatterLinesNoMarkers: return LXW_CHART_SCATTER_STRAIGHT;
    case embedded::kChartTypeXYScatterSmooth: return LXW_CHART_SCATTER_SMOOTH_WITH_MARKERS;
    case embedded::kChartTypeXYScatterSmoothNoMarkers: return LXW_CHART_SCATTER_SMOOTH;
    default: return std::nullopt;
  }
}

/// Line width in points of a border weight.
std::optional<float> LineWidthOf(std::int32_t weight) {
  switch (weight) {
    case embedded::kLineWeightHairline: return 0.25F;
    case embedded::kLineWeightThin: return 0.75F;
    case embedded::kLineWeightMedium: return 1.5F;
    case embedded::kLineWeightThick: return 2.25F;
    default: return std::nullopt;
  }
}

std::optional<std::uint8_t> DashOf(std::int32_t style) {
  switch (style) {
    case embedded::kLineStyleContinuous: return LXW_CHART_LINE_DASH_SOLID;
    case embedded::kLineStyleDash: return LXW_CHART_LINE_DASH_DASH;
    case embedded::kLineStyleDot: return LXW_CHART_LINE_DASH_ROUND_DOT;
    default: return std::nullopt;
  }
}

std::optional<std::uint8_t> LabelPositionOf(std::int32_t position) {
  switch (position) {
    case embedded::kLabelPositionCenter: return LXW_CHART_LABEL_POSITION_CENTER;
    case embedded::kLabelPositionLeft: return LXW_CHART_LABEL_POSITION_LEFT;
    case embedded::kLabelPositionRight: return LXW_CHART_LABEL_POSITION_RIGHT;
    case embedded::kLabelPositionAbove: return LXW_CHART_LABEL_POSITION_ABOVE;
    case embedded::kLabelPositionBelow: return LXW_CHART_LABEL_POSITION_BELOW;
    default: return std::nullopt;
  }
}

std::optional<std::uint8_t> TickMarkOf(std::int32_t mark) {
  switch (mark) {
    case embedded::kTickMarkNone: return LXW_CHART_AXIS_TICK_MARK_NONE;
    case embedded::kTickMarkInside: return LXW_CHART_AXIS_TICK_MARK_INSIDE;
    case embedded::kTickMarkOutside: return LXW_CHART_AXIS_TICK_MARK_OUTSIDE;
    case embedded::kTickMarkCross: return LXW_CHART_AXIS_TICK_MARK_CROSSING;
    default: return std::nullopt;
  }
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

/// "ChartData", or "ChartData2", "ChartData3"... when the workbook has a sheet of that name.
std::string FreeDataSheetName(const embedded::EmbeddedWorkbook& book) {
  for (std::int32_t k = 1;; ++k) {
    const std::string name = k == 1 ? std::string(kDataSheetBase) : kDataSheetBase + std::to_string(k);
    const bool taken = std::any_of(book.Sheets().begin(), book.Sheets().end(),
                                   [&](const auto& sheet) { return SameNameIgnoringCase(sheet->Name(), name); });
    if (!taken) return name;
  }
}

/// The last index in 1..last whose start (`startOf`, non-decreasing) is at most `at`.
std::int32_t IndexAt(double at, std::int32_t last, const auto& startOf) {
  std::int32_t low = 1;
  std::int32_t high = last;
  while (low < high) {
    const std::int32_t middle = low + (high - low + 1) / 2;
    if (startOf(middle) <= at) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return low;
}

/// A number as the shortest text that reads back to it.
std::string ShortestText(double value) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

/// Closes or discards a libzip archive exactly once.
struct ZipDiscard {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};

/// What a chart setting that cannot be saved raises (names the sheet and the chart).
using ChartFail = std::function<void(const std::string&)>;

/// The series line: none, or its colour, width and dash.
void SetSeriesLine(lxw_chart_series* series, const ChartBorderSettings& border, const ChartFail& fail) {
  lxw_chart_line line{};
  bool lineSet = false;
  if (border.colorIndex == embedded::kColorIndexNone || border.lineStyle == embedded::kLineStyleNone) {
    line.none = LXW_TRUE;
    lineSet = true;
  } else {
    if (const std::optional<lxw_color_t> color = ColorOf(border.colorIndex)) {
      line.color = *color;
      lineSet = true;
    }
    if (border.weight) {
      const std::optional<float> width = LineWidthOf(*border.weight);
      if (!width) fail("line weight " + std::to_string(*border.weight) + " cannot be saved");
      line.width = *width;
      lineSet = true;
    }
    if (border.lineStyle) {
      const std::optional<std::uint8_t> dash = DashOf(*border.lineStyle);
      if (!dash) fail("line style " + std::to_string(*border.lineStyle) + " cannot be saved");
      line.dash_type = *dash;
      lineSet = true;
    }
  }
  if (lineSet) chart_series_set_line(series, &line);
}

/// No title; the legend, the chart area's fill and the plot area's cleared formats.
void SetAreas(lxw_chart* chart, const ChartModel& model) {
  chart_title_off(chart);
  if (model.hasLegend == false) chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
  if (model.chartArea.interiorColorIndex == embedded::kColorIndexNone) {
    lxw_chart_fill none{};
    none.none = LXW_TRUE;
    chart_chartarea_set_fill(chart, &none);
  } else if (const std::optional<lxw_color_t> color = ColorOf(model.chartArea.interiorColorIndex)) {
    lxw_chart_fill fill{};
    fill.color = *color;
    chart_chartarea_set_fill(chart, &fill);
  }
  if (model.plotArea.formatsCleared) {
    lxw_chart_fill noFill{};
    noFill.none = LXW_TRUE;
    chart_plotarea_set_fill(chart, &noFill);
    lxw_chart_line noLine{};
    noLine.none = LXW_TRUE;
    chart_plotarea_set_line(chart, &noLine);
  }
}

}  // namespace

// ---- Public: plot-area layout ---------------------------------------------------------------

PlotAreaLayout PlotLayoutOf(const ChartModel& chart) {
  const double width = chart.shape.width;
  const double height = chart.shape.height;
  const double margin = embedded::PlotAreaSettings::kDefaultMargin;
  if (width <= 0.0 || height <= 0.0) return {};
  // The box as recorded, with the default position and size for what was never set.
  const double left = std::clamp(chart.plotArea.left.value_or(margin), 0.0, width);
  const double top = std::clamp(chart.plotArea.top.value_or(margin), 0.0, height);
  const double boxWidth = std::clamp(chart.PlotAreaWidth(), 0.0, std::max(0.0, width - margin - left));
  const double boxHeight =
      std::clamp(chart.plotArea.height.value_or(height - 2.0 * margin), 0.0, std::max(0.0, height - margin - top));
  return {left / width, top / height, boxWidth / width, boxHeight / height};
}

std::string WithPlotAreaLayout(const std::string& xml, const PlotAreaLayout& layout, const std::string& fileName) {
  static constexpr std::string_view kPlotArea = "<c:plotArea>";
  static constexpr std::string_view kEmptyLayout = "<c:layout/>";
  const std::size_t plotArea = xml.find(kPlotArea);
  if (plotArea == std::string::npos) {
    throw FileError(FileErrorKind::kWrite, fileName, {}, "a chart part has no plot area", kSource);
  }
  const std::string manual = "<c:layout><c:manualLayout><c:xMode val=\"edge\"/><c:yMode val=\"edge\"/>"
                             "<c:x val=\"" + ShortestText(layout.x) + "\"/><c:y val=\"" + ShortestText(layout.y) +
                             "\"/><c:w val=\"" + ShortestText(layout.w) + "\"/><c:h val=\"" +
                             ShortestText(layout.h) + "\"/></c:manualLayout></c:layout>";
  // The layout is the plot area's first child: it replaces an empty one that stands there.
  const std::size_t at = plotArea + kPlotArea.size();
  const std::size_t replaced = xml.compare(at, kEmptyLayout.size(), kEmptyLayout) == 0 ? kEmptyLayout.size() : 0;
  std::string out;
  out.reserve(xml.size() + manual.size());
  out.append(xml, 0, at).append(manual).append(xml, at + replaced, std::string::npos);
  return out;
}

void WriteXlsxWithCharts(const embedded::EmbeddedWorkbook& book, const std::filesystem::path& path) {
  XlsxChartExporter charts(book, path);
  XlsxWriter::Write(book, path, charts.Options());
}

void WriteXlsxWithCharts(const embedded::EmbeddedWorkbook& book, AtomicOutputFile& output) {
  XlsxChartExporter charts(book, output.Destination());
  XlsxWriter::Write(book, output, charts.Options());
}

// ---- The exporter ---------------------------------------------------------------------------

XlsxChartExporter::XlsxChartExporter(const embedded::EmbeddedWorkbook& book, const std::filesystem::path& destination)
    : book_(book), fileName_(destination.string()), dataSheet_(FreeDataSheetName(book)) {}

XlsxChartExporter::~XlsxChartExporter() = default;

XlsxWriteOptions XlsxChartExporter::Options() {
  XlsxWriteOptions options;
  options.afterSheet = [this](const XlsxSheetContext& context) { AfterSheet(context); };
  options.beforeClose = [this](lxw_workbook* workbook) { BeforeClose(workbook); };
  options.afterClose = [this](const std::filesystem::path& written) { AfterClose(written); };
  return options;
}

void XlsxChartExporter::Fail(const std::string& sheet, const std::string& what) const {
  throw FileError(FileErrorKind::kWrite, fileName_, FileLocation{sheet, 0, 0, {}}, what, kSource);
}

char* XlsxChartExporter::Keep(std::string text) { return texts_.emplace_back(std::move(text)).data(); }

std::uint32_t XlsxChartExporter::AddDataRow(DataRow row) {
  if (dataRows_.size() >= static_cast<std::size_t>(embedded::kMaxRows)) {
    Fail(dataSheet_, "too much chart data for one sheet");
  }
  dataRows_.push_back(std::move(row));
  return static_cast<std::uint32_t>(dataRows_.size() - 1);
}

void XlsxChartExporter::AfterSheet(const XlsxSheetContext& context) {
  for (const auto& chart : context.sheet.Charts()) WriteChart(context, chart->Model());
}

void XlsxChartExporter::WriteChart(const XlsxSheetContext& context, const ChartModel& model) {
  const std::string& sheetName = context.sheet.Name();
  const ChartFail fail = [&](const std::string& what) { Fail(sheetName, model.objectName + ": " + what); };
  const bool hasData = std::any_of(model.series.begin(), model.series.end(),
                                   [](const SeriesSettings& s) { return !s.values.empty(); });
  if (!hasData) return;  // nothing to draw: a chart part needs a series

  const std::optional<std::uint8_t> type = ChartTypeOf(model.chartType.value_or(0));
  if (!type) fail("chart type " + std::to_string(model.chartType.value_or(0)) + " cannot be saved");
  lxw_chart* chart = workbook_add_chart(context.workbook, *type);
  if (chart == nullptr) fail("cannot add the chart");

  std::string firstValues;
  for (const SeriesSettings& s : model.series) {
    if (!s.values.empty()) AddSeries(chart, s, fail, firstValues);
  }
  SetAxes(chart, model, fail);
  SetAreas(chart, model);
  InsertFrame(context, chart, model, fail);
  layouts_.push_back({std::move(firstValues), PlotLayoutOf(model)});
}

void XlsxChartExporter::AddSeries(lxw_chart* chart, const SeriesSettings& s, const ChartFail& fail,
                                  std::string& firstValues) {
  // Data rows on the hidden sheet, one for the XValues and one for the Values.
  lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
  if (series == nullptr) fail("cannot add a series");
  const auto points = static_cast<std::int32_t>(std::max(s.xValues.size(), s.values.size()));
  if (points > embedded::kMaxColumns) fail("a series has more points than a sheet has columns");
  if (!s.xValues.empty()) {
    const std::uint32_t row = AddDataRow({s.xValues, {}});
    chart_series_set_categories(series, dataSheet_.c_str(), row, 0, row,
                                static_cast<lxw_col_t>(s.xValues.size() - 1));
  }
  const std::uint32_t valuesRow = AddDataRow({s.values, {}});
  chart_series_set_values(series, dataSheet_.c_str(), valuesRow, 0, valuesRow,
                          static_cast<lxw_col_t>(s.values.size() - 1));
  if (firstValues.empty()) {
    char reference[64];
    lxw_rowcol_to_range_abs(reference, valuesRow, 0, valuesRow, static_cast<lxw_col_t>(s.values.size() - 1));
    firstValues = dataSheet_ + "!" + reference;
  }
  SetSeriesLine(series, s.border, fail);
  if (s.markerStyle == embedded::kMarkerStyleNone) {
    chart_series_set_marker_type(series, LXW_CHART_MARKER_NONE);
  } else if (s.markerStyle && *s.markerStyle != embedded::kMarkerStyleAutomatic) {
    fail("marker style " + std::to_string(*s.markerStyle) + " cannot be saved");
  }
  if (!s.dataLabels.empty()) SetDataLabels(series, s, points, fail);
}

// Axes: the XValues' axis is the horizontal one, the Values' axis the vertical one.
void XlsxChartExporter::SetAxes(lxw_chart* chart, const ChartModel& model, const ChartFail& fail) {
  for (const AxisSettings& a : model.axes) {
    if (a.group != embedded::kAxisGroupPrimary) fail("a secondary axis cannot be saved");
    lxw_chart_axis* axis = a.type == embedded::kAxisCategory ? chart->x_axis
                           : a.type == embedded::kAxisValue  ? chart->y_axis
                                                             : nullptr;
    if (axis == nullptr) fail("axis type " + std::to_string(a.type) + " cannot be saved");
    if (a.minimumScale) chart_axis_set_min(axis, *a.minimumScale);
    if (a.maximumScale) chart_axis_set_max(axis, *a.maximumScale);
    if (a.majorUnit && a.majorUnitIsAuto != true) chart_axis_set_major_unit(axis, *a.majorUnit);
    if (a.minorUnit && a.minorUnitIsAuto != true) chart_axis_set_minor_unit(axis, *a.minorUnit);
    if (a.majorTickMark) {
      const std::optional<std::uint8_t> mark = TickMarkOf(*a.majorTickMark);
      if (!mark) fail("tick mark " + std::to_string(*a.majorTickMark) + " cannot be saved");
      chart_axis_set_major_tick_mark(axis, *mark);
    }
    if (a.minorTickMark) {
      const std::optional<std::uint8_t> mark = TickMarkOf(*a.minorTickMark);
      if (!mark) fail("tick mark " + std::to_string(*a.minorTickMark) + " cannot be saved");
      chart_axis_set_minor_tick_mark(axis, *mark);
    }
    if (a.hasMajorGridlines) chart_axis_major_gridlines_set_visible(axis, *a.hasMajorGridlines ? LXW_TRUE : LXW_FALSE);
    if (a.hasMinorGridlines) chart_axis_minor_gridlines_set_visible(axis, *a.hasMinorGridlines ? LXW_TRUE : LXW_FALSE);
    if (a.tickLabels.numberFormat) chart_axis_set_num_format(axis, a.tickLabels.numberFormat->c_str());
    const ChartFontSettings& font = a.tickLabels.font;
    if (font.name || font.size || font.bold) {
      lxw_chart_font tickFont{};
      if (font.name) tickFont.name = Keep(*font.name);
      if (font.size) tickFont.size = *font.size;
      if (font.bold) tickFont.bold = *font.bold ? LXW_TRUE : LXW_FALSE;
      chart_axis_set_num_font(axis, &tickFont);
    }
    if (a.reversePlotOrder == true) chart_axis_set_reverse(axis);
    if (a.deleted) chart_axis_off(axis);
  }
}

// The labelled points show their text, the others' labels are deleted.
void XlsxChartExporter::SetDataLabels(lxw_chart_series* series, const SeriesSettings& s, std::int32_t points,
                                      const ChartFail& fail) {
  std::vector<lxw_chart_data_label> labels(static_cast<std::size_t>(points));
  std::vector<lxw_chart_font> fonts(static_cast<std::size_t>(points));
  for (lxw_chart_data_label& label : labels) label.hide = LXW_TRUE;
  bool showValues = false;
  for (const auto& [point, settings] : s.dataLabels) {
    if (point < 1 || point > points) continue;
    const auto k = static_cast<std::size_t>(point - 1);
    if (settings.type == embedded::kDataLabelsShowNone) continue;
    labels[k].hide = LXW_FALSE;
    if (settings.text) {
      if (settings.text->starts_with("=")) {
        // A text that would read as a formula stands in a cell of the data sheet.
        const std::uint32_t row = AddDataRow({{}, *settings.text});
        char cell[32];
        lxw_rowcol_to_cell_abs(cell, row, 0, LXW_TRUE, LXW_TRUE);
        labels[k].value = Keep("=" + dataSheet_ + "!" + cell);
      } else {
        labels[k].value = Keep(*settings.text);
      }
    } else {
      showValues = showValues || settings.type == embedded::kDataLabelsShowValue;
    }
    const ChartFontSettings& font = settings.font;
    if (font.name || font.size || font.bold) {
      if (font.name) fonts[k].name = Keep(*font.name);
      if (font.size) fonts[k].size = *font.size;
      if (font.bold) fonts[k].bold = *font.bold ? LXW_TRUE : LXW_FALSE;
      labels[k].font = &fonts[k];
    }
  }
  chart_series_set_labels(series);
  // A label without text of its own shows the point's value or, as "show label"
  // does in a scatter chart, its X value.
  if (!showValues) chart_series_set_labels_options(series, LXW_FALSE, LXW_TRUE, LXW_FALSE);
  std::vector<lxw_chart_data_label*> pointers;
  pointers.reserve(labels.size() + 1);
  for (lxw_chart_data_label& label : labels) pointers.push_back(&label);
  pointers.push_back(nullptr);
  if (const lxw_error error = chart_series_set_labels_custom(series, pointers.data()); error != LXW_NO_ERROR) {
    fail(std::string("cannot set the data labels: ") + lxw_strerror(error));
  }
  const std::optional<std::int32_t> position = s.dataLabels.begin()->second.position;
  if (position) {
    const std::optional<std::uint8_t> where = LabelPositionOf(*position);
    if (!where) fail("label position " + std::to_string(*position) + " cannot be saved");
    chart_series_set_labels_position(series, *where);
  }
}

// Anchored at the cell under its top-left corner, with the rest as offsets.
void XlsxChartExporter::InsertFrame(const XlsxSheetContext& context, lxw_chart* chart, const ChartModel& model,
                                    const ChartFail& fail) {
  const embedded::SheetGeometry& geometry = context.sheet.Geometry();
  const double top = std::max(0.0, model.shape.top);
  const double left = std::max(0.0, model.shape.left);
  const std::int32_t row = IndexAt(top, embedded::kMaxRows, [&](std::int32_t r) { return geometry.RowTop(r); });
  const std::int32_t column =
      IndexAt(left, embedded::kMaxColumns, [&](std::int32_t c) { return geometry.ColumnLeft(c); });
  lxw_chart_options options{};
  options.x_offset = PointsToPixels(left - geometry.ColumnLeft(column));
  options.y_offset = PointsToPixels(top - geometry.RowTop(row));
  options.x_scale = PointsToPixels(model.shape.width) / kDefaultChartWidthPx;
  options.y_scale = PointsToPixels(model.shape.height) / kDefaultChartHeightPx;
  options.object_position = LXW_OBJECT_MOVE_DONT_SIZE;
  options.description = Keep(model.objectName);
  const lxw_error error = worksheet_insert_chart_opt(context.worksheet, static_cast<lxw_row_t>(row - 1),
                                                     static_cast<lxw_col_t>(column - 1), chart, &options);
  if (error != LXW_NO_ERROR) fail(std::string("cannot insert the chart: ") + lxw_strerror(error));
}

void XlsxChartExporter::BeforeClose(lxw_workbook* workbook) {
  if (dataRows_.empty()) return;
  lxw_worksheet* sheet = workbook_add_worksheet(workbook, dataSheet_.c_str());
  if (sheet == nullptr) Fail(dataSheet_, "cannot add the chart data sheet");
  for (std::size_t r = 0; r < dataRows_.size(); ++r) {
    const DataRow& row = dataRows_[r];
    const auto rowNumber = static_cast<lxw_row_t>(r);
    lxw_error error = LXW_NO_ERROR;
    if (row.numbers.empty()) {
      error = worksheet_write_string(sheet, rowNumber, 0, row.text.c_str(), nullptr);
    }
    for (std::size_t c = 0; c < row.numbers.size() && error == LXW_NO_ERROR; ++c) {
      error = worksheet_write_number(sheet, rowNumber, static_cast<lxw_col_t>(c), row.numbers[c], nullptr);
    }
    if (error != LXW_NO_ERROR) Fail(dataSheet_, std::string("cannot write chart data: ") + lxw_strerror(error));
  }
  worksheet_hide(sheet);
}

void XlsxChartExporter::AfterClose(const std::filesystem::path& written) {
  if (layouts_.empty()) return;
  const std::string path = written.string();
  const auto fail = [&](const std::string& what) {
    throw FileError(FileErrorKind::kWrite, fileName_, {}, "cannot lay out the charts' plot areas: " + what, kSource);
  };
  // The rewritten parts are read by libzip when it closes the archive: they outlive it.
  std::vector<std::string> parts(layouts_.size());
  int code = 0;
  std::unique_ptr<zip_t, ZipDiscard> archive(zip_open(path.c_str(), 0, &code));
  if (!archive) fail("cannot reopen the file (libzip error " + std::to_string(code) + ")");

  // Each chart part is matched to its chart by the reference of its first series' Values.
  std::vector<bool> done(layouts_.size(), false);
  const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
  for (zip_int64_t i = 0; i < entries; ++i) {
    const auto index = static_cast<zip_uint64_t>(i);
    const char* name = zip_get_name(archive.get(), index, 0);
    if (name == nullptr || !std::string_view(name).starts_with("xl/charts/chart")) continue;
    zip_stat_t stat;
    if (zip_stat_index(archive.get(), index, 0, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0 ||
        stat.size > kMaxChartPartBytes) {
      fail(std::string("cannot read ") + name);
    }
    std::string xml(static_cast<std::size_t>(stat.size), '\0');
    {
      const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(zip_fopen_index(archive.get(), index, 0),
                                                                    &zip_fclose);
      if (!file || zip_fread(file.get(), xml.data(), stat.size) != static_cast<zip_int64_t>(stat.size)) {
        fail(std::string("cannot read ") + name);
      }
    }
    static constexpr std::string_view kValues = "<c:yVal><c:numRef><c:f>";
    const std::size_t from = xml.find(kValues);
    const std::size_t to = from == std::string::npos ? from : xml.find("</c:f>", from);
    if (to == std::string::npos) continue;
    const std::string reference = xml.substr(from + kValues.size(), to - from - kValues.size());
    for (std::size_t k = 0; k < layouts_.size(); ++k) {
      if (done[k] || layouts_[k].firstValues != reference) continue;
      parts[k] = WithPlotAreaLayout(xml, layouts_[k].layout, fileName_);
      zip_source_t* source = zip_source_buffer(archive.get(), parts[k].data(), parts[k].size(), 0);
      if (source == nullptr) fail(zip_strerror(archive.get()));
      if (zip_file_replace(archive.get(), index, source, ZIP_FL_ENC_UTF_8) != 0) {
        zip_source_free(source);
        fail(zip_strerror(archive.get()));
      }
      done[k] = true;
      break;
    }
  }
  if (std::find(done.begin(), done.end(), false) != done.end()) fail("a chart part is missing");
  if (zip_close(archive.get()) != 0) fail(zip_strerror(archive.get()));
  static_cast<void>(archive.release());  // closed, and freed by zip_close
}

}  // namespace dez::io
