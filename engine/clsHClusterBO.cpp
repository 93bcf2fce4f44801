// clsHClusterBO: creation, properties and the analysis driver. The builders, the
// agglomeration, the cophenetic correlation and the layout live in files of their own.
#include "engine/clsHClusterBO.h"

#include <optional>
#include <utility>

#include "engine/call_site.h"
#include "engine/measure_table.h"
#include "engine/parallel_rows.h"
#include "dezezuvazoz/enums.h"
#include "runtime/error_trap.h"

namespace dez {

namespace {

constexpr const char* kClass = "clsHClusterBO";
using Form = ErrorTrap::Form;

}  // namespace

// ---- creation and end ----

clsHClusterBO::clsHClusterBO(host::AddinContext& context) : context_(context) {
  ErrorTrap trap{kClass, "class_Initialize"};
  trap.AppendSeparator(":");
  trap.Run([&] { statistics_ = AtCallSite([&] { return NewStatistics(); }); });
}

// Releases the statistics object; its destructor cannot fail.
clsHClusterBO::~clsHClusterBO() = default;

std::unique_ptr<host::clsStatistics> clsHClusterBO::NewStatistics() const {
  if (!context_.newStatistics) Raise(fault::kObjectNotSet);
  std::unique_ptr<host::clsStatistics> statistics = context_.newStatistics();
  if (!statistics) Raise(fault::kObjectNotSet);
  return statistics;
}

// ---- write properties ----

void clsHClusterBO::Data(const VariantMatrix& data) {
  ErrorTrap trap{kClass, "LetData", Form::kLabel};
  trap.Run([&] { data_ = data; });
}

void clsHClusterBO::Labels(const StringMatrix& labels) {
  ErrorTrap trap{kClass, "LetLabels", Form::kLabel};
  trap.Run([&] { labels_ = labels; });
}

void clsHClusterBO::Measure(std::int32_t code) {
  ErrorTrap trap{kClass, "LetMeasure", Form::kLabel};
  trap.Run([&] {
    measure_ = code;
    // The ClusterType held now decides, so the controller sets ClusterType first.
    if (const MeasureFacts* facts = FindMeasure(clusterType_, code)) difference_ = facts->distance;
  });
}

void clsHClusterBO::Method(std::int32_t code) {
  ErrorTrap trap{kClass, "LetMethod", Form::kLabel};
  trap.Run([&] { method_ = code; });
}

void clsHClusterBO::ClusterType(std::int32_t code) {
  ErrorTrap trap{kClass, "LetClusterType", Form::kLabel};
  trap.Run([&] { clusterType_ = code; });
}

void clsHClusterBO::Power(std::int16_t& power) {
  ErrorTrap trap{kClass, "LetPower", Form::kLabel};
  trap.Run([&] {
    if (power < 0 || power > 9) power = 1;  // the caller's variable is corrected too
    power_ = power;
  });
}

void clsHClusterBO::MixedVarType(const StringMatrix& types) {
  ErrorTrap trap{kClass, "LetMixedVarType", Form::kLabel};
  trap.Run([&] { mixedVarType_ = types; });
}

// ---- read properties ----

DoubleMatrix clsHClusterBO::DistanceMatrix() const {
  ErrorTrap trap{kClass, "GetDistanceMatrix", Form::kLabel};
  return trap.Run([&] { return distanceMatrix_; });
}

const DoubleMatrix& clsHClusterBO::DistanceMatrixView() const { return distanceMatrix_; }

Schedule clsHClusterBO::StepMatrix() const {
  ErrorTrap trap{kClass, "GetStepMatrix", Form::kLabel};
  return trap.Run([&] { return stepMatrix_; });
}

const Schedule& clsHClusterBO::StepMatrixView() const { return stepMatrix_; }

bool clsHClusterBO::Difference() const {
  ErrorTrap trap{kClass, "GetDifference", Form::kLabel};
  return trap.Run([&] { return difference_; });
}

// The limit getters are not simple properties: an error of the layout they run reaches
// the caller with its own source and the getter's name appended.
double clsHClusterBO::MinVal() {
  ErrorTrap trap{kClass, "GetMinVal"};  // passes a layout error on: "...CalcGraphLimits.GetMinVal"
  return trap.Run([&] {
    if (minVal_ == 0.0 && maxVal_ == 0.0) AtCallSite([&] { CalcGraphLimits(); });
    return minVal_;
  });
}

double clsHClusterBO::MaxVal() {
  ErrorTrap trap{kClass, "GetMaxVal"};  // passes a layout error on: "...CalcGraphLimits.GetMaxVal"
  return trap.Run([&] {
    if (minVal_ == 0.0 && maxVal_ == 0.0) AtCallSite([&] { CalcGraphLimits(); });
    return maxVal_;
  });
}

bool clsHClusterBO::Undefined() const {
  ErrorTrap trap{kClass, "GetUndefined", Form::kLabel};
  return trap.Run([&] { return undefined_; });
}

double clsHClusterBO::CopheneticR() const {
  ErrorTrap trap{kClass, "GetCopheneticR", Form::kLabel};
  return trap.Run([&] { return copheneticR_; });
}

double clsHClusterBO::CopheneticP() const {
  ErrorTrap trap{kClass, "GetCopheneticP", Form::kLabel};
  return trap.Run([&] { return copheneticP_; });
}

std::int32_t clsHClusterBO::CopheneticDF() const {
  ErrorTrap trap{kClass, "GetCopheneticDF", Form::kLabel};
  return trap.Run([&] { return copheneticDF_; });
}

void clsHClusterBO::SetProgress(std::function<void(const char* phase, double fraction)> progress) {
  progress_ = std::move(progress);
}

// ---- the analysis ----

// The statistics instance of the matrix types lives inside the trapped body, so it is
// released before the trap raises an error again. An error already labelled by
// ReduceMatrix or GetCopheneticR gets ".Analyse" appended; any other is labelled here.
void clsHClusterBO::Analyse() {
  ErrorTrap trap{kClass, "Analyse"};
  trap.Run([&] {
    std::unique_ptr<host::clsStatistics> statistics;
    minVal_ = 0.0;
    maxVal_ = 0.0;
    undefined_ = false;  // the cophenetic fields are not reset
    std::optional<ScopedRowProgress> rowProgress;
    if (progress_) rowProgress.emplace([this](double fraction) { progress_("DistanceMatrix", fraction); });
    switch (clusterType_) {
      case dezEZuvazozBinomial:
        distanceMatrix_ = AtCallSite([&] { return CalcBinomialMatrix(data_, "1", "0", measure_); });
        break;
      case dezEZuvazozMetric: {
        std::int16_t exponent = 0;  // the builder reads Power itself
        distanceMatrix_ = AtCallSite([&] { return CalcMetricMatrix(data_, measure_, exponent); });
        break;
      }
      case dezEZuvazozMixed: {
        std::optional<DoubleMatrix> mixed =
            AtCallSite([&] { return CalcMixedMatrix(data_, mixedVarType_, "1", "0"); });
        distanceMatrix_ = mixed ? std::move(*mixed) : DoubleMatrix();
        difference_ = false;  // the mixed measure is a similarity
        break;
      }
      case dezEZuvazozDifference:
      case dezEZuvazozSimilarity:
        statistics = AtCallSite([&] { return NewStatistics(); });
        distanceMatrix_ = statistics->ToDoubleMatrix(data_);
        difference_ = clusterType_ == dezEZuvazozDifference;
        break;
      default: break;  // no matrix is built
    }
    rowProgress.reset();
    if (!undefined_) {
      AtCallSite([&] { ReduceMatrix(distanceMatrix_, stepMatrix_, method_); });
      if (progress_) rowProgress.emplace([this](double fraction) { progress_("GetCopheneticR", fraction); });
      AtCallSite([&] { GetCopheneticR(distanceMatrix_, stepMatrix_); });
      rowProgress.reset();
    }
    statistics.reset();
  });
}

}  // namespace dez
