// A worksheet and a workbook of the host.
#pragma once

#include <cstdint>
#include <string>

#include "host/forward.h"

namespace dez::host {

class Worksheet {
 public:
  virtual ~Worksheet() = default;
  virtual std::string Name() const = 0;
  virtual void Name(const std::string& name, Loc where = Loc::current()) = 0;
  virtual WorkbookPtr Parent() const = 0;
  /// Cells: the whole sheet as a range.
  virtual RangePtr Cells() = 0;
  /// Cells(row, column) of the sheet; outside the sheet's limits a host error.
  virtual RangePtr Cells(std::int32_t row, std::int32_t column, Loc where = Loc::current()) = 0;
  /// Range(address text) relative to this sheet.
  virtual RangePtr Range(const std::string& address, Loc where = Loc::current()) = 0;
  virtual std::int32_t RowsCount() const = 0;     ///< Rows.Count: 1,048,576
  virtual std::int32_t ColumnsCount() const = 0;  ///< Columns.Count: 16,384
  /// Move(, After:=sheet): places this sheet behind `after` in its workbook.
  virtual void MoveAfter(const WorksheetPtr& after, Loc where = Loc::current()) = 0;
  virtual void Activate(Loc where = Loc::current()) = 0;
  /// Shapes(name): an embedded object (chart) of this sheet.
  virtual ShapePtr Shapes(const std::string& name, Loc where = Loc::current()) = 0;
};

class Workbook {
 public:
  virtual ~Workbook() = default;
  virtual std::string Name() const = 0;
  /// Worksheets(index), 1-based.
  virtual WorksheetPtr Worksheets(std::int32_t index, Loc where = Loc::current()) = 0;
  /// Worksheets(name), compared without regard to letter case.
  virtual WorksheetPtr Worksheets(const std::string& name, Loc where = Loc::current()) = 0;
  virtual std::int32_t WorksheetsCount() const = 0;
  virtual void Activate(Loc where = Loc::current()) = 0;
};

}  // namespace dez::host
