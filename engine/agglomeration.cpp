// The agglomeration: the literal algorithm's schedule, bit for bit, at a fraction of its
// cost.
//
// The literal algorithm (kept in the tests as the oracle) holds the m current clusters in
// an m x m matrix D whose positions are in ascending order of cluster number, scans the
// cells below the diagonal column by column for the first smallest one, records the
// join, and copies the rest into a new (m − 1) x (m − 1) matrix whose last row and column
// hold the new cluster's values from the Lance–Williams update.
//
// Here the values live in one packed lower triangle over cluster slots, written in place:
// a new cluster takes the slot of the lower-numbered cluster it joins, and the other slot
// falls free. Nothing depends on where a cluster stands, only on its number, so the slots
// need not be in number order; every tie is settled by comparing numbers.
//
// Nearest-neighbour cache. For a current cluster q let
//   cand(q) = { (D(x, q), number of x) : x current, number of x > number of q },
//   best(q) = the smallest element of cand(q), pairs compared value first, then number
//             (+∞ when cand(q) is empty, i.e. q is the highest-numbered cluster).
// The literal scan takes the smallest (value, lower cluster, higher cluster) over all
// pairs, and positions follow numbers, so its pair is (x, q) with q the cluster of the
// smallest (best(q).value, number of q) and x the cluster of best(q).
// Each cluster keeps key(q) and nn(q) and a flag:
//   fresh:  key(q) = best(q).value and nn(q) the cluster of best(q) (none for +∞);
//   stale:  key(q) ≤ best(q).value, nn(q) meaningless.
// Selection: take the cluster q* with the smallest (key, number); if it is stale, compute
// its best exactly (it becomes fresh, its key can only rise) and select again. When q* is
// fresh, every other q has (best(q).value, q) ≥ (key(q), q) > (key(q*), q*) = (best(q*), q*):
// q* is the literal's lower cluster and nn(q*) its partner.
// After joining r and c into k (number above every current cluster, so it enters every
// cand(q) and loses every tie in it), with x = D(k, q) for each remaining q:
//   - x < key(q): every element of the new cand(q) other than k was in the old one, so
//     is ≥ best_old(q).value ≥ key(q) > x: best(q) = (x, k), fresh;
//   - else, q fresh and nn(q) ∉ {r, c}: best(q) is unchanged (k does not win the tie);
//   - else, q fresh and nn(q) ∈ {r, c}: the remaining old elements are ≥ key(q) and x ≥
//     key(q), so key(q) is a lower bound: stale;
//   - else q was stale and stays so (its old lower bound still holds, and x ≥ it).
// The new cluster k has no one above it: key +∞, fresh.
//
// Update. The literal's first step reads the rows of the joined items in the full matrix
// (above and below the diagonal); its copy then keeps only the cells below the diagonal,
// so from the second step on its matrix is symmetric and equal to this triangle. The
// first step therefore reads the input's rows, later steps the triangle; each new value
// is the literal's expression on the same operands, checked at the same places.
//
// Ward's total: see WardsTotal below.
#include "engine/agglomeration.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <mutex>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/memory_pages.h"
#include "engine/ordered_sum.h"
#include "engine/parallel_rows.h"
#include "runtime/checked_float.h"
#include "runtime/checked_int.h"
#include "runtime/error_trap.h"

namespace dez {

namespace {
void RunAgglomeration(const DoubleMatrix& distances, Schedule& steps, double s, std::int16_t n, std::int32_t method,
                      const VariantMatrix& data, const StepProgress& progress);
}  // namespace

// One trap over the whole procedure. Everything that can raise stands below this line in
// this file, so an error's statement number is its line's offset from the trap: fixed
// and reproducible. The preamble is the literal's, in its order: the sizes, the schedule
// replaced, the bounds; then the copy of the matrix with its check and the item entries.
void Agglomerate(const DoubleMatrix& distances, Schedule& steps, bool difference, std::int32_t method,
                 const VariantMatrix& data, const StepProgress& progress) {
  ErrorTrap trap{"clsHClusterBO", "ReduceMatrix"};
  trap.Run([&] {
    const double s = difference ? 1.0 : -1.0;  // orientation: similarities are negated
    if (distances.rows() < 1) Raise(fault::kSubscriptOutOfRange);  // no upper bound to read
    const std::int16_t n = CInt(distances.rows()).get();
    const std::int16_t entries = CInt(2 * n - 1).get();  // more than 16384 items: overflow here
    steps = Schedule(entries);
    if (distances.cols() < n) Raise(fault::kSubscriptOutOfRange);  // the copy would read past it
    RunAgglomeration(distances, steps, s, n, method, data, progress);
  });
}

Schedule Agglomerate(const DoubleMatrix& distances, bool difference, std::int32_t method, const VariantMatrix& data) {
  Schedule steps;
  Agglomerate(distances, steps, difference, method, data);
  return steps;
}

namespace {

constexpr double kNoValue = std::numeric_limits<double>::infinity();  // best of an empty cand(q)
constexpr std::int32_t kNoSlot = -1;
constexpr std::size_t kAhead = 16;  // how many clusters ahead a scan fetches its cells

std::size_t Index(std::int32_t i) { return static_cast<std::size_t>(i); }

// ---- the working matrix ----

/// The values between clusters, one per pair, in the lower triangle of a matrix over
/// slots 0..slots−1: cell (a, b), a > b, at a(a − 1)/2 + b. Row a (cells (a, 0..a−1)) is
/// contiguous; the cells (a', a) for a' > a lie one per row below it.
class PackedTriangle {
 public:
  explicit PackedTriangle(std::int32_t slots)
      : cells_(RowStart(slots)), slots_(slots) {}

  std::int32_t slots() const { return slots_; }
  double* Row(std::int32_t a) { return cells_.data() + RowStart(a); }

  /// Cell of the pair (a, b), a ≠ b, in either order.
  double& operator()(std::int32_t a, std::int32_t b) {
    return a > b ? cells_.data()[RowStart(a) + Index(b)] : cells_.data()[RowStart(b) + Index(a)];
  }

  /// Keeps only the slots `kept` (ascending), as slots 0..kept.size()−1 in the same order,
  /// and gives the memory of the rest back. Cell (a', b') moves down from (a, b) with
  /// a' ≤ a and b' ≤ b, so moving rows in ascending order, each from left to right, never
  /// overwrites a cell still to be moved.
  void Compact(const std::vector<std::int32_t>& kept) {
    const auto m = static_cast<std::int32_t>(kept.size());
    double* cells = cells_.data();
    // Invariant: rows 0..a'−1 of the compacted triangle are in place.
    for (std::int32_t a2 = 1; a2 < m; ++a2) {
      const double* from = cells + RowStart(kept[Index(a2)]);
      double* to = cells + RowStart(a2);
      for (std::int32_t b2 = 0; b2 < a2; ++b2) to[b2] = from[kept[Index(b2)]];
    }
    slots_ = m;
    cells_.ReleaseFrom(RowStart(m));
  }

 private:
  static std::size_t RowStart(std::int32_t a) {
    return static_cast<std::size_t>(a) * static_cast<std::size_t>(a > 0 ? a - 1 : 0) / 2;
  }

  LargeArray cells_;
  std::int32_t slots_;
};

// ---- Ward's total ----

/// The level of Ward's method: the total within-cluster sum of squares T after a step,
/// with the additions of the literal walk in its order. That walk visits the clusters in
/// the order of their lowest item and adds, for each, the terms (x_v − μ_v)² for v = 1..p
/// (outer) and its items in list order (inner), μ_v = (the sum over its items in list
/// order, from 0) / size; all into one running T from 0.
///
/// - A cluster of one item adds (x − x)² = +0 to T ≥ +0, which leaves T's bits unchanged,
///   so only clusters of two or more items are visited here.
/// - A cluster's terms depend on its items only: they are computed when it is made and
///   kept. Its sums continue those of its first part (the first part's list is the head of
///   its list), so only the second part's items are added.
/// - A join changes only the new cluster and removes its parts, all of which come at or
///   after the new cluster's lowest item; the running T up to there is the previous step's,
///   so the additions are made again only from there on, each cluster's terms at once
///   where their rounding does not depend on T (ordered_sum.h).
/// The first step reads every cell exactly as the literal walk does (the same reads, in
/// the same order, raising the same errors); after it every cell is known to be a finite
/// number and is read from a converted copy.
class WardsTotal {
 public:
  WardsTotal(const VariantMatrix& data, std::int16_t n, const Schedule& steps)
      : data_(data), n_(n), steps_(steps), clusters_(Index(n)) {}

  /// T after the step that made cluster k (entry k holds its parts and its items).
  double Join(std::int16_t k) {
    if (!walked_) FirstWalk(k);
    const ScheduleEntry& entry = steps_[k];
    const std::int32_t p = data_.cols();
    const std::int16_t size = CInt(static_cast<std::int64_t>(entry.items.size())).get();
    Cluster& joined = At(k);
    Cluster* first = entry.first > n_ ? &At(entry.first) : nullptr;
    Cluster* second = entry.second > n_ ? &At(entry.second) : nullptr;
    joined.lowest = std::min(first ? first->lowest : entry.first, second ? second->lowest : entry.second);
    // Sums over the list in order, from 0: the first part's sums, then the second's items.
    if (first) {
      joined.sums = std::move(first->sums);
    } else {
      joined.sums.resize(Index(p));
      for (std::int32_t v = 0; v < p; ++v) joined.sums[Index(v)] = Fin(0.0 + Value(entry.first, v));
    }
    for (const std::int32_t x : steps_[entry.second].items) {
      for (std::int32_t v = 0; v < p; ++v) joined.sums[Index(v)] = Fin(joined.sums[Index(v)] + Value(x, v));
    }
    std::vector<double> terms(Index(p) * Index(size));
    for (std::int32_t v = 0; v < p; ++v) {
      const double mu = Div(joined.sums[Index(v)], size);
      double* term = terms.data() + Index(v) * Index(size);
      for (std::int32_t j = 0; j < size; ++j) {
        const double deviation = Value(entry.items[Index(j)], v) - mu;
        term[j] = deviation * deviation;  // >= 0, or +infinity
      }
    }
    joined.terms = OrderedTerms(std::move(terms));
    // The walk order: the clusters of two or more items by their lowest item.
    if (first) Remove(*first, entry.first);
    if (second) Remove(*second, entry.second);
    const auto at = std::lower_bound(order_.begin(), order_.end(), joined.lowest,
                                     [this](std::int16_t e, std::int32_t lowest) { return At(e).lowest < lowest; });
    const auto from = order_.insert(at, k);
    double T = from == order_.begin() ? 0.0 : At(*(from - 1)).after;
    // Invariant: T is the literal walk's running total after the clusters before `e`. The
    // terms are >= 0, so a total that overflows stays infinite: one check at the end
    // finds what a check after every addition would.
    for (auto e = from; e != order_.end(); ++e) {
      Cluster& cluster = At(*e);
      T = cluster.terms.AddTo(T);
      cluster.after = T;
    }
    return Fin(T);
  }

 private:
  struct Cluster {
    std::int32_t lowest = 0;    ///< its lowest item: its place in the walk
    std::vector<double> sums;   ///< per variable, the sum over its list in order
    OrderedTerms terms;         ///< (x − μ_v)², v outer, list order inner
    double after = 0.0;         ///< the walk's running T after this cluster
  };

  Cluster& At(std::int16_t e) { return clusters_[Index(e - n_ - 1)]; }
  double Value(std::int32_t item, std::int32_t v) const {
    return values_[Index(item - 1) * Index(data_.cols()) + Index(v)];
  }
  void Remove(Cluster& cluster, std::int16_t e) {
    order_.erase(std::find(order_.begin(), order_.end(), e));
    cluster = Cluster{};
  }

  /// The literal walk for the first step, whose only cluster of two items is k: every
  /// item in ascending order, each cluster when its lowest item comes, the cells read as
  /// the literal reads them. Then every cell is a finite number: converted once.
  void FirstWalk(std::int16_t k) {
    const std::vector<std::int32_t>& pair = steps_[k].items;
    const std::int32_t low = std::min(pair[0], pair[1]);
    const std::int32_t high = std::max(pair[0], pair[1]);
    double T = 0.0;
    std::vector<std::int32_t> single(1);
    for (std::int32_t i = 1; i <= n_; ++i) {
      if (i == high) continue;  // counted with its partner
      single[0] = i;
      const std::vector<std::int32_t>& items = i == low ? pair : single;
      const std::int16_t size = CInt(static_cast<std::int64_t>(items.size())).get();
      if (data_.rows() < 1) Raise(fault::kSubscriptOutOfRange);  // no Data to read the variables of
      const std::int32_t p = data_.cols();
      for (std::int32_t v = 1; v <= p; ++v) {
        double sum = 0.0;
        for (const std::int32_t x : items) sum = Fin(sum + data_.At(x, v).ToDouble());
        const double mu = Div(sum, size);
        for (const std::int32_t x : items) {
          const double deviation = data_.At(x, v).ToDouble() - mu;
          T = Fin(T + deviation * deviation);
        }
      }
    }
    const std::int32_t p = data_.cols();
    values_.resize(Index(n_) * Index(p));
    for (std::int32_t i = 1; i <= n_; ++i) {
      for (std::int32_t v = 1; v <= p; ++v) values_[Index(i - 1) * Index(p) + Index(v - 1)] = data_.At(i, v).ToDouble();
    }
    walked_ = true;
  }

  const VariantMatrix& data_;
  const std::int16_t n_;
  const Schedule& steps_;
  std::vector<Cluster> clusters_;     ///< cluster e > n at [e − n − 1]
  std::vector<std::int16_t> order_;   ///< current clusters of two or more items, by lowest item
  std::vector<double> values_;        ///< Data as numbers, item-major, after the first walk
  bool walked_ = false;
};

// ---- the agglomeration ----

class Agglomeration {
 public:
  Agglomeration(const DoubleMatrix& distances, Schedule& steps, double s, std::int16_t n, std::int32_t method,
                const VariantMatrix& data, const StepProgress& progress)
      : distances_(distances), steps_(steps), s_(s), n_(n), method_(method), progress_(progress),
        w_(n), number_(Index(n)), size_(Index(n), 1), key_(Index(n), kNoValue), nn_(Index(n), kNoSlot),
        stale_(Index(n), 0), alive_(Index(n)),
        wardsCoefficients_(method == dezEZuvazozMethWards ? Index(n) + 1 : 0), wards_(data, n, steps) {
    for (std::int32_t q = 0; q < n; ++q) {
      number_[Index(q)] = static_cast<std::int16_t>(q + 1);
      alive_[Index(q)] = q;
    }
    Fill();
  }

  void Run();

 private:
  void Fill();
  std::int32_t SelectLowerCluster();
  void Refresh(std::int32_t q);
  void SetCoefficients(std::int16_t nr, std::int16_t nc);
  void Update(std::int32_t r, std::int32_t c, std::int16_t nr, std::int16_t nc, bool firstStep);
  void Compact();

  const DoubleMatrix& distances_;
  Schedule& steps_;
  const double s_;
  const std::int16_t n_;
  const std::int32_t method_;
  const StepProgress& progress_;
  PackedTriangle w_;                   ///< s × the values between the current clusters
  // Per slot; meaningful for the slots in alive_.
  std::vector<std::int16_t> number_;   ///< cluster number
  std::vector<std::int16_t> size_;     ///< number of items
  std::vector<double> key_;            ///< fresh: best(q).value; stale: a lower bound of it
  std::vector<std::int32_t> nn_;       ///< fresh: slot of best(q), kNoSlot for +∞
  std::vector<std::uint8_t> stale_;
  std::vector<std::int32_t> alive_;    ///< slots of the current clusters, ascending
  double ar_ = 0.0, ac_ = 0.0, beta_ = 0.0, gamma_ = 0.0;  // Lance–Williams coefficients
  struct WardsCoefficients {
    std::int32_t step = 0;  ///< the entry number of the step they were computed for
    double ar = 0.0, ac = 0.0, beta = 0.0;
  };
  std::vector<WardsCoefficients> wardsCoefficients_;  ///< Ward's, by the other cluster's size
  std::int32_t step_ = 0;                             ///< entry number of the step being made
  WardsTotal wards_;
};

// s × the cells below the diagonal into the triangle, with each cluster's first cache
// entry; every cell of the n x n block is checked, as the literal's copy of it checks.
// The rows are shared among the builder threads in chunks; each chunk keeps, per column,
// the smallest value of its rows with the first (lowest) row among equal ones, and the
// chunks are then merged in row order the same way: the result is the best of all rows,
// lowest row first, whatever the number of threads.
void Agglomeration::Fill() {
  struct ChunkBest {
    std::int32_t first;          // the chunk's first row (slot)
    std::vector<double> key;     // per column below the chunk's last row
    std::vector<std::int32_t> nn;
  };
  std::vector<ChunkBest> chunks;
  std::mutex adding;
  const double work = static_cast<double>(n_) * static_cast<double>(n_);
  const bool finite = ForEachRowChunk(n_, work, [&](std::int32_t first, std::int32_t last) {
    ChunkBest best{first, std::vector<double>(Index(last), kNoValue), std::vector<std::int32_t>(Index(last), kNoSlot)};
    bool good = true;
    // Invariant: best holds, per column, the best of the chunk's rows before a.
    for (std::int32_t a = first; a < last; ++a) {
      const double* row = distances_.Row(a + 1).data();
      for (std::int32_t j = 0; j < n_; ++j) good &= std::fabs(row[j]) <= std::numeric_limits<double>::max();
      double* w = w_.Row(a);
      for (std::int32_t j = 0; j < a; ++j) {
        const double value = s_ * row[j];
        w[j] = value;
        if (value < best.key[Index(j)]) {
          best.key[Index(j)] = value;
          best.nn[Index(j)] = a;
        }
      }
    }
    const std::lock_guard<std::mutex> lock(adding);
    chunks.push_back(std::move(best));
    return good;
  });
  if (!finite) {
    for (std::int32_t i = 1; i <= n_; ++i) {
      for (const double cell : distances_.Row(i).first(Index(n_))) (void)Fin(s_ * cell);  // raises at the first
    }
  }
  std::sort(chunks.begin(), chunks.end(), [](const ChunkBest& a, const ChunkBest& b) { return a.first < b.first; });
  // Invariant: key/nn hold the best of the chunks before `chunk`, lowest row among equals.
  for (const ChunkBest& chunk : chunks) {
    for (std::size_t j = 0; j < chunk.key.size(); ++j) {
      if (chunk.key[j] < key_[j]) {
        key_[j] = chunk.key[j];
        nn_[j] = chunk.nn[j];
      }
    }
  }
}

void Agglomeration::Run() {
  std::int32_t m = n_;
  std::int16_t k = CInt(n_ + 1).get();
  const std::int32_t totalSteps = n_ - 1;
  const std::int32_t reportEvery = std::max(1, totalSteps / 100);
  // Invariant at the top of each step: alive_ holds the m current clusters, which hold
  // every item once; entries 1..k−1 are made; the triangle holds the literal's D between
  // them and every cache entry is fresh or stale as defined above.
  while (m >= 2) {
    const std::int32_t c = SelectLowerCluster();
    const std::int32_t r = nn_[Index(c)];
    const double v = w_(r, c);
    const std::int16_t higher = number_[Index(r)];
    const std::int16_t lower = number_[Index(c)];
    std::vector<std::int32_t> L;  // member list: the higher cluster's items, then the lower's
    L.reserve(steps_[higher].items.size() + steps_[lower].items.size());
    L.insert(L.end(), steps_[higher].items.begin(), steps_[higher].items.end());
    L.insert(L.end(), steps_[lower].items.begin(), steps_[lower].items.end());
    steps_[k] = ScheduleEntry{higher, lower, std::move(L), Fin(s_ * v), 0.0};
    if (method_ == dezEZuvazozMethWards) steps_[k].level = wards_.Join(k);
    const std::int16_t nr = CInt(steps_[steps_[k].first].size()).get();
    const std::int16_t nc = CInt(steps_[steps_[k].second].size()).get();
    SetCoefficients(nr, nc);
    step_ = k;
    Update(r, c, nr, nc, m == n_);
    number_[Index(c)] = k;
    size_[Index(c)] = CInt(nr + nc).get();
    key_[Index(c)] = kNoValue;
    nn_[Index(c)] = kNoSlot;
    stale_[Index(c)] = 0;
    alive_.erase(std::find(alive_.begin(), alive_.end(), r));
    m = m - 1;
    if (4 * m <= 3 * w_.slots() && w_.slots() >= 64) Compact();
    const std::int32_t done = k - n_;
    if (progress_ && (done % reportEvery == 0 || done == totalSteps)) progress_(static_cast<double>(done) / totalSteps);
    if (m >= 2) k = CInt(k + 1).get();  // the number after the last step is never used
  }
}

// The cluster q* of the smallest (key, number); a stale one is refreshed and the search
// repeated. Keys are finite for every cluster but the highest-numbered, so with two or
// more clusters q* has a partner.
std::int32_t Agglomeration::SelectLowerCluster() {
  for (;;) {
    std::int32_t best = alive_.front();
    for (const std::int32_t q : alive_) {
      const double key = key_[Index(q)];
      if (key < key_[Index(best)] || (key == key_[Index(best)] && number_[Index(q)] < number_[Index(best)])) best = q;
    }
    if (!stale_[Index(best)]) return best;
    Refresh(best);
  }
}

// best(q) exactly: the smallest (value, number) over the clusters numbered above q.
void Agglomeration::Refresh(std::int32_t q) {
  const std::int16_t own = number_[Index(q)];
  double best = kNoValue;
  std::int32_t at = kNoSlot;
  const std::size_t count = alive_.size();
  // Invariant: best and at hold the smallest (value, number) of the clusters before x
  // in alive_ that are numbered above q.
  for (std::size_t i = 0; i < count; ++i) {
    const std::int32_t x = alive_[i];
    if (i + kAhead < count && alive_[i + kAhead] != q) __builtin_prefetch(&w_(alive_[i + kAhead], q));
    if (number_[Index(x)] <= own) continue;
    const double value = w_(x, q);
    if (at == kNoSlot || value < best || (value == best && number_[Index(x)] < number_[Index(at)])) {
      best = value;
      at = x;
    }
  }
  key_[Index(q)] = best;
  nn_[Index(q)] = at;
  stale_[Index(q)] = 0;
}

// The literal's table; Ward's coefficients depend on the other cluster (see Update), and
// unknown codes keep the coefficients, which no step has set: all 0.
void Agglomeration::SetCoefficients(std::int16_t nr, std::int16_t nc) {
  switch (method_) {
    case dezEZuvazozMethNearestNeigh: ar_ = 0.5; ac_ = 0.5; beta_ = 0.0; gamma_ = -0.5; break;
    case dezEZuvazozMethFurthestNeigh: ar_ = 0.5; ac_ = 0.5; beta_ = 0.0; gamma_ = 0.5; break;
    case dezEZuvazozMethGroupAvg:
      ar_ = Div(nr, CInt(nr + nc));
      ac_ = Div(nc, CInt(nr + nc));
      beta_ = 0.0;
      gamma_ = 0.0;
      break;
    case dezEZuvazozMethCentroid:
      ar_ = Div(nr, CInt(nr + nc));
      ac_ = Div(nc, CInt(nr + nc));
      beta_ = Fin(-ar_ * ac_);
      gamma_ = 0.0;
      break;
    case dezEZuvazozMethLanceWilliams: ar_ = 0.625; ac_ = 0.625; beta_ = -0.25; gamma_ = 0.0; break;
    default: break;
  }
}

// The new cluster's value to every other current cluster q, written into the slot of c
// (which the new cluster takes), and q's cache entry by the rules above.
void Agglomeration::Update(std::int32_t r, std::int32_t c, std::int16_t nr, std::int16_t nc, bool firstStep) {
  const double drc = w_(r, c);
  const bool wards = method_ == dezEZuvazozMethWards;
  // In the first step slot q holds item q + 1, and the rows of the joined items are read
  // from the input, above the diagonal too.
  const double* rowR = firstStep ? distances_.Row(number_[Index(r)]).data() : nullptr;
  const double* rowC = firstStep ? distances_.Row(number_[Index(c)]).data() : nullptr;
  const std::size_t count = alive_.size();
  // Invariant: the clusters before q in alive_ have their value to the new cluster in
  // slot c and their cache entries brought up to date.
  for (std::size_t i = 0; i < count; ++i) {
    const std::int32_t q = alive_[i];
    if (i + kAhead < count) {  // cells below a slot lie one per row: fetch them early
      const std::int32_t later = alive_[i + kAhead];
      if (later != r && later != c) {
        __builtin_prefetch(&w_(r, later));
        __builtin_prefetch(&w_(c, later), 1);
      }
    }
    if (q == r || q == c) continue;
    const double drq = firstStep ? s_ * rowR[q] : w_(r, q);
    const double dcq = firstStep ? s_ * rowC[q] : w_(c, q);
    if (wards) {
      // The coefficients depend on the step and q's size only: computed once per size
      // and step (the same divisions, so the same bits), as most clusters share a size.
      const std::int16_t nk = size_[Index(q)];
      WardsCoefficients& known = wardsCoefficients_[Index(nk)];
      if (known.step != step_) {
        known.ar = Div(CInt(nr + nk), CInt(nr + nc + nk));
        known.ac = Div(CInt(nc + nk), CInt(nr + nc + nk));
        known.beta = Div(CInt(-nk), CInt(nr + nc + nk));
        known.step = step_;
      }
      ar_ = known.ar;
      ac_ = known.ac;
      beta_ = known.beta;
      gamma_ = 0.0;
    }
    double x = Fin(ac_ * dcq + ar_ * drq);
    x = Fin(beta_ * drc + x);
    x = Fin(gamma_ * std::fabs(drq - dcq) + x);
    w_(c, q) = x;
    if (x < key_[Index(q)]) {
      key_[Index(q)] = x;
      nn_[Index(q)] = c;
      stale_[Index(q)] = 0;
    } else if (!stale_[Index(q)] && (nn_[Index(q)] == r || nn_[Index(q)] == c)) {
      stale_[Index(q)] = 1;
    }
  }
}

// Drops the free slots: the current clusters move to slots 0..m−1 in their order, and the
// per-slot data and the cache's slot references follow them.
void Agglomeration::Compact() {
  const std::size_t m = alive_.size();
  std::vector<std::int32_t> moved(Index(w_.slots()), kNoSlot);
  for (std::size_t t = 0; t < m; ++t) moved[Index(alive_[t])] = static_cast<std::int32_t>(t);
  w_.Compact(alive_);
  const auto follow = [&](auto& perSlot) {
    for (std::size_t t = 0; t < m; ++t) perSlot[t] = perSlot[Index(alive_[t])];  // t ≤ alive_[t]
    perSlot.resize(m);
  };
  follow(number_);
  follow(size_);
  follow(key_);
  follow(nn_);
  follow(stale_);
  for (std::size_t t = 0; t < m; ++t) {
    if (!stale_[t] && nn_[t] != kNoSlot) nn_[t] = moved[Index(nn_[t])];
  }
  for (std::size_t t = 0; t < m; ++t) alive_[t] = static_cast<std::int32_t>(t);
}

// The copy of the matrix into the triangle with its check, the item entries, the steps.
void RunAgglomeration(const DoubleMatrix& distances, Schedule& steps, double s, std::int16_t n, std::int32_t method,
                      const VariantMatrix& data, const StepProgress& progress) {
  Agglomeration agglomeration(distances, steps, s, n, method, data, progress);
  for (std::int16_t i = 1; i <= n; i = static_cast<std::int16_t>(i + 1)) steps[i] = ScheduleEntry{i, 0, {i}, 0.0, 0.0};
  agglomeration.Run();
}

}  // namespace

}  // namespace dez
