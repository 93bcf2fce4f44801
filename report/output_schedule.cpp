// clsHClusterOutput::OutputSchedule: the agglomeration schedule table.
#include <array>
#include <string>

#include "host/addin_library.h"
#include "host/range.h"
#include "report/clsHClusterOutput.h"
#include "report/required.h"
#include "runtime/error_trap.h"

namespace dez {

void clsHClusterOutput::OutputSchedule(const StringArray& labels, const Schedule& stepMatrix, bool difference) {
  ErrorTrap trap{"clsHClusterOutput", "OutputSchedule"};
  trap.AppendAs("OutputMatrix");
  trap.Run([&] {
    const Int16 n = CInt(labels.UBound());
    const Int16 s = CInt(std::int64_t{stepMatrix.UBound()} - n.get());  // number of steps, n - 1
    const char* levelHeading = difference ? "Distance" : "Similarity";
    // Cluster c is item c for c <= n, else the cluster made by step c - n.
    const auto clusterName = [&](Int16 c, std::source_location where = std::source_location::current()) {
      if (c > n) return "Cluster " + std::to_string((c - n).get());
      return labels.At(c.get(), where);
    };
    const host::RangePtr titleCell = Cell(currentRow_, 1);
    titleCell->SetValue("Clustering Strategy");
    formatter_->FormatTextLine(titleCell, false);
    currentRow_ = currentRow_ + Int32{1};
    const host::RangePtr headingRow = Block(currentRow_, 1, currentRow_, 4);
    const std::array<Variant, 4> headings{"Cluster", "1st Item", "2nd Item", levelHeading};
    headingRow->SetRowValues(headings);
    formatter_->FormatHeadingBand(headingRow, false);
    currentRow_ = currentRow_ + Int32{1};
    const Int16 last = n + s;
    for (Int16 e = n + Int16{std::int16_t{1}}; e <= last; e = e + Int16{std::int16_t{1}}) {
      const ScheduleEntry& entry = stepMatrix.At(e.get());
      PutCell(currentRow_, 1, static_cast<double>((e - n).get()));
      PutCell(currentRow_, 2, clusterName(entry.first));
      PutCell(currentRow_, 3, clusterName(entry.second));
      PutCell(currentRow_, 4, entry.level);
      currentRow_ = currentRow_ + Int32{1};
      if (e.get() == last.get()) break;  // the counter never steps past the last entry
    }
    const Int32 firstRow = currentRow_ - Int32{s};
    const Int32 lastRow = currentRow_ - Int32{1};
    formatter_->FormatValueBlock(Block(firstRow, 1, lastRow, 4), false);
    Block(firstRow, 1, lastRow, 1)->NumberFormat("0");
    Block(firstRow, 2, lastRow, 3)->HorizontalAlignment(report_detail::Required(hostConstants_)->AlignCenter());
  });
}

}  // namespace dez
