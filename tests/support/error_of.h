// The error a call raises, for the tests of every subsystem.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <source_location>
#include <stdexcept>
#include <utility>

#include "runtime/error.h"

namespace dez::test {

/// The error of type `E` (an `Error` or a class derived from it) that `f` raises. When
/// `f` raises none, the test fails with an exception that says so.
template <class E = Error, class F>
E ErrorOf(F&& f) {
  try {
    std::forward<F>(f)();
  } catch (const E& e) {
    return e;
  }
  throw std::logic_error("no error raised");
}

/// The number of the error that `f` raises.
template <class F>
std::int32_t NumberOf(F&& f) {
  return ErrorOf(std::forward<F>(f)).number;
}

/// Expects each of `calls` to raise `number`; a failure names the call by its place (1..n).
inline void ExpectRaises(std::int32_t number, std::initializer_list<std::function<void()>> calls,
                         std::source_location where = std::source_location::current()) {
  const ::testing::ScopedTrace trace(where.file_name(), static_cast<int>(where.line()), "ExpectRaises");
  int place = 0;
  for (const auto& call : calls) {
    ++place;
    try {
      call();
      ADD_FAILURE() << "call " << place << " raised no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.number, number) << "call " << place << ": " << e.description;
    }
  }
}

}  // namespace dez::test
