// A test that needs something from its machine (a program, a privilege, a mount).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

namespace dez::test {

/// True in continuous integration (.ci/run sets CI), where every tool must be present.
inline bool InCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && *ci != '\0';
}

}  // namespace dez::test

/// Skips the test when `available` is false on a developer's machine, and fails it in
/// continuous integration, where a missing tool would hide a check.
#define DEZ_NEEDS(available, what)                                        \
  if (!(available)) {                                                     \
    if (::dez::test::InCi()) FAIL() << "missing in CI: " << (what);       \
    GTEST_SKIP() << (what);                                               \
  }
