// clsHCluster::Results: checks the variables range, has the report made, places it.
#include <algorithm>
#include <cctype>
#include <string>

#include "controller/clsHCluster.h"
#include "dezezuvazoz/enums.h"
#include "dezezuvazoz/errors.h"
#include "host/application.h"
#include "host/worksheet.h"
#include "host/worksheet_function.h"
#include "runtime/checked_int.h"
#include "runtime/error_trap.h"

namespace dez {

namespace {
constexpr const char* kClass = "clsHCluster";

std::string UpperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
  return text;
}

[[noreturn]] void RaiseCheck(std::int32_t number, std::source_location where = std::source_location::current()) {
  Raise(number, {}, {}, where);
}
}  // namespace

void clsHCluster::Results(bool overWrite) { CheckAndRun(overWrite, true); }

void clsHCluster::AnalyseOnly() { CheckAndRun(false, false); }

void clsHCluster::CheckAndRun(bool overWrite, bool placeReport) {
  ErrorTrap trap{kClass, "Results"};
  trap.Run([&] {
    if (!dataRange_) RaiseCheck(AddinErrorNumber(addin_error::kNoVarRange));
    if (dataRange_->AreasCount() > 1) RaiseCheck(AddinErrorNumber(addin_error::kMultipleAreas));
    const Int32 rows = CLng(dataRange_->RowsCount());
    const Int16 columns = CInt(dataRange_->ColumnsCount() - (headers_ ? 1 : 0));
    if (rows - Int32(clusterType_ == dezEZuvazozMixed ? 1 : 0) < Int32(2)) {
      RaiseCheck(AddinErrorNumber(addin_error::kTooFewCases));
    }
    if (columns < Int16(std::int16_t{2}) && method_ != dezEZuvazozMethWards) {
      RaiseCheck(AddinErrorNumber(addin_error::kTooFewVariables));
    }
    const host::RangePtr block = context_.hostAccess->HostApplication()->Range(
        dataRange_->Cells(1, 1 + (headers_ ? 1 : 0)), dataRange_->Cells(rows.get(), dataRange_->ColumnsCount()));
    CheckDataBlock(block, rows.get(), columns.get());
    if (!reportRange_ || !placeReport) reportRange_ = GetResults(itemLabels_, placeReport);
    if (!placeReport) return;  // AnalyseOnly: the engine has run, no report is made

    if (!outputCell_) {
      const host::WorksheetPtr sheet = context_.hostAccess->HostApplication()->WorksheetsAdd();
      sheet->MoveAfter(sheet->Parent()->Worksheets(sheet->Parent()->WorksheetsCount()));
      outputCell_ = sheet->Cells(1, 1);
    }
    context_.dataChecks->CheckOutputArea(outputCell_, CLng(reportRange_->ColumnsCount()).get(),
                                         CLng(reportRange_->RowsCount()).get(), overWrite);
    outputCell_->Worksheet()->Parent()->Activate();
    outputCell_->Worksheet()->Activate();
    if (progress_) progress_("placing the report", 0.0);
    reportRange_->Copy();
    outputCell_->Cells(1, 1)->PasteSpecial(context_.hostConstants->PasteAll());

    if (itemLabels_.UBound() <= 250 && graphDend_ && !engine_->Undefined()) {
      // The limits are read first: their first read lays the tree out in the schedule,
      // so a report cached without a dendrogram still gets a laid-out chart.
      double minVal = engine_->MinVal();
      double maxVal = engine_->MaxVal();
      GraphDendrogram(engine_->StepMatrixView(), itemLabels_, minVal, maxVal, CLng(reportRange_->RowsCount()).get());
    }
    outputCell_->Cells(1, 1)->Select();
    Discard();
  });
}

void clsHCluster::CheckDataBlock(const host::RangePtr& block, std::int32_t rows, std::int16_t columns) {
  const host::WorksheetFunctionPtr functions = context_.hostAccess->HostApplication()->WorksheetFunction();
  const double cells = static_cast<double>(columns) * static_cast<double>(rows);
  std::int32_t unused = 0;
  switch (clusterType_) {
    case dezEZuvazozBinomial:
      if (functions->CountIf(block, Variant(1.0)) + functions->CountIf(block, Variant(0.0)) != cells) {
        RaiseCheck(dezEZuvazozInvalidBinData);
      }
      context_.dataChecks->CheckDataBlock(block, headers_, 3, 0, 0, -1, 0, 0, 0, 0, unused);
      break;
    case dezEZuvazozMetric:
      if (functions->Count(block) != cells) RaiseCheck(dezEZuvazozInvalidMixedQuantData);
      context_.dataChecks->CheckDataBlock(block, headers_, 3, 0, 0, -1, 0, 0, 0, 0, unused);
      break;
    case dezEZuvazozMixed:
      CheckMixedColumns(block, columns);
      break;
    case dezEZuvazozDifference:
    case dezEZuvazozSimilarity:
      if (functions->Count(block) != cells) RaiseCheck(dezEZuvazozInvalidDiffData);
      if (block->RowsCount() != block->ColumnsCount()) RaiseCheck(dezEZuvazozInvalidDiffData);
      break;
    default:
      break;
  }
}

void clsHCluster::CheckMixedColumns(const host::RangePtr& block, std::int16_t columns) {
  const host::WorksheetFunctionPtr functions = context_.hostAccess->HostApplication()->WorksheetFunction();
  for (std::int16_t k = 1; k <= columns; ++k) {
    const host::RangePtr column = block->Columns(k);
    const std::string type = UpperCase(column->Cells(1, 1)->CellValue().ToText());
    const std::int32_t n = column->RowsCount();
    if (type == "BIN") {
      for (std::int32_t i = 2; i <= n; ++i) {
        const Variant v = column->Cells(i, 1)->CellValue();
        if (!CellEquals(v, Variant(1.0)) && !CellEquals(v, Variant(0.0))) RaiseCheck(dezEZuvazozInvalidMixedBinData);
      }
      if (functions->Var(column) == 0.0) RaiseCheck(AddinErrorNumber(addin_error::kNoVariation));
    } else if (type == "QUANT") {
      if (functions->Count(column) != static_cast<double>(n - 1)) RaiseCheck(dezEZuvazozInvalidMixedQuantData);
      if (functions->Var(column) == 0.0) RaiseCheck(AddinErrorNumber(addin_error::kNoVariation));
    } else if (type == "QUAL") {
      if (functions->CountA(column) != static_cast<double>(n)) RaiseCheck(dezEZuvazozInvalidMixedQualData);
      const Variant first = column->Cells(2, 1)->CellValue();
      bool varies = false;
      for (std::int32_t i = 3; i <= n && !varies; ++i) varies = !CellEquals(column->Cells(i, 1)->CellValue(), first);
      if (!varies) RaiseCheck(AddinErrorNumber(addin_error::kNoVariation));
    } else {
      RaiseCheck(dezEZuvazozInvalidMixedHeader);
    }
  }
}

}  // namespace dez
