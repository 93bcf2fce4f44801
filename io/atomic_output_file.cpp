#include "io/atomic_output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "io/file_error.h"

namespace dez::io {

namespace {

std::string Errno() { return std::strerror(errno); }

/// fsync of a file or folder by name; false when it cannot be opened or synced.
bool SyncPath(const std::filesystem::path& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

AtomicOutputFile::AtomicOutputFile(const std::filesystem::path& destination, std::string source)
    : destination_(destination), source_(std::move(source)) {
  const std::string name = destination_.string();
  std::error_code ec;
  if (std::filesystem::is_directory(destination_, ec)) {
    throw FileError(FileErrorKind::kWrite, name, {}, "cannot write: it is a folder", source_);
  }
  std::filesystem::path folder = destination_.parent_path();
  if (folder.empty()) folder = ".";
  if (!std::filesystem::is_directory(folder, ec)) {
    throw FileError(FileErrorKind::kWrite, name, {}, "cannot write: the folder " + folder.string() + " does not exist",
                    source_);
  }
  mode_t mode = 0666;  // less the umask, applied by open
  struct stat existing {};
  const bool replacing = ::stat(destination_.c_str(), &existing) == 0;
  if (replacing) mode = existing.st_mode & 07777;

  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string tempName(1, '.');
    tempName += destination_.filename().string();
    tempName += ".tmp-";
    tempName += std::to_string(::getpid());
    tempName += '-';
    tempName += std::to_string(random() % 1'000'000'000);
    const std::filesystem::path candidate = folder / tempName;
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : mode);
    if (fd >= 0) {
      if (replacing) (void)::fchmod(fd, mode);  // the replaced file's bits, whatever the umask
      ::close(fd);
      temp_ = candidate;
      return;
    }
    if (errno != EEXIST) {
      throw FileError(FileErrorKind::kWrite, name, {},
                      "cannot create a file in the folder " + folder.string() + ": " + Errno(), source_);
    }
  }
  throw FileError(FileErrorKind::kWrite, name, {}, "cannot find a free temporary name", source_);
}

AtomicOutputFile::~AtomicOutputFile() {
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void AtomicOutputFile::Commit() {
  const std::string name = destination_.string();
  if (!SyncPath(temp_, O_RDONLY)) {
    throw FileError(FileErrorKind::kWrite, name, {}, "cannot flush the written file: " + Errno(), source_);
  }
  if (::rename(temp_.c_str(), destination_.c_str()) != 0) {
    throw FileError(FileErrorKind::kWrite, name, {}, "cannot move the written file into place: " + Errno(), source_);
  }
  committed_ = true;
  std::filesystem::path folder = destination_.parent_path();
  if (folder.empty()) folder = ".";
  (void)SyncPath(folder, O_RDONLY | O_DIRECTORY);  // durability of the rename; best effort
}

}  // namespace dez::io
