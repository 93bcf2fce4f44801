// clsHClusterOutput::OutputHeader: the block of lines that opens every report.
#include <string>

#include "host/range.h"
#include "host/worksheet.h"
#include "dezezuvazoz/enums.h"
#include "report/clsHClusterOutput.h"
#include "report/row_arithmetic.h"
#include "runtime/error_trap.h"

namespace dez {

using report_detail::Plus;

namespace {
/// The heading range of the header: fixed cells, not taken from the cursor, because the
/// header always opens the report at row 1.
constexpr const char* kHeadingRangeFourLines = "A1:A4";
constexpr const char* kHeadingRangeThreeLines = "A1:A3";
}  // namespace

void clsHClusterOutput::OutputHeader(const std::string& yRange, const std::string& comment) {
  ErrorTrap trap{"clsHClusterOutput", "OutputHeader"};
  trap.Run([&] {
    const Int32 r = currentRow_;
    const std::string methodLine = "Cluster Method = " + methodText_;
    std::string measureLine = "Distance/Similarity Measure = " + measureText_;
    if (clusterType_.get() == dezEZuvazozMetric && measure_.get() == dezEZuvazozSMMMinkowski) {
      measureLine += " Power " + std::to_string(power_.get());
    }
    PutCell(r, 1, "Hierarchical Clustering Results for:");
    // The data-set line and the lines below it, by data type; types 3 and 4 have no
    // measure line. Any other type writes the title only.
    const char* dataSet = nullptr;
    switch (clusterType_.get()) {
      case dezEZuvazozBinomial: dataSet = "Binomial Data Set = "; break;
      case dezEZuvazozMetric: dataSet = "Quantitative Data Set = "; break;
      case dezEZuvazozMixed: dataSet = "Mixed Data Set = "; break;
      case dezEZuvazozDifference: dataSet = "Distance Matrix = "; break;
      case dezEZuvazozSimilarity: dataSet = "Similarity Matrix = "; break;
      default: break;
    }
    const bool matrixInput =
        clusterType_.get() == dezEZuvazozDifference || clusterType_.get() == dezEZuvazozSimilarity;
    if (dataSet != nullptr) {
      PutCell(Plus(r, 1), 1, std::string(dataSet) + yRange);
      if (matrixInput) {
        PutCell(Plus(r, 2), 1, methodLine);
      } else {
        PutCell(Plus(r, 2), 1, measureLine);
        PutCell(Plus(r, 3), 1, methodLine);
      }
      const char* headingRange = matrixInput ? kHeadingRangeThreeLines : kHeadingRangeFourLines;
      formatter_->FormatTextLine(sheet_->Range(headingRange), true);
    }
    currentRow_ = Plus(r, matrixInput ? 3 : 4);
    if (!comment.empty()) {
      const host::RangePtr cell = Cell(currentRow_, 1);
      cell->SetValue(comment);
      formatter_->FormatTextLine(cell, true);
      currentRow_ = Plus(currentRow_, 1);
    }
  });
}

}  // namespace dez
