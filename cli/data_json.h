// What the JSON says of the data beside the engine's results: the variables' names from
// the header row, the items --missing drop left out and the standardisation.
//
//   "variables": ["Revenue", "Visitors"], "dropped": ["Row 7"], "standardisation": "z"
//
// "variables" is [] without a header row; "standardisation" is "none" when none was asked.
#pragma once

#include <string>
#include <vector>

#include "cli/standardization.h"

namespace dez::cli {

/// The members above, without braces.
std::string DataJsonMembers(const std::vector<std::string>& variables, const std::vector<std::string>& dropped,
                            Standardization standardization);

/// `json`, an object ending in "}" and a line break, with `members` added at its end.
std::string WithDataMembers(std::string json, const std::string& members);

}  // namespace dez::cli
