// What the JSON says of the data beside the engine's results: the variables' names from
// the header row, the items --missing drop left out and the standardisation.
//
//   "variables": ["Revenue", "Visitors"], "dropped": ["Row 7"], "standardisation": "z"
//
// Each member is written only when it says something: "variables" with a header row,
// "dropped" with --missing drop, "standardisation" when one was asked; the JSON of a run
// without them is as it always was.
#pragma once

#include <string>
#include <vector>

#include "cli/standardization.h"

namespace dez::cli {

/// The members above, without braces; "" when none applies.
std::string DataJsonMembers(const std::vector<std::string>& variables, const std::vector<std::string>* dropped,
                            Standardization standardization);

}  // namespace dez::cli
