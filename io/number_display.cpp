#include "io/number_display.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "runtime/variant.h"

namespace dez::io {

namespace {

struct FixedFormat {
  int decimals = 0;
  bool thousands = false;
  bool percent = false;
};

/// Recognises 0/#/, digits with optional ".0#..." decimals and an optional "%".
bool ParseFixedFormat(const std::string& format, FixedFormat& out) {
  std::size_t i = 0;
  bool sawDigit = false;
  while (i < format.size() && (format[i] == '0' || format[i] == '#' || format[i] == ',')) {
    if (format[i] == ',') out.thousands = true;
    if (format[i] == '0' || format[i] == '#') sawDigit = true;
    ++i;
  }
  if (i < format.size() && format[i] == '.') {
    ++i;
    while (i < format.size() && (format[i] == '0' || format[i] == '#')) {
      ++out.decimals;
      ++i;
    }
  }
  if (i < format.size() && format[i] == '%') {
    out.percent = true;
    ++i;
  }
  return sawDigit && i == format.size() && out.decimals <= 30;
}

std::string WithThousands(const std::string& digits) {
  // `digits` is [-]ddd[.ddd]
  const std::size_t start = digits[0] == '-' ? 1 : 0;
  std::size_t end = digits.find('.');
  if (end == std::string::npos) end = digits.size();
  std::string out = digits.substr(0, start);
  for (std::size_t i = start; i < end; ++i) {
    out.push_back(digits[i]);
    const std::size_t left = end - i - 1;
    if (left > 0 && left % 3 == 0) out.push_back(',');
  }
  return out + digits.substr(end);
}

/// `value` with `decimals` decimals, rounded as a spreadsheet rounds: first to 15
/// significant digits (so 1.005 is 1.005, not 1.00499999999999989...), then half away
/// from zero at the last decimal kept.
std::string FixedDecimals(double value, int decimals) {
  std::array<char, 64> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%.14E", std::fabs(value));  // d.ddddddddddddddE+xx
  const std::string sci(buffer.data());
  const std::size_t e = sci.find('E');
  std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);  // 15 digits
  const int exponent = std::stoi(sci.substr(e + 1));
  // The value is 0.digits x 10^(exponent + 1): place the decimal point.
  int pointAt = exponent + 1;  // digits before the point
  if (pointAt < 0) {
    std::string padded(static_cast<std::size_t>(-pointAt), '0');
    padded += digits;
    digits.swap(padded);
    pointAt = 0;
  }
  if (static_cast<int>(digits.size()) < pointAt + decimals) {
    digits.append(static_cast<std::size_t>(pointAt + decimals) - digits.size(), '0');
  }
  const std::size_t keep = static_cast<std::size_t>(pointAt + decimals);
  bool roundUp = keep < digits.size() && digits[keep] >= '5';
  digits.resize(keep);
  for (std::size_t i = digits.size(); roundUp && i > 0; --i) {
    if (digits[i - 1] == '9') {
      digits[i - 1] = '0';
    } else {
      ++digits[i - 1];
      roundUp = false;
    }
  }
  if (roundUp) {
    std::string carried(1, '1');
    carried += digits;
    digits.swap(carried);
    ++pointAt;
  }
  const std::string whole = pointAt > 0 ? digits.substr(0, static_cast<std::size_t>(pointAt)) : std::string(1, '0');
  std::string text;
  if (value < 0) text += '-';
  text += whole;
  if (decimals > 0) {
    text += '.';
    text.append(digits, static_cast<std::size_t>(pointAt));
  }
  return text;
}

bool AllZero(const std::string& text) {
  for (const char ch : text) {
    if (ch != '0' && ch != '.' && ch != '-' && ch != ',' && ch != '%') return false;
  }
  return true;
}

}  // namespace

std::string DisplayNumber(double value, const std::string& numberFormat, int significantDigits) {
  FixedFormat fixed;
  if (ParseFixedFormat(numberFormat, fixed)) {
    const double shown = fixed.percent ? value * 100.0 : value;
    std::string text = shown == 0.0 ? FixedDecimals(0.0, fixed.decimals) : FixedDecimals(shown, fixed.decimals);
    if (fixed.thousands) text = WithThousands(text);
    if (fixed.percent) text += '%';
    if (!text.empty() && text[0] == '-' && AllZero(text)) text.erase(0, 1);
    return text;
  }
  if (value == 0.0) return "0";
  if (significantDigits < 1 || significantDigits > 15) significantDigits = 15;
  if (significantDigits == 15) return FormatGeneral(value);
  std::array<char, 64> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%.*G", significantDigits, value);
  return std::string(buffer.data());
}

}  // namespace dez::io
