#include "host/embedded/range_resolver.h"

#include <string>
#include <vector>

#include "host/embedded/address_parser.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_range.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/host_error.h"
#include "runtime/error.h"

namespace dez::embedded {

namespace {

constexpr std::string_view kObject = "Range";

[[noreturn]] void Refuse(std::string_view address, const std::string& why, host::Loc where) {
  RaiseHostError(kObject, "Method 'Range' failed: '" + std::string(address) + "' " + why, where);
}

}  // namespace

std::shared_ptr<EmbeddedRange> ResolveRange(std::string_view address, const EmbeddedApplication* application,
                                            const std::shared_ptr<EmbeddedWorksheet>& context, bool onlyContext,
                                            host::Loc where) {
  const ParsedAddress parsed = ParseAddress(address);
  if (!parsed.ok()) Refuse(address, "is not a valid address: " + parsed.error, where);

  std::shared_ptr<EmbeddedWorkbook> contextBook = context ? context->Book() : nullptr;
  if (!contextBook && application) contextBook = application->ActiveBook();

  std::shared_ptr<EmbeddedWorksheet> sheet;
  std::vector<CellBlock> blocks;
  blocks.reserve(parsed.areas.size());
  for (const AddressArea& area : parsed.areas) {
    std::shared_ptr<EmbeddedWorksheet> areaSheet;
    if (area.sheet.empty()) {
      areaSheet = context;
      if (!areaSheet) {
        if (!contextBook) {
          Raise(fault::kObjectNotSet, std::string(kObject),
                "Method 'Range' failed: '" + std::string(address) + "' needs an active workbook, and none is open",
                where);
        }
        areaSheet = contextBook->ActiveSheet();
      }
    } else {
      std::shared_ptr<EmbeddedWorkbook> book = contextBook;
      if (!area.workbook.empty()) {
        book = application ? application->FindWorkbook(area.workbook) : nullptr;
        if (!book && contextBook && SameNameIgnoringCase(contextBook->Name(), area.workbook)) book = contextBook;
        if (!book) Refuse(address, "names the workbook '" + area.workbook + "', which is not open", where);
      }
      if (!book) {
        Raise(fault::kObjectNotSet, std::string(kObject),
              "Method 'Range' failed: '" + std::string(address) + "' names a sheet, and no workbook is active", where);
      }
      areaSheet = book->FindSheet(area.sheet);
      if (!areaSheet) Refuse(address, "names the sheet '" + area.sheet + "', which '" + book->Name() + "' lacks", where);
    }
    if (sheet && areaSheet != sheet) Refuse(address, "has areas on different sheets", where);
    sheet = areaSheet;
    blocks.push_back(area.block);
  }
  if (onlyContext && sheet != context) {
    Refuse(address, "lies on another sheet than '" + (context ? context->Name() : std::string()) + "'", where);
  }
  return std::make_shared<EmbeddedRange>(std::move(sheet), std::move(blocks));
}

}  // namespace dez::embedded
