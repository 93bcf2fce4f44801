#include "agglomeration_literal.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "runtime/checked_float.h"
#include "runtime/checked_int.h"
#include "runtime/error_trap.h"

namespace dez {

// The procedure is written as one body under one trap, so that the statement number of an
// error is the line of the failing statement counted from the trap. Helpers are lambdas
// inside the body for the same reason. 16-bit quantities go through CInt at the statement
// that computes them, so an overflow carries that statement's line.
void AgglomerateLiteral(const DoubleMatrix& distances, Schedule& steps, bool difference,
                        std::int32_t method, const VariantMatrix& data, const StepProgress& progress) {
  ErrorTrap trap{"clsHClusterBO", "ReduceMatrix"};
  trap.Run([&] {
    const double s = difference ? 1.0 : -1.0;  // orientation: similarities are negated
    if (distances.rows() < 1) Raise(fault::kSubscriptOutOfRange);  // no upper bound to read
    const std::int16_t n = CInt(distances.rows()).get();
    const std::int16_t entries = CInt(2 * n - 1).get();  // more than 16384 items: overflow here
    std::vector<bool> marked(static_cast<std::size_t>(n) + 1, false);  // Ward's: items already counted
    steps = Schedule(entries);
    std::vector<std::int16_t> P(static_cast<std::size_t>(n) + 1);  // P[q]: cluster at position q
    if (distances.cols() < n) Raise(fault::kSubscriptOutOfRange);  // the copy would read past it
    DoubleMatrix D(n, n);  // working matrix, s x distances, diagonal included
    for (std::int32_t i = 1; i <= n; ++i) {
      for (std::int32_t j = 1; j <= n; ++j) D(i, j) = Fin(s * distances(i, j));
    }
    for (std::int16_t i = 1; i <= n; i = static_cast<std::int16_t>(i + 1)) {
      steps[i] = ScheduleEntry{i, 0, {i}, 0.0, 0.0};
      P[static_cast<std::size_t>(i)] = i;
    }
    std::int32_t m = n;                        // current number of clusters
    std::int16_t k = CInt(n + 1).get();        // entry number of the next step
    double ar = 0.0, ac = 0.0, beta = 0.0, gamma = 0.0;  // Lance–Williams coefficients
    const std::int32_t totalSteps = n - 1;
    const std::int32_t reportEvery = std::max(1, totalSteps / 100);
    // Sum of squares of one cluster about its means, added to T term by term.
    const auto addSumOfSquares = [&](const std::vector<std::int32_t>& items, double& T) {
      const std::int16_t size = CInt(static_cast<std::int64_t>(items.size())).get();
      if (data.rows() < 1) Raise(fault::kSubscriptOutOfRange);  // no Data to read the variables of
      const std::int32_t p = data.cols();
      for (std::int32_t v = 1; v <= p; ++v) {
        double sum = 0.0;
        for (const std::int32_t x : items) sum = Fin(sum + data.At(x, v).ToDouble());
        const double mu = Div(sum, size);
        for (const std::int32_t x : items) {
          const double deviation = data.At(x, v).ToDouble() - mu;
          T = Fin(T + deviation * deviation);
        }
      }
    };
    // Invariant at the top of each step: D is m x m over the clusters P[1..m], which hold
    // every item once and stand in ascending order of their numbers; entries 1..k-1 are made.
    while (m >= 2) {
      std::int32_t r = 2, c = 1;  // closest pair: row r > column c; first smallest cell wins
      double v = D(2, 1);
      for (std::int32_t cc = 1; cc <= m - 1; ++cc) {
        for (std::int32_t rr = cc + 1; rr <= m; ++rr) {
          if (D(rr, cc) < v) {
            r = rr;
            c = cc;
            v = D(rr, cc);
          }
        }
      }
      std::vector<std::int32_t> L;  // member list: the higher cluster's items, then the lower's
      for (const std::int16_t cluster : {P[static_cast<std::size_t>(r)], P[static_cast<std::size_t>(c)]}) {
        if (cluster > n) {
          const auto& items = steps[cluster].items;
          L.insert(L.end(), items.begin(), items.end());
        } else {
          L.push_back(cluster);
        }
      }
      steps[k] = ScheduleEntry{P[static_cast<std::size_t>(r)], P[static_cast<std::size_t>(c)], std::move(L), Fin(s * v), 0.0};
      if (method == dezEZuvazozMethWards) {
        double T = 0.0;  // total within-cluster sum of squares after this step
        std::fill(marked.begin(), marked.end(), false);
        for (std::int32_t i = 1; i <= n; ++i) {
          // Walk down from the newest entry: the first entry that holds i is i's cluster now.
          for (std::int32_t e = k; !marked[static_cast<std::size_t>(i)] && e >= 1; --e) {
            const auto& items = steps[e].items;
            if (std::find(items.begin(), items.end(), i) == items.end()) continue;
            for (const std::int32_t x : items) marked[static_cast<std::size_t>(x)] = true;
            addSumOfSquares(items, T);
          }
        }
        steps[k].level = T;
      }
      DoubleMatrix Dn(m - 1, m - 1);  // the other clusters in their order, the new one last
      std::vector<std::int16_t> Pn(static_cast<std::size_t>(m));
      std::int32_t t = 0;
      for (std::int32_t q = 1; q <= m; ++q) {
        if (q == r || q == c) continue;
        ++t;
        Pn[static_cast<std::size_t>(t)] = P[static_cast<std::size_t>(q)];
        std::int32_t t2 = 0;
        for (std::int32_t q2 = 1; q2 < q; ++q2) {
          if (q2 == r || q2 == c) continue;
          ++t2;
          Dn(t, t2) = D(q, q2);
          Dn(t2, t) = D(q, q2);
        }
      }
      Pn[static_cast<std::size_t>(m - 1)] = k;
      const std::int16_t nr = CInt(steps[steps[k].first].size()).get();
      const std::int16_t nc = CInt(steps[steps[k].second].size()).get();
      // Each method's rule, stated on its own terms rather than as a coefficient table:
      //   single and complete linkage: the mean of the two values, less or plus half their
      //     gap (the smaller or the larger of the two);
      //   group average: the two values weighted by the sizes of r and c;
      //   centroid: as group average, less the product of the two weights times D(r, c);
      //   Ward's: the values weighted by nr + nk and nc + nk, less nk times D(r, c), all
      //     over the size of the three clusters together, nk the other cluster's size;
      //   flexible: β = −1/4 on D(r, c), and the rest shared equally, (1 − β) / 2 each.
      // An unknown code has no rule: every weight stays as it was, 0 at the start.
      const auto rule = [&](std::int16_t nk) {
        if (method == dezEZuvazozMethNearestNeigh || method == dezEZuvazozMethFurthestNeigh) {
          ar = ac = 0.5;
          beta = 0.0;
          gamma = method == dezEZuvazozMethNearestNeigh ? -0.5 : 0.5;
        } else if (method == dezEZuvazozMethGroupAvg || method == dezEZuvazozMethCentroid) {
          ar = Div(nr, CInt(nr + nc));
          ac = Div(nc, CInt(nr + nc));
          beta = method == dezEZuvazozMethCentroid ? Fin(-ar * ac) : 0.0;
          gamma = 0.0;
        } else if (method == dezEZuvazozMethWards) {
          const std::int16_t all = CInt(nr + nc + nk).get();
          ar = Div(CInt(nr + nk), all);
          ac = Div(CInt(nc + nk), all);
          beta = Div(CInt(-nk), all);
          gamma = 0.0;
        } else if (method == dezEZuvazozMethLanceWilliams) {
          beta = -0.25;
          ar = ac = (1.0 - beta) / 2.0;
          gamma = 0.0;
        }
      };
      t = 0;
      for (std::int32_t q = 1; q <= m; ++q) {
        if (q == r || q == c) continue;
        ++t;
        rule(CInt(steps[P[static_cast<std::size_t>(q)]].size()).get());
        double x = Fin(ac * D(c, q) + ar * D(r, q));
        x = Fin(beta * D(r, c) + x);
        x = Fin(gamma * std::fabs(D(r, q) - D(c, q)) + x);
        Dn(m - 1, t) = x;
        Dn(t, m - 1) = x;
      }
      D = std::move(Dn);
      P = std::move(Pn);
      m = m - 1;
      const std::int32_t done = k - n;
      if (progress && (done % reportEvery == 0 || done == totalSteps)) progress(static_cast<double>(done) / totalSteps);
      if (m >= 2) k = CInt(k + 1).get();  // the number after the last step is never used
    }
  });
}

Schedule AgglomerateLiteral(const DoubleMatrix& distances, bool difference, std::int32_t method,
                            const VariantMatrix& data) {
  Schedule steps;
  AgglomerateLiteral(distances, steps, difference, method, data);
  return steps;
}

}  // namespace dez
