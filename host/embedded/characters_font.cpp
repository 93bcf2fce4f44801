#include "host/embedded/characters_font.h"

#include "host/embedded/setting_checks.h"
#include "host/embedded/embedded_worksheet.h"

namespace dez::embedded {

void CharactersFont::Name(const std::string& name, host::Loc where) {
  RequireSetting(!name.empty(), "Font", "Name", where);
  FontRun run;
  run.fontName = name;
  sheet_->EditFormat(CellBlock::Cell(row_, column_), [&](CellStyle& s) { s.ApplyCharacterFont(start_, length_, run); },
                     where);
}

void CharactersFont::Size(double points, host::Loc where) {
  RequireSetting(IsFontSize(points), "Font", "Size", where);
  FontRun run;
  run.fontSize = points;
  sheet_->EditFormat(CellBlock::Cell(row_, column_), [&](CellStyle& s) { s.ApplyCharacterFont(start_, length_, run); },
                     where);
}

void CharactersFont::Bold(bool bold, host::Loc where) {
  FontRun run;
  run.bold = bold;
  sheet_->EditFormat(CellBlock::Cell(row_, column_), [&](CellStyle& s) { s.ApplyCharacterFont(start_, length_, run); },
                     where);
}

}  // namespace dez::embedded
