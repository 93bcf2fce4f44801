// How the embedded host reports a failure to its caller.
//
// Every failure is an `Error` carrying a number, the name of the host object that failed
// as its source, a description that says what was wrong, and the caller's source
// location, so that the caller's error trap numbers its own failing statement.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/forward.h"

namespace dez::embedded {

/// The number the host gives a member that is refused because no object with the given
/// name exists in a shapes collection ("The item with the specified name wasn't found").
inline constexpr std::int32_t kItemNotFound = -2147024809;

/// Raises the application-defined host error (1004) from `object` with `description`.
[[noreturn]] void RaiseHostError(std::string_view object, std::string description, host::Loc where);

/// Raises `number` from `object` with `description`.
[[noreturn]] void RaiseHostError(std::int32_t number, std::string_view object, std::string description,
                                 host::Loc where);

}  // namespace dez::embedded
