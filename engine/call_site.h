// Statement numbers for calls into procedures that record no call site themselves.
#pragma once

#include <source_location>
#include <utility>

#include "runtime/error.h"

namespace dez {

/// Runs `call` and gives an error that leaves it the position of this call, so that the
/// calling procedure's trap numbers the error with the statement that made the call (the
/// error was raised in another procedure, or inside a factory of the add-in library).
/// The source, number and description stay as they are.
template <class Call>
decltype(auto) AtCallSite(Call&& call, std::source_location where = std::source_location::current()) {
  try {
    return std::forward<Call>(call)();
  } catch (Error& e) {
    e.file = where.file_name();
    e.line = where.line();
    throw;
  }
}

}  // namespace dez
