// clsHCluster::FormatSimpleResults: turns the engine's results into the report.
#include <string>
#include <vector>

#include "controller/clsHCluster.h"
#include "dezezuvazoz/enums.h"
#include "host/worksheet.h"
#include "report/clsHClusterOutput.h"
#include "runtime/checked_int.h"
#include "runtime/error_trap.h"

namespace dez {

namespace {
constexpr std::int32_t kMaxChartItems = 250;

bool IsDistanceMeasure(std::int32_t clusterType, std::int32_t measure) {
  if (clusterType == dezEZuvazozBinomial) {
    return measure == dezEZuvazozSMBEuclidean || measure == dezEZuvazozSMBPattern ||
           measure == dezEZuvazozSMBSqrdEuclidean || measure == dezEZuvazozSMBVariance;
  }
  return measure != dezEZuvazozSMMCorrelation;  // metric data
}

// The row number of an absolute address such as $B$5: the digits after the second "$".
std::int32_t RowOfAddress(const std::string& address) {
  const auto second = address.find('$', 1);
  std::int32_t row = 0;
  for (std::size_t i = second + 1; i < address.size() && address[i] >= '0' && address[i] <= '9'; ++i) {
    row = row * 10 + (address[i] - '0');
  }
  return row;
}
}  // namespace

StringArray clsHCluster::ReportLabels() const {
  const std::int32_t skip = clusterType_ == dezEZuvazozMixed ? 1 : 0;
  const Int16 items = CInt(dataRange_->RowsCount() - skip);
  std::vector<std::string> labels;
  labels.reserve(static_cast<std::size_t>(std::max<std::int16_t>(items.get(), 0)));
  if (headers_) {
    for (std::int32_t i = 1; i <= items.get(); ++i) labels.push_back(dataRange_->Cells(i + skip, 1)->CellValue().ToText());
  } else {
    const std::int32_t firstRow = RowOfAddress(dataRange_->Cells(1 + skip, 1)->Address());
    for (std::int32_t i = 0; i < items.get(); ++i) labels.push_back("Row " + std::to_string(firstRow + i));
  }
  return StringArray(std::move(labels));
}

host::RangePtr clsHCluster::FormatSimpleResults(StringArray& itemLabels) {
  ErrorTrap trap{"clsHCluster", "FormatSimpleResults"};
  return trap.Run([&]() -> host::RangePtr {
    if (progress_) progress_("writing the report", 0.0);
    clsHClusterOutput writer(context_);
    if (progress_) writer.SetProgress(progress_);

    const StringArray L = ReportLabels();

    writer.Method(method_);
    writer.MethodText(methodText_);
    writer.ClusterType(clusterType_);
    writer.Measure(measure_);
    const bool squaredEuclidean = method_ == dezEZuvazozMethCentroid || method_ == dezEZuvazozMethWards;
    writer.MeasureText(squaredEuclidean ? "Squared Euclidean Distance" : measureText_);
    writer.Power(power_);
    writer.OutputHeader(dataRange_->Worksheet()->Name() + "!" + dataRange_->Address(), "");
    writer.InsertBlankLines(1);

    if (engine_->Undefined()) {
      writer.OutputComment("There are undefined numbers in the", 0, false);
      writer.OutputComment("distance/similarity matrix.", 0, false);
      writer.OutputComment("Execution was halted.", 0, false);
      writer.InsertBlankLines(1);
    } else {
      const Int16 maxCols = outputCell_ ? CInt(256 - outputCell_->Cells(1, 1)->Column()) : CInt(255);
      // The matrix of centroid and Ward's runs on binomial and metric data holds squared
      // Euclidean distances whatever measure was chosen, so its title names them.
      const bool substituted = squaredEuclidean &&
                               (clusterType_ == dezEZuvazozBinomial || clusterType_ == dezEZuvazozMetric);
      const std::string mt = substituted ? "Squared Euclidean Distance" : measureText_;
      std::string title;
      switch (clusterType_) {
        case dezEZuvazozBinomial:
        case dezEZuvazozMetric:
          title = (IsDistanceMeasure(clusterType_, measure_) ? "Distance Matrix (" : "Similarity Matrix (") + mt + ")";
          break;
        case dezEZuvazozMixed: title = "Similarity Matrix (" + mt + ")"; break;
        case dezEZuvazozDifference: title = "Distance Matrix"; break;
        case dezEZuvazozSimilarity: title = "Similarity Matrix"; break;
        default: break;
      }
      if (!noMatrix_) {
        if (!title.empty()) writer.OutputMatrix(L, L, engine_->DistanceMatrixView(), title, Variant(), maxCols.get());
        writer.InsertBlankLines(1);
      }
      writer.OutputSchedule(L, engine_->StepMatrixView(), engine_->Difference());
      writer.InsertBlankLines(1);
      if (!membershipCounts_.empty() || membershipCutLevel_) {
        writer.OutputMembership(L, ClusterCuts(engine_->StepMatrixView(), L.UBound(), membershipCounts_,
                                                 membershipCutLevel_, engine_->Difference()));
        writer.InsertBlankLines(1);
      }
      writer.OutputCorrelation(engine_->CopheneticR(), engine_->CopheneticDF(), engine_->CopheneticP());
      writer.InsertBlankLines(1);
      double minVal = 0.0;
      double maxVal = 0.0;
      if (textDend_ || graphDend_) {
        minVal = engine_->MinVal();
        maxVal = engine_->MaxVal();
      }
      if (textDend_) {
        writer.OutputComment("Dendrogram", 0, false);
        writer.DrawDendrogram(engine_->StepMatrixView(), L, minVal, maxVal, engine_->Difference());
        writer.InsertBlankLines(1);
      }
      if (L.UBound() > kMaxChartItems && graphDend_) {
        writer.OutputComment("A graphical dendrogram cannot be produced for a dataset with > 250 cases.", 0, false);
        writer.InsertBlankLines(1);
      }
    }
    itemLabels = L;
    return writer.Results();
  });
}

}  // namespace dez
