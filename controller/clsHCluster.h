// clsHCluster: the component's public class.
//
// The add-in sets the options through the write-only properties and calls Results,
// which checks the variables range, runs the engine, has the report written on the
// scratch sheet, places it at the output location and draws the dendrogram chart:
//
//   clsHCluster hc;
//   hc.ClusterType(dezEZuvazozMetric);
//   hc.Method(dezEZuvazozMethGroupAvg);   hc.MethodText("Group Average");
//   hc.Measure(dezEZuvazozSMMEuclidean);  hc.MeasureText("Euclidean Distance");
//   hc.Headers(true);
//   hc.VarRange("Data!$A$1:$E$21");
//   hc.Results();
//
// Every member runs under an error trap whose source names "DEZEZuvazoz.clsHCluster"
// and the member; the checks of Results raise the numbers of include/dezezuvazoz/errors.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/clsHClusterBO.h"
#include "host/addin_context.h"
#include "host/range.h"
#include "runtime/array2d.h"
#include "runtime/schedule.h"

namespace dez {

class clsHCluster {
 public:
  explicit clsHCluster(host::AddinContext& context = host::DefaultAddinContext());
  ~clsHCluster();
  clsHCluster(const clsHCluster&) = delete;
  clsHCluster& operator=(const clsHCluster&) = delete;

  // ---- write-only properties, in the interface's order ----
  void Headers(bool value);            ///< first column holds the item labels
  void TextDend(bool value);           ///< add the text dendrogram to the report
  void GraphDend(bool value);          ///< draw the dendrogram chart (keeps a cached report)
  void Method(std::int32_t value);
  void MethodText(const std::string& value);
  void Measure(std::int32_t value);
  void MeasureText(const std::string& value);
  /// Outside 0..9 the value is replaced by 1, in the caller's variable too.
  void Power(std::int16_t& value);
  void ClusterType(std::int32_t value);
  /// Resolves the address at once; "" raises 5011, an unresolvable text 5009.
  void VarRange(const std::string& address);
  /// Where the report goes; "" means a new worksheet. Unresolvable: 5001.
  void OutputRange(const std::string& address);

  /// Runs the analysis and places the report (and the chart).
  void Results(bool overWrite = false);

  /// Draws the dendrogram chart below the placed report. `minVal` and `maxVal` are
  /// overwritten by the scaled magnitudes of the label-format rule.
  void GraphDendrogram(const Schedule& steps, const StringArray& itemLabels, double& minVal, double& maxVal,
                       std::int32_t numRows);

  // ---- C++-only members for front ends (not part of the automation interface) ----
  /// The checks of Results, then the analysis (with the measure notice when the method
  /// replaces the measure), without a report: nothing is written on any sheet. The item
  /// labels are those a report would show. Errors carry the sources Results gives them.
  void AnalyseOnly();
  /// Leaves the matrix table out of the report (everything else stays); a change
  /// discards a cached report.
  void NoMatrix(bool value);

  /// The engine with the results of the last analysis.
  const clsHClusterBO& EngineResults() const { return *engine_; }
  /// The engine's dendrogram limits (MinVal, MaxVal), read in that order. As when the
  /// report reads them, the first read after an analysis lays the tree out in the
  /// engine's schedule (positions, leaf levels); an error of the layout passes on.
  std::pair<double, double> EngineGraphLimits() {
    const double minVal = engine_->MinVal();
    return {minVal, engine_->MaxVal()};
  }
  /// The item labels of the last report.
  const StringArray& ItemLabels() const { return itemLabels_; }
  /// Where the last report was placed (its top-left cell), or null.
  host::RangePtr OutputCell() const { return outputCell_; }
  /// Progress of long work: a phase name and a fraction 0..1.
  void SetProgress(std::function<void(const char* phase, double fraction)> progress);
  /// Adds the "Cluster Membership" table after the schedule: one column per number of
  /// clusters in `clusterCounts` (ascending; those above the number of items are left
  /// out) and one for the clusters formed below `cutLevel`, if given. Discards a cached
  /// report.
  void MembershipTable(std::vector<std::int32_t> clusterCounts, std::optional<double> cutLevel);

 private:
  /// Results' checks, then the analysis; with `placeReport` the report is assembled (or
  /// the cached one taken) and placed.
  void CheckAndRun(bool overWrite, bool placeReport);
  /// Runs the engine; with `assemble` returns the assembled report, else only fills the
  /// labels and returns null.
  host::RangePtr GetResults(StringArray& itemLabels, bool assemble = true);
  host::RangePtr FormatSimpleResults(StringArray& itemLabels);
  /// The report's item labels: the label column, or "Row " and each case's sheet row.
  StringArray ReportLabels() const;
  void CheckDataBlock(const host::RangePtr& block, std::int32_t rows, std::int16_t columns);
  void CheckMixedColumns(const host::RangePtr& block, std::int16_t columns);
  /// Discards the cached report.
  void Discard() { reportRange_.reset(); }

  host::AddinContext& context_;
  std::function<void(const char*, double)> progress_;

  // State, in declaration order.
  host::RangePtr dataRange_;
  host::RangePtr outputCell_;
  host::RangePtr reportRange_;
  std::int32_t clusterType_ = 0;
  std::int32_t method_ = 0;
  std::string methodText_;
  std::int32_t measure_ = 0;
  std::string measureText_;
  bool headers_ = false;
  bool graphDend_ = false;
  bool textDend_ = false;
  bool noMatrix_ = false;
  std::int16_t power_ = 1;
  std::unique_ptr<clsHClusterBO> engine_;
  std::string lastVarRange_;
  StringArray itemLabels_;
  std::vector<std::int32_t> membershipCounts_;
  std::optional<double> membershipCutLevel_;
};

}  // namespace dez
