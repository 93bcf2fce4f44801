// clsHClusterOutput::OutputMembership: the cluster membership table.
#include <string>
#include <vector>

#include "host/addin_library.h"
#include "host/range.h"
#include "report/clsHClusterOutput.h"
#include "report/required.h"
#include "report/row_arithmetic.h"
#include "runtime/error_trap.h"

namespace dez {

using report_detail::Minus;
using report_detail::Plus;

void clsHClusterOutput::OutputMembership(const StringArray& labels, const std::vector<ClusterCut>& cuts) {
  ErrorTrap trap{"clsHClusterOutput", "OutputMembership"};
  trap.Run([&] {
    const Int16 n = CInt(labels.UBound());
    const Int16 columns = CInt(static_cast<std::int64_t>(cuts.size()) + 1);
    const host::RangePtr titleCell = Cell(currentRow_, 1);
    titleCell->SetValue("Cluster Membership");
    formatter_->FormatTextLine(titleCell, false);
    currentRow_ = Plus(currentRow_, 1);
    std::vector<Variant> headings{"Item"};
    for (const ClusterCut& cut : cuts) headings.emplace_back(std::to_string(cut.k) + " Clusters");
    const host::RangePtr headingRow = Block(currentRow_, 1, currentRow_, columns);
    headingRow->SetRowValues(headings);
    formatter_->FormatHeadingBand(headingRow, false);
    currentRow_ = Plus(currentRow_, 1);
    for (std::int32_t i = 1; i <= n.get(); ++i) {
      PutCell(currentRow_, 1, labels.At(i));
      for (std::size_t c = 0; c < cuts.size(); ++c) {
        PutCell(currentRow_, static_cast<std::int32_t>(c) + 2,
                static_cast<double>(cuts[c].clusterOfItem.at(static_cast<std::size_t>(i - 1))));
      }
      currentRow_ = Plus(currentRow_, 1);
    }
    const Int32 firstRow = Minus(currentRow_, n);
    const Int32 lastRow = Minus(currentRow_, 1);
    formatter_->FormatValueBlock(Block(firstRow, 1, lastRow, columns), false);
    Block(firstRow, 2, lastRow, columns)->NumberFormat("0");
    Block(firstRow, 1, lastRow, 1)->HorizontalAlignment(report_detail::Required(hostConstants_)->AlignCenter());
    if (usedColumns_.get() < columns.get()) usedColumns_ = columns;
  });
}

}  // namespace dez
