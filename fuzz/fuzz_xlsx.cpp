// Fuzz target: the XLSX reader, fed a file.
//
// An input that starts with "PK" is the file itself, so the zip layer (libzip's checks,
// truncation, bad sizes) is fuzzed. Any other input is a list of parts that the target
// packs into a zip archive first, so that mutations reach the XML of the parts instead of
// breaking a checksum:
//
//   #part _rels/.rels
//   <Relationships ...>...</Relationships>
//   #part xl/workbook.xml
//   ...
//
// A part whose name ends in "!" is deflated, others are stored. The file is then opened as
// the command line opens its input, WorkbookReader::Read into an embedded application. Any
// error must be a FileError naming the file; on success the workbook holds at least one
// sheet and every cell lies within the sheet.
#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_target_support.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/file_error.h"
#include "io/workbook_reader.h"

namespace {

struct Part {
  std::string name;
  std::string content;
  bool deflate = false;
};

std::vector<Part> SplitParts(std::string_view text) {
  constexpr std::string_view kMarker = "#part ";
  std::vector<Part> parts;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t start = text.find(kMarker, pos);
    if (start == std::string_view::npos) break;
    start += kMarker.size();
    const std::size_t eol = text.find('\n', start);
    if (eol == std::string_view::npos) break;
    Part part;
    part.name = std::string(text.substr(start, eol - start));
    if (!part.name.empty() && part.name.back() == '!') {
      part.name.pop_back();
      part.deflate = true;
    }
    std::size_t next = text.find("\n#part ", eol);
    const std::size_t end = next == std::string_view::npos ? text.size() : next;
    part.content = std::string(text.substr(eol + 1, end - eol - 1));
    parts.push_back(std::move(part));
    pos = end;
  }
  return parts;
}

/// Packs the parts into a zip file; false when libzip refuses a name (the input is then
/// of no interest).
bool WriteZip(const std::filesystem::path& file, const std::vector<Part>& parts) {
  int error = 0;
  zip_t* archive = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr) return false;
  for (const Part& part : parts) {
    zip_source_t* source = zip_source_buffer(archive, part.content.data(), part.content.size(), 0);
    if (source == nullptr) {
      zip_discard(archive);
      return false;
    }
    const zip_int64_t index = zip_file_add(archive, part.name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (index < 0) {
      zip_source_free(source);
      zip_discard(archive);
      return false;
    }
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), part.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE,
                             0);
  }
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using dez::fuzz::Check;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::filesystem::path file = dez::fuzz::ScratchFolder() / "input.xlsx";
  std::error_code ec;
  std::filesystem::remove(file, ec);
  if (bytes.substr(0, 2) == "PK") {
    dez::fuzz::WriteFile(file, bytes);
  } else if (!WriteZip(file, SplitParts(bytes))) {
    return 0;
  }

  auto app = dez::embedded::EmbeddedApplication::Create();
  try {
    const auto book = dez::io::WorkbookReader::Read(*app, file);
    Check(book != nullptr && !book->Sheets().empty());
    Check(app->ActiveBook() == book);
  } catch (const dez::io::FileError& e) {
    Check(e.number == dez::io::kFileErrorNumber);
    Check(e.description.find(file.string()) == 0);
    Check(app->OpenWorkbooks().size() == 1);  // only the add-in workbook: nothing left open
  }
  return 0;
}
