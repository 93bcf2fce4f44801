#include "host/embedded/embedded_workbook.h"

#include <algorithm>
#include <string>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/host_error.h"
#include "runtime/error.h"

namespace dez::embedded {

namespace {

constexpr std::string_view kObject = "Workbook";
constexpr std::size_t kMaxSheetNameLength = 31;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Characters of UTF-8 text: every byte except the continuation bytes 10xxxxxx.
std::size_t CharacterCount(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U; }));
}

}  // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

EmbeddedWorkbook::EmbeddedWorkbook(std::string name, bool isAddin, std::weak_ptr<EmbeddedApplication> application)
    : name_(std::move(name)),
      isAddin_(isAddin),
      application_(std::move(application)),
      styles_(std::make_shared<StyleTable>()) {}

std::shared_ptr<EmbeddedWorkbook> EmbeddedWorkbook::Create(std::string name, bool isAddin,
                                                           std::weak_ptr<EmbeddedApplication> application) {
  return std::shared_ptr<EmbeddedWorkbook>(new EmbeddedWorkbook(std::move(name), isAddin, std::move(application)));
}

std::shared_ptr<EmbeddedWorksheet> EmbeddedWorkbook::FindSheet(std::string_view name) const {
  for (const auto& sheet : sheets_) {
    if (SameNameIgnoringCase(sheet->Name(), name)) return sheet;
  }
  return nullptr;
}

std::size_t EmbeddedWorkbook::IndexOf(const EmbeddedWorksheet& sheet) const {
  for (std::size_t i = 0; i < sheets_.size(); ++i) {
    if (sheets_[i].get() == &sheet) return i;
  }
  return sheets_.size();
}

void EmbeddedWorkbook::CheckSheetName(const std::string& name, const EmbeddedWorksheet* renamed,
                                      host::Loc where) const {
  const auto refuse = [&](const std::string& why) {
    RaiseHostError(kObject, "'" + name + "' cannot name a sheet: " + why, where);
  };
  if (name.empty()) refuse("a sheet name needs at least one character");
  if (CharacterCount(name) > kMaxSheetNameLength) refuse("a sheet name has at most 31 characters");
  if (name.find_first_of(":\\/?*[]") != std::string::npos) refuse("a sheet name cannot hold : \\ / ? * [ or ]");
  if (name.front() == '\'' || name.back() == '\'') refuse("a sheet name cannot start or end with an apostrophe");
  const auto other = FindSheet(name);
  if (other && other.get() != renamed) refuse("that name is already taken");
}

std::shared_ptr<EmbeddedWorksheet> EmbeddedWorkbook::AddSheet(std::string name, std::int32_t position,
                                                              host::Loc where) {
  CheckSheetName(name, nullptr, where);
  auto sheet = std::make_shared<EmbeddedWorksheet>(std::move(name), styles_, weak_from_this());
  const auto at = (position < 0 || static_cast<std::size_t>(position) > sheets_.size())
                      ? sheets_.end()
                      : sheets_.begin() + position;
  sheets_.insert(at, sheet);
  if (!ActiveSheet()) activeSheet_ = sheet;
  return sheet;
}

std::string EmbeddedWorkbook::NextSheetName() const {
  for (std::size_t n = 1;; ++n) {
    std::string name = "Sheet" + std::to_string(n);
    if (!FindSheet(name)) return name;
  }
}

void EmbeddedWorkbook::MoveSheetAfter(const EmbeddedWorksheet& sheet, const EmbeddedWorksheet& after,
                                      host::Loc where) {
  const std::size_t from = IndexOf(sheet);
  if (from == sheets_.size() || IndexOf(after) == sheets_.size()) {
    RaiseHostError(kObject, "Move method of Worksheet class failed: the sheets are not both in '" + name_ + "'", where);
  }
  if (&sheet == &after) return;
  auto moved = sheets_[from];
  sheets_.erase(sheets_.begin() + static_cast<std::ptrdiff_t>(from));
  sheets_.insert(sheets_.begin() + static_cast<std::ptrdiff_t>(IndexOf(after) + 1), std::move(moved));
}

void EmbeddedWorkbook::DeleteSheet(const EmbeddedWorksheet& sheet, host::Loc where) {
  const std::size_t index = IndexOf(sheet);
  if (index == sheets_.size()) RaiseHostError(kObject, "The sheet is not in '" + name_ + "'", where);
  if (sheets_.size() == 1) RaiseHostError(kObject, "A workbook must keep at least one sheet", where);
  const bool wasActive = ActiveSheet().get() == &sheet;
  sheets_.erase(sheets_.begin() + static_cast<std::ptrdiff_t>(index));
  if (wasActive) activeSheet_ = sheets_[std::min(index, sheets_.size() - 1)];
}

host::WorksheetPtr EmbeddedWorkbook::Worksheets(std::int32_t index, host::Loc where) {
  if (index < 1 || index > WorksheetsCount()) {
    Raise(fault::kSubscriptOutOfRange, std::string(kObject),
          "Subscript out of range: '" + name_ + "' has no worksheet " + std::to_string(index) + " (it has " +
              std::to_string(WorksheetsCount()) + ")",
          where);
  }
  return sheets_[static_cast<std::size_t>(index - 1)];
}

host::WorksheetPtr EmbeddedWorkbook::Worksheets(const std::string& name, host::Loc where) {
  auto sheet = FindSheet(name);
  if (!sheet) {
    Raise(fault::kSubscriptOutOfRange, std::string(kObject),
          "Subscript out of range: '" + name_ + "' has no worksheet named '" + name + "'", where);
  }
  return sheet;
}

void EmbeddedWorkbook::Activate(host::Loc where) {
  if (isAddin_) RaiseHostError(kObject, "Activate method of Workbook class failed: '" + name_ + "' is an add-in", where);
  if (const auto app = Application()) app->SetActiveBook(shared_from_this());
}

}  // namespace dez::embedded
