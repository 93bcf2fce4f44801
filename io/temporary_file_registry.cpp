#include "io/temporary_file_registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstddef>
#include <cstring>

namespace dez::io {

namespace {

constexpr int kSlots = 32;

struct Slot {
  std::atomic<bool> used{false};  // set after `path` is complete, cleared before it is reused
  bool folder = false;
  char path[PATH_MAX];
};

std::array<Slot, kSlots> slots;

/// Removes the files in `folder` and the folder, with system calls only (getdents64
/// rather than readdir, which may allocate).
void RemoveFolder(const char* folder) {
  const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    alignas(8) char buffer[4096];
    for (;;) {
      const long n = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
      if (n <= 0) break;
      for (long at = 0; at < n;) {
        // struct linux_dirent64: ino (8), off (8), reclen (2), type (1), name.
        unsigned short length = 0;
        std::memcpy(&length, buffer + at + 16, sizeof length);
        const char* name = buffer + at + 19;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) ::unlinkat(fd, name, 0);
        at += length;
      }
    }
    ::close(fd);
  }
  ::rmdir(folder);
}

extern "C" void RemoveTemporariesAndExit(int signal) {
  for (Slot& slot : slots) {
    if (!slot.used.load(std::memory_order_acquire)) continue;
    if (slot.folder) {
      RemoveFolder(slot.path);
    } else {
      ::unlink(slot.path);
    }
  }
  ::_exit(128 + signal);
}

}  // namespace

int TemporaryFileRegistry::Register(const std::string& path, bool folder) {
  if (path.size() >= PATH_MAX) return -1;
  for (int i = 0; i < kSlots; ++i) {
    Slot& slot = slots[static_cast<std::size_t>(i)];
    if (slot.used.load(std::memory_order_acquire)) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.folder = folder;
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
