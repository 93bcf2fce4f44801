// The shared-string table of an XLSX workbook (xl/sharedStrings.xml).
//
// Each <si> is one string: its <t> text, or the texts of its rich-text runs <r><t>
// concatenated; phonetic runs (<rPh>) are left out. The table holds exactly the strings
// present; the count the part claims is never used to reserve memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "io/xlsx_read_limits.h"
#include "io/zip_archive.h"

namespace dez::io {

class XlsxSharedStrings {
 public:
  /// Reads the part `partName` of `archive`, inflating at most `maxBytes` bytes; adds the
  /// bytes inflated to `bytesRead`. Raises FileError as ZipArchive::ReadPart and
  /// XmlStreamParser do, and kLimit when the table would take more than `maxBytes` bytes
  /// of memory (each string counted as its text plus its std::string object).
  static std::vector<std::string> Read(const ZipArchive& archive, const std::string& partName, std::uint64_t maxBytes,
                                       const std::string& source, std::uint64_t& bytesRead);
};

}  // namespace dez::io
