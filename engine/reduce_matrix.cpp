// clsHClusterBO.ReduceMatrix: the agglomeration schedule of the engine's matrix.
#include "engine/agglomeration.h"
#include "engine/clsHClusterBO.h"

namespace dez {

// The procedure's body, with its error trap ("...clsHClusterBO.ReduceMatrix"), is the
// agglomeration; it reads the engine's Difference and, for Ward's method, Data.
// `steps` is filled in place, so after an error it holds the entries made so far.
void clsHClusterBO::ReduceMatrix(const DoubleMatrix& distances, Schedule& steps, std::int32_t method) {
  StepProgress progress;
  if (progress_) progress = [this](double fraction) { progress_("ReduceMatrix", fraction); };
  Agglomerate(distances, steps, difference_, method, data_, progress);
}

}  // namespace dez
