// clsHClusterBO: the clustering engine.
//
// Knows nothing of cells or worksheets. The controller sets the inputs through the
// write properties, calls Analyse once, and reads the results:
//
//   engine.ClusterType(dezEZuvazozMetric);   // first: Measure derives Difference from it
//   engine.Method(dezEZuvazozMethGroupAvg);
//   engine.Measure(dezEZuvazozSMMEuclidean);
//   engine.Power(power);                      // corrected to 1 outside 0..9, written back
//   engine.Data(values);
//   engine.Analyse();                         // matrix, schedule, cophenetic correlation
//   engine.MinVal();                          // first read lays the dendrogram out
//
// Every member runs under an error trap whose source names "DEZEZuvazoz.clsHClusterBO"
// and the member. Fields that Analyse does not reset carry over between analyses.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "host/addin_context.h"
#include "runtime/array2d.h"
#include "runtime/schedule.h"

namespace dez {

class clsHClusterBO {
 public:
  /// Creates the engine and its statistics object (from `context.newStatistics`).
  explicit clsHClusterBO(host::AddinContext& context = host::DefaultAddinContext());
  ~clsHClusterBO();
  clsHClusterBO(const clsHClusterBO&) = delete;
  clsHClusterBO& operator=(const clsHClusterBO&) = delete;

  // ---- write properties ("Let...") ----
  void Data(const VariantMatrix& data);           ///< stores a copy
  void Labels(const StringMatrix& labels);        ///< stores a copy; never read by the engine
  /// Stores the code and sets Difference from it and the ClusterType held now.
  void Measure(std::int32_t code);
  void Method(std::int32_t code);
  void ClusterType(std::int32_t code);
  /// Outside 0..9 the value is replaced by 1, in the caller's variable too.
  void Power(std::int16_t& power);
  void MixedVarType(const StringMatrix& types);   ///< element (1, k): type code of variable k

  // ---- read properties ("Get...") ----
  DoubleMatrix DistanceMatrix() const;            ///< a copy of the matrix
  const DoubleMatrix& DistanceMatrixView() const; ///< read-only view, no copy (C++ callers)
  Schedule StepMatrix() const;                    ///< a copy of the schedule
  const Schedule& StepMatrixView() const;         ///< read-only view, no copy (C++ callers)
  bool Difference() const;
  double MinVal();   ///< runs CalcGraphLimits when MinVal and MaxVal are both 0
  double MaxVal();   ///< as MinVal
  bool Undefined() const;
  double CopheneticR() const;
  double CopheneticP() const;
  std::int32_t CopheneticDF() const;

  /// Runs the whole analysis: the matrix of the data type, the schedule, the cophenetic
  /// correlation (the last two only when the matrix is defined).
  void Analyse();

  /// Optional progress callback: called with a phase name and a fraction 0..1.
  void SetProgress(std::function<void(const char* phase, double fraction)> progress);

 private:
  // Builders (one file each); they raise nothing but set Undefined and return an empty matrix.
  DoubleMatrix CalcBinomialMatrix(const VariantMatrix& data, const std::string& presence,
                                  const std::string& absence, std::int32_t measure);
  DoubleMatrix CalcMetricMatrix(const VariantMatrix& data, std::int32_t measure, std::int16_t& exponent);
  std::optional<DoubleMatrix> CalcMixedMatrix(const VariantMatrix& data, const StringMatrix& types,
                                              const std::string& presence, const std::string& absence);
  void ReduceMatrix(const DoubleMatrix& distances, Schedule& steps, std::int32_t method);
  void GetCopheneticR(const DoubleMatrix& distances, const Schedule& steps);
  void CalcGraphLimits();
  /// A new instance of the library's statistics class; a missing factory or object is
  /// "object variable not set" (91).
  std::unique_ptr<host::clsStatistics> NewStatistics() const;

  host::AddinContext& context_;
  std::function<void(const char*, double)> progress_;

  // Fields, in declaration order.
  VariantMatrix data_;
  StringMatrix labels_;
  std::int32_t measure_ = 0;
  std::int32_t method_ = 0;
  std::int32_t clusterType_ = 0;
  bool difference_ = false;
  StringMatrix mixedVarType_;
  std::int16_t power_ = 1;
  DoubleMatrix distanceMatrix_;
  Schedule stepMatrix_;
  double minVal_ = 0.0;
  double maxVal_ = 0.0;
  bool undefined_ = false;
  double copheneticR_ = 0.0;
  double copheneticP_ = 0.0;
  std::int32_t copheneticDF_ = 0;
  std::unique_ptr<host::clsStatistics> statistics_;
};

}  // namespace dez
