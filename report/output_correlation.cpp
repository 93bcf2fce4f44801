// clsHClusterOutput::OutputCorrelation: the cophenetic correlation table.
#include "host/range.h"
#include "report/clsHClusterOutput.h"
#include "report/row_arithmetic.h"
#include "runtime/error_trap.h"

namespace dez {

using report_detail::Plus;

void clsHClusterOutput::OutputCorrelation(double r, std::int32_t df, double p) {
  ErrorTrap trap{"clsHClusterOutput", "OutputCorrelation"};
  trap.Run([&] {
    const host::RangePtr titleCell = Cell(currentRow_, 1);
    titleCell->SetValue("Cophenetic Correlation");
    formatter_->FormatTextLine(titleCell, false);
    currentRow_ = Plus(currentRow_, 1);
    const Int32 h = currentRow_;
    PutCell(h, 1, "R");
    PutCell(h, 2, "DF");
    PutCell(h, 3, "P");
    formatter_->FormatHeadingBand(Block(h, 1, h, 3), false);
    const Int32 values = Plus(h, 1);
    PutCell(values, 1, r);
    PutCell(values, 2, static_cast<double>(df));
    PutCell(values, 3, p);
    formatter_->FormatValueBlock(Block(values, 1, values, 3), false);
    Cell(values, 2)->NumberFormat("0");  // degrees of freedom as a whole number
    currentRow_ = Plus(h, 2);
  });
}

}  // namespace dez
