#include "io/xlsx_package.h"

#include <map>

#include "io/file_error.h"
#include "io/xml_stream_parser.h"

namespace dez::io {

namespace {

struct Relationship {
  std::string type;
  std::string target;
  bool external = false;
};

/// Collects the <Relationship> elements of a .rels part by Id.
class RelationshipsHandler : public XmlHandler {
 public:
  std::map<std::string, Relationship, std::less<>> byId;
  std::vector<std::string> order;  // Ids in document order

  void StartElement(std::string_view name, const XmlAttributes& attributes) override {
    if (name != "Relationship") return;
    const auto id = attributes.Find("Id");
    const auto target = attributes.Find("Target");
    if (!id || !target) return;
    Relationship rel;
    rel.type = std::string(attributes.Find("Type").value_or(""));
    rel.target = std::string(*target);
    rel.external = attributes.Find("TargetMode").value_or("") == "External";
    if (byId.emplace(std::string(*id), std::move(rel)).second) order.emplace_back(*id);
  }
  void EndElement(std::string_view) override {}
  void Characters(std::string_view) override {}
};

/// Collects the <sheet> elements of the workbook part.
class WorkbookHandler : public XmlHandler {
 public:
  struct Sheet {
    std::string name;
    std::string relId;
  };
  std::vector<Sheet> sheets;

  void StartElement(std::string_view name, const XmlAttributes& attributes) override {
    if (name != "sheet") return;
    sheets.push_back(
        Sheet{std::string(attributes.Find("name").value_or("")), std::string(attributes.Find("id").value_or(""))});
  }
  void EndElement(std::string_view) override {}
  void Characters(std::string_view) override {}
};

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

void ParsePart(const ZipArchive& archive, const std::string& part, const XlsxReadLimits& limits,
               const std::string& source, XmlHandler& handler) {
  XmlStreamParser parser(handler, archive.fileName(), FileLocation{{}, 0, 0, part}, source);
  archive.ReadPart(part, limits.maxPartBytes, [&](std::string_view chunk) { parser.Feed(chunk); });
  parser.Finish();
}

/// The .rels part that belongs to `part`: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
std::string RelsPartOf(const std::string& part) {
  const std::size_t slash = part.rfind('/');
  if (slash == std::string::npos) return "_rels/" + part + ".rels";
  return part.substr(0, slash + 1) + "_rels/" + part.substr(slash + 1) + ".rels";
}

}  // namespace

bool XlsxPackage::ResolveTarget(const std::string& sourcePart, const std::string& target, std::string& out) {
  std::string path;
  if (!target.empty() && target.front() == '/') {
    path = target.substr(1);
  } else {
    const std::size_t slash = sourcePart.rfind('/');
    path = (slash == std::string::npos ? std::string() : sourcePart.substr(0, slash + 1)) + target;
  }
  std::vector<std::string> segments;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string segment = path.substr(start, end - start);
    if (segment == "..") {
      if (segments.empty()) return false;
      segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  if (segments.empty()) return false;
  out.clear();
  for (const std::string& s : segments) {
    if (!out.empty()) out += '/';
    out += s;
  }
  return true;
}

XlsxLayout XlsxPackage::Discover(const ZipArchive& archive, const XlsxReadLimits& limits, const std::string& source) {
  const std::string& file = archive.fileName();
  XlsxLayout layout;

  // The workbook part, from the package relationships (or the usual name without them).
  if (archive.Contains("_rels/.rels")) {
    RelationshipsHandler rels;
    ParsePart(archive, "_rels/.rels", limits, source, rels);
    for (const std::string& id : rels.order) {
      const Relationship& rel = rels.byId.find(id)->second;
      if (!rel.external && EndsWith(rel.type, "/officeDocument")) {
        if (!ResolveTarget("", rel.target, layout.workbookPart)) {
          throw FileError(FileErrorKind::kMalformed, file, FileLocation{{}, 0, 0, "_rels/.rels"},
                          "workbook target \"" + rel.target + "\" lies outside the package", source);
        }
        break;
      }
    }
  }
  if (layout.workbookPart.empty() && archive.Contains("xl/workbook.xml")) layout.workbookPart = "xl/workbook.xml";
  if (layout.workbookPart.empty() || !archive.Contains(layout.workbookPart)) {
    throw FileError(FileErrorKind::kNotWorkbook, file, {}, "not an XLSX workbook: the archive holds no workbook part",
                    source);
  }

  // The workbook's own relationships: sheet parts and shared strings.
  const std::string relsPart = RelsPartOf(layout.workbookPart);
  if (!archive.Contains(relsPart)) {
    throw FileError(FileErrorKind::kMissingPart, file, FileLocation{{}, 0, 0, relsPart},
                    "the workbook's relationships are missing", source);
  }
  RelationshipsHandler rels;
  ParsePart(archive, relsPart, limits, source, rels);
  for (const std::string& id : rels.order) {
    const Relationship& rel = rels.byId.find(id)->second;
    if (!rel.external && EndsWith(rel.type, "/sharedStrings")) {
      if (!ResolveTarget(layout.workbookPart, rel.target, layout.sharedStringsPart)) layout.sharedStringsPart.clear();
      break;
    }
  }
  if (!layout.sharedStringsPart.empty() && !archive.Contains(layout.sharedStringsPart)) {
    throw FileError(FileErrorKind::kMissingPart, file, FileLocation{{}, 0, 0, layout.sharedStringsPart},
                    "the shared strings part is missing", source);
  }

  WorkbookHandler workbook;
  ParsePart(archive, layout.workbookPart, limits, source, workbook);
  for (const WorkbookHandler::Sheet& sheet : workbook.sheets) {
    const FileLocation at{sheet.name, 0, 0, {}};
    if (sheet.name.empty()) {
      throw FileError(FileErrorKind::kMalformed, file, FileLocation{{}, 0, 0, layout.workbookPart},
                      "a sheet has no name", source);
    }
    const auto rel = rels.byId.find(sheet.relId);
    if (rel == rels.byId.end()) {
      throw FileError(FileErrorKind::kMissingPart, file, at, "the sheet has no relationship to its part", source);
    }
    if (!EndsWith(rel->second.type, "/worksheet")) continue;  // chart, dialog or macro sheet
    XlsxSheetEntry entry{sheet.name, {}};
    if (rel->second.external || !ResolveTarget(layout.workbookPart, rel->second.target, entry.partName)) {
      throw FileError(FileErrorKind::kMalformed, file, at,
                      "the sheet's target \"" + rel->second.target + "\" lies outside the package", source);
    }
    if (!archive.Contains(entry.partName)) {
      throw FileError(FileErrorKind::kMissingPart, file, at, "the sheet's part " + entry.partName + " is missing",
                      source);
    }
    layout.sheets.push_back(std::move(entry));
  }
  if (layout.sheets.empty()) {
    throw FileError(FileErrorKind::kMalformed, file, FileLocation{{}, 0, 0, layout.workbookPart},
                    "the workbook lists no worksheet", source);
  }
  return layout;
}

}  // namespace dez::io
