#include "io/written_package_check.h"

#include <zip.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

#include "io/file_error.h"
#include "io/zip_archive.h"

namespace dez::io {

namespace {

/// The first and last bytes of a part, kept while it streams past.
class PartEnds {
 public:
  void Add(std::string_view bytes) {
    if (head_.size() < kKeep) head_.append(bytes.substr(0, kKeep - head_.size()));
    tail_.append(bytes.size() > kKeep ? bytes.substr(bytes.size() - kKeep) : bytes);
    if (tail_.size() > 2 * kKeep) tail_.erase(0, tail_.size() - kKeep);
  }

  /// True when the part ends with the end tag of its first element (its root), or is
  /// that one element written as an empty-element tag.
  bool Complete() const {
    std::size_t open = 0;
    while ((open = head_.find('<', open)) != std::string::npos && open + 1 < head_.size() &&
           (head_[open + 1] == '?' || head_[open + 1] == '!')) {
      ++open;
    }
    if (open == std::string::npos) return false;
    const std::size_t nameEnd = head_.find_first_of(" \t\r\n/>", open + 1);
    if (nameEnd == std::string::npos) return false;
    const std::string root = head_.substr(open + 1, nameEnd - open - 1);
    std::string_view end(tail_);
    while (!end.empty() && (end.back() == ' ' || end.back() == '\n' || end.back() == '\r' || end.back() == '\t')) {
      end.remove_suffix(1);
    }
    if (end.ends_with("</" + root + ">")) return true;
    const std::size_t close = head_.find('>', nameEnd);
    return close != std::string::npos && head_[close - 1] == '/' && end == std::string_view(head_).substr(0, close + 1);
  }

 private:
  static constexpr std::size_t kKeep = 512;
  std::string head_;
  std::string tail_;
};

/// The names of the members of the zip archive `path`; empty when it cannot be opened.
std::vector<std::string> MemberNames(const std::filesystem::path& path) {
  int error = 0;
  const std::unique_ptr<zip, int (*)(zip*)> archive(zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error),
                                                    &zip_close);
  std::vector<std::string> names;
  if (!archive) return names;
  const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    if (const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0)) names.emplace_back(name);
  }
  return names;
}

bool IsXmlPart(const std::string& name) { return name.ends_with(".xml") || name.ends_with(".rels"); }

}  // namespace

void WrittenPackageCheck::Verify(const std::filesystem::path& written, const std::string& destination,
                                 const std::string& source) {
  const std::vector<std::string> names = MemberNames(written);
  std::string part;
  try {
    if (names.empty()) throw FileError(FileErrorKind::kNotWorkbook, destination, {}, "no parts", source);
    const ZipArchive archive(written, source);
    for (const std::string& name : names) {
      part = name;
      PartEnds ends;
      archive.ReadPart(name, std::numeric_limits<std::uint64_t>::max(), [&](std::string_view bytes) {
        if (IsXmlPart(name)) ends.Add(bytes);
      });
      if (IsXmlPart(name) && !ends.Complete()) {
        throw FileError(FileErrorKind::kMalformed, destination, {}, "part cut short", source);
      }
    }
  } catch (const FileError&) {
    throw FileError(FileErrorKind::kWrite, destination, FileLocation{{}, 0, 0, part},
                    "the written workbook is damaged (a temporary file of the writer could not be written in full: "
                    "is its disk full?)",
                    source);
  }
}

}  // namespace dez::io
