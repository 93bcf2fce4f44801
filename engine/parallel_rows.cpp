#include "engine/parallel_rows.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace dez {

namespace {

std::atomic<std::int32_t> gThreads{0};  // 0: the machine's

constexpr double kWorkPerThread = 1e6;  // below this a thread costs more than it saves

}  // namespace

std::int32_t BuilderThreads() {
  const std::int32_t set = gThreads.load(std::memory_order_relaxed);
  if (set > 0) return set;
  return std::max(1, static_cast<std::int32_t>(std::thread::hardware_concurrency()));
}

void SetBuilderThreads(std::int32_t threads) { gThreads.store(std::max(0, threads), std::memory_order_relaxed); }

bool ForEachRowChunk(std::int32_t count, double work, const std::function<bool(std::int32_t, std::int32_t)>& rows) {
  if (count <= 0) return true;
  // A number set explicitly is used as it is (tests compare the results of several);
  // the machine's only as far as the work pays for the threads.
  const std::int32_t set = gThreads.load(std::memory_order_relaxed);
  const auto byWork = static_cast<std::int32_t>(std::min(work / kWorkPerThread, 1024.0));
  const std::int32_t threads = std::clamp(set > 0 ? set : std::min(BuilderThreads(), byWork), 1, count);
  if (threads == 1) return rows(0, count);
  // Chunks small enough to balance the threads, large enough to keep the counter cold.
  const std::int32_t chunk = std::max(1, count / (threads * 32));
  std::atomic<std::int32_t> next{0};
  std::atomic<bool> good{true};
  std::mutex failing;
  std::exception_ptr failure;  // the first exception a chunk raised
  const auto worker = [&] {
    // Invariant: every chunk taken from `next` so far is done or being done by one thread.
    for (;;) {
      const std::int32_t first = next.fetch_add(chunk, std::memory_order_relaxed);
      if (first >= count) return;
      try {
        if (!rows(first, std::min(count, first + chunk))) good.store(false, std::memory_order_relaxed);
      } catch (...) {
        const std::lock_guard<std::mutex> lock(failing);
        if (!failure) failure = std::current_exception();
        next.store(count, std::memory_order_relaxed);  // no more chunks
        return;
      }
    }
  };
  std::vector<std::thread> helpers;
  helpers.reserve(static_cast<std::size_t>(threads - 1));
  for (std::int32_t t = 1; t < threads; ++t) {
    try {
      helpers.emplace_back(worker);
    } catch (const std::system_error&) {
      break;  // no more threads to be had: the others share the work
    }
  }
  worker();
  for (std::thread& helper : helpers) helper.join();
  if (failure) std::rethrow_exception(failure);
  return good.load();
}

}  // namespace dez
