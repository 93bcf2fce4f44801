// The cell value of the spreadsheet model: Empty, Number, Text, Boolean or an error value.
#pragma once

#include <cstdint>
#include <optional>
#include <source_location>
#include <string>
#include <string_view>
#include <variant>

namespace dez {

/// A worksheet error value such as #DIV/0!, held by its host code.
struct CellError {
  std::int32_t code = 0;  ///< 2000 #NULL!, 2007 #DIV/0!, 2015 #VALUE!, 2023 #REF!, 2029 #NAME?, 2036 #NUM!, 2042 #N/A
  friend bool operator==(CellError, CellError) = default;
};

/// The display text of an error value ("#DIV/0!"), or "#ERR" for an unknown code.
std::string_view CellErrorText(CellError e);
/// The error value of a display text, if it is one.
std::optional<CellError> CellErrorFromText(std::string_view text);

/// Formats a number in the general form: up to 15 significant digits, exponent form only
/// below 1E-04 or from 1E+15 on (C's "%.15G").
std::string FormatGeneral(double value);

/// Reads a whole text as a number literal (integer, decimal or exponent form, optional
/// sign, surrounding blanks allowed); nothing else is a number.
std::optional<double> ParseNumber(std::string_view text);

class Variant {
 public:
  enum class Kind : std::uint8_t { Empty, Number, Text, Boolean, Error };

  Variant() = default;
  Variant(double v) : v_(v) {}                        // NOLINT(google-explicit-constructor)
  Variant(int v) : v_(static_cast<double>(v)) {}      // NOLINT(google-explicit-constructor)
  Variant(std::string v) : v_(std::move(v)) {}        // NOLINT(google-explicit-constructor)
  Variant(const char* v) : v_(std::string(v)) {}      // NOLINT(google-explicit-constructor)
  Variant(bool v) : v_(v) {}                          // NOLINT(google-explicit-constructor)
  Variant(CellError v) : v_(v) {}                     // NOLINT(google-explicit-constructor)

  Kind kind() const { return static_cast<Kind>(v_.index()); }
  bool IsEmpty() const { return kind() == Kind::Empty; }
  bool IsNumber() const { return kind() == Kind::Number; }
  bool IsText() const { return kind() == Kind::Text; }
  bool IsBoolean() const { return kind() == Kind::Boolean; }
  bool IsError() const { return kind() == Kind::Error; }

  /// The stored number / text / flag / error; only valid for that kind.
  double number() const { return std::get<double>(v_); }
  const std::string& text() const { return std::get<std::string>(v_); }
  bool boolean() const { return std::get<bool>(v_); }
  CellError error() const { return std::get<CellError>(v_); }

  /// The value as a number: Empty 0, Boolean True -1 and False 0, a text that reads as
  /// a number its value; any other text or an error value raises type mismatch (13).
  double ToDouble(std::source_location where = std::source_location::current()) const;

  /// The value as text: Empty "", a number in the general form, "True"/"False"; an error
  /// value raises type mismatch (13).
  std::string ToText(std::source_location where = std::source_location::current()) const;

  /// True when the value is a number or a text that reads as one.
  bool IsNumeric() const;

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  std::variant<std::monostate, double, std::string, bool, CellError> v_;
};

/// Compares two cell values as the runtime's "=" does for variants: numbers by value,
/// texts exactly (letter case matters), a number never equals a text, Empty equals Empty,
/// the number 0 and the empty text, a Boolean compares as its number. An error value
/// raises type mismatch (13).
bool CellEquals(const Variant& a, const Variant& b,
                std::source_location where = std::source_location::current());

}  // namespace dez
