#include "host/embedded/range_font.h"

#include "host/embedded/setting_checks.h"
#include "host/embedded/embedded_range.h"

namespace dez::embedded {

void RangeFont::Name(const std::string& name, host::Loc where) {
  RequireSetting(!name.empty(), "Font", "Name", where);
  range_->EditFormat([&](CellStyle& s) { s.SetFontName(name); }, where);
}

void RangeFont::Size(double points, host::Loc where) {
  RequireSetting(IsFontSize(points), "Font", "Size", where);
  range_->EditFormat([&](CellStyle& s) { s.SetFontSize(points); }, where);
}

void RangeFont::Bold(bool bold, host::Loc where) {
  range_->EditFormat([&](CellStyle& s) { s.SetBold(bold); }, where);
}

}  // namespace dez::embedded
