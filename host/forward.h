// Shared handles of the host object model. Host objects are owned by the host; the
// component holds references (shared pointers) to them.
#pragma once

#include <memory>
#include <source_location>

namespace dez::host {

using Loc = std::source_location;

class Application;
class Workbook;
class Worksheet;
class Range;
class Font;
class Characters;
class Interior;
class WorksheetFunction;
class Chart;
class Shape;
class Series;
class Point;
class Axis;

using ApplicationPtr = std::shared_ptr<Application>;
using WorkbookPtr = std::shared_ptr<Workbook>;
using WorksheetPtr = std::shared_ptr<Worksheet>;
using RangePtr = std::shared_ptr<Range>;
using FontPtr = std::shared_ptr<Font>;
using CharactersPtr = std::shared_ptr<Characters>;
using InteriorPtr = std::shared_ptr<Interior>;
using WorksheetFunctionPtr = std::shared_ptr<WorksheetFunction>;
using ChartPtr = std::shared_ptr<Chart>;
using ShapePtr = std::shared_ptr<Shape>;
using SeriesPtr = std::shared_ptr<Series>;
using PointPtr = std::shared_ptr<Point>;
using AxisPtr = std::shared_ptr<Axis>;

}  // namespace dez::host
