#include "host/embedded/address_parser.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace dez::embedded {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// Characters of a sheet name that may stand without quotes. Bytes of multi-byte UTF-8
// characters are all >= 0x80, so any non-ASCII name character qualifies.
bool IsBareNameChar(char c) {
  return IsAsciiLetter(c) || IsDigit(c) || c == '_' || c == '.' || static_cast<unsigned char>(c) >= 0x80;
}

/// One side of a ':' : a cell, a whole column or a whole row.
struct Reference {
  enum class Kind { Cell, Column, Row } kind = Kind::Cell;
  std::int32_t row = 0;
  std::int32_t column = 0;
};

/// Recursive-descent parser over one address text; each Parse* member consumes what it
/// recognises from `pos_` or sets `error_` and returns nothing.
class AddressParser {
 public:
  explicit AddressParser(std::string_view text) : text_(text) {}

  ParsedAddress Run() {
    ParsedAddress result;
    if (text_.size() > kMaxAddressLength) {
      result.error = "the text is longer than " + std::to_string(kMaxAddressLength) + " characters";
      return result;
    }
    if (text_.empty()) {
      result.error = "the text is empty";
      return result;
    }
    while (true) {
      std::optional<AddressArea> area = ParseArea();
      if (!area) break;
      result.areas.push_back(std::move(*area));
      if (AtEnd()) return result;
      if (Peek() != ',') {
        Fail("unexpected character");
        break;
      }
      ++pos_;
    }
    result.areas.clear();
    result.error = error_;
    return result;
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  void Fail(std::string_view why) {
    if (!error_.empty()) return;  // keep the first reason
    error_ = std::string(why) + " at position " + std::to_string(pos_ + 1);
  }

  std::optional<AddressArea> ParseArea() {
    AddressArea area;
    if (!ParseQualifier(area)) return std::nullopt;
    std::optional<Reference> first = ParseReference();
    if (!first) return std::nullopt;
    std::int32_t top = first->row, left = first->column, bottom = first->row, right = first->column;
    bool chained = false;
    while (Peek() == ':') {
      ++pos_;
      std::optional<Reference> next = ParseReference();
      if (!next) return std::nullopt;
      if (next->kind != first->kind) {
        Fail("the two ends of a block are of different kinds");
        return std::nullopt;
      }
      top = std::min(top, next->row);
      left = std::min(left, next->column);
      bottom = std::max(bottom, next->row);
      right = std::max(right, next->column);
      chained = true;
    }
    switch (first->kind) {
      case Reference::Kind::Cell: area.block = CellBlock{top, left, bottom, right}; break;
      case Reference::Kind::Column:
        if (!chained) return FailArea("a column needs a range such as A:A");
        area.block = CellBlock{1, left, kMaxRows, right};
        break;
      case Reference::Kind::Row:
        if (!chained) return FailArea("a row needs a range such as 3:3");
        area.block = CellBlock{top, 1, bottom, kMaxColumns};
        break;
    }
    return area;
  }

  std::optional<AddressArea> FailArea(std::string_view why) {
    Fail(why);
    return std::nullopt;
  }

  // Reads "[book]sheet!", "sheet!" or "'...'!" when present; returns false on a malformed one.
  bool ParseQualifier(AddressArea& area) {
    if (Peek() == '\'') return ParseQuotedQualifier(area);
    const std::size_t start = pos_;
    std::size_t p = pos_;
    if (Peek() == '[') {
      const std::size_t close = text_.find(']', p + 1);
      if (close == std::string_view::npos) {
        Fail("a workbook name is not closed by ']'");
        return false;
      }
      area.workbook = std::string(text_.substr(p + 1, close - p - 1));
      if (area.workbook.empty()) {
        Fail("the workbook name is empty");
        return false;
      }
      p = close + 1;
    }
    const std::size_t nameStart = p;
    while (p < text_.size() && IsBareNameChar(text_[p])) ++p;
    if (p < text_.size() && text_[p] == '!') {
      if (p == nameStart) {
        pos_ = p;
        Fail("the sheet name is empty");
        return false;
      }
      area.sheet = std::string(text_.substr(nameStart, p - nameStart));
      pos_ = p + 1;
      return true;
    }
    if (!area.workbook.empty()) {
      pos_ = p;
      Fail("a workbook name must be followed by a sheet name and '!'");
      return false;
    }
    pos_ = start;  // no qualifier: the area starts with its reference
    area.workbook.clear();
    return true;
  }

  bool ParseQuotedQualifier(AddressArea& area) {
    ++pos_;  // opening quote
    std::string name;
    while (true) {
      if (AtEnd()) {
        Fail("a quoted sheet name is not closed");
        return false;
      }
      const char c = text_[pos_++];
      if (c != '\'') {
        name.push_back(c);
        continue;
      }
      if (Peek() == '\'') {  // '' stands for one quote
        name.push_back('\'');
        ++pos_;
        continue;
      }
      break;
    }
    if (Peek() != '!') {
      Fail("a quoted sheet name must be followed by '!'");
      return false;
    }
    ++pos_;
    std::string_view rest = name;
    if (!rest.empty() && rest.front() == '[') {
      const std::size_t close = rest.find(']');
      if (close == std::string_view::npos || close == 1) {
        Fail("the workbook name inside the quotes is malformed");
        return false;
      }
      area.workbook = std::string(rest.substr(1, close - 1));
      rest.remove_prefix(close + 1);
    }
    if (rest.empty()) {
      Fail("the sheet name is empty");
      return false;
    }
    area.sheet = std::string(rest);
    return true;
  }

  // ['$'] letters ['$'] digits, ['$'] letters, or ['$'] digits.
  std::optional<Reference> ParseReference() {
    Reference ref;
    bool dollar = false;
    if (Peek() == '$') {
      ++pos_;
      dollar = true;
    }
    std::int32_t column = 0;
    std::size_t letters = 0;
    while (IsAsciiLetter(Peek())) {
      if (++letters > 3) {
        Fail("a column name has more than three letters");
        return std::nullopt;
      }
      const char c = Peek();
      const int digit = (c >= 'a' ? c - 'a' : c - 'A') + 1;
      column = column * 26 + digit;
      ++pos_;
    }
    if (letters > 0 && column > kMaxColumns) {
      Fail("the column lies beyond XFD");
      return std::nullopt;
    }
    bool rowDollar = false;
    if (letters > 0 && Peek() == '$') {
      ++pos_;
      rowDollar = true;
    }
    std::int64_t row = 0;
    std::size_t digits = 0;
    while (IsDigit(Peek())) {
      row = row * 10 + (Peek() - '0');
      if (row > kMaxRows) {
        Fail("the row lies beyond 1048576");
        return std::nullopt;
      }
      ++digits;
      ++pos_;
    }
    if (letters == 0 && digits == 0) {
      Fail(dollar ? "'$' must be followed by a column or a row" : "a cell reference is expected");
      return std::nullopt;
    }
    if (rowDollar && digits == 0) {
      Fail("'$' must be followed by a row number");
      return std::nullopt;
    }
    if (digits > 0 && row == 0) {
      Fail("row 0 does not exist");
      return std::nullopt;
    }
    if (letters > 0 && digits > 0) {
      ref.kind = Reference::Kind::Cell;
    } else if (letters > 0) {
      ref.kind = Reference::Kind::Column;
    } else {
      ref.kind = Reference::Kind::Row;
    }
    ref.row = static_cast<std::int32_t>(row);
    ref.column = column;
    return ref;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::string error_;
};

}  // namespace

ParsedAddress ParseAddress(std::string_view text) { return AddressParser(text).Run(); }

}  // namespace dez::embedded
