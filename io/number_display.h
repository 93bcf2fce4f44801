// Numbers as a terminal shows them.
#pragma once

#include <string>

namespace dez::io {

/// The text of `value` under the cell's number format:
/// - "General" (and any format not listed below): the general form of FormatGeneral with
///   at most `significantDigits` significant digits (10 by default: about what a column
///   of a spreadsheet shows), so 0.1 + 0.2 reads 0.3 and 2/3 reads 0.6666666667; exponent
///   form below 1E-04 and from 1E+10 on; -0 reads 0.
/// - fixed formats built of 0, # and "," with optional decimals and an optional trailing
///   "%" ("0", "0.000", "#,##0.00", "0.0%"): that many decimals, rounded as spreadsheets
///   round (to 15 significant digits first, then half away from zero: 2.5 reads 3,
///   1.005 reads 1.01 under "0.00"), thousands separators when the format has ",", the
///   value times 100 with "%" for a percentage. A result that rounds to zero is shown
///   without a minus sign.
std::string DisplayNumber(double value, const std::string& numberFormat, int significantDigits = 10);

}  // namespace dez::io
