#include "cli/size_limits.h"

#include <algorithm>

#include "dezezuvazoz/enums.h"
#include "host/embedded/sheet_limits.h"
#include "report/clsHClusterOutput.h"

namespace dez::cli {

namespace {
// Rows of the sections other than the matrix table, with room to spare: the header and
// the correlation (a dozen lines each at most), the schedule (n - 1 steps, a title and a
// heading), the text dendrogram (2n - 1 lines and its title), the chart notice, and the
// blank line after each section.
std::int64_t OtherSectionsRows(const Options& options, std::int64_t items) {
  std::int64_t rows = 12 + 12 + (items + 2) + 2 + 6;
  if (options.textDendrogram) rows += 2 * items + 4;
  return rows;
}
}  // namespace

std::int64_t ReportRowsBound(const Options& options, std::int64_t items, std::int32_t outputColumn) {
  std::int64_t rows = OtherSectionsRows(options, items);
  if (!options.noMatrix) {
    // The controller's MaxCols: the columns right of the output cell in 256.
    const auto maxCols = static_cast<std::int16_t>(std::clamp(256 - outputColumn, -32768, 32767));
    const std::int32_t width = clsHClusterOutput::MatrixSliceWidth(maxCols, static_cast<std::int32_t>(items));
    rows += clsHClusterOutput::MatrixTableRows(items, items, width) + 1;
  }
  return rows;
}

std::optional<std::string> SizeRefusal(const Options& options, std::int64_t rows, std::int32_t outputColumn) {
  const std::int64_t items = rows - (options.clusterType == dezEZuvazozMixed ? 1 : 0);
  if (items > kMaxItems) {
    return "the range holds " + std::to_string(items) + " items; hcluster clusters at most 16,384 items";
  }
  const bool assemblesReport = options.output.has_value() || options.print;
  if (!assemblesReport || items < 2) return std::nullopt;
  const std::int64_t lastRow = ReportRowsBound(options, items, outputColumn);
  if (lastRow <= embedded::kMaxRows) return std::nullopt;
  return "the report of " + std::to_string(items) + " items would need about " + std::to_string(lastRow) +
         " rows, more than a sheet's " + std::to_string(embedded::kMaxRows) +
         " (the matrix table takes most of them); leave the matrix out with --no-matrix, or write the results with "
         "--json alone";
}

}  // namespace dez::cli
