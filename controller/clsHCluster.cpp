// clsHCluster: creation, the option setters and the address setters.
#include "controller/clsHCluster.h"

#include <utility>

#include "dezezuvazoz/errors.h"
#include "host/application.h"
#include "runtime/error_trap.h"

namespace dez {

namespace {
constexpr const char* kClass = "clsHCluster";

// Stores `value` in `field`, discarding the cached report when it really changes.
template <class T>
void StoreOption(T& field, const T& value, host::RangePtr& cachedReport) {
  if (field != value) cachedReport.reset();
  field = value;
}

// The address setters map errors instead of annotating them: the add-in's own band
// passes unchanged, anything else (the host failing to resolve the text) becomes
// `mappedOffset`, keeping the failure's source and description.
template <class Body>
void MapAddressErrors(std::int32_t mappedOffset, Body&& body) {
  try {
    body();
  } catch (Error& e) {
    if (!IsAddinBandNumber(e.number)) e.number = AddinErrorNumber(mappedOffset);
    throw;
  }
}
}  // namespace

clsHCluster::clsHCluster(host::AddinContext& context) : context_(context) {
  ErrorTrap trap{kClass, "Class_Initialize"};
  trap.Run([&] {
    engine_ = std::make_unique<clsHClusterBO>(context_);
  });
}

// Destruction ignores every error: members release themselves.
clsHCluster::~clsHCluster() = default;

void clsHCluster::Headers(bool value) {
  ErrorTrap{kClass, "LetHeaders", ErrorTrap::Form::kLabel}.Run([&] { StoreOption(headers_, value, reportRange_); });
}

void clsHCluster::TextDend(bool value) {
  ErrorTrap{kClass, "LetTextDend", ErrorTrap::Form::kLabel}.Run([&] { StoreOption(textDend_, value, reportRange_); });
}

void clsHCluster::GraphDend(bool value) {
  // The chart is drawn after the report is placed: a cached report stays valid.
  ErrorTrap{kClass, "LetGraphDend", ErrorTrap::Form::kLabel}.Run([&] { graphDend_ = value; });
}

void clsHCluster::Method(std::int32_t value) {
  ErrorTrap{kClass, "LetMethod", ErrorTrap::Form::kLabel}.Run([&] { StoreOption(method_, value, reportRange_); });
}

void clsHCluster::MethodText(const std::string& value) {
  ErrorTrap{kClass, "LetMethodText", ErrorTrap::Form::kLabel}.Run(
      [&] { StoreOption(methodText_, value, reportRange_); });
}

void clsHCluster::Measure(std::int32_t value) {
  ErrorTrap{kClass, "LetMeasure", ErrorTrap::Form::kLabel}.Run([&] { StoreOption(measure_, value, reportRange_); });
}

void clsHCluster::MeasureText(const std::string& value) {
  ErrorTrap{kClass, "LetMeasureText", ErrorTrap::Form::kLabel}.Run(
      [&] { StoreOption(measureText_, value, reportRange_); });
}

void clsHCluster::Power(std::int16_t& value) {
  ErrorTrap{kClass, "LetPower", ErrorTrap::Form::kLabel}.Run([&] {
    if (value < 0 || value > 9) value = 1;
    StoreOption(power_, value, reportRange_);
  });
}

void clsHCluster::ClusterType(std::int32_t value) {
  ErrorTrap{kClass, "LetClusterType", ErrorTrap::Form::kLabel}.Run(
      [&] { StoreOption(clusterType_, value, reportRange_); });
}

void clsHCluster::VarRange(const std::string& address) {
  MapAddressErrors(addin_error::kVarRangeInvalid, [&] {
    if (address.empty()) {
      throw Error(AddinErrorNumber(addin_error::kNoVarRange), kClass, "No variables range specified");
    }
    if (address != lastVarRange_) {
      host::RangePtr resolved = context_.hostAccess->HostApplication()->Range(address);
      dataRange_ = std::move(resolved);
      Discard();
    }
    lastVarRange_ = address;
  });
}

void clsHCluster::OutputRange(const std::string& address) {
  MapAddressErrors(addin_error::kOutputRangeInvalid, [&] {
    if (address.empty()) {
      outputCell_.reset();
      return;
    }
    outputCell_ = context_.hostAccess->HostApplication()->Range(address);
  });
}

void clsHCluster::NoMatrix(bool value) {
  ErrorTrap{kClass, "LetNoMatrix", ErrorTrap::Form::kLabel}.Run([&] { StoreOption(noMatrix_, value, reportRange_); });
}

void clsHCluster::SetProgress(std::function<void(const char* phase, double fraction)> progress) {
  progress_ = std::move(progress);
  engine_->SetProgress(progress_);
}

void clsHCluster::MembershipTable(std::vector<std::int32_t> clusterCounts, std::optional<double> cutLevel) {
  membershipCounts_ = std::move(clusterCounts);
  membershipCutLevel_ = cutLevel;
  Discard();
}

}  // namespace dez
