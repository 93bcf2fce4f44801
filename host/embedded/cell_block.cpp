#include "host/embedded/cell_block.h"

#include <array>
#include <iterator>

namespace dez::embedded {

std::string ColumnLetters(std::int32_t column) {
  // Bijective base 26: A..Z are the digits 1..26, there is no zero digit. Digits come
  // out least significant first.
  std::array<char, 8> reversed{};
  std::size_t n = 0;
  while (column > 0 && n < reversed.size()) {
    reversed[n++] = static_cast<char>('A' + (column - 1) % 26);
    column = (column - 1) / 26;
  }
  return std::string(std::make_reverse_iterator(reversed.begin() + static_cast<std::ptrdiff_t>(n)),
                     std::make_reverse_iterator(reversed.begin()));
}

std::string AbsoluteAddress(const CellBlock& b) {
  std::string text;
  const auto cell = [&](std::int32_t row, std::int32_t column) {
    text.append("$").append(ColumnLetters(column)).append("$").append(std::to_string(row));
  };
  if (b.IsWholeRows()) {
    text.append("$").append(std::to_string(b.top)).append(":$").append(std::to_string(b.bottom));
  } else if (b.IsWholeColumns()) {
    text.append("$").append(ColumnLetters(b.left)).append(":$").append(ColumnLetters(b.right));
  } else {
    cell(b.top, b.left);
    if (b.Rows() != 1 || b.Columns() != 1) {
      text.append(":");
      cell(b.bottom, b.right);
    }
  }
  return text;
}

}  // namespace dez::embedded
