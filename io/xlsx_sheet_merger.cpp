#include "io/xlsx_sheet_merger.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "io/cell_reference.h"
#include "io/file_error.h"
#include "io/xml_part_index.h"

namespace dez::io {

namespace {

constexpr const char* kMainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRelationshipsNamespace = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
/// Worksheet children that come after <drawing>, in the order the format prescribes.
constexpr const char* kAfterDrawing[] = {"legacyDrawing", "legacyDrawingHF", "drawingHF", "picture",    "oleObjects",
                                         "controls",      "webPublishItems", "tableParts", "extLst"};

std::int32_t RowNumberOf(const XmlElement& row, std::int32_t previous) {
  std::int32_t value = 0;
  if (const auto r = row.Attribute("r")) std::from_chars(r->data(), r->data() + r->size(), value);
  return value > 0 ? value : previous + 1;
}

std::int32_t ColumnOf(const XmlElement& cell, std::int32_t previous) {
  CellPosition at;
  if (const auto r = cell.Attribute("r"); r && ParseCellReference(*r, at) == ReferenceProblem::kNone) return at.column;
  return previous + 1;
}

/// One row of cells about to be written: column -> the cell's XML.
using CellsByColumn = std::map<std::int32_t, std::string>;

struct ReportRow {
  std::string heightAttributes;  // ht="..." customHeight="1", for a row the user lacks
  CellsByColumn cells;
};

/// The report's rows and cells inside `block`, from libxlsxwriter's part.
std::map<std::int32_t, ReportRow> ReportRows(const std::string& xml, const embedded::CellBlock& block,
                                             const std::string& declaration, const std::string& fileName,
                                             const std::string& part, const std::string& source) {
  const XmlPartIndex index(xml, 3, fileName, part, source);
  std::map<std::int32_t, ReportRow> rows;
  const auto data = index.Child(XmlPartIndex::Root(), "sheetData");
  if (!data) return rows;
  std::int32_t rowNumber = 0;
  for (const std::size_t r : index.Children(*data, "row")) {
    rowNumber = RowNumberOf(index[r], rowNumber);
    if (rowNumber < block.top || rowNumber > block.bottom) continue;
    ReportRow& row = rows[rowNumber];
    for (const char* name : {"ht", "customHeight", "hidden"}) {
      if (const auto value = index[r].Attribute(name)) row.heightAttributes += std::string(" ") + name + "=\"" + std::string(*value) + "\"";
    }
    std::int32_t column = 0;
    for (const std::size_t c : index.Children(r, "c")) {
      column = ColumnOf(index[c], column);
      if (column < block.left || column > block.right) continue;
      std::string text = xml.substr(index[c].tagBegin, index[c].closeEnd - index[c].tagBegin);
      if (!declaration.empty()) text.insert(2, declaration);
      row.cells[column] = std::move(text);
    }
  }
  return rows;
}

std::string CellsText(const CellsByColumn& cells) {
  std::string out;
  for (const auto& [column, text] : cells) out += text;
  return out;
}

}  // namespace

std::string MergeReportIntoSheet(const SheetMergeInput& input, const std::string& fileName, const std::string& sheet,
                                 const std::string& part, const std::string& source) {
  const FileLocation at{sheet, 0, 0, part};
  const XmlPartIndex user(input.userXml, 4, fileName, part, source);
  const XmlElement& root = user[XmlPartIndex::Root()];
  const auto data = user.Child(XmlPartIndex::Root(), "sheetData");
  if (root.localName != "worksheet" || !data) {
    throw FileError(FileErrorKind::kMalformed, fileName, at, "the sheet's part is no worksheet", source);
  }
  const std::string prefix = root.Prefix();
  const std::string declaration = prefix.empty() ? "" : std::string(" xmlns=\"") + kMainNamespace + "\"";
  std::map<std::int32_t, ReportRow> report = ReportRows(input.reportXml, input.block, declaration, fileName, part, source);
  XmlSplicer edits(input.userXml);

  // Rows the user's part has: cells merged by column, the report's replacing the user's.
  std::int32_t rowNumber = 0;
  for (const std::size_t r : user.Children(*data, "row")) {
    const XmlElement& row = user[r];
    rowNumber = RowNumberOf(row, rowNumber);
    // Report rows above this one that the user's part lacks go in before it.
    for (auto it = report.begin(); it != report.end() && it->first < rowNumber;) {
      edits.Insert(row.tagBegin, "<row" + declaration + " r=\"" + std::to_string(it->first) + "\"" +
                                     it->second.heightAttributes + ">" + CellsText(it->second.cells) + "</row>");
      it = report.erase(it);
    }
    const auto mine = report.find(rowNumber);
    if (mine == report.end()) continue;
    CellsByColumn cells = std::move(mine->second.cells);
    report.erase(mine);
    std::int32_t column = 0;
    for (const std::size_t c : user.Children(r, "c")) {
      const XmlElement& cell = user[c];
      column = ColumnOf(cell, column);
      if (cells.count(column) != 0) {
        const auto formula = user.Child(c, "f");
        if (formula && user[*formula].Attribute("ref")) {
          throw FileError(FileErrorKind::kWrite, fileName, FileLocation{sheet, rowNumber, column, part},
                          "the report would replace the first cell of a shared or array formula; choose another "
                          "--output-range",
                          source);
        }
        continue;
      }
      std::string text = input.userXml.substr(cell.tagBegin, cell.closeEnd - cell.tagBegin);
      if (!cell.Attribute("r")) {
        text.insert(1 + cell.qualifiedName.size(), " r=\"" + FormatCellReference(rowNumber, column) + "\"");
      }
      cells[column] = std::move(text);
    }
    std::string open = "<" + row.qualifiedName;
    for (const auto& [name, value] : row.attributes) {
      if (name != "spans") open += " " + name + "=\"" + XmlEscape(value) + "\"";
    }
    if (!row.Attribute("r")) open += " r=\"" + std::to_string(rowNumber) + "\"";
    edits.Replace(row.tagBegin, row.closeEnd, open + ">" + CellsText(cells) + "</" + row.qualifiedName + ">");
  }
  // Report rows below the user's last row.
  std::string tail;
  for (const auto& [number, row] : report) {
    tail += "<row" + declaration + " r=\"" + std::to_string(number) + "\"" + row.heightAttributes + ">" +
            CellsText(row.cells) + "</row>";
  }
  const XmlElement& sheetData = user[*data];
  if (sheetData.Empty()) {
    edits.Replace(sheetData.tagBegin, sheetData.tagEnd,
                  "<" + sheetData.qualifiedName + ">" + tail + "</" + sheetData.qualifiedName + ">");
  } else if (!tail.empty()) {
    edits.Insert(sheetData.closeBegin, tail);
  }

  // The dimension, widened to take the report in.
  if (const auto dimension = user.Child(XmlPartIndex::Root(), "dimension")) {
    const std::string ref(user[*dimension].Attribute("ref").value_or(""));
    const std::size_t colon = ref.find(':');
    CellPosition first;
    CellPosition last;
    if (ParseCellReference(ref.substr(0, colon), first) == ReferenceProblem::kNone &&
        ParseCellReference(colon == std::string::npos ? ref : ref.substr(colon + 1), last) == ReferenceProblem::kNone) {
      const std::string widened = FormatCellReference(std::min(first.row, input.block.top),
                                                      std::min(first.column, input.block.left)) +
                                  ":" +
                                  FormatCellReference(std::max(last.row, input.block.bottom),
                                                      std::max(last.column, input.block.right));
      const XmlElement& d = user[*dimension];
      edits.Replace(d.tagBegin, d.tagEnd, "<" + d.qualifiedName + " ref=\"" + widened + "\"/>");
    }
  }

  // The chart's drawing.
  if (!input.drawingRelId.empty()) {
    if (user.Child(XmlPartIndex::Root(), "drawing")) {
      throw FileError(FileErrorKind::kWrite, fileName, at,
                      "the sheet already holds drawings; the chart can go on a new sheet (leave out --output-range)",
                      source);
    }
    std::size_t insertAt = root.closeBegin;
    for (const char* follower : kAfterDrawing) {
      if (const auto k = user.Child(XmlPartIndex::Root(), follower)) {
        insertAt = user[*k].tagBegin;
        break;
      }
    }
    edits.Insert(insertAt, "<" + prefix + "drawing xmlns:r=\"" + kRelationshipsNamespace + "\" r:id=\"" +
                               input.drawingRelId + "\"/>");
  }
  return edits.Apply();
}

}  // namespace dez::io
