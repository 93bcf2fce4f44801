// A host or library object that an operation needs: a null reference is the runtime's
// "object variable not set" (91), raised at the caller's statement.
#pragma once

#include <source_location>

#include "runtime/error.h"

namespace dez::report_detail {

template <class Ptr>
const Ptr& Required(const Ptr& object, std::source_location where = std::source_location::current()) {
  if (!object) Raise(fault::kObjectNotSet, {}, {}, where);
  return object;
}

}  // namespace dez::report_detail
