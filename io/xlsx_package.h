// The layout of an XLSX package: which part is the workbook, its worksheets in order with
// their names and parts, and the shared-strings part.
//
// Found the way the package format prescribes: the package relationships (_rels/.rels)
// name the workbook part; the workbook's relationships map each <sheet>'s r:id to its
// part. Targets are resolved against the source part's folder ("worksheets/sheet1.xml"
// from xl/workbook.xml is xl/worksheets/sheet1.xml; "/xl/..." is absolute). Chart sheets,
// dialog sheets and macro sheets are skipped; only worksheets are listed.
#pragma once

#include <string>
#include <vector>

#include "io/xlsx_read_limits.h"
#include "io/zip_archive.h"

namespace dez::io {

struct XlsxSheetEntry {
  std::string name;      ///< the sheet's name as the workbook lists it
  std::string partName;  ///< its zip member, e.g. "xl/worksheets/sheet1.xml"
};

struct XlsxLayout {
  std::string workbookPart;            ///< e.g. "xl/workbook.xml"
  std::vector<XlsxSheetEntry> sheets;  ///< worksheets in workbook order
  std::string sharedStringsPart;       ///< empty when the workbook has none
};

class XlsxPackage {
 public:
  /// Reads the relationships and the workbook part. Raises FileError: kNotWorkbook when
  /// the archive holds no workbook, kMissingPart when a listed sheet has no relationship
  /// or no part, kMalformed for unreadable XML or a target that leaves the package,
  /// kMalformed also when the workbook lists no worksheet at all.
  static XlsxLayout Discover(const ZipArchive& archive, const XlsxReadLimits& limits, const std::string& source);

  /// Resolves a relationship target against the folder of `sourcePart` ("" for the
  /// package root); false when ".." climbs above the package root.
  static bool ResolveTarget(const std::string& sourcePart, const std::string& target, std::string& out);
};

}  // namespace dez::io
