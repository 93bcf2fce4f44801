#include "io/cell_reference.h"

#include <algorithm>

namespace dez::io {

ReferenceProblem ParseCellReference(std::string_view text, CellPosition& out) {
  std::size_t i = 0;
  std::int64_t column = 0;
  // Letters: at most 3 matter; a 4th letter is already beyond the column limit.
  while (i < text.size()) {
    char ch = text[i];
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    if (ch < 'A' || ch > 'Z') break;
    if (column <= kMaxColumns) column = column * 26 + (ch - 'A' + 1);
    ++i;
  }
  if (i == 0) return ReferenceProblem::kSyntax;
  const std::size_t digitsStart = i;
  std::int64_t row = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    if (row <= kMaxRows) row = row * 10 + (text[i] - '0');
    ++i;
  }
  if (i == digitsStart || i != text.size()) return ReferenceProblem::kSyntax;
  if (column > kMaxColumns || row < 1 || row > kMaxRows) return ReferenceProblem::kBeyondLimit;
  out = CellPosition{static_cast<std::int32_t>(row), static_cast<std::int32_t>(column)};
  return ReferenceProblem::kNone;
}

std::string ColumnLetters(std::int32_t column) {
  std::string letters;
  while (column > 0) {
    const std::int32_t rem = (column - 1) % 26;
    letters.push_back(static_cast<char>('A' + rem));
    column = (column - 1) / 26;
  }
  std::reverse(letters.begin(), letters.end());
  return letters;
}

std::string FormatCellReference(std::int32_t row, std::int32_t column) {
  return ColumnLetters(column) + std::to_string(row);
}

}  // namespace dez::io
