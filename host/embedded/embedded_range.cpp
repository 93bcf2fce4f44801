#include "host/embedded/embedded_range.h"

#include <string>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_characters.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/host_error.h"
#include "host/embedded/object_model_constants.h"
#include "host/embedded/range_font.h"
#include "host/embedded/range_interior.h"
#include "host/embedded/setting_checks.h"

namespace dez::embedded {

namespace {

constexpr std::string_view kObject = "Range";
constexpr CellError kNotAvailable{2042};  // #N/A

bool IsHorizontalAlignment(std::int32_t a) {
  return a == kAlignGeneral || a == kAlignLeft || a == kAlignCenter || a == kAlignRight || a == kAlignFill ||
         a == kAlignJustify || a == kAlignCenterAcrossSelection || a == kAlignDistributed;
}

std::shared_ptr<EmbeddedApplication> ApplicationOf(const EmbeddedWorksheet& sheet) {
  const auto book = sheet.Book();
  return book ? book->Application() : nullptr;
}

}  // namespace

EmbeddedRange::EmbeddedRange(std::shared_ptr<EmbeddedWorksheet> sheet, std::vector<CellBlock> areas)
    : sheet_(std::move(sheet)), areas_(areas.begin(), areas.end()) {}

EmbeddedRange::EmbeddedRange(std::shared_ptr<EmbeddedWorksheet> sheet, const CellBlock& area)
    : sheet_(std::move(sheet)) {
  areas_.push_back(area);
}

void EmbeddedRange::EditFormat(const std::function<void(CellStyle&)>& edit, host::Loc where) {
  for (const CellBlock& area : areas_) sheet_->EditFormat(area, edit, where);
}

// --- Shape -----------------------------------------------------------------------------

host::RangePtr EmbeddedRange::Columns(std::int32_t index, host::Loc where) const {
  const CellBlock& a = FirstArea();
  const std::int64_t column = std::int64_t{a.left} + index - 1;
  if (index < 1 || column > kMaxColumns) {
    RaiseHostError(kObject, "Columns(" + std::to_string(index) + ") of " + Address() + " lies outside the sheet",
                   where);
  }
  const auto c = static_cast<std::int32_t>(column);
  return std::make_shared<EmbeddedRange>(sheet_, CellBlock{a.top, c, a.bottom, c});
}

host::RangePtr EmbeddedRange::Cells(std::int32_t row, std::int32_t column, host::Loc where) const {
  const CellBlock& a = FirstArea();
  const std::int64_t r = std::int64_t{a.top} + row - 1;
  const std::int64_t c = std::int64_t{a.left} + column - 1;
  if (!IsCellOnSheet(r, c)) {
    RaiseHostError(kObject, "Cells(" + std::to_string(row) + ", " + std::to_string(column) + ") of " + Address() +
                                " lies outside the sheet (rows 1 to 1048576, columns 1 to 16384)",
                   where);
  }
  return std::make_shared<EmbeddedRange>(
      sheet_, CellBlock::Cell(static_cast<std::int32_t>(r), static_cast<std::int32_t>(c)));
}

std::string EmbeddedRange::Address() const {
  std::string text;
  for (const CellBlock& area : areas_) {
    if (!text.empty()) text += ',';
    text += AbsoluteAddress(area);
  }
  return text;
}

host::WorksheetPtr EmbeddedRange::Worksheet() const { return sheet_; }

// --- Values ----------------------------------------------------------------------------

VariantMatrix EmbeddedRange::Value(host::Loc where) const { return sheet_->ReadBlock(FirstArea(), where); }

Variant EmbeddedRange::CellValue(host::Loc) const { return sheet_->ValueAt(FirstArea().top, FirstArea().left); }

void EmbeddedRange::SetValue(const Variant& value, host::Loc where) {
  for (const CellBlock& area : areas_) sheet_->WriteBlock(area, value, where);
}

void EmbeddedRange::SetRowValues(std::span<const Variant> values, host::Loc where) {
  for (const CellBlock& area : areas_) {
    if (area.CellCount() > kMaxCellsPerOperation) {
      RaiseHostError(kObject, "Assigning an array to " + AbsoluteAddress(area) + " would write too many cells", where);
    }
    for (std::int32_t row = area.top; row <= area.bottom; ++row) {
      for (std::int32_t column = area.left; column <= area.right; ++column) {
        const auto j = static_cast<std::size_t>(column - area.left);
        sheet_->WriteCell(row, column, j < values.size() ? values[j] : Variant(kNotAvailable), where);
      }
    }
  }
}

// --- Clipboard and selection -----------------------------------------------------------

void EmbeddedRange::Copy(host::Loc where) {
  if (areas_.size() > 1) RaiseHostError(kObject, "Copy does not work on a range of several areas", where);
  const auto app = ApplicationOf(*sheet_);
  if (!app) RaiseHostError(kObject, "Copy needs the range's workbook to be open in the application", where);
  app->SetClipboard(Clipboard{sheet_, FirstArea()});
}

void EmbeddedRange::PasteSpecial(std::int32_t pasteKind, host::Loc where) {
  // The component pastes values and formats together; no other kind is provided.
  if (pasteKind != kPasteAll) {
    RaiseHostError(kObject, "PasteSpecial method of Range class failed: unsupported paste kind " +
                                std::to_string(pasteKind),
                   where);
  }
  const auto app = ApplicationOf(*sheet_);
  const Clipboard clip = app ? app->ClipboardContent() : Clipboard{};
  if (!clip.sheet) RaiseHostError(kObject, "PasteSpecial method of Range class failed: nothing was copied", where);
  sheet_->PasteFrom(*clip.sheet, clip.block, FirstArea().top, FirstArea().left, where);
}

void EmbeddedRange::Select(host::Loc where) {
  const auto book = sheet_->Book();
  const auto app = book ? book->Application() : nullptr;
  if (!app || app->ActiveBook() != book || book->ActiveSheet() != sheet_) {
    RaiseHostError(kObject, "Select method of Range class failed: '" + sheet_->Name() + "' is not the active sheet",
                   where);
  }
  sheet_->SetSelection(std::vector<CellBlock>(areas_.begin(), areas_.end()));
}

void EmbeddedRange::Clear(host::Loc) {
  for (const CellBlock& area : areas_) sheet_->ClearBlock(area);
}

// --- Formats ---------------------------------------------------------------------------

void EmbeddedRange::NumberFormat(const std::string& format, host::Loc where) {
  const std::string f = format.empty() ? CellStyle::kGeneralFormat : format;
  EditFormat([&](CellStyle& s) { s.numberFormat = f; }, where);
}

void EmbeddedRange::HorizontalAlignment(std::int32_t alignment, host::Loc where) {
  RequireSetting(IsHorizontalAlignment(alignment), kObject, "HorizontalAlignment", where);
  EditFormat([&](CellStyle& s) { s.horizontalAlignment = alignment; }, where);
}

host::FontPtr EmbeddedRange::Font() { return std::make_shared<RangeFont>(shared_from_this()); }

host::InteriorPtr EmbeddedRange::Interior() { return std::make_shared<RangeInterior>(shared_from_this()); }

host::CharactersPtr EmbeddedRange::Characters(std::int32_t start, std::int32_t length, host::Loc where) {
  if (start < 1 || length < 0) {
    RaiseHostError(kObject, "Characters(" + std::to_string(start) + ", " + std::to_string(length) +
                                "): the start is 1 or more and the length 0 or more",
                   where);
  }
  return std::make_shared<EmbeddedCharacters>(sheet_, FirstArea().top, FirstArea().left, start, length);
}

// --- Geometry --------------------------------------------------------------------------

double EmbeddedRange::Top() const { return sheet_->Geometry().RowTop(FirstArea().top); }
double EmbeddedRange::Left() const { return sheet_->Geometry().ColumnLeft(FirstArea().left); }
double EmbeddedRange::Height() const { return sheet_->Geometry().RowsHeight(FirstArea().top, FirstArea().bottom); }
double EmbeddedRange::Width() const { return sheet_->Geometry().ColumnsWidth(FirstArea().left, FirstArea().right); }

}  // namespace dez::embedded
