// A zip archive opened for reading with libzip, and streaming access to its members.
//
// Nothing here trusts a size the archive claims: a member is read in fixed chunks and
// the bytes actually produced are counted against the caller's bound.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct zip;

namespace dez::io {

class ZipArchive {
 public:
  /// Opens `path` read-only with libzip's consistency checks. Raises FileError (source
  /// `source`): kOpen when the file cannot be read, kEmpty for a file of no bytes,
  /// kNotWorkbook when it is not a zip archive, or is truncated or inconsistent.
  ZipArchive(const std::filesystem::path& path, std::string source);
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  /// True when the archive holds a member of that name (letter case ignored, as the
  /// package format's part names are).
  bool Contains(const std::string& partName) const;

  /// Streams the uncompressed bytes of member `partName` to `consume`, in chunks of at
  /// most 64 KiB. Raises FileError: kMissingPart when there is no such member, kLimit once
  /// more than `maxBytes` bytes have been produced, kNotWorkbook when the data is corrupt
  /// (bad deflate stream, CRC mismatch, truncated). Returns the number of bytes read.
  std::uint64_t ReadPart(const std::string& partName, std::uint64_t maxBytes,
                         const std::function<void(std::string_view)>& consume) const;

  /// Reads the whole member into a string, bounded as ReadPart.
  std::string ReadText(const std::string& partName, std::uint64_t maxBytes) const;

  /// The members' names in the archive's order.
  std::vector<std::string> PartNames() const;
  /// True when any member is encrypted.
  bool HasEncryptedPart() const;

  const std::string& fileName() const { return fileName_; }
  /// libzip's handle, for copying members into another archive.
  zip* Handle() const { return archive_; }

 private:
  std::string fileName_;
  std::string source_;
  zip* archive_ = nullptr;
};

}  // namespace dez::io
