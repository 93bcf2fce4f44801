// Merges the report's cells into the user's worksheet part when the report is placed on
// an existing sheet (--output-range): the cells of `block` from the worksheet libxlsxwriter
// wrote replace or join the user's cells there, and every other byte of the user's part
// stays as it was (other cells with their formulas and formats, merges, widths, views,
// validation, conditional formats...). Rows the user's part lacks come with the report's
// height; a row that receives cells loses only its optional "spans" hint. The dimension is
// widened to take the report in, and the chart's drawing is referred to when one is given.
#pragma once

#include <string>

#include "host/embedded/cell_block.h"

namespace dez::io {

struct SheetMergeInput {
  const std::string& userXml;    ///< the user's worksheet part
  const std::string& reportXml;  ///< libxlsxwriter's part for the same sheet, styles remapped
  embedded::CellBlock block;     ///< the report's cells
  std::string drawingRelId;      ///< relationship id of the chart's drawing, or ""
};

/// Raises FileError (source `source`, naming `fileName`, `sheet` and `part`): kMalformed
/// for a part that is no worksheet; kWrite when the report would replace the first cell
/// of a shared or array formula (its other cells would lose their formula) or the sheet
/// already holds a drawing and a chart is to be added.
std::string MergeReportIntoSheet(const SheetMergeInput& input, const std::string& fileName, const std::string& sheet,
                                 const std::string& part, const std::string& source);

}  // namespace dez::io
