#include "host/embedded/style_table.h"

namespace dez::embedded {

StyleTable::StyleTable() { Intern(CellStyle{}); }

StyleId StyleTable::Intern(const CellStyle& style) {
  const auto [it, added] = ids_.try_emplace(style, static_cast<StyleId>(styles_.size()));
  if (added) styles_.push_back(style);
  return it->second;
}

}  // namespace dez::embedded
