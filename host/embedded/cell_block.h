// A rectangular block of worksheet cells and its text forms.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "host/embedded/sheet_limits.h"

namespace dez::embedded {

/// Rows top..bottom and columns left..right of one sheet, 1-based and inclusive, with
/// top <= bottom and left <= right. Blocks that the host hands out always lie inside the
/// sheet's limits.
struct CellBlock {
  std::int32_t top = 1;
  std::int32_t left = 1;
  std::int32_t bottom = 1;
  std::int32_t right = 1;

  /// The block of one cell.
  static constexpr CellBlock Cell(std::int32_t row, std::int32_t column) { return {row, column, row, column}; }
  /// The block spanned by two corner cells in any order.
  static constexpr CellBlock Spanning(std::int32_t row1, std::int32_t column1, std::int32_t row2,
                                      std::int32_t column2) {
    return {std::min(row1, row2), std::min(column1, column2), std::max(row1, row2), std::max(column1, column2)};
  }
  /// Every cell of a sheet.
  static constexpr CellBlock WholeSheet() { return {1, 1, kMaxRows, kMaxColumns}; }

  constexpr std::int32_t Rows() const { return bottom - top + 1; }
  constexpr std::int32_t Columns() const { return right - left + 1; }
  constexpr std::int64_t CellCount() const { return std::int64_t{Rows()} * Columns(); }

  constexpr bool Contains(std::int32_t row, std::int32_t column) const {
    return row >= top && row <= bottom && column >= left && column <= right;
  }
  constexpr bool Overlaps(const CellBlock& o) const {
    return top <= o.bottom && o.top <= bottom && left <= o.right && o.left <= right;
  }
  /// True when the block covers whole rows (every column of them).
  constexpr bool IsWholeRows() const { return left == 1 && right == kMaxColumns; }
  /// True when the block covers whole columns (every row of them).
  constexpr bool IsWholeColumns() const { return top == 1 && bottom == kMaxRows; }
  constexpr bool IsWholeSheet() const { return IsWholeRows() && IsWholeColumns(); }
  /// The smallest block holding both.
  constexpr CellBlock Union(const CellBlock& o) const {
    return {std::min(top, o.top), std::min(left, o.left), std::max(bottom, o.bottom), std::max(right, o.right)};
  }

  friend constexpr bool operator==(const CellBlock&, const CellBlock&) = default;
};

/// True when (row, column) is a cell of a sheet.
constexpr bool IsCellOnSheet(std::int64_t row, std::int64_t column) {
  return row >= 1 && row <= kMaxRows && column >= 1 && column <= kMaxColumns;
}

/// Column letters of a column number 1..16384: 1 "A", 26 "Z", 27 "AA", 16384 "XFD".
std::string ColumnLetters(std::int32_t column);

/// The absolute address of a block without the sheet: "$B$5" for one cell, "$A$1:$F$21"
/// for a block, "$A:$C" for whole columns, "$3:$5" for whole rows, "$1:$1048576" for the
/// whole sheet (whole rows take precedence, as the host writes them).
std::string AbsoluteAddress(const CellBlock& block);

}  // namespace dez::embedded
