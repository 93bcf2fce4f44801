#include "host/embedded/data_checks.h"

#include <string>

#include "dezezuvazoz/errors.h"
#include "host/embedded/embedded_range.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/host_error.h"
#include "runtime/error.h"

namespace dez::embedded {

namespace {
constexpr std::string_view kObject = "clsDataChecks";
}  // namespace

void clsDataChecksEmbedded::CheckDataBlock(const host::RangePtr& data, bool, std::int32_t, std::int32_t, std::int32_t,
                                           std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                           std::int32_t& out, host::Loc where) {
  if (!data) Raise(fault::kObjectNotSet, std::string(kObject), "CheckDataBlock needs the data range", where);
  out = 0;
}

void clsDataChecksEmbedded::CheckOutputArea(host::RangePtr& outputCell, std::int32_t columns, std::int32_t rows,
                                            bool overWrite, host::Loc where) {
  if (!outputCell) Raise(fault::kObjectNotSet, std::string(kObject), "CheckOutputArea needs the output cell", where);
  if (columns < 1 || rows < 1) {
    Raise(fault::kInvalidCall, std::string(kObject),
          "A report has at least one row and one column, not " + std::to_string(rows) + " x " +
              std::to_string(columns),
          where);
  }
  const auto* cell = dynamic_cast<const EmbeddedRange*>(outputCell.get());
  if (!cell) RaiseHostError(kObject, "CheckOutputArea needs a range of the embedded application", where);
  const std::int32_t top = cell->Row();
  const std::int32_t left = cell->Column();
  const std::int64_t bottom = std::int64_t{top} + rows - 1;
  const std::int64_t right = std::int64_t{left} + columns - 1;
  const std::string size = std::to_string(rows) + " rows and " + std::to_string(columns) + " columns";
  std::string place = "'";
  place.append(cell->Sheet()->Name()).append("'!").append(AbsoluteAddress(CellBlock::Cell(top, left)));
  if (!IsCellOnSheet(bottom, right)) {
    RaiseHostError(AddinErrorNumber(addin_error::kOutputAreaRefused), kObject,
                   "The report of " + size + " does not fit on the sheet at " + place, where);
  }
  const CellBlock area{top, left, static_cast<std::int32_t>(bottom), static_cast<std::int32_t>(right)};
  if (!overWrite && cell->Sheet()->Store().HasValueIn(area)) {
    RaiseHostError(AddinErrorNumber(addin_error::kOutputAreaRefused), kObject,
                   "The report of " + size + " at " + place + " would cover cells that hold data in " +
                       AbsoluteAddress(area) + "; choose another output range or allow overwriting",
                   where);
  }
}

}  // namespace dez::embedded
