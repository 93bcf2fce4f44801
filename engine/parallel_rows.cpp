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

// The progress receiver of the loops this thread starts, if any.
thread_local const std::function<void(double)>* tRowProgress = nullptr;

// Chunks of a loop run on one thread while progress is reported.
constexpr std::int32_t kReportedChunks = 64;

}  // namespace

ScopedRowProgress::ScopedRowProgress(std::function<void(double fraction)> progress)
    : progress_(std::move(progress)), previous_(tRowProgress) {
  tRowProgress = &progress_;
}

ScopedRowProgress::~ScopedRowProgress() { tRowProgress = previous_; }

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
  const std::function<void(double)>* const progress = tRowProgress;
  if (threads == 1) {
    if (progress == nullptr) return rows(0, count);
    const std::int32_t step = std::max(1, count / kReportedChunks);
    bool allGood = true;
    for (std::int32_t first = 0; first < count; first += step) {
      const std::int32_t last = count - first > step ? first + step : count;
      allGood = rows(first, last) && allGood;
      (*progress)(static_cast<double>(last) / count);
    }
    return allGood;
  }
  // Chunks small enough to balance the threads, large enough to keep the counter cold.
  const std::int32_t chunk = std::max(1, count / (threads * 32));
  std::atomic<std::int32_t> next{0};
  std::atomic<std::int32_t> done{0};  // rows of finished chunks, for progress
  std::atomic<bool> good{true};
  std::mutex failing;
  std::exception_ptr failure;  // the first exception a chunk raised
  const auto worker = [&](bool reports) {
    // Invariant: every chunk taken from `next` so far is done or being done by one thread.
    for (;;) {
      const std::int32_t first = next.fetch_add(chunk, std::memory_order_relaxed);
      if (first >= count) return;
      try {
        const std::int32_t last = std::min(count, first + chunk);
        if (!rows(first, last)) good.store(false, std::memory_order_relaxed);
        const std::int32_t finished = done.fetch_add(last - first, std::memory_order_relaxed) + (last - first);
        if (reports) (*progress)(static_cast<double>(finished) / count);
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
      helpers.emplace_back(worker, false);
    } catch (const std::system_error&) {
      break;  // no more threads to be had: the others share the work
    }
  }
  worker(progress != nullptr);
  for (std::thread& helper : helpers) helper.join();
  if (failure) std::rethrow_exception(failure);
  return good.load();
}

}  // namespace dez
