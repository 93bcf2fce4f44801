#include "io/zip_archive.h"

#include <zip.h>

#include <array>
#include <memory>
#include <system_error>

#include "io/file_error.h"

namespace dez::io {

namespace {
std::string ZipErrorText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}
}  // namespace

ZipArchive::ZipArchive(const std::filesystem::path& path, std::string source)
    : fileName_(path.string()), source_(std::move(source)) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    throw FileError(FileErrorKind::kOpen, fileName_, {}, "is a directory", source_);
  }
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) throw FileError(FileErrorKind::kOpen, fileName_, {}, "cannot open: " + ec.message(), source_);
  if (size == 0) throw FileError(FileErrorKind::kEmpty, fileName_, {}, "the file is empty", source_);

  int code = 0;
  archive_ = zip_open(fileName_.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (archive_ == nullptr) {
    switch (code) {
      case ZIP_ER_NOZIP:
        throw FileError(FileErrorKind::kNotWorkbook, fileName_, {},
                        "not an XLSX workbook: not a zip archive, or a truncated one", source_);
      case ZIP_ER_INCONS:
      case ZIP_ER_CRC:
      case ZIP_ER_COMPNOTSUPP:
      case ZIP_ER_ENCRNOTSUPP:
      case ZIP_ER_MULTIDISK:
        throw FileError(FileErrorKind::kNotWorkbook, fileName_, {},
                        "not a readable XLSX workbook: " + ZipErrorText(code), source_);
      default: throw FileError(FileErrorKind::kOpen, fileName_, {}, "cannot open: " + ZipErrorText(code), source_);
    }
  }
}

ZipArchive::~ZipArchive() {
  if (archive_ != nullptr) zip_discard(archive_);
}

bool ZipArchive::Contains(const std::string& partName) const {
  return zip_name_locate(archive_, partName.c_str(), ZIP_FL_NOCASE) >= 0;
}

std::uint64_t ZipArchive::ReadPart(const std::string& partName, std::uint64_t maxBytes,
                                   const std::function<void(std::string_view)>& consume) const {
  const FileLocation at{{}, 0, 0, partName};
  const zip_int64_t index = zip_name_locate(archive_, partName.c_str(), ZIP_FL_NOCASE);
  if (index < 0) throw FileError(FileErrorKind::kMissingPart, fileName_, at, "part is missing", source_);
  const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(
      zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0), &zip_fclose);
  if (!file) {
    throw FileError(FileErrorKind::kNotWorkbook, fileName_, at,
                    std::string("cannot read part: ") + zip_strerror(archive_), source_);
  }
  std::array<char, 65536> buffer{};
  std::uint64_t total = 0;
  for (;;) {
    const zip_int64_t n = zip_fread(file.get(), buffer.data(), buffer.size());
    if (n < 0) {
      throw FileError(FileErrorKind::kNotWorkbook, fileName_, at,
                      std::string("corrupt part: ") + zip_file_strerror(file.get()), source_);
    }
    if (n == 0) break;
    total += static_cast<std::uint64_t>(n);
    if (total > maxBytes) {
      throw FileError(FileErrorKind::kLimit, fileName_, at,
                      "part is larger than the reader's bound of " + std::to_string(maxBytes) + " bytes", source_);
    }
    consume(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
  }
  return total;
}

std::string ZipArchive::ReadText(const std::string& partName, std::uint64_t maxBytes) const {
  std::string text;
  ReadPart(partName, maxBytes, [&](std::string_view chunk) { text.append(chunk); });
  return text;
}

std::vector<std::string> ZipArchive::PartNames() const {
  std::vector<std::string> names;
  const zip_int64_t count = zip_get_num_entries(archive_, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(archive_, static_cast<zip_uint64_t>(i), 0);
    names.emplace_back(name == nullptr ? "" : name);
  }
  return names;
}

bool ZipArchive::HasEncryptedPart() const {
  const zip_int64_t count = zip_get_num_entries(archive_, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    if (zip_stat_index(archive_, static_cast<zip_uint64_t>(i), 0, &stat) == 0 &&
        (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && stat.encryption_method != ZIP_EM_NONE) {
      return true;
    }
  }
  return false;
}

}  // namespace dez::io
