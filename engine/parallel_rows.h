// Rows of a pair loop shared among threads, with results that do not depend on how many.
//
// A builder's pair loop computes every cell from its own pair alone, by the same code
// whichever thread runs it, so splitting the rows among threads changes the time and
// nothing else. Rows are handed out in small chunks from a shared counter, so that a
// thread slowed by other work on the machine takes fewer of them.
#pragma once

#include <cstdint>
#include <functional>

namespace dez {

/// The number of threads the builders use: the machine's (at least 1) unless set.
std::int32_t BuilderThreads();

/// Sets the number of threads the builders use; 0 restores the machine's. For tests and
/// benchmarks: the results are the same whatever the number.
void SetBuilderThreads(std::int32_t threads);

/// Calls `rows(first, last)` for consecutive chunks [first, last) covering [0, count),
/// each chunk once, on up to BuilderThreads() threads (the caller's among them), and
/// returns true when every call returned true. `work` estimates the cost of the whole
/// loop in elementary operations: unless a number of threads was set, each thread must
/// have about a million of them, so small loops run on the caller's thread alone. `rows`
/// may run on any thread; when a call throws, no further chunks are started and the
/// first exception is thrown again on the caller's thread once every thread has stopped.
bool ForEachRowChunk(std::int32_t count, double work, const std::function<bool(std::int32_t, std::int32_t)>& rows);

/// While it lives, the ForEachRowChunk loops that this thread starts report the fraction
/// of their rows done to `progress`, on this thread only, after each chunk that this
/// thread ran (a few dozen calls per loop, never per pair).
class ScopedRowProgress {
 public:
  explicit ScopedRowProgress(std::function<void(double fraction)> progress);
  ~ScopedRowProgress();
  ScopedRowProgress(const ScopedRowProgress&) = delete;
  ScopedRowProgress& operator=(const ScopedRowProgress&) = delete;

 private:
  std::function<void(double)> progress_;
  const std::function<void(double)>* previous_;
};

}  // namespace dez
