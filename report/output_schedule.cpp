// clsHClusterOutput::OutputSchedule: the agglomeration schedule table.
#include <array>
#include <string>

#include "host/addin_library.h"
#include "host/range.h"
#include "report/clsHClusterOutput.h"
#include "report/required.h"
#include "report/row_arithmetic.h"
#include "runtime/error_trap.h"

namespace dez {

using report_detail::Minus;
using report_detail::Plus;

void clsHClusterOutput::OutputSchedule(const StringArray& labels, const Schedule& stepMatrix, bool difference) {
  ErrorTrap trap{"clsHClusterOutput", "OutputSchedule"};
  trap.AppendAs("OutputMatrix");
  trap.Run([&] {
    const Int16 n = CInt(labels.UBound());
    const Int16 s = CInt(std::int64_t{stepMatrix.UBound()} - n.get());  // number of steps, n - 1
    const Int16 first = CInt(std::int64_t{n.get()} + 1);
    const Int16 last = CInt(std::int64_t{n.get()} + s.get());
    const char* levelHeading = difference ? "Distance" : "Similarity";
    // Cluster c is item c for c <= n, else the cluster made by step c - n.
    const auto clusterName = [&](std::int16_t c, std::source_location where = std::source_location::current()) {
      if (c > n.get()) return "Cluster " + std::to_string(c - n.get());
      return labels.At(c, where);
    };
    const host::RangePtr titleCell = Cell(currentRow_, 1);
    titleCell->SetValue("Clustering Strategy");
    formatter_->FormatTextLine(titleCell, false);
    currentRow_ = Plus(currentRow_, 1);
    const host::RangePtr headingRow = Block(currentRow_, 1, currentRow_, 4);
    const std::array<Variant, 4> headings{"Cluster", "1st Item", "2nd Item", levelHeading};
    headingRow->SetRowValues(headings);
    formatter_->FormatHeadingBand(headingRow, false);
    currentRow_ = Plus(currentRow_, 1);
    for (std::int32_t e = first.get(); e <= last.get(); ++e) {
      const ScheduleEntry& entry = stepMatrix.At(e);
      PutCell(currentRow_, 1, static_cast<double>(e - n.get()));
      PutCell(currentRow_, 2, clusterName(entry.first));
      PutCell(currentRow_, 3, clusterName(entry.second));
      PutCell(currentRow_, 4, entry.level);
      currentRow_ = Plus(currentRow_, 1);
    }
    const Int32 firstRow = Minus(currentRow_, s);
    const Int32 lastRow = Minus(currentRow_, 1);
    formatter_->FormatValueBlock(Block(firstRow, 1, lastRow, 4), false);
    Block(firstRow, 1, lastRow, 1)->NumberFormat("0");
    Block(firstRow, 2, lastRow, 3)->HorizontalAlignment(report_detail::Required(hostConstants_)->AlignCenter());
  });
}

}  // namespace dez
