// Builds small XLSX packages part by part with libzip, for the reader tests: the parts
// are written by hand so that every exotic or hostile case can be expressed.
#pragma once

#include <zip.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "io/zip_archive.h"

namespace dez::io::testing {

/// Writes a zip archive whose members are the given (name, content) pairs.
inline void WriteZip(const std::filesystem::path& file, const std::map<std::string, std::string>& members) {
  int error = 0;
  zip_t* archive = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr) throw std::runtime_error("cannot create " + file.string());
  for (const auto& [name, content] : members) {
    zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
    if (zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) zip_source_free(source);
  }
  if (zip_close(archive) != 0) throw std::runtime_error("cannot write " + file.string());
}

/// The whole content of the part `name` of the zip archive `file`.
inline std::string Part(const std::filesystem::path& file, const std::string& name) {
  std::string content;
  ZipArchive(file, "test").ReadPart(name, 64u << 20, [&](std::string_view bytes) { content += bytes; });
  return content;
}

/// The parts of a minimal workbook: sheets by name with their <sheetData> content, and an
/// optional shared-string table. Members can be replaced or removed before writing.
class XlsxFixture {
 public:
  static constexpr const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  static constexpr const char* kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

  XlsxFixture& Sheet(const std::string& name, const std::string& sheetData) {
    return RawSheet(name, std::string("<worksheet xmlns=\"") + kMain + "\"><sheetData>" + sheetData +
                              "</sheetData></worksheet>");
  }
  /// A sheet whose whole worksheet XML is given.
  XlsxFixture& RawSheet(const std::string& name, const std::string& worksheetXml) {
    sheets_.emplace_back(name, worksheetXml);
    return *this;
  }
  XlsxFixture& SharedStrings(const std::vector<std::string>& items) {
    std::string xml = std::string("<sst xmlns=\"") + kMain + "\">";
    for (const std::string& item : items) xml += "<si>" + item + "</si>";
    sharedStrings_ = xml + "</sst>";
    return *this;
  }

  std::map<std::string, std::string> Members() const {
    const std::string package = "http://schemas.openxmlformats.org/package/2006/";
    std::map<std::string, std::string> m;
    m["[Content_Types].xml"] = "<Types xmlns=\"" + package + "content-types\"></Types>";
    m["_rels/.rels"] = "<Relationships xmlns=\"" + package + "relationships\"><Relationship Id=\"rId1\" Type=\"" +
                       kRel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    std::string workbook = std::string("<workbook xmlns=\"") + kMain + "\" xmlns:r=\"" + kRel + "\"><sheets>";
    std::string rels = "<Relationships xmlns=\"" + package + "relationships\">";
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
      const std::string n = std::to_string(i + 1);
      workbook += "<sheet name=\"" + sheets_[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
      rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + kRel + "/worksheet\" Target=\"worksheets/sheet" + n +
              ".xml\"/>";
      m["xl/worksheets/sheet" + n + ".xml"] = sheets_[i].second;
    }
    if (!sharedStrings_.empty()) {
      rels += "<Relationship Id=\"rIdS\" Type=\"" + std::string(kRel) + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
      m["xl/sharedStrings.xml"] = sharedStrings_;
    }
    m["xl/workbook.xml"] = workbook + "</sheets></workbook>";
    m["xl/_rels/workbook.xml.rels"] = rels + "</Relationships>";
    return m;
  }

  void Write(const std::filesystem::path& file) const { WriteZip(file, Members()); }

 private:
  std::vector<std::pair<std::string, std::string>> sheets_;  // (name, worksheet XML)
  std::string sharedStrings_;
};

}  // namespace dez::io::testing
