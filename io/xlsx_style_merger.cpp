#include "io/xlsx_style_merger.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "io/file_error.h"
#include "io/xml_part_index.h"

namespace dez::io {

namespace {

constexpr const char* kMainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr std::size_t kFirstCustomNumberFormat = 164;

std::size_t NumberOf(std::optional<std::string_view> text) {
  std::size_t value = 0;
  if (text) std::from_chars(text->data(), text->data() + text->size(), value);
  return value;
}

/// `tag` (one start tag as libxlsxwriter writes it) with attribute `name`'s value set.
std::string WithAttribute(std::string tag, const std::string& name, const std::string& value) {
  const std::string key = " " + name + "=\"";
  const std::size_t at = tag.find(key);
  if (at == std::string::npos) return tag;
  const std::size_t from = at + key.size();
  return tag.replace(from, tag.find('"', from) - from, value);
}

/// The user's list element `name` of the style sheet (numFmts, fonts...): where to append
/// and how many it holds. A missing list is created in its place in the schema order.
class UserList {
 public:
  UserList(const XmlPartIndex& index, XmlSplicer& edits, const std::string& name,
           const std::vector<std::string>& followers)
      : index_(index), edits_(edits), name_(name) {
    const XmlElement& root = index[XmlPartIndex::Root()];
    prefix_ = root.Prefix();
    // A report element copied into a prefixed table carries its own default namespace.
    namespaceDeclaration_ = prefix_.empty() ? "" : std::string(" xmlns=\"") + kMainNamespace + "\"";
    list_ = index.Child(XmlPartIndex::Root(), name);
    if (list_) {
      count_ = index.Children(*list_).size();
    } else {
      insertAt_ = root.closeBegin;
      for (const std::string& follower : followers) {
        if (const auto k = index.Child(XmlPartIndex::Root(), follower)) {
          insertAt_ = index[*k].tagBegin;
          break;
        }
      }
    }
  }

  std::size_t Count() const { return count_; }
  const std::string& NamespaceDeclaration() const { return namespaceDeclaration_; }

  /// Appends `items` (complete elements) and updates the count attribute.
  void Append(const std::string& items, std::size_t added) {
    if (added == 0) return;
    const std::string count = std::to_string(count_ + added);
    if (!list_) {
      edits_.Insert(insertAt_, "<" + prefix_ + name_ + " count=\"" + count + "\">" + items + "</" + prefix_ + name_ + ">");
      return;
    }
    const XmlElement& list = index_[*list_];
    std::string open = "<" + list.qualifiedName;
    for (const auto& [attribute, value] : list.attributes) {
      open += " " + attribute + "=\"" + XmlEscape(attribute == "count" ? count : value) + "\"";
    }
    if (!list.Attribute("count")) open += " count=\"" + count + "\"";
    open += ">";
    if (list.Empty()) {
      edits_.Replace(list.tagBegin, list.tagEnd, open + items + "</" + list.qualifiedName + ">");
    } else {
      edits_.Replace(list.tagBegin, list.tagEnd, open);
      edits_.Insert(list.closeBegin, items);
    }
  }

 private:
  const XmlPartIndex& index_;
  XmlSplicer& edits_;
  std::string name_;
  std::string prefix_;
  std::string namespaceDeclaration_;
  std::optional<std::size_t> list_;
  std::size_t count_ = 0;
  std::size_t insertAt_ = 0;
};

/// The report's elements of list `name`, each as its text (with a namespace declaration
/// inserted into its start tag when `declaration` is not empty).
std::vector<std::string> ReportItems(const XmlPartIndex& index, const std::string& xml, const std::string& name,
                                     const std::string& declaration) {
  std::vector<std::string> items;
  const auto list = index.Child(XmlPartIndex::Root(), name);
  if (!list) return items;
  for (const std::size_t k : index.Children(*list)) {
    const XmlElement& e = index[k];
    std::string text = xml.substr(e.tagBegin, e.closeEnd - e.tagBegin);
    if (!declaration.empty()) text.insert(1 + e.qualifiedName.size(), declaration);
    items.push_back(std::move(text));
  }
  return items;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += item;
  return out;
}

}  // namespace

MergedStyles MergeStyles(const std::string& userXml, const std::string& reportXml, const std::string& fileName,
                         const std::string& part, const std::string& source) {
  const XmlPartIndex user(userXml, 2, fileName, part, source);
  const XmlPartIndex report(reportXml, 2, fileName, part, source);
  if (user[XmlPartIndex::Root()].localName != "styleSheet" || report[XmlPartIndex::Root()].localName != "styleSheet") {
    throw FileError(FileErrorKind::kMalformed, fileName, FileLocation{{}, 0, 0, part}, "the part is no style sheet",
                    source);
  }
  XmlSplicer edits(userXml);
  const std::vector<std::string> afterNumFmts{"fonts", "fills", "borders", "cellStyleXfs", "cellXfs"};
  UserList numFmts(user, edits, "numFmts", afterNumFmts);
  UserList fonts(user, edits, "fonts", {"fills", "borders", "cellStyleXfs", "cellXfs"});
  UserList fills(user, edits, "fills", {"borders", "cellStyleXfs", "cellXfs"});
  UserList borders(user, edits, "borders", {"cellStyleXfs", "cellXfs"});
  UserList cellXfs(user, edits, "cellXfs", {"cellStyles", "dxfs", "tableStyles", "colors", "extLst"});
  const std::string& ns = fonts.NamespaceDeclaration();

  // Number formats: reuse a code the user's table has, else a fresh id.
  std::map<std::string, std::size_t> userCodes;
  std::size_t nextId = kFirstCustomNumberFormat;
  if (const auto list = user.Child(XmlPartIndex::Root(), "numFmts")) {
    for (const std::size_t k : user.Children(*list, "numFmt")) {
      const std::size_t id = NumberOf(user[k].Attribute("numFmtId"));
      userCodes.emplace(std::string(user[k].Attribute("formatCode").value_or("")), id);
      nextId = std::max(nextId, id + 1);
    }
  }
  std::map<std::size_t, std::size_t> numFmtId;
  std::string newNumFmts;
  std::size_t numFmtsAdded = 0;
  if (const auto list = report.Child(XmlPartIndex::Root(), "numFmts")) {
    for (const std::size_t k : report.Children(*list, "numFmt")) {
      const std::string code(report[k].Attribute("formatCode").value_or(""));
      const std::size_t id = NumberOf(report[k].Attribute("numFmtId"));
      if (const auto known = userCodes.find(code); known != userCodes.end()) {
        numFmtId[id] = known->second;
        continue;
      }
      numFmtId[id] = nextId;
      userCodes.emplace(code, nextId);
      newNumFmts += "<numFmt" + ns + " numFmtId=\"" + std::to_string(nextId) + "\" formatCode=\"" + XmlEscape(code) +
                    "\"/>";
      ++nextId;
      ++numFmtsAdded;
    }
  }
  numFmts.Append(newNumFmts, numFmtsAdded);

  const std::vector<std::string> reportFonts = ReportItems(report, reportXml, "fonts", ns);
  const std::vector<std::string> reportFills = ReportItems(report, reportXml, "fills", ns);
  const std::vector<std::string> reportBorders = ReportItems(report, reportXml, "borders", ns);
  fonts.Append(Joined(reportFonts), reportFonts.size());
  fills.Append(Joined(reportFills), reportFills.size());
  borders.Append(Joined(reportBorders), reportBorders.size());

  // Cell formats, their references moved to where the appended items now stand.
  MergedStyles merged;
  std::string newXfs;
  std::size_t xfsAdded = 0;
  if (const auto list = report.Child(XmlPartIndex::Root(), "cellXfs")) {
    for (const std::size_t k : report.Children(*list, "xf")) {
      const XmlElement& xf = report[k];
      std::string tag = reportXml.substr(xf.tagBegin, xf.tagEnd - xf.tagBegin);
      const std::size_t numFmt = NumberOf(xf.Attribute("numFmtId"));
      const auto mapped = numFmtId.find(numFmt);
      tag = WithAttribute(tag, "numFmtId", std::to_string(mapped == numFmtId.end() ? numFmt : mapped->second));
      tag = WithAttribute(tag, "fontId", std::to_string(fonts.Count() + NumberOf(xf.Attribute("fontId"))));
      tag = WithAttribute(tag, "fillId", std::to_string(fills.Count() + NumberOf(xf.Attribute("fillId"))));
      tag = WithAttribute(tag, "borderId", std::to_string(borders.Count() + NumberOf(xf.Attribute("borderId"))));
      tag = WithAttribute(tag, "xfId", "0");
      if (!ns.empty()) tag.insert(1 + xf.qualifiedName.size(), ns);
      newXfs += tag + reportXml.substr(xf.tagEnd, xf.closeEnd - xf.tagEnd);
      merged.xfIndex.push_back(cellXfs.Count() + xfsAdded);
      ++xfsAdded;
    }
  }
  cellXfs.Append(newXfs, xfsAdded);
  merged.xml = edits.Apply();
  return merged;
}

std::string RemapStyleIndices(const std::string& xml, const std::vector<std::size_t>& xfIndex) {
  std::string out;
  out.reserve(xml.size() + xml.size() / 16);
  std::size_t at = 0;
  while (at < xml.size()) {
    const std::size_t open = xml.find('<', at);
    if (open == std::string::npos) break;
    const std::size_t close = xml.find('>', open);
    if (close == std::string::npos) break;
    std::string_view tag(xml.data() + open, close - open);
    out.append(xml, at, open - at);
    const bool cellOrRow = tag.starts_with("<c ") || tag.starts_with("<row ");
    if (cellOrRow || tag.starts_with("<col ")) {
      const std::string_view key = cellOrRow ? " s=\"" : " style=\"";
      const std::size_t s = tag.find(key);
      if (s != std::string_view::npos) {
        const std::size_t from = s + key.size();
        const std::size_t to = tag.find('"', from);
        const std::size_t index = NumberOf(tag.substr(from, to - from));
        const std::size_t mapped = index < xfIndex.size() ? xfIndex[index] : 0;
        out.append(tag.substr(0, from)).append(std::to_string(mapped)).append(tag.substr(to));
      } else {
        out.append(tag);
      }
    } else {
      out.append(tag);
    }
    at = close;
  }
  out.append(xml, at, std::string::npos);
  return out;
}

}  // namespace dez::io
