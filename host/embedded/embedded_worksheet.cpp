#include "host/embedded/embedded_worksheet.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <unordered_map>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_chart.h"
#include "host/embedded/embedded_range.h"
#include "host/embedded/embedded_shape.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/host_error.h"
#include "host/embedded/range_resolver.h"
#include "runtime/error.h"

namespace dez::embedded {

namespace {

constexpr std::string_view kObject = "Worksheet";

void CheckCell(std::int64_t row, std::int64_t column, host::Loc where) {
  if (IsCellOnSheet(row, column)) return;
  RaiseHostError(kObject, "The cell at row " + std::to_string(row) + ", column " + std::to_string(column) +
                              " lies outside the sheet (rows 1 to 1048576, columns 1 to 16384)",
                 where);
}

void CheckText(const Variant& value, host::Loc where) {
  if (value.IsText() && value.text().size() > static_cast<std::size_t>(kMaxCellTextLength)) {
    RaiseHostError(kObject, "A cell holds at most 32767 characters; the text has " +
                                std::to_string(value.text().size()),
                   where);
  }
}

void CheckMaterialisable(const CellBlock& block, std::string_view what, std::int32_t number, host::Loc where) {
  if (block.CellCount() <= kMaxCellsPerOperation) return;
  RaiseHostError(number, kObject, std::string(what) + " " + AbsoluteAddress(block) + " would take " +
                                      std::to_string(block.CellCount()) + " cells, more than the limit of " +
                                      std::to_string(kMaxCellsPerOperation),
                 where);
}

// Memoises a format change per format id: a block of a million cells usually holds a
// handful of formats, so the change is computed once for each.
class CachedRestyle {
 public:
  CachedRestyle(StyleTable& table, const std::function<void(CellStyle&)>& edit) : table_(table), edit_(edit) {}
  StyleId operator()(StyleId id) {
    const auto [it, added] = done_.try_emplace(id, id);
    if (added) it->second = table_.Derive(id, edit_);
    return it->second;
  }

 private:
  StyleTable& table_;
  const std::function<void(CellStyle&)>& edit_;
  std::unordered_map<StyleId, StyleId> done_;
};

}  // namespace

EmbeddedWorksheet::EmbeddedWorksheet(std::string name, std::shared_ptr<StyleTable> styles,
                                     std::weak_ptr<EmbeddedWorkbook> parent)
    : name_(std::move(name)), styles_(std::move(styles)), parent_(std::move(parent)) {}

// --- Storage interface -----------------------------------------------------------------

void EmbeddedWorksheet::WriteCell(std::int32_t row, std::int32_t column, Variant value, host::Loc where) {
  CheckCell(row, column, where);
  CheckText(value, where);
  // A new value replaces the old text, and with it the character runs that formatted it.
  cells_.SetValueAndRestyle(row, column, std::move(value), [&](StyleId style) {
    if (styles_->Get(style).runs.empty()) return style;
    return styles_->Derive(style, [](CellStyle& s) { s.runs.clear(); });
  });
}

void EmbeddedWorksheet::WriteCell(std::int32_t row, std::int32_t column, Variant value, const CellStyle& style,
                                  host::Loc where) {
  CheckCell(row, column, where);
  CheckText(value, where);
  cells_.Set(row, column, std::move(value), styles_->Intern(style));
}

void EmbeddedWorksheet::SetRowHeight(std::int32_t row, double points, host::Loc where) {
  CheckCell(row, 1, where);
  if (!(std::isfinite(points) && points >= 0.0 && points <= kMaxRowHeight)) {
    RaiseHostError(kObject, "A row height lies between 0 and 409 points", where);
  }
  geometry_.SetRowHeight(row, points);
}

void EmbeddedWorksheet::SetColumnWidth(std::int32_t column, double points, host::Loc where) {
  CheckCell(1, column, where);
  if (!(std::isfinite(points) && points >= 0.0 && points <= kMaxColumnWidth)) {
    RaiseHostError(kObject, "A column width lies between 0 and 1342.5 points (255 characters)", where);
  }
  geometry_.SetColumnWidth(column, points);
}

// --- Block operations ------------------------------------------------------------------

VariantMatrix EmbeddedWorksheet::ReadBlock(const CellBlock& block, host::Loc where) const {
  CheckMaterialisable(block, "Reading the values of", fault::kOutOfMemory, where);
  VariantMatrix values(block.Rows(), block.Columns());
  cells_.ForEachIn(block, [&](std::int32_t row, const Cell& c) {
    values(row - block.top + 1, c.column - block.left + 1) = c.value;
  });
  return values;
}

void EmbeddedWorksheet::WriteBlock(const CellBlock& block, const Variant& value, host::Loc where) {
  if (block.CellCount() == 1) {
    WriteCell(block.top, block.left, value, where);
    return;
  }
  if (value.IsEmpty()) {
    // Clearing values visits only the stored cells.
    std::vector<std::pair<std::int32_t, std::int32_t>> stored;
    cells_.ForEachIn(block, [&](std::int32_t row, const Cell& c) { stored.emplace_back(row, c.column); });
    for (const auto& [row, column] : stored) WriteCell(row, column, Variant(), where);
    return;
  }
  CheckText(value, where);
  CheckMaterialisable(block, "Writing a value to", fault::kApplicationDefined, where);
  for (std::int32_t row = block.top; row <= block.bottom; ++row) {
    for (std::int32_t column = block.left; column <= block.right; ++column) WriteCell(row, column, value, where);
  }
}

void EmbeddedWorksheet::EditFormat(const CellBlock& block, const std::function<void(CellStyle&)>& edit,
                                   host::Loc where) {
  CachedRestyle restyle(*styles_, edit);
  if (block.IsWholeSheet()) {
    // The sheet-wide default carries the format of every cell without one of its own.
    cells_.SetDefaultStyle(restyle(cells_.DefaultStyle()));
    cells_.RestyleStored(std::ref(restyle));
    return;
  }
  CheckMaterialisable(block, "Formatting", fault::kApplicationDefined, where);
  cells_.RestyleBlock(block, std::ref(restyle));
}

void EmbeddedWorksheet::ClearBlock(const CellBlock& block) {
  if (block.IsWholeSheet()) cells_.ClearAll();
  else cells_.ClearBlock(block);
}

void EmbeddedWorksheet::PasteFrom(const EmbeddedWorksheet& source, const CellBlock& from, std::int32_t toRow,
                                  std::int32_t toColumn, host::Loc where) {
  const std::int64_t bottom = std::int64_t{toRow} + from.Rows() - 1;
  const std::int64_t right = std::int64_t{toColumn} + from.Columns() - 1;
  if (!IsCellOnSheet(toRow, toColumn) || !IsCellOnSheet(bottom, right)) {
    RaiseHostError("Range", "The paste area does not fit on the sheet: " + std::to_string(from.Rows()) + " rows and " +
                                std::to_string(from.Columns()) + " columns from row " + std::to_string(toRow) +
                                ", column " + std::to_string(toColumn),
                   where);
  }
  // Formats of another workbook are interned into this one's table, each once.
  constexpr StyleId kUnmapped = std::numeric_limits<StyleId>::max();
  std::vector<StyleId> mapped;
  const bool sameTable = &source.Styles() == styles_.get();
  const std::function<StyleId(StyleId)> mapStyle = [&](StyleId id) -> StyleId {
    if (sameTable) return id;
    if (mapped.size() <= id) mapped.resize(std::size_t{id} + 1, kUnmapped);
    if (mapped[id] == kUnmapped) mapped[id] = styles_->Intern(source.Styles().Get(id));
    return mapped[id];
  };
  if (from.IsWholeSheet()) {
    // The whole sheet brings its default format along, at no cost per cell.
    cells_.SetDefaultStyle(mapStyle(source.Store().DefaultStyle()));
  }
  cells_.Paste(source.Store(), from, toRow, toColumn, mapStyle);
}

// --- Charts ----------------------------------------------------------------------------

void EmbeddedWorksheet::EmbedChart(const std::shared_ptr<EmbeddedChart>& chart) {
  ++chartsEmbedded_;
  chart->SetEmbedding(shared_from_this(), "Chart " + std::to_string(chartsEmbedded_));
  charts_.push_back(chart);
}

void EmbeddedWorksheet::RemoveChart(const EmbeddedChart& chart) {
  std::erase_if(charts_, [&](const std::shared_ptr<EmbeddedChart>& c) { return c.get() == &chart; });
}

// --- host::Worksheet -------------------------------------------------------------------

void EmbeddedWorksheet::Name(const std::string& name, host::Loc where) {
  if (const auto book = Book()) {
    book->CheckSheetName(name, this, where);
  } else {
    RaiseHostError(kObject, "The workbook of this sheet is closed", where);
  }
  name_ = name;
}

host::WorkbookPtr EmbeddedWorksheet::Parent() const { return Book(); }

host::RangePtr EmbeddedWorksheet::Cells() {
  return std::make_shared<EmbeddedRange>(shared_from_this(), CellBlock::WholeSheet());
}

host::RangePtr EmbeddedWorksheet::Cells(std::int32_t row, std::int32_t column, host::Loc where) {
  CheckCell(row, column, where);
  return std::make_shared<EmbeddedRange>(shared_from_this(), CellBlock::Cell(row, column));
}

host::RangePtr EmbeddedWorksheet::Range(const std::string& address, host::Loc where) {
  const auto book = Book();
  const auto app = book ? book->Application() : nullptr;
  return ResolveRange(address, app.get(), shared_from_this(), true, where);
}

void EmbeddedWorksheet::MoveAfter(const host::WorksheetPtr& after, host::Loc where) {
  if (!after) Raise(fault::kObjectNotSet, std::string(kObject), "Move needs the sheet to follow", where);
  const auto* afterSheet = dynamic_cast<const EmbeddedWorksheet*>(after.get());
  const auto book = Book();
  if (!afterSheet || !book || afterSheet->Book() != book) {
    RaiseHostError(kObject, "Move method of Worksheet class failed: the sheet to follow is not in the same workbook",
                   where);
  }
  book->MoveSheetAfter(*this, *afterSheet, where);
}

void EmbeddedWorksheet::Activate(host::Loc where) {
  const auto book = Book();
  if (!book) RaiseHostError(kObject, "Activate method of Worksheet class failed: the workbook is closed", where);
  book->Activate(where);
  book->SetActiveSheet(shared_from_this());
}

host::ShapePtr EmbeddedWorksheet::Shapes(const std::string& name, host::Loc where) {
  for (const auto& chart : charts_) {
    if (SameNameIgnoringCase(chart->Model().objectName, name)) {
      // The shape edits the chart's recorded frame.
      return std::make_shared<EmbeddedShape>(chart->SharedModel());
    }
  }
  RaiseHostError(kItemNotFound, "Shapes", "The item with the specified name wasn't found: '" + name + "'", where);
}

}  // namespace dez::embedded
