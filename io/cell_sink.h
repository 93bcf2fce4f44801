// Where the readers deliver what they read: sheets in file order, and the non-empty cells
// of each sheet as they stream past.
//
// The readers never hold a whole sheet themselves; the sink decides what to keep (the
// workbook loader stores the cells in a workbook of the embedded host, tests collect
// them). A sink may throw to stop reading; the exception reaches the reader's caller.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/variant.h"

namespace dez::io {

class CellSink {
 public:
  virtual ~CellSink() = default;
  /// A new sheet begins; the sheets of a file arrive in their order in the file.
  virtual void BeginSheet(const std::string& name) = 0;
  /// A cell of the current sheet: 1-based row and column within the sheet's limits, a
  /// value that is never Empty. Cells arrive in file order, which for XLSX need not be
  /// row-major; a later value for the same cell replaces the earlier one.
  virtual void SetCell(std::int32_t row, std::int32_t column, Variant value) = 0;
  /// The current sheet is complete.
  virtual void EndSheet() = 0;
};

}  // namespace dez::io
