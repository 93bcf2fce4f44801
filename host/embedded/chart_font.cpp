#include "host/embedded/chart_font.h"

#include "host/embedded/setting_checks.h"
#include "host/embedded/host_error.h"

namespace dez::embedded {

ChartFontSettings& ChartFont::Settings(host::Loc where) const {
  ChartFontSettings* settings = target_();
  if (!settings) RaiseHostError("Font", "The chart element of this font no longer exists", where);
  return *settings;
}

void ChartFont::Name(const std::string& name, host::Loc where) {
  RequireSetting(!name.empty(), "Font", "Name", where);
  Settings(where).name = name;
}

void ChartFont::Size(double points, host::Loc where) {
  RequireSetting(IsFontSize(points), "Font", "Size", where);
  Settings(where).size = points;
}

void ChartFont::Bold(bool bold, host::Loc where) { Settings(where).bold = bold; }

}  // namespace dez::embedded
