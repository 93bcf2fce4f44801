#include "report/scale_labels.h"

#include <cmath>

#include "report/text_chars.h"
#include "runtime/checked_float.h"

namespace dez::report_detail {

double RoundScaleValue(double value, std::source_location where) {
  if (value == 0.0) return value;
  const double sign = value > 0.0 ? 1.0 : -1.0;
  double v = std::fabs(value);
  double f = 1.0;
  while (v < 10.0) {
    v = Fin(v * 10.0, where);
    f = Fin(f * 10.0, where);
  }
  // The default rounding mode rounds halves to the even neighbour.
  return Div(std::nearbyint(v), f, where) * sign;
}

std::string ScaleLine(const std::string& left, const std::string& right, std::int32_t width) {
  const std::int32_t rightLength = CharCount(right);
  std::string line = LeftChars(left + std::string(static_cast<std::size_t>(width), ' '), width - rightLength);
  return line + right;
}

}  // namespace dez::report_detail
