#include "report/dendrogram_lines.h"

#include "runtime/error.h"

namespace dez::report_detail {

DendrogramLines::DendrogramLines(std::int32_t count, std::int32_t width, std::source_location where)
    : width_(width) {
  if (count < 1 || width < 0) Raise(fault::kSubscriptOutOfRange, {}, {}, where);
  lines_.assign(static_cast<std::size_t>(count), std::string(static_cast<std::size_t>(width), glyph::kBlank));
}

const std::string& DendrogramLines::Line(std::int32_t line, std::source_location where) const {
  if (line < 1 || line > count()) Raise(fault::kSubscriptOutOfRange, {}, {}, where);
  return lines_[static_cast<std::size_t>(line - 1)];
}

char DendrogramLines::Get(std::int32_t line, std::int32_t column, std::source_location where) const {
  const std::string& text = Line(line, where);
  if (column < 1) Raise(fault::kInvalidCall, {}, {}, where);
  if (column > width_) return kPastEnd;
  return text[static_cast<std::size_t>(column - 1)];
}

void DendrogramLines::Set(std::int32_t line, std::int32_t column, char letter, std::source_location where) {
  if (line < 1 || line > count()) Raise(fault::kSubscriptOutOfRange, {}, {}, where);
  if (column < 1 || column > width_) Raise(fault::kInvalidCall, {}, {}, where);
  lines_[static_cast<std::size_t>(line - 1)][static_cast<std::size_t>(column - 1)] = letter;
}

}  // namespace dez::report_detail
