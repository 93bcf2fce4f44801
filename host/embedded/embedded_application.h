// The embedded spreadsheet application: open workbooks, the active workbook, the
// clipboard, charts and worksheet functions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/application.h"
#include "host/embedded/clipboard.h"

namespace dez::embedded {

class EmbeddedWorkbook;
class EmbeddedWorksheet;
class EmbeddedChart;

/// The add-in workbook that is open from the start, and its scratch worksheet.
inline constexpr std::string_view kAddinWorkbookName = "Korvel.xla";
inline constexpr std::string_view kScratchSheetName = "Results";

/// The application. It starts with the add-in workbook "Korvel.xla" open, holding the
/// worksheet "Results", and no active workbook: the first user workbook that is added
/// becomes active. File readers use the C++ interface:
///
///   auto app = EmbeddedApplication::Create();
///   auto book = app->AddWorkbook("Data.xlsx", {"Data"});   // now the active workbook
///   book->Sheets()[0]->WriteCell(1, 1, Variant("x"));
///
/// Workbook names compare without regard to letter case (ASCII letters).
class EmbeddedApplication final : public host::Application, public std::enable_shared_from_this<EmbeddedApplication> {
 public:
  /// A new application with the add-in workbook open.
  static std::shared_ptr<EmbeddedApplication> Create();

  // --- Storage interface -----------------------------------------------------------------

  /// Opens a new workbook with worksheets of the given names (none: one sheet "Sheet1").
  /// It becomes the active workbook, its first sheet the active sheet. Fails (1004) when
  /// a workbook of that name is open or a sheet name is invalid.
  std::shared_ptr<EmbeddedWorkbook> AddWorkbook(std::string name, const std::vector<std::string>& sheetNames = {},
                                                host::Loc where = host::Loc::current());
  /// Closes a workbook; the active workbook becomes the most recently opened user workbook
  /// still open. Fails (9) for a name that is not open, (1004) for the add-in workbook.
  void CloseWorkbook(std::string_view name, host::Loc where = host::Loc::current());
  /// The open workbooks in the order opened, the add-in workbook first.
  const std::vector<std::shared_ptr<EmbeddedWorkbook>>& OpenWorkbooks() const { return workbooks_; }
  /// The open workbook named `name`, or nullptr.
  std::shared_ptr<EmbeddedWorkbook> FindWorkbook(std::string_view name) const;
  /// The add-in workbook "Korvel.xla".
  std::shared_ptr<EmbeddedWorkbook> AddinWorkbook() const { return workbooks_.front(); }
  /// The active workbook, or nullptr when no user workbook is open.
  std::shared_ptr<EmbeddedWorkbook> ActiveBook() const { return activeWorkbook_.lock(); }
  /// Makes `book` (an open user workbook) the active one.
  void SetActiveBook(const std::shared_ptr<EmbeddedWorkbook>& book) { activeWorkbook_ = book; }
  /// What Range.Copy put on the clipboard.
  const Clipboard& ClipboardContent() const { return clipboard_; }
  void SetClipboard(Clipboard content) { clipboard_ = std::move(content); }
  /// Application.ScreenUpdating as last set (True at first).
  bool IsScreenUpdating() const { return screenUpdating_; }
  /// Every chart made by Charts.Add, embedded or not, in the order made.
  const std::vector<std::shared_ptr<EmbeddedChart>>& AllCharts() const { return charts_; }

  // --- host::Application -----------------------------------------------------------------

  /// Range(text) in the forms of ParseAddress; a sheet name alone refers to the active
  /// workbook, no qualifier to its active sheet. Fails (1004) for a text that is no
  /// address or names a workbook or sheet that is not open, or areas on several sheets,
  /// (91) when no workbook is active and one is needed.
  host::RangePtr Range(const std::string& address, host::Loc where = host::Loc::current()) override;
  /// Range(cell, cell): the smallest block holding both ranges' first areas, which must lie
  /// on one sheet (1004 otherwise, 91 for a missing range).
  host::RangePtr Range(const host::RangePtr& corner1, const host::RangePtr& corner2,
                       host::Loc where = host::Loc::current()) override;
  /// Workbooks(name): a name that is not open is subscript out of range (9).
  host::WorkbookPtr Workbooks(const std::string& name, host::Loc where = host::Loc::current()) override;
  /// The active workbook; 91 when no user workbook is open.
  host::WorkbookPtr ActiveWorkbook(host::Loc where = host::Loc::current()) override;
  /// Worksheets.Add: a sheet named by NextSheetName, placed before the active sheet of the
  /// active workbook, becomes the active sheet. 91 when no workbook is active.
  host::WorksheetPtr WorksheetsAdd(host::Loc where = host::Loc::current()) override;
  /// Sheets(name) of the active workbook: 9 for a missing name, 91 without a workbook.
  host::WorksheetPtr Sheets(const std::string& name, host::Loc where = host::Loc::current()) override;
  host::WorksheetFunctionPtr WorksheetFunction() override;
  /// Charts.Add: a new chart sheet "ChartN" of the active workbook (91 without one), which
  /// becomes the active chart.
  host::ChartPtr ChartsAdd(host::Loc where = host::Loc::current()) override;
  /// The active chart; 91 when there is none.
  host::ChartPtr ActiveChart(host::Loc where = host::Loc::current()) override;
  void ScreenUpdating(bool on) override { screenUpdating_ = on; }

 private:
  EmbeddedApplication() = default;

  std::vector<std::shared_ptr<EmbeddedWorkbook>> workbooks_;
  std::weak_ptr<EmbeddedWorkbook> activeWorkbook_;
  Clipboard clipboard_;
  bool screenUpdating_ = true;
  std::vector<std::shared_ptr<EmbeddedChart>> charts_;
  std::weak_ptr<EmbeddedChart> activeChart_;
  std::int32_t chartSheetsAdded_ = 0;
};

}  // namespace dez::embedded
