#include "host/embedded/student_t.h"

#include <boost/math/distributions/students_t.hpp>
#include <cmath>

#include "runtime/error.h"

namespace dez::embedded {

double StudentTDist(double x, std::int32_t df, std::int16_t tails, host::Loc where) {
  if (!std::isfinite(x) || x < 0.0 || df < 1 || (tails != 1 && tails != 2)) {
    throw Error(fault::kApplicationDefined, "WorksheetFunction",
                "Unable to get the TDist property of the WorksheetFunction class", where);
  }
  const boost::math::students_t dist(static_cast<double>(df));
  const double upper = boost::math::cdf(boost::math::complement(dist, x));
  return tails == 2 ? 2.0 * upper : upper;
}

}  // namespace dez::embedded
