// The temporary files of the running process, kept where a signal handler can reach them.
//
// AtomicOutputFile registers each temporary file it creates and forgets it once the file
// is renamed into place or removed. RemoveOnTerminationSignals (called once by a program,
// never by the library) makes SIGINT, SIGTERM and SIGHUP remove every registered file and
// end the process with status 128 + the signal's number.
//
// The table is a fixed array of fixed-size paths, so the handler only reads memory and
// makes system calls (unlink, getdents64, rmdir, _exit), which are async-signal-safe. A path that does not fit (more
// files at once than the table holds, a path longer than PATH_MAX) is not registered: it
// is still removed on every ordinary failure, only not on a signal.
#pragma once

#include <string>

namespace dez::io {

class TemporaryFileRegistry {
 public:
  /// Remembers `path`, a file or (`folder`) a folder of files, removed with its files;
  /// returns the slot to pass to Forget, or -1 when it was not kept.
  static int Register(const std::string& path, bool folder = false);
  /// Forgets the file of `slot` (a no-op for -1).
  static void Forget(int slot);
  /// Installs the handlers for SIGINT, SIGTERM and SIGHUP.
  static void RemoveOnTerminationSignals();
};

}  // namespace dez::io
