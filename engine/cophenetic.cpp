// clsHClusterBO.GetCopheneticR: how faithfully the tree reproduces the matrix.
//
// For every pair of items the input value stands beside the cophenetic value, the level
// of the step that first puts the two items into one cluster; the product-moment
// correlation of the two series is tested with Student's t from the host's TDist.
//
// The cophenetic vector. The literal fill writes, step by step, the level into the cells
// of the pairs the step joins, one item from each side. When the schedule is a proper
// tree (each step joins two earlier clusters not joined before, and lists the first's
// items then the second's), every pair is written once, by the step where its two items'
// chains of clusters meet; the same values are then written row by row instead: for
// each item a, up its chain of clusters, the level of each step into the cells (a, b)
// of the items b > a on the other side. The writes of one row stay in one short stretch
// of the vector (in cache), where the literal fill scatters them over all of it, and the
// rows are shared among the builder threads. Any other schedule takes the literal fill,
// with its errors.
//
// Memory. The library's correlation takes the two pair vectors, (n² − n)/2 doubles
// each: with the n x n matrix that is twice the matrix. When the matrix is the engine's
// own, square and exactly symmetric, and large, it is folded while the vectors live
// (folded_matrix.h): its upper triangle becomes the input vector and its memory goes
// back to the system until it is unfolded, bit for bit, on the error path too. The
// vectors then take the matrix's place.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

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
    // is then empty, and not read, until it is unfolded.
    std::optional<FoldedMatrix> folded;
    if (tree && &distances == &distanceMatrix_ && distances.cols() == n && pairCount >= kFoldFrom &&
        IsSymmetric(distances)) {
      folded.emplace(distanceMatrix_);
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

/// The cophenetic vector of a tree (IsTree), row by row: for item a, each step on its
/// chain of clusters writes its level into the cells (a, b) of the items b > a on the
/// other side. Each row is written by one thread.
void FillByRows(const Schedule& steps, std::int32_t n, DoubleMatrix& cophenetic) {
  std::vector<std::int32_t> parent(Index(2 * n), 0);  // the step that joins entry e; 0 for the root
  for (std::int32_t s = n + 1; s <= 2 * n - 1; ++s) {
    parent[Index(steps[s].first)] = s;
    parent[Index(steps[s].second)] = s;
  }
  double* cells = cophenetic.data();
  const double work = static_cast<double>(n) * static_cast<double>(n);
  ForEachRowChunk(n - 1, work, [&](std::int32_t first, std::int32_t last) {
    for (std::int32_t a = first + 1; a <= last; ++a) {
      // The cell of pair (a, b) is at row (a − 1)(2n − a)/2 + (b − a), 1-based: row[b − a − 1].
      double* row = cells + Index(std::int64_t{a - 1} * (2 * std::int64_t{n} - a) / 2);
      // Invariant: the cells (a, b) of every b > a in the clusters below e are written.
      for (std::int32_t e = a; parent[Index(e)] != 0; e = parent[Index(e)]) {
        const ScheduleEntry& step = steps[parent[Index(e)]];
        const std::int32_t other = step.first == e ? step.second : step.first;
        for (const std::int32_t b : steps[other].items) {
          if (b > a) row[b - a - 1] = step.level;
        }
      }
    }
    return true;
  });
}

}  // namespace

}  // namespace dez
