#include "runtime/error_trap.h"

#include <string>

namespace dez {

ErrorTrap::ErrorTrap(std::string_view className, std::string_view procedure, Form form,
                     std::source_location where)
    : className_(className), procedure_(procedure), appendName_(procedure), form_(form),
      where_(where) {}

ErrorTrap& ErrorTrap::AppendAs(std::string_view name) {
  appendName_ = name;
  return *this;
}

ErrorTrap& ErrorTrap::AppendSeparator(std::string_view separator) {
  separator_ = separator;
  return *this;
}

std::uint32_t ErrorTrap::StatementNumber(const std::string& file, std::uint32_t line) const {
  if (file != where_.file_name() || line < where_.line()) return 0;
  return line - where_.line();
}

std::string ErrorTrap::SourceFor(const Error& e) const {
  if (form_ == Form::kChain && e.source.starts_with("Line")) {
    return e.source + separator_ + appendName_;
  }
  return "Line " + std::to_string(StatementNumber(e.file, e.line)) + " in DEZEZuvazoz." +
         className_ + "." + procedure_;
}

void ErrorTrap::Rethrow(Error e) const {
  e.source = SourceFor(e);
  throw e;
}

}  // namespace dez
