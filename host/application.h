// The host application object.
#pragma once

#include <string>

#include "host/forward.h"

namespace dez::host {

class Application {
 public:
  virtual ~Application() = default;
  /// Range(address text): A1 addresses, absolute or relative, sheet- or workbook-
  /// qualified, unions of blocks, whole rows and columns; anything else is a host error.
  virtual RangePtr Range(const std::string& address, Loc where = Loc::current()) = 0;
  /// Range(cell, cell): the block spanned by two corner cells of one sheet.
  virtual RangePtr Range(const RangePtr& corner1, const RangePtr& corner2, Loc where = Loc::current()) = 0;
  /// Workbooks(name): an open workbook, compared without regard to letter case.
  virtual WorkbookPtr Workbooks(const std::string& name, Loc where = Loc::current()) = 0;
  virtual WorkbookPtr ActiveWorkbook(Loc where = Loc::current()) = 0;
  /// Worksheets.Add: a new worksheet in the active workbook, placed before the active sheet.
  virtual WorksheetPtr WorksheetsAdd(Loc where = Loc::current()) = 0;
  /// Sheets(name) of the active workbook.
  virtual WorksheetPtr Sheets(const std::string& name, Loc where = Loc::current()) = 0;
  virtual WorksheetFunctionPtr WorksheetFunction() = 0;
  /// Charts.Add: a new chart, which becomes the active chart.
  virtual ChartPtr ChartsAdd(Loc where = Loc::current()) = 0;
  virtual ChartPtr ActiveChart(Loc where = Loc::current()) = 0;
  /// Application.ScreenUpdating.
  virtual void ScreenUpdating(bool on) = 0;
};

}  // namespace dez::host
