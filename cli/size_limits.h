// The sizes hcluster accepts, checked before the engine runs.
//
// The engine counts items in 16 bits and refuses more than 16,384 with an overflow error
// once it has built the whole matrix (gigabytes at that size). The command line knows the
// number of items as soon as the variables range is resolved, so it refuses such a range
// at once, naming the limit. A report assembled on a sheet (-o, --print) must also fit
// the sheet's rows: the matrix table takes about n²/255 rows, which passes the last row
// near 16,000 items; such a report is refused before the engine runs, pointing to
// --no-matrix and --json.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/options.h"

namespace dez::cli {

/// The most items the engine clusters.
inline constexpr std::int64_t kMaxItems = 16'384;

/// The message that refuses `rows` rows of variables range for `options` (the type row
/// of mixed data is not an item), or nothing when the size is accepted. `outputColumn` is
/// the report's column, which sets the matrix table's slices. A report that would fit a
/// sheet but not below its output cell is left to the component's output-area check.
std::optional<std::string> SizeRefusal(const Options& options, std::int64_t rows, std::int32_t outputColumn);

/// A generous bound on the rows of the report of `items` items for `options`.
std::int64_t ReportRowsBound(const Options& options, std::int64_t items, std::int32_t outputColumn);

}  // namespace dez::cli
