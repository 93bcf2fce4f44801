// clsHClusterBO.GetCopheneticR: how faithfully the tree reproduces the matrix.
//
// For every pair of items the input value stands beside the cophenetic value, the level
// of the step that first puts the two items into one cluster; the product-moment
// correlation of the two series is tested with Student's t from the host's TDist.
//
// Memory: the cophenetic value of each pair is written straight into its place in the
// cophenetic pair vector (pairs of the upper triangle, row by row), so besides the input
// vector the routine keeps one vector of (n² − n)/2 doubles and no n x n matrix.
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/clsHClusterBO.h"
#include "host/application.h"
#include "host/worksheet_function.h"
#include "runtime/checked_float.h"
#include "runtime/checked_int.h"
#include "runtime/error_trap.h"

namespace dez {

// One trapped body: statement numbers count from the trap. The statistics instance lives
// inside it, so it is released on the error path before the trap raises again.
void clsHClusterBO::GetCopheneticR(const DoubleMatrix& distances, const Schedule& steps) {
  ErrorTrap trap{"clsHClusterBO", "GetCopheneticR"};
  trap.Run([&] {
    std::unique_ptr<host::clsStatistics> statistics;  // created at its first use
    if (distances.rows() < 1) Raise(fault::kSubscriptOutOfRange);  // no upper bound to read
    const std::int32_t n = distances.rows();
    const double pairCount = Fin((static_cast<double>(n) * static_cast<double>(n) - n) / 2.0);
    const std::int32_t m = RoundToChecked<std::int32_t>(pairCount).get();
    DoubleMatrix cophenetic(m, 1);  // pair (i, j), i < j, at row (i − 1)(2n − i)/2 + (j − i)
    const auto pairRow = [&](std::int32_t a, std::int32_t b) -> std::int32_t {
      if (a < 1 || a > n || b < 1 || b > n) Raise(fault::kSubscriptOutOfRange);
      const std::int64_t i = a < b ? a : b;
      const std::int64_t j = a < b ? b : a;
      return static_cast<std::int32_t>((i - 1) * (2 * std::int64_t{n} - i) / 2 + (j - i));
    };
    const std::int32_t last = steps.UBound();
    std::vector<std::int16_t> first;
    std::vector<std::int16_t> second;
    // Steps in the order made: each writes the pairs it joins, one item from each side;
    // a pair already joined lies inside one side and is never written again.
    for (std::int32_t s = n + 1; s <= last; ++s) {
      const ScheduleEntry& step = steps.At(s);
      first.clear();
      for (const std::int32_t item : steps.At(step.first).items) first.push_back(CInt(item).get());
      second.clear();
      for (const std::int32_t item : steps.At(step.second).items) second.push_back(CInt(item).get());
      for (const std::int16_t a : first) {
        for (const std::int16_t b : second) {
          if (a != b) cophenetic(pairRow(a, b), 1) = step.level;  // the diagonal stays 0
        }
      }
    }
    if (distances.cols() < n) Raise(fault::kSubscriptOutOfRange);
    DoubleMatrix input(m, 1);
    std::int32_t k = 0;
    for (std::int32_t i = 1; i <= n - 1; ++i) {
      for (std::int32_t j = i + 1; j <= n; ++j) input(++k, 1) = distances(i, j);
    }
    statistics = NewStatistics();
    copheneticR_ = Fin(statistics->Correlate(input, cophenetic).At(1, 1));
    // The test is made only when R, rounded to 15 significant digits, is below 1.
    const std::optional<double> rounded = ParseNumber(FormatGeneral(copheneticR_));
    if (!rounded) Raise(fault::kTypeMismatch);
    if (*rounded < 1.0) {
      const std::int32_t df = CLng(std::int64_t{input.rows()} - 2).get();
      const double r = copheneticR_;
      const double rSquared = Pow(r, 2.0);
      const double oneMinusRSquared = Fin(1.0 - rSquared);
      copheneticP_ = Fin(std::fabs(Div(Sqrt(df) * r, Sqrt(oneMinusRSquared))));  // t; R = ±1 fails here
      if (!context_.hostAccess) Raise(fault::kObjectNotSet);
      const host::ApplicationPtr application = context_.hostAccess->HostApplication();
      if (!application) Raise(fault::kObjectNotSet);
      const host::WorksheetFunctionPtr functions = application->WorksheetFunction();
      if (!functions) Raise(fault::kObjectNotSet);
      copheneticP_ = functions->TDist(copheneticP_, df, 2);
    }
    copheneticDF_ = CLng(std::int64_t{m} - 2).get();  // in every branch
    statistics.reset();
  });
}

}  // namespace dez
