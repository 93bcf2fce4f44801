// How hcluster shows an error of the component: the one place where error numbers meet
// their names and their meaning for a person at the command line.
//
//   hcluster: error -2147215500 (dezEZuvazozInvalidBinData): Application-defined or object-defined error
//     at Line 12 in DEZEZuvazoz.clsHCluster.Results
//     binomial data: a cell of the range is not 1 or 0
//
// The first two lines are fixed in form; the third, the meaning, is added for the
// numbers the component raises for bad data or bad addresses, whose own description is
// the runtime's generic text.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/error.h"

namespace dez::cli {

/// The name of an error number:
/// - the dezEZuvazozErrors name for the component's block (offsets 6000..6007);
/// - "offset 5048" for any other number of the component's range (base + 0..65535),
///   the add-in's 5000 band included;
/// - the runtime's name for its faults: "invalid procedure call or argument" (5),
///   "overflow" (6), "out of memory" (7), "subscript out of range" (9), "division by
///   zero" (11), "type mismatch" (13), "object variable not set" (91),
///   "application-defined error" (1004, the host's and the file formats' number);
/// - "item not found" for the host's refusal of a missing shape name;
/// - "unknown" otherwise.
std::string ErrorName(std::int32_t number);

/// What the number means for the user of hcluster, or "" when there is nothing to add to
/// the error's own description.
std::string ErrorMeaning(std::int32_t number);

/// The lines printed for `error`, each ending in "\n".
std::string DescribeError(const Error& error);

}  // namespace dez::cli
