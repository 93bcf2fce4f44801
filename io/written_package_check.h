// A last look at a workbook package just written, before it is put in place.
//
// libxlsxwriter writes each part to a temporary file first and does not notice when
// that file could not be written in full (a full disk): the part is then cut short in
// the package, and the library still reports success. Every XML part of the written
// package is therefore read back (inflated, with its CRC checked) and must end with the
// end tag of the element it begins with; a part cut short (or a package that is not a
// consistent zip archive) makes the write fail, so a damaged workbook never replaces a
// good one. Inflating costs about a tenth of the write; parsing it all would cost a third.
#pragma once

#include <filesystem>
#include <string>

namespace dez::io {

class WrittenPackageCheck {
 public:
  /// Checks the package at `written`. Raises FileError kWrite naming `destination` (and
  /// the damaged part) with source `source` when it is damaged.
  static void Verify(const std::filesystem::path& written, const std::string& destination, const std::string& source);
};

}  // namespace dez::io
