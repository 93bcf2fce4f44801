// The numbers under a text dendrogram: rounded scale limits and the scale line.
#pragma once

#include <cstdint>
#include <source_location>
#include <string>

namespace dez::report_detail {

/// Rounds a scale limit for its label. 0 stays 0. Otherwise, with v its magnitude:
/// while v < 10, v and a factor f (from 1) are multiplied by 10; the result is v rounded
/// to a whole number, halves to the even one, divided by f, with the value's sign. So a
/// magnitude below 10 keeps two significant figures and a larger one becomes whole:
/// 0.8734 -> 0.87, -0.05 -> -0.05, 2.2 -> 2.2, 10.5 -> 10, 123.4 -> 123.
/// The scaling is checked: a magnitude so small that f leaves the double range
/// (below about 1E-307) is overflow (6).
double RoundScaleValue(double value, std::source_location where = std::source_location::current());

/// The scale line of `width` characters: `left` followed by blanks, cut to width minus
/// the length of `right`, followed by `right`. Texts are counted in characters.
std::string ScaleLine(const std::string& left, const std::string& right, std::int32_t width);

}  // namespace dez::report_detail
