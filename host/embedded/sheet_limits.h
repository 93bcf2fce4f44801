// The fixed dimensions of an embedded worksheet.
//
// The limits are those of the workbook file format the embedded host reads and writes, so
// that every sheet it holds can be saved without loss. Sizes are in points (1/72 inch).
#pragma once

#include <cstdint>

namespace dez::embedded {

/// Rows of a worksheet: 1 .. 1,048,576.
inline constexpr std::int32_t kMaxRows = 1'048'576;
/// Columns of a worksheet: 1 (A) .. 16,384 (XFD).
inline constexpr std::int32_t kMaxColumns = 16'384;

/// Height of a row that was never sized: 15 points, the height of an 11-point default font.
inline constexpr double kDefaultRowHeight = 15.0;
/// Width of a column that was never sized: 48 points (8.43 characters, 64 pixels at 96 dpi).
inline constexpr double kDefaultColumnWidth = 48.0;
/// The tallest row the file format can describe.
inline constexpr double kMaxRowHeight = 409.0;
/// The widest column the file format can describe (255 characters of the default font).
inline constexpr double kMaxColumnWidth = 1790.0 * 0.75;

/// The longest text a cell can hold, in characters (UTF-8 bytes are counted as written).
inline constexpr std::int32_t kMaxCellTextLength = 32'767;

/// The most cells one operation may materialise (a `Value` array, a block formatted cell
/// by cell, a paste that fills empty cells): 2^25 cells, about 1.3 GB of cell values.
/// Beyond it the operation fails instead of exhausting the memory of the process.
inline constexpr std::int64_t kMaxCellsPerOperation = std::int64_t{1} << 25;

}  // namespace dez::embedded
