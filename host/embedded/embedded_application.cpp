#include "host/embedded/embedded_application.h"

#include <algorithm>
#include <string>

#include "host/embedded/embedded_chart.h"
#include "host/embedded/embedded_range.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/embedded_worksheet_function.h"
#include "host/embedded/host_error.h"
#include "host/embedded/range_resolver.h"
#include "runtime/error.h"

namespace dez::embedded {

namespace {

constexpr std::string_view kObject = "Application";

[[noreturn]] void RaiseNoActiveWorkbook(host::Loc where) {
  Raise(fault::kObjectNotSet, std::string(kObject), "No workbook is active: open or create a workbook first", where);
}

}  // namespace

std::shared_ptr<EmbeddedApplication> EmbeddedApplication::Create() {
  std::shared_ptr<EmbeddedApplication> app(new EmbeddedApplication());
  auto addin = EmbeddedWorkbook::Create(std::string(kAddinWorkbookName), true, app);
  addin->AddSheet(std::string(kScratchSheetName));
  app->workbooks_.push_back(std::move(addin));
  return app;
}

std::shared_ptr<EmbeddedWorkbook> EmbeddedApplication::AddWorkbook(std::string name,
                                                                   const std::vector<std::string>& sheetNames,
                                                                   host::Loc where) {
  if (name.empty()) RaiseHostError(kObject, "A workbook needs a name", where);
  if (FindWorkbook(name)) RaiseHostError(kObject, "A workbook named '" + name + "' is already open", where);
  auto book = EmbeddedWorkbook::Create(std::move(name), false, weak_from_this());
  if (sheetNames.empty()) {
    book->AddSheet("Sheet1", -1, where);
  } else {
    for (const std::string& sheetName : sheetNames) book->AddSheet(sheetName, -1, where);
  }
  workbooks_.push_back(book);
  activeWorkbook_ = book;
  return book;
}

void EmbeddedApplication::CloseWorkbook(std::string_view name, host::Loc where) {
  const auto book = FindWorkbook(name);
  if (!book) {
    Raise(fault::kSubscriptOutOfRange, std::string(kObject),
          "Subscript out of range: no workbook named '" + std::string(name) + "' is open", where);
  }
  if (book->IsAddin()) RaiseHostError(kObject, "The add-in workbook '" + book->Name() + "' stays open", where);
  std::erase(workbooks_, book);
  if (ActiveBook() == book || !ActiveBook()) {
    activeWorkbook_.reset();
    for (auto it = workbooks_.rbegin(); it != workbooks_.rend(); ++it) {
      if (!(*it)->IsAddin()) {
        activeWorkbook_ = *it;
        break;
      }
    }
  }
}

std::shared_ptr<EmbeddedWorkbook> EmbeddedApplication::FindWorkbook(std::string_view name) const {
  for (const auto& book : workbooks_) {
    if (SameNameIgnoringCase(book->Name(), name)) return book;
  }
  return nullptr;
}

host::RangePtr EmbeddedApplication::Range(const std::string& address, host::Loc where) {
  return ResolveRange(address, this, nullptr, false, where);
}

host::RangePtr EmbeddedApplication::Range(const host::RangePtr& corner1, const host::RangePtr& corner2,
                                          host::Loc where) {
  if (!corner1 || !corner2) Raise(fault::kObjectNotSet, std::string(kObject), "Range needs two corner cells", where);
  const auto* a = dynamic_cast<const EmbeddedRange*>(corner1.get());
  const auto* b = dynamic_cast<const EmbeddedRange*>(corner2.get());
  if (!a || !b) RaiseHostError(kObject, "Range needs two ranges of this application", where);
  if (a->Sheet() != b->Sheet()) {
    RaiseHostError(kObject, "Method 'Range' of object 'Application' failed: the corners '" + a->Sheet()->Name() +
                                "'!" + a->Address() + " and '" + b->Sheet()->Name() + "'!" + b->Address() +
                                " lie on different sheets",
                   where);
  }
  return std::make_shared<EmbeddedRange>(a->Sheet(), a->FirstArea().Union(b->FirstArea()));
}

host::WorkbookPtr EmbeddedApplication::Workbooks(const std::string& name, host::Loc where) {
  auto book = FindWorkbook(name);
  if (!book) {
    Raise(fault::kSubscriptOutOfRange, std::string(kObject),
          "Subscript out of range: no workbook named '" + name + "' is open", where);
  }
  return book;
}

host::WorkbookPtr EmbeddedApplication::ActiveWorkbook(host::Loc where) {
  auto book = ActiveBook();
  if (!book) RaiseNoActiveWorkbook(where);
  return book;
}

host::WorksheetPtr EmbeddedApplication::WorksheetsAdd(host::Loc where) {
  const auto book = ActiveBook();
  if (!book) RaiseNoActiveWorkbook(where);
  // The new sheet goes before the active sheet and becomes the active sheet.
  std::int32_t position = -1;
  const auto active = book->ActiveSheet();
  const auto& sheets = book->Sheets();
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    if (sheets[i] == active) position = static_cast<std::int32_t>(i);
  }
  auto sheet = book->AddSheet(book->NextSheetName(), position, where);
  book->SetActiveSheet(sheet);
  return sheet;
}

host::WorksheetPtr EmbeddedApplication::Sheets(const std::string& name, host::Loc where) {
  const auto book = ActiveBook();
  if (!book) RaiseNoActiveWorkbook(where);
  auto sheet = book->FindSheet(name);
  if (!sheet) {
    Raise(fault::kSubscriptOutOfRange, std::string(kObject),
          "Subscript out of range: '" + book->Name() + "' has no sheet named '" + name + "'", where);
  }
  return sheet;
}

host::WorksheetFunctionPtr EmbeddedApplication::WorksheetFunction() {
  return std::make_shared<EmbeddedWorksheetFunction>();
}

host::ChartPtr EmbeddedApplication::ChartsAdd(host::Loc where) {
  const auto book = ActiveBook();
  if (!book) RaiseNoActiveWorkbook(where);
  ++chartSheetsAdded_;
  auto chart = std::make_shared<EmbeddedChart>(book, "Chart" + std::to_string(chartSheetsAdded_));
  charts_.push_back(chart);
  activeChart_ = chart;
  return chart;
}

host::ChartPtr EmbeddedApplication::ActiveChart(host::Loc where) {
  auto chart = activeChart_.lock();
  if (!chart) Raise(fault::kObjectNotSet, std::string(kObject), "No chart is active", where);
  return chart;
}

}  // namespace dez::embedded
