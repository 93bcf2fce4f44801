#include "io/atomic_output_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <functional>
#include <optional>
#include <random>
#include <vector>

#include "io/file_error.h"
#include "io/temporary_file_registry.h"

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

std::filesystem::path FolderOf(const std::filesystem::path& path) {
  const std::filesystem::path folder = path.parent_path();
  return folder.empty() ? std::filesystem::path(".") : folder;
}

/// The descriptor a name stands for: /dev/stdout, /dev/stderr, /dev/fd/N and
/// /proc/self/fd/N are the process's own descriptors, to be written, never replaced.
std::optional<int> NamedDescriptor(const std::string& name) {
  if (name == "/dev/stdout") return 1;
  if (name == "/dev/stderr") return 2;
  for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    if (name.starts_with(prefix)) {
      int fd = -1;
      const char* first = name.data() + prefix.size();
      const char* last = name.data() + name.size();
      const auto [end, ec] = std::from_chars(first, last, fd);
      if (ec == std::errc() && end == last && first != last) return fd;
    }
  }
  return std::nullopt;
}

/// `name` cut to at most `bytes` bytes, never inside a UTF-8 sequence.
std::string CutName(const std::string& name, std::size_t bytes) {
  if (name.size() <= bytes) return name;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return name.substr(0, end);
}

constexpr const char* kTempMarker = ".hcluster-";
constexpr int kMaxLinks = 40;  // as the kernel allows in one path

}  // namespace

AtomicOutputFile::AtomicOutputFile(const std::filesystem::path& destination, std::string source)
    : destination_(destination), source_(std::move(source)) {
  std::filesystem::path path = destination_;
  for (int hop = 0; hop <= kMaxLinks; ++hop) {
    if (const std::optional<int> fd = NamedDescriptor(path.string())) {
      descriptor_ = *fd;
      CreateInMemory();
      return;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
      if (errno != ENOENT) Fail("cannot examine " + path.string() + ": " + Errno());
      target_ = path;  // a new file
      CreateBesideTarget(0666, false, 0, 0);
      return;
    }
    if (S_ISLNK(st.st_mode)) {
      std::vector<char> link(static_cast<std::size_t>(PATH_MAX) + 1);
      const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
      if (n < 0 || static_cast<std::size_t>(n) >= link.size()) Fail("cannot follow the link " + path.string());
      const std::filesystem::path next(std::string(link.data(), static_cast<std::size_t>(n)));
      path = next.is_absolute() ? next : path.parent_path() / next;
      continue;
    }
    if (S_ISDIR(st.st_mode)) Fail("cannot write: it is a folder");
    target_ = path;
    if (S_ISREG(st.st_mode)) {
      CreateBesideTarget(st.st_mode & 01777, true, st.st_uid, st.st_gid);  // never setuid/setgid
    } else {
      CreateInMemory();  // a device, FIFO or socket: written in place
    }
    return;
  }
  Fail("too many levels of symbolic links");
}

void AtomicOutputFile::CreateBesideTarget(mode_t mode, bool replacing, uid_t owner, gid_t group) {
  const std::filesystem::path folder = FolderOf(target_);
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) {
    Fail("cannot write: the folder " + folder.string() + " does not exist");
  }
  long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  if (nameMax <= 0) nameMax = NAME_MAX;
  // "." + name + ".hcluster-" + six characters (+ ".d" for the helper folder), within the
  // folder's name limit.
  const std::size_t fixed = 1 + std::strlen(kTempMarker) + 6 + 2;
  const std::size_t room = static_cast<std::size_t>(nameMax) > fixed ? static_cast<std::size_t>(nameMax) - fixed : 0;
  const std::string stem = "." + CutName(target_.filename().string(), room) + kTempMarker;
  slot_ = CreateExclusive(folder, stem, true, false, [&](const std::filesystem::path& candidate) {
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : mode);
    if (fd < 0) return false;
    if (replacing) {
      // The replaced file's owner (only root may give a file away) and bits, whatever the umask.
      if (::geteuid() == 0) (void)::fchown(fd, owner, group);
      (void)::fchmod(fd, mode);
    }
    ::close(fd);
    temp_ = candidate;
    return true;
  });
  CreateHelperFolder(folder, temp_.filename().string() + ".d", false);
}

void AtomicOutputFile::CreateInMemory() {
  inPlace_ = true;
  memoryFd_ = ::memfd_create("hcluster-output", MFD_CLOEXEC);
  if (memoryFd_ < 0) Fail("cannot prepare the output in memory: " + Errno());
  temp_ = "/proc/self/fd/" + std::to_string(memoryFd_);
  std::error_code ec;
  std::filesystem::path system = std::filesystem::temp_directory_path(ec);
  if (ec) system = "/tmp";
  CreateHelperFolder(system, std::string(kTempMarker + 1), true);
}

void AtomicOutputFile::CreateHelperFolder(const std::filesystem::path& folder, const std::string& name,
                                          bool random) {
  helperSlot_ = CreateExclusive(folder, name, random, true, [&](const std::filesystem::path& candidate) {
    if (::mkdir(candidate.c_str(), 0700) != 0) return false;
    helperFolder_ = candidate;
    return true;
  });
}

void AtomicOutputFile::RemoveHelperFolder() {
  if (helperFolder_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(helperFolder_, ignored);
  TemporaryFileRegistry::Forget(helperSlot_);
  helperSlot_ = -1;
}

int AtomicOutputFile::CreateExclusive(const std::filesystem::path& folder, const std::string& stem, bool random,
                                      bool isFolder, const std::function<bool(const std::filesystem::path&)>& create) {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937_64 generator(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = stem;
    if (random) {
      for (int k = 0; k < 6; ++k) name += kLetters[generator() % (sizeof kLetters - 1)];
    }
    const std::filesystem::path candidate = folder / name;
    // Registered before it is created: a signal taken by another thread of the process
    // (the engine's) while this one creates it must find it in the table.
    const int slot = TemporaryFileRegistry::Register(candidate.string(), isFolder);
    if (create(candidate)) return slot;
    const int error = errno;
    TemporaryFileRegistry::Forget(slot);
    if (error != EEXIST || !random) {
      errno = error;
      Fail("cannot create a file in the folder " + folder.string() + ": " + Errno());
    }
  }
  Fail("cannot find a free temporary name");
}

AtomicOutputFile::~AtomicOutputFile() {
  RemoveHelperFolder();
  if (!committed_) RemoveTemporary();
  if (memoryFd_ >= 0) ::close(memoryFd_);
}

void AtomicOutputFile::RemoveTemporary() {
  if (!inPlace_ && !temp_.empty()) ::unlink(temp_.c_str());
  TemporaryFileRegistry::Forget(slot_);
  slot_ = -1;
}

void AtomicOutputFile::Fail(const std::string& what) const {
  throw FileError(FileErrorKind::kWrite, destination_.string(), {}, what, source_);
}

void AtomicOutputFile::Seal() {
  if (sealed_) return;
  RemoveHelperFolder();  // the writing is over
  if (!inPlace_ && !SyncPath(temp_, O_RDONLY)) Fail("cannot flush the written file: " + Errno());
  sealed_ = true;
}

void AtomicOutputFile::Commit() {
  Seal();
  if (inPlace_) {
    CopyIntoDestination();
    committed_ = true;
    return;
  }
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    const std::string why = Errno();
    RemoveTemporary();
    Fail("cannot move the written file into place: " + why);
  }
  committed_ = true;
  TemporaryFileRegistry::Forget(slot_);
  slot_ = -1;
  (void)SyncPath(FolderOf(target_), O_RDONLY | O_DIRECTORY);  // durability of the rename; best effort
}

void AtomicOutputFile::CopyIntoDestination() {
  const int out = descriptor_ >= 0 ? descriptor_ : ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (out < 0) Fail("cannot open for writing: " + Errno());
  std::vector<char> buffer(std::size_t{1} << 20);
  off_t offset = 0;
  std::string failure;
  for (;;) {
    const ssize_t got = ::pread(memoryFd_, buffer.data(), buffer.size(), offset);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      failure = "cannot read the prepared output: " + Errno();
      break;
    }
    if (got == 0) break;
    offset += got;
    for (ssize_t done = 0; done < got && failure.empty();) {
      const ssize_t put = ::write(out, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) failure = "cannot write: " + Errno();
      else done += put;
    }
    if (!failure.empty()) break;
  }
  if (descriptor_ < 0 && ::close(out) != 0 && failure.empty()) failure = "cannot write: " + Errno();
  if (!failure.empty()) Fail(failure);
}

}  // namespace dez::io
