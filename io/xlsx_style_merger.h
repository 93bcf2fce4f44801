// Appends the cell formats of a workbook that libxlsxwriter wrote (the report's) to the
// style table of the user's workbook, so that the report's cells can be grafted into the
// user's package. Nothing of the user's table changes index or meaning: number formats
// with a format code the table already has reuse its id, the others get fresh ids (164
// and up, past the table's largest); fonts, fills, borders and cell formats are appended
// at the end of their lists; the report's cell formats refer to the user's "Normal" style.
#pragma once

#include <string>
#include <vector>

namespace dez::io {

struct MergedStyles {
  std::string xml;                  ///< the user's style part with the report's formats appended
  std::vector<std::size_t> xfIndex;  ///< report cell-format index -> index in `xml`
};

/// `userXml` is the user's style part (named `part` in errors), `reportXml` the one
/// libxlsxwriter wrote. Raises FileError kMalformed (source `source`) for a style part
/// that is not XML or has no style sheet.
MergedStyles MergeStyles(const std::string& userXml, const std::string& reportXml, const std::string& fileName,
                         const std::string& part, const std::string& source);

/// `xml` (libxlsxwriter's worksheet XML) with every s="N" of a cell, row or column tag
/// (style="N" of a column) replaced by xfIndex[N].
std::string RemapStyleIndices(const std::string& xml, const std::vector<std::size_t>& xfIndex);

}  // namespace dez::io
