// clsHClusterBO.GetCopheneticR: how faithfully the tree reproduces the matrix.
//
// For every pair of items the input value stands beside the cophenetic value, the level
// of the step that first puts the two items into one cluster; the product-moment
// correlation of the two series is tested with Student's t from the host's TDist.
//
// The cophenetic vector. The literal fill writes, step by step, the level into the cells
// of the pairs the step joins, one item from each side. When the schedule is a proper
// tree (each step joins two earlier clusters not joined before, and lists the first's
// items then the second's), every pair is written once, by the step where its two items
// first meet; the same values are then written row by row instead. In the root's item
// list every cluster is one run of places, so the step where the items at places t < u
// first meet is the latest of the steps that join the neighbours (t, t + 1), ...,
// (u − 1, u): a row is one sweep to each side of its item's place with a running
// maximum. The writes of a row stay in one short stretch of the vector (in cache), where
// the literal fill scatters them over all of it, the cost does not depend on the shape
// of the tree, and the rows are shared among the builder threads. Any other schedule
// takes the literal fill, with its errors.
//
// Memory. The library's correlation takes the two pair vectors, (n² − n)/2 doubles
// each: with the n x n matrix that is twice the matrix. When the matrix is the engine's
// own, square and exactly symmetric, and large, it is folded while the vectors live
// (folded_matrix.h): its upper triangle becomes the input vector and its memory goes
// back to the system until it is unfolded, bit for bit, on the error path too. The
// vectors then take the matrix's place.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine/folded_matrix.h"
#include "engine/parallel_rows.h"
#include "host/application.h"
#include "host/worksheet_function.h"
#include "runtime/checked_float.h"
#include "runtime/checked_int.h"
#include "runtime/error_trap.h"

namespace dez {

namespace {

bool IsTree(const Schedule& steps, std::int32_t n);
void FillByRows(const Schedule& steps, std::int32_t n, DoubleMatrix& cophenetic);

constexpr double kFoldFrom = 4194304.0;  // pairs (32 MB a vector): below this folding does not pay

}  // namespace

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
    const bool tree = IsTree(steps, n);
    // The engine's own matrix (this procedure's only caller passes it) may be folded; it
    // is then empty, and not read, until it is unfolded. The engine's builders copy each
    // cell (i, j) they compute to (j, i) (their contract), so their matrices are symmetric
    // bit for bit; the library's correlations and matrices given as input are compared.
    const bool mirrored = clusterType_ == dezEZuvazozBinomial || clusterType_ == dezEZuvazozMixed ||
                          (clusterType_ == dezEZuvazozMetric && measure_ != dezEZuvazozSMMCorrelation);
    std::optional<FoldedMatrix> folded;
    if (tree && &distances == &distanceMatrix_ && distances.cols() == n && pairCount >= kFoldFrom) {
      assert(!mirrored || IsSymmetric(distances));
      if (mirrored || IsSymmetric(distances)) folded.emplace(distanceMatrix_);
    }
    DoubleMatrix cophenetic(m, 1);  // pair (i, j), i < j, at row (i − 1)(2n − i)/2 + (j − i)
    if (tree) {
      FillByRows(steps, n, cophenetic);
    } else {
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
    }
    if (!folded && distances.cols() < n) Raise(fault::kSubscriptOutOfRange);  // folded: empty, and square
    DoubleMatrix copied;
    if (!folded) {
      copied = DoubleMatrix(m, 1);
      std::int32_t k = 0;
      for (std::int32_t i = 1; i <= n - 1; ++i) {
        for (std::int32_t j = i + 1; j <= n; ++j) copied(++k, 1) = distances(i, j);
      }
    }
    const DoubleMatrix& input = folded ? folded->input() : copied;
    const std::int64_t inputRows = input.rows();
    statistics = NewStatistics();
    copheneticR_ = Fin(statistics->Correlate(input, cophenetic).At(1, 1));
    cophenetic = DoubleMatrix();  // its memory first, then the matrix's comes back
    folded.reset();
    copied = DoubleMatrix();
    // The test is made only when R, rounded to 15 significant digits, is below 1.
    const std::optional<double> rounded = ParseNumber(FormatGeneral(copheneticR_));
    if (!rounded) Raise(fault::kTypeMismatch);
    if (*rounded < 1.0) {
      const std::int32_t df = CLng(inputRows - 2).get();
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

namespace {

std::size_t Index(std::int64_t i) { return static_cast<std::size_t>(i); }

/// True when the schedule has 2n − 1 entries, the first n the items themselves and each
/// later one joining two earlier entries, each joined only once, with the items of the
/// first then those of the second. Then every pair of items is joined by exactly one step.
bool IsTree(const Schedule& steps, std::int32_t n) {
  if (steps.UBound() != 2 * n - 1) return false;
  for (std::int32_t e = 1; e <= n; ++e) {
    if (steps[e].items.size() != 1 || steps[e].items[0] != e) return false;
  }
  std::vector<std::uint8_t> joined(Index(2 * n), 0);
  // Invariant: entries n+1..s−1 are proper joins of distinct earlier entries.
  for (std::int32_t s = n + 1; s <= 2 * n - 1; ++s) {
    const ScheduleEntry& step = steps[s];
    const std::int32_t a = step.first;
    const std::int32_t b = step.second;
    if (a < 1 || a >= s || b < 1 || b >= s || a == b || joined[Index(a)] || joined[Index(b)]) return false;
    joined[Index(a)] = joined[Index(b)] = 1;
    const std::vector<std::int32_t>& x = steps[a].items;
    const std::vector<std::int32_t>& y = steps[b].items;
    if (step.items.size() != x.size() + y.size()) return false;
    if (!std::equal(x.begin(), x.end(), step.items.begin())) return false;
    if (!std::equal(y.begin(), y.end(), step.items.begin() + static_cast<std::ptrdiff_t>(x.size()))) return false;
  }
  return true;
}

/// The cophenetic vector of a tree (IsTree), row by row, from the root's item list: see
/// the head of this file. Each row is written by one thread.
void FillByRows(const Schedule& steps, std::int32_t n, DoubleMatrix& cophenetic) {
  const std::int32_t root = 2 * n - 1;
  const std::vector<std::int32_t>& order = steps[root].items;  // item at each place
  std::vector<std::int32_t> place(Index(n) + 1);                // place of each item
  for (std::int32_t t = 0; t < n; ++t) place[Index(order[Index(t)])] = t;
  // joins[t]: the step that joins the neighbours at places t and t + 1. A step's items
  // occupy a run of places starting where its own starts; its second part begins after
  // its first part's items, so it joins the neighbours across that boundary.
  std::vector<std::int32_t> start(Index(root) + 1, 0);
  std::vector<std::int32_t> joins(Index(std::max(n - 1, 0)), 0);
  // Invariant: start[e] is known for every entry e joined by the steps above s.
  for (std::int32_t s = root; s > n; --s) {
    const ScheduleEntry& step = steps[s];
    const auto firstSize = static_cast<std::int32_t>(steps[step.first].items.size());
    start[Index(step.first)] = start[Index(s)];
    start[Index(step.second)] = start[Index(s)] + firstSize;
    joins[Index(start[Index(s)] + firstSize - 1)] = s;
  }
  std::vector<double> levels(Index(root) + 1, 0.0);
  for (std::int32_t s = n + 1; s <= root; ++s) levels[Index(s)] = steps[s].level;
  double* cells = cophenetic.data();
  const double work = static_cast<double>(n) * static_cast<double>(n);
  ForEachRowChunk(n - 1, work, [&](std::int32_t first, std::int32_t last) {
    std::vector<double> scratch(Index(n) + 1);  // the level with each item, by item number
    for (std::int32_t a = first + 1; a <= last; ++a) {
      const std::int32_t at = place[Index(a)];
      // Invariant (both sweeps): latest is the latest step joining neighbours between
      // a's place and t, so the step where a and the item at t first meet.
      std::int32_t latest = 0;
      for (std::int32_t t = at + 1; t < n; ++t) {
        latest = std::max(latest, joins[Index(t - 1)]);
        scratch[Index(order[Index(t)])] = levels[Index(latest)];
      }
      latest = 0;
      for (std::int32_t t = at - 1; t >= 0; --t) {
        latest = std::max(latest, joins[Index(t)]);
        scratch[Index(order[Index(t)])] = levels[Index(latest)];
      }
      // The cells of pairs (a, b), b > a, start at row (a − 1)(2n − a)/2 + 1, 1-based.
      double* row = cells + Index(std::int64_t{a - 1} * (2 * std::int64_t{n} - a) / 2);
      std::copy(scratch.begin() + a + 1, scratch.begin() + n + 1, row);
    }
    return true;
  });
}

}  // namespace

}  // namespace dez
