// clsHCluster::GetResults: hands the options and cell values to the engine and runs it.
#include <memory>

#include "controller/clsHCluster.h"
#include "dezezuvazoz/enums.h"
#include "host/application.h"
#include "runtime/error_trap.h"

namespace dez {

namespace {
// The squared Euclidean measure of a data type that has one.
std::int32_t SquaredEuclideanOf(std::int32_t clusterType) {
  if (clusterType == dezEZuvazozBinomial) return dezEZuvazozSMBSqrdEuclidean;
  return dezEZuvazozSMMSqrdEuclidean;
}
}  // namespace

host::RangePtr clsHCluster::GetResults(StringArray& itemLabels, bool assemble) {
  ErrorTrap trap{"clsHCluster", "GetResults"};
  return trap.Run([&]() -> host::RangePtr {
    engine_->ClusterType(clusterType_);
    engine_->Method(method_);
    if (clusterType_ == dezEZuvazozBinomial || clusterType_ == dezEZuvazozMetric) {
      const std::int32_t squared = SquaredEuclideanOf(clusterType_);
      const char* notice = nullptr;
      if (method_ == dezEZuvazozMethCentroid && measure_ != squared) {
        notice = "The Squared Euclidean Distance will be used for the Centroid Method.";
      } else if (method_ == dezEZuvazozMethWards && measure_ != squared) {
        notice = "The Squared Euclidean Distance will be used for Wards Method.";
      }
      if (notice != nullptr) {
        context_.messageBox->Show(notice, "Distance Measure", host::kMsgBoxExclamation);
        measure_ = squared;  // stays substituted for later analyses of this object
      }
    }
    engine_->Measure(measure_);
    engine_->Power(power_);

    const std::int32_t firstRow = clusterType_ == dezEZuvazozMixed ? 2 : 1;
    const std::int32_t firstColumn = headers_ ? 2 : 1;
    const std::int32_t lastRow = dataRange_->RowsCount();
    const std::int32_t lastColumn = dataRange_->ColumnsCount();
    engine_->Data(context_.hostAccess->HostApplication()
                      ->Range(dataRange_->Cells(firstRow, firstColumn), dataRange_->Cells(lastRow, lastColumn))
                      ->Value());
    std::unique_ptr<host::clsStatistics> conversion;
    const auto converter = [&]() -> host::clsStatistics& {
      if (!conversion) conversion = context_.newStatistics();
      return *conversion;
    };
    if (clusterType_ == dezEZuvazozMixed) {
      engine_->MixedVarType(converter().ToStringArray(
          context_.hostAccess->HostApplication()
              ->Range(dataRange_->Cells(1, firstColumn), dataRange_->Cells(1, lastColumn))
              ->Value()));
    }
    if (headers_) {
      engine_->Labels(converter().ToStringArray(
          context_.hostAccess->HostApplication()
              ->Range(dataRange_->Cells(firstRow, 1), dataRange_->Cells(lastRow, 1))
              ->Value()));
    }
    engine_->Analyse();
    conversion.reset();
    if (!assemble) {
      itemLabels = ReportLabels();
      return nullptr;
    }
    return FormatSimpleResults(itemLabels);
  });
}

}  // namespace dez
