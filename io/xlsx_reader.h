// Reads the cell values of every worksheet of an XLSX workbook, streaming.
//
// libzip opens the archive and inflates one part at a time in 64 KiB chunks; expat parses
// each chunk as it comes (XmlStreamParser), so memory holds the shared-string table and
// whatever the sink keeps, never a sheet's XML or a tree of it. Cell formats are not read.
// See XlsxSheetHandler for the values and positions, XlsxPackage for how the parts are
// found, XlsxReadLimits for the bounds.
//
// Errors are FileError (source "ReadXlsx") naming the file and, where it applies, the
// part, sheet and cell: a file that is not a zip archive or a truncated or corrupt one
// (kNotWorkbook), a missing part (kMissingPart), malformed XML or values (kMalformed), a
// DOCTYPE or entity declaration (kHostile), a cell beyond the sheet's limits or a part or
// cell count beyond the bounds (kLimit), an empty file (kEmpty), an unreadable file (kOpen).
#pragma once

#include <filesystem>

#include "io/cell_sink.h"
#include "io/xlsx_read_limits.h"

namespace dez::io {

class XlsxReader {
 public:
  /// Delivers every worksheet of `path`, in workbook order, to `sink`.
  static void ReadFile(const std::filesystem::path& path, CellSink& sink, const XlsxReadLimits& limits = {});
};

}  // namespace dez::io
