// Everything set on a chart, as plain data that a file writer can export.
//
// Chart objects (EmbeddedChart and the handles it hands out) record every setting here.
// A setting left empty (std::nullopt) was never set: the writer uses its own default.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace dez::embedded {

struct ChartFontSettings {
  std::optional<std::string> name;
  std::optional<double> size;  ///< points
  std::optional<bool> bold;
};

struct ChartBorderSettings {
  std::optional<std::int32_t> colorIndex;
  std::optional<std::int32_t> weight;     ///< kLineWeight* values
  std::optional<std::int32_t> lineStyle;  ///< kLineStyle* values
};

/// The data label of one point, made by ApplyDataLabels.
struct DataLabelSettings {
  std::int32_t type = 0;                    ///< the ApplyDataLabels type (kDataLabels* values)
  std::optional<std::string> text;          ///< Characters.Text
  std::optional<bool> autoScaleFont;
  ChartFontSettings font;
  std::optional<std::int32_t> position;     ///< kLabelPosition* values
};

struct SeriesSettings {
  std::int32_t id = 0;                     ///< stable identity of the series within its chart
  std::vector<double> xValues;             ///< XValues, in point order
  std::vector<double> values;              ///< Values, in point order
  std::optional<std::int32_t> markerStyle;
  ChartBorderSettings border;              ///< the series line
  std::map<std::int32_t, DataLabelSettings> dataLabels;  ///< by point number, 1-based
};

struct TickLabelSettings {
  std::optional<bool> autoScaleFont;
  ChartFontSettings font;
  std::optional<std::string> numberFormat;
};

/// One axis, identified by its type (kAxisCategory, kAxisValue) and group.
struct AxisSettings {
  std::int32_t type = 0;
  std::int32_t group = 0;
  std::optional<bool> hasTitle;
  TickLabelSettings tickLabels;
  std::optional<bool> hasMajorGridlines;
  std::optional<bool> hasMinorGridlines;
  std::optional<std::int32_t> majorTickMark;
  std::optional<std::int32_t> minorTickMark;
  std::optional<double> majorUnit;
  std::optional<double> minorUnit;
  std::optional<bool> majorUnitIsAuto;
  std::optional<bool> minorUnitIsAuto;
  std::optional<double> maximumScale;
  std::optional<double> minimumScale;
  std::optional<bool> reversePlotOrder;
  bool deleted = false;  ///< Delete was called: the axis is not drawn (its scale still applies)
};

/// The frame of an embedded chart in its sheet, in points from the sheet's top-left corner.
struct ShapeGeometry {
  double left = 0.0;
  double top = 0.0;
  double width = 360.0;   ///< 5 inches, the size of a new chart
  double height = 216.0;  ///< 3 inches
};

struct ChartAreaSettings {
  std::optional<bool> autoScaleFont;
  std::optional<std::int32_t> interiorColorIndex;
};

/// The plot area inside the chart area, in points from the chart area's top-left corner.
/// Values are recorded as set; a writer clamps them to the chart's frame.
struct PlotAreaSettings {
  /// Margin of the default plot area inside the chart area.
  static constexpr double kDefaultMargin = 7.0;
  bool formatsCleared = false;  ///< ClearFormats was called
  std::optional<double> left;
  std::optional<double> top;
  std::optional<double> width;
  std::optional<double> height;
};

/// A chart: a chart sheet until Location embeds it in a worksheet.
struct ChartModel {
  std::optional<std::int32_t> chartType;   ///< kChartType* values
  std::string sourceSheet;                 ///< SetSourceData: the sheet's name ...
  std::string sourceAddress;               ///< ... and the absolute address ("" when never set)
  std::string chartSheetName;              ///< "ChartN", the name while it is a chart sheet
  std::string workbookName;                ///< the workbook it was added to
  bool embedded = false;                   ///< Location(kLocationAsObject, sheet) was called
  std::string objectName;                  ///< "Chart N" within the sheet that holds it
  ShapeGeometry shape;
  std::optional<bool> hasLegend;
  std::vector<SeriesSettings> series;      ///< in series order; deleted series are removed
  std::int32_t seriesMade = 0;             ///< series ever made: the source of their ids
  ChartAreaSettings chartArea;
  PlotAreaSettings plotArea;
  std::vector<AxisSettings> axes;          ///< in the order first used

  /// The series with `id`, or nullptr when it was deleted.
  SeriesSettings* FindSeries(std::int32_t id) {
    for (SeriesSettings& s : series) {
      if (s.id == id) return &s;
    }
    return nullptr;
  }
  /// The axis of (type, group), added on first use.
  AxisSettings& Axis(std::int32_t type, std::int32_t group) {
    for (AxisSettings& a : axes) {
      if (a.type == type && a.group == group) return a;
    }
    AxisSettings& added = axes.emplace_back();
    added.type = type;
    added.group = group;
    return added;
  }
  /// The plot area's width as it stands: as set, or the chart's width less two margins.
  double PlotAreaWidth() const {
    return plotArea.width.value_or(shape.width - 2.0 * PlotAreaSettings::kDefaultMargin);
  }
};

}  // namespace dez::embedded
