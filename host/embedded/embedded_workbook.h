// A workbook of the embedded application: its ordered worksheets and its formats.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/embedded/style_table.h"
#include "host/worksheet.h"

namespace dez::embedded {

class EmbeddedApplication;
class EmbeddedWorksheet;

/// A workbook. Besides the host's Workbook members it offers the C++ interface through
/// which file readers and writers build and walk it:
///
///   auto book = app->AddWorkbook("Data.xlsx", {"Data", "Notes"});
///   for (const auto& sheet : book->Sheets()) { ... sheet->Name() ... }
///   auto extra = book->AddSheet("Results 2");
///
/// Sheet names compare without regard to letter case (ASCII letters).
class EmbeddedWorkbook final : public host::Workbook, public std::enable_shared_from_this<EmbeddedWorkbook> {
 public:
  /// An empty workbook; use EmbeddedApplication::AddWorkbook, or this for a standalone one.
  static std::shared_ptr<EmbeddedWorkbook> Create(std::string name, bool isAddin = false,
                                                  std::weak_ptr<EmbeddedApplication> application = {});

  // --- Storage interface -----------------------------------------------------------------

  /// The application holding the workbook, or nullptr for a standalone one.
  std::shared_ptr<EmbeddedApplication> Application() const { return application_.lock(); }
  /// True for an add-in workbook: it never becomes the active workbook.
  bool IsAddin() const { return isAddin_; }
  /// The worksheets in tab order.
  const std::vector<std::shared_ptr<EmbeddedWorksheet>>& Sheets() const { return sheets_; }
  /// The sheet named `name`, or nullptr.
  std::shared_ptr<EmbeddedWorksheet> FindSheet(std::string_view name) const;
  /// The active sheet, or nullptr for a workbook without sheets.
  std::shared_ptr<EmbeddedWorksheet> ActiveSheet() const { return activeSheet_.lock(); }
  /// Makes `sheet` (one of this workbook's) the active sheet.
  void SetActiveSheet(const std::shared_ptr<EmbeddedWorksheet>& sheet) { activeSheet_ = sheet; }
  /// The formats every cell of the workbook refers to.
  StyleTable& Styles() { return *styles_; }
  const StyleTable& Styles() const { return *styles_; }

  /// Adds a worksheet named `name` at tab position `position` (0-based; past the end or
  /// negative: at the end). The first sheet of a workbook becomes its active sheet.
  /// Fails (1004) for a name that is invalid or taken (see CheckSheetName).
  std::shared_ptr<EmbeddedWorksheet> AddSheet(std::string name, std::int32_t position = -1,
                                              host::Loc where = host::Loc::current());
  /// "SheetN" for the smallest N >= 1 whose name is free.
  std::string NextSheetName() const;
  /// Raises 1004 unless `name` may name a sheet of this workbook, leaving out `renamed`
  /// (the sheet being renamed, or nullptr): 1 to 31 characters, none of : \ / ? * [ ],
  /// not starting or ending with ', and no other sheet of that name.
  void CheckSheetName(const std::string& name, const EmbeddedWorksheet* renamed, host::Loc where) const;
  /// Moves `sheet` right behind `after`; both must belong to this workbook.
  void MoveSheetAfter(const EmbeddedWorksheet& sheet, const EmbeddedWorksheet& after, host::Loc where);
  /// Removes a sheet (the last one cannot go). Fails (1004) for a sheet of another book.
  void DeleteSheet(const EmbeddedWorksheet& sheet, host::Loc where = host::Loc::current());

  // --- host::Workbook --------------------------------------------------------------------

  std::string Name() const override { return name_; }
  /// Worksheets(index): 1-based; another index is subscript out of range (9).
  host::WorksheetPtr Worksheets(std::int32_t index, host::Loc where = host::Loc::current()) override;
  /// Worksheets(name): a missing name is subscript out of range (9).
  host::WorksheetPtr Worksheets(const std::string& name, host::Loc where = host::Loc::current()) override;
  std::int32_t WorksheetsCount() const override { return static_cast<std::int32_t>(sheets_.size()); }
  /// Makes this the active workbook. An add-in workbook cannot be activated (1004).
  void Activate(host::Loc where = host::Loc::current()) override;

 private:
  EmbeddedWorkbook(std::string name, bool isAddin, std::weak_ptr<EmbeddedApplication> application);
  std::size_t IndexOf(const EmbeddedWorksheet& sheet) const;  // sheets_.size() when absent

  std::string name_;
  bool isAddin_ = false;
  std::weak_ptr<EmbeddedApplication> application_;
  std::shared_ptr<StyleTable> styles_;
  std::vector<std::shared_ptr<EmbeddedWorksheet>> sheets_;
  std::weak_ptr<EmbeddedWorksheet> activeSheet_;
};

/// True when two names are equal without regard to the case of ASCII letters.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace dez::embedded
