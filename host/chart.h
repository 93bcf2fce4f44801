// The chart object model that the dendrogram chart calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/forward.h"

namespace dez::host {

class Border {
 public:
  virtual ~Border() = default;
  virtual void ColorIndex(std::int32_t index, Loc where = Loc::current()) = 0;
  virtual void Weight(std::int32_t weight, Loc where = Loc::current()) = 0;
  virtual void LineStyle(std::int32_t style, Loc where = Loc::current()) = 0;
};

class DataLabel {
 public:
  virtual ~DataLabel() = default;
  virtual void Text(const std::string& text, Loc where = Loc::current()) = 0;  ///< Characters.Text
  virtual void AutoScaleFont(bool on, Loc where = Loc::current()) = 0;
  virtual FontPtr Font() = 0;
  virtual void Position(std::int32_t position, Loc where = Loc::current()) = 0;
};

class Point {
 public:
  virtual ~Point() = default;
  virtual void ApplyDataLabels(std::int32_t type, Loc where = Loc::current()) = 0;
  virtual std::shared_ptr<host::DataLabel> DataLabel(Loc where = Loc::current()) = 0;
};

class Series {
 public:
  virtual ~Series() = default;
  virtual void XValues(const std::vector<double>& values, Loc where = Loc::current()) = 0;
  virtual void Values(const std::vector<double>& values, Loc where = Loc::current()) = 0;
  virtual void MarkerStyle(std::int32_t style, Loc where = Loc::current()) = 0;
  virtual std::shared_ptr<host::Border> Border() = 0;
  /// Points(index), 1-based.
  virtual PointPtr Points(std::int32_t index, Loc where = Loc::current()) = 0;
  virtual void Delete(Loc where = Loc::current()) = 0;
};

class SeriesCollection {
 public:
  virtual ~SeriesCollection() = default;
  virtual std::int32_t Count() const = 0;
  virtual SeriesPtr Item(std::int32_t index, Loc where = Loc::current()) = 0;  ///< 1-based
  virtual SeriesPtr NewSeries(Loc where = Loc::current()) = 0;
};

class TickLabels {
 public:
  virtual ~TickLabels() = default;
  virtual void AutoScaleFont(bool on, Loc where = Loc::current()) = 0;
  virtual FontPtr Font() = 0;
  virtual void NumberFormat(const std::string& format, Loc where = Loc::current()) = 0;
};

class Axis {
 public:
  virtual ~Axis() = default;
  virtual void HasTitle(bool on, Loc where = Loc::current()) = 0;
  virtual std::shared_ptr<host::TickLabels> TickLabels() = 0;
  virtual void HasMajorGridlines(bool on, Loc where = Loc::current()) = 0;
  virtual void HasMinorGridlines(bool on, Loc where = Loc::current()) = 0;
  virtual void MajorTickMark(std::int32_t mark, Loc where = Loc::current()) = 0;
  virtual void MinorTickMark(std::int32_t mark, Loc where = Loc::current()) = 0;
  virtual void MajorUnit(double unit, Loc where = Loc::current()) = 0;
  virtual void MinorUnit(double unit, Loc where = Loc::current()) = 0;
  virtual void MajorUnitIsAuto(bool on, Loc where = Loc::current()) = 0;
  virtual void MinorUnitIsAuto(bool on, Loc where = Loc::current()) = 0;
  virtual void MaximumScale(double value, Loc where = Loc::current()) = 0;
  virtual void MinimumScale(double value, Loc where = Loc::current()) = 0;
  virtual void ReversePlotOrder(bool on, Loc where = Loc::current()) = 0;
  virtual void Delete(Loc where = Loc::current()) = 0;
};

class ChartArea {
 public:
  virtual ~ChartArea() = default;
  virtual void AutoScaleFont(bool on, Loc where = Loc::current()) = 0;
  virtual InteriorPtr Interior() = 0;
};

class PlotArea {
 public:
  virtual ~PlotArea() = default;
  virtual void ClearFormats(Loc where = Loc::current()) = 0;
  virtual double Width() const = 0;
  virtual void Width(double points, Loc where = Loc::current()) = 0;
  virtual void Left(double points, Loc where = Loc::current()) = 0;
  virtual void Height(double points, Loc where = Loc::current()) = 0;
};

class Chart {
 public:
  virtual ~Chart() = default;
  /// Name: for an embedded chart the sheet's name, one blank and the chart object's name.
  virtual std::string Name() const = 0;
  virtual void ChartType(std::int32_t type, Loc where = Loc::current()) = 0;
  virtual void SetSourceData(const RangePtr& source, Loc where = Loc::current()) = 0;
  /// Location(Where, Name): embeds the chart as an object in the named worksheet.
  virtual void Location(std::int32_t where_, const std::string& sheetName, Loc where = Loc::current()) = 0;
  virtual void HasLegend(bool on, Loc where = Loc::current()) = 0;
  virtual std::shared_ptr<host::SeriesCollection> SeriesCollection() = 0;
  virtual std::shared_ptr<host::ChartArea> ChartArea() = 0;
  virtual std::shared_ptr<host::PlotArea> PlotArea() = 0;
  /// Axes(type) and Axes(type, group).
  virtual AxisPtr Axes(std::int32_t type, std::int32_t group = 1, Loc where = Loc::current()) = 0;
};

/// An embedded object of a worksheet (the chart's frame), in points.
class Shape {
 public:
  virtual ~Shape() = default;
  virtual void Left(double points, Loc where = Loc::current()) = 0;
  virtual void Top(double points, Loc where = Loc::current()) = 0;
  virtual void Width(double points, Loc where = Loc::current()) = 0;
  virtual void Height(double points, Loc where = Loc::current()) = 0;
};

}  // namespace dez::host
