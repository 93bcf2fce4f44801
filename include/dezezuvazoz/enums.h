// Public enumerations of the component: data types, measures and methods.
#pragma once

#include <cstdint>

namespace dez {

/// Kind of input held by the variables range (`ClusterType`).
enum dezEZuvazozType : std::int32_t {
  dezEZuvazozBinomial = 0,    ///< cases in rows, 0/1 variables in columns
  dezEZuvazozMetric = 1,      ///< cases in rows, numeric variables in columns
  dezEZuvazozMixed = 2,       ///< a type row ("BIN", "QUANT", "QUAL") above the cases
  dezEZuvazozDifference = 3,  ///< a square matrix of distances
  dezEZuvazozSimilarity = 4,  ///< a square matrix of similarities
};

/// Measures for binomial (presence/absence) data. 1, 7, 13 and 14 are distances.
enum dezEZuvazozSMB : std::int32_t {
  dezEZuvazozSMBEuclidean = 1,
  dezEZuvazozSMBHamann = 2,
  dezEZuvazozSMBJaccard = 3,
  dezEZuvazozSMBKulczynski1 = 4,
  dezEZuvazozSMBKulczynski2 = 5,
  dezEZuvazozSMBOchiai = 6,
  dezEZuvazozSMBPattern = 7,
  dezEZuvazozSMBPhi = 8,
  dezEZuvazozSMBRogersTanimoto = 9,
  dezEZuvazozSMBRusselRao = 10,
  dezEZuvazozSMBSokalMitchener = 11,
  dezEZuvazozSMBSorensenDice = 12,
  dezEZuvazozSMBSqrdEuclidean = 13,
  dezEZuvazozSMBVariance = 14,
  dezEZuvazozSMBYuleQ = 15,
};

/// Measures for metric data. Correlation (6) is the only similarity.
enum dezEZuvazozSMM : std::int32_t {
  dezEZuvazozSMMBrayCurtis = 1,
  dezEZuvazozSMMCanberra = 2,
  dezEZuvazozSMMCityBlock = 3,
  dezEZuvazozSMMEuclidean = 4,
  dezEZuvazozSMMMinkowski = 5,
  dezEZuvazozSMMCorrelation = 6,
  dezEZuvazozSMMSqrdEuclidean = 7,
};

/// Agglomeration methods (Lance-Williams family).
enum dezEZuvazozMethod : std::int32_t {
  dezEZuvazozMethNearestNeigh = 1,
  dezEZuvazozMethFurthestNeigh = 2,
  dezEZuvazozMethGroupAvg = 3,
  dezEZuvazozMethCentroid = 4,
  dezEZuvazozMethWards = 5,
  dezEZuvazozMethLanceWilliams = 6,
};

}  // namespace dez
