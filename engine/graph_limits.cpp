// clsHClusterBO.CalcGraphLimits: the dendrogram layout shared by the text dendrogram and
// the chart.
//
// Sets the level axis limits MinVal and MaxVal and writes into the schedule every entry's
// horizontal position (element 5) and the items' levels (element 4): items stand at the
// odd positions 1, 3, ..., 2n − 1 in the order of the root's item list, each merge midway
// between its left and right clusters, the leaves at the axis end where the tree grows
// from (MinVal for distances, MaxVal for similarities). Running it again on the same
// schedule gives the same result: it reads only the merge entries and the limits.
//
// Cost: linear in the schedule, except that each merge looks back over the earlier merges
// (and, where levels are equal, searches its item list): cubic when all levels are equal.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/clsHClusterBO.h"
#include "engine/measure_table.h"
#include "dezezuvazoz/enums.h"
#include "runtime/checked_float.h"
#include "runtime/checked_int.h"
#include "runtime/error_trap.h"

namespace dez {

// One trapped body: statement numbers count from the trap. What is written before an
// error stays written.
void clsHClusterBO::CalcGraphLimits() {
  ErrorTrap trap{"clsHClusterBO", "CalcGraphLimits"};
  trap.Run([&] {
    if (stepMatrix_.empty()) {  // no schedule was built
      minVal_ = 0.0;
      maxVal_ = 0.0;
      return;
    }
    const std::int16_t last = CInt(stepMatrix_.UBound()).get();
    if (distanceMatrix_.rows() < 1) Raise(fault::kSubscriptOutOfRange);  // no upper bound to read
    const std::int16_t n = CInt(distanceMatrix_.rows()).get();
    // Conversion to single precision; a level beyond its range is an overflow.
    const auto single = [](double level) {
      const float value = static_cast<float>(level);
      if (std::isinf(value)) Raise(fault::kOverflow);
      return value;
    };
    // Binomial measures have fixed limits; an unknown binomial code leaves them as they are.
    const MeasureFacts* facts = FindMeasure(clusterType_, measure_);
    const AxisLimits limits = facts ? facts->limits : AxisLimits::kFromLevels;
    if (limits == AxisLimits::kZeroToItemCount) {
      minVal_ = 0.0;
      maxVal_ = n;  // n items, not variables
    } else if (limits == AxisLimits::kMinusOneToOne || limits == AxisLimits::kZeroToOne) {
      minVal_ = limits == AxisLimits::kZeroToOne ? 0.0 : -1.0;
      maxVal_ = 1.0;
    } else if (clusterType_ != dezEZuvazozBinomial) {
      // Data-driven: the range of the merge levels and 0, the upper end widened by a
      // tenth of it, a negative lower end by a tenth of the widened range.
      minVal_ = 0.0;
      maxVal_ = 0.0;
      for (std::int32_t s = n + 1; s <= last; ++s) {
        const double level = stepMatrix_.At(s).level;
        if (level > maxVal_) maxVal_ = level;
        if (level < minVal_) minVal_ = level;
      }
      maxVal_ = Fin(maxVal_ + std::fabs(Fin(0.1 * (maxVal_ - minVal_))));
      if (minVal_ < 0.0) minVal_ = Fin(minVal_ - std::fabs(Fin(0.1 * (maxVal_ - minVal_))));
    }
    const std::vector<std::int32_t>& root = stepMatrix_.At(last).items;
    const std::int16_t rootSize = CInt(static_cast<std::int64_t>(root.size())).get();
    for (std::int32_t k = 1; k <= rootSize; ++k) {
      stepMatrix_.At(root[static_cast<std::size_t>(k - 1)]).position = CInt(2 * k - 1);
    }
    // Each merge is centred between the left cluster of the lowest-numbered earlier merge
    // of the same level that lies inside it (its anchor; itself when there is none) and
    // its own right cluster, so a run of merges at one level is centred on its whole span.
    for (std::int32_t i = n + 1; i <= last; ++i) {
      ScheduleEntry& merge = stepMatrix_.At(i);
      std::int32_t anchor = i;
      for (std::int32_t s = i - 1; s >= n + 1; --s) {
        const ScheduleEntry& earlier = stepMatrix_.At(s);
        if (single(earlier.level) != single(merge.level)) continue;
        if (earlier.items.empty()) Raise(fault::kSubscriptOutOfRange);
        if (std::find(merge.items.begin(), merge.items.end(), earlier.items.front()) != merge.items.end()) anchor = s;
      }
      const double left = stepMatrix_.At(stepMatrix_.At(anchor).first).position;
      const double right = stepMatrix_.At(merge.second).position;
      merge.position = Fin((left + right) / 2.0);
    }
    for (std::int32_t i = 1; i <= n; ++i) stepMatrix_.At(i).level = difference_ ? minVal_ : maxVal_;
  });
}

}  // namespace dez
