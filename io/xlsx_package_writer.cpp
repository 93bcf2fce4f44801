#include "io/xlsx_package_writer.h"

#include <zip.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/atomic_output_file.h"
#include "io/file_error.h"
#include "io/xlsx_chart_writer.h"
#include "io/xlsx_package.h"
#include "io/xlsx_sheet_merger.h"
#include "io/xlsx_style_merger.h"
#include "io/written_package_check.h"
#include "io/xml_part_index.h"
#include "io/zip_archive.h"

namespace dez::io {

namespace {

constexpr const char* kSource = "WriteXlsx";
const std::string kRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const std::string kPackageRelationships = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* kStrictNamespace = "http://purl.oclc.org/ooxml/spreadsheetml/main";
constexpr const char* kWorksheetType = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
constexpr const char* kDrawingType = "application/vnd.openxmlformats-officedocument.drawing+xml";
constexpr const char* kStylesType = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
constexpr const char* kChartType = "application/vnd.openxmlformats-officedocument.drawingml.chart+xml";

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return text;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

/// "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
std::string RelsPartOf(const std::string& part) {
  const std::size_t slash = part.rfind('/');
  if (slash == std::string::npos) return "_rels/" + part + ".rels";
  return part.substr(0, slash + 1) + "_rels/" + part.substr(slash + 1) + ".rels";
}

/// The target that leads from `fromPart` to `toPart`: "xl/worksheets/sheet1.xml" to
/// "xl/drawings/drawing2.xml" is "../drawings/drawing2.xml".
std::string RelativeTarget(const std::string& fromPart, const std::string& toPart) {
  const auto split = [](const std::string& path) {
    std::vector<std::string> segments;
    std::size_t start = 0;
    for (std::size_t slash; (slash = path.find('/', start)) != std::string::npos; start = slash + 1) {
      segments.push_back(path.substr(start, slash - start));
    }
    segments.push_back(path.substr(start));
    return segments;
  };
  std::vector<std::string> from = split(fromPart);
  from.pop_back();  // the folder of the source part
  const std::vector<std::string> to = split(toPart);
  std::size_t common = 0;
  while (common < from.size() && common + 1 < to.size() && from[common] == to[common]) ++common;
  std::string target;
  for (std::size_t k = common; k < from.size(); ++k) target += "../";
  for (std::size_t k = common; k < to.size(); ++k) target += (k > common ? "/" : "") + to[k];
  return target;
}

struct Relationship {
  std::string id;
  std::string type;
  std::string target;
};

/// The relationship parts' entries, and where new ones go.
struct RelationshipList {
  std::vector<Relationship> entries;
  std::size_t insertAt = 0;  // before the root's end tag
  bool empty = false;        // <Relationships/>: the root must be opened up

  std::string FreeId() const {
    for (std::size_t k = entries.size() + 1;; ++k) {
      const std::string id = "rId" + std::to_string(k);
      if (std::none_of(entries.begin(), entries.end(), [&](const Relationship& r) { return r.id == id; })) return id;
    }
  }
};

RelationshipList ParseRelationships(const std::string& xml, const std::string& fileName, const std::string& part) {
  const XmlPartIndex index(xml, 1, fileName, part, kSource);
  RelationshipList list;
  for (const std::size_t k : index.Children(XmlPartIndex::Root(), "Relationship")) {
    list.entries.push_back({std::string(index[k].Attribute("Id").value_or("")),
                            std::string(index[k].Attribute("Type").value_or("")),
                            std::string(index[k].Attribute("Target").value_or(""))});
  }
  list.insertAt = index[XmlPartIndex::Root()].closeBegin;
  list.empty = index[XmlPartIndex::Root()].Empty();
  return list;
}

std::string RelationshipXml(const std::string& id, const std::string& type, const std::string& target) {
  return "<Relationship Id=\"" + id + "\" Type=\"" + kRelationships + "/" + type + "\" Target=\"" +
         XmlEscape(target) + "\"/>";
}

std::string NewRelationshipsPart(const std::string& entries) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships xmlns=\"" +
         kPackageRelationships + "\">" + entries + "</Relationships>";
}

/// `xml` with `items` added as the last children of its root (which may be empty).
std::string AppendToRoot(const std::string& xml, const std::string& items, const std::string& fileName,
                         const std::string& part) {
  const XmlPartIndex index(xml, 0, fileName, part, kSource);
  const XmlElement& root = index[XmlPartIndex::Root()];
  XmlSplicer edits(xml);
  if (root.Empty()) {
    std::string open = xml.substr(root.tagBegin, root.tagEnd - root.tagBegin);
    open.erase(open.size() - 2);  // "/>"
    edits.Replace(root.tagBegin, root.tagEnd, open + ">" + items + "</" + root.qualifiedName + ">");
  } else {
    edits.Insert(root.closeBegin, items);
  }
  return edits.Apply();
}

/// One write: the user's package, the scratch package with the new sheets, and the parts
/// that change or are added.
class PackageEdit {
 public:
  PackageEdit(const ZipArchive& user, const ZipArchive& report, std::string fileName, std::uint64_t maxPartBytes)
      : user_(user), report_(report), fileName_(std::move(fileName)), maxPartBytes_(maxPartBytes) {
    for (const std::string& name : user_.PartNames()) taken_.insert(Lower(name));
  }

  [[noreturn]] void Fail(FileErrorKind kind, const std::string& what, const std::string& part = {}) const {
    throw FileError(kind, fileName_, FileLocation{{}, 0, 0, part}, what, kSource);
  }

  std::string UserText(const std::string& part) const {
    const auto replaced = replaced_.find(Lower(part));
    return replaced != replaced_.end() ? replaced->second : user_.ReadText(part, maxPartBytes_);
  }
  std::string ReportText(const std::string& part) const { return report_.ReadText(part, maxPartBytes_); }
  void Replace(const std::string& part, std::string text) { replaced_[Lower(part)] = std::move(text); }
  /// Leaves `part` out of the package (its content type goes too).
  void Drop(const std::string& part) { dropped_.insert(Lower(part)); }

  /// A part name "<folder><stem>N.xml" that neither package part nor added part has.
  std::string FreePart(const std::string& folder, const std::string& stem) {
    for (std::size_t k = 1;; ++k) {
      const std::string name = folder + stem + std::to_string(k) + ".xml";
      if (taken_.insert(Lower(name)).second) return name;
    }
  }

  /// Adds a part; `contentType` empty for a relationships part (covered by its extension).
  void Add(const std::string& part, std::string text, const std::string& contentType) {
    taken_.insert(Lower(part));
    added_.emplace_back(part, std::move(text));
    if (!contentType.empty()) {
      overrides_ += "<Override PartName=\"/" + XmlEscape(part) + "\" ContentType=\"" + contentType + "\"/>";
    }
  }

  /// Copies the drawing of the scratch sheet `reportSheet`, with its charts, as new parts;
  /// returns the new drawing's name, or "" when the sheet has none.
  std::string GraftDrawing(const std::string& reportSheet) {
    const std::string sheetRels = RelsPartOf(reportSheet);
    if (!report_.Contains(sheetRels)) return {};
    for (const Relationship& rel : ParseRelationships(ReportText(sheetRels), fileName_, sheetRels).entries) {
      if (!EndsWith(rel.type, "/drawing")) continue;
      std::string drawing;
      if (!XlsxPackage::ResolveTarget(reportSheet, rel.target, drawing)) Fail(FileErrorKind::kWrite, "bad drawing");
      const std::string newDrawing = FreePart("xl/drawings/", "drawing");
      const std::string drawingRels = RelsPartOf(drawing);
      std::string entries;
      for (const Relationship& chartRel : ParseRelationships(ReportText(drawingRels), fileName_, drawingRels).entries) {
        std::string chart;
        if (!XlsxPackage::ResolveTarget(drawing, chartRel.target, chart)) Fail(FileErrorKind::kWrite, "bad chart");
        const std::string newChart = FreePart("xl/charts/", "chart");
        Add(newChart, ReportText(chart), kChartType);
        entries += RelationshipXml(chartRel.id, "chart", RelativeTarget(newDrawing, newChart));
      }
      Add(newDrawing, ReportText(drawing), kDrawingType);
      Add(RelsPartOf(newDrawing), NewRelationshipsPart(entries), {});
      return newDrawing;
    }
    return {};
  }

  /// Writes the package: the user's parts in their order (changed ones replaced, the
  /// others copied as stored), then the added parts.
  void WriteTo(const std::filesystem::path& path) {
    Replace("[Content_Types].xml", ContentTypes());
    int code = 0;
    zip_t* raw = zip_open(path.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (raw == nullptr) Fail(FileErrorKind::kWrite, "cannot start the package (libzip error " + std::to_string(code) + ")");
    std::unique_ptr<zip_t, void (*)(zip_t*)> out(raw, [](zip_t* z) { zip_discard(z); });
    const std::vector<std::string> names = user_.PartNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string& name = names[i];
      if (dropped_.count(Lower(name)) != 0) continue;
      if (name.ends_with('/')) {
        if (zip_dir_add(out.get(), name.c_str(), ZIP_FL_ENC_UTF_8) < 0) FailZip(out.get(), name);
        continue;
      }
      const auto replaced = replaced_.find(Lower(name));
      zip_source_t* source =
          replaced != replaced_.end()
              ? zip_source_buffer(out.get(), replaced->second.data(), replaced->second.size(), 0)
              : zip_source_zip(out.get(), user_.Handle(), static_cast<zip_uint64_t>(i), 0, 0, -1);
      AddSource(out.get(), name, source);
    }
    for (const auto& [name, text] : added_) {
      AddSource(out.get(), name, zip_source_buffer(out.get(), text.data(), text.size(), 0));
    }
    if (zip_close(out.get()) != 0) FailZip(out.get(), {});
    static_cast<void>(out.release());  // closed and freed by zip_close
  }

 private:
  /// The content types with the added parts' and without the dropped parts' overrides.
  std::string ContentTypes() const {
    const std::string part = "[Content_Types].xml";
    const std::string xml = AppendToRoot(UserText(part), overrides_, fileName_, part);
    const XmlPartIndex index(xml, 1, fileName_, part, kSource);
    XmlSplicer edits(xml);
    for (const std::size_t k : index.Children(XmlPartIndex::Root(), "Override")) {
      const std::string name(index[k].Attribute("PartName").value_or(""));
      if (dropped_.count(Lower(name.starts_with('/') ? name.substr(1) : name)) != 0) {
        edits.Replace(index[k].tagBegin, index[k].closeEnd, {});
      }
    }
    return edits.Apply();
  }

  [[noreturn]] void FailZip(zip_t* archive, const std::string& part) const {
    Fail(FileErrorKind::kWrite, std::string("cannot write the package: ") + zip_strerror(archive), part);
  }
  void AddSource(zip_t* archive, const std::string& name, zip_source_t* source) const {
    if (source == nullptr) FailZip(archive, name);
    if (zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
      zip_source_free(source);
      FailZip(archive, name);
    }
  }

  const ZipArchive& user_;
  const ZipArchive& report_;
  std::string fileName_;
  std::uint64_t maxPartBytes_;
  std::set<std::string> taken_;                               // lower-case part names
  std::map<std::string, std::string> replaced_;               // lower-case name -> text
  std::set<std::string> dropped_;                             // lower-case names
  std::vector<std::pair<std::string, std::string>> added_;  // name, text
  std::string overrides_;                                     // content types of added parts
};

/// The sheets of a workbook part: name -> (sheetId, state).
struct WorkbookSheets {
  std::map<std::string, std::string> stateByName;
  std::size_t largestId = 0;
};

WorkbookSheets SheetsOf(const std::string& xml, const std::string& fileName, const std::string& part) {
  const XmlPartIndex index(xml, 2, fileName, part, kSource);
  WorkbookSheets out;
  if (const auto sheets = index.Child(XmlPartIndex::Root(), "sheets")) {
    for (const std::size_t k : index.Children(*sheets, "sheet")) {
      out.stateByName[std::string(index[k].Attribute("name").value_or(""))] =
          std::string(index[k].Attribute("state").value_or(""));
      std::size_t id = 0;
      const std::string_view text = index[k].Attribute("sheetId").value_or("");
      std::from_chars(text.data(), text.data() + text.size(), id);
      out.largestId = std::max(out.largestId, id);
    }
  }
  return out;
}

/// The calculation chain lists the formula cells of the workbook; once report cells may
/// have replaced formulas it could name cells without one, which spreadsheet programs
/// report as damage. It is an optional cache that they rebuild, so it is left out.
void DropCalculationChain(PackageEdit& edit, const RelationshipList& rels, const std::string& workbookPart,
                          const std::string& workbookRels, const std::string& fileName) {
  for (const Relationship& rel : rels.entries) {
    std::string part;
    if (!EndsWith(rel.type, "/calcChain") || !XlsxPackage::ResolveTarget(workbookPart, rel.target, part)) continue;
    edit.Drop(part);
    const std::string xml = edit.UserText(workbookRels);
    const XmlPartIndex index(xml, 1, fileName, workbookRels, kSource);
    XmlSplicer edits(xml);
    for (const std::size_t k : index.Children(XmlPartIndex::Root(), "Relationship")) {
      if (index[k].Attribute("Id") == rel.id) edits.Replace(index[k].tagBegin, index[k].closeEnd, {});
    }
    edit.Replace(workbookRels, edits.Apply());
    return;
  }
}

/// Refuses packages that cannot be extended safely.
void CheckExtensible(const ZipArchive& user, const XlsxLayout& layout, const std::filesystem::path& destination,
                     const std::string& fileName, std::uint64_t maxPartBytes) {
  const auto refuse = [&](const std::string& why) {
    throw FileError(FileErrorKind::kUnsupported, fileName, {}, "cannot add the report to this workbook: " + why,
                    kSource);
  };
  if (user.HasEncryptedPart()) refuse("its package is encrypted");
  const XmlPartIndex workbook(user.ReadText(layout.workbookPart, maxPartBytes), 0, fileName, layout.workbookPart,
                              kSource);
  for (const auto& [name, value] : workbook[XmlPartIndex::Root()].attributes) {
    if (value == kStrictNamespace) refuse("it is saved in the strict format; save it as an ordinary workbook first");
  }
  const std::string types = user.ReadText("[Content_Types].xml", maxPartBytes);
  if (types.find("macroEnabled") != std::string::npos && Lower(destination.extension().string()) == ".xlsx") {
    refuse("it holds macros, which an .xlsx file cannot keep; name the output .xlsm");
  }
}

}  // namespace

void XlsxPackageWriter::Write(const embedded::EmbeddedWorkbook& book, const std::filesystem::path& input,
                              AtomicOutputFile& output, const std::optional<ReportOnSheet>& reportOnSheet) {
  const std::filesystem::path& destination = output.Destination();
  const std::string fileName = destination.string();
  const XlsxReadLimits limits;
  const ZipArchive user(input, kSource);
  const XlsxLayout layout = XlsxPackage::Discover(user, limits, kSource);
  CheckExtensible(user, layout, destination, fileName, limits.maxPartBytes);
  const auto& sheets = book.Sheets();
  if (sheets.size() < layout.sheets.size()) {
    throw FileError(FileErrorKind::kWrite, fileName, {}, "the workbook no longer matches its file", kSource);
  }
  for (std::size_t k = 0; k < layout.sheets.size(); ++k) {
    if (sheets[k]->Name() != layout.sheets[k].name) {
      throw FileError(FileErrorKind::kWrite, fileName, {}, "the workbook no longer matches its file", kSource);
    }
  }

  // The new sheets, and the report's cells, as libxlsxwriter writes them.
  AtomicOutputFile scratch(output.HelperFolder() / "report.xlsx", kSource);  // never committed: removed
  WriteXlsxWithCharts(book, scratch);
  const ZipArchive report(scratch.TempPath(), kSource);
  const XlsxLayout reportLayout = XlsxPackage::Discover(report, limits, kSource);
  PackageEdit edit(user, report, fileName, limits.maxPartBytes);

  // Styles: the report's formats appended to the user's table.
  const std::string workbookRels = RelsPartOf(layout.workbookPart);
  RelationshipList rels = ParseRelationships(edit.UserText(workbookRels), fileName, workbookRels);
  std::string stylesPart;
  for (const Relationship& rel : rels.entries) {
    if (EndsWith(rel.type, "/styles") && XlsxPackage::ResolveTarget(layout.workbookPart, rel.target, stylesPart)) break;
  }
  std::string newRels;
  MergedStyles styles;
  if (stylesPart.empty() || !user.Contains(stylesPart)) {
    // A workbook without a style table takes the report's as it stands.
    styles.xml = edit.ReportText("xl/styles.xml");
    const XmlPartIndex index(styles.xml, 1, fileName, "xl/styles.xml", kSource);
    if (const auto list = index.Child(XmlPartIndex::Root(), "cellXfs")) {
      for (std::size_t k = 0; k < index.Children(*list).size(); ++k) styles.xfIndex.push_back(k);
    }
    stylesPart = edit.FreePart("xl/", "styles");
    const std::string relId = rels.FreeId();
    rels.entries.push_back({relId, "styles", stylesPart});
    newRels += RelationshipXml(relId, "styles", RelativeTarget(layout.workbookPart, stylesPart));
    edit.Add(stylesPart, styles.xml, kStylesType);
  } else {
    styles = MergeStyles(edit.UserText(stylesPart), edit.ReportText("xl/styles.xml"), fileName, stylesPart, kSource);
    edit.Replace(stylesPart, styles.xml);
  }

  // The report on an existing sheet: its cells merged into that sheet's part.
  if (reportOnSheet) {
    const auto at = std::find_if(layout.sheets.begin(), layout.sheets.end(),
                                 [&](const XlsxSheetEntry& s) { return s.name == reportOnSheet->sheetName; });
    if (at != layout.sheets.end()) {
      const std::size_t k = static_cast<std::size_t>(at - layout.sheets.begin());
      const std::string& userPart = at->partName;
      const std::string& reportPart = reportLayout.sheets[k].partName;
      std::string relId;
      const std::string drawing = edit.GraftDrawing(reportPart);
      if (!drawing.empty()) {
        const std::string sheetRels = RelsPartOf(userPart);
        if (user.Contains(sheetRels)) {
          const std::string text = edit.UserText(sheetRels);
          relId = ParseRelationships(text, fileName, sheetRels).FreeId();
          edit.Replace(sheetRels, AppendToRoot(text, RelationshipXml(relId, "drawing", RelativeTarget(userPart, drawing)),
                                               fileName, sheetRels));
        } else {
          relId = "rId1";
          edit.Add(sheetRels, NewRelationshipsPart(RelationshipXml(relId, "drawing", RelativeTarget(userPart, drawing))),
                   {});
        }
      }
      const std::string reportXml = RemapStyleIndices(edit.ReportText(reportPart), styles.xfIndex);
      edit.Replace(userPart, MergeReportIntoSheet({edit.UserText(userPart), reportXml, reportOnSheet->block, relId},
                                                  fileName, at->name, userPart, kSource));
      DropCalculationChain(edit, rels, layout.workbookPart, workbookRels, fileName);
    }
  }

  // The new sheets, each with its drawing, listed in the workbook after the user's.
  const WorkbookSheets reportSheets = SheetsOf(edit.ReportText(reportLayout.workbookPart), fileName,
                                               reportLayout.workbookPart);
  const std::string workbookXml = edit.UserText(layout.workbookPart);
  std::size_t sheetId = SheetsOf(workbookXml, fileName, layout.workbookPart).largestId;
  std::string newSheets;
  for (std::size_t k = layout.sheets.size(); k < reportLayout.sheets.size(); ++k) {
    const XlsxSheetEntry& entry = reportLayout.sheets[k];
    std::string xml = RemapStyleIndices(edit.ReportText(entry.partName), styles.xfIndex);
    for (std::size_t at; (at = xml.find(" tabSelected=\"1\"")) != std::string::npos;) xml.erase(at, 16);
    const std::string part = edit.FreePart("xl/worksheets/", "sheet");
    const std::string drawing = edit.GraftDrawing(entry.partName);
    if (!drawing.empty()) {
      // libxlsxwriter's sheet refers to its drawing as rId1, its only relationship.
      edit.Add(RelsPartOf(part), NewRelationshipsPart(RelationshipXml("rId1", "drawing", RelativeTarget(part, drawing))),
               {});
    }
    edit.Add(part, std::move(xml), kWorksheetType);
    const std::string relId = rels.FreeId();
    rels.entries.push_back({relId, "worksheet", part});
    newRels += RelationshipXml(relId, "worksheet", RelativeTarget(layout.workbookPart, part));
    const auto state = reportSheets.stateByName.find(entry.name);
    newSheets += "sheet name=\"" + XmlEscape(entry.name) + "\" sheetId=\"" + std::to_string(++sheetId) + "\"" +
                 (state != reportSheets.stateByName.end() && !state->second.empty()
                      ? " state=\"" + XmlEscape(state->second) + "\""
                      : std::string()) +
                 " xmlns:r=\"" + kRelationships + "\" r:id=\"" + relId + "\"/>";
    newSheets.insert(newSheets.rfind("sheet name="), "<\x01");  // placeholder for the prefix
  }
  if (!newSheets.empty()) {
    const XmlPartIndex index(workbookXml, 1, fileName, layout.workbookPart, kSource);
    const auto list = index.Child(XmlPartIndex::Root(), "sheets");
    if (!list || index[*list].Empty()) edit.Fail(FileErrorKind::kMalformed, "the workbook lists no sheet", layout.workbookPart);
    const std::string prefix = index[*list].Prefix();
    for (std::size_t at; (at = newSheets.find('\x01')) != std::string::npos;) newSheets.replace(at, 1, prefix);
    XmlSplicer edits(workbookXml);
    edits.Insert(index[*list].closeBegin, newSheets);
    edit.Replace(layout.workbookPart, edits.Apply());
  }
  if (!newRels.empty()) {
    edit.Replace(workbookRels, AppendToRoot(edit.UserText(workbookRels), newRels, fileName, workbookRels));
  }

  edit.WriteTo(output.TempPath());
  WrittenPackageCheck::Verify(output.TempPath(), fileName, kSource);
}

void WriteWorkbookFile(const embedded::EmbeddedWorkbook& book, AtomicOutputFile& output,
                       const std::filesystem::path& input, const std::optional<ReportOnSheet>& reportOnSheet) {
  if (Lower(input.extension().string()) == ".xlsx") {
    XlsxPackageWriter::Write(book, input, output, reportOnSheet);
  } else {
    WriteXlsxWithCharts(book, output);
  }
}

}  // namespace dez::io
