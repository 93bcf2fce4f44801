#include "host/embedded/cell_block.h"

namespace dez::embedded {

std::string ColumnLetters(std::int32_t column) {
  std::string letters;
  // Bijective base 26: A..Z are the digits 1..26, there is no zero digit.
  while (column > 0) {
    const std::int32_t digit = (column - 1) % 26;
    letters.insert(letters.begin(), static_cast<char>('A' + digit));
    column = (column - 1) / 26;
  }
  return letters;
}

std::string AbsoluteAddress(const CellBlock& b) {
  if (b.IsWholeRows()) return "$" + std::to_string(b.top) + ":$" + std::to_string(b.bottom);
  if (b.IsWholeColumns()) return "$" + ColumnLetters(b.left) + ":$" + ColumnLetters(b.right);
  std::string text = "$" + ColumnLetters(b.left) + "$" + std::to_string(b.top);
  if (b.Rows() == 1 && b.Columns() == 1) return text;
  return text + ":$" + ColumnLetters(b.right) + "$" + std::to_string(b.bottom);
}

}  // namespace dez::embedded
