// Student's t distribution as the host's TDist worksheet function computes it.
#pragma once

#include <cstdint>

#include "host/forward.h"

namespace dez::embedded {

/// TDist(x, degrees of freedom, tails): the probability that a Student t variable with
/// `df` degrees of freedom exceeds x (tails = 1) or exceeds x in magnitude (tails = 2).
/// As in the host program, x < 0, df < 1 (after truncation to a whole number) or tails
/// other than 1 and 2 is an error (#NUM!), raised as number 1004 with the host's text.
double StudentTDist(double x, std::int32_t df, std::int16_t tails, host::Loc where = host::Loc::current());

}  // namespace dez::embedded
