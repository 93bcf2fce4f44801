#include "cli/newick.h"

#include <fmt/format.h>

#include <algorithm>

namespace dez::cli {

std::string NewickLabel(const std::string& label) {
  const bool plain = !label.empty() && label.find_first_of(" \t\r\n_()[]':;,") == std::string::npos;
  if (plain) return label;
  std::string quoted = "'";
  for (const char ch : label) {
    quoted += ch;
    if (ch == '\'') quoted += '\'';
  }
  return quoted + "'";
}

void WriteNewick(std::ostream& out, const Schedule& steps, std::int32_t n, const StringArray& labels,
                 const std::vector<double>& heights) {
  const auto heightOf = [&](std::int32_t e) { return e <= n ? 0.0 : heights[static_cast<std::size_t>(e - n - 1)]; };
  // Depth-first without recursion (a chain of 16,384 items would be as deep): each frame
  // is a cluster and how many of its two children have been written.
  struct Frame {
    std::int32_t entry;
    std::int32_t parent;  ///< 0 for the root
    int childrenDone;
  };
  std::vector<Frame> stack{{steps.UBound(), 0, 0}};
  std::string text;
  const auto closeNode = [&](const Frame& frame) {
    if (frame.parent != 0) {
      text += fmt::format(":{:.17g}", std::max(heightOf(frame.parent) - heightOf(frame.entry), 0.0));
    }
    if (text.size() > (1u << 16)) {
      out << text;
      text.clear();
    }
  };
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.entry <= n) {
      text += NewickLabel(labels.At(frame.entry));
      const Frame done = frame;
      stack.pop_back();
      closeNode(done);
      continue;
    }
    const ScheduleEntry& entry = steps[frame.entry];
    if (frame.childrenDone == 2) {
      text += ')';
      const Frame done = frame;
      stack.pop_back();
      closeNode(done);
      continue;
    }
    text += frame.childrenDone == 0 ? '(' : ',';
    const std::int32_t child = frame.childrenDone == 0 ? entry.first : entry.second;
    ++frame.childrenDone;
    stack.push_back({child, frame.entry, 0});  // `frame` is not used after this
  }
  out << text << ";\n";
}

}  // namespace dez::cli
