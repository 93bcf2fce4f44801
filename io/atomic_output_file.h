// A file written under a temporary name beside its destination and renamed into place.
//
//   AtomicOutputFile out("report.xlsx", "WriteXlsx");
//   write everything to out.TempPath() ...
//   out.Commit();       // rename over report.xlsx
//
// Until Commit succeeds the destination is untouched: an existing file keeps its content,
// a missing one stays missing. The temporary file is created exclusively in the
// destination's folder (so the rename never crosses file systems) and is removed when the
// object is destroyed without a successful Commit. A replaced file's permission bits are
// kept; a new file gets the usual ones (0666 less the umask).
#pragma once

#include <filesystem>
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
  const std::filesystem::path& Destination() const { return destination_; }

  /// Flushes the temporary file to disk and renames it over the destination. Raises
  /// FileError kWrite when that fails (the temporary file is then removed).
  void Commit();

 private:
  std::filesystem::path destination_;
  std::filesystem::path temp_;
  std::string source_;
  bool committed_ = false;
};

}  // namespace dez::io
