#include "runtime/variant.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/error.h"

namespace dez {

namespace {
struct ErrorName {
  std::int32_t code;
  std::string_view text;
};
constexpr std::array<ErrorName, 7> kErrorNames{{{2000, "#NULL!"},
                                                {2007, "#DIV/0!"},
                                                {2015, "#VALUE!"},
                                                {2023, "#REF!"},
                                                {2029, "#NAME?"},
                                                {2036, "#NUM!"},
                                                {2042, "#N/A"}}};
}  // namespace

std::string_view CellErrorText(CellError e) {
  for (const auto& n : kErrorNames) {
    if (n.code == e.code) return n.text;
  }
  return "#ERR";
}

std::optional<CellError> CellErrorFromText(std::string_view text) {
  for (const auto& n : kErrorNames) {
    if (n.text == text) return CellError{n.code};
  }
  return std::nullopt;
}

std::string FormatGeneral(double value) {
  if (value == 0.0) return "0";  // also turns -0 into "0"
  std::array<char, 64> buf{};
  std::snprintf(buf.data(), buf.size(), "%.15G", value);
  return std::string(buf.data());
}

std::optional<double> ParseNumber(std::string_view text) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  const std::string_view t = text.substr(b, e - b);
  // Grammar: [+-] digits [. digits] [(e|E) [+-] digits], or [+-] . digits [exp].
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  const std::string s(t);
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (!std::isfinite(v)) return std::nullopt;  // 1e999 is no number a cell can hold
  return v;
}

double Variant::ToDouble(std::source_location where) const {
  switch (kind()) {
    case Kind::Empty: return 0.0;
    case Kind::Number: return number();
    case Kind::Boolean: return boolean() ? -1.0 : 0.0;
    case Kind::Text: {
      if (auto v = ParseNumber(text())) return *v;
      break;
    }
    case Kind::Error: break;
  }
  Raise(fault::kTypeMismatch, {}, {}, where);
}

std::string Variant::ToText(std::source_location where) const {
  switch (kind()) {
    case Kind::Empty: return {};
    case Kind::Number: return FormatGeneral(number());
    case Kind::Text: return text();
    case Kind::Boolean: return boolean() ? "True" : "False";
    case Kind::Error: break;
  }
  Raise(fault::kTypeMismatch, {}, {}, where);
}

bool Variant::IsNumeric() const {
  switch (kind()) {
    case Kind::Number: return true;
    case Kind::Text: return ParseNumber(text()).has_value();
    default: return false;
  }
}

bool CellEquals(const Variant& a, const Variant& b, std::source_location where) {
  using K = Variant::Kind;
  if (a.IsError() || b.IsError()) Raise(fault::kTypeMismatch, {}, {}, where);
  const auto isNumberLike = [](const Variant& v) { return v.IsNumber() || v.IsBoolean(); };
  if (a.IsEmpty() && b.IsEmpty()) return true;
  if (a.IsEmpty()) return CellEquals(b.IsText() ? Variant(std::string()) : Variant(0.0), b, where);
  if (b.IsEmpty()) return CellEquals(a, a.IsText() ? Variant(std::string()) : Variant(0.0), where);
  if (isNumberLike(a) && isNumberLike(b)) return a.ToDouble() == b.ToDouble();
  if (a.kind() == K::Text && b.kind() == K::Text) return a.text() == b.text();
  return false;  // a number never equals a text
}

}  // namespace dez
