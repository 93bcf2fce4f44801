// A1-style cell references of a single cell ("B7", "XFD1048576") and the sheet limits of
// the workbook format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dez::io {

/// The last row of a sheet: 1,048,576.
inline constexpr std::int32_t kMaxRows = 1'048'576;
/// The last column of a sheet: 16,384 (XFD).
inline constexpr std::int32_t kMaxColumns = 16'384;

/// A 1-based cell position.
struct CellPosition {
  std::int32_t row = 0;
  std::int32_t column = 0;
  friend bool operator==(CellPosition, CellPosition) = default;
};

/// Why a reference did not parse.
enum class ReferenceProblem : std::uint8_t {
  kNone,
  kSyntax,       ///< not letters followed by digits (lowercase letters are accepted)
  kBeyondLimit,  ///< column past XFD or row past 1,048,576 (or row 0)
};

/// Parses "B7" (column letters, then the row number). Never overflows: long digit or
/// letter runs report kBeyondLimit.
ReferenceProblem ParseCellReference(std::string_view text, CellPosition& out);

/// The column letters of a 1-based column: 1 "A", 27 "AA", 16384 "XFD".
std::string ColumnLetters(std::int32_t column);

/// "B7" for row 7, column 2.
std::string FormatCellReference(std::int32_t row, std::int32_t column);

}  // namespace dez::io
