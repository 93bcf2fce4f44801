// clsHClusterOutput: creation, release, options, the write cursor and Results.
#include "report/clsHClusterOutput.h"

#include "host/application.h"
#include "host/range.h"
#include "host/worksheet.h"
#include "report/required.h"
#include "report/row_arithmetic.h"
#include "runtime/error_trap.h"

namespace dez {

using report_detail::Plus;
using report_detail::Required;

namespace {
constexpr const char* kClass = "clsHClusterOutput";
constexpr const char* kAddinWorkbook = "Korvel.xla";
constexpr const char* kScratchSheet = "Results";
/// Width given to a report that has neither a matrix table nor a text dendrogram.
constexpr std::int16_t kMinimumReportWidth = 6;
}  // namespace

// ---- creation and release ----

clsHClusterOutput::clsHClusterOutput(host::AddinContext& context) {
  ErrorTrap trap{kClass, "Initialize"};
  trap.Run([&] {
    app_ = Required(Required(context.hostAccess)->HostApplication());
    sheet_ = Required(Required(app_->Workbooks(kAddinWorkbook))->Worksheets(kScratchSheet));
    settings_ = Required(context.newReportSettings)();
    Required(settings_);
    formatter_ = Required(context.newCellFormatter)();
    Required(formatter_);
    hostConstants_ = context.hostConstants;
    Required(sheet_->Cells())->Clear();
    Required(Required(sheet_->Cells())->Interior())->ColorIndex(settings_->BackColorIndex());
    currentRow_ = 1;
    usedColumns_ = std::int16_t{1};
    method_ = 0;
  });
}

// Release: the references to the sheet, the application and the library objects are
// dropped; dropping a reference cannot fail, so there is no error to ignore.
clsHClusterOutput::~clsHClusterOutput() = default;

// ---- Results ----

host::RangePtr clsHClusterOutput::Results() {
  ErrorTrap trap{kClass, "GetResults", ErrorTrap::Form::kLabel};
  return trap.Run([&] {
    formatter_->FormatTextLine(Cell(currentRow_, 1), true);
    if (usedColumns_.get() == 1) usedColumns_ = kMinimumReportWidth;
    return Block(1, 1, currentRow_, usedColumns_);
  });
}

// ---- options ----

void clsHClusterOutput::Method(std::int32_t method) {
  ErrorTrap trap{kClass, "LetMethod", ErrorTrap::Form::kLabel};
  trap.Run([&] { method_ = method; });
}

void clsHClusterOutput::MethodText(const std::string& methodText) {
  ErrorTrap trap{kClass, "LetMethodText", ErrorTrap::Form::kLabel};
  trap.Run([&] { methodText_ = methodText; });
}

void clsHClusterOutput::Measure(std::int32_t measure) {
  ErrorTrap trap{kClass, "LetMeasure", ErrorTrap::Form::kLabel};
  trap.Run([&] { measure_ = measure; });
}

void clsHClusterOutput::MeasureText(const std::string& measureText) {
  ErrorTrap trap{kClass, "LetMeasureText", ErrorTrap::Form::kLabel};
  trap.Run([&] { measureText_ = measureText; });
}

void clsHClusterOutput::ClusterType(std::int32_t clusterType) {
  ErrorTrap trap{kClass, "LetClusterType", ErrorTrap::Form::kLabel};
  trap.Run([&] { clusterType_ = clusterType; });
}

void clsHClusterOutput::Power(std::int16_t power) {
  ErrorTrap trap{kClass, "LetPower", ErrorTrap::Form::kLabel};
  trap.Run([&] { power_ = power; });
}

// ---- cursor operations ----

void clsHClusterOutput::InsertBlankLines(std::int16_t n) {
  ErrorTrap trap{kClass, "InsertBlankLines"};
  trap.Run([&] { currentRow_ = Plus(currentRow_, n); });
}

void clsHClusterOutput::OutputComment(const std::string& comment, std::int16_t numBlankLines, bool heading) {
  ErrorTrap trap{kClass, "OutputComment"};
  trap.Run([&] {
    const host::RangePtr cell = Cell(currentRow_, 1);
    cell->SetValue(comment);
    formatter_->FormatTextLine(cell, heading);
    currentRow_ = Plus(currentRow_, numBlankLines, 1);
  });
}

// ---- cell access ----

host::RangePtr clsHClusterOutput::Cell(Int32 row, Int32 column, Loc where) const {
  return Required(Required(sheet_, where)->Cells(row.get(), column.get(), where), where);
}

void clsHClusterOutput::PutCell(Int32 row, Int32 column, const Variant& value, Loc where) const {
  Cell(row, column, where)->SetValue(value, where);
}

host::RangePtr clsHClusterOutput::Block(Int32 row1, Int32 column1, Int32 row2, Int32 column2, Loc where) const {
  return Required(Required(app_, where)->Range(Cell(row1, column1, where), Cell(row2, column2, where), where),
                  where);
}

}  // namespace dez
