// The tree in Newick format, for --newick:
//
//   ((B:1,A:1):1,C:2);
//
// Children in the order of the schedule's item lists (first cluster, then second), so
// that tree viewers show the leaves in the report's order. Branch lengths are differences
// of the heights of tree_layouts.h (items at 0): the levels themselves for distances of
// single, complete, average and flexible linkage. A branch that would be negative (a
// centroid merge below one of its parts) is written as 0. Labels are quoted with single
// quotes when they are empty or hold blanks, underscores or any of ( ) [ ] ' : ; ,
// (an inner quote doubled), as the Newick rules ask.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "runtime/array2d.h"
#include "runtime/schedule.h"

namespace dez::cli {

/// Writes the tree of `steps` (n items, labels 1..n, step heights) and a line break.
void WriteNewick(std::ostream& out, const Schedule& steps, std::int32_t n, const StringArray& labels,
                 const std::vector<double>& heights);

/// A label as a Newick name: as it stands, or quoted.
std::string NewickLabel(const std::string& label);

}  // namespace dez::cli
