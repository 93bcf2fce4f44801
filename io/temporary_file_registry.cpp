#include "io/temporary_file_registry.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>

namespace dez::io {

namespace {

constexpr int kSlots = 32;

struct Slot {
  std::atomic<bool> used{false};  // set after `path` is complete, cleared before it is reused
  char path[PATH_MAX];
};

std::array<Slot, kSlots> slots;

extern "C" void RemoveTemporariesAndExit(int signal) {
  for (Slot& slot : slots) {
    if (slot.used.load(std::memory_order_acquire)) ::unlink(slot.path);
  }
  ::_exit(128 + signal);
}

}  // namespace

int TemporaryFileRegistry::Register(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  for (int i = 0; i < kSlots; ++i) {
    Slot& slot = slots[static_cast<std::size_t>(i)];
    if (slot.used.load(std::memory_order_acquire)) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.used.store(true, std::memory_order_release);
    return i;
  }
  return -1;
}

void TemporaryFileRegistry::Forget(int slot) {
  if (slot >= 0 && slot < kSlots) slots[static_cast<std::size_t>(slot)].used.store(false, std::memory_order_release);
}

void TemporaryFileRegistry::RemoveOnTerminationSignals() {
  struct sigaction action {};
  action.sa_handler = &RemoveTemporariesAndExit;
  sigfillset(&action.sa_mask);  // one handler at a time
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

}  // namespace dez::io
