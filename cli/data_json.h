// What the JSON says of the data beside the engine's results: the variables' names from
// the header row and the items --missing drop left out (the standardisation is a member
// of "input").
//
//   "variables": ["Revenue", "Visitors"], "dropped": ["Row 7"]
//
// Each member is written only when it says something: "variables" with a header row,
// "dropped" with --missing drop.
#pragma once

#include <string>
#include <vector>

namespace dez::cli {

/// The members above, without braces; "" when none applies.
std::string DataJsonMembers(const std::vector<std::string>& variables, const std::vector<std::string>* dropped);

}  // namespace dez::cli
