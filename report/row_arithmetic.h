// Checked 32-bit arithmetic on row and column numbers that names the caller's statement.
//
// The overloaded operators of Int32 cannot learn where they were called from; these
// helpers can, so an overflow of the write cursor is numbered with the statement that
// moved it.
#pragma once

#include <cstdint>
#include <source_location>

#include "runtime/checked_int.h"

namespace dez::report_detail {

/// a + b; outside the 32-bit range overflow (6) at the caller's statement.
inline Int32 Plus(Int32 a, Int32 b, std::source_location where = std::source_location::current()) {
  return CLng(std::int64_t{a.get()} + b.get(), where);
}
/// (a + b) + c, each sum checked.
inline Int32 Plus(Int32 a, Int32 b, Int32 c, std::source_location where = std::source_location::current()) {
  return Plus(Plus(a, b, where), c, where);
}
/// a - b; outside the 32-bit range overflow (6) at the caller's statement.
inline Int32 Minus(Int32 a, Int32 b, std::source_location where = std::source_location::current()) {
  return CLng(std::int64_t{a.get()} - b.get(), where);
}

}  // namespace dez::report_detail
