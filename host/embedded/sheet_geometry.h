// Row heights and column widths of a worksheet, and the positions they give cells.
#pragma once

#include <cstdint>
#include <map>

#include "host/embedded/sheet_limits.h"

namespace dez::embedded {

/// Heights of rows and widths of columns in points. Only sizes that differ from the
/// default are stored, so positions cost O(number of sized rows or columns).
///
/// Rows and columns passed in must lie on the sheet; sizes must lie in 0..kMaxRowHeight
/// and 0..kMaxColumnWidth (the owning worksheet checks both).
class SheetGeometry {
 public:
  double RowHeight(std::int32_t row) const;
  double ColumnWidth(std::int32_t column) const;
  /// Sets the height of one row; the default height removes the entry.
  void SetRowHeight(std::int32_t row, double points);
  void SetColumnWidth(std::int32_t column, double points);

  /// Distance from the top edge of the sheet to the top edge of `row`.
  double RowTop(std::int32_t row) const;
  /// Distance from the left edge of the sheet to the left edge of `column`.
  double ColumnLeft(std::int32_t column) const;
  /// Total height of rows first..last.
  double RowsHeight(std::int32_t first, std::int32_t last) const { return RowTop(last + 1) - RowTop(first); }
  /// Total width of columns first..last.
  double ColumnsWidth(std::int32_t first, std::int32_t last) const { return ColumnLeft(last + 1) - ColumnLeft(first); }

  /// The rows and columns whose size differs from the default, by number.
  const std::map<std::int32_t, double>& SizedRows() const { return rowHeights_; }
  const std::map<std::int32_t, double>& SizedColumns() const { return columnWidths_; }

 private:
  // Offset of `index` along one axis: (index - 1) default sizes, corrected by the stored
  // sizes of the indexes before it.
  static double Offset(const std::map<std::int32_t, double>& sizes, double defaultSize, std::int32_t index);

  std::map<std::int32_t, double> rowHeights_;
  std::map<std::int32_t, double> columnWidths_;
};

}  // namespace dez::embedded
