#include "io/xlsx_text.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "io/utf8.h"
#include "runtime/variant.h"

namespace dez::io {

namespace {
int HexValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

/// The code unit of an escape "_xHHHH_" at `pos`, if one stands there.
std::optional<char32_t> EscapeAt(std::string_view text, std::size_t pos) {
  if (pos + 7 > text.size() || text[pos] != '_' || text[pos + 1] != 'x' || text[pos + 6] != '_') return std::nullopt;
  char32_t unit = 0;
  for (std::size_t k = 2; k < 6; ++k) {
    const int h = HexValue(text[pos + k]);
    if (h < 0) return std::nullopt;
    unit = unit * 16 + static_cast<char32_t>(h);
  }
  return unit;
}
}  // namespace

void DecodeXlsxEscapes(std::string& text) {
  if (text.find("_x") == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::optional<char32_t> unit = EscapeAt(text, i);
    if (!unit) {
      out.push_back(text[i++]);
      continue;
    }
    i += 7;
    char32_t cp = *unit;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      const std::optional<char32_t> low = EscapeAt(text, i);
      if (low && *low >= 0xDC00 && *low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (*low - 0xDC00);
        i += 7;
      }
    }
    // A lone surrogate becomes U+FFFD, and so does NUL ("_x0000_"): no cell text can hold
    // a NUL byte, and the written workbook would end the text there.
    AppendUtf8(out, cp == 0 ? char32_t{0xFFFD} : cp);
  }
  text = std::move(out);
}

bool ParseXlsxNumber(std::string_view text, double& out) {
  double value = 0.0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec == std::errc() && ptr == text.data() + text.size()) {
    if (!std::isfinite(value)) return false;  // "inf", "nan"
    out = value;
    return true;
  }
  // Rarer spellings a writer may use: a leading "+", surrounding blanks.
  if (const std::optional<double> v = ParseNumber(text)) {
    out = *v;
    return true;
  }
  return false;
}

}  // namespace dez::io
