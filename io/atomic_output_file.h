// One output of a run, prepared completely before it is put in place.
//
//   AtomicOutputFile out("report.xlsx", "WriteXlsx");
//   write everything to out.TempPath() ...
//   out.Commit();       // put it in place
//
// Until Commit the destination is untouched: an existing file keeps its content, a
// missing one stays missing. What Commit does depends on what the destination is:
// - a regular file, or a name that does not exist yet: the temporary file, created
//   exclusively in the destination's folder (so the rename never crosses file systems),
//   is renamed over it. A replaced file keeps its permission bits, less setuid and setgid,
//   and (when run as root) its owner; a new file gets 0666 less the umask.
// - a symbolic link: followed (link by link), and its final target replaced as above, in
//   the target's folder; the link itself stays.
// - anything else (a character or block device, a FIFO, /dev/stdout, /dev/fd/N): written
//   to directly, never replaced. The content is prepared in memory (a memfd, whose
//   TempPath is /proc/self/fd/N) and copied to the destination by Commit.
// The temporary file of a regular destination is named ".<name>.hcluster-XXXXXX" (six
// random letters or digits; <name> is cut so that the whole stays within NAME_MAX), is
// registered with TemporaryFileRegistry (removed on SIGINT/SIGTERM/SIGHUP) and is removed
// when the object is destroyed without a successful Commit. So is HelperFolder.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>

namespace dez::io {

class AtomicOutputFile {
 public:
  /// Creates the temporary file. Raises FileError kWrite (with `source`) when the folder
  /// does not exist or no file can be created in it, or when `destination` is a folder.
  AtomicOutputFile(const std::filesystem::path& destination, std::string source);
  ~AtomicOutputFile();
  AtomicOutputFile(const AtomicOutputFile&) = delete;
  AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

  const std::filesystem::path& TempPath() const { return temp_; }
  /// The destination as given (named in messages).
  const std::filesystem::path& Destination() const { return destination_; }
  /// A private folder for a writer's helper files, removed (with its files) when the
  /// output is sealed or abandoned and on a termination signal: ".<temp name>.d" beside
  /// the temporary file, or "hcluster-XXXXXX" in the system's temporary folder for a
  /// destination written in place.
  const std::filesystem::path& HelperFolder() const { return helperFolder_; }
  /// True when Commit writes to the destination in place instead of renaming over it.
  bool WritesInPlace() const { return inPlace_; }

  /// Flushes the prepared content to disk (a no-op the second time). Raises FileError
  /// kWrite when that fails; the destination is then untouched.
  void Seal();
  /// Seals, then renames over the destination or copies into it. Raises FileError kWrite
  /// when that fails (the temporary file is then removed).
  void Commit();

 private:
  void CreateBesideTarget(mode_t mode, bool replacing, uid_t owner, gid_t group);
  void CreateInMemory();
  void CreateHelperFolder(const std::filesystem::path& folder, const std::string& name, bool random);
  void RemoveHelperFolder();
  /// Creates `folder`/`stem` (+ six random characters when `random`) with `create`, which
  /// returns false with errno set; registered with TemporaryFileRegistry before it exists.
  /// Returns the registry slot.
  int CreateExclusive(const std::filesystem::path& folder, const std::string& stem, bool random, bool isFolder,
                      const std::function<bool(const std::filesystem::path&)>& create);
  void CopyIntoDestination();
  void RemoveTemporary();
  [[noreturn]] void Fail(const std::string& what) const;

  std::filesystem::path destination_;
  std::filesystem::path target_;  // the file renamed over, or written to in place
  std::filesystem::path temp_;
  std::filesystem::path helperFolder_;
  std::string source_;
  bool inPlace_ = false;
  int descriptor_ = -1;  // the destination's descriptor for /dev/stdout and /dev/fd/N
  int memoryFd_ = -1;    // the in-memory content of an in-place destination
  int slot_ = -1;        // in TemporaryFileRegistry
  int helperSlot_ = -1;
  bool sealed_ = false;
  bool committed_ = false;
};

}  // namespace dez::io
