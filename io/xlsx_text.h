// Text conventions of the workbook format's XML parts.
#pragma once

#include <string>
#include <string_view>

namespace dez::io {

/// Decodes the format's escapes of characters XML cannot carry: "_xHHHH_" (four hex
/// digits) stands for the UTF-16 code unit HHHH, and "_x005F_" protects a literal
/// underscore. Surrogate pairs are joined; an unpaired surrogate becomes U+FFFD.
void DecodeXlsxEscapes(std::string& text);

/// Reads the value text of a numeric cell ("1.5", "-2E-3"); false when it is not a finite
/// number.
bool ParseXlsxNumber(std::string_view text, double& out);

}  // namespace dez::io
