#include "runtime/error.h"

#include <utility>

namespace dez {

std::string DefaultDescription(std::int32_t number) {
  switch (number) {
    case fault::kInvalidCall: return "Invalid procedure call or argument";
    case fault::kOverflow: return "Overflow";
    case fault::kOutOfMemory: return "Out of memory";
    case fault::kSubscriptOutOfRange: return "Subscript out of range";
    case fault::kDivisionByZero: return "Division by zero";
    case fault::kTypeMismatch: return "Type mismatch";
    case fault::kObjectNotSet: return "Object variable or With block variable not set";
    default: return "Application-defined or object-defined error";
  }
}

Error::Error(std::int32_t number_, std::string source_, std::string description_,
             std::source_location where)
    : number(number_),
      source(std::move(source_)),
      description(std::move(description_)),
      file(where.file_name()),
      line(where.line()) {
  if (description.empty()) description = DefaultDescription(number);
}

void Raise(std::int32_t number, std::string source, std::string description,
           std::source_location where) {
  throw Error(number, std::move(source), std::move(description), where);
}

}  // namespace dez
